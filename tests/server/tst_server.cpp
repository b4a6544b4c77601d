// A real quillon-server on loopback against a fresh database, driven by
// scripted line clients: every command's reply, locks, queues, the
// final-editor role, administrator commands, jobs and hostile input.

#include "support/LineClient.h"
#include "support/ServerProcess.h"

#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QtTest>
#include <memory>

using servertest::LineClient;
using servertest::ServerProcess;

class TestServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void commands_data();
    void commands();
    void commandsBeforeLogin();
    void loggedInElsewhere();
    void lockContention();
    void broadcastToOthersInOrder();
    void nestedCommandDuringReply();
    void directMessages();
    void finalEditorClaimAndHandOver();
    void finalEditorTimeoutAndDisconnect();
    void hangupAndShutdownNeedAdministrator();
    void hangupLogsOff();
    void hostileInput();
    void disconnectDuringReply();
    void jobs();
    void failedLoginsSlowDown();
    void idleConnectionsDropped();
    void badConfiguration_data();
    void badConfiguration();
    void shutdownTellsEveryone();

private:
    std::unique_ptr<LineClient> client(const QString &user = QString(), const QString &password = QString());
    void waitOffline(const QString &name);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    ServerProcess m_server;
};

namespace {
// name, password, rights: eva administrator and final editor, jan and kees
// final editors, piet neither; leeg has no password yet.
const char *kUsers =
    "insert into tbluser (loginnaam, password, rights) values "
    "('eva', 'egel', 'xx--------------'), ('jan', 'jas', 'x---------------'),"
    "('piet', 'pad', '----------------'), ('kees', 'kat', 'x---------------'),"
    "('leeg', '', 'xx--------------'), ('lies', 'luis', '----------------')";

const char *kJobs =
    "[job echo]\ndescription = Groeten\nschedule = manual\n"
    "command = /bin/sh -c \"echo 'hallo wereld'; echo tweede >&2\"\n"
    "[job traag]\nschedule = manual\ncommand = /bin/sleep 30\ntime_limit = 1\n"
    "[job planning]\nschedule = daily 03:15\ncommand = /bin/true\n";
}  // namespace

void TestServer::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_template"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    QVERIFY2(m_db->exec(QString::fromLatin1(kUsers)), qPrintable(m_db->lastError()));
    QVERIFY2(m_server.start(m_db.get(),
                            QStringLiteral("min_client_version = 1.3.4\nfinal_editor_timeout = 0.5\n"
                                           "login_delay_ms = 300\nmax_line_length = 1024\n"),
                            QString::fromLatin1(kJobs)),
             qPrintable(m_server.error()));
}

void TestServer::cleanupTestCase()
{
    m_server.stop();
}

std::unique_ptr<LineClient> TestServer::client(const QString &user, const QString &password)
{
    auto c = std::make_unique<LineClient>(m_server.port());
    if (!c->connected())
        return nullptr;
    if (!user.isEmpty() && !c->login(user, password))
        return nullptr;
    return c;
}

// The server notices a closed connection asynchronously; tests that log in
// as the same editor again wait until it has.
void TestServer::waitOffline(const QString &name)
{
    auto probe = client(QStringLiteral("lies"), QStringLiteral("luis"));
    QVERIFY(probe);
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000) {
        if (probe->reply(QStringLiteral("useronline ") + name) == QLatin1String("err"))
            return;
        QTest::qWait(10);
    }
    QFAIL(qPrintable(name + QStringLiteral(" stays online")));
}

