// A real quillon-server on loopback against a fresh database, driven by
// scripted line clients: every command's reply, locks, queues, the
// final-editor role, administrator commands, jobs and hostile input, and
// what a client or network that means harm, or a database that fails, can
// do to it: each such case sends its raw lines, checks the answer and then
// that the server still answers a fresh client.

#include "support/LineClient.h"
#include "support/ServerProcess.h"
#include "support/TlsCertificates.h"

#include "support/TestDatabase.h"

#include "platform/Socket.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QtTest>
#include <arpa/inet.h>
#include <libpq-fe.h>
#include <memory>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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
    void broadcastRelayIsChecked();
    void rubricBroadcastNeedsTheRole();
    void rosterSentOnChanges();
    void loginAnswerTimeIndependentOfPassword();
    void silentSessionEnds();
    void connectionLimits();
    void slotsHeldWithoutLogIn();
    void unreadRepliesHaveACeiling();
    void lockOutSaysWhyAndEnds();
    void guessingFromManyAddresses();
    void bareConnectsAndDatabaseDownLogLittle();
    void descriptorsRunOut();
    void logStaysSmall();
    void queueBoundsAndLockLimits();
    void bigReplyDoesNotStallOthers();
    void databaseConnectionsReconnect();
    void databaseDownIsSaid_data();
    void databaseDownIsSaid();
    void statementTimeLimit();
    void tlsLogin();
    void shutdownTellsEveryone();

private:
    std::unique_ptr<LineClient> client(const QString &user = QString(), const QString &password = QString());
    void waitOffline(const QString &name);
    void answersFreshClient(quint16 port);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    ServerProcess m_server;
};

namespace {
// name, password, rights: eva administrator and final editor, jan and kees
// final editors, piet neither; leeg has no password yet.
const char *kUsers = "insert into tbluser (loginnaam, password, rights) values "
                     "('eva', 'egel', 'xx--------------'), ('jan', 'jas', 'x---------------'),"
                     "('piet', 'pad', '----------------'), ('kees', 'kat', 'x---------------'),"
                     "('leeg', '', 'xx--------------'), ('lies', 'luis', '----------------'),"
                     "('gast', 'gans', '----------------'), ('bob', 'bever', '----------------')";

// A certificate authority and a server certificate for 127.0.0.1, made with
// the openssl program in `dir`: ca.pem, server.pem, server.key.
const char *kJobs = "[job echo]\ndescription = Groeten\nschedule = manual\n"
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

namespace {
// A bare client socket from a chosen loopback address, for the many
// connections of the siege cases: no buffering of its own, so a flood
// sends what the kernel takes and no more.
class RawSocket {
public:
    // `receiveBuffer`: a small one makes the replies back up at the server
    // at once instead of in the kernel's buffers.
    RawSocket(quint16 port, const QString &source, int receiveBuffer = 0)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd >= 0 && receiveBuffer > 0)
            ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        ::inet_pton(AF_INET, source.toLatin1().constData(), &from.sin_addr);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(port);
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0 ||
            ::connect(m_fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
            if (m_fd >= 0)
                ::close(m_fd);
            m_fd = -1;
        }
    }
    ~RawSocket()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    RawSocket(const RawSocket &) = delete;
    RawSocket &operator=(const RawSocket &) = delete;
    bool ok() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

    // Sends what the kernel takes at once; the number of bytes taken.
    qint64 sendSome(const QByteArray &bytes)
    {
        const ssize_t n = ::send(m_fd, bytes.constData(), size_t(bytes.size()), MSG_DONTWAIT | MSG_NOSIGNAL);
        return n < 0 ? 0 : n;
    }
    // True while the server has not closed the connection (what it sent is read and dropped).
    bool open()
    {
        char buf[4096];
        while (true) {
            const ssize_t n = ::recv(m_fd, buf, sizeof buf, MSG_DONTWAIT);
            if (n > 0) {
                m_in.append(buf, n);
                continue;
            }
            return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
        }
    }
    // The next whole line received so far, or nothing.
    std::optional<QByteArray> takeLine()
    {
        open();
        const qsizetype lf = m_in.indexOf('\n');
        if (lf < 0)
            return std::nullopt;
        const QByteArray line = m_in.left(lf);
        m_in.remove(0, lf + 1);
        return line;
    }

private:
    int m_fd = -1;
    QByteArray m_in;
};

// What the kernel says of a process's memory, in kB ("VmRSS", "VmHWM").
qint64 memoryOf(qint64 pid, const char *field)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(qstrlen(field)) + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
}  // namespace

// The end of every hostile case: the server still serves somebody new.
void TestServer::answersFreshClient(quint16 port)
{
    LineClient fresh(port);
    QVERIFY(fresh.connected());
    QCOMPARE(fresh.reply(QStringLiteral("checkversion 9")), QStringLiteral("ok"));
}

