// Fan-out load on quillon-server against redis-server PUBLISH/SUBSCRIBE.
//
// One run on loopback: 1,000 logged-in clients each poll once a second while
// 100 of them broadcast in a closed loop (the next broadcast leaves when the
// previous reply is complete), for 10 seconds. Printed: lines delivered per
// second, poll latency p50/p99 (send to final "ok", reply read completely),
// lines lost (by sequence numbers in the payload). Then the same fan-out
// through redis: 1,000 subscribers, 100 closed-loop publishers, with the
// output-buffer limit for subscribers lifted so redis never disconnects a
// slow reader (its best case). Everything stays on 127.0.0.1 and is bounded
// in count and time. Needs QUILLON_PG_HOST/QUILLON_PG15_PORT/
// QUILLON_PG_SUPERUSER/QUILLON_PG_SUPERPASS (scripts/bench sets them).

#include <asio.hpp>
#include <libpq-fe.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kClients = 1000;
constexpr int kBroadcasters = 100;
constexpr auto kDuration = std::chrono::seconds(10);
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

struct Stats {
    std::uint64_t deliveries = 0;  // payload lines received inside the window
    std::uint64_t sent = 0;  // broadcasts / publishes completed inside the window
    std::uint64_t lost = 0;  // gaps in the per-sender sequence numbers
    std::vector<double> pollMs;
};

// Counts a payload "bench <sender> <seq>" and any gap before it.
void countPayload(Stats &st, std::vector<std::uint64_t> &lastSeq, std::string_view payload, bool inWindow)
{
    if (inWindow)
        ++st.deliveries;
    unsigned sender = 0;
    unsigned long long seq = 0;
    const char *p = payload.data() + 6;  // after "bench "
    const char *end = payload.data() + payload.size();
    if (payload.size() <= 6)
        return;
    const auto r1 = std::from_chars(p, end, sender);
    if (r1.ec != std::errc() || r1.ptr >= end)
        return;
    const auto r2 = std::from_chars(r1.ptr + 1, end, seq);
    if (r2.ec == std::errc() && sender < lastSeq.size()) {
        if (lastSeq[sender] != 0 && seq > lastSeq[sender] + 1)
            st.lost += seq - lastSeq[sender] - 1;
        lastSeq[sender] = seq;
    }
}

// ---------------------------------------------------------------- ours

constexpr unsigned long long kSeqSpan = 1'000'000'000ULL;  // row id = sender * kSeqSpan + sequence number

// "bench <sender> <seq>" from the row id of a relayed "agenda bench <id>".
std::string ourPayload(std::string_view id)
{
    unsigned long long n = 0;
    std::from_chars(id.data(), id.data() + id.size(), n);
    return "bench " + std::to_string(n / kSeqSpan) + " " + std::to_string(n % kSeqSpan);
}

struct OurClient : std::enable_shared_from_this<OurClient> {
    enum class Cmd { None, Auth, Poll, Broadcast };
    OurClient(asio::io_context &io, int i) : sock(io), pollTimer(io), index(i), lastSeq(kBroadcasters, 0) {}
    tcp::socket sock;
    asio::steady_timer pollTimer;
    int index;
    std::array<char, 65536> buf{};
    std::string in, out;
    Cmd current = Cmd::None;
    bool pollDue = false;
    Clock::time_point sentAt;
    std::uint64_t seq = 0;
    std::vector<std::uint64_t> lastSeq;
    bool ok = false;
};

struct OurBench {
    asio::io_context io{1};
    std::vector<std::shared_ptr<OurClient>> clients;
    Stats st;
    bool running = false;
    Clock::time_point windowStart, windowEnd;
    Clock::time_point now;  // time of the read being handled
    int loggedIn = 0;
    int failed = 0;

    bool inWindow() const
    {
        const auto now = Clock::now();
        return now >= windowStart && now < windowEnd;
    }