void TestServer::commands_data()
{
    QTest::addColumn<QString>("user");     // logged in first as this editor ("" = not logged in)
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected"); // reply lines without chat, joined with '|'

    QTest::newRow("checkversion equal to minimum") << "" << "checkversion 1.3.4" << "ok";
    QTest::newRow("checkversion newer, numerically") << "" << "checkversion 1.10.0.0" << "ok";
    QTest::newRow("checkversion older") << "" << "checkversion 1.3.3.9" << "err";
    QTest::newRow("checkversion not a version") << "" << "checkversion nieuw" << "err";
    QTest::newRow("auth") << "" << "auth jan jas" << "setuserid 2|ok";
    QTest::newRow("auth name in capitals") << "" << "auth JAN jas" << "setuserid 2|ok";
    QTest::newRow("auth wrong password") << "" << "auth jan JAS" << "err";
    QTest::newRow("auth unknown editor") << "" << "auth niemand x" << "err";
    QTest::newRow("auth without a stored password") << "" << "auth leeg" << "err";
    QTest::newRow("user") << "jan" << "user jan" << "ok";
    QTest::newRow("userlijst") << "jan" << "userlijst" << "users jan sinds HH:MM|lies sinds HH:MM||ok";
    QTest::newRow("poll, nothing queued") << "jan" << "poll" << "ok";
    QTest::newRow("lock and unlock") << "jan" << "lock agenda_1" << "ok";
    QTest::newRow("unlock of a lock not held") << "jan" << "unlock agenda_99" << "err";
    QTest::newRow("broadcast") << "jan" << "broadcast agenda new 5" << "ok";
    QTest::newRow("useronline, online") << "jan" << "useronline LIES" << "ok";
    QTest::newRow("useronline, offline") << "jan" << "useronline piet" << "err";
    QTest::newRow("direct to an offline editor") << "jan" << "direct piet hoi" << "err";
    QTest::newRow("job list") << "jan" << "job list"
                              << "job aname echo - Groeten (handmatig)|job aname traag (handmatig)|"
                                 "job aname planning (dagelijks 03:15, volgende HH:MM:SS)|ok";
    QTest::newRow("publiceer, not yet available") << "jan" << "publiceer  12 7 "
        << "publish log <red>publiceren (gevraagd door jan) is in deze server nog niet beschikbaar<black>|"
           "job log publiceren (gevraagd door jan) is in deze server nog niet beschikbaar|err";
    QTest::newRow("checkpw right") << "jan" << "checkpw jan jas" << "ok";
    QTest::newRow("checkpw wrong") << "jan" << "checkpw jan jus" << "err";
    QTest::newRow("checkpw of another editor") << "jan" << "checkpw eva egel" << "err";
    QTest::newRow("final-editor claim of a free team") << "jan" << "eindredacteur 77" << "eindredacteur on|ok";
    QTest::newRow("final-editor claim without the right") << "piet" << "eindredacteur 78" << "err";
    QTest::newRow("hand-over answer without a request") << "jan" << "ja_eindredacteur piet" << "err";
    QTest::newRow("unknown command") << "jan" << "formatteer c:" << "err";
    QTest::newRow("missing argument") << "jan" << "lock" << "err";
}

void TestServer::commands()
{
    QFETCH(QString, user);
    QFETCH(QString, command);
    QFETCH(QString, expected);
    auto observer = client(QStringLiteral("lies"), QStringLiteral("luis"));
    QVERIFY(observer);
    const QString password = user == QLatin1String("jan") ? "jas" : user == QLatin1String("piet") ? "pad" : "";
    auto c = client(user, password);
    QVERIFY(c);
    QString got = c->reply(command);
    // Clock times depend on the moment of the run; the configured 03:15 does not.
    static const QRegularExpression seconds(QStringLiteral("\\b\\d\\d:\\d\\d:\\d\\d\\b"));
    static const QRegularExpression minutes(QStringLiteral("sinds \\d\\d:\\d\\d\\b"));
    got.replace(seconds, QStringLiteral("HH:MM:SS"));
    got.replace(minutes, QStringLiteral("sinds HH:MM"));
    const QString normalised = got;
    QCOMPARE(normalised, expected);
    c->close();
    observer->close();
    waitOffline(QStringLiteral("jan"));
}

void TestServer::commandsBeforeLogin()
{
    auto c = client();
    QVERIFY(c);
    for (const char *cmd : {"poll", "lock agenda_1", "broadcast agenda new 1", "userlijst", "shutdown", "job list"})
        QCOMPARE(c->reply(QString::fromLatin1(cmd)), QStringLiteral("err"));
    QCOMPARE(c->reply(QStringLiteral("checkversion 2")), QStringLiteral("ok"));
    QCOMPARE(c->reply(QStringLiteral("auth kees kat")), QStringLiteral("setuserid 4|ok"));
    QCOMPARE(c->reply(QStringLiteral("poll")), QStringLiteral("ok"));
    // Logging in again as the same editor is harmless, as another is refused.
    QCOMPARE(c->reply(QStringLiteral("auth kees kat")), QStringLiteral("setuserid 4|ok"));
    QCOMPARE(c->reply(QStringLiteral("auth jan jas")), QStringLiteral("err"));
}

