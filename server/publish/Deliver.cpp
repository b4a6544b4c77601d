#include "publish/Deliver.h"

#include "jobs/Spawn.h"
#include "publish/Formats.h"
#include "text/Text.h"

#include <curl/curl.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace qserver::publish {

namespace {

constexpr int kMaxCommandLines = 20;  // output lines of a Batch command that are reported

struct Upload {
    FILE *file = nullptr;
    const std::atomic<bool> *stop = nullptr;
};

size_t readChunk(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    return std::fread(buffer, size, count, u->file);
}

int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    const auto *u = static_cast<Upload *>(user);
    return u->stop && u->stop->load() ? 1 : 0;
}

// Failures worth another attempt: the network or the server's moment, not
// the configuration.
bool transient(CURLcode rc)
{
    switch (rc) {
    case CURLE_LOGIN_DENIED:
    case CURLE_REMOTE_ACCESS_DENIED:
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_READ_ERROR:
    case CURLE_ABORTED_BY_CALLBACK: return false;
    default: return true;
    }
}

std::string escaped(CURL *curl, const std::string &part)
{
    char *e = curl_easy_escape(curl, part.c_str(), int(part.size()));
    std::string out = e ? e : "";
    curl_free(e);
    return out;
}

// The URL of `name` in `dir` on `host`. An absolute folder starts at the
// server's root ("%2F"), a relative one at the log-in folder.
std::string ftpUrl(CURL *curl, const std::string &host, const std::string &dir, const std::string &name)
{
    std::string url = "ftp://" + host + "/";
    std::string rest = dir;
    if (!rest.empty() && rest.front() == '/') {
        url += "%2F";
        rest.erase(0, 1);
    }
    std::size_t pos = 0;
    while (pos < rest.size()) {
        std::size_t slash = rest.find('/', pos);
        if (slash == std::string::npos)
            slash = rest.size();
        if (slash > pos)
            url += escaped(curl, rest.substr(pos, slash - pos)) + "/";
        pos = slash + 1;
    }
    return url + escaped(curl, name);
}

bool deliverFtp(const Target &target, const std::string &localPath, const std::string &remoteName,
                const DeliveryOptions &o, const LogFn &log)
{
    const std::string host = valueOf(target.settings, "host").value_or("");
    const std::string user = valueOf(target.settings, "username").value_or("");
    const std::string password = valueOf(target.settings, "password").value_or("");
    const std::string dir = valueOf(target.settings, "initialdir").value_or("");
    const std::string where = lineSafe(target.naam);
    if (host.empty() || host.find_first_of("/@ ") != std::string::npos) {
        log("<red>" + where + ": geen bruikbare host in de instellingen<black>");
        return false;
    }
    if (!plainFileName(remoteName)) {
        log("<red>" + where + ": remote bestandsnaam \"" + lineSafe(remoteName) + "\" is geen gewone naam<black>");
        return false;
    }
    const std::string shown = "ftp://" + (user.empty() ? "" : lineSafe(user) + "@") + lineSafe(host) + "/" +
                              lineSafe(dir.empty() || dir.back() == '/' ? dir : dir + "/") + lineSafe(remoteName);
    const std::string temporary = "." + remoteName + ".part";
    double delay = o.ftpRetryDelaySeconds;
    for (int attempt = 1; attempt <= o.ftpAttempts; ++attempt) {
        Upload upload;
        upload.stop = o.stop;
        upload.file = std::fopen(localPath.c_str(), "rb");
        if (!upload.file) {
            log("<red>" + where + ": " + lineSafe(localPath) + " niet te lezen (" + std::strerror(errno) + ")<black>");
            return false;
        }
        std::fseek(upload.file, 0, SEEK_END);
        const long size = std::ftell(upload.file);
        std::fseek(upload.file, 0, SEEK_SET);
        CURL *curl = curl_easy_init();
        char message[CURL_ERROR_SIZE] = {0};
        const std::string url = ftpUrl(curl, host, dir, temporary);
        curl_slist *rename = nullptr;
        rename = curl_slist_append(rename, ("RNFR " + temporary).c_str());
        rename = curl_slist_append(rename, ("RNTO " + remoteName).c_str());
        curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
        curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "ftp");
        curl_easy_setopt(curl, CURLOPT_USERNAME, user.empty() ? "anonymous" : user.c_str());
        curl_easy_setopt(curl, CURLOPT_PASSWORD, password.c_str());
        curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
        curl_easy_setopt(curl, CURLOPT_READFUNCTION, readChunk);
        curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
        curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, curl_off_t(size));
        curl_easy_setopt(curl, CURLOPT_POSTQUOTE, rename);
        curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, message);
        curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, long(o.ftpTimeoutSeconds));
        curl_easy_setopt(curl, CURLOPT_TIMEOUT, long(o.timeLimitSeconds));
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
        curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, long(o.ftpTimeoutSeconds));
        curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, progress);
        curl_easy_setopt(curl, CURLOPT_XFERINFODATA, &upload);
        const CURLcode rc = curl_easy_perform(curl);
        curl_slist_free_all(rename);
        curl_easy_cleanup(curl);
        std::fclose(upload.file);
        if (rc == CURLE_OK) {
            log(where + ": " + shown + " verzonden (poging " + std::to_string(attempt) + ")");
            return true;
        }
        const std::string why = lineSafe(message[0] ? message : curl_easy_strerror(rc));
        const bool again = transient(rc) && attempt < o.ftpAttempts && !(o.stop && o.stop->load());
        log("<red>" + where + ": " + shown + " poging " + std::to_string(attempt) + " mislukt: " + why +
            (again ? "" : "<black>"));
        if (!again)
            return false;
        log("<black>" + where + ": nieuwe poging over " + std::to_string(delay).substr(0, 4) + " s");
        std::this_thread::sleep_for(std::chrono::duration<double>(delay));
        delay *= 2;
    }
    return false;
}