    void send(const std::shared_ptr<OurClient> &c, OurClient::Cmd cmd, const std::string &line)
    {
        c->current = cmd;
        c->out = line + "\r\n";
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
        } else if (running && c->index < kBroadcasters) {
            // The server relays only row announcements: sender and sequence
            // number travel as the row id.
            send(c, OurClient::Cmd::Broadcast,
                 "broadcast agenda bench " + std::to_string(c->index * kSeqSpan + ++c->seq));
        }
    }

    void onLine(const std::shared_ptr<OurClient> &c, std::string_view line)
    {
        if (line == "ok" || line == "err") {
            const auto cmd = c->current;
            c->current = OurClient::Cmd::None;
            const bool win = inWindow();
            if (cmd == OurClient::Cmd::Auth) {
                (line == "ok" ? loggedIn : failed)++;
                c->ok = line == "ok";
            } else if (cmd == OurClient::Cmd::Poll && win) {
                st.pollMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - c->sentAt).count());
            } else if (cmd == OurClient::Cmd::Broadcast && win) {
                ++st.sent;
            }
            next(c);
            return;
        }
        if (line.substr(0, 13) == "agenda bench ") {
            const std::string payload = ourPayload(line.substr(13));
            countPayload(st, c->lastSeq, payload, now >= windowStart && now < windowEnd);
        }
    }

    void read(const std::shared_ptr<OurClient> &c)
    {
        c->sock.async_read_some(asio::buffer(c->buf), [this, c](const std::error_code &ec, std::size_t n) {
            if (ec)
                return;
            c->in.append(c->buf.data(), n);
            now = Clock::now();
            std::size_t start = 0, lf;
            while ((lf = c->in.find('\n', start)) != std::string::npos) {
                onLine(c, std::string_view(c->in).substr(start, lf - start));
                start = lf + 1;
            }
            c->in.erase(0, start);
            read(c);
        });
    }

    void schedulePoll(const std::shared_ptr<OurClient> &c, Clock::time_point at)
    {
        c->pollTimer.expires_at(at);
        c->pollTimer.async_wait([this, c, at](const std::error_code &ec) {
            if (ec || !running)
                return;
            c->pollDue = true;
            next(c);
            schedulePoll(c, at + std::chrono::seconds(1));
        });
    }

    void run(unsigned short port)
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
            read(c);
            send(c, OurClient::Cmd::Auth, "auth bench" + std::to_string(i + 1) + " pw");
        }
        // Log-ins go through the database; wait for all of them (bounded).
        const auto loginDeadline = Clock::now() + std::chrono::seconds(60);
        while (loggedIn + failed < kClients && Clock::now() < loginDeadline)
            io.run_for(std::chrono::milliseconds(50));
        if (loggedIn != kClients)
            die("only " + std::to_string(loggedIn) + " of " + std::to_string(kClients) + " clients logged in");
        // Empty the log-in chat lines before measuring.
        for (auto &c : clients)
            send(c, OurClient::Cmd::Poll, "poll");
        io.run_for(std::chrono::seconds(2));

        running = true;
        windowStart = Clock::now() + std::chrono::milliseconds(1000);  // one second to settle
        windowEnd = windowStart + kDuration;
        for (auto &c : clients) {
            schedulePoll(c, Clock::now() + std::chrono::microseconds(1000 * c->index));
            next(c);
        }
        while (Clock::now() < windowEnd)
            io.run_for(std::chrono::milliseconds(100));
        running = false;
        io.run_for(std::chrono::milliseconds(500));
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
    RedisClient(asio::io_context &io, int i) : sock(io), index(i), lastSeq(kBroadcasters, 0) {}
    tcp::socket sock;
    int index;
    std::array<char, 65536> buf{};
    std::string in, out;
    std::uint64_t seq = 0;
    bool subscribed = false;
    bool nextIsPayload = false;  // the line after a "message" header and channel
    int headerLines = 0;
    std::vector<std::uint64_t> lastSeq;
};

struct RedisBench {
    asio::io_context io{1};
    std::vector<std::shared_ptr<RedisClient>> subs, pubs;
    Stats st;
    bool running = false;
    int subscribed = 0;
    Clock::time_point windowStart, windowEnd;

    bool inWindow() const
    {
        const auto now = Clock::now();
        return now >= windowStart && now < windowEnd;
    }

    static std::string bulk(const std::string &s) { return "$" + std::to_string(s.size()) + "\r\n" + s + "\r\n"; }

    void publish(const std::shared_ptr<RedisClient> &p)
    {
        if (!running)
            return;
        const std::string payload = "bench " + std::to_string(p->index) + " " + std::to_string(++p->seq);
        p->out = "*3\r\n" + bulk("PUBLISH") + bulk("bench") + bulk(payload);
        asio::async_write(p->sock, asio::buffer(p->out), [](const std::error_code &, std::size_t) {});
    }