void TestServer::commands_data()
{
    QTest::addColumn<QString>("user");  // logged in first as this editor ("" = not logged in)
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");  // reply lines without chat, joined with '|'

    QTest::newRow("checkversion equal to minimum") << ""
                                                   << "checkversion 1.3.4"
                                                   << "ok";
    QTest::newRow("checkversion newer, numerically") << ""
                                                     << "checkversion 1.10.0.0"
                                                     << "ok";
    QTest::newRow("checkversion older") << ""
                                        << "checkversion 1.3.3.9"
                                        << "err";
    QTest::newRow("checkversion not a version") << ""
                                                << "checkversion nieuw"
                                                << "err";
    QTest::newRow("auth") << ""
                          << "auth jan jas"
                          << "setuserid 2|ok";
    QTest::newRow("auth name in capitals") << ""
                                           << "auth JAN jas"
                                           << "setuserid 2|ok";
    QTest::newRow("auth wrong password") << ""
                                         << "auth jan JAS"
                                         << "err";
    QTest::newRow("auth unknown editor") << ""
                                         << "auth niemand x"
                                         << "err";
    QTest::newRow("auth without a stored password") << ""
                                                    << "auth leeg"
                                                    << "err";
    QTest::newRow("user") << "jan"
                          << "user jan"
                          << "ok";
    QTest::newRow("userlijst") << "jan"
                               << "userlijst"
                               << "users jan sinds HH:MM|lies sinds HH:MM||ok";
    QTest::newRow("poll, nothing queued") << "jan"
                                          << "poll"
                                          << "ok";
    QTest::newRow("lock and unlock") << "jan"
                                     << "lock agenda_1"
                                     << "ok";
    QTest::newRow("unlock of a lock not held") << "jan"
                                               << "unlock agenda_99"
                                               << "err";
    QTest::newRow("broadcast") << "jan"
                               << "broadcast agenda new 5"
                               << "ok";
    QTest::newRow("useronline, online") << "jan"
                                        << "useronline LIES"
                                        << "ok";
    QTest::newRow("useronline, offline") << "jan"
                                         << "useronline piet"
                                         << "err";
    QTest::newRow("direct to an offline editor") << "jan"
                                                 << "direct piet hoi"
                                                 << "err";
    QTest::newRow("job list") << "jan"
                              << "job list"
                              << "job aname echo - Groeten (handmatig)|job aname traag (handmatig)|"
                                 "job aname planning (dagelijks 03:15, volgende HH:MM:SS)|ok";
    QTest::newRow("publiceer without the final-editor role")
        << "jan"
        << "publiceer  12 7 "
        << "publish log <red>Alleen de eindredacteur of een beheerder mag publiceren<black>|err";
    QTest::newRow("checkpw right") << "jan"
                                   << "checkpw jan jas"
                                   << "ok";
    QTest::newRow("checkpw wrong") << "jan"
                                   << "checkpw jan jus"
                                   << "err";
    QTest::newRow("checkpw of another editor") << "jan"
                                               << "checkpw eva egel"
                                               << "err";
    QTest::newRow("final-editor claim of a free team") << "jan"
                                                       << "eindredacteur 77"
                                                       << "eindredacteur on|ok";
    QTest::newRow("final-editor claim without the right") << "piet"
                                                          << "eindredacteur 78"
                                                          << "err";
    QTest::newRow("hand-over answer without a request") << "jan"
                                                        << "ja_eindredacteur piet"
                                                        << "err";
    QTest::newRow("unknown command") << "jan"
                                     << "formatteer c:"
                                     << "err";
    QTest::newRow("missing argument") << "jan"
                                      << "lock"
                                      << "err";
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
    QCOMPARE(a->reply(QStringLiteral("lock todo_5")), QStringLiteral("ok"));  // re-lock by the holder
    QCOMPARE(b->reply(QStringLiteral("lock todo_5")), QStringLiteral("lockedby jan|err"));
    QCOMPARE(b->reply(QStringLiteral("unlock todo_5")), QStringLiteral("err"));  // not the holder's
    QCOMPARE(a->reply(QStringLiteral("lock naw_3")), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("unlock naw_3")), QStringLiteral("ok"));
    QCOMPARE(b->reply(QStringLiteral("lock naw_3")), QStringLiteral("ok"));
    a->close();  // disconnect frees todo_5
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
                 chat.indexOf(QLatin1String("chat eva is aangemeld|")) <
                     chat.indexOf(QLatin1String("chat eva is afgemeld|")),
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
    QCOMPARE(eva->reply(QStringLiteral("lock tijden")), QStringLiteral("ok"));  // its locks went with it
    QCOMPARE(eva->reply(QStringLiteral("useronline jan")), QStringLiteral("err"));
}

void TestServer::hostileInput()
{
    auto a = client(QStringLiteral("jan"), QStringLiteral("jas"));
    QVERIFY(a);
    a->sendRaw(QByteArray("poll\0\x01\x02garbage\r\n", 17));
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("err"));
    a->sendRaw(QByteArray("\xff\xfe\xfd\x80\r\n"));  // bytes no command starts with
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("err"));
    a->sendRaw("\r\n");
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("err"));
    a->sendRaw("poll\nlock zonder_cr\n");  // LF alone ends a line too
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("ok"));
    QCOMPARE(a->readLine().value_or(QString()), QStringLiteral("ok"));
    QCOMPARE(a->reply(QStringLiteral("poll")), QStringLiteral("ok"));  // still answers

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
    b->close();  // mid-reply
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
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig \"echo\" \"nu\"")),
             QStringLiteral("job log echo gestart (jan)|job refresh|ok"));
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
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig traag \"\"")),
             QStringLiteral("job log traag gestart (jan)|job refresh|ok"));
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

    // The built-in source import runs off the loop and reports when done.
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig \"import 3\" \"Verversen van ANP\"")),
             QStringLiteral("job log Verversen van ANP gestart (jan)|job refresh|ok"));
    t.restart();
    seen.clear();
    while (t.elapsed() < 5000 && !seen.contains(QLatin1String("job refresh|ok|"))) {
        seen += a->reply(QStringLiteral("poll")) + QLatin1Char('|');
        QTest::qWait(20);
    }
    QVERIFY2(seen.contains(QLatin1String("job log Verversen van ANP mislukt: bron 3 bestaat niet|job refresh|ok|")),
             qPrintable(seen));
    QCOMPARE(a->reply(QStringLiteral("job new eenmalig \"onbekend\" \"\"")),
             QStringLiteral("job log onbekend: onbekende taak|err"));
    // Reload: the file is read again; a broken file keeps the old jobs.
    QCOMPARE(a->reply(QStringLiteral("job reload")),
             QStringLiteral("job refresh|job log taken opnieuw geladen door jan|ok"));
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
    // A free failure costs only the password hash, which a loaded machine
    // may stretch; it stays well below the doubled delay.
    QVERIFY2(took[2] < took[4] - 250 && took[3] >= 290 && took[4] >= 590,
             qPrintable(QString::number(took[2]) + " " + QString::number(took[3]) + " " + QString::number(took[4])));
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
    QTest::addColumn<QString>("ini");  // written to the file given with --config
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("message");  // expected in the output
    QTest::newRow("help") << QStringList{"--help"} << "" << 0 << "Usage: quillon-server";
    QTest::newRow("unknown option") << QStringList{"--verbose"} << "" << 64 << "unknown argument \"--verbose\"";
    QTest::newRow("missing file") << QStringList{"--config", "/nonexistent/q.ini"} << "" << 78
                                  << "bad configuration: /nonexistent/q.ini: cannot be read";
    QTest::newRow("bad value") << QStringList{"--config", "@"} << "[server]\nport = twee\n"
                               << 78 << "q.ini: line 2: port: not a port number (0-65535)";
    QTest::newRow("check a good file") << QStringList{"--check-config", "--config", "@"} << "[server]\nport = 2001\n"
                                       << 0 << "configuration is valid (0 jobs)";
    QTest::newRow("port in use") << QStringList{"--config", "@"} << "[server]\nlisten = 127.0.0.1\nport = PORT\n"
                                 << 69 << "cannot listen on 127.0.0.1:";
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

