#pragma once
// The coordination server's state and its answer to every command.
//
// DESIGN: everything here runs on the one event-loop thread, so the tables
// (connections, logged-in editors, locks, final-editor roles, message queues)
// need no locking. Work that may block — the user table in PostgreSQL, job
// processes — runs elsewhere and comes back to the loop as a posted function;
// the connection waiting for it is `busy` meanwhile, which keeps its replies
// in command order without holding up anybody else.
//
// A reply is: the lines queued for the client (broadcasts of others, chat,
// job progress, messages), then the command's own lines, then "ok" or "err".
//
// Every command is one row of the command table (Coordinator.cpp): its name,
// whether it needs a log-in, the right it needs and its handler. The gate in
// onLine applies the first two columns, so a handler runs only for a client
// that may use it.

#ifndef ASIO_STANDALONE
#define ASIO_STANDALONE
#endif
#include <asio.hpp>
#include <asio/system_timer.hpp>

#include "db/DbPool.h"
#include "db/UserStore.h"
#include "Log.h"
#include "import/ImportService.h"
#include "jobs/JobRunner.h"
#include "locks/LockTable.h"
#include "net/Connection.h"
#include "protocol/Command.h"
#include "protocol/Config.h"
#include "protocol/MessageLog.h"
#include "publish/OnAir.h"
#include "publish/Publisher.h"

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>

namespace qserver {

class Coordinator : public ConnectionHandler {
public:
    Coordinator(asio::io_context &io, ServerConfig config, std::string configPath);
    ~Coordinator() override;

    // Binds the listening socket; false and `error` when that fails.
    bool listen(std::string &error);
    unsigned short port() const;

    // Tells every client "down", closes them and stops the loop (SIGTERM,
    // "shutdown").
    void shutdown(const std::string &reason);

    void onLine(Connection &c, const std::string &line) override;
    void onClosed(Connection &c) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Claim {  // a pending request for a team's final-editor role
        std::uint64_t claimant = 0;
        std::uint64_t holder = 0;
        Clock::time_point deadline;
    };
    struct Failures {  // failed log-ins from one address or for one name
        int count = 0;
        Clock::time_point last;
        std::string lastAccount;  // of an address: the name it failed with last
    };
    struct PendingCheck {  // a password check waiting for a database worker
        std::shared_ptr<Connection> conn;
        std::string name, password, address, account;
        Clock::time_point answerAt;
        std::function<void(const UserLookup &)> done;
    };
    using Handler = void (Coordinator::*)(Connection &, const Command &);
    struct CommandRow {
        CommandKind kind;
        const char *name;  // the command word, for the log
        bool needsLogin;
        Right right;  // besides the log-in
        Handler handler;
    };
    static const CommandRow kCommands[];
    static const CommandRow *findCommand(CommandKind kind);
    // What a password check continues with, on the loop: the lookup's outcome
    // and whether the password was the editor's.
    using PasswordChecked = std::function<void(const std::shared_ptr<Connection> &, const UserLookup &, bool right)>;

    void accept();
    void tick();
    void finish(Connection &c, bool ok, const std::string &lines = std::string());
    void verifyPassword(Connection &c, const std::string &name, const std::string &password, PasswordChecked then);
    void countOutcome(const std::string &address, const std::string &account, bool right);
    // Seconds left of the lock-out of that address or name; 0 when none.
    double lockedFor(const std::string &address, const std::string &account) const;
    void startChecks();
    // Makes room among the connections that are not logged in for one more
    // from `address`; false when it cannot.
    bool roomForUnauthenticated(const std::string &address);
    void leaveUnauthenticated(Connection &c);
    void limitOutput();
    void admit(asio::ip::tcp::socket socket);
    void refuseWithoutDescriptors();
    void logLimited(const std::string &key, const std::string &text);
    void rosterChanged();
    void login(Connection &c, const UserRow &row);
    void logoff(Connection &c, const std::string &why);
    void moveRole(std::int64_t team, std::uint64_t to, bool tellOldHolder);

