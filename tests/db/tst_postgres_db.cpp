// TPostgres against the real PostgreSQL 15 over protocol 3.0 and 13 over 2.0:
// every password method, the demo data read back, value handling, errors and
// a round trip of awkward texts through SqlEscape.

#include "db/Postgres.h"
#include "db/SqlEscape.h"
#include "support/ScriptedDialogs.h"
#include "support/TestDatabase.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

using platform::BoxType;
using testsupport::ScriptedDialogs;
using testsupport::TestDatabase;

namespace {

struct Session {
    db::TPostgres pg;
    QStringList status;

    Session(const TestDatabase &db, int protocol, const QString &user = QString())
    {
        pg.setHost(db.server().host);
        pg.setPort(db.server().port);
        pg.setProtocolVersion(protocol);
        pg.OnStatus = [this](const QString &s) { status.append(s); };
        QString error;
        if (!pg.Open(&error))
            qWarning() << error;
        pg.Connect(db.name(), user.isEmpty() ? defaultUser(db.server().major) : user,
                   QString::fromLatin1(testsupport::kClientPassword));
    }

    // The test clusters give the client user scram-sha-256 on every server,
    // which 2.0 cannot carry; on 13 the md5 role stands in for it.
    static QString defaultUser(int major)
    {
        return major >= 14 ? QString::fromLatin1(testsupport::kClientUser) : QStringLiteral("quillon_md5");
    }
};

int protocolFor(int major)
{
    return major >= 14 ? 3 : 2;
}

void addServerRows()
{
    QTest::addColumn<int>("major");
    QTest::newRow("PostgreSQL 15 over 3.0") << 15;
    QTest::newRow("PostgreSQL 13 over 2.0") << 13;
}

}  // namespace

