#include "Coordinator.h"

#include "Log.h"
#include "import/Importer.h"
#include "protocol/Relay.h"
#include "publish/Formats.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace qserver {

namespace {
constexpr std::size_t kMaxOutput = 64 * 1024 * 1024;  // unread reply bytes before a client is dropped
// Before its log-in a connection receives only "ok", "err" and a chat line.
constexpr std::size_t kMaxOutputUnauthenticated = 16 * 1024;
constexpr auto kTick = std::chrono::milliseconds(100);  // resolution of time-outs
constexpr int kFreeFailures = 3;  // failed log-ins per address or name before slowing down
constexpr auto kFailureMemory = std::chrono::minutes(5);  // after the last failure, or after a lock-out ends
constexpr int kMaxLoginDelayMs = 8000;
constexpr int kReservedDescriptors = 32;  // for the database, job pipes, the log ...
const char *kDatabaseDown = "chat De database van de server antwoordt niet; probeer het later opnieuw\n";

std::chrono::milliseconds statementLimit(const ServerConfig &c)
{
    return std::chrono::milliseconds(static_cast<long long>(c.dbStatementTimeoutSeconds * 1000));
}

// How long a password check waits before it answers, from the failures
// counted so far: nothing for the first kFreeFailures, then the base delay,
// doubling per failure up to kMaxLoginDelayMs.
int failureDelayMs(int failuresSoFar, int baseMs)
{
    const int n = failuresSoFar + 1;
    if (n <= kFreeFailures)
        return 0;
    const int steps = std::min(n - kFreeFailures - 1, 10);
    return std::min(baseMs * (1 << steps), kMaxLoginDelayMs);
}

std::chrono::steady_clock::duration seconds(double s)
{
    return std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(s));
}

std::string secondsText(double s)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", s);
    return buf;
}

std::string hhmm(std::chrono::system_clock::time_point t)
{
    const std::time_t tt = std::chrono::system_clock::to_time_t(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    char buf[8];
    std::strftime(buf, sizeof buf, "%H:%M", &tm);
    return buf;
}
}  // namespace

Coordinator::Coordinator(asio::io_context &io, ServerConfig config, std::string configPath)
    : m_io(io), m_config(std::move(config)), m_configPath(std::move(configPath)), m_acceptor(io), m_tickTimer(io),
      m_acceptRetry(io), m_stopTimer(io), m_onAirTimer(io),
      m_db(makeConninfo(m_config.dbHost, m_config.dbPort, m_config.dbName, m_config.dbUser, m_config.dbPassword,
                        m_config.dbConnectTimeoutSeconds, statementLimit(m_config)),
           m_config.dbWorkers, statementLimit(m_config)),
      m_users(m_db, [this](std::function<void()> f) { asio::post(m_io, std::move(f)); }),
      m_jobs(
          io, [this](const std::string &text) { jobLog(text); }, [this] { m_log.broadcast(0, "job refresh"); }),
      m_import(
          io, m_db, m_config.import, [this](const std::string &text) { jobLog(text); },
          [this](const std::string &line) { m_log.broadcast(0, line); }, [this] { m_log.broadcast(0, "job refresh"); }),
      m_log(m_config.queueLimit, m_config.queueBytes)
{
    m_jobs.setDefinitions(m_config.jobs);
    publish::PublisherSettings p;
    p.conninfo = makeConninfo(m_config.dbHost, m_config.dbPort, m_config.dbName, m_config.dbUser, m_config.dbPassword,
                              m_config.dbConnectTimeoutSeconds, statementLimit(m_config));
    p.statementLimit = statementLimit(m_config);
    p.workers = m_config.publishWorkers;
    p.folders = {m_config.publishTemplates, m_config.publishOutput, m_config.publishDelivered};
    p.delivery.timeLimitSeconds = m_config.publishTimeLimitSeconds;
    p.delivery.ftpAttempts = m_config.ftpAttempts;
    p.delivery.ftpRetryDelaySeconds = m_config.ftpRetryDelaySeconds;
    p.delivery.ftpTimeoutSeconds = m_config.ftpTimeoutSeconds;
    p.delivery.directory = m_config.publishOutput;
    m_publisher = std::make_unique<publish::Publisher>(
        std::move(p), [this](std::function<void()> f) { asio::post(m_io, std::move(f)); },
        [this](std::uint64_t connection, const std::string &line) {
            if (line.rfind("log ", 0) == 0)
                logInfo("publish: " + line.substr(4));
            m_log.send(connection, "publish " + line);
        });
}

Coordinator::~Coordinator()
{
    if (m_spareFd >= 0)
        ::close(m_spareFd);
    m_publisher->stop();
    m_jobs.killAll();
    m_import.stop();
    m_db.stop();
}

