#pragma once
// The server's configuration file.
//
// DESIGN: an ini file read by our own small reader, so errors name the file
// and the line. Unknown keys are errors rather than silently ignored: a typo
// in a production configuration must not fall back to a default unnoticed.
//
//   [server]    listen, port, min_client_version, idle_timeout, silent_timeout,
//               login_timeout, max_connections, max_connections_per_address,
//               max_line_length, queue_limit, queue_bytes, max_lock_name,
//               max_locks, final_editor_timeout, login_delay_ms,
//               handshake_timeout, max_unauthenticated, output_total,
//               lockout_failures, lockout_time
//   [database]  host, port, name, user, password, workers, connect_timeout,
//               statement_timeout
//   [tls]       certificate, key
//   [import]    schedule, timeout, max_bytes, max_items, max_redirects,
//               workers, wire_folder, wire_done, wire_failed, wire_interval
//   [publish]   templates, output, delivered, workers, time_limit,
//               ftp_attempts, ftp_retry_delay, ftp_timeout
//   [job <id>]  name, description, schedule, command, time_limit, directory

#include "jobs/JobDefinition.h"

#include <optional>
#include <string>
#include <vector>

namespace qserver {

struct IniEntry {
    std::string key;  // lower case
    std::string value;  // trimmed
    int line = 0;
};

struct IniSection {
    std::string name;  // as written between the brackets, trimmed
    int line = 0;
    std::vector<IniEntry> entries;
};

// Parses ini text: "[section]", "key = value", comments starting with ';' or
// '#'. Keys before any section belong to a section with an empty name.
// nullopt and `error` ("line N: ...") for a line that is none of these.
std::optional<std::vector<IniSection>> parseIni(const std::string &text, std::string *error);

// The built-in import of internet sources and of the news-wire drop folder.
struct ImportConfig {
    JobSchedule schedule;  // when every source with a feed address is refreshed; manual = on request only
    int timeoutSeconds = 30;  // one feed's whole transfer
    std::size_t maxBytes = 10 * 1024 * 1024;  // one feed or wire file
    std::size_t maxItems = 1000;  // items taken from one feed
    int maxRedirects = 5;
    int workers = 2;  // threads that fetch and read
    std::string wireFolder;  // agency files arrive here; empty = no wire import
    std::string wireDone;  // stored files go here (default wireFolder/done)
    std::string wireFailed;  // unreadable files go here (default wireFolder/failed)
    double wireIntervalSeconds = 10;  // how often the folder is looked at
};

struct ServerConfig {
    std::string listenAddress = "0.0.0.0";
    int port = 2000;  // 0 = any free port (tests)
    std::string minClientVersion = "0";
    double idleTimeoutSeconds = 300;  // 0 = never drop idle connections
    double silentTimeoutSeconds = 40;  // a logged-in client silent this long is gone; 0 = never
    double loginTimeoutSeconds = 120;  // time to log in after connecting; 0 = unlimited
    double handshakeTimeoutSeconds = 5;  // time to send an accepted "checkversion" (or log in); 0 = unlimited
    std::size_t maxConnections = 500;  // logged-in connections
    std::size_t maxUnauthenticated = 64;  // connections not logged in (yet); the oldest gives way
    std::size_t maxConnectionsPerAddress = 32;  // connections not logged in, from one address
    std::size_t outputTotal = 128 * 1024 * 1024;  // unwritten output of all connections together
    std::size_t maxLineLength = 65536;
    std::size_t queueLimit = 10000;  // queued lines per client
    std::size_t queueBytes = 1024 * 1024;  // queued bytes per client
    std::size_t maxLockName = 128;
    std::size_t maxLocks = 1000;  // locks one client may hold
    double finalEditorTimeoutSeconds = 45;
    int loginDelayMs = 500;  // base delay after repeated failed log-ins
    int lockoutFailures = 10;  // failures of one name or address that lock it out
    double lockoutSeconds = 300;  // how long, from the last failure

    std::string dbHost = "127.0.0.1";
    int dbPort = 5432;
    std::string dbName = "quillon";
    std::string dbUser = "quillon_server";  // the server's own role: it alone reads password hashes
    std::string dbPassword;
    int dbWorkers = 4;
    int dbConnectTimeoutSeconds = 5;  // libpq's connect_timeout (at least 2)
    double dbStatementTimeoutSeconds = 5;  // per statement, in the database and in the wait for it

    // PEM files; both set: clients may speak TLS (plain TCP stays possible).
    std::string tlsCertificate;  // the server's certificate chain
    std::string tlsKey;  // its private key, unencrypted

    ImportConfig import;
    std::vector<JobDefinition> jobs;

    // The publication of rubrics ("publiceer"). Relative folders are taken
    // from the folder of the configuration file (loadConfig resolves them).
    std::string publishTemplates = "exporttemplates";  // the export templates, by tblexporttemplate.naam
    std::string publishOutput = "publicatie";  // where target files are built
    std::string publishDelivered;  // the last delivered copy of each target file; empty: <output>/verzonden
    int publishWorkers = 2;  // publications that run at the same time
    int publishTimeLimitSeconds = 600;  // one delivery (an upload, a Batch command)
    int ftpAttempts = 3;  // uploads tried per file and target before it fails
    double ftpRetryDelaySeconds = 2;  // before the second attempt; doubles after each
    int ftpTimeoutSeconds = 30;  // connecting, and a transfer that stalls this long
};

// Builds the configuration from ini text. nullopt and a message naming the
// line for a malformed file, an unknown section or key, or a bad value.
std::optional<ServerConfig> parseConfig(const std::string &text, std::string *error);

// Reads and parses a file; the message then starts with the file name.
std::optional<ServerConfig> loadConfig(const std::string &path, std::string *error);

}  // namespace qserver
