// The server link against a scripted server on the other end of a socket
// pair: the replies are written in advance, and what the client wrote is
// compared byte for byte afterwards.

#include "core/Global.h"
#include "core/Locks.h"
#include "core/ServerLink.h"
#include "support/ScriptedDialogs.h"

#include <QtTest>

#include <fcntl.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

using namespace core;
using platform::BoxType;

namespace {

// Records what the messages do, one line per effect.
class Recorder : public TLinkClient {
public:
    QStringList events;
    QStringList log;
    int left = 1, right = 1;
    bool handOverAnswer = true;
    QString throwFor;  // a kind whose frame throws
    std::function<void()> onHandOver;  // runs inside the hand-over question

    void showStatusLine(const QString &text) override { events << "status " + text; }
    void logStatus(const QString &text) override { log << text; }
    void announce(const QString &sender, const QString &text) override
    {
        events << "announce " + sender + " | " + text;
    }
    bool askHandOver(const QString &name) override
    {
        events << "ask " + name;
        if (onHandOver)
            onHandOver();
        return handOverAnswer;
    }
    void rosterChanged(const QStringList &items) override { events << "roster " + items.join(","); }
    void finalEditorChanged() override { events << "finaleditor"; }
    void serverDown(const QString &sender, const QString &text) override { events << "down " + sender + " | " + text; }
    void connectionLost() override { events << "lost"; }
    int leftTab() const override { return left; }
    int rightTab() const override { return right; }
    void frameMessage(PanelSide side, const QString &kind, const QString &argument) override
    {
        if (kind == throwFor)
            throw std::runtime_error("rij 3 bestaat niet");
        events << QString(side == PanelSide::Left ? "left " : "right ") + kind + " " + argument;
    }
    void refreshPanel(PanelSide side) override
    {
        events << QString(side == PanelSide::Left ? "refresh left" : "refresh right");
    }
};

// The server end of a socket pair.
struct Fixture {
    TProgramState own;
    TProgramState &state;
    Recorder client;
    TServerLink link{state, client};
    int server = -1;

    explicit Fixture(TProgramState *shared = nullptr) : state(shared ? *shared : own)
    {
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) {
            link.adopt(fds[0]);
            server = fds[1];
            fcntl(server, F_SETFL, O_NONBLOCK);
        }
        link.setReadTimeout(1);
    }
    ~Fixture()
    {
        if (server >= 0)
            ::close(server);
    }
    // A new connection in place of the old one (logging in again).
    void reconnect()
    {
        if (server >= 0)
            ::close(server);
        int fds[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) == 0) {
            link.adopt(fds[0]);
            server = fds[1];
            fcntl(server, F_SETFL, O_NONBLOCK);
        }
    }
    void reply(const QByteArray &bytes) const
    {
        QVERIFY(::write(server, bytes.constData(), bytes.size()) == bytes.size());
    }
    // Everything the client wrote so far.
    QByteArray written() const
    {
        QByteArray all;
        char buf[4096];
        for (ssize_t n; (n = ::read(server, buf, sizeof buf)) > 0;)
            all.append(buf, n);
        return all;
    }
};

}  // namespace

class TestServerLink : public QObject {
    Q_OBJECT
private slots:
    void finalLine_data();
    void finalLine();
    void pollHandsListLinesToTheFrames();
    void listMessageRouting_data();
    void listMessageRouting();
    void cycleRefresh_data();
    void cycleRefresh();
    void registeredHandlers();
    void roster_data();
    void roster();
    void roleHolder_data();
    void roleHolder();
    void commandLogIsWrittenExceptForPolls();
    void down();
    void finalEditorMessages_data();
    void finalEditorMessages();
    void nestedCommandGetsItsOwnReply();
    void secondRequestWhileAskingIsIgnored();
    void versionWindowDropsPolledBroadcasts();
    void readTimeouts_data();
    void readTimeouts();
    void closedConnectionEndsTheRead();
    void keptSessionSurvivesALostConnection();
    void frameErrorIsReportedAndTheReplyReadOn();
    void resultAndUserId();
    void lineBreaksInACommandAreNotSent();
    void requestLock_data();
    void requestLock();
};