    template <typename OnLine>
    void read(const std::shared_ptr<RedisClient> &c, OnLine onLine)
    {
        c->sock.async_read_some(asio::buffer(c->buf), [this, c, onLine](const std::error_code &ec, std::size_t n) {
            if (ec)
                return;
            c->in.append(c->buf.data(), n);
            std::size_t start = 0, lf;
            while ((lf = c->in.find('\n', start)) != std::string::npos) {
                std::size_t end = lf;
                if (end > start && c->in[end - 1] == '\r')
                    --end;
                onLine(c, std::string_view(c->in).substr(start, end - start));
                start = lf + 1;
            }
            c->in.erase(0, start);
            read(c, onLine);
        });
    }

    // A pushed message is seven lines: *3 $7 message $5 bench $N payload.
    void onSubLine(const std::shared_ptr<RedisClient> &c, std::string_view line)
    {
        if (!c->subscribed) {
            if (line == ":1") {
                c->subscribed = true;
                ++subscribed;
            }
            return;
        }
        if (line == "message") {
            c->headerLines = 3;  // "$5", "bench", "$N" follow before the payload
            return;
        }
        if (c->headerLines > 0) {
            --c->headerLines;
            if (c->headerLines == 0)
                c->nextIsPayload = true;
            return;
        }
        if (c->nextIsPayload) {
            c->nextIsPayload = false;
            countPayload(st, c->lastSeq, line, inWindow());
        }
    }

    void run(unsigned short port)
    {
        const auto ep = tcp::endpoint(asio::ip::make_address("127.0.0.1"), port);
        for (int i = 0; i < kClients; ++i) {
            auto c = std::make_shared<RedisClient>(io, i);
            std::error_code ec;
            c->sock.connect(ep, ec);
            if (ec)
                die("redis connect: " + ec.message());
            subs.push_back(c);
            read(c, [this](const std::shared_ptr<RedisClient> &cl, std::string_view l) { onSubLine(cl, l); });
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
            read(p, [this](const std::shared_ptr<RedisClient> &cl, std::string_view l) {
                if (!l.empty() && l[0] == ':') {
                    if (inWindow())
                        ++st.sent;
                    publish(cl);
                }
            });
        }
        running = true;
        windowStart = Clock::now() + std::chrono::milliseconds(1000);
        windowEnd = windowStart + kDuration;
        for (auto &p : pubs)
            publish(p);
        while (Clock::now() < windowEnd)
            io.run_for(std::chrono::milliseconds(100));
        running = false;
        io.run_for(std::chrono::milliseconds(500));
        for (auto &c : subs) {
            std::error_code ignored;
            c->sock.close(ignored);
        }
        for (auto &c : pubs) {
            std::error_code ignored;
            c->sock.close(ignored);
        }
        io.run_for(std::chrono::milliseconds(200));
    }
};

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
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
          << "max_connections = " << 2 * kClients << "\n"
          << "[database]\nhost = " << host << "\nport = " << pgPort << "\nname = " << db
          << "\nuser = quillon\npassword = zwaluwen\nworkers = 4\n";
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

    OurBench ours;
    ours.run(port);
    stop(server);
    sql(conninfo("postgres"), "drop database if exists " + db + " with (force)");

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
    theirs.run(redisPort);
    stop(redis);

    const double secs = std::chrono::duration<double>(kDuration).count();
    const double oursRate = double(ours.st.deliveries) / secs;
    const double redisRate = double(theirs.st.deliveries) / secs;
    const std::string droppedLines = [&] {
        const std::string log = readFile(serverLog);
        return log.find("queued lines dropped") != std::string::npos ? "yes" : "no";
    }();
    std::printf("clients: %d, broadcasting: %d, window: %.0f s\n", kClients, kBroadcasters, secs);
    std::printf("quillon-server: broadcasts/s %.0f, delivered lines/s %.0f, lost %llu (queue limit reached: %s)\n",
                double(ours.st.sent) / secs, oursRate, static_cast<unsigned long long>(ours.st.lost),
                droppedLines.c_str());
    std::printf("quillon-server: polls %zu, poll latency p50 %.2f ms, p99 %.2f ms (target p99 < 5 ms)\n",
                ours.st.pollMs.size(), percentile(ours.st.pollMs, 0.50), percentile(ours.st.pollMs, 0.99));
    std::printf("redis-server:   publishes/s %.0f, delivered messages/s %.0f, lost %llu\n",
                double(theirs.st.sent) / secs, redisRate, static_cast<unsigned long long>(theirs.st.lost));
    std::printf("deliveries/s ours/redis: %.2f\n", redisRate > 0 ? oursRate / redisRate : 0.0);
    std::remove((dir + "/server.log").c_str());
    std::remove((dir + "/redis.log").c_str());
    std::remove(ini.c_str());
    ::rmdir(dir.c_str());
    return 0;
}
