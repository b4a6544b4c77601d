#include "publish/OnAir.h"

#include "db/DbPool.h"

#include <libpq-fe.h>

#include <set>
#include <tuple>

namespace qserver::publish {

namespace {

const char *kOnAirRubrics = "select r.id, coalesce(r.txt, '') from tblrubriek r where r.onair"
                            " and exists (select 1 from tbldoelfile f where f.rubriekid = r.id) order by r.id";

const char *kClocks = "select id, coalesce(kop, ''), coalesce(klok, '') from tblteksten where id = any($1::int[])";

std::string idArray(const std::set<std::int64_t> &ids)
{
    std::string out = "{";
    for (std::int64_t id : ids)
        out += (out.size() > 1 ? "," : "") + std::to_string(id);
    return out + "}";
}

struct Clocked {
    bool shown = false;  // has a headline, as the cycle shows it
    std::string klok;
};

}  // namespace

bool readOnAirState(DbConnection &db, const Minute &now, OnAirState &state, std::string &error)
{
    state = {};
    PGresult *r = db.exec(kOnAirRubrics, {}, error);
    if (!r)
        return false;
    std::map<std::int64_t, std::vector<std::int64_t>> content;
    std::set<std::int64_t> textIds;
    for (int i = 0; i < PQntuples(r); ++i) {
        const std::int64_t id = std::stoll(PQgetvalue(r, i, 0));
        std::vector<std::int64_t> &ids = content[id];
        // A content that does not read is never published: nothing on air.
        if (auto read = rubricContentIds(PQgetvalue(r, i, 1))) {
            ids = *read;
            textIds.insert(read->begin(), read->end());
        }
    }
    PQclear(r);
    r = db.exec(kClocks, {idArray(textIds)}, error);
    if (!r)
        return false;
    std::map<std::int64_t, Clocked> texts;
    for (int i = 0; i < PQntuples(r); ++i)
        texts[std::stoll(PQgetvalue(r, i, 0))] = {*PQgetvalue(r, i, 1) != '\0', PQgetvalue(r, i, 2)};
    PQclear(r);
    for (const auto &[rubric, ids] : content) {
        std::vector<std::int64_t> &shown = state.shown[rubric];
        for (std::int64_t id : ids) {
            const auto it = texts.find(id);
            if (it == texts.end() || !it->second.shown)
                continue;
            if (clockListActive(it->second.klok, now.date, now.time))
                shown.push_back(id);
            if (const auto next = nextClockChange(it->second.klok, now))
                if (!state.next || std::tie(next->date, next->time) < std::tie(state.next->date, state.next->time))
                    state.next = next;
        }
    }
    return true;
}

Minute localMinute(std::time_t t)
{
    std::tm tm{};
    localtime_r(&t, &tm);
    char date[16], time[8];
    std::strftime(date, sizeof date, "%Y%m%d", &tm);
    std::strftime(time, sizeof time, "%H:%M", &tm);
    return {date, time};
}

std::time_t minuteStart(const Minute &m)
{
    if (m.date.size() != 8 || m.time.size() != 5)
        return -1;
    std::tm tm{};
    try {
        tm.tm_year = std::stoi(m.date.substr(0, 4)) - 1900;
        tm.tm_mon = std::stoi(m.date.substr(4, 2)) - 1;
        tm.tm_mday = std::stoi(m.date.substr(6, 2));
        tm.tm_hour = std::stoi(m.time.substr(0, 2));
        tm.tm_min = std::stoi(m.time.substr(3, 2));
    } catch (...) {
        return -1;
    }
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

}  // namespace qserver::publish
