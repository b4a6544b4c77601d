#include "jobs/JobRunner.h"

#include "Log.h"
#include "jobs/Spawn.h"
#include "text/Text.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace qserver {

namespace {
constexpr std::size_t kMaxLogLine = 1000;  // longer output lines are cut into pieces

std::string clockText(WallClock::time_point t)
{
    const std::time_t tt = WallClock::to_time_t(t);
    std::tm tm{};
    localtime_r(&tt, &tm);
    char buf[16];
    std::strftime(buf, sizeof buf, "%H:%M:%S", &tm);
    return buf;
}
}  // namespace

struct JobRunner::Running {
    explicit Running(asio::io_context &io) : pipe(io), limit(io) {}
    std::string name;
    std::string description;
    int pid = -1;
    asio::posix::stream_descriptor pipe;
    asio::steady_timer limit;
    std::array<char, 4096> buf{};
    std::string partial;  // output after the last LF
    bool eof = false;
    bool reaped = false;
    bool timedOut = false;
    int status = 0;
    int timeLimit = 0;
    WallClock::time_point started;
};

JobRunner::JobRunner(asio::io_context &io, LogFn log, ChangedFn changed)
    : m_io(io), m_log(std::move(log)), m_changed(std::move(changed)), m_origin(WallClock::now()), m_sigchld(io, SIGCHLD)
{
    waitSignals();
}

JobRunner::~JobRunner()
{
    killAll();
}

void JobRunner::setDefinitions(std::vector<JobDefinition> jobs)
{
    for (auto &t : m_timers)
        t->cancel();
    m_timers.clear();
    m_defs = std::move(jobs);
    m_next.assign(m_defs.size(), std::nullopt);
    for (std::size_t i = 0; i < m_defs.size(); ++i) {
        m_timers.push_back(std::make_unique<asio::system_timer>(m_io));
        schedule(i);
    }
    if (m_changed)
        m_changed();
}

void JobRunner::schedule(std::size_t index)
{
    const JobDefinition &def = m_defs[index];
    m_next[index] = nextRun(def.schedule, m_origin, WallClock::now());
    if (!m_next[index])
        return;
    asio::system_timer &timer = *m_timers[index];
    timer.expires_at(*m_next[index]);
    // The timer object dies with a reload; the cancelled handler must then
    // not touch the new definitions.
    timer.async_wait([this, index, timerPtr = &timer](const std::error_code &ec) {
        if (ec || index >= m_timers.size() || m_timers[index].get() != timerPtr)
            return;
        std::string why;
        if (!startNow(m_defs[index].name, "planning", why))
            m_log(why);
        schedule(index);
    });
}

bool JobRunner::startNow(const std::string &name, const std::string &requestedBy, std::string &why)
{
    const std::string lower = toLower(name);
    for (const JobDefinition &def : m_defs) {
        if (toLower(def.name) != lower)
            continue;
        for (const auto &[pid, job] : m_running) {
            if (toLower(job->name) == lower) {
                why = def.name + ": draait al, niet opnieuw gestart";
                return false;
            }
        }
        start(def, requestedBy);
        return true;
    }
    why = name + ": onbekende taak";
    return false;
}

void JobRunner::start(const JobDefinition &def, const std::string &reason)
{
    const SpawnResult spawned = SpawnWithOutput(def.argv, def.directory);
    if (spawned.pipeFailed) {
        m_log(def.name + ": kan niet starten (" + std::strerror(spawned.error) + ")");
        return;
    }
    if (!spawned.started) {
        m_log(def.name + ": kan " + def.argv[0] + " niet starten (" + std::strerror(spawned.error) + ")");
        return;
    }
    const pid_t pid = spawned.pid;

    auto job = std::make_shared<Running>(m_io);
    job->name = def.name;
    job->description = def.description;
    job->pid = pid;
    job->timeLimit = def.timeLimitSeconds;
    job->started = WallClock::now();
    job->pipe.assign(spawned.output);
    m_running[pid] = job;
    m_log(def.name + " gestart (" + reason + ")");
    logInfo("job " + def.name + " started as pid " + std::to_string(pid));

    job->limit.expires_after(std::chrono::seconds(def.timeLimitSeconds));
    job->limit.async_wait([this, job](const std::error_code &ec) {
        if (ec || job->reaped)
            return;
        job->timedOut = true;
        ::kill(-job->pid, SIGTERM);
        // A job that ignores SIGTERM gets SIGKILL shortly after.
        job->limit.expires_after(std::chrono::seconds(3));
        job->limit.async_wait([job](const std::error_code &ec2) {
            if (!ec2 && !job->reaped)
                ::kill(-job->pid, SIGKILL);
        });
    });
    readOutput(job);
    if (m_changed)
        m_changed();
}