void TestServer::broadcastRelayIsChecked()
{
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto kees = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(jan && kees);
    kees->command(QStringLiteral("poll"));
    jan->command(QStringLiteral("poll"));
    // Lines only the server may say; a relayed "ok" would end kees's next
    // reply early and make every later one read one behind.
    for (const char *words : {"ok", "err", "down", "setuserid 1", "direct marieke kom", "eindredacteur on",
                              "users jan sinds 09:00|", "viewchanged cyclus", "agenda new 5;drop", "OK agenda"}) {
        jan->sendRaw(QByteArray("broadcast ") + words + "\r\n");
        QCOMPARE(jan->readLine().value_or(QString()), QStringLiteral("err"));
    }
    QCOMPARE(jan->reply(QStringLiteral("broadcast agenda  new 12")), QStringLiteral("ok"));
    QCOMPARE(jan->reply(QStringLiteral("broadcast viewchanged agenda")), QStringLiteral("ok"));
    QCOMPARE(jan->reply(QStringLiteral("lock agenda_12")), QStringLiteral("ok"));
    // kees gets the two announcements, and its lock is refused as it must be.
    QCOMPARE(kees->reply(QStringLiteral("lock agenda_12")),
             QStringLiteral("agenda new 12|viewchanged agenda|lockedby jan|err"));
    QTRY_VERIFY(m_server.log().contains(QLatin1String("broadcast from jan (127.0.1.")));
    answersFreshClient(m_server.port());
}

// A stored rubric is announced only by whoever may change rubrics: the
// holder of a final-editor role or an administrator. The right alone is not
// enough, and the refusal leaves the other clients' queues untouched.
void TestServer::rubricBroadcastNeedsTheRole()
{
    auto piet = client(QStringLiteral("piet"), QStringLiteral("pad"));
    auto kees = client(QStringLiteral("kees"), QStringLiteral("kat"));
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    QVERIFY(piet && kees && eva);
    kees->command(QStringLiteral("poll"));
    QCOMPARE(piet->reply(QStringLiteral("broadcast rubriek update 3")), QStringLiteral("err"));
    QCOMPARE(kees->reply(QStringLiteral("broadcast rubriek update 3")), QStringLiteral("err"));  // right, no role
    QCOMPARE(kees->reply(QStringLiteral("eindredacteur 7")), QStringLiteral("eindredacteur on|ok"));
    QCOMPARE(kees->reply(QStringLiteral("broadcast rubriek update x")), QStringLiteral("err"));
    QCOMPARE(kees->reply(QStringLiteral("broadcast rubriek  update 3")), QStringLiteral("ok"));
    QCOMPARE(eva->reply(QStringLiteral("broadcast rubriek remove 4")), QStringLiteral("rubriek update 3|ok"));
    QCOMPARE(piet->reply(QStringLiteral("poll")), QStringLiteral("rubriek update 3|rubriek remove 4|ok"));
    QTRY_VERIFY(m_server.log().contains(QLatin1String("needs the final-editor role")));
    answersFreshClient(m_server.port());
}

void TestServer::rosterSentOnChanges()
{
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    QVERIFY(eva);
    eva->command(QStringLiteral("poll"));
    auto rosterLines = [&] {
        QStringList users;
        for (const QString &l : eva->command(QStringLiteral("poll")))
            if (l.startsWith(QLatin1String("users ")))
                users << l;
        return users;
    };
    auto kees = client(QStringLiteral("kees"), QStringLiteral("kat"));
    QVERIFY(kees);
    QStringList seen = rosterLines();
    QVERIFY2(seen.size() == 1 && seen[0].contains(QLatin1String("kees sinds ")), qPrintable(seen.join('\n')));
    QCOMPARE(kees->reply(QStringLiteral("eindredacteur 41")), QStringLiteral("eindredacteur on|ok"));
    seen = rosterLines();
    QVERIFY2(seen.size() == 1 && seen[0].contains(QLatin1String(", eindredacteur redactie 41|")),
             qPrintable(seen.join('\n')));
    kees->close();
    waitOffline(QStringLiteral("kees"));
    seen = rosterLines();
    QVERIFY2(!seen.isEmpty() && !seen.last().contains(QLatin1String("kees")), qPrintable(seen.join('\n')));
}

