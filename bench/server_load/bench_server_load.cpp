// Fan-out load on quillon-server at offered broadcast rates, against
// redis-server PUBLISH/SUBSCRIBE at the same rates.
//
// 1,000 logged-in clients each poll once a second; 100 of them broadcast at
// a fixed offered rate shared between them (paced, not as fast as the server
// answers: an open loop). Each rate runs for a 10-second window, then two
// more seconds of polls collect what is still queued. Every broadcast carries
// its step, sender and sequence number, so each client counts exactly which
// lines reached it; a line is lost when it never arrives. A reply with more
// lines than the server's queue limit means lines were folded into reload
// lines, which counts as a loss too. The rate is stepped up until a step
// loses a line or cannot be offered in full (the broadcasters fall behind);
// the highest step before that is the highest lossless rate.
//
// Printed per step: broadcasts/s, delivered lines/s, lines lost, poll latency
// p50/p99 (send to the final "ok", reply read completely). Then redis-server
// at the newsroom rate (100/s) and at our highest lossless rate: 1,000
// subscribers and 100 publishers paced the same way (pipelined, which redis
// allows and our one-command-at-a-time protocol does not), the subscribers'
// output limit lifted so redis never drops a slow reader (its best case),
// its deliveries counted like ours (every subscriber but the sender's own)
// and collected as long. The last line compares the deliveries per second
// at the highest lossless rate.
// Everything stays on 127.0.0.1 and is bounded in count and time. Needs
// QUILLON_PG_HOST/QUILLON_PG15_PORT/QUILLON_PG_SUPERUSER/QUILLON_PG_SUPERPASS
// (scripts/bench sets them).

#include <asio.hpp>
#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kClients = 1000;
constexpr int kBroadcasters = 100;
constexpr auto kWindow = std::chrono::seconds(10);
constexpr auto kCollect = std::chrono::milliseconds(2500);  // at least two more polls of every client
constexpr std::size_t kQueueLimit = 10000;  // the server's queue_limit, set in its configuration below
constexpr double kNewsroomRate = 100;
// Offered broadcasts per second, tried in order until one loses a line.
const std::vector<double> kRates = {100, 500, 1000, 2000, 3000, 4000, 5000, 6000, 7000, 8000, 9000, 10000, 12000};
constexpr unsigned long long kSeqSpan = 1'000'000'000ULL;  // id = sender * kSeqSpan + sequence number
using Clock = std::chrono::steady_clock;
using asio::ip::tcp;

std::string env(const char *name, const char *fallback = "")
{
    const char *v = std::getenv(name);
    return v && *v ? v : fallback;
}

[[noreturn]] void die(const std::string &why)
{
    std::fprintf(stderr, "bench_server_load: %s\n", why.c_str());
    std::exit(2);
}

bool sql(const std::string &conninfo, const std::string &statement)
{
    PGconn *c = PQconnectdb(conninfo.c_str());
    bool ok = PQstatus(c) == CONNECTION_OK;
    if (ok) {
        PGresult *r = PQexec(c, statement.c_str());
        ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        if (!ok)
            std::fprintf(stderr, "bench_server_load: %s\n", PQresultErrorMessage(r));
        PQclear(r);
    } else {
        std::fprintf(stderr, "bench_server_load: %s\n", PQerrorMessage(c));
    }
    PQfinish(c);
    return ok;
}

pid_t spawn(const std::vector<std::string> &args, const std::string &logFile)
{
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&fa, 1, 2);
    std::vector<char *> argv;
    for (const auto &a : args)
        argv.push_back(const_cast<char *>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &fa, nullptr, argv.data(), environ) != 0)
        die("cannot start " + args[0]);
    posix_spawn_file_actions_destroy(&fa);
    return pid;
}

