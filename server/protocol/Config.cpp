#include "protocol/Config.h"

#include "text/Text.h"

#include <charconv>
#include <fstream>
#include <set>
#include <sstream>

namespace qserver {

namespace {

std::string trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return std::string(s);
}

std::string at(int line)
{
    return "line " + std::to_string(line) + ": ";
}

bool toInt(const std::string &v, long long lo, long long hi, long long &out)
{
    const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), out);
    return ec == std::errc() && end == v.data() + v.size() && out >= lo && out <= hi;
}

bool toSeconds(const std::string &v, double &out)
{
    try {
        std::size_t used = 0;
        out = std::stod(v, &used);
        return used == v.size() && out >= 0 && out < 1e9;
    } catch (...) {
        return false;
    }
}

// Applies one [server] or [database] key; false and `error` for a bad value
// or an unknown key.
bool applyKey(ServerConfig &c, const std::string &section, const IniEntry &e, std::string &error)
{
    long long n = 0;
    double d = 0;
    auto bad = [&](const char *what) {
        error = at(e.line) + e.key + ": " + what;
        return false;
    };
    if (section == "server") {
        if (e.key == "listen") {
            if (e.value.empty())
                return bad("empty address");
            c.listenAddress = e.value;
        } else if (e.key == "port") {
            if (!toInt(e.value, 0, 65535, n))
                return bad("not a port number (0-65535)");
            c.port = int(n);
        } else if (e.key == "min_client_version") {
            if (!compareVersions(e.value, "0"))
                return bad("not a dotted version number");
            c.minClientVersion = e.value;
        } else if (e.key == "idle_timeout") {
            if (!toSeconds(e.value, d))
                return bad("not a number of seconds");
            c.idleTimeoutSeconds = d;
        } else if (e.key == "silent_timeout") {
            if (!toSeconds(e.value, d))
                return bad("not a number of seconds");
            c.silentTimeoutSeconds = d;
        } else if (e.key == "login_timeout") {
            if (!toSeconds(e.value, d))
                return bad("not a number of seconds");
            c.loginTimeoutSeconds = d;
        } else if (e.key == "max_connections") {
            if (!toInt(e.value, 1, 1'000'000, n))
                return bad("not a count between 1 and 1000000");
            c.maxConnections = std::size_t(n);
        } else if (e.key == "max_connections_per_address") {
            if (!toInt(e.value, 1, 1'000'000, n))
                return bad("not a count between 1 and 1000000");
            c.maxConnectionsPerAddress = std::size_t(n);
        } else if (e.key == "queue_bytes") {
            if (!toInt(e.value, 4096, 1024LL * 1024 * 1024, n))
                return bad("not a size between 4096 and 1073741824");
            c.queueBytes = std::size_t(n);
        } else if (e.key == "max_lock_name") {
            if (!toInt(e.value, 8, 65536, n))
                return bad("not a length between 8 and 65536");
            c.maxLockName = std::size_t(n);
        } else if (e.key == "max_locks") {
            if (!toInt(e.value, 1, 10'000'000, n))
                return bad("not a count between 1 and 10000000");
            c.maxLocks = std::size_t(n);
        } else if (e.key == "max_line_length") {
            if (!toInt(e.value, 64, 16 * 1024 * 1024, n))
                return bad("not a length between 64 and 16777216");
            c.maxLineLength = std::size_t(n);
        } else if (e.key == "queue_limit") {
            if (!toInt(e.value, 16, 10'000'000, n))
                return bad("not a count between 16 and 10000000");
            c.queueLimit = std::size_t(n);
        } else if (e.key == "final_editor_timeout") {
            if (!toSeconds(e.value, d))
                return bad("not a number of seconds");
            c.finalEditorTimeoutSeconds = d;
        } else if (e.key == "login_delay_ms") {
            if (!toInt(e.value, 0, 60'000, n))
                return bad("not a number of milliseconds (0-60000)");
            c.loginDelayMs = int(n);
        } else if (e.key == "handshake_timeout") {
            if (!toSeconds(e.value, d))
                return bad("not a number of seconds");
            c.handshakeTimeoutSeconds = d;
        } else if (e.key == "max_unauthenticated") {
            if (!toInt(e.value, 1, 1'000'000, n))
                return bad("not a count between 1 and 1000000");
            c.maxUnauthenticated = std::size_t(n);
        } else if (e.key == "output_total") {
            if (!toInt(e.value, 65536, 64LL * 1024 * 1024 * 1024, n))
                return bad("not a size between 65536 and 68719476736");
            c.outputTotal = std::size_t(n);
        } else if (e.key == "lockout_failures") {
            if (!toInt(e.value, 1, 1'000'000, n))
                return bad("not a count between 1 and 1000000");
            c.lockoutFailures = int(n);
        } else if (e.key == "lockout_time") {
            if (!toSeconds(e.value, d))
                return bad("not a number of seconds");
            c.lockoutSeconds = d;
        } else {
            return bad("unknown key in [server]");
        }
        return true;
    }
    if (e.key == "host") {
        c.dbHost = e.value;
    } else if (e.key == "port") {
        if (!toInt(e.value, 1, 65535, n))
            return bad("not a port number (1-65535)");
        c.dbPort = int(n);
    } else if (e.key == "name") {
        c.dbName = e.value;
    } else if (e.key == "user") {
        c.dbUser = e.value;
    } else if (e.key == "password") {
        c.dbPassword = e.value;
    } else if (e.key == "workers") {
        if (!toInt(e.value, 1, 64, n))
            return bad("not a count between 1 and 64");
        c.dbWorkers = int(n);
    } else if (e.key == "connect_timeout") {
        if (!toInt(e.value, 2, 3600, n))
            return bad("not a number of seconds between 2 and 3600");
        c.dbConnectTimeoutSeconds = int(n);
    } else if (e.key == "statement_timeout") {
        if (!toSeconds(e.value, d) || d < 0.1)
            return bad("not a number of seconds (at least 0.1)");
        c.dbStatementTimeoutSeconds = d;
    } else {
        return bad("unknown key in [database]");
    }
    return true;
}

// The [import] section; false and `error` for a bad value or unknown key.
bool parseImport(const IniSection &s, ImportConfig &c, std::string &error)
{
    for (const IniEntry &e : s.entries) {
        long long n = 0;
        double d = 0;
        auto bad = [&](const std::string &what) {
            error = at(e.line) + e.key + ": " + what;
            return false;
        };
        if (e.key == "schedule") {
            std::string why;
            auto sched = parseSchedule(e.value, &why);
            if (!sched)
                return bad(why);
            c.schedule = *sched;
        } else if (e.key == "timeout") {
            if (!toInt(e.value, 1, 3600, n))
                return bad("not a number of seconds between 1 and 3600");
            c.timeoutSeconds = int(n);
        } else if (e.key == "max_bytes") {
            if (!toInt(e.value, 1024, 1024LL * 1024 * 1024, n))
                return bad("not a size between 1024 and 1073741824");
            c.maxBytes = std::size_t(n);
        } else if (e.key == "max_items") {
            if (!toInt(e.value, 1, 100000, n))
                return bad("not a count between 1 and 100000");
            c.maxItems = std::size_t(n);
        } else if (e.key == "max_redirects") {
            if (!toInt(e.value, 0, 20, n))
                return bad("not a count between 0 and 20");
            c.maxRedirects = int(n);
        } else if (e.key == "workers") {
            if (!toInt(e.value, 1, 16, n))
                return bad("not a count between 1 and 16");
            c.workers = int(n);
        } else if (e.key == "wire_folder") {
            c.wireFolder = e.value;
        } else if (e.key == "wire_done") {
            c.wireDone = e.value;
        } else if (e.key == "wire_failed") {
            c.wireFailed = e.value;
        } else if (e.key == "wire_interval") {
            if (!toSeconds(e.value, d) || d < 0.1)
                return bad("not a number of seconds (at least 0.1)");
            c.wireIntervalSeconds = d;
        } else {
            return bad("unknown key in [import]");
        }
    }
    if (!c.wireFolder.empty()) {
        if (c.wireDone.empty())
            c.wireDone = c.wireFolder + "/done";
        if (c.wireFailed.empty())
            c.wireFailed = c.wireFolder + "/failed";
    }
    return true;
}

bool parseJob(const IniSection &s, JobDefinition &job, std::string &error)
{
    job.name = trim(std::string_view(s.name).substr(3));
    bool haveCommand = false;
    for (const IniEntry &e : s.entries) {
        if (e.key == "name") {
            job.name = e.value;
        } else if (e.key == "description") {
            job.description = e.value;
        } else if (e.key == "schedule") {
            std::string why;
            auto sched = parseSchedule(e.value, &why);
            if (!sched) {
                error = at(e.line) + "schedule: " + why;
                return false;
            }
            job.schedule = *sched;
        } else if (e.key == "command") {
            std::string why;
            auto argv = splitArguments(e.value, &why);
            if (!argv) {
                error = at(e.line) + "command: " + why;
                return false;
            }
            if (argv->empty()) {
                error = at(e.line) + "command: empty";
                return false;
            }
            job.argv = std::move(*argv);
            haveCommand = true;
        } else if (e.key == "time_limit") {
            long long n = 0;
            if (!toInt(e.value, 1, 7 * 24 * 3600, n)) {
                error = at(e.line) + "time_limit: not a number of seconds";
                return false;
            }
            job.timeLimitSeconds = int(n);
        } else if (e.key == "directory") {
            job.directory = e.value;
        } else {
            error = at(e.line) + e.key + ": unknown key in a job section";
            return false;
        }
    }
    if (job.name.empty()) {
        error = at(s.line) + "job without a name";
        return false;
    }
    if (!haveCommand) {
        error = at(s.line) + "job \"" + job.name + "\" has no command";
        return false;
    }
    return true;
}

bool parsePublish(const IniSection &s, ServerConfig &c, std::string &error)
{
    for (const IniEntry &e : s.entries) {
        long long n = 0;
        double d = 0;
        auto bad = [&](const std::string &why) {
            error = at(e.line) + e.key + ": " + why;
            return false;
        };
        if (e.key == "templates") {
            c.publishTemplates = e.value;
        } else if (e.key == "output") {
            c.publishOutput = e.value;
        } else if (e.key == "delivered") {
            c.publishDelivered = e.value;
        } else if (e.key == "workers") {
            if (!toInt(e.value, 1, 16, n))
                return bad("not a count between 1 and 16");
            c.publishWorkers = int(n);
        } else if (e.key == "time_limit") {
            if (!toInt(e.value, 1, 24 * 3600, n))
                return bad("not a number of seconds (1-86400)");
            c.publishTimeLimitSeconds = int(n);
        } else if (e.key == "ftp_attempts") {
            if (!toInt(e.value, 1, 10, n))
                return bad("not a count between 1 and 10");
            c.ftpAttempts = int(n);
        } else if (e.key == "ftp_retry_delay") {
            if (!toSeconds(e.value, d) || d > 600)
                return bad("not a number of seconds (0-600)");
            c.ftpRetryDelaySeconds = d;
        } else if (e.key == "ftp_timeout") {
            if (!toInt(e.value, 1, 3600, n))
                return bad("not a number of seconds (1-3600)");
            c.ftpTimeoutSeconds = int(n);
        } else {
            return bad("unknown key in [publish]");
        }
    }
    return true;
}

}  // namespace

std::optional<std::vector<IniSection>> parseIni(const std::string &text, std::string *error)
{
    std::vector<IniSection> sections(1);
    std::istringstream in(text);
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = trim(raw);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            if (line.back() != ']') {
                if (error)
                    *error = at(lineNo) + "section header without ']'";
                return std::nullopt;
            }
            IniSection s;
            s.name = trim(std::string_view(line).substr(1, line.size() - 2));
            s.line = lineNo;
            sections.push_back(std::move(s));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos || eq == 0) {
            if (error)
                *error = at(lineNo) + "expected \"key = value\"";
            return std::nullopt;
        }
        sections.back().entries.push_back(
            {toLower(trim(std::string_view(line).substr(0, eq))), trim(std::string_view(line).substr(eq + 1)), lineNo});
    }
    return sections;
}

