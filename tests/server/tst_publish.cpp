// The server's publication against a fresh database, a real FTP server on
// loopback (pyftpdlib) and Batch commands writing into a temporary folder:
// the files a selection makes, their rendering, the progress lines in their
// order, deliveries that fail beside ones that succeed, the on-air copies
// and the reload of other clients, the dry run, the rights, and two
// publications of the same files at once with the first client gone; texts
// the clocks keep off the air left out, and a rubric published again by the
// server itself when a clock starts or ends.

#include "support/FtpServer.h"
#include "support/LineClient.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using servertest::FtpServer;
using servertest::LineClient;
using servertest::ServerProcess;

class TestPublish : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void publishesToEveryTarget();
    void previewShowsTheDifference();
    void onlyFinalEditorOrAdministrator_data();
    void onlyFinalEditorOrAdministrator();
    void sameFilesWaitAndSurviveDisconnect();
    void batchOverTheTimeLimit();
    void clockStartsAndEnds();

private:
    std::unique_ptr<LineClient> client(const QString &user, const QString &password);
    // Polls until "publish klaar"; the progress lines without "publish ".
    QStringList publication(LineClient &c, int timeoutMs = 30000);
    static QString readAll(const QString &path);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    ServerProcess m_server;
    FtpServer m_ftp;
    QTemporaryDir m_work;  // templates/, uit/ (output), batch/ (the Batch target)
};

namespace {
// The page file: every text with its on-air pages of the template's page length.
const char *kPageTemplate =
    "{{{parameters.titel}}} ({{{rubriek.naam}}}, {{{rubriek.programma}}}) {{parameters.kleur}}\n"
    "{{#teksten}}\n"
    "{{nummer}}. {{{kop}}}\n"
    "{{#blokken}}\n"
    "[{{nummer}}]\n"
    "{{#regels}}\n"
    "{{{regel}}}\n"
    "{{/regels}}\n"
    "{{/blokken}}\n"
    "{{/teksten}}\n";

const char *kXmlTemplate = "<rubriek id=\"{{rubriek.id}}\" naam=\"{{rubriek.naam}}\">\n"
                           "{{#teksten}}\n"
                           "  <tekst id=\"{{id}}\" bron=\"{{velden.bron}}\"><kop>{{kop}}</kop>"
                           "{{#regels}}<r>{{regel}}</r>{{/regels}}</tekst>\n"
                           "{{/teksten}}\n"
                           "</rubriek>\n";

const char *kExpectedPage = "Nieuws (Nieuws, Kabelkrant) zwart\n"
                            "1. Brand in centrum\n"
                            "[1]\n"
                            "Eerste regel\n"
                            "tweede regel\n"
                            "[2]\n"
                            "a < b\n"
                            "2. Markt\n"
                            "[1]\n"
                            "Zaterdag markt\n";

// Clock lists: on air at every moment, and ended long ago.
const QString kAlways = QStringLiteral("20000101ÿ29991231ÿ00:00:00ÿ23:59:59ÿ00:00:00ÿ24:00:00ÿxxxxxxxÿ");
const QString kEnded = QStringLiteral("20000101ÿ20000102ÿ00:00:00ÿ23:59:59ÿ00:00:00ÿ24:00:00ÿxxxxxxxÿ");

const char *kExpectedXml = "<rubriek id=\"1\" naam=\"Nieuws\">\n"
                           "  <tekst id=\"1\" bron=\"Politie\"><kop>Brand in centrum</kop><r>Eerste regel</r>"
                           "<r>tweede regel</r><r>a &lt; b</r></tekst>\n"
                           "  <tekst id=\"2\" bron=\"\"><kop>Markt</kop><r>Zaterdag markt</r></tekst>\n"
                           "</rubriek>\n";
}  // namespace

