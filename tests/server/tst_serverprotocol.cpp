// The server's parsing and bookkeeping without sockets: line framing,
// command parsing, version comparison, argument splitting, configuration,
// the message queues, the broadcast relay and the lock table.

#include "locks/LockTable.h"
#include "protocol/Command.h"
#include "protocol/Config.h"
#include "protocol/LineBuffer.h"
#include "protocol/MessageLog.h"
#include "protocol/Relay.h"

#include <QtTest>

using namespace qserver;

namespace {
QString describe(const Command &c)
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(int(c.kind))
        .arg(QString::fromStdString(c.arg), QString::fromStdString(c.rest))
        .arg(c.team)
        .arg(QString::fromStdString(c.error));
}
QString k(CommandKind kind, const char *arg = "", const char *rest = "", qint64 team = 0, const char *error = "")
{
    return QStringLiteral("%1|%2|%3|%4|%5")
        .arg(int(kind))
        .arg(QString::fromUtf8(arg), QString::fromUtf8(rest))
        .arg(team)
        .arg(QString::fromUtf8(error));
}
}  // namespace

class TestServerProtocol : public QObject {
    Q_OBJECT
private slots:
    void lineFraming();
    void lineTooLong();
    void parse_data();
    void parse();
    void versions_data();
    void versions();
    void arguments_data();
    void arguments();
    void config_data();
    void config();
    void queueOrderAndLimit();
    void queueOverflowFoldsIntoReloadLines();
    void relay_data();
    void relay();
    void locks();
};

void TestServerProtocol::lineFraming()
{
    LineBuffer b(100);
    std::string line;
    QCOMPARE(b.next(line), LineBuffer::Result::NeedMore);  // empty
    b.append("po");
    QCOMPARE(b.next(line), LineBuffer::Result::NeedMore);  // incomplete
    b.append("ll\r\nlock a");  // completes; trailing partial
    QCOMPARE(b.next(line), LineBuffer::Result::Line);
    QCOMPARE(line, std::string("poll"));  // CR is not part of the line
    QCOMPARE(b.next(line), LineBuffer::Result::NeedMore);
    b.append("\n\nx\r\r\n");  // resumed; empty line; inner CR kept
    QCOMPARE(b.next(line), LineBuffer::Result::Line);
    QCOMPARE(line, std::string("lock a"));
    QCOMPARE(b.next(line), LineBuffer::Result::Line);
    QCOMPARE(line, std::string());
    QCOMPARE(b.next(line), LineBuffer::Result::Line);
    QCOMPARE(line, std::string("x\r"));
    QCOMPARE(b.pending(), std::size_t(0));
}

void TestServerProtocol::lineTooLong()
{
    LineBuffer exact(8);
    std::string line;
    exact.append("12345678\r\n");  // at the cap, with CR LF
    QCOMPARE(exact.next(line), LineBuffer::Result::Line);
    LineBuffer over(8);
    over.append("123456789\n");
    QCOMPARE(over.next(line), LineBuffer::Result::TooLong);
    LineBuffer unterminated(8);  // no LF ever: caught before it grows
    for (int i = 0; i < 3; ++i)
        unterminated.append("1234");
    QCOMPARE(unterminated.next(line), LineBuffer::Result::TooLong);
}