std::optional<ServerConfig> parseConfig(const std::string &text, std::string *error)
{
    std::string why;
    auto sections = parseIni(text, &why);
    auto fail = [&](const std::string &msg) -> std::optional<ServerConfig> {
        if (error)
            *error = msg;
        return std::nullopt;
    };
    if (!sections)
        return fail(why);
    ServerConfig c;
    std::set<std::string> jobNames;
    for (const IniSection &s : *sections) {
        const std::string lower = toLower(s.name);
        if (s.name.empty() && s.line == 0) {
            if (!s.entries.empty())
                return fail(at(s.entries.front().line) + "key outside any section");
            continue;
        }
        if (lower == "server" || lower == "database") {
            for (const IniEntry &e : s.entries)
                if (!applyKey(c, lower, e, why))
                    return fail(why);
        } else if (lower == "tls") {
            for (const IniEntry &e : s.entries) {
                if (e.key == "certificate")
                    c.tlsCertificate = e.value;
                else if (e.key == "key")
                    c.tlsKey = e.value;
                else
                    return fail(at(e.line) + e.key + ": unknown key in [tls]");
            }
            if (c.tlsCertificate.empty() != c.tlsKey.empty())
                return fail(at(s.line) + "[tls] needs both certificate and key");
        } else if (lower == "import") {
            if (!parseImport(s, c.import, why))
                return fail(why);
        } else if (lower == "publish") {
            if (!parsePublish(s, c, why))
                return fail(why);
        } else if (lower == "job" || lower.rfind("job ", 0) == 0) {
            JobDefinition job;
            if (!parseJob(s, job, why))
                return fail(why);
            if (!jobNames.insert(toLower(job.name)).second)
                return fail(at(s.line) + "second job named \"" + job.name + "\"");
            c.jobs.push_back(std::move(job));
        } else {
            return fail(at(s.line) + "unknown section [" + s.name + "]");
        }
    }
    return c;
}

std::optional<ServerConfig> loadConfig(const std::string &path, std::string *error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error)
            *error = path + ": cannot be read";
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string why;
    auto c = parseConfig(text.str(), &why);
    if (!c && error)
        *error = path + ": " + why;
    if (c) {
        // Folders of the publication are relative to the configuration file.
        const std::size_t slash = path.rfind('/');
        const std::string base = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        for (std::string *dir : {&c->publishTemplates, &c->publishOutput, &c->publishDelivered})
            if (!dir->empty() && dir->front() != '/')
                *dir = base + "/" + *dir;
        if (c->publishDelivered.empty())
            c->publishDelivered = c->publishOutput + "/verzonden";
    }
    return c;
}

}  // namespace qserver
