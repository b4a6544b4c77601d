#include "publish/Publication.h"

#include "db/DbPool.h"
#include "publish/Formats.h"
#include "publish/Render.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace qserver::publish {

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kMaxTemplateBytes = 1024 * 1024;
constexpr std::size_t kPreviewLines = 2000;  // per file

using Row = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// Runs one statement; the rows as text, or false and `error`.
bool query(DbConnection &db, const char *sql, const std::vector<std::string> &params, std::vector<Row> &rows,
           std::string &error)
{
    rows.clear();
    PGresult *r = db.exec(sql, params, error);
    if (!r)
        return false;
    for (int i = 0; i < PQntuples(r); ++i) {
        Row row;
        for (int j = 0; j < PQnfields(r); ++j)
            row.emplace_back(PQgetvalue(r, i, j));
        rows.push_back(std::move(row));
    }
    PQclear(r);
    return true;
}

std::string idArray(const std::vector<std::int64_t> &ids)
{
    std::string out = "{";
    for (std::size_t i = 0; i < ids.size(); ++i)
        out += (i ? "," : "") + std::to_string(ids[i]);
    return out + "}";
}

std::int64_t number(const std::string &s)
{
    try {
        return std::stoll(s);
    } catch (...) {
        return 0;
    }
}

// The target files of the selection and, transitively and once each, the
// files tbldoeldepend takes along ("union" ends cycles), with their export
// templates.
const char *kFiles =
    "with recursive sel(id) as ("
    " select id from tbldoelfile where rubriekid = any($1::int[])"
    " union select d.alsodoelfileid from tbldoeldepend d join sel on d.doelfileid = sel.id)"
    " select f.id, f.naam, coalesce(f.localfilename, ''), coalesce(f.remotefilename, ''), f.exporttemplate,"
    " f.rubriekid, coalesce(f.settings, ''), t.id is not null, coalesce(t.naam, ''), coalesce(t.settings, '')"
    " from tbldoelfile f join sel on sel.id = f.id left join tblexporttemplate t on t.id = f.exporttemplate"
    " order by f.naam, f.id";

const char *kRubrics = "select id, naam, coalesce(txt, ''), paginacount, onderwerpcount from tblrubriek"
                       " where id = any($1::int[]) and onair = $2::boolean";

const char *kProgrammes = "select zr.rubriek, z.id, z.naam from tblzenders z join tblzenderrubriek zr"
                          " on zr.zender = z.id where zr.rubriek = any($1::int[]) order by z.naam, z.id";

const char *kTexts =
    "select t.id, coalesce(t.kop, ''), coalesce(t.body, ''), t.datum, coalesce(t.tijd, ''), t.paginacount,"
    " coalesce(tp.naam, ''), coalesce(tp.editor, ''), coalesce(t.extra, ''), coalesce(t.klok, ''),"
    " coalesce(u.loginnaam, '') from tblteksten t left join tbltemplate tp on tp.id = t.template"
    " left join tbluser u on u.userid = t.wie where t.id = any($1::int[])";

const char *kTargets = "select distinct n.doelfileid, d.id, d.naam, coalesce(d.module, ''), coalesce(d.settings, '')"
                       " from tblnaardoel n join tbldoel d on d.id = n.doelid"
                       " where n.doelfileid = any($1::int[]) order by d.naam, d.id";

// The working copy onto the on-air copy as one statement, so it happens
// whole or not at all: the replaced content goes into the rubric history
// (the newest 50 kept, as the cycle keeps them), and a rubric whose on-air
// row is missing gets one.
const char *kOnAir =
    "with hist as (insert into tblrubriekhistorie (rubriekid, onair, txt, datum, tijd, wie)"
    "  select id, true, txt, $5, $6, $7 from tblrubriek where id = $1 and onair and txt is distinct from $2),"
    " trim as (delete from tblrubriekhistorie where rubriekid = $1 and onair and id <= (select id from"
    "  tblrubriekhistorie where rubriekid = $1 and onair order by id desc offset 49 limit 1)),"
    " upd as (update tblrubriek set txt = $2, paginacount = $3, onderwerpcount = $4 where id = $1 and onair"
    "  returning id)"
    " insert into tblrubriek (id, naam, onair, txt, paginacount, onderwerpcount)"
    " select $1, $8, true, $2, $3, $4 where not exists (select 1 from upd)";

struct Timer {
    explicit Timer(double &total) : m_total(total), m_start(Clock::now()) {}
    ~Timer() { m_total += std::chrono::duration<double>(Clock::now() - m_start).count(); }
    double &m_total;
    Clock::time_point m_start;
};

}  // namespace

Moment now(const std::string &by)
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char date[16], time[16];
    std::strftime(date, sizeof date, "%Y%m%d", &tm);
    std::strftime(time, sizeof time, "%H:%M:%S", &tm);
    return {date, time, by};
}

