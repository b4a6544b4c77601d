#pragma once
// Runs the configured jobs as child processes.
//
// DESIGN: a job's command line was split into arguments when the
// configuration was read, and the program is started with posix_spawnp: no
// shell ever sees it, so nothing in it is expanded or interpreted. Each child
// gets its own process group (a time-out kills the whole group), /dev/null as
// input and one pipe for stdout and stderr, read on the event loop and
// reported line by line. The end of a job is known when both the pipe is at
// end of file and the exit status was reaped (SIGCHLD); the order differs per
// child. Timers on the loop start the scheduled jobs; a job that is still
// running when its next start comes is not started twice.

#ifndef ASIO_STANDALONE
#define ASIO_STANDALONE
#endif
#include <asio.hpp>

#include "jobs/JobDefinition.h"

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace qserver {

class JobRunner {
public:
    using LogFn = std::function<void(const std::string &)>;  // one "job log" text
    using ChangedFn = std::function<void()>;  // the job lists changed

    JobRunner(asio::io_context &io, LogFn log, ChangedFn changed);
    ~JobRunner();

    // Replaces the job definitions and reschedules; running jobs go on.
    void setDefinitions(std::vector<JobDefinition> jobs);

    // Starts the configured job `name` now (case-insensitive). False when
    // there is no such job or it is running already; `why` says which.
    bool startNow(const std::string &name, const std::string &requestedBy, std::string &why);

    // One text per running job and per planned job, for "job list".
    std::vector<std::string> runningTexts() const;
    std::vector<std::string> plannedTexts() const;

    // Kills every running job (server shutdown).
    void killAll();

private:
    struct Running;
    void schedule(std::size_t index);
    void start(const JobDefinition &def, const std::string &reason);
    void readOutput(const std::shared_ptr<Running> &job);
    void emitLine(Running &job, std::string line);
    void maybeFinish(const std::shared_ptr<Running> &job);
    void waitSignals();
    void reap();

    asio::io_context &m_io;
    LogFn m_log;
    ChangedFn m_changed;
    WallClock::time_point m_origin;
    std::vector<JobDefinition> m_defs;
    std::vector<std::unique_ptr<asio::system_timer>> m_timers;  // one per scheduled definition
    std::vector<std::optional<WallClock::time_point>> m_next;  // next start per definition
    std::map<int, std::shared_ptr<Running>> m_running;  // pid -> job
    asio::signal_set m_sigchld;
};

}  // namespace qserver
