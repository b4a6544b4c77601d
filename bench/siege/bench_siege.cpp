// quillon-server under siege, with its default limits: 1,000 logged-in
// editors poll once a second while 16 addresses hold as many connections as
// they can without logging in (32 each, reconnecting whenever one is
// closed) and 200 addresses guess the passwords of five editors, one guess
// in flight each. Meanwhile fresh editors log in one after another from
// addresses of their own.
//
// Printed: a fresh editor's log-in time (connect to "ok" of "auth", p50 and
// p99) before the siege and during it, the server's peak RSS, and the
// guesses per second that reached the password check, per guessed name
// (counted by the database: every check reads tbluser once). The last line
// holds each figure against its target: log-in p99 within 2x the unloaded
// one, peak RSS under 256 MB, fewer than 1 checked guess per second per name.
// Everything stays on 127.0.0.0/8 and is bounded in count and time. Needs
// QUILLON_PG_HOST/QUILLON_PG15_PORT/QUILLON_PG_SUPERUSER/QUILLON_PG_SUPERPASS
// (scripts/bench sets them).

#include "common/PasswordHash.h"

#include <asio.hpp>
#include <libpq-fe.h>

#include <algorithm>
#include <array>
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
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

constexpr int kEditors = 1000;
constexpr int kHolderAddresses = 16;
constexpr int kHoldPerAddress = 32;
constexpr int kGuessers = 200;
constexpr int kVictims = 5;  // the editors whose passwords are guessed
constexpr int kFreshBefore = 20;  // log-ins measured without the siege
constexpr int kFreshDuring = 40;  // and during it
constexpr auto kSiege = std::chrono::seconds(20);
constexpr auto kGuessGap = std::chrono::milliseconds(100);  // per guesser, between an answer and the next guess
constexpr auto kReconnectGap = std::chrono::milliseconds(250);  // a holder's connection closed: connect again
using Clock = std::chrono::steady_clock;
using asio::ip::tcp;

std::string env(const char *name, const char *fallback = "")
{
    const char *v = std::getenv(name);
    return v && *v ? v : fallback;
}

pid_t serverToStop = 0;  // a bench that gives up leaves no server behind

[[noreturn]] void die(const std::string &why)
{
    std::fprintf(stderr, "bench_siege: %s\n", why.c_str());
    if (serverToStop > 0)
        ::kill(serverToStop, SIGTERM);
    std::exit(2);
}

std::string query(const std::string &conninfo, const std::string &statement, bool *ok = nullptr)
{
    PGconn *c = PQconnectdb(conninfo.c_str());
    std::string value;
    bool good = PQstatus(c) == CONNECTION_OK;
    if (good) {
        PGresult *r = PQexec(c, statement.c_str());
        good = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
        if (!good)
            std::fprintf(stderr, "bench_siege: %s\n", PQresultErrorMessage(r));
        else if (PQntuples(r) > 0)
            value = PQgetvalue(r, 0, 0);
        PQclear(r);
    } else {
        std::fprintf(stderr, "bench_siege: %s\n", PQerrorMessage(c));
    }
    PQfinish(c);
    if (ok)
        *ok = good;
    return value;
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
    ::kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (::waitpid(pid, nullptr, WNOHANG) == pid)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
}

std::string readFile(const std::string &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A field of /proc/<pid>/status in kB ("VmRSS", "VmHWM").
long memoryKb(pid_t pid, const char *field)
{
    std::istringstream in(readFile("/proc/" + std::to_string(pid) + "/status"));
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field, 0) == 0)
            return std::atol(line.c_str() + std::strlen(field) + 1);
    return -1;
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, std::size_t(p * double(v.size())))];
}

tcp::endpoint from(int a, int b, int c)
{
    return tcp::endpoint(asio::ip::make_address_v4("127." + std::to_string(a) + "." + std::to_string(b) + "." +
                                                   std::to_string(c)),
                         0);
}