void TestServer::loginAnswerTimeIndependentOfPassword()
{
    // The test server slows failures down with 300 ms after three.
    const QString attacker = QStringLiteral("127.0.3.1");
    QElapsedTimer t;
    // Guesses whose answers are not waited for count all the same.
    for (int i = 0; i < 3; ++i) {
        LineClient c(m_server.port(), attacker);
        c.sendRaw("auth gast fout\r\n");
        c.close();
        QTest::qWait(150);
    }
    // The right password now waits as long as a wrong one would: giving up
    // early tells nothing.
    LineClient right(m_server.port(), attacker);
    t.start();
    QCOMPARE(right.reply(QStringLiteral("auth gast gans")), QStringLiteral("setuserid 7|ok"));
    QVERIFY2(t.elapsed() >= 290, qPrintable(QString::number(t.elapsed())));

    // One check per address at a time: a second one meanwhile is refused at once.
    LineClient first(m_server.port(), attacker);
    LineClient second(m_server.port(), attacker);
    first.sendRaw("auth bob fout\r\n");
    QTest::qWait(50);
    t.start();
    QCOMPARE(second.reply(QStringLiteral("auth bob bever")), QStringLiteral("err"));
    QVERIFY2(t.elapsed() < 150, qPrintable(QString::number(t.elapsed())));
    QCOMPARE(first.readLine(3000).value_or(QString()), QStringLiteral("err"));

    // Failures for one name from many addresses slow that name down too.
    for (int i = 2; i <= 4; ++i) {
        LineClient c(m_server.port(), QStringLiteral("127.0.3.%1").arg(i));
        QCOMPARE(c.reply(QStringLiteral("auth bob fout")), QStringLiteral("err"));
    }
    LineClient elsewhere(m_server.port(), QStringLiteral("127.0.3.9"));
    t.start();
    QCOMPARE(elsewhere.reply(QStringLiteral("auth bob bever")), QStringLiteral("setuserid 8|ok"));
    QVERIFY2(t.elapsed() >= 290, qPrintable(QString::number(t.elapsed())));
    answersFreshClient(m_server.port());
}

void TestServer::silentSessionEnds()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QStringLiteral("silent_timeout = 0.5\n")), qPrintable(s.error()));
    auto frozen = std::make_unique<LineClient>(s.port());
    QVERIFY(frozen->login(QStringLiteral("jan"), QStringLiteral("jas")));
    QCOMPARE(frozen->reply(QStringLiteral("lock agenda_5")), QStringLiteral("ok"));
    // jan's client stops (not closed); kees keeps polling as clients do.
    LineClient kees(s.port());
    QVERIFY(kees.login(QStringLiteral("kees"), QStringLiteral("kat")));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 1200) {
        QCOMPARE(kees.reply(QStringLiteral("poll")), QStringLiteral("ok"));
        QTest::qWait(100);
    }
    QVERIFY(frozen->waitClosed(500));
    QCOMPARE(kees.reply(QStringLiteral("lock agenda_5")), QStringLiteral("ok"));
    LineClient again(s.port());
    QVERIFY(again.login(QStringLiteral("jan"), QStringLiteral("jas")));
    answersFreshClient(s.port());
}