    // Handlers of the command table.
    void checkVersion(Connection &c, const Command &cmd);
    void auth(Connection &c, const Command &cmd);
    void checkPassword(Connection &c, const Command &cmd);
    void acknowledge(Connection &c, const Command &cmd);
    void userList(Connection &c, const Command &cmd);
    void userOnline(Connection &c, const Command &cmd);
    void lock(Connection &c, const Command &cmd);
    void unlock(Connection &c, const Command &cmd);
    void broadcast(Connection &c, const Command &cmd);
    // Whether that connection holds the final-editor role of any team.
    bool holdsRole(std::uint64_t connection) const;
    void direct(Connection &c, const Command &cmd);
    void claimRole(Connection &c, const Command &cmd);
    void answerClaim(Connection &c, const Command &cmd);
    void job(Connection &c, const Command &cmd);
    void publishRubrics(Connection &c, const Command &cmd);
    // Whether c may publish: the final-editor role or an administrator.
    bool mayPublish(Connection &c, const char *what);
    void hangup(Connection &c, const Command &cmd);
    void unblock(Connection &c, const Command &cmd);
    void shutdownCommand(Connection &c, const Command &cmd);

    std::string userListLine() const;
    Connection *byId(std::uint64_t id) const;
    Connection *byName(const std::string &name) const;
    std::string nameOf(std::uint64_t id) const;
    void jobLog(const std::string &text);
    // Republication when a clock starts or ends (publish/OnAir.h): looks at
    // what the clocks put on air in the published rubrics, publishes again
    // those that changed and sets m_onAirTimer for the next change.
    void checkOnAir();
    void onAirChecked(bool ok, const publish::OnAirState &state, const std::string &error);
    // Remembers what a run published, so the next look compares with it.
    void published(const publish::Outcome &outcome, bool republication);

    asio::io_context &m_io;
    ServerConfig m_config;
    std::string m_configPath;
    std::unique_ptr<asio::ssl::context> m_tls;  // null: plain TCP only
    asio::ip::tcp::acceptor m_acceptor;
    asio::steady_timer m_tickTimer;
    asio::steady_timer m_acceptRetry;
    asio::steady_timer m_stopTimer;
    asio::system_timer m_onAirTimer;  // the next minute a published text's clock starts or ends
    std::map<std::int64_t, std::vector<std::int64_t>> m_shownOnAir;  // per on-air rubric: the texts it published
    bool m_onAirKnown = false;  // m_shownOnAir was read once (not at start: nothing to compare with yet)
    bool m_onAirChecking = false;  // a look is on a database worker
    bool m_onAirAgain = false;  // look again when it is back (a run ended meanwhile)
    DbPool m_db;
    UserStore m_users;
    JobRunner m_jobs;
    ImportService m_import;  // after m_db: it is destroyed (and its threads joined) first
    std::unique_ptr<publish::Publisher> m_publisher;
    LockTable m_locks;
    MessageLog m_log;
    std::uint64_t m_nextId = 0;
    std::map<std::uint64_t, std::shared_ptr<Connection>> m_conns;  // every open connection
    std::unordered_map<std::string, std::uint64_t> m_online;  // lower-case login name -> connection
    std::map<std::int64_t, std::uint64_t> m_roles;  // team -> final editor's connection
    std::map<std::int64_t, Claim> m_claims;  // team -> pending claim
    std::unordered_map<std::string, Failures> m_failures;  // address -> failed log-ins
    std::unordered_map<std::string, Failures> m_accountFailures;  // lower-case name -> failed log-ins
    std::unordered_set<std::string> m_loginInFlight;  // addresses with a password check under way
    std::unordered_map<std::string, int> m_accountInFlight;  // lower-case name -> checks under way
    std::deque<PendingCheck> m_checksFirst;  // names and addresses without recent failures
    std::deque<PendingCheck> m_checksLater;  // the others
    int m_checksRunning = 0;  // on the database workers
    std::set<std::uint64_t> m_unauthenticated;  // connections not logged in, oldest first
    std::unordered_map<std::string, std::size_t> m_perAddress;  // address -> connections not logged in
    LogThrottle m_throttle{5, std::chrono::seconds(60)};  // log lines clients can provoke
    int m_spareFd = -1;  // given up when descriptors run out
    std::uint64_t m_ticks = 0;
    bool m_stopping = false;
};

}  // namespace qserver