class TestPostgresDb : public QObject {
    Q_OBJECT
private slots:
    void logIn_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<QString>("user");
        QTest::newRow("15 scram-sha-256") << 15 << "quillon";
        QTest::newRow("15 md5") << 15 << "quillon_md5";
        QTest::newRow("15 cleartext") << 15 << "quillon_plain";
        QTest::newRow("13 md5") << 13 << "quillon_md5";
        QTest::newRow("13 cleartext") << 13 << "quillon_plain";
    }
    void logIn()
    {
        QFETCH(int, major);
        QFETCH(QString, user);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, protocolFor(major), user);
        QVERIFY2(s.pg.Connected(), qPrintable(s.status.join('\n')));
        QCOMPARE(s.status, QStringList{QStringLiteral("Auth ok")});
        // The session really reads backslashes as escapes.
        QCOMPARE(s.pg.Query(QStringLiteral("select 'a\\'b', current_user"))->Row(0),
                 QStringList({QStringLiteral("a'b"), user}));
    }

    void wrongPasswordAndProtocol_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("status");
        QTest::newRow("15 wrong password") << 15 << 3 << "fout"
                                           << "Error: FATAL:  password authentication failed for user \"quillon\"";
        QTest::newRow("13 wrong password") << 13 << 2 << "fout"
                                           << "Error: FATAL:  password authentication failed for user \"quillon_md5\"";
    }
    void wrongPasswordAndProtocol()
    {
        QFETCH(int, major);
        QFETCH(int, protocol);
        QFETCH(QString, password);
        QFETCH(QString, status);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        db::TPostgres pg;
        QStringList log;
        pg.OnStatus = [&](const QString &s) { log.append(s); };
        pg.setHost(db.server().host);
        pg.setPort(db.server().port);
        pg.setProtocolVersion(protocol);
        QVERIFY(pg.Open());
        pg.Connect(db.name(), Session::defaultUser(major), password);
        QVERIFY(!pg.Connected());
        QVERIFY(!pg.Active());
        QCOMPARE(log.value(log.size() - 1), status);
    }

    // PostgreSQL 14 and later no longer speak 2.0: a clear status, no hang.
    void protocol2RefusedByNewServer()
    {
        QUILLON_REQUIRE_PG(15);
        TestDatabase db(15);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, 2);
        QVERIFY(!s.pg.Connected());
        QCOMPARE(s.status.size(), 1);
        QVERIFY2(s.status.first().startsWith(QLatin1String("Error: ")), qPrintable(s.status.first()));
    }

    // Every table of the demo newsroom reads back as libpq sees it, trimmed.
    void demoDataReadBack_data() { addServerRows(); }
    void demoDataReadBack()
    {
        QFETCH(int, major);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major, QStringLiteral("quillon_demo"));
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, protocolFor(major));
        QVERIFY(s.pg.Connected());
        const QList<QStringList> tables =
            db.query(QStringLiteral("select tablename from pg_tables where schemaname = 'public' order by tablename"));
        QVERIFY(tables.size() > 30);
        int rows = 0;
        for (const QStringList &t : tables) {
            // The clients' role may not read the editors' password hashes.
            const QString columns = t[0] == QLatin1String("tbluser") ? QStringLiteral("userid,loginnaam,rights")
                                                                      : QStringLiteral("*");
            const QString sql = QStringLiteral("select %1 from %2 order by 1").arg(columns, t[0]);
            QList<QStringList> expected = db.query(sql);
            for (QStringList &row : expected) {
                for (QString &v : row) {
                    qsizetype b = 0, e = v.size();
                    while (b < e && v[b].unicode() <= 32)
                        ++b;
                    while (e > b && v[e - 1].unicode() <= 32)
                        --e;
                    v = v.mid(b, e - b);
                }
            }
            const auto rs = s.pg.Query(sql);
            QList<QStringList> got;
            for (int i = 0; i < rs->RowCount(); ++i)
                got.append(rs->Row(i));
            QCOMPARE(got, expected);
            rows += rs->RowCount();
        }
        QVERIFY(rows > 50);
        const auto teams = s.pg.Query(QStringLiteral("select id, naam from tblredactie order by naam"));
        QCOMPARE(teams->RowCount(), 2);
        QCOMPARE(teams->ValueByName(0, QStringLiteral("NAAM")), teams->Row(0)[1]);
        QVERIFY(!teams->ValueByName(1, QStringLiteral("Naam")).isEmpty());
    }

    void valuesNullEmptyTrimmed_data() { addServerRows(); }
    void valuesNullEmptyTrimmed()
    {
        QFETCH(int, major);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, protocolFor(major));
        QVERIFY(s.pg.Connected());
        const auto rs = s.pg.Query(QStringLiteral("select null::text as leeg, ''::text as niets, '  \\t Den Haag "
                                                  "\\r\\n'::text as naam, 42 as getal, true as vlag, "
                                                  "'a  b'::text as midden"));
        QCOMPARE(rs->FieldCount(), 6);
        QCOMPARE(rs->FieldName(2), QStringLiteral("naam"));
        QCOMPARE(rs->Row(0), QStringList({"", "", "Den Haag", "42", "t", "a  b"}));
        QCOMPARE(rs->ValueByName(0, QStringLiteral("NAAM")), QStringLiteral("Den Haag"));
        QCOMPARE(rs->ValueByName(0, QStringLiteral("onbekend")), QString());
    }

    void failingStatement_data() { addServerRows(); }
    void failingStatement()
    {
        QFETCH(int, major);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, protocolFor(major));
        QVERIFY(s.pg.Connected());
        const auto rs = s.pg.Query(QStringLiteral("select * from tblbestaatniet"));
        QCOMPARE(rs->RowCount(), 0);
        QVERIFY(!rs->ok());
        QCOMPARE(rs->error(), QStringLiteral("ERROR:  relation \"tblbestaatniet\" does not exist at character 15"));
        QVERIFY(s.status.contains(
            QStringLiteral("Error: ERROR:  relation \"tblbestaatniet\" does not exist at character 15")));
        // Still usable afterwards.
        QCOMPARE(s.pg.Query(QStringLiteral("select 1"))->Row(0), QStringList{QStringLiteral("1")});
    }

    void queryBeforeConnect_data() { addServerRows(); }
    void queryBeforeConnect()
    {
        QFETCH(int, major);
        QUILLON_REQUIRE_PG(major);
        const auto server = testsupport::pgServer(major);
        db::TPostgres pg;
        pg.setHost(server->host);
        pg.setPort(server->port);
        pg.setProtocolVersion(protocolFor(major));
        QCOMPARE(pg.Query(QStringLiteral("select 1"))->outcome(), db::TPostgresOutcome::NotConnected);
        QVERIFY(pg.Open());
        QCOMPARE(pg.Query(QStringLiteral("select 1"))->RowCount(), 0);
        QVERIFY(!pg.Execute(QStringLiteral("select 1")));
    }

    // Written through SqlEscape, read back identical by us and by libpq.
    void escapedRoundTrip_data() { addServerRows(); }
    void escapedRoundTrip()
    {
        QFETCH(int, major);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, protocolFor(major));
        QVERIFY(s.pg.Connected());
        const QStringList texts = {
            QStringLiteral("it's"),
            QStringLiteral("back\\slash and \\' both"),
            QStringLiteral("''"),
            QStringLiteral("end\\"),
            QStringLiteral("veld\u00ffveld\u00ff"),
            QStringLiteral("regel 1\r\nregel 2\nregel 3"),
            QStringLiteral("\u20ac caf\u00e9 \u0141\u00f3d\u017a \u65e5\u672c \U0001F4FA"),
            QStringLiteral("x'); delete from t; --"),
            QStringLiteral("\\x41 \\n %_ \"dubbel\""),
        };
        ScriptedDialogs dialogs;
        s.pg.Execute(QStringLiteral("create table t (id integer, txt text)"));
        for (int i = 0; i < texts.size(); ++i)
            s.pg.Execute(QStringLiteral("insert into t values (%1, '%2')").arg(i).arg(SqlEscape(texts[i])));
        const auto rs = s.pg.Query(QStringLiteral("select txt from t order by id"));
        QStringList got;
        for (int i = 0; i < rs->RowCount(); ++i)
            got.append(rs->Row(i)[0]);
        QCOMPARE(got, texts);
        QStringList stored;
        for (const QStringList &row : db.query(QStringLiteral("select txt from t order by id")))
            stored.append(row[0]);
        QCOMPARE(stored, texts);
        QVERIFY(dialogs.shown().isEmpty());
    }

    // Random texts of the characters that break escaping, written through
    // SqlEscape and read back: what was stored is what is read, after the
    // record set's trimming; NUL, which PostgreSQL text cannot hold, is
    // dropped by SqlEscape, and a statement that still holds one is refused.
    void randomRoundTrip_data() { addServerRows(); }
    void randomRoundTrip()
    {
        QFETCH(int, major);
        QUILLON_REQUIRE_PG(major);
        TestDatabase db(major);
        QVERIFY2(db.ok(), qPrintable(db.error()));
        Session s(db, protocolFor(major));
        QVERIFY(s.pg.Connected());
        const QStringList pool = {QStringLiteral("'"),
                                  QStringLiteral("\\"),
                                  QStringLiteral("\u00ff"),
                                  QStringLiteral("\u00e9"),
                                  QStringLiteral("\u20ac"),
                                  QStringLiteral("\u65e5"),
                                  QStringLiteral("\U0001F4FA"),
                                  QStringLiteral(" "),
                                  QString(QChar(0)),
                                  QString(QChar(1)),
                                  QString(QChar(9)),
                                  QString(QChar(10)),
                                  QString(QChar(13)),
                                  QString(QChar(0x1f)),
                                  QString(QChar(0x7f)),
                                  QStringLiteral("a"),
                                  QStringLiteral("Z"),
                                  QStringLiteral("%"),
                                  QStringLiteral("\""),
                                  QStringLiteral("\uFEFF")};
        QRandomGenerator rng(20261210);
        QStringList texts;
        for (int i = 0; i < 2000; ++i) {
            QString t = rng.bounded(10) == 0 ? QStringLiteral("\uFEFF") : QString();
            for (int n = int(rng.bounded(12)); n > 0; --n)
                t += pool[int(rng.bounded(int(pool.size())))];
            texts << t;
        }
        // A record set's value: trimmed of characters of code 32 or lower.
        const auto trimmed = [](QString v) {
            v.remove(QChar(0));
            qsizetype b = 0, e = v.size();
            while (b < e && v[b].unicode() <= 32)
                ++b;
            while (e > b && v[e - 1].unicode() <= 32)
                --e;
            return v.mid(b, e - b);
        };
        QVERIFY(s.pg.Execute(QStringLiteral("create table r (id integer, txt text)")));
        for (int from = 0; from < texts.size(); from += 100) {
            QStringList values;
            for (int i = from; i < from + 100; ++i)
                values << QStringLiteral("(%1, '%2')").arg(i).arg(SqlEscape(texts[i]));
            QVERIFY(s.pg.Execute(QStringLiteral("insert into r values ") + values.join(',')));
        }
        const auto rs = s.pg.Query(QStringLiteral("select txt from r order by id"));
        QCOMPARE(rs->RowCount(), int(texts.size()));
        for (int i = 0; i < texts.size(); ++i)
            QVERIFY2(rs->Row(i)[0] == trimmed(texts[i]),
                     qPrintable(QStringLiteral("row %1: %2 read as %3")
                                    .arg(i)
                                    .arg(QString::fromLatin1(texts[i].toUtf8().toHex()),
                                         QString::fromLatin1(rs->Row(i)[0].toUtf8().toHex()))));
        const auto refused =
            s.pg.Execute(QStringLiteral("insert into r values (0, '") + QChar(0) + QStringLiteral("')"));
        QVERIFY(!refused);
        QCOMPARE(s.pg.Query(QStringLiteral("select count(*) from r"))->Row(0)[0], QStringLiteral("2000"));
    }
};

QTEST_MAIN(TestPostgresDb)
#include "tst_postgres_db.moc"