bool Coordinator::listen(std::string &error)
{
    std::error_code ec;
    const asio::ip::address addr = asio::ip::make_address(m_config.listenAddress, ec);
    if (ec) {
        error = "listen address \"" + m_config.listenAddress + "\" is not an IP address";
        return false;
    }
    const asio::ip::tcp::endpoint ep(addr, static_cast<unsigned short>(m_config.port));
    m_acceptor.open(ep.protocol(), ec);
    if (!ec)
        m_acceptor.set_option(asio::socket_base::reuse_address(true), ec);
    if (!ec)
        m_acceptor.bind(ep, ec);
    if (!ec)
        m_acceptor.listen(asio::socket_base::max_listen_connections, ec);
    if (ec) {
        error =
            "cannot listen on " + m_config.listenAddress + ":" + std::to_string(m_config.port) + ": " + ec.message();
        return false;
    }
    if (!m_config.tlsCertificate.empty()) {
        m_tls = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_server);
        m_tls->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                               asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                               asio::ssl::context::no_tlsv1_1,
                           ec);
        if (!ec)
            m_tls->use_certificate_chain_file(m_config.tlsCertificate, ec);
        if (!ec)
            m_tls->use_private_key_file(m_config.tlsKey, asio::ssl::context::pem, ec);
        if (ec) {
            error = "TLS: cannot use " + m_config.tlsCertificate + " and " + m_config.tlsKey + ": " + ec.message();
            return false;
        }
    }
    logInfo("listening on " + m_config.listenAddress + ":" + std::to_string(port()) +
            (m_tls ? " (TLS and plain TCP)" : " (plain TCP)"));
    m_acceptor.non_blocking(true, ec);
    // Connections must run out before descriptors do; the spare descriptor
    // lets the server take a connection off the queue and close it when they
    // run out all the same.
    rlimit lim{};
    if (::getrlimit(RLIMIT_NOFILE, &lim) == 0) {
        if (lim.rlim_cur < lim.rlim_max) {
            lim.rlim_cur = lim.rlim_max;
            ::setrlimit(RLIMIT_NOFILE, &lim);
            ::getrlimit(RLIMIT_NOFILE, &lim);
        }
        const auto usable = lim.rlim_cur > rlim_t(2 * kReservedDescriptors)
                                ? std::size_t(lim.rlim_cur - kReservedDescriptors)
                                : std::size_t(lim.rlim_cur / 2);
        if (usable < m_config.maxConnections + m_config.maxUnauthenticated) {
            const std::size_t unauthenticated =
                std::min(m_config.maxUnauthenticated, std::max<std::size_t>(usable / 4, 1));
            const std::size_t connections = std::max<std::size_t>(usable - std::min(usable, unauthenticated), 1);
            logWarning("max_connections and max_unauthenticated lowered from " +
                       std::to_string(m_config.maxConnections) + " and " +
                       std::to_string(m_config.maxUnauthenticated) + " to " + std::to_string(connections) + " and " +
                       std::to_string(unauthenticated) + ": the process may open " + std::to_string(lim.rlim_cur) +
                       " files");
            m_config.maxConnections = connections;
            m_config.maxUnauthenticated = unauthenticated;
        }
    }
    m_spareFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    accept();
    tick();
    checkOnAir();
    return true;
}

unsigned short Coordinator::port() const
{
    std::error_code ec;
    return m_acceptor.local_endpoint(ec).port();
}

void Coordinator::accept()
{
    m_acceptor.async_wait(asio::ip::tcp::acceptor::wait_read, [this](const std::error_code &ec) {
        if (m_stopping || ec == asio::error::operation_aborted)
            return;
        // Take every waiting connection, then wait again.
        while (!m_stopping) {
            std::error_code e;
            asio::ip::tcp::socket socket = m_acceptor.accept(e);
            if (e == asio::error::would_block || e == asio::error::try_again)
                break;
            if (e == asio::error::no_descriptors || e.value() == ENFILE) {
                refuseWithoutDescriptors();
                continue;
            }
            if (e) {
                logLimited("accept", "accept failed: " + e.message());
                m_acceptRetry.expires_after(std::chrono::milliseconds(100));
                m_acceptRetry.async_wait([this](const std::error_code &w) {
                    if (!w)
                        accept();
                });
                return;
            }
            admit(std::move(socket));
        }
        accept();
    });
}

void Coordinator::refuseWithoutDescriptors()
{
    // Out of descriptors: free the spare one, take the connection off the
    // queue and close it at once, so the client hears "no" instead of
    // hanging in the queue; then keep the spare again.
    if (m_spareFd >= 0) {
        ::close(m_spareFd);
        m_spareFd = -1;
    }
    std::error_code e;
    asio::ip::tcp::socket socket = m_acceptor.accept(e);
    if (!e)
        socket.close(e);
    m_spareFd = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    logLimited("descriptors", "out of file descriptors: new connections are refused");
}

void Coordinator::admit(asio::ip::tcp::socket socket)
{
    std::error_code ec;
    const auto ep = socket.remote_endpoint(ec);
    const std::string address = ec ? std::string("?") : ep.address().to_string();
    if (!roomForUnauthenticated(address)) {
        socket.close(ec);
        return;
    }
    ++m_perAddress[address];
    auto c = std::make_shared<Connection>(std::move(socket), *this, ++m_nextId, m_config.maxLineLength,
                                          kMaxOutputUnauthenticated, m_tls.get());
    m_conns.emplace(c->id(), c);
    m_unauthenticated.insert(c->id());
    c->start();
}

// Connections that have not logged in share max_unauthenticated slots, at
// most max_connections_per_address of them from one address; a newcomer
// takes the place of the oldest (of its address, else of all), so holding
// slots open locks nobody out: a real client logs in within seconds and
// leaves the share. Logged-in editors have slots of their own.
bool Coordinator::roomForUnauthenticated(const std::string &address)
{
    auto giveWay = [this](const std::string *from, const char *limit, std::size_t value) {
        // One with a password check under way may be an editor logging in,
        // and each address has at most one of those.
        Connection *oldest = nullptr;
        for (std::uint64_t id : m_unauthenticated) {
            Connection *c = byId(id);
            if (c && !c->busy() && (!from || c->address() == *from)) {
                oldest = c;
                break;
            }
        }
        if (!oldest) {
            logLimited(std::string("limit ") + limit, "connection refused: " + std::string(limit) + " (" +
                                                          std::to_string(value) +
                                                          ") reached, all of them logging in");
            return false;
        }
        logLimited(std::string("give way ") + limit, "connection " + std::to_string(oldest->id()) + " from " +
                                                          oldest->address() + " closed for a newer one: " + limit +
                                                          " (" + std::to_string(value) + ") reached");
        leaveUnauthenticated(*oldest);
        oldest->close("closed for a newer connection");
        return true;
    };
    const auto here = m_perAddress.find(address);
    if (here != m_perAddress.end() && here->second >= m_config.maxConnectionsPerAddress &&
        !giveWay(&address, "max_connections_per_address", m_config.maxConnectionsPerAddress))
        return false;
    if (m_unauthenticated.size() >= m_config.maxUnauthenticated &&
        !giveWay(nullptr, "max_unauthenticated", m_config.maxUnauthenticated))
        return false;
    return true;
}

void Coordinator::leaveUnauthenticated(Connection &c)
{
    if (m_unauthenticated.erase(c.id()) == 0)
        return;
    const auto it = m_perAddress.find(c.address());
    if (it != m_perAddress.end() && --it->second == 0)
        m_perAddress.erase(it);
}