// One line client on the loop: send a line, collect lines up to "ok"/"err".
struct Line : std::enable_shared_from_this<Line> {
    explicit Line(asio::io_context &io) : sock(io), timer(io) {}
    tcp::socket sock;
    asio::steady_timer timer;
    std::array<char, 16384> buf{};
    std::string in, out;
    std::function<void(bool ok, const std::string &lines)> done;
    std::string lines;
    bool open = false;
    std::function<void()> onClose;

    std::error_code error;  // why the last connect failed
    bool connect(const tcp::endpoint &source, const tcp::endpoint &server)
    {
        std::error_code ec;
        sock.open(tcp::v4(), ec);
        if (!ec)
            sock.bind(source, ec);
        if (!ec)
            sock.connect(server, ec);
        if (ec) {
            error = ec;
            return false;
        }
        sock.set_option(tcp::no_delay(true), ec);
        open = true;
        read();
        return true;
    }
    void command(const std::string &line, std::function<void(bool, const std::string &)> then)
    {
        done = std::move(then);
        lines.clear();
        out = line + "\r\n";
        asio::async_write(sock, asio::buffer(out), [](const std::error_code &, std::size_t) {});
    }
    void read()
    {
        sock.async_read_some(asio::buffer(buf), [self = shared_from_this()](const std::error_code &ec, std::size_t n) {
            if (ec) {
                // Closed now, not when the last reference goes: a holder
                // reconnects hundreds of times a second.
                std::error_code ignored;
                self->open = false;
                self->sock.close(ignored);
                if (auto onClose = std::move(self->onClose))
                    onClose();
                return;
            }
            self->in.append(self->buf.data(), n);
            std::size_t at;
            while ((at = self->in.find('\n')) != std::string::npos) {
                const std::string l = self->in.substr(0, at);
                self->in.erase(0, at + 1);
                if (l == "ok" || l == "err") {
                    auto then = std::move(self->done);
                    self->done = nullptr;
                    if (then)
                        then(l == "ok", self->lines);
                } else {
                    self->lines += l + "\n";
                }
            }
            self->read();
        });
    }
    void close()
    {
        std::error_code ignored;
        onClose = nullptr;
        timer.cancel();
        sock.close(ignored);
    }
};

struct Siege {
    asio::io_context io{1};
    tcp::endpoint server;
    bool running = true;

    std::vector<std::shared_ptr<Line>> editors;
    int loggedIn = 0;
    std::vector<double> pollMs;

    // Fresh editors, one log-in after another.
    std::vector<double> freshMs;
    int freshNext = 0;
    int freshFailed = 0;

    std::vector<std::shared_ptr<Line>> holders;
    std::uint64_t holderConnects = 0;

    std::vector<std::shared_ptr<Line>> guessers;
    std::uint64_t guesses = 0, lockedAnswers = 0;
    bool guessing = false;

    void logInEditors()
    {
        // Fifty at a time, as a newsroom's morning does, within the share of
        // connections that have not logged in yet.
        int started = 0, answered = 0;
        std::function<void()> startOne = [&] {
            if (started >= kEditors)
                return;
            const int i = started++;
            auto c = std::make_shared<Line>(io);
            if (!c->connect(from(1, 1 + i / 250, 1 + i % 250), server))
                die("editor " + std::to_string(i) + " cannot connect: " + c->error.message());
            editors.push_back(c);
            c->command("checkversion 9", [this, c, i, &answered, &startOne](bool, const std::string &) {
                c->command("auth bench" + std::to_string(i + 1) + " pw",
                           [this, &answered, &startOne](bool ok, const std::string &) {
                               ++answered;
                               if (ok)
                                   ++loggedIn;
                               startOne();
                           });
            });
        };
        for (int i = 0; i < 50; ++i)
            startOne();
        const auto deadline = Clock::now() + std::chrono::seconds(300);
        while (answered < kEditors && Clock::now() < deadline)
            io.run_for(std::chrono::milliseconds(50));
        if (loggedIn != kEditors)
            die("only " + std::to_string(loggedIn) + " of " + std::to_string(kEditors) + " editors logged in");
        for (std::size_t i = 0; i < editors.size(); ++i)
            poll(editors[i], Clock::now() + std::chrono::microseconds(1000 * i));
    }