void stop(pid_t pid)
{
    if (pid <= 0)
        return;
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

unsigned short freePort()
{
    asio::io_context io;
    tcp::acceptor a(io, tcp::endpoint(asio::ip::make_address("127.0.0.1"), 0));
    return a.local_endpoint().port();
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// CPU seconds a process has used so far (user and system), from /proc.
double cpuSeconds(pid_t pid)
{
    std::istringstream in(readFile("/proc/" + std::to_string(pid) + "/stat"));
    std::string field;
    double ticks = 0;
    for (int i = 1; i <= 15 && (in >> field); ++i)
        if (i == 14 || i == 15)
            ticks += std::atof(field.c_str());
    return ticks / double(::sysconf(_SC_CLK_TCK));
}

// CPU seconds this process has used so far.
double ownCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

// One step's verb: the step travels in the letters of the broadcast's verb
// ("bencha", "benchb", ...), so a late line of an earlier step is told apart.
std::string stepVerb(int step)
{
    return std::string("bench") + char('a' + step);
}

struct StepResult {
    double rate = 0;
    std::uint64_t offered = 0;  // broadcasts due in the window
    std::uint64_t sent = 0;  // broadcasts answered "ok"
    std::uint64_t expected = 0;  // sent times the receivers of each
    std::uint64_t delivered = 0;  // lines of this step that arrived
    std::size_t longestReply = 0;  // most lines of this step in one reply
    std::vector<double> pollMs;
    double seconds() const { return std::chrono::duration<double>(kWindow).count(); }
    std::uint64_t lost() const { return expected > delivered ? expected - delivered : 0; }
    bool folded() const { return longestReply > kQueueLimit; }
    // The broadcasters kept up: at most 1 % of the due broadcasts were not sent.
    bool sustained() const { return double(sent) >= 0.99 * double(offered); }
    bool lossless() const { return sustained() && lost() == 0 && !folded(); }
};

// Spreads `rate` broadcasts a second over the senders from `start` on:
// due(now) is how many should have left by now.
struct Pacer {
    double rate;
    Clock::time_point start;
    std::uint64_t issued = 0;
    std::uint64_t due(Clock::time_point now) const
    {
        return now <= start ? 0 : std::uint64_t(rate * std::chrono::duration<double>(now - start).count());
    }
};

// Reads lines from a socket and hands each to onLine; the buffer is kept
// between reads so lines split over reads come out whole.
template <typename Client, typename OnLine>
void readLines(const std::shared_ptr<Client> &c, OnLine onLine)
{
    c->sock.async_read_some(asio::buffer(c->buf), [c, onLine](const std::error_code &ec, std::size_t n) {
        if (ec)
            return;
        c->in.append(c->buf.data(), n);
        std::size_t start = 0;
        const char *data = c->in.data();
        while (const void *lf = std::memchr(data + start, '\n', c->in.size() - start)) {
            std::size_t end = static_cast<const char *>(lf) - data;
            const std::size_t next = end + 1;
            if (end > start && data[end - 1] == '\r')
                --end;
            onLine(c, std::string_view(data + start, end - start));
            start = next;
        }
        c->in.erase(0, start);
        readLines(c, onLine);
    });
}

// ---------------------------------------------------------------- ours

struct OurClient {
    enum class Cmd { None, Auth, Poll, Broadcast };
    OurClient(asio::io_context &io, int i) : sock(io), pollTimer(io), index(i) {}
    tcp::socket sock;
    asio::steady_timer pollTimer;
    int index;
    std::array<char, 65536> buf{};
    std::string in, out;
    Cmd current = Cmd::None;
    bool pollDue = false;
    Clock::time_point sentAt;
    std::uint64_t seq = 0;
    std::uint64_t pending = 0;  // broadcasts due but not yet sent
    std::size_t replyLines = 0;  // lines of the current step in the reply being read
    std::size_t anyLines = 0;  // lines of any kind in the reply being read
    bool settled = false;
};

struct OurBench {
    asio::io_context io{1};
    asio::steady_timer pacerTimer{io};
    std::vector<std::shared_ptr<OurClient>> clients;
    int loggedIn = 0;
    int failed = 0;
    int settled = 0;  // clients whose poll found nothing queued
    bool polling = false;
    // The step being measured.
    int step = -1;
    std::string verb;
    bool offering = false;
    Clock::time_point windowStart, windowEnd;
    Pacer pacer{0, {}};
    StepResult result;

    void send(const std::shared_ptr<OurClient> &c, OurClient::Cmd cmd, std::string line)
    {
        c->current = cmd;
        c->out = std::move(line);
        c->out += "\r\n";
        c->sentAt = Clock::now();
        asio::async_write(c->sock, asio::buffer(c->out), [](const std::error_code &, std::size_t) {});
    }

    void next(const std::shared_ptr<OurClient> &c)
    {
        if (c->current != OurClient::Cmd::None)
            return;
        if (c->pollDue) {
            c->pollDue = false;
            send(c, OurClient::Cmd::Poll, "poll");
        } else if (c->pending > 0) {
            --c->pending;
            // The server relays only row announcements: sender and sequence
            // number travel as the row id, the step as the verb.
            send(c, OurClient::Cmd::Broadcast,
                 "broadcast agenda " + verb + " " + std::to_string(c->index * kSeqSpan + ++c->seq));
        }
    }

    void onLine(const std::shared_ptr<OurClient> &c, std::string_view line)
    {
        if (line == "ok" || line == "err") {
            const auto cmd = c->current;
            c->current = OurClient::Cmd::None;
            if (cmd == OurClient::Cmd::Auth) {
                (line == "ok" ? loggedIn : failed)++;
            } else if (cmd == OurClient::Cmd::Poll && c->sentAt >= windowStart && c->sentAt < windowEnd) {
                result.pollMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - c->sentAt).count());
            } else if (cmd == OurClient::Cmd::Broadcast && line == "ok") {
                ++result.sent;
            }
            if (cmd == OurClient::Cmd::Poll && c->anyLines == 0 && !c->settled) {
                c->settled = true;
                ++settled;
            }
            result.longestReply = std::max(result.longestReply, c->replyLines);
            c->replyLines = c->anyLines = 0;
            next(c);
            return;
        }
        ++c->anyLines;
        // "agenda <verb> <id>": only this step's lines count.
        constexpr std::string_view prefix = "agenda ";
        if (line.size() > prefix.size() + verb.size() + 1 && line.substr(0, prefix.size()) == prefix &&
            line.substr(prefix.size(), verb.size()) == verb && line[prefix.size() + verb.size()] == ' ') {
            ++result.delivered;
            ++c->replyLines;
        }
    }

    void schedulePoll(const std::shared_ptr<OurClient> &c, Clock::time_point at)
    {
        c->pollTimer.expires_at(at);
        c->pollTimer.async_wait([this, c, at](const std::error_code &ec) {
            if (ec || !polling)
                return;
            c->pollDue = true;
            next(c);
            schedulePoll(c, at + std::chrono::seconds(1));
        });
    }

    void pace()
    {
        pacerTimer.expires_after(std::chrono::milliseconds(1));
        pacerTimer.async_wait([this](const std::error_code &ec) {
            if (ec || !offering)
                return;
            const auto now = std::min(Clock::now(), windowEnd);
            const std::uint64_t due = pacer.due(now);
            for (; pacer.issued < due; ++pacer.issued) {
                const auto &c = clients[pacer.issued % kBroadcasters];
                ++c->pending;
                next(c);
            }
            if (Clock::now() >= windowEnd) {
                offering = false;
                return;
            }
            pace();
        });
    }

    void connect(unsigned short port)
    {
        const auto ep = tcp::endpoint(asio::ip::make_address("127.0.0.1"), port);
        for (int i = 0; i < kClients; ++i) {
            auto c = std::make_shared<OurClient>(io, i);
            std::error_code ec;
            // One loopback address per client, as one desk per editor: the
            // server checks one log-in per address at a time.
            c->sock.open(tcp::v4(), ec);
            if (!ec)
                c->sock.bind(tcp::endpoint(asio::ip::make_address_v4("127.1." + std::to_string(i / 250) + "." +
                                                                     std::to_string(1 + i % 250)),
                                           0),
                             ec);
            if (!ec)
                c->sock.connect(ep, ec);
            if (ec)
                die("connect " + std::to_string(i) + ": " + ec.message());
            c->sock.set_option(tcp::no_delay(true));
            clients.push_back(c);
            readLines(c, [this](const std::shared_ptr<OurClient> &cl, std::string_view l) { onLine(cl, l); });
            send(c, OurClient::Cmd::Auth, "auth bench" + std::to_string(i + 1) + " pw");
        }
        // Log-ins go through the database and a deliberately slow password
        // hash each (the plain test passwords are hashed at the first
        // log-in); wait for all of them (bounded).
        const auto loginStart = Clock::now();
        const auto loginDeadline = loginStart + std::chrono::seconds(300);
        while (loggedIn + failed < kClients && Clock::now() < loginDeadline)
            io.run_for(std::chrono::milliseconds(50));
        if (loggedIn != kClients)
            die("only " + std::to_string(loggedIn) + " of " + std::to_string(kClients) + " clients logged in");
        std::printf("%d log-ins in %.1f s\n", kClients,
                    std::chrono::duration<double>(Clock::now() - loginStart).count());
        // Every client polls once a second from now on, spread over the second.
        polling = true;
        for (auto &c : clients)
            schedulePoll(c, Clock::now() + std::chrono::microseconds(1000 * c->index));
        // A thousand log-ins queued a thousand roster and chat lines for
        // everybody: measuring starts once every client has polled an empty
        // queue (bounded).
        const auto settleDeadline = Clock::now() + std::chrono::seconds(60);
        while (settled < kClients && Clock::now() < settleDeadline)
            io.run_for(std::chrono::milliseconds(100));
        if (settled < kClients)
            die("the clients did not settle after logging in");
    }

    StepResult run(int stepIndex, double rate)
    {
        step = stepIndex;
        verb = stepVerb(step);
        result = StepResult{};
        result.rate = rate;
        windowStart = Clock::now() + std::chrono::milliseconds(200);
        windowEnd = windowStart + kWindow;
        pacer = Pacer{rate, windowStart};
        offering = true;
        pace();
        io.run_until(windowEnd + kCollect);
        offering = false;
        for (auto &c : clients)
            c->pending = 0;  // what the broadcasters could not send in time is not offered later
        result.offered = std::uint64_t(rate * result.seconds());
        result.expected = result.sent * (kClients - 1);
        return result;
    }

    void close()
    {
        polling = false;
        for (auto &c : clients) {
            std::error_code ignored;
            c->pollTimer.cancel();
            c->sock.close(ignored);
        }
        io.run_for(std::chrono::milliseconds(200));
    }
};