// The total ceiling over every connection's waiting output: reading pauses
// per connection long before its own limit, so this catches many large
// replies at once; the largest backlogs go first.
void Coordinator::limitOutput()
{
    std::size_t total = 0;
    std::vector<std::pair<std::size_t, std::shared_ptr<Connection>>> backlogs;
    for (const auto &[id, c] : m_conns) {
        const std::size_t n = c->pendingOutput();
        total += n;
        if (n > 0 && !c->closing())
            backlogs.emplace_back(n, c);
    }
    if (total <= m_config.outputTotal)
        return;
    std::sort(backlogs.begin(), backlogs.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    for (auto &[n, c] : backlogs) {
        if (total <= m_config.outputTotal)
            break;
        logLimited("output total", "connection " + std::to_string(c->id()) + " from " + c->address() + " closed: " +
                                       std::to_string(n) + " bytes of output wait for it and output_total (" +
                                       std::to_string(m_config.outputTotal) + ") is reached");
        total -= n;
        logoff(*c, "output over the total limit");
        c->close("output over the total limit");
    }
}

void Coordinator::logLimited(const std::string &key, const std::string &text)
{
    std::string suffix;
    if (m_throttle.allow(key, suffix))
        logWarning(text + suffix);
}

void Coordinator::tick()
{
    const auto now = Clock::now();
    // Unanswered hand-over requests are granted.
    std::vector<std::int64_t> expired;
    for (const auto &[team, claim] : m_claims)
        if (claim.deadline <= now)
            expired.push_back(team);
    for (std::int64_t team : expired) {
        const std::uint64_t claimant = m_claims[team].claimant;
        m_claims.erase(team);
        logInfo("final-editor request of " + nameOf(claimant) + " for team " + std::to_string(team) +
                " unanswered, granted");
        moveRole(team, claimant, true);
        rosterChanged();
    }
    // Connections that have been quiet too long: idle ones, logged-in ones
    // whose client stopped polling (a frozen client must not keep its editor
    // and locks), and ones that never logged in.
    std::vector<std::pair<std::shared_ptr<Connection>, std::string>> quietOnes;
    for (const auto &[id, c] : m_conns) {
        if (c->busy() || c->closing())
            continue;
        const auto quiet = now - c->lastActivity();
        if (m_config.idleTimeoutSeconds > 0 && quiet > seconds(m_config.idleTimeoutSeconds))
            quietOnes.emplace_back(c, "dropped after " + std::to_string(int(m_config.idleTimeoutSeconds)) +
                                          " s without a command");
        else if (c->session.loggedIn && m_config.silentTimeoutSeconds > 0 &&
                 quiet > seconds(m_config.silentTimeoutSeconds))
            quietOnes.emplace_back(c,
                                   "dropped: client silent for " + secondsText(m_config.silentTimeoutSeconds) + " s");
        else if (!c->session.loggedIn && m_config.loginTimeoutSeconds > 0 &&
                 now - c->connectedAt() > seconds(m_config.loginTimeoutSeconds))
            quietOnes.emplace_back(c, "dropped: no log-in within " + secondsText(m_config.loginTimeoutSeconds) + " s");
        else if (!c->session.loggedIn && !c->session.greeted && m_config.handshakeTimeoutSeconds > 0 &&
                 now - c->connectedAt() > seconds(m_config.handshakeTimeoutSeconds))
            quietOnes.emplace_back(c, "dropped: no \"checkversion\" within " +
                                          secondsText(m_config.handshakeTimeoutSeconds) + " s");
    }
    for (auto &[c, why] : quietOnes) {
        logoff(*c, "silent");
        c->close(why);
    }
    limitOutput();
    const auto memory = kFailureMemory + seconds(m_config.lockoutSeconds);
    for (auto *table : {&m_failures, &m_accountFailures})
        for (auto it = table->begin(); it != table->end();)
            it = now - it->second.last > memory ? table->erase(it) : std::next(it);
    if (++m_ticks % 100 == 0)
        m_throttle.forgetOld();

    m_tickTimer.expires_after(kTick);
    m_tickTimer.async_wait([this](const std::error_code &ec) {
        if (!ec && !m_stopping)
            tick();
    });
}

void Coordinator::finish(Connection &c, bool ok, const std::string &lines)
{
    std::string out;
    if (c.session.loggedIn) {
        const std::size_t dropped = m_log.drain(c.id(), out);
        if (dropped > 0) {
            auto &last = c.session.lastDropWarning;
            if (Clock::now() - last > std::chrono::seconds(60)) {
                last = Clock::now();
                logWarning("connection " + std::to_string(c.id()) + " (" + c.session.loginName +
                           "): " + std::to_string(dropped) + " queued lines folded into reload lines, queue limits " +
                           std::to_string(m_log.lineLimit()) + " lines, " + std::to_string(m_log.byteLimit()) +
                           " bytes");
            }
        }
    }
    out += lines;
    out += ok ? "ok\n" : "err\n";
    c.writeOwned(std::move(out));
}

// The command table: every command the server knows, what it takes to use
// it and who answers it. Rights are read from tbluser.rights at log-in.
const Coordinator::CommandRow Coordinator::kCommands[] = {
    {CommandKind::CheckVersion, "checkversion", false, Right::None, &Coordinator::checkVersion},
    {CommandKind::Auth, "auth", false, Right::None, &Coordinator::auth},
    {CommandKind::CheckPassword, "checkpw", true, Right::None, &Coordinator::checkPassword},
    {CommandKind::User, "user", true, Right::None, &Coordinator::acknowledge},
    {CommandKind::Poll, "poll", true, Right::None, &Coordinator::acknowledge},
    {CommandKind::UserList, "userlijst", true, Right::None, &Coordinator::userList},
    {CommandKind::UserOnline, "useronline", true, Right::None, &Coordinator::userOnline},
    {CommandKind::Lock, "lock", true, Right::None, &Coordinator::lock},
    {CommandKind::Unlock, "unlock", true, Right::None, &Coordinator::unlock},
    {CommandKind::Broadcast, "broadcast", true, Right::None, &Coordinator::broadcast},
    {CommandKind::Direct, "direct", true, Right::None, &Coordinator::direct},
    {CommandKind::ClaimFinalEditor, "eindredacteur", true, Right::FinalEditor, &Coordinator::claimRole},
    {CommandKind::GrantFinalEditor, "ja_eindredacteur", true, Right::None, &Coordinator::answerClaim},
    {CommandKind::RefuseFinalEditor, "nee_eindredacteur", true, Right::None, &Coordinator::answerClaim},
    {CommandKind::JobList, "job list", true, Right::None, &Coordinator::job},
    {CommandKind::JobReload, "job reload", true, Right::None, &Coordinator::job},
    {CommandKind::JobNewOnce, "job new", true, Right::None, &Coordinator::job},
    {CommandKind::Publish, "publiceer", true, Right::None, &Coordinator::publishRubrics},
    {CommandKind::Preview, "voorbeeld", true, Right::None, &Coordinator::publishRubrics},
    {CommandKind::Hangup, "hangup", true, Right::Administrator, &Coordinator::hangup},
    {CommandKind::Unblock, "ontgrendel", true, Right::Administrator, &Coordinator::unblock},
    {CommandKind::Shutdown, "shutdown", true, Right::Administrator, &Coordinator::shutdownCommand},
};

const Coordinator::CommandRow *Coordinator::findCommand(CommandKind kind)
{
    for (const CommandRow &row : kCommands)
        if (row.kind == kind)
            return &row;
    return nullptr;
}

void Coordinator::onLine(Connection &c, const std::string &line)
{
    const Command cmd = parseCommand(line);
    const CommandRow *row = findCommand(cmd.kind);
    if (!row) {
        // Logged, but not so often that a hostile client can flood the log.
        const int n = ++c.session.badLines;
        if (n <= 5 || n % 1000 == 0)
            logLimited("bad " + c.address(),
                       "connection " + std::to_string(c.id()) + " from " + c.address() + ": " + cmd.error +
                           (cmd.word.empty() ? std::string() : " (\"" + cmd.word.substr(0, 40) + "\")"));
        finish(c, false);
        return;
    }
    if (row->needsLogin && !c.session.loggedIn) {
        finish(c, false);
        return;
    }
    if (!c.session.has(row->right)) {
        logLimited("right " + c.session.loginName,
                   c.session.loginName + " lacks the right for \"" + row->name + "\": refused");
        finish(c, false);
        return;
    }
    (this->*row->handler)(c, cmd);
}

void Coordinator::checkVersion(Connection &c, const Command &cmd)
{
    const auto cmp = compareVersions(cmd.arg, m_config.minClientVersion);
    if (!cmp || *cmp < 0)
        logLimited("version " + c.address(), "connection " + std::to_string(c.id()) + " from " + c.address() +
                                                 ": client version " + cmd.arg.substr(0, 40) + " refused (minimum " +
                                                 m_config.minClientVersion + ")");
    if (cmp && *cmp >= 0)
        c.session.greeted = true;
    finish(c, cmp && *cmp >= 0);
}

void Coordinator::acknowledge(Connection &c, const Command &)
{
    finish(c, true);
}

void Coordinator::userList(Connection &c, const Command &)
{
    finish(c, true, userListLine());
}

void Coordinator::userOnline(Connection &c, const Command &cmd)
{
    finish(c, byName(cmd.arg) != nullptr);
}

void Coordinator::lock(Connection &c, const Command &cmd)
{
    if (cmd.arg.size() > m_config.maxLockName ||
        (m_locks.heldBy(c.id()) >= m_config.maxLocks && m_locks.holder(cmd.arg) != c.id())) {
        logLimited("lock " + c.session.loginName,
                   c.session.loginName + ": lock refused (name over max_lock_name or max_locks held)");
        finish(c, false);
        return;
    }
    const auto holder = m_locks.acquire(cmd.arg, c.id());
    if (!holder) {
        finish(c, true);
        return;
    }
    finish(c, false, "lockedby " + nameOf(*holder) + "\n");
}

void Coordinator::unlock(Connection &c, const Command &cmd)
{
    finish(c, m_locks.release(cmd.arg, c.id()));
}

void Coordinator::broadcast(Connection &c, const Command &cmd)
{
    const auto line = relayableBroadcast(cmd.rest);
    if (!line) {
        logLimited("broadcast " + c.session.loginName, "broadcast from " + c.session.loginName + " (" + c.address() +
                                                           ") refused: \"" + cmd.rest.substr(0, 80) + "\"");
        finish(c, false);
        return;
    }
    if (needsEditorRole(*line) && !holdsRole(c.id()) && !c.session.has(Right::Administrator)) {
        logLimited("broadcast " + c.session.loginName, "broadcast from " + c.session.loginName + " (" + c.address() +
                                                           ") refused: \"" + *line + "\" needs the final-editor role");
        finish(c, false);
        return;
    }
    m_log.broadcast(c.id(), *line);
    finish(c, true);
}

bool Coordinator::holdsRole(std::uint64_t connection) const
{
    for (const auto &[team, holder] : m_roles)
        if (holder == connection)
            return true;
    return false;
}

void Coordinator::direct(Connection &c, const Command &cmd)
{
    const std::string line = "direct " + c.session.loginName + " " + cmd.rest;
    if (toLower(cmd.arg) == "all") {
        m_log.broadcast(c.id(), line);
        finish(c, true);
        return;
    }
    Connection *to = byName(cmd.arg);
    if (to)
        m_log.send(to->id(), line);
    finish(c, to != nullptr);
}

bool Coordinator::mayPublish(Connection &c, const char *what)
{
    if (holdsRole(c.id()) || c.session.has(Right::Administrator))
        return true;
    logLimited("publish " + c.session.loginName,
               c.session.loginName + ": " + what + " refused, needs the final-editor role or an administrator");
    return false;
}

// "publiceer" answers at once: "ok" when the run is queued; its progress
// follows as "publish" lines with later replies, and every client reloads
// its cycle when on-air copies changed. "voorbeeld" keeps the connection
// busy until the dry run is done and answers with one "voorbeeld bestand"
// line per target file followed by its "voorbeeld regel" lines.
void Coordinator::publishRubrics(Connection &c, const Command &cmd)
{
    const bool preview = cmd.kind == CommandKind::Preview;
    if (!mayPublish(c, preview ? "voorbeeld" : "publiceer")) {
        finish(c, false,
               preview ? "voorbeeld fout Alleen de eindredacteur of een beheerder mag publiceren\n"
                       : "publish log <red>Alleen de eindredacteur of een beheerder mag publiceren<black>\n");
        return;
    }
    auto rubrics = publish::parseSelection(cmd.rest);
    if (!rubrics) {
        logLimited("publish " + c.session.loginName,
                   c.session.loginName + ": malformed rubric selection \"" + cmd.rest.substr(0, 80) + "\"");
        finish(c, false,
               preview ? "voorbeeld fout De rubriekkeuze is onleesbaar\n"
                       : "publish log <red>De rubriekkeuze is onleesbaar<black>\n");
        return;
    }
    publish::Request request;
    request.connection = c.id();
    request.login = c.session.loginName;
    request.userId = c.session.userId;
    request.rubrics = std::move(*rubrics);
    request.preview = preview;
    if (!preview) {
        logInfo(c.session.loginName + " publishes" + (cmd.rest.empty() ? std::string(" nothing") : ": " + cmd.rest));
        m_publisher->submit(std::move(request), [this](const publish::Outcome &outcome) {
            if (m_stopping)
                return;
            if (!outcome.onAir.empty())
                m_log.broadcast(0, "viewchanged cyclus");
            published(outcome, false);
        });
        finish(c, true);
        return;
    }
    c.setBusy(true);
    auto self = m_conns.at(c.id());
    m_publisher->submit(std::move(request), [this, self](const publish::Outcome &outcome) {
        if (self->closing())
            return;
        std::string lines;
        for (const publish::PreviewFile &f : outcome.preview) {
            const std::string id = std::to_string(f.id);
            lines += "voorbeeld bestand " + id + " " + (f.delivered ? "verschil " : "nieuw ") + f.naam + "\n";
            if (!f.error.empty())
                lines += "voorbeeld fout " + id + " " + f.error + "\n";
            for (const std::string &l : f.lines)
                lines += "voorbeeld regel " + id + " " + l + "\n";
        }
        finish(*self, outcome.databaseOk, lines);
        self->setBusy(false);
    });
}

void Coordinator::shutdownCommand(Connection &c, const Command &)
{
    finish(c, true, "down\n");
    shutdown("shutdown by " + c.session.loginName);
}

// The one asynchronous step of "auth" and "checkpw". The time of the answer
// is fixed before the password is looked at, from the failures counted for
// the address and the name so far, so an answer that comes early or late
// tells nothing about the password. One check per address at a time; the
// outcome is counted even when the client has gone meanwhile, and the
// address stays busy until the answer time has passed. The user store spends
// a hash's time even for an unknown name, so timing does not tell names apart.
//
// Against guessing from many addresses at once: a name with failures is
// checked one guess at a time, wherever the guesses come from, and at
// lockout_failures failures the name (or address) is refused without a check
// until lockout_time has passed since the last one, with a message saying so.
// Checks wait in a bounded queue of their own in front of the database
// workers, in which names and addresses without recent failures go first, so
// guessing does not hold up the editors who log in.
void Coordinator::verifyPassword(Connection &c, const std::string &name, const std::string &password,
                                 PasswordChecked then)
{
    const std::string address = c.address();
    const std::string account = toLower(name);
    if (const double left = lockedFor(address, account); left > 0) {
        const int minutes = std::max(1, int(std::ceil(left / 60)));
        logLimited("locked " + account, "connection " + std::to_string(c.id()) + " from " + address +
                                            ": password check for " + name.substr(0, 40) + " refused, locked out");
        finish(c, false,
               "chat te veel mislukte pogingen; probeer het over " + std::to_string(minutes) +
                   (minutes == 1 ? " minuut" : " minuten") + " opnieuw\n");
        return;
    }
    if (m_loginInFlight.count(address)) {
        logLimited("flight " + address, "connection " + std::to_string(c.id()) + " from " + address +
                                            ": password check refused, another from this address is under way");
        finish(c, false);
        return;
    }
    const auto failuresOf = [](const auto &table, const std::string &key) {
        const auto it = table.find(key);
        return it == table.end() ? 0 : it->second.count;
    };
    const int accountFailures = failuresOf(m_accountFailures, account);
    const int addressFailures = failuresOf(m_failures, address);
    const auto flying = m_accountInFlight.find(account);
    const int inFlight = flying == m_accountInFlight.end() ? 0 : flying->second;
    if (inFlight > 0 && inFlight + accountFailures >= kFreeFailures) {
        logLimited("flight " + account, "connection " + std::to_string(c.id()) + " from " + address +
                                            ": password check for " + name.substr(0, 40) +
                                            " refused, another for this name is under way");
        finish(c, false);
        return;
    }
    // A second check of a name at once is as suspect as a failure.
    const bool first = accountFailures == 0 && inFlight == 0 && addressFailures < kFreeFailures;
    // Each connection waits for one check at most, so this bound only
    // matters with many logged-in editors checking passwords at once.
    const std::size_t queueLimit = m_config.maxUnauthenticated + 64;
    if (m_checksFirst.size() + m_checksLater.size() >= queueLimit) {
        if (!first || m_checksLater.empty()) {
            logLimited("check queue", "connection " + std::to_string(c.id()) + " from " + address +
                                          ": password check refused, " + std::to_string(queueLimit) +
                                          " checks wait already");
            finish(c, false);
            return;
        }
        PendingCheck dropped = std::move(m_checksLater.back());
        m_checksLater.pop_back();
        m_loginInFlight.erase(dropped.address);
        if (--m_accountInFlight[dropped.account] <= 0)
            m_accountInFlight.erase(dropped.account);
        if (!dropped.conn->closing()) {
            finish(*dropped.conn, false);
            dropped.conn->setBusy(false);
        }
    }
    const int waitMs = std::max(failureDelayMs(addressFailures, m_config.loginDelayMs),
                                failureDelayMs(accountFailures, m_config.loginDelayMs));
    PendingCheck check;
    check.conn = m_conns.at(c.id());
    check.name = name;
    check.password = password;
    check.address = address;
    check.account = account;
    check.answerAt = Clock::now() + std::chrono::milliseconds(waitMs);
    check.done = [this, self = check.conn, address, account, answerAt = check.answerAt,
                  then = std::move(then)](const UserLookup &found) {
        const bool right = found.outcome == UserLookup::Outcome::Found && found.passwordRight;
        if (found.outcome != UserLookup::Outcome::DatabaseFailed)
            countOutcome(address, account, right);
        auto answer = [this, self, address, account, found, right, then] {
            m_loginInFlight.erase(address);
            if (--m_accountInFlight[account] <= 0)
                m_accountInFlight.erase(account);
            if (!self->closing())
                then(self, found, right);
        };
        if (Clock::now() >= answerAt) {
            answer();
            return;
        }
        auto timer = std::make_shared<asio::steady_timer>(m_io, answerAt);
        timer->async_wait([timer, answer](const std::error_code &) { answer(); });
    };
    m_loginInFlight.insert(address);
    ++m_accountInFlight[account];
    // A password check is a client speaking the protocol, as "checkversion" is.
    c.session.greeted = true;
    c.setBusy(true);
    (first ? m_checksFirst : m_checksLater).push_back(std::move(check));
    startChecks();
}

// Hands waiting checks to the database workers, no more at once than there
// are workers, so a check that goes first never waits behind a queue there.
void Coordinator::startChecks()
{
    while (m_checksRunning < std::max(1, m_config.dbWorkers) && !(m_checksFirst.empty() && m_checksLater.empty())) {
        auto &queue = m_checksFirst.empty() ? m_checksLater : m_checksFirst;
        auto check = std::make_shared<PendingCheck>(std::move(queue.front()));
        queue.pop_front();
        if (check->conn->closing()) {
            // Gone before its turn: no guess was checked, none is counted.
            m_loginInFlight.erase(check->address);
            if (--m_accountInFlight[check->account] <= 0)
                m_accountInFlight.erase(check->account);
            continue;
        }
        ++m_checksRunning;
        m_users.check(check->name, check->password, [this, check](const UserLookup &found) {
            --m_checksRunning;
            check->done(found);
            startChecks();
        });
    }
}

double Coordinator::lockedFor(const std::string &address, const std::string &account) const
{
    const auto now = Clock::now();
    double left = 0;
    const auto check = [&](const auto &table, const std::string &key) {
        const auto it = table.find(key);
        if (it == table.end() || it->second.count < m_config.lockoutFailures)
            return;
        const double passed = std::chrono::duration<double>(now - it->second.last).count();
        left = std::max(left, m_config.lockoutSeconds - passed);
    };
    check(m_failures, address);
    check(m_accountFailures, account);
    return left;
}

void Coordinator::countOutcome(const std::string &address, const std::string &account, bool right)
{
    const auto now = Clock::now();
    if (right) {
        m_accountFailures.erase(account);
        return;
    }
    Failures &byAddress = m_failures[address];
    byAddress.lastAccount = account;
    for (auto [f, what] : {std::pair{&byAddress, address}, std::pair{&m_accountFailures[account], account}}) {
        ++f->count;
        f->last = now;
        if (f->count == m_config.lockoutFailures)
            logLimited("lockout", what + " locked out for " + secondsText(m_config.lockoutSeconds) + " s after " +
                                      std::to_string(f->count) + " failed log-ins");
    }
}

// Lifts the lock-out of an editor (the editors page): the name's failures
// and those of the addresses whose last failure was that name.
void Coordinator::unblock(Connection &c, const Command &cmd)
{
    const std::string account = toLower(cmd.arg);
    const bool was = lockedFor(std::string(), account) > 0;
    m_accountFailures.erase(account);
    for (auto it = m_failures.begin(); it != m_failures.end();)
        it = it->second.lastAccount == account ? m_failures.erase(it) : std::next(it);
    logInfo(c.session.loginName + " lifts the log-in lock-out of " + cmd.arg + (was ? "" : " (none was in force)"));
    finish(c, true);
}

void Coordinator::auth(Connection &c, const Command &cmd)
{
    if (c.session.loggedIn) {
        // A repeated log-in as the same editor is harmless; switching editors
        // on one connection is not a thing the client does.
        const bool same = toLower(cmd.arg) == toLower(c.session.loginName);
        finish(c, same, same ? "setuserid " + std::to_string(c.session.userId) + "\n" : std::string());
        return;
    }
    verifyPassword(
        c, cmd.arg, cmd.rest, [this](const std::shared_ptr<Connection> &conn, const UserLookup &found, bool right) {
            Connection &self = *conn;
            if (found.outcome == UserLookup::Outcome::DatabaseFailed) {
                // Not the editor's fault, and not to be mistaken for a wrong password.
                finish(self, false, kDatabaseDown);
                self.setBusy(false);
                return;
            }
            if (!right) {
                logLimited("auth " + self.address(), "connection " + std::to_string(self.id()) + " from " +
                                                         self.address() + ": log-in refused (wrong name or password)");
                finish(self, false);
                self.setBusy(false);
                return;
            }
            if (m_online.size() >= m_config.maxConnections) {
                logLimited("limit", "connection " + std::to_string(self.id()) + " from " + self.address() + ": " +
                                        found.user.loginName + " refused, max_connections (" +
                                        std::to_string(m_config.maxConnections) + ") editors are logged in");
                finish(self, false);
                self.setBusy(false);
                return;
            }
            Connection *other = byName(found.user.loginName);
            if (other && other != &self) {
                logInfo("connection " + std::to_string(self.id()) + ": " + found.user.loginName +
                        " is logged in on connection " + std::to_string(other->id()) + " already");
                finish(self, false);
                self.setBusy(false);
                return;
            }
            login(self, found.user);
            self.setBusy(false);
        });
}

void Coordinator::checkPassword(Connection &c, const Command &cmd)
{
    // Only an editor's own password: anything else would let every editor
    // test passwords of others.
    if (toLower(cmd.arg) != toLower(c.session.loginName)) {
        logWarning(c.session.loginName + " asked to check the password of " + cmd.arg + ": refused");
        finish(c, false);
        return;
    }
    verifyPassword(c, c.session.loginName, cmd.rest,
                   [this](const std::shared_ptr<Connection> &conn, const UserLookup &found, bool right) {
                       Connection &self = *conn;
                       const bool down = found.outcome == UserLookup::Outcome::DatabaseFailed;
                       finish(self, right, down ? kDatabaseDown : "");
                       self.setBusy(false);
                   });
}

void Coordinator::login(Connection &c, const UserRow &row)
{
    Session &s = c.session;
    s.loggedIn = true;
    s.userId = row.userId;
    s.loginName = row.loginName;
    s.rights = row.rights;
    s.since = std::chrono::system_clock::now();
    leaveUnauthenticated(c);
    c.setOutputLimit(kMaxOutput);
    m_online[toLower(row.loginName)] = c.id();
    m_log.addClient(c.id());
    m_log.broadcast(c.id(), "chat " + row.loginName + " is aangemeld");
    logInfo("connection " + std::to_string(c.id()) + " from " + c.address() + ": " + row.loginName + " logged in" +
            (c.encrypted() ? "" : " over plain TCP"));
    finish(c, true, "setuserid " + std::to_string(row.userId) + "\n");
    rosterChanged();
}

void Coordinator::logoff(Connection &c, const std::string &why)
{
    Session &s = c.session;
    if (!s.loggedIn)
        return;
    s.loggedIn = false;
    const std::uint64_t id = c.id();
    const std::size_t locks = m_locks.releaseAll(id);
    m_online.erase(toLower(s.loginName));
    m_log.removeClient(id);
    // Claims by this editor lapse; roles it held are free again, or go to
    // whoever was asking for them.
    for (auto it = m_claims.begin(); it != m_claims.end();)
        it = it->second.claimant == id ? m_claims.erase(it) : std::next(it);
    std::vector<std::int64_t> held;
    for (const auto &[team, holder] : m_roles)
        if (holder == id)
            held.push_back(team);
    for (std::int64_t team : held) {
        m_roles.erase(team);
        const auto claim = m_claims.find(team);
        if (claim != m_claims.end()) {
            const std::uint64_t claimant = claim->second.claimant;
            m_claims.erase(claim);
            moveRole(team, claimant, false);
        }
    }
    m_log.broadcast(id, "chat " + s.loginName + " is afgemeld");
    rosterChanged();
    logInfo("connection " + std::to_string(id) + ": " + s.loginName + " logged off (" + why + "), " +
            std::to_string(locks) + " locks freed");
}

void Coordinator::onClosed(Connection &c)
{
    const std::string what = "connection " + std::to_string(c.id()) + " from " + c.address() + " " + c.closeReason();
    // A bare connect and close costs an attacker nothing: such lines share
    // one rate limit, editors' closes are always logged.
    if (c.session.loginName.empty())
        logLimited("closed before log-in: " + c.closeReason(), what + " (not logged in)");
    else
        logInfo(what);
    logoff(c, "connection closed");
    leaveUnauthenticated(c);
    m_conns.erase(c.id());
    if (m_stopping && m_conns.empty())
        m_io.stop();
}

void Coordinator::claimRole(Connection &c, const Command &cmd)
{
    const std::int64_t team = cmd.team;
    const auto holder = m_roles.find(team);
    if (holder == m_roles.end() || holder->second == c.id()) {
        m_roles[team] = c.id();
        logInfo(c.session.loginName + " is final editor of team " + std::to_string(team));
        finish(c, true, "eindredacteur on\n");
        rosterChanged();
        return;
    }
    const auto pending = m_claims.find(team);
    if (pending != m_claims.end()) {
        // One question at a time: the holder's client shows one dialog.
        const bool mine = pending->second.claimant == c.id();
        finish(c, mine, mine ? std::string() : "wijgereindredactie\n");
        return;
    }
    Claim claim;
    claim.claimant = c.id();
    claim.holder = holder->second;
    claim.deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                        std::chrono::duration<double>(m_config.finalEditorTimeoutSeconds));
    m_claims[team] = claim;
    m_log.send(holder->second, "eindredacteur request " + c.session.loginName);
    finish(c, true);
}