void TestServerLink::finalLine_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok in capitals") << QByteArray("OK\r\n") << true;
    QTest::newRow("ok lower case") << QByteArray("ok\n") << true;
    QTest::newRow("ok with words after it") << QByteArray("Ok done\r\n") << true;
    QTest::newRow("err") << QByteArray("err\n") << false;
    QTest::newRow("err mixed case with reason") << QByteArray("eRR no such user\n") << false;
    QTest::newRow("blank line counts as ok") << QByteArray("   \r\n") << true;
    QTest::newRow("okay is no final line") << QByteArray("okay\nerr\n") << false;
    QTest::newRow("leading control characters") << QByteArray("\t\x01ok\n") << true;
}

void TestServerLink::finalLine()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    Fixture f;
    f.reply(reply);
    QCOMPARE(f.link.SendCommand("checkversion 1.3.4.1"), ok);
    QCOMPARE(f.written(), QByteArray("checkversion 1.3.4.1\r\n"));
}

void TestServerLink::pollHandsListLinesToTheFrames()
{
    Fixture f;
    f.client.left = 1;  // agenda | production list
    f.client.right = 1;
    f.reply("agenda update 7\r\ntodo remove 3\r\nok\r\n");
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(f.written(), QByteArray("poll\r\n"));
    QCOMPARE(f.client.events, QStringList({"left agenda update 7", "right todo remove 3"}));
    QVERIFY(f.client.log.isEmpty());
}

void TestServerLink::listMessageRouting_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("tab");
    QTest::addColumn<int>("side");
    QTest::newRow("agenda beside the sources") << "agenda" << 0 << int(PanelSide::Right);
    QTest::newRow("agenda on the left") << "agenda" << 1 << int(PanelSide::Left);
    QTest::newRow("agenda not shown") << "agenda" << 2 << int(PanelSide::None);
    QTest::newRow("todo on the right") << "todo" << 1 << int(PanelSide::Right);
    QTest::newRow("todo on the left") << "todo" << 2 << int(PanelSide::Left);
    QTest::newRow("klaar on the right") << "klaar" << 2 << int(PanelSide::Right);
    QTest::newRow("klaar on the left") << "klaar" << 3 << int(PanelSide::Left);
    QTest::newRow("klaar not shown") << "klaar" << 4 << int(PanelSide::None);
    QTest::newRow("unknown kind") << "bronnen" << 0 << int(PanelSide::None);
}

void TestServerLink::listMessageRouting()
{
    QFETCH(QString, kind);
    QFETCH(int, tab);
    QFETCH(int, side);
    QCOMPARE(int(RouteListMessage(kind, tab, tab)), side);
}

void TestServerLink::cycleRefresh_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("programme on the left") << QByteArray("viewchanged cyclus") << 4 << QStringList({"refresh left"});
    QTest::newRow("programme on the right") << QByteArray("viewchanged cyclus") << 3 << QStringList({"refresh right"});
    QTest::newRow("no programme shown") << QByteArray("viewchanged cyclus") << 1 << QStringList();
    QTest::newRow("other view ignored") << QByteArray("viewchanged agenda") << 4 << QStringList();
    QTest::newRow("view name ends at a non-letter")
        << QByteArray("viewchanged cyclus2") << 4 << QStringList({"refresh left"});
}

void TestServerLink::cycleRefresh()
{
    QFETCH(QByteArray, line);
    QFETCH(int, tab);
    QFETCH(QStringList, events);
    Fixture f;
    f.client.left = f.client.right = tab;
    f.reply(line + "\nok\n");
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(f.client.events, events);
}