void TestServer::connectionLimits()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QStringLiteral("max_connections = 2\nmax_unauthenticated = 5\n"
                                                "max_connections_per_address = 3\nhandshake_timeout = 0.8\n"
                                                "login_timeout = 1.6\n")),
             qPrintable(s.error()));
    // Not logged in: a fourth from one address takes the place of its oldest,
    // a sixth from anywhere that of the oldest of all.
    std::vector<std::unique_ptr<LineClient>> held;
    for (int i = 0; i < 4; ++i)
        held.push_back(std::make_unique<LineClient>(s.port(), QStringLiteral("127.0.4.1")));
    QVERIFY(held[0]->waitClosed(1000));
    for (int i = 2; i <= 4; ++i)
        held.push_back(std::make_unique<LineClient>(s.port(), QStringLiteral("127.0.4.%1").arg(i)));
    QVERIFY(held[1]->waitClosed(1000));
    for (std::size_t i = 2; i < held.size(); ++i)
        QCOMPARE(held[i]->reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
    // Editors have slots of their own, max_connections of them.
    LineClient jan(s.port(), QStringLiteral("127.0.4.1"));
    QVERIFY(jan.login(QStringLiteral("jan"), QStringLiteral("jas")));
    LineClient kees(s.port(), QStringLiteral("127.0.4.1"));
    QVERIFY(kees.login(QStringLiteral("kees"), QStringLiteral("kat")));
    LineClient piet(s.port(), QStringLiteral("127.0.4.5"));
    QCOMPARE(piet.reply(QStringLiteral("auth piet pad")), QStringLiteral("err"));
    // A connect that says nothing goes after handshake_timeout; one that
    // passed "checkversion" may take login_timeout (an editor typing).
    LineClient mute(s.port(), QStringLiteral("127.0.4.6"));
    LineClient typing(s.port(), QStringLiteral("127.0.4.6"));
    QCOMPARE(typing.reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
    QVERIFY(mute.waitClosed(1500));
    QVERIFY(!typing.waitClosed(200));
    QVERIFY(typing.waitClosed(1500));
    QCOMPARE(jan.reply(QStringLiteral("poll")), QStringLiteral("ok"));
    const QString log = s.log();
    QVERIFY(log.contains(QLatin1String("closed for a newer one: max_connections_per_address (3) reached")));
    QVERIFY(log.contains(QLatin1String("closed for a newer one: max_unauthenticated (5) reached")));
    QVERIFY(log.contains(QLatin1String("piet refused, max_connections (2) editors are logged in")));
    QVERIFY(log.contains(QLatin1String("dropped: no \"checkversion\" within 0.8 s")));
    QVERIFY(log.contains(QLatin1String("dropped: no log-in within 1.6 s")));
    answersFreshClient(s.port());
}

// Sixteen addresses holding every slot they can, with the default limits:
// nobody who logs in is shut out, nor an editor already logged in, nor an
// office whose editors share one address with connections that never log in.
void TestServer::slotsHeldWithoutLogIn()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get()), qPrintable(s.error()));
    LineClient jan(s.port(), QStringLiteral("127.0.6.200"));
    QVERIFY(jan.login(QStringLiteral("jan"), QStringLiteral("jas")));
    // How long a log-in takes here without a siege (the password hash).
    QElapsedTimer t;
    t.start();
    LineClient quiet(s.port(), QStringLiteral("127.0.6.201"));
    QVERIFY(quiet.login(QStringLiteral("gast"), QStringLiteral("gans")));
    const qint64 unloaded = t.elapsed();
    std::vector<std::unique_ptr<RawSocket>> siege;
    for (int a = 1; a <= 16; ++a)
        for (int i = 0; i < 32; ++i)
            siege.push_back(std::make_unique<RawSocket>(s.port(), QStringLiteral("127.0.6.%1").arg(a)));
    QTest::qWait(200);
    t.start();
    LineClient fresh(s.port(), QStringLiteral("127.0.6.100"));
    QVERIFY(fresh.login(QStringLiteral("lies"), QStringLiteral("luis")));
    QVERIFY2(t.elapsed() < 2 * unloaded + 300, qPrintable(QStringLiteral("%1 ms, unloaded %2 ms")
                                                             .arg(t.elapsed())
                                                             .arg(unloaded)));
    QCOMPARE(jan.reply(QStringLiteral("poll")), QStringLiteral("ok"));
    // The office: 32 connections that never log in, then an editor, from one address.
    for (int i = 0; i < 32; ++i)
        siege.push_back(std::make_unique<RawSocket>(s.port(), QStringLiteral("127.0.6.50")));
    QTest::qWait(100);
    LineClient office(s.port(), QStringLiteral("127.0.6.50"));
    QVERIFY(office.login(QStringLiteral("kees"), QStringLiteral("kat")));
    int open = 0;
    for (auto &r : siege)
        open += r->open() ? 1 : 0;
    QVERIFY2(open <= 64, qPrintable(QString::number(open)));
    QVERIFY(jan.login(QStringLiteral("jan"), QStringLiteral("jas")));
    answersFreshClient(s.port());
}

// Clients that send commands and never read their replies: the server
// stops reading them instead of holding their replies.
void TestServer::unreadRepliesHaveACeiling()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get()), qPrintable(s.error()));
    QTest::qWait(200);
    const qint64 before = memoryOf(s.pid(), "VmRSS:");
    QVERIFY(before > 0);
    std::vector<std::unique_ptr<RawSocket>> siege;
    for (int a = 1; a <= 8; ++a)
        for (int i = 0; i < 4; ++i)
            siege.push_back(std::make_unique<RawSocket>(s.port(), QStringLiteral("127.0.9.%1").arg(a), 4096));
    // Empty lines: each is answered "err", four bytes for one.
    const QByteArray lines(64 * 1024, '\n');
    qint64 sent = 0;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 3000) {
        qint64 round = 0;
        for (auto &r : siege)
            round += r->sendSome(lines);
        sent += round;
        if (round == 0)
            QTest::qWait(10);
    }
    QTest::qWait(200);
    const qint64 peak = memoryOf(s.pid(), "VmHWM:");
    qInfo("%lld kB sent, server memory %lld kB, peak %lld kB", sent / 1024, before, peak);
    QVERIFY2(peak - before < 4 * 1024, qPrintable(QStringLiteral("%1 kB sent, memory %2 kB -> peak %3 kB")
                                                         .arg(sent / 1024)
                                                         .arg(before)
                                                         .arg(peak)));
    LineClient fresh(s.port(), QStringLiteral("127.0.9.100"));
    QVERIFY(fresh.login(QStringLiteral("lies"), QStringLiteral("luis")));
}