void Coordinator::answerClaim(Connection &c, const Command &cmd)
{
    const bool grant = cmd.kind == CommandKind::GrantFinalEditor;
    const Connection *who = byName(cmd.arg);
    for (auto it = m_claims.begin(); it != m_claims.end(); ++it) {
        if (it->second.holder != c.id() || !who || it->second.claimant != who->id())
            continue;
        const std::int64_t team = it->first;
        m_claims.erase(it);
        if (grant) {
            moveRole(team, who->id(), false);
            finish(c, true, "eindredacteur off\n");
            rosterChanged();
        } else {
            m_log.send(who->id(), "wijgereindredactie");
            finish(c, true);
        }
        return;
    }
    finish(c, false);
}

void Coordinator::moveRole(std::int64_t team, std::uint64_t to, bool tellOldHolder)
{
    const auto old = m_roles.find(team);
    if (tellOldHolder && old != m_roles.end() && old->second != to)
        m_log.send(old->second, "eindredacteur off");
    m_roles[team] = to;
    m_log.send(to, "eindredacteur on");
    logInfo(nameOf(to) + " is final editor of team " + std::to_string(team));
}

void Coordinator::job(Connection &c, const Command &cmd)
{
    if (cmd.kind == CommandKind::JobList) {
        std::string lines;
        for (const std::string &t : m_jobs.runningTexts())
            lines += "job name " + t + "\n";
        for (const std::string &t : m_import.runningTexts())
            lines += "job name " + t + "\n";
        for (const std::string &t : m_jobs.plannedTexts())
            lines += "job aname " + t + "\n";
        for (const std::string &t : m_import.plannedTexts())
            lines += "job aname " + t + "\n";
        finish(c, true, lines);
        return;
    }
    if (cmd.kind == CommandKind::JobReload) {
        std::string error;
        auto fresh = loadConfig(m_configPath, &error);
        if (!fresh) {
            logError("job reload by " + c.session.loginName + " failed: " + error);
            finish(c, false, "job log taken niet opnieuw geladen: " + error + "\n");
            return;
        }
        logInfo("jobs reloaded by " + c.session.loginName + " (" + std::to_string(fresh->jobs.size()) +
                " jobs; other settings take effect at the next start)");
        m_jobs.setDefinitions(fresh->jobs);
        jobLog("taken opnieuw geladen door " + c.session.loginName);
        finish(c, true);
        return;
    }
    if (const auto source = import::sourceId(cmd.arg)) {
        std::string why;
        if (!m_import.start(*source, cmd.rest, c.session.loginName, why)) {
            jobLog(why);
            finish(c, false);
            return;
        }
        finish(c, true);
        return;
    }
    std::string why;
    if (!m_jobs.startNow(cmd.arg, c.session.loginName, why)) {
        jobLog(why);
        finish(c, false);
        return;
    }
    finish(c, true);
}

