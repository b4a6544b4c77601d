#pragma once
// Delivering a built target file to one target (tbldoel): the module "Ftp"
// uploads it with libcurl, the module "Batch" runs a command line with the
// local file as argument.
//
// DESIGN. Both run on a publication worker and block it, never the event
// loop. An upload goes to a temporary name in the target folder and is
// renamed to its real name only when it is complete, so a reader there never
// sees half a file; transient failures are tried again after a growing
// pause, a refused log-in is not. A Batch command is split into words like
// the job commands and started without a shell, in its own process group,
// killed when it outlives the time limit. Every attempt and its outcome is
// reported through `log` as one markup line; passwords never appear in it.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace qserver::publish {

struct Target {
    std::int64_t id = 0;
    std::string naam;
    std::string module;  // "Ftp" or "Batch"
    std::string settings;  // value string of the module's fields
};

struct DeliveryOptions {
    int timeLimitSeconds = 600;
    int ftpAttempts = 3;
    double ftpRetryDelaySeconds = 2;
    int ftpTimeoutSeconds = 30;
    std::string directory;  // where Batch commands run (the output folder)
    const std::atomic<bool> *stop = nullptr;  // set when the server stops: give up at once
};

using LogFn = std::function<void(const std::string &markup)>;

// Delivers the file at `localPath` to `target` as `remoteName`. True when it
// arrived; false after a log line that says why.
bool deliver(const Target &target, const std::string &localPath, const std::string &remoteName,
             const DeliveryOptions &options, const LogFn &log);

// The libcurl initialisation, once per process before any thread uploads.
void initDelivery();

}  // namespace qserver::publish