void TestPublish::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    QVERIFY(m_work.isValid());
    QVERIFY2(m_ftp.start(QStringLiteral("kabel"), QStringLiteral("krant")), qPrintable(m_ftp.error()));
    QVERIFY(QDir(m_ftp.root()).mkpath(QStringLiteral("paginas")));
    QDir work(m_work.path());
    QVERIFY(work.mkpath(QStringLiteral("templates")) && work.mkpath(QStringLiteral("batch")));
    auto write = [&](const QString &name, const char *text) {
        QFile f(work.filePath(QStringLiteral("templates/") + name));
        return f.open(QIODevice::WriteOnly) && f.write(text) > 0;
    };
    QVERIFY(write(QStringLiteral("pagina.txt"), kPageTemplate) && write(QStringLiteral("rubriek.xml"), kXmlTemplate));
    // A slow delivery: the Batch target of the rubric Traag.
    QFile slow(work.filePath(QStringLiteral("traag.sh")));
    QVERIFY(slow.open(QIODevice::WriteOnly));
    slow.write(
        QStringLiteral("#!/bin/sh\nsleep 1\ncp \"$1\" %1/\n").arg(work.filePath(QStringLiteral("batch"))).toUtf8());
    slow.close();
    slow.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_template"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    const QString ftp =
        QStringLiteral("host:\"127.0.0.1:%1\":username:\"kabel\":password:\"%2\":initialdir:\"paginas\"");
    const QString batch = work.filePath(QStringLiteral("batch"));
    const QStringList fixture = {
        "insert into tbluser (userid, loginnaam, password, rights) values (1, 'eva', 'egel', 'xx--------------'),"
        " (2, 'jan', 'jas', 'x---------------'), (3, 'piet', 'pad', '----------------')",
        "insert into tbltemplate (id, naam, editor) values (1, 'Bericht', 'pagelength=2;')",
        // On air always, but for Verlopen, whose clock ended: the files leave it out.
        QStringLiteral("insert into tblteksten (id, kop, body, datum, tijd, paginacount, template, extra, wie, klok)"
                       " values (1, 'Brand in centrum', E'Eerste regel<br>tweede regel<hrt>a <\u2264> b<hrt>',"
                       " '20240105', '10:00', 2, 1, 'bron:\"Politie\"', 2, '%1'),"
                       " (2, 'Markt', 'Zaterdag markt<hrt>', '20240105', '11:00', 1, -1, '', 3, '%1'),"
                       " (3, '', 'zonder kop', '20240105', '11:00', 1, -1, '', 3, '%1'),"
                       " (4, 'Verlopen', 'Gisteren<hrt>', '20240105', '11:00', 1, -1, '', 3, '%2')")
            .arg(kAlways, kEnded),
        "insert into tblzenders (id, naam) values (1, 'Kabelkrant')",
        QStringLiteral("insert into tblrubriek (id, naam, onair, txt) values (1, 'Nieuws', false, '1ÿ4ÿ2ÿ3ÿ'),"
                       " (1, 'Nieuws', true, ''), (2, 'Sport', false, '2ÿ'), (2, 'Sport', true, 'oud'),"
                       " (3, 'Weer', false, '99ÿ'), (3, 'Weer', true, ''), (4, 'Traag', false, '2ÿ'),"
                       " (4, 'Traag', true, ''), (5, 'Hangt', false, ''), (5, 'Hangt', true, '')"),
        "insert into tblzenderrubriek values (1, 1), (1, 2), (1, 3)",
        "insert into tblexporttemplate (id, naam, settings) values"
        " (1, 'pagina.txt', 'edit:titel:Titel:\"Standaard\":edit:kleur:Kleur:\"zwart\"'), (2, 'rubriek.xml', ''),"
        " (3, 'ontbreekt.txt', ''), (4, '../geheim.txt', '')",
        QStringLiteral("insert into tbldoel (id, naam, module, settings) values (1, 'Playout', 'Ftp', '%1'),"
                       " (2, 'Fout wachtwoord', 'Ftp', '%2'), (3, 'Map', 'Batch', 'command:\"cp %f %3/\"'),"
                       " (4, 'Telex', 'Telex', ''), (5, 'Traag', 'Batch', 'command:\"%4\"'), (6, 'Hangt', 'Batch', "
                       "'command:\"/usr/bin/tail -f %f\"')")
            .arg(ftp.arg(m_ftp.port()).arg(QStringLiteral("krant")), ftp.arg(m_ftp.port()).arg(QStringLiteral("fout")),
                 batch, work.filePath(QStringLiteral("traag.sh"))),
        "insert into tbldoelfile (id, naam, localfilename, remotefilename, exporttemplate, rubriekid, settings) values"
        " (1, 'Nieuws tekst', 'nieuws.txt', 'nieuws.txt', 1, 1, 'titel:\"Nieuws\":onbekend:\"x\"'),"
        " (2, 'Nieuws xml', 'nieuws.xml', '', 2, 1, ''), (3, 'Sport tekst', 'sport.txt', 'sport.txt', 1, 2, ''),"
        " (4, 'Weer', 'weer.txt', 'weer.txt', 1, 3, ''), (5, 'Kapot', 'kapot.txt', '', 3, 2, ''),"
        " (6, 'Traag', 'traag.txt', '', 1, 4, ''), (7, 'Hangt', 'hangt.txt', '', 1, 5, ''),"
        " (8, 'Buiten', 'buiten.txt', '', 4, 2, '')",
        "insert into tblnaardoel values (1, 1), (1, 3), (2, 1), (3, 2), (3, 3), (4, 3), (4, 4), (6, 5), (7, 6),"
        " (8, 3)",
        // Weer goes along with the news, and the news with Weer: the cycle ends.
        "insert into tbldoeldepend values (1, 4), (4, 1)",
    };
    for (const QString &sql : fixture)
        QVERIFY2(m_db->exec(sql), qPrintable(m_db->lastError() + QStringLiteral("\n") + sql));
    const QString publish = QStringLiteral("[publish]\ntemplates = %1\noutput = %2\ntime_limit = 5\n"
                                           "ftp_attempts = 2\nftp_retry_delay = 0.1\n")
                                .arg(work.filePath(QStringLiteral("templates")), work.filePath(QStringLiteral("uit")));
    QVERIFY2(m_server.start(m_db.get(), QString(), publish), qPrintable(m_server.error()));
}