void TestServerProtocol::parse_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("expected");  // kind|arg|rest|team|error
    using K = CommandKind;
    QTest::newRow("auth with name and password")
        << QByteArray("auth eva geheim woord") << k(K::Auth, "eva", "geheim woord");
    QTest::newRow("auth without password") << QByteArray("auth eva") << k(K::Auth, "eva");
    QTest::newRow("auth without name") << QByteArray("auth") << k(K::Invalid, "", "", 0, "auth: argument missing");
    QTest::newRow("command word in capitals") << QByteArray("POLL") << k(K::Poll);
    QTest::newRow("surrounding blanks") << QByteArray("  \tlock todo_7 ") << k(K::Lock, "todo_7");
    QTest::newRow("lock with two names") << QByteArray("lock a b")
                                         << k(K::Invalid, "", "", 0, "lock: unexpected text after the argument");
    QTest::newRow("broadcast keeps the words")
        << QByteArray("broadcast agenda  new 5") << k(K::Broadcast, "", "agenda  new 5");
    QTest::newRow("broadcast of nothing")
        << QByteArray("broadcast ") << k(K::Invalid, "", "", 0, "broadcast: nothing to broadcast");
    QTest::newRow("direct with text") << QByteArray("direct jan kom je koffie halen?")
                                      << k(K::Direct, "jan", "kom je koffie halen?");
    QTest::newRow("final-editor claim") << QByteArray("eindredacteur 12") << k(K::ClaimFinalEditor, "12", "", 12);
    QTest::newRow("negative team id") << QByteArray("eindredacteur -3") << k(K::ClaimFinalEditor, "-3", "", -3);
    QTest::newRow("team id not a number")
        << QByteArray("eindredacteur 1x") << k(K::Invalid, "1x", "", 0, "eindredacteur: team id is not a number");
    QTest::newRow("hand-over yes") << QByteArray("ja_eindredacteur jan") << k(K::GrantFinalEditor, "jan");
    QTest::newRow("job list") << QByteArray("job list") << k(K::JobList);
    QTest::newRow("one-off job, quoted") << QByteArray("job new eenmalig \"import 3\" \"Verversen van \\\"ANP\\\"\"")
                                         << k(K::JobNewOnce, "import 3", "Verversen van \"ANP\"");
    QTest::newRow("one-off job, unterminated quote")
        << QByteArray("job new eenmalig \"import 3")
        << k(K::Invalid, "", "", 0, "job new eenmalig: unterminated double quote");
    QTest::newRow("job of another kind") << QByteArray("job new dagelijks \"x\"")
                                         << k(K::Invalid, "", "", 0, "job new: only \"eenmalig\" jobs can be created");
    QTest::newRow("publish the empty selection") << QByteArray("publiceer  ") << k(K::Publish);
    QTest::newRow("publish two rubrics") << QByteArray("publiceer  12 7 ") << k(K::Publish, "", "12 7");
    QTest::newRow("dry run of two rubrics") << QByteArray("voorbeeld  12 7 ") << k(K::Preview, "", "12 7");
    QTest::newRow("empty line") << QByteArray("") << k(K::Invalid, "", "", 0, "empty line");
    QTest::newRow("NUL byte") << QByteArray("poll\0x", 6) << k(K::Invalid, "", "", 0, "control character in line");
    QTest::newRow("escape sequence") << QByteArray("poll \x1b[2J")
                                     << k(K::Invalid, "", "", 0, "control character in line");
    QTest::newRow("high bytes are text") << QByteArray("broadcast caf\xc3\xa9") << k(K::Broadcast, "", "caf\xc3\xa9");
    QTest::newRow("unknown command") << QByteArray("reboot now") << k(K::Unknown, "", "", 0, "unknown command");
}

void TestServerProtocol::parse()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, expected);
    QCOMPARE(describe(parseCommand(std::string_view(line.constData(), std::size_t(line.size())))), expected);
}

void TestServerProtocol::versions_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<int>("expected");  // -1, 0, 1; 9 = not comparable
    QTest::newRow("equal") << "1.3.4.1"
                           << "1.3.4.1" << 0;
    QTest::newRow("numeric, not textual") << "1.10"
                                          << "1.9" << 1;
    QTest::newRow("missing parts count as zero") << "1.3"
                                                 << "1.3.0.0" << 0;
    QTest::newRow("older") << "1.3.4.0"
                           << "1.3.4.1" << -1;
    QTest::newRow("letters") << "1.3a"
                             << "1.3" << 9;
    QTest::newRow("empty part") << "1..3"
                                << "1.3" << 9;
    QTest::newRow("empty") << ""
                           << "1" << 9;
}

void TestServerProtocol::versions()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(int, expected);
    const auto r = compareVersions(a.toStdString(), b.toStdString());
    QCOMPARE(r ? *r : 9, expected);
}

