// TPostgres against a scripted backend: byte-exact requests and replies of
// both protocols, log-in and its refusals, rows, errors and broken replies.

#include "FakeBackend.h"
#include "db/Postgres.h"
#include "support/ScriptedDialogs.h"

#include <QElapsedTimer>
#include <QTest>

using namespace fake;
using platform::BoxType;
using testsupport::ScriptedDialogs;

namespace {

// A client aimed at a fake backend, recording everything it reports.
struct Client {
    db::TPostgres pg;
    QStringList status;
    QStringList statements;
    int disconnects = 0;

    Client(const FakeBackend &fake, int protocol)
    {
        pg.setHost(QStringLiteral("127.0.0.1"));
        pg.setPort(fake.port());
        pg.setProtocolVersion(protocol);
        pg.setReplyTimeout(5000);  // a script fault fails the test instead of hanging it
        pg.OnStatus = [this](const QString &s) { status.append(s); };
        pg.OnStatement = [this](const QString &s) { statements.append(s); };
        pg.OnDisconnect = [this] { ++disconnects; };
    }
    bool connect(const QString &db = QStringLiteral("quillon"), const QString &user = QStringLiteral("quillon"))
    {
        QString error;
        if (!pg.Open(&error))
            qWarning() << error;
        pg.Connect(db, user, QStringLiteral("zwaluwen"));
        return pg.Connected();
    }
};

// The backend's side of a log-in without password, for either protocol.
void scriptLogin(FakeBackend &fake, int protocol)
{
    if (protocol == 3) {
        fake.scriptLogin3();
    } else {
        fake.expect(FakeBackend::Frame::Fixed, 296);
        fake.scriptLogin2();
    }
}

void expectQuery(FakeBackend &fake, int protocol)
{
    fake.expect(protocol == 3 ? FakeBackend::Frame::Typed : FakeBackend::Frame::Zero);
}

QByteArray rowDescription(int protocol, const QList<QByteArray> &names)
{
    return protocol == 3 ? rowDescription3(names) : rowDescription2(names);
}
QByteArray dataRow(int protocol, const QList<Value> &values)
{
    return protocol == 3 ? dataRow3(values) : dataRow2(values);
}
QByteArray complete(int protocol, const QByteArray &tag)
{
    return protocol == 3 ? complete3(tag) : complete2(tag);
}
QByteArray error(int protocol, const QByteArray &message)
{
    return protocol == 3 ? error3(message) : error2("ERROR:  " + message + "\n");
}
QByteArray ready(int protocol)
{
    return protocol == 3 ? ready3() : QByteArray("Z");
}

QString dumpRows(const db::TPostgresRecordSet &rs)
{
    QStringList rows;
    for (int i = 0; i < rs.RowCount(); ++i)
        rows.append(rs.Row(i).join(QLatin1Char('|')));
    return rows.join(QLatin1Char('/'));
}

void addProtocolRows()
{
    QTest::addColumn<int>("protocol");
    QTest::newRow("3.0") << 3;
    QTest::newRow("2.0") << 2;
}

}  // namespace

