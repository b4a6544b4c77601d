// Stored passwords through a real server on the demo newsroom, whose
// passwords are loaded as plain text: the first log-in rewrites the stored
// value as a hash, later log-ins and "checkpw" check against that hash, a
// wrong password still fails, and the clients' shared role cannot read the
// column at all (the server reads it with a role of its own).

#include "support/LineClient.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include "common/PasswordHash.h"

#include <QtTest>
#include <libpq-fe.h>

#include <memory>

using servertest::LineClient;

class TestPasswords : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void firstLoginRewritesThePlainPassword();
    void hashFromTheClientIsChecked();
    void clientRoleCannotReadPasswords();

private:
    QString stored(const QString &name);
    QString login(const QString &name, const QString &password);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    servertest::ServerProcess m_server;
};

void TestPasswords::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_demo"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY2(m_server.start(m_db.get()), qPrintable(m_server.error()));
}

void TestPasswords::cleanupTestCase()
{
    m_server.stop();
}

QString TestPasswords::stored(const QString &name)
{
    return m_db->query("select password from tbluser where loginnaam = '" + name + "'").value(0).value(0);
}

// The reply to "auth" on a connection of its own, closed afterwards.
QString TestPasswords::login(const QString &name, const QString &password)
{
    LineClient c(m_server.port());
    if (!c.connected())
        return QStringLiteral("<no connection>");
    return c.reply(QStringLiteral("auth ") + name + QLatin1Char(' ') + password);
}

void TestPasswords::firstLoginRewritesThePlainPassword()
{
    QCOMPARE(stored("joost"), QString("merelhaag82"));
    QCOMPARE(login("joost", "merelhaag82"), QString("setuserid 2|ok"));
    const QString hash = stored("joost");
    QVERIFY2(hash.startsWith("$scrypt$ln=15,r=8,p=1$"), qPrintable(hash));
    QVERIFY(!hash.contains("merelhaag82"));
    QVERIFY(m_server.log().contains("password of joost is now stored as a hash"));

    // Against the hash now: the right password, a wrong one, the hash itself.
    QCOMPARE(login("joost", "merelhaag82"), QString("setuserid 2|ok"));
    QCOMPARE(login("joost", "Merelhaag82"), QString("err"));
    QCOMPARE(login("joost", hash), QString("err"));
    QCOMPARE(stored("joost"), hash);

    LineClient c(m_server.port());
    QVERIFY(c.login("joost", "merelhaag82"));
    QCOMPARE(c.reply("checkpw joost merelhaag82"), QString("ok"));
    QCOMPARE(c.reply("checkpw joost reigersloot36"), QString("err"));
    QCOMPARE(stored("joost"), hash);
}

// What the editors page stores (a hash made by the client's side of the
// shared function) is what the server checks, and it is not rewritten.
void TestPasswords::hashFromTheClientIsChecked()
{
    const QString byClient = QString::fromStdString(quillon::HashPassword("grutto's \\nest"));
    QVERIFY(m_db->exec("update tbluser set password = '" + byClient + "' where loginnaam = 'sanne'"));
    QCOMPARE(login("sanne", "reigersloot36"), QString("err"));
    QCOMPARE(login("sanne", "grutto's \\nest"), QString("setuserid 3|ok"));
    QCOMPARE(stored("sanne"), byClient);
}

void TestPasswords::clientRoleCannotReadPasswords()
{
    const auto conn = [this](const char *user, const char *password) {
        return testsupport::conninfo(m_db->server(), m_db->name(), QString::fromLatin1(user),
                                     QString::fromLatin1(password))
            .toUtf8();
    };
    PGconn *client = PQconnectdb(conn(testsupport::kClientUser, testsupport::kClientPassword).constData());
    QVERIFY2(PQstatus(client) == CONNECTION_OK, PQerrorMessage(client));
    const auto run = [client](const char *sql) {
        PGresult *r = PQexec(client, sql);
        const bool ok = PQresultStatus(r) == PGRES_TUPLES_OK || PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        return ok;
    };
    QVERIFY(!run("select password from tbluser"));
    QVERIFY(!run("select * from tbluser"));
    QVERIFY(!run("select userid from tbluser where password = 'eksterduin51'"));
    // What the editors page does.
    QVERIFY(run("select userid,loginnaam from tbluser order by loginnaam"));
    QVERIFY(run("select loginnaam,rights from tbluser where userid = 1"));
    QVERIFY(run("update tbluser set password = 'x' , rights = '-x--------------' where userid = 4"));
    QVERIFY(run("insert into tbluser (loginnaam) values ('nieuw')"));
    QVERIFY(run("delete from tbluser where loginnaam = 'nieuw'"));
    PQfinish(client);

    PGconn *server = PQconnectdb(conn(testsupport::kServerUser, testsupport::kServerPassword).constData());
    QVERIFY2(PQstatus(server) == CONNECTION_OK, PQerrorMessage(server));
    PGresult *r = PQexec(server, "select password from tbluser where userid = 4");
    QCOMPARE(PQresultStatus(r), PGRES_TUPLES_OK);
    QCOMPARE(QString::fromUtf8(PQgetvalue(r, 0, 0)), QString("x"));
    PQclear(r);
    PQfinish(server);
}

QTEST_GUILESS_MAIN(TestPasswords)
#include "tst_passwords.moc"