void TestServerProtocol::arguments_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");  // arguments joined with '|', or "error: ..."
    QTest::newRow("plain words") << "/bin/echo a  b"
                                 << "/bin/echo|a|b";
    QTest::newRow("double quotes group") << "run \"two words\" x"
                                         << "run|two words|x";
    QTest::newRow("single quotes are literal") << "run 'a \"b\" $c'"
                                               << "run|a \"b\" $c";
    QTest::newRow("escaped quote") << "say \"he said \\\"hi\\\"\""
                                   << "say|he said \"hi\"";
    QTest::newRow("no expansion") << "rm *; ls | wc $HOME"
                                  << "rm|*;|ls|||wc|$HOME";
    QTest::newRow("adjacent quoted parts") << "a\"b c\"'d'"
                                           << "ab cd";
    QTest::newRow("empty quoted argument") << "x \"\""
                                           << "x|";
    QTest::newRow("unterminated") << "x 'y"
                                  << "error: unterminated single quote";
    QTest::newRow("trailing backslash") << "x \\"
                                        << "error: trailing backslash";
}

void TestServerProtocol::arguments()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    std::string error;
    const auto args = splitArguments(text.toStdString(), &error);
    QString got;
    if (!args) {
        got = QStringLiteral("error: ") + QString::fromStdString(error);
    } else {
        QStringList parts;
        for (const auto &a : *args)
            parts << QString::fromStdString(a);
        got = parts.join(QLatin1Char('|'));
    }
    QCOMPARE(got, expected);
}

void TestServerProtocol::config_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");  // a summary, or the error
    QTest::newRow("empty file: defaults") << ""
                                          << "0.0.0.0:2000 min 0 jobs 0";
    QTest::newRow("full file")
        << "; comment\n[server]\nlisten = 127.0.0.1\nport = 2100\nmin_client_version = 1.3\n"
           "[database]\nname = nieuws\n[job bronnen]\ndescription = Bronnen\nschedule = every 15m\n"
           "command = /usr/bin/fetch \"a b\"\n"
        << "127.0.0.1:2100 min 1.3 jobs 1 bronnen[/usr/bin/fetch|a b] elke 15 min";
    QTest::newRow("port out of range") << "[server]\nport = 70000\n"
                                       << "line 2: port: not a port number (0-65535)";
    QTest::newRow("misspelt key") << "[server]\nprot = 2000\n"
                                  << "line 2: prot: unknown key in [server]";
    QTest::newRow("unknown section") << "[servr]\n"
                                     << "line 1: unknown section [servr]";
    QTest::newRow("not key = value") << "[server]\nport\n"
                                     << "line 2: expected \"key = value\"";
    QTest::newRow("key before a section") << "port = 1\n"
                                          << "line 1: key outside any section";
    QTest::newRow("job without command") << "[job x]\nschedule = manual\n"
                                         << "line 1: job \"x\" has no command";
    QTest::newRow("bad schedule")
        << "[job x]\nschedule = hourly\ncommand = a\n"
        << "line 2: schedule: expected \"every <n>s|m|h\", \"daily hh:mm[,hh:mm]\" or \"manual\"";
    QTest::newRow("bad daily time") << "[job x]\nschedule = daily 25:00\ncommand = a\n"
                                    << "line 2: schedule: times must be written hh:mm, separated by commas";
    QTest::newRow("two jobs with one name") << "[job a]\ncommand = x\n[job A]\ncommand = y\n"
                                            << "line 3: second job named \"A\"";
    QTest::newRow("tls without key") << "[tls]\ncertificate = /etc/q.pem\n"
                                     << "line 1: [tls] needs both certificate and key";
    QTest::newRow("bad version") << "[server]\nmin_client_version = 1.x\n"
                                 << "line 2: min_client_version: not a dotted version number";
    QTest::newRow("import: schedule and wire folder, done and failed beside it")
        << "[import]\nschedule = every 15m\nwire_folder = /var/anp\nmax_bytes = 2048\n"
        << "0.0.0.0:2000 min 0 jobs 0 import elke 15 min, 2048 bytes, /var/anp /var/anp/done /var/anp/failed";
    QTest::newRow("import: bad size") << "[import]\nmax_bytes = 10\n"
                                      << "line 2: max_bytes: not a size between 1024 and 1073741824";
    QTest::newRow("import: misspelt key") << "[import]\nwire_fodler = /x\n"
                                          << "line 2: wire_fodler: unknown key in [import]";
}