void JobRunner::readOutput(const std::shared_ptr<Running> &job)
{
    job->pipe.async_read_some(asio::buffer(job->buf), [this, job](const std::error_code &ec, std::size_t n) {
        if (n > 0) {
            job->partial.append(job->buf.data(), n);
            std::size_t lf;
            while ((lf = job->partial.find('\n')) != std::string::npos) {
                std::string line = job->partial.substr(0, lf);
                job->partial.erase(0, lf + 1);
                emitLine(*job, std::move(line));
            }
            while (job->partial.size() > kMaxLogLine) {
                emitLine(*job, job->partial.substr(0, kMaxLogLine));
                job->partial.erase(0, kMaxLogLine);
            }
        }
        if (ec) {
            if (!job->partial.empty())
                emitLine(*job, std::move(job->partial));
            job->partial.clear();
            job->eof = true;
            job->pipe.close();
            maybeFinish(job);
            return;
        }
        readOutput(job);
    });
}

void JobRunner::emitLine(Running &job, std::string line)
{
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    for (char &c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            c = ' ';
    while (line.size() > kMaxLogLine) {
        m_log(job.name + ": " + line.substr(0, kMaxLogLine));
        line.erase(0, kMaxLogLine);
    }
    m_log(job.name + ": " + line);
}

void JobRunner::maybeFinish(const std::shared_ptr<Running> &job)
{
    if (!job->eof || !job->reaped)
        return;
    job->limit.cancel();
    m_running.erase(job->pid);
    std::string outcome;
    if (job->timedOut)
        outcome = "afgebroken na " + std::to_string(job->timeLimit) + " s";
    else if (WIFEXITED(job->status) && WEXITSTATUS(job->status) == 0)
        outcome = "klaar";
    else if (WIFEXITED(job->status))
        outcome = "mislukt (code " + std::to_string(WEXITSTATUS(job->status)) + ")";
    else
        outcome = "mislukt (signaal " + std::to_string(WTERMSIG(job->status)) + ")";
    m_log(job->name + " " + outcome);
    logInfo("job " + job->name + " (pid " + std::to_string(job->pid) + ") " + outcome);
    if (m_changed)
        m_changed();
}

void JobRunner::waitSignals()
{
    m_sigchld.async_wait([this](const std::error_code &ec, int) {
        if (ec)
            return;
        reap();
        waitSignals();
    });
}

void JobRunner::reap()
{
    // Reap only our own children, by pid: other parts of the process (libpq
    // never forks, but a library might) keep theirs.
    std::vector<std::shared_ptr<Running>> done;
    for (auto &[pid, job] : m_running) {
        if (job->reaped)
            continue;
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            job->reaped = true;
            job->status = status;
            done.push_back(job);
        }
    }
    for (auto &job : done) {
        // The group may still hold children that keep the pipe open.
        if (!job->eof)
            ::kill(-job->pid, SIGTERM);
        maybeFinish(job);
    }
}

std::vector<std::string> JobRunner::runningTexts() const
{
    std::vector<std::string> out;
    for (const auto &[pid, job] : m_running) {
        std::string t = job->name;
        if (!job->description.empty())
            t += " - " + job->description;
        out.push_back(t + " (sinds " + clockText(job->started) + ")");
    }
    return out;
}

std::vector<std::string> JobRunner::plannedTexts() const
{
    std::vector<std::string> out;
    for (std::size_t i = 0; i < m_defs.size(); ++i) {
        const JobDefinition &d = m_defs[i];
        std::string t = d.name;
        if (!d.description.empty())
            t += " - " + d.description;
        t += " (" + d.schedule.describe();
        if (i < m_next.size() && m_next[i])
            t += ", volgende " + clockText(*m_next[i]);
        out.push_back(t + ")");
    }
    return out;
}

void JobRunner::killAll()
{
    for (auto &[pid, job] : m_running) {
        if (!job->reaped) {
            ::kill(-pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
            job->reaped = true;
        }
        job->limit.cancel();
        job->pipe.close();
    }
    m_running.clear();
    for (auto &t : m_timers)
        t->cancel();
}

}  // namespace qserver
