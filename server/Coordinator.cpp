#include "Coordinator.h"

#include "Log.h"
#include "import/Importer.h"
#include "publish/Publisher.h"

#include <algorithm>
#include <ctime>
#include <vector>

namespace qserver {

namespace {
constexpr std::size_t kMaxOutput = 64 * 1024 * 1024;   // unread reply bytes before a client is dropped
constexpr auto kTick = std::chrono::milliseconds(100);  // resolution of time-outs
constexpr int kFreeFailures = 3;                        // failed log-ins per address before slowing down
constexpr auto kFailureMemory = std::chrono::minutes(5);
constexpr int kMaxLoginDelayMs = 8000;

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
      m_acceptRetry(io), m_stopTimer(io),
      m_db(makeConninfo(m_config.dbHost, m_config.dbPort, m_config.dbName, m_config.dbUser, m_config.dbPassword),
           m_config.dbWorkers),
      m_users(m_db, [this](std::function<void()> f) { asio::post(m_io, std::move(f)); }),
      m_jobs(
          io, [this](const std::string &text) { jobLog(text); },
          [this] { m_log.broadcast(0, "job refresh"); }),
      m_log(m_config.queueLimit)
{
    m_jobs.setDefinitions(m_config.jobs);
}

Coordinator::~Coordinator()
{
    m_jobs.killAll();
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
        error = "cannot listen on " + m_config.listenAddress + ":" + std::to_string(m_config.port) + ": " +
                ec.message();
        return false;
    }
    logInfo("listening on " + m_config.listenAddress + ":" + std::to_string(port()));
    accept();
    tick();
    return true;
}

unsigned short Coordinator::port() const
{
    std::error_code ec;
    return m_acceptor.local_endpoint(ec).port();
}

void Coordinator::accept()
{
    m_acceptor.async_accept([this](const std::error_code &ec, asio::ip::tcp::socket socket) {
        if (m_stopping)
            return;
        if (ec) {
            // Out of descriptors and the like: wait a little rather than spin.
            logWarning("accept failed: " + ec.message());
            m_acceptRetry.expires_after(std::chrono::milliseconds(100));
            m_acceptRetry.async_wait([this](const std::error_code &e) {
                if (!e)
                    accept();
            });
            return;
        }
        auto c = std::make_shared<Connection>(std::move(socket), *this, ++m_nextId, m_config.maxLineLength,
                                              kMaxOutput);
        m_conns.emplace(c->id(), c);
        c->start();
        accept();
    });
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
    }
    if (m_config.idleTimeoutSeconds > 0) {
        const auto limit = std::chrono::duration<double>(m_config.idleTimeoutSeconds);
        std::vector<std::shared_ptr<Connection>> idle;
        for (const auto &[id, c] : m_conns)
            if (!c->busy() && !c->closing() && now - c->lastActivity() > limit)
                idle.push_back(c);
        for (auto &c : idle) {
            logoff(*c, "idle");
            c->close("dropped after " + std::to_string(int(m_config.idleTimeoutSeconds)) + " s without a command");
        }
    }
    for (auto it = m_failures.begin(); it != m_failures.end();)
        it = now - it->second.last > kFailureMemory ? m_failures.erase(it) : std::next(it);

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
                logWarning("connection " + std::to_string(c.id()) + " (" + c.session.loginName + "): " +
                           std::to_string(dropped) + " queued lines dropped, queue limit " +
                           std::to_string(m_log.limit()));
            }
        }
    }
    out += lines;
    out += ok ? "ok\n" : "err\n";
    c.write(out);
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
    {CommandKind::Hangup, "hangup", true, Right::Administrator, &Coordinator::hangup},
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
            logWarning("connection " + std::to_string(c.id()) + " from " + c.address() + ": " + cmd.error +
                       (cmd.word.empty() ? std::string() : " (\"" + cmd.word.substr(0, 40) + "\")"));
        finish(c, false);
        return;
    }
    if (row->needsLogin && !c.session.loggedIn) {
        finish(c, false);
        return;
    }
    if (!c.session.has(row->right)) {
        logWarning(c.session.loginName + " lacks the right for \"" + row->name + "\": refused");
        finish(c, false);
        return;
    }
    (this->*row->handler)(c, cmd);
}