void TestPublish::cleanupTestCase()
{
    m_server.stop();
    m_ftp.stop();
}

std::unique_ptr<LineClient> TestPublish::client(const QString &user, const QString &password)
{
    auto c = std::make_unique<LineClient>(m_server.port());
    if (!c->connected() || !c->login(user, password))
        return nullptr;
    return c;
}

QStringList TestPublish::publication(LineClient &c, int timeoutMs)
{
    QStringList lines;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        for (const QString &l : c.command(QStringLiteral("poll"))) {
            if (!l.startsWith(QLatin1String("publish ")))
                continue;
            lines << l.mid(8);
            if (l == QLatin1String("publish klaar"))
                return lines;
        }
        QTest::qWait(50);
    }
    lines << QStringLiteral("<no klaar>");
    return lines;
}

QString TestPublish::readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QStringLiteral("<missing ") + path + ">";
}

void TestPublish::publishesToEveryTarget()
{
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    auto other = client(QStringLiteral("piet"), QStringLiteral("pad"));
    QVERIFY(jan && other);
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 1")), QStringLiteral("eindredacteur on|ok"));
    QCOMPARE(jan->reply(QStringLiteral("publiceer  1 2 ")), QStringLiteral("ok"));
    const QStringList lines = publication(*jan);

    QStringList steps, logs;
    for (const QString &l : lines)
        (l.startsWith(QLatin1String("log ")) ? logs : steps) << l;
    // Kapot's template is missing and Buiten's names a file outside the
    // template folder: both fail while building. Sport tekst reaches the
    // Batch folder but not the FTP target with the wrong password; Weer (taken
    // along by the news) reaches the folder but not the unknown module.
    const QStringList expected = {
        "setbar 6",
        "doelfiles Buiten|Kapot|Nieuws tekst|Nieuws xml|Sport tekst|Weer|",
        "export Buiten",
        "export Kapot",
        "export Nieuws tekst",
        "exportdone Nieuws tekst",
        "export Nieuws xml",
        "exportdone Nieuws xml",
        "export Sport tekst",
        "exportdone Sport tekst",
        "export Weer",
        "exportdone Weer",
        "exportklaar",
        "setbarup 6",
        "error Buiten",
        "error Kapot",
        "upload Nieuws tekst",
        "uploaddone Nieuws tekst",
        "upload Nieuws xml",
        "uploaddone Nieuws xml",
        "upload Sport tekst",
        "error Sport tekst",
        "upload Weer",
        "error Weer",
        "klaar",
    };
    QCOMPARE(steps.join('\n'), expected.join('\n'));
    const QString log = logs.join(QLatin1Char('\n'));
    QVERIFY2(log.contains(QRegularExpression(QStringLiteral("<red>Kapot: template ontbreekt.txt: .*<black>"))),
             qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("<red>Buiten: export template \"../geheim.txt\" is geen gewone bestandsnaam")),
             qPrintable(log));
    QVERIFY2(log.contains(QRegularExpression(QStringLiteral(
                 "<red>Fout wachtwoord: ftp://kabel@127.0.0.1:\\d+/paginas/sport.txt poging 1 mislukt"))),
             qPrintable(log));
    QVERIFY2(!log.contains(QStringLiteral("krant")) && !log.contains(QStringLiteral("fout\"")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("<red>Telex: onbekende uploadmodule \"Telex\"<black>")), qPrintable(log));
    QVERIFY2(log.contains(QStringLiteral("<red>Rubriek Sport: niet alles is verzonden")), qPrintable(log));

    const QDir ftp(m_ftp.root() + QStringLiteral("/paginas"));
    QCOMPARE(readAll(ftp.filePath(QStringLiteral("nieuws.txt"))), QString::fromUtf8(kExpectedPage));
    QCOMPARE(readAll(ftp.filePath(QStringLiteral("nieuws.xml"))), QString::fromUtf8(kExpectedXml));
    QCOMPARE(ftp.entryList(QDir::Files | QDir::Hidden), QStringList({"nieuws.txt", "nieuws.xml"}));
    const QDir batch(m_work.filePath(QStringLiteral("batch")));
    QCOMPARE(batch.entryList(QDir::Files), QStringList({"nieuws.txt", "sport.txt", "weer.txt"}));
    QCOMPARE(readAll(batch.filePath(QStringLiteral("nieuws.txt"))), QString::fromUtf8(kExpectedPage));
    // A rubric without texts (the library keeps the line end of the empty section).
    QCOMPARE(readAll(batch.filePath(QStringLiteral("weer.txt"))),
             QStringLiteral("Standaard (Weer, Kabelkrant) zwart\n\n"));

    // The news went out whole, so its on-air copy holds it now (and the
    // replaced content is in the history); sport did not, so its stays.
    const auto onAir = m_db->query(QStringLiteral("select id, txt from tblrubriek where onair order by id"));
    QCOMPARE(onAir.value(0), QStringList({"1", QStringLiteral("1\u00ff4\u00ff2\u00ff3\u00ff")}));
    QCOMPARE(onAir.value(1), QStringList({"2", "oud"}));
    QCOMPARE(m_db->query(QStringLiteral("select rubriekid, txt, wie from tblrubriekhistorie where onair")),
             QList<QStringList>({{"1", "", "2"}}));
    QVERIFY(other->command(QStringLiteral("poll")).contains(QStringLiteral("viewchanged cyclus")));
}