void TestServerLink::registeredHandlers()
{
    Fixture f;
    QStringList got;
    for (const char *kind : {"publish", "bronadd", "job"})
        f.link.setHandler(kind, [&got, kind](const QString &arg) { got << QString(kind) + ": " + arg; });
    f.reply("publish 3 van 5\nbronadd nieuw bericht\njob name import 2\nok\n");
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(got, QStringList({"publish: 3 van 5", "bronadd: nieuw bericht", "job: name import 2"}));
    QCOMPARE(f.client.log, QStringList({"nieuw bericht"}));  // bronadd also goes to the log window

    // Without handlers the lines are dropped; bronadd still reaches the log.
    got.clear();
    f.client.log.clear();
    for (const char *kind : {"publish", "bronadd", "job"})
        f.link.setHandler(kind, {});
    f.reply("publish klaar\nbronadd nog een\njob log x\nok\n");
    QVERIFY(f.link.SendCommand("poll"));
    QVERIFY(got.isEmpty());
    QCOMPARE(f.client.log, QStringList({"nog een"}));
}

void TestServerLink::roster_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("administrator");
    QTest::addColumn<QString>("roster");
    QTest::newRow("two entries") << QByteArray("users joost   Nieuws|sanne Sport 12:00|") << false
                                 << "roster joost Nieuws,sanne Sport 12:00";
    QTest::newRow("administrator gets all") << QByteArray("users joost x|") << true << "roster joost x,all";
    QTest::newRow("name stops at a non-letter") << QByteArray("users piet2 x|") << false << "roster piet 2 x";
    QTest::newRow("last entry without bar") << QByteArray("users joost a|daan b") << false << "roster joost a,daan b";
    QTest::newRow("empty roster") << QByteArray("users") << false << "roster ";
}

void TestServerLink::roster()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, administrator);
    QFETCH(QString, roster);
    Fixture f;
    f.state.administrator = administrator;
    f.reply(line + "\nok\n");
    QVERIFY(f.link.SendCommand("userlijst"));
    QCOMPARE(f.client.events, QStringList({roster}));
}

// Who holds a team's role by the server's roster: the team id is a whole word.
void TestServerLink::roleHolder_data()
{
    QTest::addColumn<QString>("users");  // the argument of a "users" line
    QTest::addColumn<int>("team");
    QTest::addColumn<QString>("holder");
    QTest::newRow("holder of the team") << "joost sinds 09:00|sanne sinds 09:41, eindredacteur redactie 7|" << 7
                                        << "sanne";
    QTest::newRow("another team's holder") << "sanne sinds 09:41, eindredacteur redactie 12|" << 1 << "";
    QTest::newRow("a longer team id") << "sanne sinds 09:41, eindredacteur redactie 12|" << 12 << "sanne";
    QTest::newRow("holder of two teams") << "kees sinds 08:00, eindredacteur redactie 1, eindredacteur redactie 7|"
                                         << 7 << "kees";
    QTest::newRow("nobody") << "joost sinds 09:00|" << 7 << "";
    QTest::newRow("empty roster") << "" << 7 << "";
}

void TestServerLink::roleHolder()
{
    QFETCH(QString, users);
    QFETCH(int, team);
    QFETCH(QString, holder);
    QCOMPARE(RoleHolder(ParseRoster(users), team), holder);
}

void TestServerLink::commandLogIsWrittenExceptForPolls()
{
    Fixture f;
    f.reply("lockedby piet\nerr\n");
    QVERIFY(!f.link.SendCommand("lock agenda_12"));
    // The argument is logged before its leading blanks are dropped.
    QCOMPARE(f.client.log, QStringList({"<blue>server: lock agenda_12", "recv: lockedby  piet", "<red>ERR"}));
    QCOMPARE(f.state.lastLockHolder, QString("piet"));
}

void TestServerLink::down()
{
    Fixture f;
    f.reply("down\nok\n");
    QVERIFY(!f.link.SendCommand("poll"));
    QCOMPARE(f.client.events, QStringList({"down quillon | Van quillon: De server is gestopt"}));
    QVERIFY(!f.link.isOpen());
}

