#include "import/Importer.h"

#include <charconv>

namespace qserver::import {

const char *const kStoreItemsSql =
    "with x as (select u.d, u.t, u.k, u.b, u.u, u.g, u.dated, u.n "
    "from unnest($2::text[], $3::text[], $4::text[], $5::text[], $6::text[], $7::text[], $8::boolean[]) "
    "with ordinality as u(d, t, k, b, u, g, dated, n)), "
    "changed as (update tblnetinfo o set kop = x.k, body = x.b, url = x.u, "
    "datum = case when x.dated then x.d else o.datum end, "
    "\"time\" = case when x.dated then x.t else o.\"time\" end, bijgewerkt = $9 "
    "from x where o.netid = $1::integer and o.guid = x.g "
    "and (o.kop is distinct from x.k or o.body is distinct from x.b or o.url is distinct from x.u "
    "or (x.dated and (o.datum is distinct from x.d or o.\"time\" is distinct from x.t))) "
    "returning o.id, o.datum, o.\"time\", o.kop, true as changed), "
    "added as (insert into tblnetinfo (netid, datum, \"time\", kop, body, url, guid) "
    "select $1::integer, x.d, x.t, x.k, x.b, x.u, x.g from x "
    "order by x.d, x.t, x.n desc "
    "on conflict (netid, guid) do nothing "
    "returning id, datum, \"time\", kop, false as changed) "
    "select * from added union all select * from changed";

const char *const kSourceSql = "select naam, coalesce(feed, ''), coalesce(etag, ''), coalesce(lastmodified, '') "
                               "from tblnet where id = $1::integer";

const char *const kSaveValidatorsSql = "update tblnet set etag = $2, lastmodified = $3 where id = $1::integer";

const char *const kMoveFeedSql = "update tblnet set feed = $2 where id = $1::integer and feed = $3";

const char *const kAllSourcesSql = "select id, naam from tblnet where coalesce(feed, '') <> '' order by id";

const char *const kInsertWireSql = "insert into tblanp (datum, \"time\", kop, body, rubriek, itemid) "
                                   "values ($1, $2, $3, $4, $5, $6) "
                                   "on conflict (itemid) do nothing returning id";

std::optional<long long> sourceId(const std::string &jobName)
{
    constexpr std::string_view prefix = "import ";
    if (jobName.size() <= prefix.size() || jobName.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    long long id = 0;
    const char *b = jobName.data() + prefix.size();
    const char *e = jobName.data() + jobName.size();
    const auto [end, ec] = std::from_chars(b, e, id);
    if (ec != std::errc() || end != e || id < 0 || id > 0x7fffffff)
        return std::nullopt;
    return id;
}

std::string textArray(const std::vector<std::string> &values)
{
    std::string out = "{";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i)
            out += ',';
        out += '"';
        for (char c : values[i]) {
            if (c == '"' || c == '\\')
                out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

std::vector<std::string> storeItemsParams(long long sourceId, const std::vector<FeedItem> &items,
                                          const std::string &changedAt)
{
    std::vector<std::string> d, t, k, b, u, g, dated;
    for (const FeedItem &i : items) {
        d.push_back(i.datum);
        t.push_back(i.time);
        k.push_back(i.kop);
        b.push_back(i.body);
        u.push_back(i.url);
        g.push_back(i.key);
        dated.push_back(i.dated ? "t" : "f");
    }
    return {std::to_string(sourceId), textArray(d), textArray(t), textArray(k), textArray(b),
            textArray(u),             textArray(g), textArray(dated), changedAt};
}

std::string bronaddLine(long long sourceId, const std::string &id, const std::string &datum, const std::string &time,
                        const std::string &kop, bool changed)
{
    return "bronadd internet " + std::to_string(sourceId) + " " + id + " " + datum + " " + time + " " + kop +
           (changed ? " (bijgewerkt)" : "");
}

}  // namespace qserver::import