// An editor who mistyped too often is told so and how long, not just
// refused; once the time has passed the right password lets him in, and an
// administrator can lift the lock-out before that.
void TestServer::lockOutSaysWhyAndEnds()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QStringLiteral("login_delay_ms = 10\nlockout_failures = 3\nlockout_time = 2\n")),
             qPrintable(s.error()));
    const QString locked = QStringLiteral("chat te veel mislukte pogingen; probeer het over 1 minuut opnieuw|err");
    LineClient eva(s.port(), QStringLiteral("127.0.8.4"));
    QVERIFY(eva.login(QStringLiteral("eva"), QStringLiteral("egel")));
    LineClient gast(s.port(), QStringLiteral("127.0.8.1"));
    QCOMPARE(gast.reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(gast.reply(QStringLiteral("auth gast fout")), QStringLiteral("err"));
    QElapsedTimer t;
    t.start();
    QCOMPARE(gast.command(QStringLiteral("auth gast gans")).join('|'), locked);
    // From another address too: the name is locked, wherever it comes from.
    LineClient elsewhere(s.port(), QStringLiteral("127.0.8.3"));
    QCOMPARE(elsewhere.command(QStringLiteral("auth gast gans")).join('|'), locked);
    QVERIFY2(t.elapsed() < 1000, qPrintable(QString::number(t.elapsed())));  // refused without a password check
    // gast waits the lock-out out, and the right password lets him in.
    QTest::qWait(std::max(0, 2100 - int(t.elapsed())));
    QCOMPARE(gast.reply(QStringLiteral("auth gast gans")), QStringLiteral("setuserid 7|ok"));

    // Lifted by an administrator: piet's name and the address he failed from.
    LineClient piet(s.port(), QStringLiteral("127.0.8.2"));
    QCOMPARE(piet.reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
    for (int i = 0; i < 3; ++i)
        QCOMPARE(piet.reply(QStringLiteral("auth piet fout")), QStringLiteral("err"));
    QCOMPARE(piet.command(QStringLiteral("auth piet pad")).join('|'), locked);
    QCOMPARE(gast.reply(QStringLiteral("ontgrendel piet")), QStringLiteral("err"));
    QCOMPARE(eva.reply(QStringLiteral("ontgrendel PIET")), QStringLiteral("ok"));
    QCOMPARE(piet.reply(QStringLiteral("auth piet pad")), QStringLiteral("setuserid 3|ok"));
    QVERIFY(s.log().contains(QLatin1String("eva lifts the log-in lock-out of PIET")));
    answersFreshClient(s.port());
}

// Twenty addresses guessing one name at once, one guess in flight each,
// 80 guesses: the name is checked a few guesses at a time and then one at a
// time, so the right password at position 11 is never checked, and another
// editor's log-in goes ahead of the guesses.
void TestServer::guessingFromManyAddresses()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QStringLiteral("login_delay_ms = 300\n")), qPrintable(s.error()));
    QElapsedTimer t;
    t.start();
    {
        LineClient quiet(s.port(), QStringLiteral("127.0.10.101"));
        QVERIFY(quiet.login(QStringLiteral("gast"), QStringLiteral("gans")));
    }
    const qint64 unloaded = t.elapsed();
    QStringList guesses;
    for (int i = 0; i < 80; ++i)
        guesses << (i == 10 ? QStringLiteral("bever") : QStringLiteral("raad%1").arg(i));
    struct Guesser {
        std::unique_ptr<RawSocket> socket;
        bool waiting = false;
    };
    std::vector<Guesser> guessers;
    for (int a = 1; a <= 20; ++a)
        guessers.push_back({std::make_unique<RawSocket>(s.port(), QStringLiteral("127.0.10.%1").arg(a)), false});
    int next = 0, answered = 0;
    bool found = false;
    qint64 freshTook = -1;
    t.start();
    while (t.elapsed() < 30000 && !found && answered < guesses.size()) {
        for (Guesser &g : guessers) {
            if (!g.waiting && next < guesses.size()) {
                g.socket->sendSome("auth bob " + guesses[next++].toLatin1() + "\r\n");
                g.waiting = true;
            }
            while (const auto line = g.socket->takeLine()) {
                found = found || line->startsWith("setuserid");
                if (*line == "ok" || *line == "err") {
                    g.waiting = false;
                    ++answered;
                }
            }
        }
        if (freshTook < 0 && t.elapsed() > 100) {
            QElapsedTimer f;
            f.start();
            LineClient fresh(s.port(), QStringLiteral("127.0.10.100"));
            QVERIFY(fresh.login(QStringLiteral("lies"), QStringLiteral("luis")));
            freshTook = f.elapsed();
        }
        std::vector<pollfd> fds;
        for (Guesser &g : guessers)
            fds.push_back({g.socket->fd(), POLLIN, 0});
        ::poll(fds.data(), fds.size(), 20);
    }
    QVERIFY2(!found, qPrintable(QStringLiteral("found after %1 ms, %2 answers").arg(t.elapsed()).arg(answered)));
    QCOMPARE(answered, int(guesses.size()));
    // At most the checks already on the database workers are ahead of it.
    QVERIFY2(freshTook < 2 * unloaded + 300,
             qPrintable(QStringLiteral("%1 ms, unloaded %2 ms").arg(freshTook).arg(unloaded)));
    answersFreshClient(s.port());
}

// Lines anybody can provoke without a log-in stay few: bare connects that
// close at once, and log-ins while the database is down.
void TestServer::bareConnectsAndDatabaseDownLogLittle()
{
    ServerProcess s;
    QVERIFY2(s.start(nullptr), qPrintable(s.error()));
    for (int i = 0; i < 300; ++i)
        RawSocket(s.port(), QStringLiteral("127.0.11.%1").arg(1 + i % 10));
    for (int i = 0; i < 30; ++i) {
        LineClient c(s.port(), QStringLiteral("127.0.11.%1").arg(20 + i % 10));
        QCOMPARE(c.reply(QStringLiteral("auth jan jas")), QStringLiteral("err"));
    }
    QTest::qWait(300);
    const QString log = s.log();
    QVERIFY2(log.count(QLatin1String("closed by client")) <= 10, qPrintable(log.right(2000)));
    QVERIFY2(log.count(QLatin1String("user lookup failed")) <= 5, qPrintable(log.right(2000)));
    QVERIFY2(log.size() < 8000, qPrintable(QString::number(log.size())));
    answersFreshClient(s.port());
}

void TestServer::descriptorsRunOut()
{
    ServerProcess s;
    s.setOpenFileLimit(64);
    QVERIFY2(s.start(nullptr), qPrintable(s.error()));
    // More clients than the server has descriptors for: each is served or
    // refused at once; none hangs unanswered in the queue.
    std::vector<std::unique_ptr<LineClient>> clients;
    for (int i = 0; i < 80; ++i)
        clients.push_back(std::make_unique<LineClient>(s.port(), QStringLiteral("127.0.5.%1").arg(1 + i % 20)));
    int served = 0, refused = 0;
    for (auto &c : clients) {
        const QStringList r = c->command(QStringLiteral("checkversion 1"), 2000);
        if (r == QStringList{QStringLiteral("ok")})
            ++served;
        else if (r == QStringList{QStringLiteral("<closed>")})
            ++refused;
        else
            QFAIL(qPrintable(r.join('|')));
    }
    QVERIFY2(served > 0 && refused > 0, qPrintable(QStringLiteral("%1 served, %2 refused").arg(served).arg(refused)));
    QVERIFY(s.log().count(QLatin1String("accept failed")) < 5);
    QVERIFY(s.log().count(QLatin1String("refused")) < 30);
    clients.clear();
    QTest::qWait(300);
    answersFreshClient(s.port());
}

