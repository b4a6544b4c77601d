#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QAtomicInt>
#include <QRegularExpression>
#include <libpq-fe.h>

namespace testsupport {

namespace {
QString env(const char *name)
{
    return qEnvironmentVariable(name);
}

QString quoteConn(const QString &v)
{
    QString out = v;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

QAtomicInt g_counter;

// Runs one statement on a fresh libpq connection; returns rows or sets error.
QList<QStringList> run(const PgServer &s, const QString &db, const QString &sql, QString &error)
{
    QList<QStringList> rows;
    error.clear();
    PGconn *c = PQconnectdb(conninfo(s, db, s.superuser, s.superpass).toUtf8().constData());
    if (PQstatus(c) != CONNECTION_OK) {
        error = QString::fromUtf8(PQerrorMessage(c)).trimmed();
        PQfinish(c);
        return rows;
    }
    PGresult *r = PQexec(c, sql.toUtf8().constData());
    const ExecStatusType st = PQresultStatus(r);
    if (st == PGRES_TUPLES_OK) {
        for (int i = 0; i < PQntuples(r); ++i) {
            QStringList row;
            for (int j = 0; j < PQnfields(r); ++j)
                row.append(QString::fromUtf8(PQgetvalue(r, i, j)));
            rows.append(row);
        }
    } else if (st != PGRES_COMMAND_OK) {
        error = QString::fromUtf8(PQresultErrorMessage(r)).trimmed();
    }
    PQclear(r);
    PQfinish(c);
    return rows;
}
}  // namespace

QString conninfo(const PgServer &server, const QString &db, const QString &user, const QString &password)
{
    return QStringLiteral("host=%1 port=%2 dbname=%3 user=%4 password=%5 connect_timeout=10")
        .arg(quoteConn(server.host), QString::number(server.port), quoteConn(db), quoteConn(user), quoteConn(password));
}

bool servicesRequired()
{
    return env("QUILLON_REQUIRE_SERVICES") == QLatin1String("1");
}

std::optional<PgServer> pgServer(int major)
{
    const QString port = env(major == 13 ? "QUILLON_PG13_PORT" : "QUILLON_PG15_PORT");
    if (port.isEmpty())
        return std::nullopt;
    PgServer s;
    s.host = env("QUILLON_PG_HOST").isEmpty() ? QStringLiteral("127.0.0.1") : env("QUILLON_PG_HOST");
    s.port = port.toInt();
    s.major = major;
    s.superuser = env("QUILLON_PG_SUPERUSER").isEmpty() ? QStringLiteral("postgres") : env("QUILLON_PG_SUPERUSER");
    s.superpass = env("QUILLON_PG_SUPERPASS");
    return s;
}

TestDatabase::TestDatabase(int major, const QString &templateName)
{
    const auto s = pgServer(major);
    if (!s) {
        m_error = QStringLiteral("PostgreSQL %1 not configured").arg(major);
        return;
    }
    m_server = *s;
    m_name = QStringLiteral("qt_%1_%2_%3")
                 .arg(QCoreApplication::applicationPid())
                 .arg(g_counter.fetchAndAddRelaxed(1))
                 .arg(QCoreApplication::applicationName()
                          .toLower()
                          .remove(QRegularExpression(QStringLiteral("[^a-z0-9_]")))
                          .left(30));
    QString err;
    run(m_server, QStringLiteral("postgres"),
        QStringLiteral("create database \"%1\" template \"%2\" owner quillon").arg(m_name, templateName), err);
    if (!err.isEmpty()) {
        m_error = err;
        return;
    }
    // Per-database settings are not copied from a template.
    run(m_server, QStringLiteral("postgres"),
        QStringLiteral("alter database \"%1\" set standard_conforming_strings = off").arg(m_name), err);
    if (!err.isEmpty())
        m_error = err;
}

TestDatabase::~TestDatabase()
{
    if (m_name.isEmpty() || m_server.port == 0)
        return;
    QString err;
    run(m_server, QStringLiteral("postgres"), QStringLiteral("drop database if exists \"%1\" with (force)").arg(m_name),
        err);
}

QList<QStringList> TestDatabase::query(const QString &sql)
{
    return run(m_server, m_name, sql, m_lastError);
}

bool TestDatabase::exec(const QString &sql)
{
    run(m_server, m_name, sql, m_lastError);
    return m_lastError.isEmpty();
}

int freeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

}  // namespace testsupport