// ---------------------------------------------------------------- redis

struct RedisClient {
    RedisClient(asio::io_context &io, int i) : sock(io), index(i) {}
    tcp::socket sock;
    int index;
    std::array<char, 65536> buf{};
    std::string in, out;
    std::uint64_t seq = 0;
    std::uint64_t pending = 0;
    bool subscribed = false;
};

struct RedisBench {
    asio::io_context io{1};
    asio::steady_timer pacerTimer{io};
    std::vector<std::shared_ptr<RedisClient>> subs, pubs;
    int subscribed = 0;
    std::string tag;  // this step's first payload word
    std::string needle;  // how a payload starts in the stream: LF, the tag and a space
    bool offering = false;
    Clock::time_point windowStart, windowEnd;
    Pacer pacer{0, {}};
    StepResult result;

    static std::string bulk(std::string_view s)
    {
        return "$" + std::to_string(s.size()) + "\r\n" + std::string(s) + "\r\n";
    }

    // Redis takes pipelined commands, so a publisher sends what is due at
    // once instead of waiting for each reply: the rate is always offered.
    void publish(const std::shared_ptr<RedisClient> &p)
    {
        auto out = std::make_shared<std::string>();
        for (; p->pending > 0; --p->pending) {
            ++result.sent;
            const std::string payload = tag + " " + std::to_string(p->index) + " " + std::to_string(++p->seq);
            *out += "*3\r\n" + bulk("PUBLISH") + bulk("bench") + bulk(payload);
        }
        if (!out->empty())
            asio::async_write(p->sock, asio::buffer(*out), [out](const std::error_code &, std::size_t) {});
    }