namespace {

bool readFile(const fs::path &path, std::string &out, std::string &error)
{
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (size > kMaxTemplateBytes) {
        error = "groter dan 1 MB";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        error = "niet te lezen";
        return false;
    }
    out = text.str();
    return true;
}

// Writes `text` to `path` under a temporary name in the same folder and
// renames it, so a reader of `path` sees the old file or the whole new one.
bool writeWhole(const fs::path &path, const std::string &text, std::string &error)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    static std::atomic<unsigned> counter{0};
    const fs::path temporary = path.parent_path() / ("." + path.filename().string() + "." + std::to_string(::getpid()) +
                                                     "." + std::to_string(++counter));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) {
            error = "kan " + temporary.string() + " niet schrijven";
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        error = "kan " + path.string() + " niet vervangen: " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}


}  // namespace

std::vector<std::string> lineDifference(const std::string &before, const std::string &after, std::size_t limit)
{
    auto split = [](const std::string &text) {
        std::vector<std::string> lines;
        std::size_t from = 0;
        while (from < text.size()) {
            std::size_t lf = text.find('\n', from);
            if (lf == std::string::npos)
                lf = text.size();
            std::string line = text.substr(from, lf - from);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(lineSafe(line));
            from = lf + 1;
        }
        return lines;
    };
    const std::vector<std::string> a = split(before), b = split(after);
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head && a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    const std::size_t n = a.size() - head - tail, m = b.size() - head - tail;
    std::vector<std::string> out;
    for (std::size_t i = 0; i < head; ++i)
        out.push_back(" " + a[i]);
    if (n * m <= 4'000'000) {
        // The longest common subsequence of the middle parts.
        std::vector<std::vector<std::uint32_t>> l(n + 1, std::vector<std::uint32_t>(m + 1, 0));
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                l[i][j] = a[head + i] == b[head + j] ? l[i + 1][j + 1] + 1 : std::max(l[i + 1][j], l[i][j + 1]);
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && a[head + i] == b[head + j]) {
                out.push_back(" " + a[head + i]);
                ++i, ++j;
            } else if (i < n && (j == m || l[i + 1][j] >= l[i][j + 1])) {
                out.push_back("-" + a[head + i++]);  // what went first, as diff shows it
            } else {
                out.push_back("+" + b[head + j++]);
            }
        }
    } else {
        for (std::size_t i = 0; i < n; ++i)
            out.push_back("-" + a[head + i]);
        for (std::size_t j = 0; j < m; ++j)
            out.push_back("+" + b[head + j]);
    }
    for (std::size_t i = a.size() - tail; i < a.size(); ++i)
        out.push_back(" " + a[i]);
    if (out.size() > limit) {
        const std::size_t left = out.size() - limit;
        out.resize(limit);
        out.push_back(" ... (" + std::to_string(left) + " regels meer)");
    }
    return out;
}

namespace {

// Ends a run whose loading failed: the client's window still gets its bars
// and its "klaar", so it does not wait for ever.
void databaseFailed(const Request &request, Sink &sink, Outcome &outcome, const std::string &error)
{
    outcome.databaseOk = false;
    sink.progress("log <red>De database antwoordt niet: " + lineSafe(error) + "<black>");
    if (!request.preview) {
        sink.progress("setbar 0");
        sink.progress("doelfiles ");
    }
}

// Tells the client which files follow and holds them against other runs.
std::vector<std::string> announce(const Work &work, Sink &sink)
{
    sink.progress("setbar " + std::to_string(work.files.size()));
    std::string names;
    for (const FileWork &f : work.files)
        names += f.shown + "|";
    sink.progress("doelfiles " + names);
    // One publication per target file and per local file at a time.
    std::vector<std::string> keys;
    for (const FileWork &f : work.files) {
        keys.push_back("doelfile " + std::to_string(f.row.id));
        keys.push_back("lokaal " + f.row.localName);
    }
    sink.claim(keys, [&] { sink.progress("log Wacht tot een andere publicatie van dezelfde bestanden klaar is..."); });
    return keys;
}

void summary(const Outcome &outcome, Sink &sink)
{
    char timing[200];
    std::snprintf(timing, sizeof timing, " (database %.2f s, maken %.2f s, verzenden %.2f s)", outcome.databaseSeconds,
                  outcome.renderSeconds, outcome.deliverySeconds);
    if (outcome.failed == 0)
        sink.progress("log <green>" + std::to_string(outcome.files) + " bestanden gepubliceerd" + timing + "<black>");
    else
        sink.progress("log <red>" + std::to_string(outcome.failed) + " van " + std::to_string(outcome.files) +
                      " bestanden mislukt<black>" + timing);
}

}  // namespace