void TestServerLink::finalEditorMessages_data()
{
    QTest::addColumn<bool>("before");
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("after");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("request while not final editor clears instead of asking")
        << false << QByteArray("eindredacteur request bob") << true << false << QStringList({"finaleditor"})
        << QByteArray("poll\r\n");
    QTest::newRow("request answered yes hands over")
        << true << QByteArray("eindredacteur request bob") << true << false << QStringList({"ask bob", "finaleditor"})
        << QByteArray("poll\r\nja_eindredacteur bob\r\n");
    QTest::newRow("request answered no keeps the role")
        << true << QByteArray("eindredacteur request bob") << false << true << QStringList({"ask bob"})
        << QByteArray("poll\r\nnee_eindredacteur bob\r\n");
    QTest::newRow("on congratulates")
        << false << QByteArray("eindredacteur on") << true << true
        << QStringList({"finaleditor", "announce quillon | Van quillon: Niet te geloven, je bent eindredacteur!"})
        << QByteArray("poll\r\n");
    QTest::newRow("sub-kind is case sensitive") << true << QByteArray("eindredacteur ON") << true << false
                                                << QStringList({"finaleditor"}) << QByteArray("poll\r\n");
    QTest::newRow("refused claim") << false << QByteArray("WijgerEindredactie") << true << false
                                   << QStringList(
                                          {"announce quillon | Van quillon: Jij krijgt de eindredactie lekker niet!"})
                                   << QByteArray("poll\r\n");
    QTest::newRow("direct message") << false << QByteArray("direct piet:hallo  daar") << true << false
                                    << QStringList({"announce piet | Van piet: hallo  daar"}) << QByteArray("poll\r\n");
}

void TestServerLink::finalEditorMessages()
{
    QFETCH(bool, before);
    QFETCH(QByteArray, line);
    QFETCH(bool, answer);
    QFETCH(bool, after);
    QFETCH(QStringList, events);
    QFETCH(QByteArray, written);
    Fixture f;
    f.state.isFinalEditor = before;
    f.client.handOverAnswer = answer;
    f.link.setRandom([](int n) { return n == 5 ? 2 : -1; });
    f.reply(line + "\r\nok\r\nok\r\n");  // the poll's reply, then the answer's
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(f.client.events, events);
    QCOMPARE(f.state.isFinalEditor, after);
    QCOMPARE(f.written(), written);
}

void TestServerLink::nestedCommandGetsItsOwnReply()
{
    // The poll's reply continues after the request; the answer's reply comes
    // behind it on the wire and carries a message and a result of its own.
    Fixture f;
    f.state.isFinalEditor = true;
    f.reply("eindredacteur request bob\nchat na de vraag\nok\nchat bij het antwoord\nerr\n");
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(f.client.events, QStringList({"ask bob", "finaleditor", "status bij het antwoord", "status na de vraag"}));
    QCOMPARE(f.written(), QByteArray("poll\r\nja_eindredacteur bob\r\n"));
    QCOMPARE(f.link.depth(), 0);
}

void TestServerLink::secondRequestWhileAskingIsIgnored()
{
    Fixture f;
    f.state.isFinalEditor = true;
    f.client.handOverAnswer = false;
    f.client.onHandOver = [&f] {
        // A command sent while the question is open brings a second request.
        f.reply("eindredacteur request daan\nok\n");
        QVERIFY(f.link.SendCommand("userlijst"));
        f.reply("ok\n");  // the reply to the answer that follows
    };
    f.reply("eindredacteur request bob\nok\n");
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(f.written(), QByteArray("poll\r\nuserlijst\r\nnee_eindredacteur bob\r\n"));
    QCOMPARE(f.client.events, QStringList({"ask bob"}));
    QVERIFY(f.state.isFinalEditor);
}