    // A pushed message is *3 $7 message $5 bench $N payload, each line ending
    // in CR LF. Only the payloads are looked at, found by their first word
    // (this step's tag), so counting costs no more per line than it does
    // for ours and the bench does not become redis's bottleneck.
    void readSubscriber(const std::shared_ptr<RedisClient> &c)
    {
        c->sock.async_read_some(asio::buffer(c->buf), [this, c](const std::error_code &ec, std::size_t n) {
            if (ec)
                return;
            c->in.append(c->buf.data(), n);
            if (!c->subscribed) {
                if (c->in.find(":1\r\n") != std::string::npos) {
                    c->subscribed = true;
                    ++subscribed;
                    c->in.clear();
                }
                readSubscriber(c);
                return;
            }
            const std::string_view data(c->in);
            std::size_t keep = data.size() > needle.size() ? data.size() - (needle.size() - 1) : 0;
            for (std::size_t at = data.find(needle); at != std::string_view::npos; at = data.find(needle, at + 1)) {
                const std::size_t from = at + needle.size();
                const std::size_t end = data.find('\r', from);
                if (end == std::string_view::npos) {
                    keep = at;  // the payload is not complete yet
                    break;
                }
                // "<tag> <sender> <seq>": this step's lines from other senders
                // count, as ours reach every client but the sender.
                int sender = -1;
                std::from_chars(data.data() + from, data.data() + end, sender);
                if (sender != c->index)
                    ++result.delivered;
                keep = std::max(keep, end);
            }
            c->in.erase(0, keep);
            readSubscriber(c);
        });
    }