bool load(DbConnection &db, const Request &request, const Moment &moment, Work &work, std::string &error)
{
    std::vector<Row> rows;
    if (!query(db, kFiles, {idArray(request.rubrics)}, rows, error))
        return false;
    for (const Row &r : rows) {
        FileWork w;
        w.row = {number(r[0]), r[1], r[2], r[3], number(r[4]), r[7] == "t", r[8], r[9], number(r[5]), r[6]};
        w.shown = lineSafe(r[1]);
        work.files.push_back(std::move(w));
    }
    std::set<std::int64_t> wanted(request.rubrics.begin(), request.rubrics.end());
    for (const FileWork &f : work.files)
        wanted.insert(f.row.rubricId);
    const std::string ids = idArray({wanted.begin(), wanted.end()});
    if (!query(db, kRubrics, {ids, request.republication ? "true" : "false"}, rows, error))
        return false;
    std::set<std::int64_t> textIds;
    std::map<std::int64_t, std::vector<std::int64_t>> order;
    for (const Row &r : rows) {
        RubricData &d = work.rubrics[number(r[0])];
        d.id = number(r[0]);
        d.found = true;
        d.naam = r[1];
        d.txt = r[2];
        d.paginacount = int(number(r[3]));
        d.onderwerpcount = int(number(r[4]));
        if (auto content = rubricContentIds(d.txt, &d.error)) {
            order[d.id] = *content;
            textIds.insert(content->begin(), content->end());
        }
    }
    if (!query(db, kProgrammes, {ids}, rows, error))
        return false;
    for (const Row &r : rows)
        if (auto it = work.rubrics.find(number(r[0])); it != work.rubrics.end())
            it->second.programmes.push_back({number(r[1]), r[2]});
    if (!query(db, kTexts, {idArray({textIds.begin(), textIds.end()})}, rows, error))
        return false;
    std::map<std::int64_t, TextRow> texts;
    for (const Row &r : rows)
        texts[number(r[0])] = {number(r[0]), r[1], r[2], r[3], r[4], int(number(r[5])), r[6], r[7], r[8], r[9], r[10]};
    const std::string time = moment.tijd.substr(0, 5);
    for (auto &[id, content] : order) {
        // As the cycle shows them: texts that are gone or have no kop drop
        // out, and only what is on air now ("ok", not "***") goes out.
        for (std::int64_t t : content)
            if (auto it = texts.find(t); it != texts.end() && !it->second.kop.empty() &&
                                         clockListActive(it->second.klok, moment.datum, time))
                work.rubrics[id].texts.push_back(it->second);
    }
    std::vector<std::int64_t> fileIds;
    for (const FileWork &f : work.files)
        fileIds.push_back(f.row.id);
    if (!query(db, kTargets, {idArray(fileIds)}, rows, error))
        return false;
    for (const Row &r : rows)
        for (FileWork &f : work.files)
            if (f.row.id == number(r[0]))
                f.targets.push_back({number(r[1]), r[2], r[3], r[4]});
    return true;
}

std::string buildFile(FileWork &f, const Work &work, const Request &request, const Folders &folders,
                      const Moment &moment)
{
    std::string error;
    const auto rubric = work.rubrics.find(f.row.rubricId);
    std::string templateText;
    if (!f.row.templateFound)
        error = "export template " + std::to_string(f.row.templateId) + " bestaat niet";
    else if (!plainFileName(f.row.templateName))
        error = "export template \"" + lineSafe(f.row.templateName) + "\" is geen gewone bestandsnaam";
    else if (!request.preview && !plainFileName(f.row.localName))
        error = "local filename \"" + lineSafe(f.row.localName) + "\" is geen gewone bestandsnaam";
    else if (rubric == work.rubrics.end() || !rubric->second.found)
        error = "rubriek " + std::to_string(f.row.rubricId) + " bestaat niet";
    else if (!rubric->second.error.empty())
        error =
            "inhoud van rubriek " + lineSafe(rubric->second.naam) + " is onleesbaar (" + rubric->second.error + ")";
    else if (readFile(fs::path(folders.templates) / f.row.templateName, templateText, error)) {
        if (auto text = renderFile(templateText, f.row, rubric->second, moment, error))
            f.content = std::move(*text);
        else
            error = "template " + lineSafe(f.row.templateName) + ": " + lineSafe(error);
    } else {
        error = "template " + lineSafe(f.row.templateName) + ": " + error;
    }
    if (error.empty() && !request.preview && !writeWhole(fs::path(folders.output) / f.row.localName, f.content, error))
        error = lineSafe(error);
    return error;
}