void Coordinator::hangup(Connection &c, const Command &cmd)
{
    Connection *target = byName(cmd.arg);
    if (!target) {
        finish(c, false);
        return;
    }
    logInfo(c.session.loginName + " hangs up " + target->session.loginName);
    const bool self = target == &c;
    if (self) {
        finish(c, true, "down\n");
        logoff(c, "hung up");
        c.closeAfterFlush();
        return;
    }
    std::string out;
    m_log.drain(target->id(), out);
    target->write(out + "down\n");
    logoff(*target, "hung up by " + c.session.loginName);
    target->closeAfterFlush();
    finish(c, true);
}

void Coordinator::shutdown(const std::string &reason)
{
    if (m_stopping)
        return;
    m_stopping = true;
    logInfo("shutting down: " + reason);
    std::error_code ignored;
    m_acceptor.close(ignored);
    m_tickTimer.cancel();
    m_onAirTimer.cancel();
    m_jobs.killAll();
    m_import.stop();
    std::vector<std::shared_ptr<Connection>> all;
    for (const auto &[id, c] : m_conns)
        all.push_back(c);
    for (auto &c : all) {
        // The command's own reply already carries "down" for the sender.
        if (!c->closing())
            c->write("down\n");
        logoff(*c, "server stops");
        c->closeAfterFlush();
    }
    if (m_conns.empty()) {
        asio::post(m_io, [this] { m_io.stop(); });
        return;
    }
    m_stopTimer.expires_after(std::chrono::seconds(3));
    m_stopTimer.async_wait([this](const std::error_code &ec) {
        if (!ec)
            m_io.stop();
    });
}