void TestServerProtocol::config()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    std::string error;
    const auto c = parseConfig(text.toStdString(), &error);
    QString got;
    if (!c) {
        got = QString::fromStdString(error);
    } else {
        got = QStringLiteral("%1:%2 min %3 jobs %4")
                  .arg(QString::fromStdString(c->listenAddress))
                  .arg(c->port)
                  .arg(QString::fromStdString(c->minClientVersion))
                  .arg(c->jobs.size());
        for (const auto &j : c->jobs) {
            QStringList argv;
            for (const auto &a : j.argv)
                argv << QString::fromStdString(a);
            got += QStringLiteral(" %1[%2] %3")
                       .arg(QString::fromStdString(j.name), argv.join(QLatin1Char('|')),
                            QString::fromStdString(j.schedule.describe()));
        }
        const ImportConfig &i = c->import;
        if (!i.wireFolder.empty() || i.schedule.kind != JobSchedule::Kind::Manual)
            got += QStringLiteral(" import %1, %2 bytes, %3 %4 %5")
                       .arg(QString::fromStdString(i.schedule.describe()))
                       .arg(i.maxBytes)
                       .arg(QString::fromStdString(i.wireFolder), QString::fromStdString(i.wireDone),
                            QString::fromStdString(i.wireFailed));
    }
    QCOMPARE(got, expected);
}

void TestServerProtocol::queueOrderAndLimit()
{
    MessageLog log(4);
    log.addClient(1);
    log.addClient(2);
    log.broadcast(1, "agenda new 1");  // not back to the sender
    log.send(2, "direct eva hoi");
    log.broadcast(0, "job refresh");
    std::string out;
    QCOMPARE(log.drain(2, out), std::size_t(0));
    QCOMPARE(QString::fromStdString(out), QStringLiteral("agenda new 1\ndirect eva hoi\njob refresh\n"));
    out.clear();
    QCOMPARE(log.drain(1, out), std::size_t(0));
    QCOMPARE(QString::fromStdString(out), QStringLiteral("job refresh\n"));

    // Over the limit the oldest go, in merged order, and are counted; lines
    // of no kind the client reloads from are summed up in one chat line.
    for (int i = 0; i < 3; ++i)
        log.broadcast(1, "b" + std::to_string(i));
    log.send(2, "d");
    log.broadcast(1, "b3");
    log.broadcast(1, "b4");
    out.clear();
    QCOMPARE(log.drain(2, out), std::size_t(2));
    QCOMPARE(QString::fromStdString(out),
             QStringLiteral("chat 2 berichten gemist: de wachtrij was vol\nb2\nd\nb3\nb4\n"));

    // A line a client would read as the end of its reply is never queued.
    for (const char *bad : {"ok", "OK then", "err", "Err5", "  ok", "", " \t "})
        QVERIFY2(!log.broadcast(1, bad) && !log.send(2, bad), bad);
    QVERIFY(log.broadcast(1, "okapi new 1"));

    // A client added later sees nothing from before.
    log.addClient(3);
    out.clear();
    QCOMPARE(log.drain(3, out), std::size_t(0));
    QCOMPARE(out, std::string());
}

