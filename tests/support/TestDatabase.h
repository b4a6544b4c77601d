#pragma once
// Fresh databases for tests. scripts/test runs a private PostgreSQL 15 and 13
// on free loopback ports, each with the template databases
//   quillon_template  the schema only
//   quillon_demo      the schema and the demo newsroom
// and exports where they are:
//   QUILLON_PG_HOST, QUILLON_PG15_PORT, QUILLON_PG13_PORT,
//   QUILLON_PG_SUPERUSER, QUILLON_PG_SUPERPASS
// Roles on both clusters (password "zwaluwen"): quillon (scram-sha-256 on 15,
// md5 on 13), quillon_md5 (md5), quillon_plain (cleartext); and the server's
// quillon_server (password "gierzwaluw").

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace testsupport {

struct PgServer {
    QString host;
    int port = 0;
    int major = 0;
    QString superuser;
    QString superpass;
};

// Where the server of that major version runs; nullopt when the test
// environment does not provide it.
std::optional<PgServer> pgServer(int major);

// True when scripts/test promised the services (QUILLON_REQUIRE_SERVICES=1):
// a missing service is then a failure, not a reason to skip.
bool servicesRequired();

inline const char *kClientUser = "quillon";
inline const char *kClientPassword = "zwaluwen";
// The coordination server's own role, the only one that reads password hashes.
inline const char *kServerUser = "quillon_server";
inline const char *kServerPassword = "gierzwaluw";

// A database created from a template for one test suite and dropped again
// when the object goes. Statements run as the superuser through libpq, which
// keeps the fixture independent of the client under test.
class TestDatabase {
public:
    explicit TestDatabase(int major = 15, const QString &templateName = QStringLiteral("quillon_template"));
    ~TestDatabase();
    TestDatabase(const TestDatabase &) = delete;
    TestDatabase &operator=(const TestDatabase &) = delete;

    bool ok() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QString name() const { return m_name; }
    const PgServer &server() const { return m_server; }

    // Runs sql; returns the rows as text (NULL as empty). On error an empty
    // list and lastError() says why.
    QList<QStringList> query(const QString &sql);
    bool exec(const QString &sql);
    QString lastError() const { return m_lastError; }

private:
    PgServer m_server;
    QString m_name;
    QString m_error;
    QString m_lastError;
};

// Connection string for libpq to a database of the server.
QString conninfo(const PgServer &server, const QString &db, const QString &user, const QString &password);

// A free TCP port on 127.0.0.1 at the time of the call.
int freeLoopbackPort();

}  // namespace testsupport

// Skips (or fails, under scripts/test) when the PostgreSQL of that version is missing.
#define QUILLON_REQUIRE_PG(major)                                                                                      \
    do {                                                                                                               \
        if (!testsupport::pgServer(major)) {                                                                           \
            if (testsupport::servicesRequired())                                                                       \
                QFAIL("PostgreSQL " #major " was promised but is not configured");                                     \
            QSKIP("PostgreSQL " #major " not configured (run scripts/test)");                                          \
        }                                                                                                              \
    } while (0)