void build(Work &work, const Request &request, const Folders &folders, const Moment &moment, Sink &sink,
           Outcome &outcome)
{
    for (FileWork &f : work.files) {
        if (!request.preview)
            sink.progress("export " + f.shown);
        std::string error;
        {
            Timer t(outcome.renderSeconds);
            error = buildFile(f, work, request, folders, moment);
        }
        if (request.preview) {
            PreviewFile p{f.row.id, f.shown, false, {}, error};
            if (error.empty()) {
                std::string before, ignored;
                p.delivered = readFile(fs::path(folders.delivered) / std::to_string(f.row.id), before, ignored);
                p.lines = lineDifference(before, f.content, kPreviewLines);
            }
            outcome.preview.push_back(std::move(p));
            continue;
        }
        if (!error.empty()) {
            sink.progress("log <red>" + f.shown + ": " + error + "<black>");
            continue;
        }
        f.built = true;
        sink.progress("exportdone " + f.shown);
    }
}

void deliverAll(Work &work, const Folders &folders, const DeliveryOptions &delivery, Sink &sink, Outcome &outcome)
{
    auto log = [&](const std::string &markup) { sink.progress("log " + markup); };
    for (FileWork &f : work.files) {
        if (!f.built) {
            sink.progress("error " + f.shown);
            ++outcome.failed;
            continue;
        }
        sink.progress("upload " + f.shown);
        const std::string local = (fs::path(folders.output) / f.row.localName).string();
        const std::string remote = f.row.remoteName.empty() ? f.row.localName : f.row.remoteName;
        std::size_t arrived = 0;
        {
            Timer t(outcome.deliverySeconds);
            if (f.targets.empty())
                log("<red>" + f.shown + ": gaat naar geen enkel doel<black>");
            for (const Target &target : f.targets)
                if (deliver(target, local, remote, delivery, log))
                    ++arrived;
        }
        if (arrived > 0) {
            std::string error;
            if (!writeWhole(fs::path(folders.delivered) / std::to_string(f.row.id), f.content, error))
                log("<red>" + f.shown + ": verzonden kopie niet bewaard: " + lineSafe(error) + "<black>");
        }
        f.sent = !f.targets.empty() && arrived == f.targets.size();
        if (f.sent) {
            sink.progress("uploaddone " + f.shown);
        } else {
            sink.progress("error " + f.shown);
            ++outcome.failed;
        }
    }
}

void putOnAir(DbConnection &db, const Work &work, const Request &request, const Moment &moment, Sink &sink,
              Outcome &outcome)
{
    for (std::int64_t id : request.rubrics) {
        const auto it = work.rubrics.find(id);
        if (it == work.rubrics.end() || !it->second.found || !it->second.error.empty())
            continue;
        const bool complete = std::all_of(work.files.begin(), work.files.end(),
                                          [&](const FileWork &f) { return f.row.rubricId != id || f.sent; });
        const RubricData &r = it->second;
        if (!complete) {
            sink.progress("log <red>Rubriek " + lineSafe(r.naam) +
                          ": niet alles is verzonden, op zender blijft zoals het was<black>");
            continue;
        }
        std::vector<Row> rows;
        std::string error;
        if (!query(db, kOnAir,
                   {std::to_string(id), r.txt, std::to_string(r.paginacount), std::to_string(r.onderwerpcount),
                    moment.datum, moment.tijd, std::to_string(request.userId), r.naam},
                   rows, error)) {
            sink.progress("log <red>Rubriek " + lineSafe(r.naam) + ": op zender niet bijgewerkt: " + lineSafe(error) +
                          "<black>");
            continue;
        }
        outcome.onAir.push_back(id);
    }
}

Outcome run(DbConnection &db, const Request &request, const Folders &folders, const DeliveryOptions &delivery,
            Sink &sink)
{
    Outcome outcome;
    const Moment moment = now(request.login);
    Work work;
    {
        Timer t(outcome.databaseSeconds);
        std::string error;
        if (!load(db, request, moment, work, error)) {
            databaseFailed(request, sink, outcome, error);
            if (!request.preview)
                sink.progress("klaar");
            return outcome;
        }
    }
    outcome.files = work.files.size();
    for (std::int64_t id : request.rubrics)
        if (const auto it = work.rubrics.find(id); it != work.rubrics.end() && it->second.found) {
            std::vector<std::int64_t> &shown = outcome.shown[id];
            for (const TextRow &t : it->second.texts)
                shown.push_back(t.id);
        }
    if (request.preview) {
        build(work, request, folders, moment, sink, outcome);
        return outcome;
    }
    const std::vector<std::string> keys = announce(work, sink);
    build(work, request, folders, moment, sink, outcome);
    sink.progress("exportklaar");
    sink.progress("setbarup " + std::to_string(work.files.size()));
    deliverAll(work, folders, delivery, sink, outcome);
    if (!request.republication) {
        Timer t(outcome.databaseSeconds);
        putOnAir(db, work, request, moment, sink, outcome);
    }
    if (!keys.empty())
        sink.release(keys);
    summary(outcome, sink);
    sink.progress("klaar");
    return outcome;
}

}  // namespace qserver::publish