void TestServer::loggedInElsewhere()
{
    auto first = client(QStringLiteral("piet"), QStringLiteral("pad"));
    QVERIFY(first);
    auto second = client();
    QCOMPARE(second->reply(QStringLiteral("auth piet pad")), QStringLiteral("err"));
    first->close();
    waitOffline(QStringLiteral("piet"));
    QCOMPARE(second->reply(QStringLiteral("auth piet pad")), QStringLiteral("setuserid 3|ok"));
}

void TestServer::lockContention()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(a && b);
    QCOMPARE(a->reply(QStringLiteral("lock todo_5")), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("lock todo_5")), QStringLiteral("ok"));          // re-lock by the holder
    QCOMPARE(b->reply(QStringLiteral("lock todo_5")), QStringLiteral("lockedby jan|err"));
    QCOMPARE(b->reply(QStringLiteral("unlock todo_5")), QStringLiteral("err"));       // not the holder's
    QCOMPARE(a->reply(QStringLiteral("lock naw_3")), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("unlock naw_3")), QStringLiteral("ok"));
    QCOMPARE(b->reply(QStringLiteral("lock naw_3")), QStringLiteral("ok"));
    a->close();                                                                        // disconnect frees todo_5
    waitOffline(QStringLiteral("jan"));
    QCOMPARE(b->reply(QStringLiteral("lock todo_5")), QStringLiteral("ok"));
}

void TestServer::broadcastToOthersInOrder()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    auto c = client(QStringLiteral("piet"), QStringLiteral("pad"));
    QVERIFY(a && b && c);
    a->command(QStringLiteral("poll"));
    b->command(QStringLiteral("poll"));
    c->command(QStringLiteral("poll"));
    // Queued lines come with the reply to any command, before its final
    // line, in sending order, and never back to the sender.
    QCOMPARE(a->reply(QStringLiteral("broadcast agenda new 5")), QStringLiteral("ok"));
    QCOMPARE(b->reply(QStringLiteral("broadcast todo remove 3")), QStringLiteral("agenda new 5|ok"));
    QCOMPARE(a->reply(QStringLiteral("broadcast klaar new 5")), QStringLiteral("todo remove 3|ok"));
    QCOMPARE(c->reply(QStringLiteral("lock x_1")), QStringLiteral("agenda new 5|todo remove 3|klaar new 5|ok"));
    QCOMPARE(c->reply(QStringLiteral("poll")), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("poll")), QStringLiteral("ok"));
    QCOMPARE(b->reply(QStringLiteral("poll")), QStringLiteral("klaar new 5|ok"));
    // Log-in and log-out reach the others as chat lines.
    auto d = client(QStringLiteral("eva"), QStringLiteral("egel"));
    d->close();
    waitOffline(QStringLiteral("eva"));
    const QString chat = c->command(QStringLiteral("poll")).join(QLatin1Char('|'));
    QVERIFY2(chat.indexOf(QLatin1String("chat eva is aangemeld|")) >= 0 &&
                 chat.indexOf(QLatin1String("chat eva is aangemeld|")) < chat.indexOf(QLatin1String("chat eva is afgemeld|")),
             qPrintable(chat));
}

void TestServer::nestedCommandDuringReply()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(a && b);
    a->command(QStringLiteral("poll"));
    QCOMPARE(b->reply(QStringLiteral("lock agenda_8")), QStringLiteral("ok"));
    b->command(QStringLiteral("broadcast agenda update 8"));
    b->command(QStringLiteral("broadcast todo update 9"));
    // Send "poll", read one line, then send a nested command before reading on,
    // as a client does from a message handler.
    a->sendRaw("poll\r\n");
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("agenda update 8"));
    a->sendRaw("lock agenda_8\r\n");
    QStringList rest;
    for (int i = 0; i < 4; ++i)
        rest << a->readLine().value_or(QStringLiteral("<none>"));
    QCOMPARE(rest.join(QLatin1Char('|')), QStringLiteral("todo update 9|ok|lockedby kees|err"));
}