    void pace()
    {
        pacerTimer.expires_after(std::chrono::milliseconds(1));
        pacerTimer.async_wait([this](const std::error_code &ec) {
            if (ec || !offering)
                return;
            const auto now = std::min(Clock::now(), windowEnd);
            const std::uint64_t due = pacer.due(now);
            for (; pacer.issued < due; ++pacer.issued) {
                const auto &p = pubs[pacer.issued % kBroadcasters];
                ++p->pending;
                publish(p);
            }
            if (Clock::now() >= windowEnd) {
                offering = false;
                return;
            }
            pace();
        });
    }

    void connect(unsigned short port)
    {
        const auto ep = tcp::endpoint(asio::ip::make_address("127.0.0.1"), port);
        for (int i = 0; i < kClients; ++i) {
            auto c = std::make_shared<RedisClient>(io, i);
            std::error_code ec;
            c->sock.connect(ep, ec);
            if (ec)
                die("redis connect: " + ec.message());
            subs.push_back(c);
            readSubscriber(c);
            c->out = "*2\r\n" + bulk("SUBSCRIBE") + bulk("bench");
            asio::async_write(c->sock, asio::buffer(c->out), [](const std::error_code &, std::size_t) {});
        }
        const auto deadline = Clock::now() + std::chrono::seconds(30);
        while (subscribed < kClients && Clock::now() < deadline)
            io.run_for(std::chrono::milliseconds(50));
        if (subscribed != kClients)
            die("only " + std::to_string(subscribed) + " redis subscribers");
        for (int i = 0; i < kBroadcasters; ++i) {
            auto p = std::make_shared<RedisClient>(io, i);
            p->sock.connect(ep);
            p->sock.set_option(tcp::no_delay(true));
            pubs.push_back(p);
            readLines(p, [](const std::shared_ptr<RedisClient> &, std::string_view) {});
        }
    }

    StepResult run(int step, double rate)
    {
        tag = stepVerb(step);
        needle = "\n" + tag + " ";
        result = StepResult{};
        result.rate = rate;
        windowStart = Clock::now() + std::chrono::milliseconds(200);
        windowEnd = windowStart + kWindow;
        pacer = Pacer{rate, windowStart};
        offering = true;
        pace();
        io.run_until(windowEnd + kCollect);
        offering = false;
        for (auto &p : pubs)
            p->pending = 0;
        result.offered = std::uint64_t(rate * result.seconds());
        result.expected = result.sent * (kClients - 1);
        return result;
    }