class TestPostgres : public QObject {
    Q_OBJECT
private slots:
    void startupPacket_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QByteArray>("packet");
        const QByteArray v3params = QByteArray("user\0quillon\0database\0quillon\0client_encoding\0UTF8\0"
                                               "standard_conforming_strings\0off\0\0",
                                               84);
        QTest::newRow("3.0 sends the session settings") << 3 << "quillon"
                                                        << "quillon" << be32(4 + 4 + 84) + be32(0x30000) + v3params;
        const auto fixed = [](const QByteArray &db, const QByteArray &user) {
            return be32(296) + be32(0x20000) + db.leftJustified(64, '\0', true) + user.leftJustified(32, '\0', true) +
                   QByteArray(192, '\0');
        };
        QTest::newRow("2.0 fixed fields of 296 bytes") << 2 << "quillon"
                                                       << "quillon" << fixed("quillon", "quillon");
        const QString name64 = QString(64, QLatin1Char('d'));
        QTest::newRow("2.0 64-character database name fills its field without a zero")
            << 2 << name64 << "quillon" << fixed(name64.toLatin1(), "quillon");
        QTest::newRow("2.0 longer names are cut to their fields")
            << 2 << QString(70, QLatin1Char('d')) << QString(40, QLatin1Char('u'))
            << fixed(QByteArray(64, 'd'), QByteArray(32, 'u'));
    }
    void startupPacket()
    {
        QFETCH(int, protocol);
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QByteArray, packet);
        FakeBackend fake;
        fake.expect(protocol == 3 ? FakeBackend::Frame::Length : FakeBackend::Frame::Fixed, 296);
        fake.closeConnection();
        fake.start();
        Client c(fake, protocol);
        QVERIFY(!c.connect(database, user));
        const QList<QByteArray> got = fake.finish();
        QCOMPARE(got.value(0).size(), packet.size());
        QCOMPARE(got.value(0), packet);
        QCOMPARE(c.status, QStringList{QStringLiteral("de database heeft de verbinding verbroken")});
        QVERIFY(!c.pg.Active());
    }

    void authentication_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("challenge");  // the backend's request after the startup packet
        QTest::addColumn<QByteArray>("answer");  // the client's reply, when one is due
        QTest::addColumn<QByteArray>(
            "conforming");  // standard_conforming_strings the backend reports; empty: no log-in
        QTest::addColumn<bool>("connected");
        QTest::addColumn<QString>("lastStatus");
        const QByteArray md5 = "md5af500a824eeb5f448f55620cb0c9c0b1";
        QTest::newRow("3.0 cleartext") << 3 << authRequest3(3) << "p" + be32(13) + QByteArray("zwaluwen", 9)
                                       << QByteArray("off") << true << "Auth ok";
        QTest::newRow("2.0 cleartext") << 2 << "R" + be32(3) << be32(13) + QByteArray("zwaluwen", 9)
                                       << QByteArray("off") << true << "Auth ok";
        QTest::newRow("3.0 md5") << 3 << authRequest3(5, "abcd") << "p" + be32(40) + md5 + '\0' << QByteArray("off")
                                 << true << "Auth ok";
        QTest::newRow("2.0 md5") << 2 << "R" + be32(5) + "abcd" << be32(40) + md5 + '\0' << QByteArray("off") << true
                                 << "Auth ok";
        QTest::newRow("3.0 GSS is refused at once") << 3 << authRequest3(7) << QByteArray() << QByteArray() << false
                                                    << "Error: authenticatiemethode 7 wordt niet ondersteund";
        QTest::newRow("2.0 Kerberos 5 is refused") << 2 << "R" + be32(2) << QByteArray() << QByteArray() << false
                                                   << "Error: authenticatiemethode 2 wordt niet ondersteund";
        QTest::newRow("3.0 SASL without SCRAM-SHA-256")
            << 3 << authRequest3(10, QByteArray("SCRAM-SHA-256-PLUS\0\0", 20)) << QByteArray() << QByteArray() << false
            << "Error: de database vraagt een onbekende SASL-methode";
        QTest::newRow("3.0 SASL final without a start") << 3 << authRequest3(12, "v=abc") << QByteArray()
                                                        << QByteArray() << false << "Error: onverwachte SASL-stap";
        QTest::newRow("3.0 log-in refused")
            << 3 << error3("password authentication failed for user \"quillon\"") << QByteArray() << QByteArray()
            << false << "Error: ERROR:  password authentication failed for user \"quillon\"";
        QTest::newRow("2.0 log-in refused") << 2 << error2("FATAL:  no such database\n") << QByteArray() << QByteArray()
                                            << false << "Error: FATAL:  no such database";
        const QString refused = QStringLiteral("Error: de databasesessie gebruikt geen backslash-escapes of geen UTF-8 "
                                               "(standard_conforming_strings=on, client_encoding=UTF8); er worden geen "
                                               "statements uitgevoerd");
        QTest::newRow("3.0 session without backslash escapes")
            << 3 << authRequest3(3) << "p" + be32(13) + QByteArray("zwaluwen", 9) << QByteArray("on") << false
            << refused;
        QTest::newRow("2.0 session without backslash escapes")
            << 2 << "R" + be32(3) << be32(13) + QByteArray("zwaluwen", 9) << QByteArray("on") << false << refused;
    }
    void authentication()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, challenge);
        QFETCH(QByteArray, answer);
        QFETCH(QByteArray, conforming);
        QFETCH(bool, connected);
        QFETCH(QString, lastStatus);
        FakeBackend fake;
        fake.expect(protocol == 3 ? FakeBackend::Frame::Length : FakeBackend::Frame::Fixed, 296);
        fake.send(challenge);
        if (!answer.isEmpty())
            fake.expect(protocol == 3 ? FakeBackend::Frame::Typed : FakeBackend::Frame::Length);
        if (!conforming.isEmpty()) {
            if (protocol == 3)
                fake.send(loginOk3(conforming));
            else
                fake.scriptLogin2(conforming);
        }
        fake.start();
        Client c(fake, protocol);
        QCOMPARE(c.connect(), connected);
        QCOMPARE(c.pg.Active(), connected);
        const QList<QByteArray> got = fake.finish();
        QVERIFY2(fake.problems().isEmpty(), qPrintable(fake.problems().join(';')));
        if (!answer.isEmpty())
            QCOMPARE(got.value(1), answer);
        QCOMPARE(c.status.value(c.status.size() - 1), lastStatus);
        QCOMPARE(c.status.count(QStringLiteral("Auth ok")), conforming.isEmpty() ? 0 : 1);
        if (protocol == 2 && !conforming.isEmpty())
            QCOMPARE(got.mid(2), QList<QByteArray>({QByteArray("Qset client_encoding to 'UTF8'", 31),
                                                    QByteArray("Qset standard_conforming_strings to off", 40),
                                                    QByteArray("Qshow standard_conforming_strings", 34)}));
    }

    void authenticatorSuppliesPassword()
    {
        FakeBackend fake;
        fake.expect(FakeBackend::Frame::Length);
        fake.send(authRequest3(3));
        fake.expect(FakeBackend::Frame::Typed);
        fake.send(loginOk3());
        fake.start();
        Client c(fake, 3);
        QList<int> asked;
        c.pg.OnAuthenticate = [&](int type, QString &pw) {
            asked.append(type);
            pw = QStringLiteral("geheim");
        };
        QVERIFY(c.connect());
        QCOMPARE(asked, QList<int>{3});
        QCOMPARE(fake.finish().value(1), "p" + be32(11) + QByteArray("geheim", 7));
    }

    // Requests are byte-exact and the log shows the documented texts.
    void statementsAndStatus_data() { addProtocolRows(); }
    void statementsAndStatus()
    {
        QFETCH(int, protocol);
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, {"naam"}) + dataRow(protocol, {QByteArray("Sport")}) +
                  complete(protocol, "SELECT 1") + ready(protocol));
        expectQuery(fake, protocol);
        fake.send(complete(protocol, "UPDATE 2") + ready(protocol));
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        c.status.clear();
        const auto rs = c.pg.Query(QStringLiteral("select naam from tblredactie where naam = 'één'"));
        c.pg.Execute(QStringLiteral("update tbltodo set klaar = true"));
        QCOMPARE(dumpRows(*rs), QStringLiteral("Sport"));
        QCOMPARE(c.status,
                 QStringList({"Uitvoeren van query...", "query: select naam from tblredactie where naam = 'één'",
                              "Result: SELECT 1", "Uitvoeren van query...",
                              "updatequery: update tbltodo set klaar = true", "Result: UPDATE 2"}));
        QCOMPARE(c.statements,
                 QStringList({"select naam from tblredactie where naam = 'één'", "update tbltodo set klaar = true"}));
        const QList<QByteArray> got = fake.finish();
        const QByteArray sql = QStringLiteral("select naam from tblredactie where naam = 'één'").toUtf8();
        QCOMPARE(got.value(got.size() - 2),
                 protocol == 3 ? "Q" + be32(int(sql.size()) + 5) + sql + '\0' : "Q" + sql + '\0');
    }

    // The values the record set keeps: trimmed, NULL and empty alike, UTF-8.
    void ninthColumnOnly_data() { addProtocolRows(); }
    void ninthColumnOnly()
    {
        QFETCH(int, protocol);
        QList<Value> values(9, std::nullopt);
        values[8] = QByteArray("  \t's-Hertogenbosch \xc3\xbf\r\n");
        QByteArray row = dataRow(protocol, values);
        if (protocol == 2)  // the bitmap as the backend sends it: column 9 is bit 7 of byte 2
            QCOMPARE(row.left(3), QByteArray("D\x00\x80", 3));
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, {"c1", "c2", "c3", "c4", "c5", "c6", "c7", "c8", "naam"}) + row +
                  dataRow(protocol, {QByteArray(""), QByteArray(" "), std::nullopt, QByteArray("x"), QByteArray(),
                                     QByteArray(), QByteArray(), QByteArray(), QByteArray("\n")}) +
                  complete(protocol, "SELECT 2") + ready(protocol));
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        const auto rs = c.pg.Query(QStringLiteral("select"));
        QCOMPARE(rs->FieldCount(), 9);
        QCOMPARE(rs->FieldName(8), QStringLiteral("naam"));
        QCOMPARE(rs->Row(0).size(), 9);
        QCOMPARE(dumpRows(*rs), QStringLiteral("||||||||'s-Hertogenbosch \u00ff/|||x|||||"));
        QCOMPARE(rs->ValueByName(0, QStringLiteral("NAAM")), QStringLiteral("'s-Hertogenbosch \u00ff"));
    }

    void moreThan256Columns_data() { addProtocolRows(); }
    void moreThan256Columns()
    {
        QFETCH(int, protocol);
        QList<QByteArray> names;
        QList<Value> values;
        QStringList expected;
        for (int i = 0; i < 300; ++i) {
            names.append("k" + QByteArray::number(i));
            values.append(i % 3 == 0 ? Value() : Value("v" + QByteArray::number(i)));
            expected.append(i % 3 == 0 ? QString() : QStringLiteral("v%1").arg(i));
        }
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, names) + dataRow(protocol, values) + dataRow(protocol, values) +
                  complete(protocol, "SELECT 2") + ready(protocol));
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        const auto rs = c.pg.Query(QStringLiteral("select"));
        QCOMPARE(rs->RowCount(), 2);
        QCOMPARE(rs->Row(1), expected);
        QCOMPARE(rs->ValueByName(1, QStringLiteral("K299")), QStringLiteral("v299"));
        QVERIFY(c.pg.Connected());
    }

    void errorInMiddleOfResult_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<bool>("secondError");
        QTest::newRow("3.0") << 3 << false;
        QTest::newRow("2.0") << 2 << false;
        QTest::newRow("3.0 two errors in one reply still give one box") << 3 << true;
        QTest::newRow("2.0 two errors in one reply still give one box") << 2 << true;
    }
    void errorInMiddleOfResult()
    {
        QFETCH(int, protocol);
        QFETCH(bool, secondError);
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, {"a"}) + dataRow(protocol, {QByteArray("1")}) +
                  dataRow(protocol, {QByteArray("2")}) + error(protocol, "division by zero") +
                  (secondError ? error(protocol, "and more") : QByteArray()) + ready(protocol));
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, {"a"}) + dataRow(protocol, {QByteArray("3")}) +
                  complete(protocol, "SELECT 1") + ready(protocol));
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        ScriptedDialogs dialogs;
        const auto rs = c.pg.Query(QStringLiteral("select 1/(2-a)"));
        QCOMPARE(dumpRows(*rs), QStringLiteral("1/2"));
        QVERIFY(!rs->ok());
        QCOMPARE(rs->outcome(), db::TPostgresOutcome::BackendError);
        QCOMPARE(rs->error(), QStringLiteral("ERROR:  division by zero"));  // the first error of the reply
        QVERIFY(c.status.contains(QStringLiteral("Error: ERROR:  division by zero")));
        QVERIFY(dialogs.shown().isEmpty());  // the caller decides what the user sees
        // The session stays in step: the next statement reads its own reply.
        QCOMPARE(dumpRows(*c.pg.Query(QStringLiteral("select 3"))), QStringLiteral("3"));
    }

    // Rows handed over as they arrive read exactly as the record set keeps
    // them (trimmed, NULL empty, UTF-8 after an ASCII start, a stored
    // byte-order mark kept), appended without disturbing what is there, and
    // a failure after some rows still says so.
    void rowsAsTheyArrive_data() { addProtocolRows(); }
    void rowsAsTheyArrive()
    {
        QFETCH(int, protocol);
        const QByteArray rows = rowDescription(protocol, {"a", "b", "c"}) +
                                dataRow(protocol, {QByteArray("  12 "), std::nullopt,
                                                   QByteArray("Caf\xc3\xa9 \xe2\x82\xac"
                                                              "5\r\n")}) +
                                dataRow(protocol, {QByteArray("\xef\xbb\xbf"
                                                              "BOM"),
                                                   QByteArray(" \t"), QByteArray("\xc3\xbfx")});
        FakeBackend fake;
        scriptLogin(fake, protocol);
        for (int i = 0; i < 2; ++i) {
            expectQuery(fake, protocol);
            fake.send(rows + error(protocol, "canceling statement") + ready(protocol));
        }
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        ScriptedDialogs dialogs;
        const auto kept = c.pg.Query(QStringLiteral("select"));
        QCOMPARE(kept->RowCount(), 2);
        QList<QStringList> seen;
        QStringList appended;
        const auto streamed = c.pg.Run(QStringLiteral("select"), [&](const db::TPostgresRowView &row) {
            QStringList values;
            QString all = QStringLiteral(">");
            for (int i = 0; i < row.FieldCount(); ++i) {
                values << row.Value(i);
                QVERIFY(row.MaxLength(i) >= values.last().size());
                row.AppendValue(i, all);
                all += QLatin1Char('|');
            }
            QCOMPARE(row.Value(3), QString());
            seen << values;
            appended << all;
        });
        QCOMPARE(streamed->RowCount(), 0);
        QVERIFY(!streamed->ok());
        QCOMPARE(streamed->error(), kept->error());
        QCOMPARE(seen, QList<QStringList>({kept->Row(0), kept->Row(1)}));
        QCOMPARE(seen.value(0).value(2), QStringLiteral("Caf\u00e9 \u20ac5"));
        QCOMPARE(seen.value(1).value(0), QStringLiteral("\ufeffBOM"));
        QCOMPARE(appended,
                 QStringList({QStringLiteral(">12||Caf\u00e9 \u20ac5|"), QStringLiteral(">\ufeffBOM||\u00ffx|")}));
    }

    void connectionClosedMidReply_data() { addProtocolRows(); }
    void connectionClosedMidReply()
    {
        QFETCH(int, protocol);
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, {"a"}) + dataRow(protocol, {QByteArray("1")}) +
                  dataRow(protocol, {QByteArray("half a row")}).chopped(4));
        fake.closeConnection();
        fake.start();
        Client c(fake, protocol);
        c.pg.setReplyTimeout(-1);  // the closed connection alone must end the wait
        QVERIFY(c.connect());
        ScriptedDialogs dialogs;
        QElapsedTimer t;
        t.start();
        const auto rs = c.pg.Query(QStringLiteral("select a"));
        QVERIFY(t.elapsed() < 3000);
        QCOMPARE(dumpRows(*rs), QStringLiteral("1"));
        QCOMPARE(rs->outcome(), db::TPostgresOutcome::Lost);
        QCOMPARE(rs->error(), QStringLiteral("Internal error:\nde database heeft de verbinding verbroken"));
        QVERIFY(!c.pg.Connected());
        QVERIFY(!c.pg.Active());
        QCOMPARE(c.disconnects, 1);
        // Afterwards the client is simply not connected: no stale bytes, and
        // a statement says it did not run.
        const auto after = c.pg.Query(QStringLiteral("select a"));
        QCOMPARE(after->RowCount(), 0);
        QCOMPARE(after->outcome(), db::TPostgresOutcome::NotConnected);
        QVERIFY(!c.pg.Execute(QStringLiteral("delete from a")));
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(c.statements, QStringList{QStringLiteral("select a")});
    }

    // A backend that stops answering ends the statement after the reply time-out.
    void replyTimeOut()
    {
        FakeBackend fake;
        scriptLogin(fake, 3);
        expectQuery(fake, 3);
        fake.send(rowDescription3({"a"}));
        fake.start();
        Client c(fake, 3);
        QVERIFY(c.connect());
        c.pg.setReplyTimeout(100);
        const auto rs = c.pg.Query(QStringLiteral("select pg_sleep(60)"));
        QCOMPARE(rs->FieldCount(), 1);
        QCOMPARE(rs->error(), QStringLiteral("Internal error:\ngeen antwoord van de database binnen de wachttijd"));
        QVERIFY(!c.pg.Connected());
    }

    void framingLost_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("box");
        QTest::newRow("3.0 length below 4")
            << 3 << QByteArray("D\0\0\0\2", 5) << "Internal error:\nprotocolfout: invalid length 2 of message 'D'";
        QTest::newRow("3.0 short message type over its cap")
            << 3 << "C" + be32(1 << 20) << "Internal error:\nprotocolfout: message 'C' too long (1048576 bytes)";
        QTest::newRow("2.0 value length below 4")
            << 2 << rowDescription2({"a"}) + "D" + QByteArray("\x80", 1) + be32(0)
            << "Internal error:\nprotocolfout: invalid value length 0 in a data row";
        QTest::newRow("2.0 unknown type cannot be skipped")
            << 2 << rowDescription2({"a"}) + QByteArray("\x01") + "Z"
            << "Internal error:\nprotocolfout: unknown message type 0x01";
    }
    void framingLost()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, reply);
        QFETCH(QString, box);
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(reply);
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        const auto rs = c.pg.Query(QStringLiteral("select a"));
        QCOMPARE(rs->RowCount(), 0);
        QCOMPARE(rs->outcome(), db::TPostgresOutcome::Lost);
        QCOMPARE(rs->error(), box);
        QVERIFY(!c.pg.Connected());
    }

    void malformedMessageKeepsStep()
    {
        FakeBackend fake;
        scriptLogin(fake, 3);
        expectQuery(fake, 3);
        fake.send(rowDescription3({"a"}) + msg3('D', be16(2) + be32(1) + "x") + dataRow3({QByteArray("ok")}) +
                  complete3("SELECT 2") + ready3());
        fake.start();
        Client c(fake, 3);
        QVERIFY(c.connect());
        const auto rs = c.pg.Query(QStringLiteral("select a"));
        QCOMPARE(dumpRows(*rs), QStringLiteral("ok"));
        QCOMPARE(rs->error(), QStringLiteral("Internal error:\nmalformed message 'D' of 11 bytes"));
        QVERIFY(c.pg.Connected());
    }

    void unknownMessageTypes_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QByteArray>("noise");
        QTest::newRow("3.0 unknown type, notification, notice, empty query")
            << 3
            << msg3('x', "junk") + msg3('A', be32(1) + QByteArray("kanaal\0\0", 8)) +
                   msg3('N', QByteArray("SNOTICE\0Mhm\0\0", 13)) + msg3('I', {});
        QTest::newRow("2.0 notice, cursor") << 2 << "N" + QByteArray("NOTICE:  hm\n\0", 13) + QByteArray("Pblank\0", 7);
    }
    void unknownMessageTypes()
    {
        QFETCH(int, protocol);
        QFETCH(QByteArray, noise);
        FakeBackend fake;
        scriptLogin(fake, protocol);
        expectQuery(fake, protocol);
        fake.send(rowDescription(protocol, {"a"}) + noise + dataRow(protocol, {QByteArray("1")}) + noise +
                  complete(protocol, "SELECT 1") + ready(protocol));
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        ScriptedDialogs dialogs;
        QCOMPARE(dumpRows(*c.pg.Query(QStringLiteral("select a"))), QStringLiteral("1"));
        QVERIFY(c.pg.Connected());
        QVERIFY(dialogs.shown().isEmpty());
    }

    void copyInIsRefused()
    {
        FakeBackend fake;
        scriptLogin(fake, 3);
        expectQuery(fake, 3);
        fake.send(msg3('G', QByteArray(1, '\0') + be16(0)));
        fake.expect(FakeBackend::Frame::Typed);
        fake.send(error3("COPY from stdin failed") + ready3());
        fake.start();
        Client c(fake, 3);
        QVERIFY(c.connect());
        QVERIFY(!c.pg.Execute(QStringLiteral("copy tbltodo from stdin")));
        const QList<QByteArray> got = fake.finish();
        QCOMPARE(got.value(got.size() - 1).left(1), QByteArray("f"));
        QVERIFY(c.pg.Connected());
    }

    // ReadyForQuery's status byte is kept as the session's transaction state.
    void transactionStatus()
    {
        FakeBackend fake;
        scriptLogin(fake, 3);
        for (const char status : {'T', 'E', 'I'}) {
            expectQuery(fake, 3);
            fake.send(complete3("X") + msg3('Z', QByteArray(1, status)));
        }
        fake.start();
        Client c(fake, 3);
        QVERIFY(c.connect());
        QCOMPARE(c.pg.transactionStatus(), db::TPostgresTransaction::Idle);
        QVERIFY(c.pg.Execute(QStringLiteral("begin")));
        QCOMPARE(c.pg.transactionStatus(), db::TPostgresTransaction::InTransaction);
        c.pg.Execute(QStringLiteral("insert"));
        QCOMPARE(c.pg.transactionStatus(), db::TPostgresTransaction::Failed);
        c.pg.Execute(QStringLiteral("rollback"));
        QCOMPARE(c.pg.transactionStatus(), db::TPostgresTransaction::Idle);
    }

    // A NUL would end a 2.0 statement early and let the rest run as a
    // statement of its own: such a text is refused before anything is sent.
    void nulIsRefused_data() { addProtocolRows(); }
    void nulIsRefused()
    {
        QFETCH(int, protocol);
        FakeBackend fake;
        scriptLogin(fake, protocol);
        fake.start();
        Client c(fake, protocol);
        QVERIFY(c.connect());
        const auto rs = c.pg.Query(QStringLiteral("select 'a") + QChar(0) + QStringLiteral("Qdrop table tblagenda'"));
        QCOMPARE(rs->outcome(), db::TPostgresOutcome::Refused);
        QCOMPARE(rs->error(),
                 QStringLiteral("Het statement bevat een NUL-teken en is niet naar de database gestuurd."));
        QVERIFY(c.statements.isEmpty());
        QVERIFY(c.pg.Connected());
        c.pg.Close();
        QCOMPARE(fake.finish().size(), protocol == 3 ? 1 : 4);  // the log-in alone
    }

    void queryBeforeConnect()
    {
        FakeBackend fake;
        fake.start();
        Client c(fake, 3);
        ScriptedDialogs dialogs;
        QCOMPARE(c.pg.Query(QStringLiteral("select 1"))->RowCount(), 0);
        c.pg.Execute(QStringLiteral("delete from tbltodo"));
        QVERIFY(c.pg.Open());  // open but not logged in: still nothing is sent
        QCOMPARE(c.pg.Query(QStringLiteral("select 1"))->FieldCount(), 0);
        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(c.status, QStringList(3, QStringLiteral("Uitvoeren van query...")));
        QVERIFY(c.statements.isEmpty());
        c.pg.Close();
        QVERIFY(fake.finish().isEmpty());
    }

    void recordSetBounds()
    {
        db::TPostgresRecordSet rs;
        rs.setFieldNames({QStringLiteral("id"), QStringLiteral("naam")});
        rs.appendRow({QStringLiteral("1"), QStringLiteral("Sport")});
        QCOMPARE(rs.ValueByName(0, QStringLiteral("Naam")), QStringLiteral("Sport"));
        QCOMPARE(rs.ValueByName(1, QStringLiteral("naam")), QString());
        QCOMPARE(rs.ValueByName(-1, QStringLiteral("naam")), QString());
        QCOMPARE(rs.ValueByName(0, QStringLiteral("kleur")), QString());
        QCOMPARE(rs.FieldName(2), QString());
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, rs.Row(1));
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, rs.Row(-1));
    }
};

QTEST_MAIN(TestPostgres)
#include "tst_postgres.moc"
