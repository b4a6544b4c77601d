#include "import/ImportService.h"

#include "Log.h"
#include "db/DbPool.h"
#include "import/Importer.h"
#include "import/PlainText.h"
#include "import/Xml.h"

#include <libpq-fe.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>

namespace qserver {

namespace fs = std::filesystem;

namespace {
constexpr std::size_t kWireFilesPerLook = 200;
constexpr auto kWireSettle = std::chrono::seconds(1);  // a file younger than this may still be written

std::string clockText(WallClock::time_point t)
{
    const std::time_t tt = WallClock::to_time_t(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &tm);
    return buf;
}

std::string plural(std::size_t n, const char *one, const char *many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

bool endsWithXml(const std::string &name)
{
    if (name.size() < 4)
        return false;
    std::string ext = name.substr(name.size() - 4);
    for (char &c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xml";
}

// Moves `file` into `folder`, under a free name; false and `error` when not.
bool moveInto(const fs::path &file, const fs::path &folder, std::string &error)
{
    std::error_code ec;
    fs::create_directories(folder, ec);
    fs::path target = folder / file.filename();
    for (int i = 1; fs::exists(target, ec) && i < 1000; ++i)
        target = folder / (file.stem().string() + "-" + std::to_string(i) + file.extension().string());
    fs::rename(file, target, ec);
    if (ec)
        error = ec.message();
    return !ec;
}

struct WireFile {
    fs::path path;
    import::WireResult parsed;
};
}  // namespace

ImportService::ImportService(asio::io_context &io, DbPool &db, ImportConfig config, TextFn log, TextFn line,
                             ChangedFn changed)
    : m_io(io), m_db(db), m_config(std::move(config)), m_log(std::move(log)), m_line(std::move(line)),
      m_changed(std::move(changed)), m_workers(m_config.workers), m_origin(WallClock::now()), m_allTimer(io),
      m_wireTimer(io)
{
    import::initXml();
    import::initFetch();
    m_limits.timeoutSeconds = m_config.timeoutSeconds;
    m_limits.maxBytes = m_config.maxBytes;
    m_limits.maxRedirects = m_config.maxRedirects;
    m_limits.cancel = &m_cancel;
    scheduleAll();
    if (!m_config.wireFolder.empty()) {
        logInfo("news-wire files are read from " + m_config.wireFolder);
        scheduleWire();
    }
}

ImportService::~ImportService()
{
    stop();
    m_workers.stop();
}

void ImportService::stop()
{
    m_stopping = true;
    m_cancel = true;
    m_allTimer.cancel();
    m_wireTimer.cancel();
}

void ImportService::post(std::function<void()> f)
{
    asio::post(m_io, std::move(f));
}

bool ImportService::start(long long source, const std::string &description, const std::string &requestedBy,
                          std::string &why)
{
    const std::string name = description.empty() ? "import " + std::to_string(source) : description;
    if (m_running.count(source)) {
        why = name + ": draait al, niet opnieuw gestart";
        return false;
    }
    m_running[source] = Run{name, WallClock::now()};
    m_log(name + " gestart (" + requestedBy + ")");
    logInfo("import of source " + std::to_string(source) + " started by " + requestedBy);
    if (m_changed)
        m_changed();
    m_db.submit([this, source](DbConnection &db) {
        std::string error;
        PGresult *r = db.exec(import::kSourceSql, {std::to_string(source)}, error);
        Outcome failed;
        if (!r) {
            failed.error = "databasefout: " + error;
        } else if (PQntuples(r) != 1) {
            failed.error = "bron " + std::to_string(source) + " bestaat niet";
        } else {
            std::string url = PQgetvalue(r, 0, 1);
            if (url.empty()) {
                failed.error = "bron " + std::to_string(source) + " heeft geen feedadres";
            } else {
                import::Validators known{PQgetvalue(r, 0, 2), PQgetvalue(r, 0, 3)};
                PQclear(r);
                m_workers.submit([this, source, url, known] { fetchAndStore(source, url, known); });
                return;
            }
        }
        if (r)
            PQclear(r);
        post([this, source, failed] { finish(source, failed); });
    });
    return true;
}

struct ImportService::Fetched {
    std::string url;  // as stored in tblnet
    import::FetchResult fetch;
    import::FeedResult feed;
};

// On an import worker: the whole feed is fetched and parsed before anything
// is stored; an unchanged feed (304) ends here.
void ImportService::fetchAndStore(long long source, std::string url, import::Validators known)
{
    auto f = std::make_shared<Fetched>();
    f->url = url;
    f->fetch = import::fetch(url, m_limits, known);
    if (!f->fetch.ok || f->fetch.notModified) {
        Outcome out;
        out.error = f->fetch.error;
        out.notModified = f->fetch.notModified;
        out.movedTo = f->fetch.movedTo;
        if (out.notModified && !out.movedTo.empty()) {
            store(source, f);  // nothing to store but the new address
            return;
        }
        post([this, source, out] { finish(source, out); });
        return;
    }
    f->feed = import::parseFeed(f->fetch.body, f->fetch.finalUrl, std::time(nullptr), m_config.maxItems,
                                f->fetch.charset);
    f->fetch.body.clear();
    if (!f->feed.ok) {
        post([this, source, error = f->feed.error] { finish(source, Outcome{error, false, 0, {}, {}, 0, {}}); });
        return;
    }
    store(source, f);
}

// On a database worker: the items in one statement, then what the fetch
// taught about the source.
void ImportService::store(long long source, std::shared_ptr<Fetched> f)
{
    m_db.submit([this, source, f](DbConnection &db) {
        Outcome out;
        out.notModified = f->fetch.notModified;
        out.inFeed = f->feed.items.size();
        out.damage = f->feed.damage;
        out.skipped = f->feed.skipped;
        std::string error;
        if (!f->feed.items.empty()) {
            const import::LocalStamp now = import::localStamp(std::time(nullptr));
            const std::string changedAt = now.datum + " " + now.time;
            PGresult *r =
                db.exec(import::kStoreItemsSql, import::storeItemsParams(source, f->feed.items, changedAt), error);
            if (!r) {
                out.error = "databasefout, niets opgeslagen: " + error;
                post([this, source, out = std::move(out)]() mutable { finish(source, std::move(out)); });
                return;
            }
            for (int i = 0; i < PQntuples(r); ++i)
                out.rows.push_back({PQgetvalue(r, i, 0), PQgetvalue(r, i, 1), PQgetvalue(r, i, 2),
                                    PQgetvalue(r, i, 3), PQgetvalue(r, i, 4)[0] == 't'});
            PQclear(r);
        }
        if (!f->fetch.notModified) {
            const import::Validators &v = f->fetch.validators;
            if (PGresult *r = db.exec(import::kSaveValidatorsSql, {std::to_string(source), v.etag, v.lastModified},
                                      error))
                PQclear(r);
        }
        if (!f->fetch.movedTo.empty()) {
            PGresult *r = db.exec(import::kMoveFeedSql, {std::to_string(source), f->fetch.movedTo, f->url}, error);
            if (r && std::string(PQcmdTuples(r)) == "1")
                out.movedTo = f->fetch.movedTo;
            if (r)
                PQclear(r);
        }
        post([this, source, out = std::move(out)]() mutable { finish(source, std::move(out)); });
    });
}

// On the loop: the new items go to every client oldest first, so each
// client's list, which puts every "bronadd" line on top, ends newest first.
void ImportService::finish(long long source, Outcome outcome)
{
    const auto it = m_running.find(source);
    const std::string name = it == m_running.end() ? "import " + std::to_string(source) : it->second.description;
    if (it != m_running.end())
        m_running.erase(it);
    if (!outcome.movedTo.empty())
        m_log(name + ": de feed is permanent verplaatst; het feedadres is nu " + outcome.movedTo);
    if (!outcome.error.empty()) {
        m_log(name + " mislukt: " + outcome.error);
        logWarning("import of source " + std::to_string(source) + " failed: " + outcome.error);
    } else if (outcome.notModified) {
        m_log(name + " klaar: niet gewijzigd sinds de vorige keer");
    } else {
        if (!outcome.damage.empty())
            m_log(name + ": de feed is beschadigd (" + outcome.damage + "); " +
                  plural(outcome.skipped, "onvolledig bericht", "onvolledige berichten") + " overgeslagen");
        const auto changed = std::size_t(std::count_if(outcome.rows.begin(), outcome.rows.end(),
                                                       [](const Stored &s) { return s.changed; }));
        std::sort(outcome.rows.begin(), outcome.rows.end(), [](const Stored &a, const Stored &b) {
            if (a.datum != b.datum)
                return a.datum < b.datum;
            if (a.time != b.time)
                return a.time < b.time;
            return std::stoll(a.id) < std::stoll(b.id);
        });
        if (!m_stopping)
            for (const Stored &row : outcome.rows)
                m_line(import::bronaddLine(source, row.id, row.datum, row.time, row.kop, row.changed));
        m_log(name + " klaar: " + plural(outcome.rows.size() - changed, "nieuw bericht", "nieuwe berichten") +
              (changed ? ", " + std::to_string(changed) + " bijgewerkt" : std::string()) + " (" +
              std::to_string(outcome.inFeed) + " in de feed)");
        logInfo("import of source " + std::to_string(source) + ": " + std::to_string(outcome.rows.size() - changed) +
                " new, " + std::to_string(changed) + " changed of " + std::to_string(outcome.inFeed));
    }
    if (m_changed)
        m_changed();
}

void ImportService::scheduleAll()
{
    m_nextAll = nextRun(m_config.schedule, m_origin, WallClock::now());
    if (!m_nextAll || m_stopping)
        return;
    m_allTimer.expires_at(*m_nextAll);
    m_allTimer.async_wait([this](const std::error_code &ec) {
        if (ec || m_stopping)
            return;
        importAll();
        scheduleAll();
    });
}

void ImportService::importAll()
{
    m_db.submit([this](DbConnection &db) {
        std::string error;
        PGresult *r = db.exec(import::kAllSourcesSql, {}, error);
        std::vector<std::pair<long long, std::string>> sources;
        if (r) {
            for (int i = 0; i < PQntuples(r); ++i)
                sources.emplace_back(std::atoll(PQgetvalue(r, i, 0)), PQgetvalue(r, i, 1));
            PQclear(r);
        }
        post([this, sources, error, ok = r != nullptr] {
            if (!ok) {
                m_log("bronnen verversen mislukt: databasefout: " + error);
                return;
            }
            for (const auto &[id, naam] : sources) {
                std::string why;
                if (!start(id, "Verversen van " + naam, "planning", why))
                    m_log(why);
            }
        });
    });
}

void ImportService::scheduleWire()
{
    if (m_stopping)
        return;
    m_wireTimer.expires_after(std::chrono::milliseconds(static_cast<long long>(m_config.wireIntervalSeconds * 1000)));
    m_wireTimer.async_wait([this](const std::error_code &ec) {
        if (ec || m_stopping)
            return;
        scanWire();
        scheduleWire();
    });
}

// One look at the drop folder: read and parse on an import worker, store on
// a database worker, then move each file; the log lines come back to the
// loop. One look at a time.
void ImportService::scanWire()
{
    if (m_wireBusy)
        return;
    m_wireBusy = true;
    m_workers.submit([this] {
        auto files = std::make_shared<std::vector<WireFile>>();
        auto lines = std::make_shared<std::vector<std::string>>();
        std::error_code ec;
        const auto now = fs::file_time_type::clock::now();
        for (fs::directory_iterator it(m_config.wireFolder, ec), end; !ec && it != end; it.increment(ec)) {
            if (files->size() >= kWireFilesPerLook)
                break;
            std::error_code fe;
            if (!it->is_regular_file(fe) || !endsWithXml(it->path().filename().string()))
                continue;
            const auto written = it->last_write_time(fe);
            if (fe || now - written < kWireSettle)
                continue;
            WireFile f;
            f.path = it->path();
            const auto size = it->file_size(fe);
            if (fe || size > m_config.maxBytes) {
                f.parsed.error =
                    fe ? fe.message() : "te groot (meer dan " + std::to_string(m_config.maxBytes) + " bytes)";
            } else {
                std::ifstream in(f.path, std::ios::binary);
                std::string bytes(static_cast<std::size_t>(size), '\0');
                if (!in.read(bytes.data(), std::streamsize(size)))
                    f.parsed.error = "kan het bestand niet lezen";
                else
                    f.parsed = import::parseWire(bytes, std::time(nullptr));
            }
            files->push_back(std::move(f));
        }
        if (ec)
            lines->push_back("ANP: map " + m_config.wireFolder + " niet leesbaar: " + ec.message());
        m_db.submit([this, files, lines](DbConnection &db) {
            std::size_t stored = 0, known = 0;
            for (WireFile &f : *files) {
                std::string error;
                const std::string name = f.path.filename().string();
                if (!f.parsed.ok) {
                    lines->push_back("ANP: " + name + " mislukt: " + f.parsed.error);
                    if (!moveInto(f.path, m_config.wireFailed, error))
                        lines->push_back("ANP: " + name + " niet verplaatst: " + error);
                    continue;
                }
                bool ok = true;
                for (const import::WireItem &i : f.parsed.items) {
                    PGresult *r =
                        db.exec(import::kInsertWireSql, {i.datum, i.time, i.kop, i.body, i.rubriek, i.itemId}, error);
                    if (!r) {
                        ok = false;
                        break;
                    }
                    (PQntuples(r) == 1 ? stored : known) += 1;
                    PQclear(r);
                }
                if (!ok) {
                    // The database's fault, not the file's: it stays for the next look.
                    lines->push_back("ANP: " + name + " niet opgeslagen (databasefout: " + error + ")");
                    break;
                }
                if (!moveInto(f.path, m_config.wireDone, error))
                    lines->push_back("ANP: " + name + " niet verplaatst: " + error);
            }
            if (stored || known)
                lines->push_back("ANP: " + plural(stored, "nieuw bericht", "nieuwe berichten") + " opgeslagen" +
                                 (known ? ", " + std::to_string(known) + " al bekend" : std::string()));
            post([this, lines] {
                m_wireBusy = false;
                for (const std::string &l : *lines)
                    m_log(l);
            });
        });
    });
}

std::vector<std::string> ImportService::runningTexts() const
{
    std::vector<std::string> out;
    for (const auto &[source, run] : m_running)
        out.push_back("import " + std::to_string(source) + " - " + run.description + " (sinds " +
                      clockText(run.started) + ")");
    return out;
}

std::vector<std::string> ImportService::plannedTexts() const
{
    std::vector<std::string> out;
    if (m_nextAll)
        out.push_back("import - Alle bronnen verversen (" + m_config.schedule.describe() + ", volgende " +
                      clockText(*m_nextAll) + ")");
    if (!m_config.wireFolder.empty())
        out.push_back("ANP - Berichten uit " + m_config.wireFolder + " (elke " +
                      std::to_string(static_cast<long long>(m_config.wireIntervalSeconds)) + " s)");
    return out;
}

}  // namespace qserver