    void close()
    {
        for (auto *list : {&subs, &pubs})
            for (auto &c : *list) {
                std::error_code ignored;
                c->sock.close(ignored);
            }
        io.run_for(std::chrono::milliseconds(200));
    }
};

void printStep(const char *who, const StepResult &r)
{
    std::printf("%-15s offered %6.0f/s  sent %6.0f/s  delivered %9.0f lines/s  lost %8llu%s", who, r.rate,
                double(r.sent) / r.seconds(), double(r.delivered) / r.seconds(),
                static_cast<unsigned long long>(r.lost()), r.folded() ? "  queue limit reached" : "");
    if (!r.pollMs.empty())
        std::printf("  poll p50 %6.2f ms  p99 %7.2f ms", percentile(r.pollMs, 0.50), percentile(r.pollMs, 0.99));
    std::printf("%s\n", r.sustained() ? "" : "  (could not offer the rate)");
    std::fflush(stdout);
}

}  // namespace

int main()
{
    std::signal(SIGPIPE, SIG_IGN);
    rlimit lim{};
    getrlimit(RLIMIT_NOFILE, &lim);
    lim.rlim_cur = lim.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur < 2 * kClients + 200)
        die("cannot raise the open-file limit to " + std::to_string(2 * kClients + 200));

    const std::string pgPort = env("QUILLON_PG15_PORT");
    if (pgPort.empty())
        die("QUILLON_PG15_PORT is not set (run scripts/bench)");
    const std::string host = env("QUILLON_PG_HOST", "127.0.0.1");
    const std::string superuser = env("QUILLON_PG_SUPERUSER", "postgres");
    const std::string superpass = env("QUILLON_PG_SUPERPASS");
    const std::string db = "bench_server_" + std::to_string(::getpid());
    auto conninfo = [&](const std::string &d) {
        return "host=" + host + " port=" + pgPort + " dbname=" + d + " user=" + superuser + " password='" + superpass +
               "'";
    };
    if (!sql(conninfo("postgres"), "create database " + db + " template quillon_template owner quillon"))
        die("cannot create the database");
    sql(conninfo(db), "insert into tbluser (loginnaam, password, rights) select 'bench' || i, 'pw', "
                      "'----------------' from generate_series(1, " +
                          std::to_string(kClients) + ") i");

    char tmpl[] = "/tmp/bench_server_load.XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    const std::string ini = dir + "/quillon-server.ini";
    {
        std::ofstream f(ini);
        f << "[server]\nlisten = 127.0.0.1\nport = 0\nidle_timeout = 0\nsilent_timeout = 0\n"
          << "max_connections = " << 2 * kClients << "\nqueue_limit = " << kQueueLimit << "\n"
          // Every client logs in at once, as after a restart of the server.
          << "max_unauthenticated = " << 2 * kClients << "\n"
          << "[database]\nhost = " << host << "\nport = " << pgPort << "\nname = "
          << db
          // The server's own role: only it may read the editors' password hashes.
          << "\nuser = quillon_server\npassword = gierzwaluw\nworkers = 4\n";
    }
    const std::string serverLog = dir + "/server.log";
    const pid_t server = spawn({QUILLON_SERVER_BINARY, "--config", ini}, serverLog);
    unsigned short port = 0;
    for (int i = 0; i < 100 && port == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string log = readFile(serverLog);
        const auto at = log.find("listening on 127.0.0.1:");
        if (at != std::string::npos)
            port = static_cast<unsigned short>(std::atoi(log.c_str() + at + 23));
    }
    if (port == 0) {
        stop(server);
        die("quillon-server did not start: " + readFile(serverLog));
    }

    std::printf("clients: %d polling once a second, %d of them broadcasting; windows of %.0f s\n", kClients,
                kBroadcasters, std::chrono::duration<double>(kWindow).count());
    OurBench ours;
    ours.connect(port);
    std::vector<StepResult> steps;
    std::vector<std::pair<double, double>> stepCpu;  // server, bench
    for (std::size_t i = 0; i < kRates.size(); ++i) {
        const double serverCpu = cpuSeconds(server), benchCpu = ownCpuSeconds();
        steps.push_back(ours.run(int(i), kRates[i]));
        stepCpu.emplace_back(cpuSeconds(server) - serverCpu, ownCpuSeconds() - benchCpu);
        printStep("quillon-server", steps.back());
        if (!steps.back().lossless())
            break;
    }
    ours.close();
    stop(server);
    sql(conninfo("postgres"), "drop database if exists " + db + " with (force)");

    const StepResult *newsroom = nullptr, *best = nullptr;
    for (const StepResult &r : steps) {
        if (!r.lossless())
            break;
        best = &r;
        if (r.rate == kNewsroomRate)
            newsroom = &r;
    }

    const unsigned short redisPort = freePort();
    const pid_t redis =
        spawn({"redis-server", "--port", std::to_string(redisPort), "--bind", "127.0.0.1", "--save", "", "--appendonly",
               "no", "--maxclients", "4000", "--dir", dir, "--client-output-buffer-limit", "pubsub 0 0 0"},
              dir + "/redis.log");
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        asio::io_context io;
        tcp::socket s(io);
        std::error_code ec;
        s.connect(tcp::endpoint(asio::ip::make_address("127.0.0.1"), redisPort), ec);
        up = !ec;
    }
    if (!up) {
        stop(redis);
        die("redis-server did not start: " + readFile(dir + "/redis.log"));
    }
    RedisBench theirs;
    theirs.connect(redisPort);
    StepResult redisNewsroom = theirs.run(0, kNewsroomRate);
    printStep("redis-server", redisNewsroom);
    StepResult redisBest;
    double redisCpu = 0, redisBenchCpu = 0;
    if (best) {
        const double r0 = cpuSeconds(redis), b0 = ownCpuSeconds();
        redisBest = theirs.run(1, best->rate);
        redisCpu = cpuSeconds(redis) - r0;
        redisBenchCpu = ownCpuSeconds() - b0;
        printStep("redis-server", redisBest);
    }
    theirs.close();
    stop(redis);

    const auto p = [](const StepResult *r, double q) { return r ? percentile(r->pollMs, q) : 0.0; };
    if (!best) {
        std::printf("quillon-server lost lines already at %.0f broadcasts/s\n", kRates.front());
        std::printf("lossless deliveries/s ours/redis: 0.00\n");
        return 0;
    }
    std::printf("highest lossless rate: %.0f broadcasts/s (%s)\n", best->rate,
                &steps.back() == best ? "the highest rate tried" : "the next step lost lines or fell behind");
    std::printf("poll latency at the newsroom load (%.0f/s): p50 %.2f ms, p99 %.2f ms (target p99 < 5 ms)\n",
                kNewsroomRate, p(newsroom, 0.50), p(newsroom, 0.99));
    std::printf("poll latency at %.0f/s: p50 %.2f ms, p99 %.2f ms\n", best->rate, p(best, 0.50), p(best, 0.99));
    // Who was busy: a server near one CPU second per second is at its limit;
    // the bench itself (one thread) likewise.
    const auto &cpu = stepCpu[std::size_t(best - steps.data())];
    const double span = std::chrono::duration<double>(kWindow + kCollect).count() + 0.2;
    std::printf("CPU seconds per second at %.0f/s: quillon-server %.2f (bench %.2f), redis-server %.2f (bench %.2f)\n",
                best->rate, cpu.first / span, cpu.second / span, redisCpu / span, redisBenchCpu / span);
    const double oursRate = double(best->delivered) / best->seconds();
    const double redisRate = double(redisBest.delivered) / redisBest.seconds();
    std::printf("at %.0f/s delivered lines/s: quillon-server %.0f (lost %llu), redis-server %.0f (lost %llu)\n",
                best->rate, oursRate, static_cast<unsigned long long>(best->lost()), redisRate,
                static_cast<unsigned long long>(redisBest.lost()));
    std::remove((dir + "/server.log").c_str());
    std::remove((dir + "/redis.log").c_str());
    std::remove(ini.c_str());
    ::rmdir(dir.c_str());
    std::printf("lossless deliveries/s ours/redis: %.2f\n", redisRate > 0 ? oursRate / redisRate : 0.0);
    return 0;
}
