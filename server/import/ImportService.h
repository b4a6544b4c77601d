#pragma once
// The server's import of incoming material: internet sources (the one-off
// job "import " + source id, and a schedule for all sources) and the
// news-wire drop folder.
//
// DESIGN: the event loop only keeps the books (which source is being
// imported, the timers) and sends the results on; every slow step runs
// elsewhere and hands on to the next by itself:
//   loop -> database worker (the source's feed address and validators)
//        -> import worker (a conditional fetch with libcurl, parse the
//           whole feed; a 304 ends here)
//        -> database worker (one statement for all new and changed items,
//           then the validators and a permanently moved address)
//        -> loop ("bronadd" lines for every client, "job log" lines).
// A feed that fails at any step gives one "job log" line and stores
// nothing; the items of a feed go in with one statement, so they are stored
// all or none, and the unique index (netid, guid) keeps an item from being
// stored twice, even by two imports at once. The validators are kept only
// after the items were stored, so a failed store fetches the whole feed
// again next time. A damaged feed stores its complete items and says what
// it skipped. One import per source runs at a time. Wire files are read on an import worker, stored on a database worker
// and then moved to the done folder (or, unreadable, to the failed folder);
// a file whose items could not be stored stays for the next look.

#ifndef ASIO_STANDALONE
#define ASIO_STANDALONE
#endif
#include <asio.hpp>

#include "import/Fetch.h"
#include "import/Workers.h"
#include "jobs/JobSchedule.h"
#include "protocol/Config.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qserver {

class DbPool;

class ImportService {
public:
    using TextFn = std::function<void(const std::string &)>;
    using ChangedFn = std::function<void()>;

    // `log` gets "job log" texts, `line` the lines for every client
    // ("bronadd ..."), `changed` is called when the running imports change.
    ImportService(asio::io_context &io, DbPool &db, ImportConfig config, TextFn log, TextFn line, ChangedFn changed);
    ~ImportService();
    ImportService(const ImportService &) = delete;
    ImportService &operator=(const ImportService &) = delete;

    // Starts importing source `source` now; false and `why` when it is being
    // imported already. `description` names it in the job log.
    bool start(long long source, const std::string &description, const std::string &requestedBy, std::string &why);

    // For "job list": the imports under way, and the planned ones.
    std::vector<std::string> runningTexts() const;
    std::vector<std::string> plannedTexts() const;

    // Stops the timers and ends fetches under way (server shutdown); the
    // workers are joined when the object goes.
    void stop();

private:
    struct Run {
        std::string description;
        WallClock::time_point started;
    };
    struct Stored {  // one row the store returned
        std::string id, datum, time, kop;
        bool changed = false;  // an update of an item stored before
    };
    struct Outcome {
        std::string error;  // empty: it worked
        bool notModified = false;  // the webserver answered 304
        std::size_t inFeed = 0;
        std::vector<Stored> rows;
        std::string damage;  // the feed was not well-formed: what was wrong
        std::size_t skipped = 0;  // incomplete items left out
        std::string movedTo;  // the feed address followed a permanent redirect
    };
    struct Fetched;  // what a worker hands to the store

    void fetchAndStore(long long source, std::string url, import::Validators known);
    void store(long long source, std::shared_ptr<Fetched> fetched);
    void finish(long long source, Outcome outcome);
    void post(std::function<void()> f);
    void scheduleAll();
    void importAll();
    void scheduleWire();
    void scanWire();

    asio::io_context &m_io;
    DbPool &m_db;
    ImportConfig m_config;
    TextFn m_log;
    TextFn m_line;
    ChangedFn m_changed;
    import::FetchLimits m_limits;
    import::Workers m_workers;
    std::map<long long, Run> m_running;  // source id -> import under way
    WallClock::time_point m_origin;
    std::optional<WallClock::time_point> m_nextAll;
    asio::system_timer m_allTimer;
    asio::steady_timer m_wireTimer;
    bool m_wireBusy = false;
    bool m_stopping = false;
    std::atomic<bool> m_cancel{false};  // read by fetches on the workers
};

}  // namespace qserver