void TestServer::directMessages()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    auto c = client(QStringLiteral("piet"), QStringLiteral("pad"));
    QVERIFY(a && b && c);
    a->command(QStringLiteral("poll"));
    b->command(QStringLiteral("poll"));
    QCOMPARE(a->reply(QStringLiteral("direct KEES kom je even?  Nu")), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("direct all vergadering om 10:00")), QStringLiteral("ok"));
    QCOMPARE(b->reply(QStringLiteral("poll")),
             QStringLiteral("direct jan kom je even?  Nu|direct jan vergadering om 10:00|ok"));
    QCOMPARE(c->reply(QStringLiteral("poll")), QStringLiteral("direct jan vergadering om 10:00|ok"));
    QCOMPARE(a->reply(QStringLiteral("poll")), QStringLiteral("ok"));
}

void TestServer::finalEditorClaimAndHandOver()
{
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto kees = client(QStringLiteral("kees"), QStringLiteral("kat"));
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    QVERIFY(jan && kees && eva);
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 1")), QStringLiteral("eindredacteur on|ok"));
    QVERIFY(jan->reply(QStringLiteral("userlijst")).contains(QLatin1String("jan sinds ")));
    QVERIFY(jan->reply(QStringLiteral("userlijst")).contains(QLatin1String(", eindredacteur redactie 1|")));
    // Claim: the holder is asked; a second claimant meanwhile is refused.
    QCOMPARE(kees->reply(QStringLiteral("eindredacteur 1")), QStringLiteral("ok"));
    QCOMPARE(eva->reply(QStringLiteral("eindredacteur 1")), QStringLiteral("wijgereindredactie|err"));
    QCOMPARE(jan->reply(QStringLiteral("poll")), QStringLiteral("eindredacteur request kees|ok"));
    // Only the holder can answer.
    QCOMPARE(eva->reply(QStringLiteral("ja_eindredacteur kees")), QStringLiteral("err"));
    QCOMPARE(jan->reply(QStringLiteral("ja_eindredacteur kees")), QStringLiteral("eindredacteur off|ok"));
    QCOMPARE(kees->reply(QStringLiteral("poll")), QStringLiteral("eindredacteur on|ok"));
    // Refusal.
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 1")), QStringLiteral("ok"));
    QCOMPARE(kees->reply(QStringLiteral("poll")), QStringLiteral("eindredacteur request jan|ok"));
    QCOMPARE(kees->reply(QStringLiteral("nee_eindredacteur jan")), QStringLiteral("ok"));
    QCOMPARE(jan->reply(QStringLiteral("poll")), QStringLiteral("wijgereindredactie|ok"));
    // Another team has its own final editor.
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 2")), QStringLiteral("eindredacteur on|ok"));
}

void TestServer::finalEditorTimeoutAndDisconnect()
{
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto kees = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(jan && kees);
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 3")), QStringLiteral("eindredacteur on|ok"));
    QCOMPARE(kees->reply(QStringLiteral("eindredacteur 3")), QStringLiteral("ok"));
    // Unanswered (the test server waits 0.5 s): granted.
    QTest::qWait(800);
    QCOMPARE(kees->reply(QStringLiteral("poll")), QStringLiteral("eindredacteur on|ok"));
    QCOMPARE(jan->reply(QStringLiteral("poll")), QStringLiteral("eindredacteur request kees|eindredacteur off|ok"));
    // The holder disconnects: the role is free for the next claim.
    kees->close();
    waitOffline(QStringLiteral("kees"));
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 3")), QStringLiteral("eindredacteur on|ok"));
    // A holder who disconnects while asked hands the role to the claimant.
    auto kees2 = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QCOMPARE(kees2->reply(QStringLiteral("eindredacteur 3")), QStringLiteral("ok"));
    jan->close();
    waitOffline(QStringLiteral("jan"));
    QCOMPARE(kees2->reply(QStringLiteral("poll")), QStringLiteral("eindredacteur on|ok"));
}

void TestServer::hangupAndShutdownNeedAdministrator()
{
    auto piet = client(QStringLiteral("piet"), QStringLiteral("pad"));
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    QVERIFY(piet && jan);
    QCOMPARE(piet->reply(QStringLiteral("hangup jan")), QStringLiteral("err"));
    QCOMPARE(piet->reply(QStringLiteral("shutdown")), QStringLiteral("err"));
    QCOMPARE(jan->reply(QStringLiteral("poll")), QStringLiteral("ok"));
    QCOMPARE(piet->reply(QStringLiteral("poll")), QStringLiteral("ok"));
}