void TestServer::logStaysSmall()
{
    ServerProcess s;
    QVERIFY2(s.start(nullptr, QStringLiteral("max_line_length = 100000\n")), qPrintable(s.error()));
    LineClient c(s.port());
    const QByteArray version = "checkversion " + QByteArray(60000, 'x') + "\r\n";
    for (int i = 0; i < 100; ++i)
        c.sendRaw(version);
    for (int i = 0; i < 100; ++i)
        QCOMPARE(c.readLine().value_or(QString()), QStringLiteral("err"));
    const QString log = s.log();
    QVERIFY2(log.size() < 20000, qPrintable(QString::number(log.size())));
    QVERIFY(log.count(QLatin1String("refused (minimum")) <= 5);
    answersFreshClient(s.port());
}

void TestServer::queueBoundsAndLockLimits()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QStringLiteral("queue_limit = 100\nqueue_bytes = 20000\nmax_locks = 3\n"
                                                "max_lock_name = 16\n")),
             qPrintable(s.error()));
    LineClient jan(s.port());
    LineClient kees(s.port());
    QVERIFY(jan.login(QStringLiteral("jan"), QStringLiteral("jas")));
    QVERIFY(kees.login(QStringLiteral("kees"), QStringLiteral("kat")));
    jan.command(QStringLiteral("poll"));
    // jan falls behind: 90 row changes and 30 long messages.
    for (int i = 0; i < 90; ++i)
        kees.sendRaw("broadcast agenda update " + QByteArray::number(i) + "\r\n");
    for (int i = 0; i < 30; ++i)
        kees.sendRaw("direct jan " + QByteArray(1000, 'x') + "\r\n");
    for (int i = 0; i < 120; ++i)
        QCOMPARE(kees.readLine().value_or(QString()), QStringLiteral("ok"));
    const QStringList reply = jan.command(QStringLiteral("poll"));
    QCOMPARE(reply.last(), QStringLiteral("ok"));
    // Nothing is missed: every row is in the reply, folded or as sent.
    for (int i = 0; i < 90; ++i)
        QVERIFY2(reply.contains(QStringLiteral("agenda update %1").arg(i)), qPrintable(QString::number(i)));
    QVERIFY(reply.filter(QRegularExpression(QStringLiteral("^chat \\d+ berichten gemist"))).size() == 1);
    QVERIFY(reply.join('\n').size() < 20000 + 90 * 24);

    QCOMPARE(kees.reply(QStringLiteral("lock ") + QString(17, QLatin1Char('n'))), QStringLiteral("err"));
    for (const char *name : {"agenda_1", "agenda_2", "agenda_3"})
        QCOMPARE(kees.reply(QStringLiteral("lock ") + QLatin1String(name)), QStringLiteral("ok"));
    QCOMPARE(kees.reply(QStringLiteral("lock agenda_4")), QStringLiteral("err"));
    QCOMPARE(kees.reply(QStringLiteral("lock agenda_3")), QStringLiteral("ok"));  // held already
    QCOMPARE(kees.reply(QStringLiteral("unlock agenda_3")), QStringLiteral("ok"));
    QCOMPARE(kees.reply(QStringLiteral("lock agenda_4")), QStringLiteral("ok"));
    answersFreshClient(s.port());
}

void TestServer::bigReplyDoesNotStallOthers()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get()), qPrintable(s.error()));
    LineClient jan(s.port());
    LineClient kees(s.port());
    QVERIFY(jan.login(QStringLiteral("jan"), QStringLiteral("jas")));
    QVERIFY(kees.login(QStringLiteral("kees"), QStringLiteral("kat")));
    jan.command(QStringLiteral("poll"));
    for (int i = 0; i < 40; ++i)
        kees.sendRaw("direct jan " + QByteArray(60000, 'x') + "\r\n");
    for (int i = 0; i < 40; ++i)
        QCOMPARE(kees.readLine().value_or(QString()), QStringLiteral("ok"));
    // jan asks for its whole queue and reads nothing for a while.
    jan.sendRaw("poll\r\n");
    LineClient other(s.port());
    QElapsedTimer t;
    t.start();
    QCOMPARE(other.reply(QStringLiteral("checkversion 1")), QStringLiteral("ok"));
    QVERIFY2(t.elapsed() < 50, qPrintable(QString::number(t.elapsed())));
    // The reply is bounded by the queue (1 MiB by default), not by what was sent.
    qsizetype bytes = 0;
    QString last;
    while (const auto l = jan.readLine()) {
        bytes += l->size() + 1;
        last = *l;
        if (last == QLatin1String("ok"))
            break;
    }
    QCOMPARE(last, QStringLiteral("ok"));
    QVERIFY2(bytes < 1100 * 1024, qPrintable(QString::number(bytes)));
    answersFreshClient(s.port());
}