void TestServerProtocol::queueOverflowFoldsIntoReloadLines()
{
    // Three lines or 100 bytes per client, whichever comes first.
    MessageLog log(3, 100);
    log.addClient(1);
    log.broadcast(0, "users eva sinds 09:00|");
    log.broadcast(0, "agenda new 7");
    log.broadcast(0, "eindredacteur on");
    log.broadcast(0, "agenda update 7");  // stays "new": the client has not seen the row yet
    log.broadcast(0, "todo update 3");
    log.broadcast(0, "job log a");
    log.broadcast(0, "todo remove 3");  // the last verb counts otherwise
    log.broadcast(0, "viewchanged agenda");
    log.broadcast(0, "viewchanged agenda");
    log.broadcast(0, "users eva sinds 09:00|jan sinds 09:05|");
    log.broadcast(0, "direct jan " + std::string(80, 'x'));  // bytes overflow the rest
    std::string out;
    QCOMPARE(log.drain(1, out), std::size_t(10));
    QCOMPARE(QString::fromStdString(out), QStringLiteral("agenda new 7\ntodo remove 3\nviewchanged agenda\n"
                                                         "users eva sinds 09:00|jan sinds 09:05|\neindredacteur on\n"
                                                         "job refresh\njob log 1 regels van taken overgeslagen\n"
                                                         "direct jan ") +
                                              QString(80, QLatin1Char('x')) + QStringLiteral("\n"));
    out.clear();
    QCOMPARE(log.drain(1, out), std::size_t(0));
    QCOMPARE(out, std::string());
}

void TestServerProtocol::relay_data()
{
    QTest::addColumn<QString>("words");
    QTest::addColumn<QString>("relayed");  // "" = refused
    QTest::newRow("agenda new") << "agenda new 12"
                                << "agenda new 12";
    QTest::newRow("todo hupdate, blanks normalised") << "todo  hupdate\t5 "
                                                     << "todo hupdate 5";
    QTest::newRow("klaar, negative id") << "klaar remove -4"
                                        << "klaar remove -4";
    QTest::newRow("viewchanged agenda") << "viewchanged agenda"
                                        << "viewchanged agenda";
    QTest::newRow("ok") << "ok"
                        << "";
    QTest::newRow("err with words") << "err agenda new 1"
                                    << "";
    QTest::newRow("down") << "down"
                          << "";
    QTest::newRow("setuserid") << "setuserid 1"
                               << "";
    QTest::newRow("direct") << "direct marieke hoi"
                            << "";
    QTest::newRow("eindredacteur") << "eindredacteur on"
                                   << "";
    QTest::newRow("users") << "users eva sinds 09:00|"
                           << "";
    QTest::newRow("viewchanged cyclus is the server's") << "viewchanged cyclus"
                                                        << "";
    QTest::newRow("kind in capitals") << "Agenda new 1"
                                      << "";
    QTest::newRow("id not a number") << "agenda new 1a"
                                     << "";
    QTest::newRow("verb not letters") << "agenda n3w 1"
                                      << "";
    QTest::newRow("extra word") << "agenda new 1 2"
                                << "";
    QTest::newRow("id missing") << "todo new"
                                << "";
    QTest::newRow("id too long") << "todo new 123456789012345678901"
                                 << "";
}

void TestServerProtocol::relay()
{
    QFETCH(QString, words);
    QFETCH(QString, relayed);
    const auto got = relayableBroadcast(words.toStdString());
    QCOMPARE(got ? QString::fromStdString(*got) : QString(), relayed);
}

void TestServerProtocol::locks()
{
    LockTable t;
    QVERIFY(!t.acquire("agenda_1", 1));
    QVERIFY(!t.acquire("agenda_1", 1));  // again by the holder
    QCOMPARE(t.acquire("agenda_1", 2).value_or(0), 1u);  // refused, names the holder
    QVERIFY(!t.release("agenda_1", 2));  // only the holder frees it
    QVERIFY(!t.acquire("todo_2", 1));
    QCOMPARE(t.heldBy(1), std::size_t(2));
    QCOMPARE(t.releaseAll(1), std::size_t(2));
    QVERIFY(!t.acquire("agenda_1", 2));
    QVERIFY(t.release("agenda_1", 2));
    QCOMPARE(t.size(), std::size_t(0));
}

QTEST_APPLESS_MAIN(TestServerProtocol)
#include "tst_serverprotocol.moc"