void TestPublish::previewShowsTheDifference()
{
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    QVERIFY(eva);
    const QString delivered = readAll(m_ftp.root() + QStringLiteral("/paginas/nieuws.txt"));
    QVERIFY(m_db->exec(QStringLiteral("update tblteksten set kop = 'Markt vandaag' where id = 2")));
    QStringList lines = eva->command(QStringLiteral("voorbeeld  1 "), 15000);
    QCOMPARE(lines.last(), QStringLiteral("ok"));
    const QStringList page = lines.filter(QRegularExpression(QStringLiteral("^voorbeeld (bestand|regel) 1 ")));
    QCOMPARE(page.join('\n'), QStringList({"voorbeeld bestand 1 verschil Nieuws tekst",
                                           "voorbeeld regel 1  Nieuws (Nieuws, "
                                           "Kabelkrant) zwart",
                                           "voorbeeld regel 1  1. Brand in centrum", "voorbeeld regel 1  [1]",
                                           "voorbeeld regel 1  Eerste regel", "voorbeeld regel 1  tweede regel",
                                           "voorbeeld regel 1  [2]", "voorbeeld regel 1  a < b",
                                           "voorbeeld regel 1 -2. Markt", "voorbeeld regel 1 +2. Markt vandaag",
                                           "voorbeeld regel 1  [1]", "voorbeeld regel 1  Zaterdag markt"})
                                  .join('\n'));
    // Files taken along are shown too; nothing was sent or written.
    QVERIFY(lines.contains(QStringLiteral("voorbeeld bestand 4 verschil Weer")));
    QCOMPARE(readAll(m_ftp.root() + QStringLiteral("/paginas/nieuws.txt")), delivered);

    lines = eva->command(QStringLiteral("voorbeeld  2 "), 15000);
    QVERIFY(lines.contains(QStringLiteral("voorbeeld bestand 5 nieuw Kapot")));
    QVERIFY(lines.filter(QStringLiteral("voorbeeld fout 5 template ontbreekt.txt")).size() == 1);
    QVERIFY(m_db->exec(QStringLiteral("update tblteksten set kop = 'Markt' where id = 2")));
}