void TestServerLink::versionWindowDropsPolledBroadcasts()
{
    Fixture f;
    f.state.versionFormOpen = true;
    f.client.left = 1;
    f.reply("agenda new 5\nchat hoi\nusers a x|\nlockedby piet\nok\n");
    QVERIFY(f.link.SendCommand("poll"));
    QCOMPARE(f.client.events, QStringList({"status hoi"}));
    QVERIFY(f.state.lastLockHolder.isEmpty());

    // The same lines in the reply to any other command are handled.
    f.reply("agenda new 5\nok\n");
    QVERIFY(f.link.SendCommand("user marieke"));
    QCOMPARE(f.client.events.last(), QString("left agenda new 5"));
}

void TestServerLink::readTimeouts_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("nothing at all fails") << QByteArray() << false << QStringList({"status timeout bij lezen"});
    QTest::newRow("partial final line is used")
        << QByteArray("ok") << true << QStringList({"status timeout bij lezen"});
    QTest::newRow("partial message then silence")
        << QByteArray("chat half") << false
        << QStringList({"status timeout bij lezen", "status half", "status timeout bij lezen"});
}

void TestServerLink::readTimeouts()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, ok);
    QFETCH(QStringList, events);
    Fixture f;
    if (!reply.isEmpty())
        f.reply(reply);
    QCOMPARE(f.link.SendCommand("lock tijden"), ok);
    QCOMPARE(f.client.events, events);
    QVERIFY(f.link.isOpen());
}