std::string Coordinator::userListLine() const
{
    std::vector<const Connection *> online;
    for (const auto &[name, id] : m_online)
        if (const Connection *c = byId(id))
            online.push_back(c);
    std::sort(online.begin(), online.end(), [](const Connection *a, const Connection *b) {
        return toLower(a->session.loginName) < toLower(b->session.loginName);
    });
    std::string line = "users ";
    for (const Connection *c : online) {
        std::string info = "sinds " + hhmm(c->session.since);
        for (const auto &[team, holder] : m_roles)
            if (holder == c->id())
                info += ", eindredacteur redactie " + std::to_string(team);
        line += c->session.loginName + " " + info + "|";
    }
    return line + "\n";
}

Connection *Coordinator::byId(std::uint64_t id) const
{
    const auto it = m_conns.find(id);
    return it == m_conns.end() ? nullptr : it->second.get();
}

Connection *Coordinator::byName(const std::string &name) const
{
    const auto it = m_online.find(toLower(name));
    return it == m_online.end() ? nullptr : byId(it->second);
}

std::string Coordinator::nameOf(std::uint64_t id) const
{
    const Connection *c = byId(id);
    return c ? c->session.loginName : std::string("?");
}

void Coordinator::jobLog(const std::string &text)
{
    logInfo("job: " + text);
    m_log.broadcast(0, "job log " + text);
}