    void poll(const std::shared_ptr<Line> &c, Clock::time_point at)
    {
        c->timer.expires_at(at);
        c->timer.async_wait([this, c, at](const std::error_code &ec) {
            if (ec || !running || !c->open)
                return;
            const auto sent = Clock::now();
            c->command("poll", [this, sent, measuring = guessing](bool, const std::string &) {
                if (measuring)
                    pollMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            });
            poll(c, at + std::chrono::seconds(1));
        });
    }

    // A fresh editor: connect, "checkversion", "auth"; the time to its "ok".
    void fresh(int count, std::function<void()> then)
    {
        if (freshNext >= count) {
            then();
            return;
        }
        const int i = freshNext++;
        auto c = std::make_shared<Line>(io);
        const auto start = Clock::now();
        if (!c->connect(from(2, 1 + i / 250, 1 + i % 250), server))
            die("fresh editor " + std::to_string(i + 1) + " cannot connect: " + c->error.message());
        c->command("checkversion 9", [this, c, i, start, count, then](bool, const std::string &) {
            c->command("auth fresh" + std::to_string(i + 1) + " pw", [this, c, start, count, then](bool ok,
                                                                                              const std::string &) {
                if (ok)
                    freshMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
                else
                    ++freshFailed;
                c->close();
                // The next one a quarter of a second later.
                auto t = std::make_shared<asio::steady_timer>(io, std::chrono::milliseconds(250));
                t->async_wait([this, t, count, then](const std::error_code &) { fresh(count, then); });
            });
        });
    }

    void hold(int address, int slot)
    {
        if (!running)
            return;
        auto c = std::make_shared<Line>(io);
        const std::size_t index = std::size_t(address * kHoldPerAddress + slot);
        if (holders.size() <= index)
            holders.resize(index + 1);
        holders[index] = c;
        ++holderConnects;
        c->onClose = [this, address, slot] {
            auto t = std::make_shared<asio::steady_timer>(io, kReconnectGap);
            t->async_wait([this, t, address, slot](const std::error_code &ec) {
                if (!ec)
                    hold(address, slot);
            });
        };
        if (!c->connect(from(3, 0, 1 + address), server))
            c->onClose();
    }

    void guess(const std::shared_ptr<Line> &c, int guesser)
    {
        if (!guessing || !c->open)
            return;
        const std::string victim = "bench" + std::to_string(1 + guesser % kVictims);
        c->command("auth " + victim + " raad" + std::to_string(guesses++), [this, c, guesser](bool,
                                                                                          const std::string &lines) {
            if (lines.find("te veel mislukte pogingen") != std::string::npos)
                ++lockedAnswers;
            c->timer.expires_after(kGuessGap);
            c->timer.async_wait([this, c, guesser](const std::error_code &ec) {
                if (!ec)
                    guess(c, guesser);
            });
        });
    }

    void startSiege()
    {
        for (int a = 0; a < kHolderAddresses; ++a)
            for (int s = 0; s < kHoldPerAddress; ++s)
                hold(a, s);
        guessing = true;
        for (int g = 0; g < kGuessers; ++g) {
            auto c = std::make_shared<Line>(io);
            if (!c->connect(from(4, 1 + g / 250, 1 + g % 250), server))
                die("a guesser cannot connect: " + c->error.message());
            guessers.push_back(c);
            // A guesser whose connection the server closes connects again.
            c->onClose = [this, g] {
                auto again = std::make_shared<Line>(io);
                if (guessing && again->connect(from(4, 1 + g / 250, 1 + g % 250), server)) {
                    guessers[std::size_t(g)] = again;
                    again->command("checkversion 9", [this, again, g](bool, const std::string &) { guess(again, g); });
                }
            };
            c->command("checkversion 9", [this, c, g](bool, const std::string &) { guess(c, g); });
        }
    }