void TestPublish::onlyFinalEditorOrAdministrator_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    const QString refused = "publish log <red>Alleen de eindredacteur of een beheerder mag publiceren<black>|err";
    QTest::newRow("an editor without rights") << "piet"
                                              << "pad"
                                              << "publiceer  1 " << refused;
    QTest::newRow("a final editor without the role") << "jan"
                                                     << "jas"
                                                     << "publiceer  1 " << refused;
    QTest::newRow("a dry run without the role") << "piet"
                                                << "pad"
                                                << "voorbeeld  1 "
                                                << "voorbeeld fout Alleen de eindredacteur of een beheerder mag "
                                                   "publiceren|err";
    QTest::newRow("a selection that does not read") << "eva"
                                                    << "egel"
                                                    << "publiceer  1 x "
                                                    << "publish log <red>De rubriekkeuze is onleesbaar<black>|err";
    QTest::newRow("the empty selection") << "eva"
                                         << "egel"
                                         << "publiceer  "
                                         << "ok";
}

void TestPublish::onlyFinalEditorOrAdministrator()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, command);
    QFETCH(QString, expected);
    auto c = client(user, password);
    QVERIFY(c);
    QCOMPARE(c->reply(command), expected);
    if (expected == QLatin1String("ok"))
        QCOMPARE(publication(*c).filter(QRegularExpression(QStringLiteral("^(?!log)"))),
                 QStringList({"setbar 0", "doelfiles ", "exportklaar", "setbarup 0", "klaar"}));
}

void TestPublish::sameFilesWaitAndSurviveDisconnect()
{
    const QString out = m_work.filePath(QStringLiteral("batch/traag.txt"));
    QFile::remove(out);
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    auto jan = client(QStringLiteral("jan"), QStringLiteral("jas"));
    QVERIFY(eva && jan);
    QCOMPARE(jan->reply(QStringLiteral("eindredacteur 1")), QStringLiteral("eindredacteur on|ok"));
    QCOMPARE(eva->reply(QStringLiteral("publiceer  4 ")), QStringLiteral("ok"));
    QTest::qWait(300);
    eva->close();
    QCOMPARE(jan->reply(QStringLiteral("publiceer  4 ")), QStringLiteral("ok"));
    const QStringList lines = publication(*jan);
    QVERIFY2(lines.contains(QStringLiteral("log Wacht tot een andere publicatie van dezelfde bestanden klaar is...")),
             qPrintable(lines.join('\n')));
    QVERIFY2(lines.contains(QStringLiteral("uploaddone Traag")), qPrintable(lines.join('\n')));
    QCOMPARE(readAll(out), QStringLiteral("Standaard (Traag, ) zwart\n1. Markt\n[1]\nZaterdag markt\n"));
    QVERIFY(m_server.log().contains(QStringLiteral("publication for eva ended: 1 files, 0 failed")));
}

void TestPublish::batchOverTheTimeLimit()
{
    auto eva = client(QStringLiteral("eva"), QStringLiteral("egel"));
    QVERIFY(eva);
    QElapsedTimer t;
    t.start();
    QCOMPARE(eva->reply(QStringLiteral("publiceer  5 ")), QStringLiteral("ok"));
    const QStringList lines = publication(*eva);
    QVERIFY2(lines.contains(QStringLiteral("log <red>Hangt: afgebroken na 5 s<black>")), qPrintable(lines.join('\n')));
    QVERIFY(lines.contains(QStringLiteral("error Hangt")));
    QVERIFY(t.elapsed() < 15000);
}