void TestServerLink::closedConnectionEndsTheRead()
{
    Fixture f;
    f.reply("chat eerst\n");
    ::shutdown(f.server, SHUT_WR);
    f.link.setReadTimeout(5000);  // a spinning or waiting read would show as a time-out
    QElapsedTimer t;
    t.start();
    QVERIFY(!f.link.SendCommand("poll"));
    QVERIFY(t.elapsed() < 4000);
    QCOMPARE(f.client.events, QStringList({"status eerst", "status Verbinding verloren!", "lost"}));
    QVERIFY(!f.link.isOpen());

    // Later commands fail at once and say why.
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Error, "Communicatiefout:\nGeen verbinding met de server\n"
                                      "De verbinding met de server is mogelijk verbroken");
    QVERIFY(!f.link.SendCommand("lock tijden"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

// After the log-in a lost connection keeps the session: no box for the loss
// or for what waits, the locks held are asked for again on the new
// connection (one another editor took meanwhile is reported and no longer
// held), then the broadcasts and messages are sent in their order.
void TestServerLink::keptSessionSurvivesALostConnection()
{
    Fixture f(&state());
    state().server = &f.link;
    f.link.setKeepSession(true);
    f.reply("ok\nok\nlockedby sanne\nerr\nok\nok\n");
    QVERIFY(f.link.SendCommand("lock agenda_1"));
    QVERIFY(f.link.SendCommand("lock naw_4"));
    QVERIFY(!f.link.SendCommand("lock todo_9"));
    QVERIFY(f.link.SendCommand("lock tijden"));
    QVERIFY(f.link.SendCommand("unlock tijden"));
    QCOMPARE(f.link.heldLocks(), QStringList({"agenda_1", "naw_4"}));
    f.written();

    testsupport::ScriptedDialogs dialogs;
    ::shutdown(f.server, SHUT_RDWR);
    QVERIFY(!f.link.SendCommand("poll"));
    QVERIFY(!f.link.isOpen());
    QVERIFY(f.link.SendCommand("broadcast agenda update 1"));  // waits
    QVERIFY(f.link.SendCommand("direct piet ben zo terug"));
    QVERIFY(f.link.SendCommand("lock tijden") == false);
    QVERIFY(f.link.SendCommand("unlock agenda_7"));  // was never held: nothing to do
    QCOMPARE(f.link.waiting(), QStringList({"broadcast agenda update 1", "direct piet ben zo terug"}));
    // Asked for directly, a command that needs the server says it cannot.
    dialogs.expectBox(BoxType::Error, "Communicatiefout:\nGeen verbinding met de server\n"
                                      "De verbinding met de server is mogelijk verbroken");
    QVERIFY(!f.link.SendCommand("eindredacteur 1"));
    // A lock that cannot be asked for says why, not "opened by nobody".
    dialogs.expectBox(BoxType::Information, kNoServerForLock);
    QVERIFY(!RequestLock("agenda_8", "Agendapunt al geopend door $lockedby$"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));

    f.reconnect();
    f.reply("ok\nlockedby joost\nerr\nok\nok\n");
    QCOMPARE(f.link.restoreSession(), QStringList({"lock naw_4 joost"}));
    QCOMPARE(f.written(), QByteArray("lock agenda_1\r\nlock naw_4\r\nbroadcast agenda update 1\r\n"
                                     "direct piet ben zo terug\r\n"));
    QCOMPARE(f.link.heldLocks(), QStringList({"agenda_1"}));
    QVERIFY(f.link.waiting().isEmpty());
    state().server = nullptr;
    QCOMPARE(LostLocksMessage({"lock naw_4 joost", "lock agenda_12 "}),
             QString("De verbinding met de server is hersteld, maar terwijl die weg was heeft een ander geopend wat "
                     "jij open had:\n\n- adres 4 (nu geopend door joost)\n- agendapunt 12\n\nWat je daar nu "
                     "opslaat, kan zijn of haar werk overschrijven: overleg eerst."));
}

void TestServerLink::frameErrorIsReportedAndTheReplyReadOn()
{
    Fixture f;
    f.client.left = 2;
    f.client.throwFor = "todo";
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(BoxType::Error, "Updatefout: rij 3 bestaat niet");
    f.reply("todo remove 3\nchat daarna\nok\nok\n");
    QVERIFY(!f.link.SendCommand("poll"));
    QCOMPARE(f.client.events, QStringList({"status daarna"}));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    // Still in step: the next command reads its own reply.
    QVERIFY(f.link.SendCommand("poll"));
}

void TestServerLink::resultAndUserId()
{
    Fixture f;
    f.reply("setuserid 12\nresult  42 taken\nok\n");
    QString result;
    QVERIFY(f.link.SendCommandEx("auth marieke kievitpolder47", result));
    QCOMPARE(result, QString("42 taken"));
    QCOMPARE(f.state.userId, 12);
}

void TestServerLink::lineBreaksInACommandAreNotSent()
{
    Fixture f;
    f.reply("ok\n");
    QVERIFY(f.link.SendCommand("direct piet hoi\r\nshutdown"));
    QCOMPARE(f.written(), QByteArray("direct piet hoi  shutdown\r\n"));
}

void TestServerLink::requestLock_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("free lock shows nothing")
        << QByteArray("ok\n") << "Agendapunt al geopend door $lockedby$" << true << QString();
    QTest::newRow("held lock names the holder")
        << QByteArray("lockedby joost\nerr\n") << "Agendapunt al geopend door $lockedby$" << false
        << "Agendapunt al geopend door joost";
    QTest::newRow("placeholder in any case")
        << QByteArray("lockedby sanne\nerr\n") << "Onderwerp geopend door $LockedBy$!" << false
        << "Onderwerp geopend door sanne!";
    QTest::newRow("refusal without holder") << QByteArray("err\n") << "Filmtijden worden al bewerkt door $lockedby$"
                                            << false << "Filmtijden worden al bewerkt door ";
}

void TestServerLink::requestLock()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, message);
    QFETCH(bool, granted);
    QFETCH(QString, shown);
    Fixture f(&state());
    testsupport::ScriptedDialogs dialogs;
    if (!shown.isEmpty())
        dialogs.expectBox(BoxType::Information, shown);
    state().server = &f.link;
    state().lastLockHolder = "iemand van eerder";
    f.reply(reply);
    QCOMPARE(RequestLock("agenda_12", message), granted);
    state().server = nullptr;
    QCOMPARE(f.written(), QByteArray("lock agenda_12\r\n"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
}

QTEST_GUILESS_MAIN(TestServerLink)
#include "tst_serverlink.moc"