void TestServer::hangupLogsOff()
{
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    QVERIFY(eva && jan);
    QCOMPARE(jan->reply(QStringLiteral("lock tijden")), QStringLiteral("ok"));
    QCOMPARE(eva->reply(QStringLiteral("hangup niemand")), QStringLiteral("err"));
    QCOMPARE(eva->reply(QStringLiteral("hangup jan")), QStringLiteral("ok"));
    QCOMPARE(jan->readLine().value_or(QString()), QStringLiteral("down"));
    QVERIFY(jan->waitClosed());
    QCOMPARE(eva->reply(QStringLiteral("lock tijden")), QStringLiteral("ok"));   // its locks went with it
    QCOMPARE(eva->reply(QStringLiteral("useronline jan")), QStringLiteral("err"));
}

void TestServer::hostileInput()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    QVERIFY(a);
    a->sendRaw(QByteArray("poll\0\x01\x02garbage\r\n", 17));
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("err"));
    a->sendRaw(QByteArray("\xff\xfe\xfd\x80\r\n"));                             // bytes no command starts with
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("err"));
    a->sendRaw("\r\n");
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("err"));
    a->sendRaw("poll\nlock zonder_cr\n");                                        // LF alone ends a line too
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("ok"));
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("poll")), QStringLiteral("ok"));           // still answers

    // Over the line limit (1024 here): the connection is closed, others go on.
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(b);
    b->sendRaw("broadcast " + QByteArray(2000, 'x'));
    QVERIFY(b->waitClosed());
    QCOMPARE(a->reply(QStringLiteral("poll")), QStringLiteral("ok"));
    QTRY_VERIFY(m_server.log().contains(QLatin1String("line longer than the limit, connection closed")));
}

void TestServer::disconnectDuringReply()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(a && b);
    a->command(QStringLiteral("poll"));
    for (int i = 0; i < 2000; ++i)
        a->sendRaw(QByteArrayLiteral("broadcast agenda update ") + QByteArray::number(i) + "\r\n");
    for (int i = 0; i < 2000; ++i)
        QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("ok"));
    b->sendRaw("poll\r\n");
    QVERIFY(b->readLine());
    b->close();                                                                   // mid-reply
    QCOMPARE(a->reply(QStringLiteral("poll")), QStringLiteral("ok"));
    auto c = client(QStringLiteral("piet"), QStringLiteral("pad"));
    QVERIFY(c);
    QCOMPARE(c->reply(QStringLiteral("lock agenda_1")), QStringLiteral("ok"));
}

void TestServer::jobs()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto b = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(a && b);
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig \"echo\" \"nu\"")), QStringLiteral("job log echo gestart (jan)|job refresh|ok"));
    // Output reaches every client line by line, then the end and a refresh.
    QElapsedTimer t;
    t.start();
    QString seen;
    while (t.elapsed() < 3000 && !seen.contains(QLatin1String("echo klaar"))) {
        seen += b->reply(QStringLiteral("poll")) + QLatin1Char('|');
        QTest::qWait(20);
    }
    QVERIFY2(seen.startsWith(QLatin1String("job log echo gestart (jan)|job refresh|")), qPrintable(seen));
    QVERIFY2(seen.contains(QLatin1String("job log echo: hallo wereld|")), qPrintable(seen));
    QVERIFY2(seen.contains(QLatin1String("job log echo: tweede|")), qPrintable(seen));
    QVERIFY2(seen.contains(QLatin1String("job log echo klaar|job refresh|")), qPrintable(seen));
    a->command(QStringLiteral("poll"));

    // The time limit (1 s here) stops a job; while it runs it is listed.
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig traag \"\"")), QStringLiteral("job log traag gestart (jan)|job refresh|ok"));
    QVERIFY(a->reply(QStringLiteral("job list")).startsWith(QLatin1String("job name traag (sinds ")));
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig traag \"\"")),
             QStringLiteral("job log traag: draait al, niet opnieuw gestart|err"));
    t.restart();
    seen.clear();
    while (t.elapsed() < 6000 && !seen.contains(QLatin1String("traag afgebroken"))) {
        seen += a->reply(QStringLiteral("poll")) + QLatin1Char('|');
        QTest::qWait(50);
    }
    QVERIFY2(seen.contains(QLatin1String("job log traag afgebroken na 1 s|job refresh")), qPrintable(seen));

    QCOMPARE(a->reply(QStringLiteral("job new eenmalig \"import 3\" \"Verversen van ANP\"")),
             QStringLiteral("job log Verversen van ANP: importeren van bron 3 is in deze server nog niet beschikbaar|err"));
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig \"onbekend\" \"\"")), QStringLiteral("job log onbekend: onbekende taak|err"));
    // Reload: the file is read again; a broken file keeps the old jobs.
    QCOMPARE(a->reply(QStringLiteral("job reload")), QStringLiteral("job refresh|job log taken opnieuw geladen door jan|ok"));
}