bool runBatch(const Target &target, const std::string &localPath, const DeliveryOptions &o, const LogFn &log)
{
    const std::string where = lineSafe(target.naam);
    const std::string command = valueOf(target.settings, "command").value_or("");
    std::string why;
    auto argv = splitArguments(command, &why);
    if (!argv || argv->empty()) {
        log("<red>" + where + ": opdrachtregel onbruikbaar (" + (argv ? std::string("leeg") : lineSafe(why)) +
            ")<black>");
        return false;
    }
    bool placed = false;
    for (std::string &a : *argv) {
        for (std::size_t at; (at = a.find("%f")) != std::string::npos; placed = true)
            a.replace(at, 2, localPath);
    }
    if (!placed)
        argv->push_back(localPath);

    const SpawnResult spawned = SpawnWithOutput(*argv, o.directory);
    if (spawned.pipeFailed) {
        log("<red>" + where + ": kan niet starten (" + std::strerror(spawned.error) + ")<black>");
        return false;
    }
    if (!spawned.started) {
        log("<red>" + where + ": kan " + lineSafe((*argv)[0]) + " niet starten (" + std::strerror(spawned.error) +
            ")<black>");
        return false;
    }
    const pid_t pid = spawned.pid;
    const int output = spawned.output;

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::seconds(o.timeLimitSeconds);
    Clock::time_point killAt{};
    bool timedOut = false, exited = false, eof = false;
    int status = 0, reported = 0;
    std::string partial;
    auto report = [&](std::string line) {
        if (reported++ < kMaxCommandLines)
            log(where + ": " + lineSafe(line.substr(0, 500)));
    };
    while (!exited || !eof) {
        if (!eof) {
            pollfd p{output, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buf[4096];
                const ssize_t n = ::read(output, buf, sizeof buf);
                if (n <= 0) {
                    eof = true;
                } else {
                    partial.append(buf, std::size_t(n));
                    for (std::size_t lf; (lf = partial.find('\n')) != std::string::npos; partial.erase(0, lf + 1))
                        report(partial.substr(0, lf));
                }
            }
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!exited && ::waitpid(pid, &status, WNOHANG) == pid)
            exited = true;
        const auto now = Clock::now();
        // Children left behind may keep the pipe open: once the command has
        // ended, a quiet pipe (or the time limit) ends the reading.
        if (exited && !eof) {
            pollfd p{output, POLLIN, 0};
            if (::poll(&p, 1, 50) == 0 || now >= deadline)
                eof = true;
        }
        const bool stopping = o.stop && o.stop->load();
        if (!exited && (now >= deadline || stopping) && killAt == Clock::time_point{}) {
            timedOut = !stopping;
            ::kill(-pid, SIGTERM);
            killAt = now + std::chrono::seconds(3);
        }
        if (!exited && killAt != Clock::time_point{} && now >= killAt)
            ::kill(-pid, SIGKILL);
    }
    ::close(output);
    if (!partial.empty())
        report(partial);
    if (timedOut) {
        log("<red>" + where + ": afgebroken na " + std::to_string(o.timeLimitSeconds) + " s<black>");
        return false;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        log(where + ": opdracht klaar");
        return true;
    }
    log("<red>" + where + ": opdracht mislukt (" +
        (WIFEXITED(status) ? "code " + std::to_string(WEXITSTATUS(status))
                           : "signaal " + std::to_string(WTERMSIG(status))) +
        ")<black>");
    return false;
}

}  // namespace

void initDelivery()
{
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

bool deliver(const Target &target, const std::string &localPath, const std::string &remoteName,
             const DeliveryOptions &options, const LogFn &log)
{
    const std::string module = toLower(target.module);
    if (module == "ftp")
        return deliverFtp(target, localPath, remoteName, options, log);
    if (module == "batch")
        return runBatch(target, localPath, options, log);
    log("<red>" + lineSafe(target.naam) + ": onbekende uploadmodule \"" + lineSafe(target.module) + "\"<black>");
    return false;
}

}  // namespace qserver::publish