// A clock that starts and one that ends a few seconds from now: the server
// publishes the rubric again by itself when they do. The server runs in a
// time zone a few seconds off UTC, so its next minute is ten seconds away
// whenever the test runs.
void TestPublish::clockStartsAndEnds()
{
    m_server.stop();  // one server watches the clocks of this database
    int offset = (50 - QDateTime::currentDateTimeUtc().time().second() + 60) % 60;
    auto serverNow = [&] { return QDateTime::currentDateTimeUtc().addSecs(offset); };
    auto nextMinute = [&] {
        QDateTime t = serverNow().addSecs(60);
        t.setTime(QTime(t.time().hour(), t.time().minute()));
        return t;
    };
    QDateTime boundary = nextMinute();
    if (boundary.time() == QTime(0, 0)) {
        offset += 120;  // no in time starts a clock at midnight; two minutes later one does
        boundary = nextMinute();
    }
    const QString minute = boundary.toString(QStringLiteral("HH:mm:00"));
    const QString ff = QStringLiteral("ÿ");
    auto clock = [&](const QString &in, const QString &out) {
        return QStringList({"20000101", "29991231", "00:00:00", "23:59:59", in, out, "xxxxxxx"}).join(ff) + ff;
    };
    QDir work(m_work.path());
    QVERIFY(work.mkpath(QStringLiteral("klok")));
    QFile tmpl(work.filePath(QStringLiteral("templates/klok.txt")));
    QVERIFY(tmpl.open(QIODevice::WriteOnly) && tmpl.write("{{#teksten}}\n{{{kop}}}\n{{/teksten}}\n") > 0);
    tmpl.close();
    const QStringList fixture = {
        QStringLiteral("insert into tblteksten (id, kop, body, datum, tijd, paginacount, template, wie, klok) values"
                       " (10, 'Begint', 'b', '20240105', '10:00', 1, -1, 3, '%1'),"
                       " (11, 'Eindigt', 'e', '20240105', '10:00', 1, -1, 3, '%2')")
            .arg(clock(minute, "24:00:00"), clock("00:00:00", minute)),
        QStringLiteral("insert into tblrubriek (id, naam, onair, txt) values (6, 'Klok', false, '10ÿ11ÿ'),"
                       " (6, 'Klok', true, '')"),
        "insert into tblexporttemplate (id, naam, settings) values (5, 'klok.txt', '')",
        QStringLiteral("insert into tbldoel (id, naam, module, settings) values (7, 'Klokmap', 'Batch', "
                       "'command:\"cp %f %1/\"')")
            .arg(work.filePath(QStringLiteral("klok"))),
        "insert into tbldoelfile (id, naam, localfilename, remotefilename, exporttemplate, rubriekid, settings)"
        " values (9, 'Klok', 'klok.txt', '', 5, 6, '')",
        "insert into tblnaardoel values (9, 7)",
    };
    for (const QString &sql : fixture)
        QVERIFY2(m_db->exec(sql), qPrintable(m_db->lastError() + QStringLiteral("\n") + sql));

    const QByteArray zone = qgetenv("TZ");
    const bool hadZone = qEnvironmentVariableIsSet("TZ");
    qputenv("TZ", QStringLiteral("QQQ-%1:%2:%3")
                      .arg(offset / 3600, 2, 10, QLatin1Char('0'))
                      .arg(offset / 60 % 60, 2, 10, QLatin1Char('0'))
                      .arg(offset % 60, 2, 10, QLatin1Char('0'))
                      .toLatin1());
    ServerProcess server;
    const QString publish = QStringLiteral("[publish]\ntemplates = %1\noutput = %2\n")
                                .arg(work.filePath(QStringLiteral("templates")), work.filePath(QStringLiteral("uit")));
    const bool started = server.start(m_db.get(), QString(), publish);
    if (hadZone)
        qputenv("TZ", zone);
    else
        qunsetenv("TZ");
    QVERIFY2(started, qPrintable(server.error()));
    LineClient eva(server.port());
    QVERIFY(eva.connected() && eva.login(QStringLiteral("eva"), QStringLiteral("egel")));
    QCOMPARE(eva.reply(QStringLiteral("publiceer  6 ")), QStringLiteral("ok"));
    QVERIFY(publication(eva).contains(QStringLiteral("uploaddone Klok")));
    const QString file = work.filePath(QStringLiteral("klok/klok.txt"));
    QCOMPARE(readAll(file), QStringLiteral("Eindigt\n"));
    QVERIFY2(serverNow() < boundary, "the publication took too long for the test's minute");
    // Nobody publishes again; the server does at the start of the minute.
    QTRY_COMPARE_WITH_TIMEOUT(readAll(file), QStringLiteral("Begint\n"), 30000);
    QVERIFY(serverNow() >= boundary);
    QVERIFY2(server.log().contains(QStringLiteral("a clock started or ended: publishing again: 6")),
             qPrintable(server.log()));
    // The on-air copy keeps the rubric's whole content.
    QCOMPARE(m_db->query(QStringLiteral("select txt from tblrubriek where id = 6 and onair")).value(0),
             QStringList({QStringLiteral("10ÿ11ÿ")}));
    server.stop();
}

QTEST_GUILESS_MAIN(TestPublish)
#include "tst_publish.moc"