void Coordinator::checkVersion(Connection &c, const Command &cmd)
{
    const auto cmp = compareVersions(cmd.arg, m_config.minClientVersion);
    if (!cmp || *cmp < 0)
        logInfo("connection " + std::to_string(c.id()) + ": client version " + cmd.arg + " refused (minimum " +
                m_config.minClientVersion + ")");
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
    m_log.broadcast(c.id(), cmd.rest);
    finish(c, true);
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

void Coordinator::publishRubrics(Connection &c, const Command &)
{
    if (!publish::available()) {
        const std::string text = publish::unavailableText(c.session.loginName);
        logInfo(text);
        finish(c, false, "publish log <red>" + text + "<black>\njob log " + text + "\n");
        return;
    }
    finish(c, false);
}

void Coordinator::shutdownCommand(Connection &c, const Command &)
{
    finish(c, true, "down\n");
    shutdown("shutdown by " + c.session.loginName);
}

// The one asynchronous step of "auth" and "checkpw": the connection waits
// (busy) while a database worker looks the editor up; back on the loop the
// password is compared, even for an unknown name, so timing does not tell
// names apart.
void Coordinator::verifyPassword(Connection &c, const std::string &name, const std::string &password,
                                 PasswordChecked then)
{
    c.setBusy(true);
    auto self = m_conns.at(c.id());
    m_users.find(name, [self, password, then = std::move(then)](const UserLookup &found) {
        if (self->closing())
            return;
        const bool right = constantTimeEquals(found.user.password, password) &&
                           found.outcome == UserLookup::Outcome::Found && !found.user.password.empty();
        then(self, found, right);
    });
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
    verifyPassword(c, cmd.arg, cmd.rest, [this](const std::shared_ptr<Connection> &conn, const UserLookup &found, bool right) {
        Connection &self = *conn;
        if (found.outcome == UserLookup::Outcome::DatabaseFailed) {
            finish(self, false);
            self.setBusy(false);
            return;
        }
        if (!right) {
            logInfo("connection " + std::to_string(self.id()) + " from " + self.address() +
                    ": log-in refused (wrong name or password)");
            passwordFailed(conn, std::string());
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
    verifyPassword(c, c.session.loginName, cmd.rest, [this](const std::shared_ptr<Connection> &conn, const UserLookup &found, bool right) {
        Connection &self = *conn;
        if (!right && found.outcome != UserLookup::Outcome::DatabaseFailed) {
            passwordFailed(conn, std::string());
            return;
        }
        finish(self, right);
        self.setBusy(false);
    });
}

void Coordinator::passwordFailed(const std::shared_ptr<Connection> &c, const std::string &lines)
{
    Failures &f = m_failures[c->address()];
    ++f.count;
    f.last = Clock::now();
    int delayMs = 0;
    if (f.count > kFreeFailures) {
        const int steps = std::min(f.count - kFreeFailures - 1, 10);
        delayMs = std::min(m_config.loginDelayMs * (1 << steps), kMaxLoginDelayMs);
    }
    if (delayMs == 0) {
        finish(*c, false, lines);
        c->setBusy(false);
        return;
    }
    auto timer = std::make_shared<asio::steady_timer>(m_io, std::chrono::milliseconds(delayMs));
    timer->async_wait([this, c, timer, lines](const std::error_code &) {
        if (c->closing())
            return;
        finish(*c, false, lines);
        c->setBusy(false);
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
    m_online[toLower(row.loginName)] = c.id();
    m_log.addClient(c.id());
    m_log.broadcast(c.id(), "chat " + row.loginName + " is aangemeld");
    logInfo("connection " + std::to_string(c.id()) + " from " + c.address() + ": " + row.loginName + " logged in");
    finish(c, true, "setuserid " + std::to_string(row.userId) + "\n");
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
    logInfo("connection " + std::to_string(id) + ": " + s.loginName + " logged off (" + why + "), " +
            std::to_string(locks) + " locks freed");
}

void Coordinator::onClosed(Connection &c)
{
    logoff(c, "connection closed");
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
        for (const std::string &t : m_jobs.plannedTexts())
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
        jobLog(import::unavailableText(*source, cmd.rest));
        finish(c, false);
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
    m_jobs.killAll();
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

}  // namespace qserver