void TestServer::failedLoginsSlowDown()
{
    // From one address: three free failures, then 300 ms, 600 ms ...
    const QString address = QStringLiteral("127.0.2.1");
    QElapsedTimer t;
    QList<qint64> took;
    for (int i = 0; i < 5; ++i) {
        LineClient c(m_server.port(), address);
        t.start();
        QCOMPARE(c.reply(QStringLiteral("auth piet fout")), QStringLiteral("err"));
        took << t.elapsed();
    }
    QVERIFY2(took[2] < 250 && took[3] >= 290 && took[4] >= 590, qPrintable(QString::number(took[3]) + " " + QString::number(took[4])));
    // Others are not held up meanwhile, and a right password still works.
    LineClient slow(m_server.port(), address);
    slow.sendRaw("auth piet fout\r\n");
    LineClient other(m_server.port());
    t.start();
    QCOMPARE(other.reply(QStringLiteral("auth lies luis")), QStringLiteral("setuserid 6|ok"));
    QVERIFY(t.elapsed() < 500);
    QCOMPARE(slow.readLine(3000).value_or(QString()), QStringLiteral("err"));
}

void TestServer::idleConnectionsDropped()
{
    ServerProcess s;
    QVERIFY2(s.start(nullptr, QStringLiteral("idle_timeout = 0.3\n")), qPrintable(s.error()));
    LineClient quiet(s.port());
    LineClient busy(s.port());
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 700) {
        QCOMPARE(busy.reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
        QTest::qWait(50);
    }
    QVERIFY(quiet.waitClosed(1000));
    QCOMPARE(busy.reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
}

void TestServer::badConfiguration_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("ini");      // written to the file given with --config
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");  // expected in the output
    QTest::newRow("help") << QStringList{"--help"} << "" << 0 << "Usage: quillon-server";
    QTest::newRow("unknown option") << QStringList{"--verbose"} << "" << 64 << "unknown argument \"--verbose\"";
    QTest::newRow("missing file") << QStringList{"--config", "/nonexistent/q.ini"} << "" << 78
                                  << "bad configuration: /nonexistent/q.ini: cannot be read";
    QTest::newRow("bad value") << QStringList{"--config", "@"} << "[server]\nport = twee\n" << 78
                               << "q.ini: line 2: port: not a port number (0-65535)";
    QTest::newRow("check a good file") << QStringList{"--check-config", "--config", "@"} << "[server]\nport = 2001\n" << 0
                                       << "configuration is valid (0 jobs)";
    QTest::newRow("port in use") << QStringList{"--config", "@"} << "[server]\nlisten = 127.0.0.1\nport = PORT\n" << 69
                                 << "cannot listen on 127.0.0.1:";
}

void TestServer::badConfiguration()
{
    QFETCH(QStringList, args);
    QFETCH(QString, ini);
    QFETCH(int, exitCode);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("q.ini"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(ini.replace(QStringLiteral("PORT"), QString::number(m_server.port())).toUtf8());
    f.close();
    args.replaceInStrings(QStringLiteral("@"), path);
    QProcess p;
    p.start(ServerProcess::binary(), args);
    QVERIFY(p.waitForFinished(5000));
    const QString out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    QCOMPARE(p.exitCode(), exitCode);
    QVERIFY2(out.contains(message), qPrintable(out));
}

void TestServer::shutdownTellsEveryone()
{
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto anonymous = client();
    QVERIFY(eva && jan && anonymous);
    QCOMPARE(eva->reply(QStringLiteral("shutdown")), QStringLiteral("down|ok"));
    QCOMPARE(jan->readLine().value_or(QString()), QStringLiteral("down"));
    QCOMPARE(anonymous->readLine().value_or(QString()), QStringLiteral("down"));
    QVERIFY(jan->waitClosed());
    QCOMPARE(m_server.waitForExit(), 0);
    QVERIFY(m_server.log().contains(QLatin1String("shutting down: shutdown by eva")));
}

QTEST_GUILESS_MAIN(TestServer)
#include "tst_server.moc"