    void stopAll()
    {
        running = guessing = false;
        for (auto *list : {&editors, &holders, &guessers})
            for (auto &c : *list)
                if (c)
                    c->close();
        io.run_for(std::chrono::milliseconds(300));
    }
};

}  // namespace

int main()
{
    std::signal(SIGPIPE, SIG_IGN);
    rlimit lim{};
    getrlimit(RLIMIT_NOFILE, &lim);
    lim.rlim_cur = lim.rlim_max;
    const rlim_t needed = kEditors + kHolderAddresses * kHoldPerAddress + kGuessers + 300;
    if (setrlimit(RLIMIT_NOFILE, &lim) != 0 || lim.rlim_cur < needed)
        die("cannot raise the open-file limit to " + std::to_string(needed));

    const std::string pgPort = env("QUILLON_PG15_PORT");
    if (pgPort.empty())
        die("QUILLON_PG15_PORT is not set (run scripts/bench)");
    const std::string host = env("QUILLON_PG_HOST", "127.0.0.1");
    const std::string superuser = env("QUILLON_PG_SUPERUSER", "postgres");
    const std::string superpass = env("QUILLON_PG_SUPERPASS");
    const std::string db = "bench_siege_" + std::to_string(::getpid());
    auto conninfo = [&](const std::string &d) {
        return "host=" + host + " port=" + pgPort + " dbname=" + d + " user=" + superuser + " password='" + superpass +
               "'";
    };
    bool ok = false;
    query(conninfo("postgres"), "create database " + db + " template quillon_template owner quillon", &ok);
    if (!ok)
        die("cannot create the database");
    // Stored as the server stores them, so no log-in pays for a rewrite.
    const std::string hash = quillon::HashPassword("pw");
    query(conninfo(db),
          "insert into tbluser (loginnaam, password, rights) select n, '" + hash + "', '----------------' from (" +
              "select 'bench' || i as n from generate_series(1, " + std::to_string(kEditors) + ") i union all " +
              "select 'fresh' || i from generate_series(1, " + std::to_string(kFreshBefore + kFreshDuring) +
              ") i) names",
          &ok);
    if (!ok)
        die("cannot add the editors");

    char tmpl[] = "/tmp/bench_siege.XXXXXX";
    const std::string dir = mkdtemp(tmpl);
    const std::string ini = dir + "/quillon-server.ini";
    {
        // The default limits, but for room for a thousand editors.
        std::ofstream f(ini);
        f << "[server]\nlisten = 127.0.0.1\nport = 0\nmax_connections = " << kEditors + 100 << "\n"
          << "[database]\nhost = " << host << "\nport = " << pgPort << "\nname = " << db
          << "\nuser = quillon_server\npassword = gierzwaluw\n";
    }
    const std::string serverLog = dir + "/server.log";
    const pid_t serverPid = spawn({QUILLON_SERVER_BINARY, "--config", ini}, serverLog);
    serverToStop = serverPid;
    unsigned short port = 0;
    for (int i = 0; i < 100 && port == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        const std::string log = readFile(serverLog);
        const auto at = log.find("listening on 127.0.0.1:");
        if (at != std::string::npos)
            port = static_cast<unsigned short>(std::atoi(log.c_str() + at + 23));
    }
    if (port == 0) {
        stop(serverPid);
        die("quillon-server did not start: " + readFile(serverLog));
    }
    const auto lookups = [&] {
        return std::atoll(query(conninfo(db), "select coalesce(seq_scan, 0) + coalesce(idx_scan, 0) "
                                              "from pg_stat_user_tables where relname = 'tbluser'")
                              .c_str());
    };

    Siege siege;
    siege.server = tcp::endpoint(asio::ip::make_address("127.0.0.1"), port);
    const auto loginStart = Clock::now();
    siege.logInEditors();
    std::printf("%d editors logged in in %.1f s, polling once a second\n", kEditors,
                std::chrono::duration<double>(Clock::now() - loginStart).count());

    bool freshDone = false;
    siege.fresh(kFreshBefore, [&] { freshDone = true; });
    while (!freshDone)
        siege.io.run_for(std::chrono::milliseconds(50));
    const std::vector<double> unloaded = siege.freshMs;
    siege.freshMs.clear();

    // Let the database's statistics of the log-ins so far settle (an idle
    // session reports its counts within ten seconds): they count the
    // siege's checks below.
    siege.io.run_for(std::chrono::seconds(11));
    const long long lookupsBefore = lookups();
    long peakKb = memoryKb(serverPid, "VmRSS:");
    const auto siegeStart = Clock::now();
    siege.startSiege();
    freshDone = false;
    auto sampler = std::make_shared<asio::steady_timer>(siege.io);
    std::function<void()> sample = [&] {
        peakKb = std::max(peakKb, memoryKb(serverPid, "VmRSS:"));
        sampler->expires_after(std::chrono::milliseconds(100));
        sampler->async_wait([&](const std::error_code &ec) {
            if (!ec)
                sample();
        });
    };
    sample();
    // Fresh editors from the fifth second on, when the siege is in full swing.
    auto later = std::make_shared<asio::steady_timer>(siege.io, std::chrono::seconds(5));
    later->async_wait([&](const std::error_code &) { siege.fresh(kFreshBefore + kFreshDuring, [&] { freshDone = true; }); });
    siege.io.run_until(siegeStart + kSiege);
    while (!freshDone && Clock::now() < siegeStart + kSiege + std::chrono::seconds(30))
        siege.io.run_for(std::chrono::milliseconds(50));
    const double siegeSeconds = std::chrono::duration<double>(Clock::now() - siegeStart).count();
    sampler->cancel();
    const std::uint64_t guesses = siege.guesses, locked = siege.lockedAnswers, connects = siege.holderConnects;
    siege.stopAll();
    peakKb = std::max(peakKb, memoryKb(serverPid, "VmHWM:"));
    // The server's database sessions report their statistics when they end.
    stop(serverPid);
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    const long long checked = lookups() - lookupsBefore - (long long)siege.freshMs.size() - siege.freshFailed;
    query(conninfo("postgres"), "drop database if exists " + db + " with (force)");

    const double p99Unloaded = percentile(unloaded, 0.99), p99Siege = percentile(siege.freshMs, 0.99);
    const double perName = double(std::max(0LL, checked)) / siegeSeconds / kVictims;
    std::printf("fresh log-in unloaded: p50 %.1f ms, p99 %.1f ms (%zu log-ins)\n", percentile(unloaded, 0.5),
                p99Unloaded, unloaded.size());
    std::printf("fresh log-in under siege: p50 %.1f ms, p99 %.1f ms (%zu log-ins, %d refused)\n",
                percentile(siege.freshMs, 0.5), p99Siege, siege.freshMs.size(), siege.freshFailed);
    std::printf("editors' poll under siege: p50 %.2f ms, p99 %.2f ms (%zu polls)\n", percentile(siege.pollMs, 0.5),
                percentile(siege.pollMs, 0.99), siege.pollMs.size());
    std::printf("siege of %.0f s: %llu connections opened by %d holding addresses, %llu guesses from %d addresses "
                "(%llu answered with the lock-out)\n",
                siegeSeconds, (unsigned long long)connects, kHolderAddresses, (unsigned long long)guesses, kGuessers,
                (unsigned long long)locked);
    std::printf("password checks of guesses: %lld, %.3f per second per guessed name\n", checked, perName);
    std::printf("server peak RSS: %.1f MB\n", double(peakKb) / 1024);
    const bool met = siege.freshMs.size() == std::size_t(kFreshDuring) && p99Siege <= 2 * p99Unloaded &&
                     peakKb < 256 * 1024 && perName < 1;
    std::printf("log-in p99 siege/unloaded: %.2f (target <= 2), peak RSS %.0f MB (target < 256), checked guesses "
                "%.3f/s per name (target < 1): %s\n",
                p99Unloaded > 0 ? p99Siege / p99Unloaded : 0, double(peakKb) / 1024, perName,
                met ? "met" : "NOT met");
    return 0;
}