void TestServer::databaseConnectionsReconnect()
{
    // A database restart drops every pooled connection; the server notices
    // and the next log-ins succeed instead of failing once per connection.
    for (int i = 0; i < 2; ++i)
        QVERIFY(client(QStringLiteral("lies"), QStringLiteral("luis")));
    const auto gone = m_db->query(QStringLiteral("select pg_terminate_backend(pid) from pg_stat_activity "
                                                 "where application_name = 'quillon-server' "
                                                 "and datname = current_database()"));
    QVERIFY2(!gone.isEmpty(), qPrintable(m_db->lastError()));
    for (int i = 0; i < 4; ++i) {
        auto c = client();
        QCOMPARE(c->reply(QStringLiteral("auth lies luis")), QStringLiteral("setuserid 6|ok"));
    }
    answersFreshClient(m_server.port());
}

void TestServer::databaseDownIsSaid_data()
{
    QTest::addColumn<bool>("frozen");  // a database that accepts connections and never answers
    QTest::newRow("nothing listens") << false;
    QTest::newRow("frozen") << true;
}

void TestServer::databaseDownIsSaid()
{
    QFETCH(bool, frozen);
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    ServerProcess s;
    const QString database =
        frozen ? QStringLiteral("[database]\nport = %1\nconnect_timeout = 2\n").arg(silent.serverPort()) : QString();
    QVERIFY2(s.start(nullptr, QString(), database), qPrintable(s.error()));
    LineClient c(s.port());
    QElapsedTimer t;
    t.start();
    const QStringList reply = c.command(QStringLiteral("auth jan jas"), 4000);
    QCOMPARE(reply.join('|'),
             QStringLiteral("chat De database van de server antwoordt niet; probeer het later opnieuw|err"));
    QVERIFY(t.elapsed() < 3500);
    answersFreshClient(s.port());
}

void TestServer::statementTimeLimit()
{
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QString(), QStringLiteral("[database]\nstatement_timeout = 0.5\n")),
             qPrintable(s.error()));
    // Another session holds tbluser, so the user lookup cannot finish.
    const auto &pg = m_db->server();
    PGconn *blocker =
        PQconnectdb(testsupport::conninfo(pg, m_db->name(), pg.superuser, pg.superpass).toUtf8().constData());
    QVERIFY(PQstatus(blocker) == CONNECTION_OK);
    PQclear(PQexec(blocker, "begin; lock table tbluser in access exclusive mode"));
    LineClient c(s.port());
    QElapsedTimer t;
    t.start();
    QCOMPARE(c.command(QStringLiteral("auth jan jas"), 4000).join('|'),
             QStringLiteral("chat De database van de server antwoordt niet; probeer het later opnieuw|err"));
    QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed())));
    PQclear(PQexec(blocker, "rollback"));
    PQfinish(blocker);
    QCOMPARE(c.reply(QStringLiteral("auth jan jas")), QStringLiteral("setuserid 2|ok"));
    answersFreshClient(s.port());
}

void TestServer::tlsLogin()
{
    QTemporaryDir certs, otherCa;
    const QString made = testsupport::MakeCertificates(certs.path());
    QVERIFY2(made.isEmpty(), qPrintable(made));
    QVERIFY(testsupport::MakeCertificates(otherCa.path()).isEmpty());
    ServerProcess s;
    QVERIFY2(s.start(m_db.get(), QString(),
                     QStringLiteral("[tls]\ncertificate = %1/server.pem\nkey = %1/server.key\n").arg(certs.path())),
             qPrintable(s.error()));

    // The client's socket: TLS, verified against the configured CA.
    platform::TcpSocket tls;
    tls.setTls({true, certs.filePath(QStringLiteral("ca.pem")), QString()});
    QString error;
    QVERIFY2(tls.connect(QStringLiteral("127.0.0.1"), s.port(), 5000, &error), qPrintable(error));
    QVERIFY(tls.encrypted());
    const QByteArray auth = "auth jan jas\r\n";
    QVERIFY(tls.writeAll(auth.constData(), std::size_t(auth.size()), &error));
    QByteArray got;
    char buf[256];
    while (!got.endsWith("ok\n") && !got.endsWith("err\n")) {
        const auto r = tls.readSome(buf, sizeof buf, 5000);
        QVERIFY2(r.status == platform::TcpSocket::ReadStatus::Data, qPrintable(tls.errorString()));
        got.append(buf, qsizetype(r.count));
    }
    QCOMPARE(got, QByteArray("setuserid 2\nok\n"));

    // A server whose certificate the configured CA did not sign is refused.
    platform::TcpSocket wrongCa;
    wrongCa.setTls({true, otherCa.filePath(QStringLiteral("ca.pem")), QString()});
    QVERIFY(!wrongCa.connect(QStringLiteral("127.0.0.1"), s.port(), 5000, &error));
    QVERIFY(!wrongCa.isOpen());

    // Plain TCP stays possible on the same port, and each such log-in is logged.
    LineClient plain(s.port());
    QVERIFY(plain.login(QStringLiteral("kees"), QStringLiteral("kat")));
    QTRY_VERIFY(s.log().contains(QLatin1String(": kees logged in over plain TCP")));
    QVERIFY(s.log().contains(QLatin1String(": jan logged in\n")));
    QVERIFY(s.log().contains(QLatin1String("(TLS and plain TCP)")));
    answersFreshClient(s.port());

    // A killed server is noticed on a TLS link even when the event loop saw
    // the close first (as the client's does between polls): the socket stays
    // open until a read finds the end, so the end is reported, not skipped.
    s.kill();
    QTest::qWait(300);
    QVERIFY(tls.isOpen());
    const auto r = tls.readSome(buf, sizeof buf, 5000);
    QCOMPARE(int(r.status), int(platform::TcpSocket::ReadStatus::Closed));
    QVERIFY(!tls.isOpen());
    const QByteArray poll = "poll\r\n";
    QVERIFY(!tls.writeAll(poll.constData(), std::size_t(poll.size()), &error));
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