namespace {
constexpr auto kOnAirLongestWait = std::chrono::minutes(5);  // a clock edited after its text was published
constexpr auto kOnAirRetry = std::chrono::minutes(1);  // after the database failed
constexpr auto kOnAirLate = std::chrono::milliseconds(200);  // after the minute starts, so the look sees it
}  // namespace

void Coordinator::checkOnAir()
{
    if (m_stopping)
        return;
    if (m_onAirChecking) {
        m_onAirAgain = true;
        return;
    }
    m_onAirChecking = true;
    m_db.submit([this](DbConnection &db) {
        auto state = std::make_shared<publish::OnAirState>();
        std::string error;
        const bool ok = publish::readOnAirState(db, publish::localMinute(std::time(nullptr)), *state, error);
        asio::post(m_io, [this, ok, state, error] { onAirChecked(ok, *state, error); });
    });
}

void Coordinator::onAirChecked(bool ok, const publish::OnAirState &state, const std::string &error)
{
    m_onAirChecking = false;
    if (m_stopping)
        return;
    if (m_onAirAgain) {
        m_onAirAgain = false;
        checkOnAir();
        return;
    }
    std::chrono::system_clock::duration wait = kOnAirLongestWait;
    if (!ok) {
        logWarning("on-air clocks not read: " + error);
        wait = kOnAirRetry;
    } else {
        std::vector<std::int64_t> changed;
        for (const auto &[rubric, shown] : state.shown)
            if (m_onAirKnown)
                if (const auto it = m_shownOnAir.find(rubric); it != m_shownOnAir.end() && it->second != shown)
                    changed.push_back(rubric);
        m_shownOnAir = state.shown;
        m_onAirKnown = true;
        if (!changed.empty()) {
            publish::Request request;
            request.login = "quillon";
            request.rubrics = changed;
            request.republication = true;
            std::string ids;
            for (std::int64_t id : changed)
                ids += " " + std::to_string(id);
            logInfo("a clock started or ended: publishing again:" + ids);
            m_publisher->submit(std::move(request), [this](const publish::Outcome &outcome) {
                if (!m_stopping)
                    published(outcome, true);
            });
        }
        if (state.next) {
            const std::time_t at = publish::minuteStart(*state.next);
            if (at >= 0) {
                const auto until = std::chrono::system_clock::from_time_t(at) - std::chrono::system_clock::now();
                using Duration = std::chrono::system_clock::duration;
                wait = std::min<Duration>(std::max<Duration>(until, Duration::zero()), kOnAirLongestWait);
            }
        }
    }
    m_onAirTimer.expires_after(wait + kOnAirLate);
    m_onAirTimer.async_wait([this](const std::error_code &ec) {
        if (!ec && !m_stopping)
            checkOnAir();
    });
}

void Coordinator::published(const publish::Outcome &outcome, bool republication)
{
    // A run that put a rubric on air (or published its on-air copy again,
    // also when a delivery failed: it is not repeated at every look) set
    // what that rubric shows; the look after it compares with that.
    for (const auto &[rubric, shown] : outcome.shown)
        if (republication || std::find(outcome.onAir.begin(), outcome.onAir.end(), rubric) != outcome.onAir.end())
            m_shownOnAir[rubric] = shown;
    checkOnAir();
}

void Coordinator::rosterChanged()
{
    if (m_stopping)
        return;
    std::string line = userListLine();
    line.pop_back();
    m_log.broadcast(0, std::move(line));
}

}  // namespace qserver
