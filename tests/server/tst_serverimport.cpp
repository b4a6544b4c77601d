// The server's import of incoming material, end to end: a real
// quillon-server on loopback against a fresh database fetches feeds from a
// small HTTP server the test runs on 127.0.0.1, stores new items once and
// tells every client; hostile feeds and wire files are refused whole with a
// job log line while the server keeps answering.

#include "support/HttpServer.h"
#include "support/LineClient.h"
#include "support/ServerProcess.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using servertest::LineClient;
using servertest::ServerProcess;
using testsupport::HttpServer;

namespace {
QByteArray rssItem(const QString &guid, const QString &title, const QString &date)
{
    return QStringLiteral("<item><title>%1</title><guid>%2</guid><link>https://gemeente.example/%2</link>"
                          "<pubDate>%3</pubDate><description>&lt;p&gt;Over %1&lt;/p&gt;</description></item>")
        .arg(title, guid, date)
        .toUtf8();
}

QByteArray rss(const QByteArray &items)
{
    return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>t</title>" + items + "</channel></rss>";
}

QByteArray fixture(const char *name)
{
    QFile f(qEnvironmentVariable("QUILLON_SOURCE_DIR") + QStringLiteral("/tests/server/data/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

class TestServerImport : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void importTellsEveryClient();
    void oneImportPerSource();
    void hostileFeeds_data();
    void hostileFeeds();
    void wireFolder();
    void charsetInTheHeader();
    void unchangedFeedCostsA304();
    void redirectsAndRelativeLinks();
    void changedItemIsUpdated();
    void damagedFeedKeepsCompleteItems();

private:
    // Polls `c` until a line containing `until` arrives; every line seen.
    QStringList pollUntil(LineClient &c, const QString &until, int timeoutMs = 8000);
    QString startImport(LineClient &c, int source, const QString &name);
    int count(const QString &sql);

    std::unique_ptr<testsupport::TestDatabase> m_db;
    std::unique_ptr<HttpServer> m_http;
    QTemporaryDir m_wire;
    ServerProcess m_server;
    std::unique_ptr<LineClient> m_a;
    std::unique_ptr<LineClient> m_b;
};

void TestServerImport::initTestCase()
{
    QUILLON_REQUIRE_PG(15);
    m_db = std::make_unique<testsupport::TestDatabase>(15, QStringLiteral("quillon_template"));
    QVERIFY2(m_db->ok(), qPrintable(m_db->error()));
    m_http = std::make_unique<HttpServer>();
    QVERIFY(m_http->ok());
    QVERIFY(m_db->exec(QStringLiteral("insert into tbluser (loginnaam, password, rights) values "
                                      "('eva', 'egel', 'xx--------------'), ('jan', 'jas', '----------------')")));
    const QString closed = QStringLiteral("http://127.0.0.1:%1/dicht.xml").arg(testsupport::freeLoopbackPort());
    QVERIFY2(
        m_db->exec(QStringLiteral("insert into tblnet (id, naam, url, feed) values "
                                  "(1, 'Gemeente', 'https://gemeente.example', '%1'), "
                                  "(2, 'Politie', '', '%2'), (3, 'Vijandig', '', '%3'), "
                                  "(4, 'Zonder feed', '', ''), (5, 'Dicht', '', '%4'), "
                                  "(6, 'Bestand', '', 'file:///etc/passwd'), (7, 'Traag', '', '%5')")
                       .arg(m_http->url(QStringLiteral("/gemeente.xml")), m_http->url(QStringLiteral("/politie.xml")),
                            m_http->url(QStringLiteral("/vijandig.xml")), closed,
                            m_http->url(QStringLiteral("/traag.xml")))),
        qPrintable(m_db->lastError()));
    QVERIFY2(m_db->exec(QStringLiteral("insert into tblnet (id, naam, url, feed) values "
                                       "(8, 'Latijn', '', '%1'), (9, 'Verhuisd', '', '%2'), (10, 'Gewijzigd', '', '%3'), "
                                       "(11, 'Etag', '', '%4'), (12, 'Tijdelijk', '', '%5'), (13, 'Beschadigd', '', '%6')")
                            .arg(m_http->url(QStringLiteral("/latijn.xml")), m_http->url(QStringLiteral("/oud.xml")),
                                 m_http->url(QStringLiteral("/gewijzigd.xml")), m_http->url(QStringLiteral("/etag.xml")),
                                 m_http->url(QStringLiteral("/tijdelijk.xml")),
                                 m_http->url(QStringLiteral("/beschadigd.xml")))),
             qPrintable(m_db->lastError()));
    QVERIFY(m_wire.isValid());
    QVERIFY2(m_server.start(m_db.get(), QString(),
                            QStringLiteral("[import]\nwire_folder = %1\nwire_interval = 0.2\n").arg(m_wire.path())),
             qPrintable(m_server.error()));
    m_a = std::make_unique<LineClient>(m_server.port());
    m_b = std::make_unique<LineClient>(m_server.port());
    QVERIFY(m_a->login(QStringLiteral("eva"), QStringLiteral("egel")));
    QVERIFY(m_b->login(QStringLiteral("jan"), QStringLiteral("jas")));
    m_a->command(QStringLiteral("poll"));
}

void TestServerImport::cleanupTestCase()
{
    m_server.stop();
}

QStringList TestServerImport::pollUntil(LineClient &c, const QString &until, int timeoutMs)
{
    QStringList seen;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        const QStringList lines = c.command(QStringLiteral("poll"));
        for (const QString &l : lines)
            if (l != QLatin1String("ok") && !l.startsWith(QLatin1String("chat ")) &&
                !l.startsWith(QLatin1String("users ")))
                seen << l;
        if (seen.join('\n').contains(until))
            return seen;
        QTest::qWait(30);
    }
    seen << QStringLiteral("<nothing with \"%1\">").arg(until);
    return seen;
}

// Starts an import after both clients have read what waits for them, so
// the reply holds only the command's own lines.
QString TestServerImport::startImport(LineClient &c, int source, const QString &name)
{
    m_a->command(QStringLiteral("poll"));
    m_b->command(QStringLiteral("poll"));
    return c.reply(QStringLiteral("job new eenmalig \"import %1\" \"Verversen van %2\"").arg(source).arg(name));
}

int TestServerImport::count(const QString &sql)
{
    const auto rows = m_db->query(sql);
    return rows.isEmpty() ? -1 : rows[0][0].toInt();
}

void TestServerImport::importTellsEveryClient()
{
    m_http->set(QStringLiteral("/gemeente.xml"), rss(rssItem("g2", "Nieuwste", "Thu, 10 Dec 2026 09:00:00 GMT") +
                                                     rssItem("g1", "Oudste", "Wed, 09 Dec 2026 09:00:00 GMT") +
                                                     rssItem("g3", "Middelste", "Wed, 09 Dec 2026 18:00:00 GMT")));
    QCOMPARE(startImport(*m_a, 1, QStringLiteral("Gemeente")),
             QStringLiteral("job log Verversen van Gemeente gestart (eva)|job refresh|ok"));
    // Every client, the one that asked too, gets the new items oldest first,
    // so a list that puts each on top ends newest first.
    QStringList seen = pollUntil(*m_b, QStringLiteral("Gemeente klaar"));
    QStringList bronadd = seen.filter(QRegularExpression(QStringLiteral("^bronadd ")));
    QCOMPARE(bronadd.size(), 3);
    const QList<QStringList> rows = m_db->query(QStringLiteral(
        "select id, datum, \"time\", kop, body, url, guid from tblnetinfo where netid = 1 order by datum, \"time\""));
    QCOMPARE(rows.size(), 3);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(bronadd[i],
                 QStringLiteral("bronadd internet 1 %1 %2 %3 %4").arg(rows[i][0], rows[i][1], rows[i][2], rows[i][3]));
    QCOMPARE(rows[0][3], QStringLiteral("Oudste"));
    QCOMPARE(rows[0][4], QStringLiteral("Over Oudste"));  // markup removed
    QCOMPARE(rows[0][5], QStringLiteral("https://gemeente.example/g1"));
    QVERIFY2(seen.contains(QStringLiteral("job log Verversen van Gemeente klaar: 3 nieuwe berichten (3 in de feed)")),
             qPrintable(seen.join('\n')));
    QVERIFY(pollUntil(*m_a, QStringLiteral("Gemeente klaar")).filter(QStringLiteral("bronadd")).size() == 3);

    // The same feed again adds nothing and tells nobody.
    QCOMPARE(startImport(*m_a, 1, QStringLiteral("Gemeente")),
             QStringLiteral("job log Verversen van Gemeente gestart (eva)|job refresh|ok"));
    seen = pollUntil(*m_b, QStringLiteral("Gemeente klaar"));
    QVERIFY2(seen.filter(QStringLiteral("bronadd")).isEmpty(), qPrintable(seen.join('\n')));
    QVERIFY(seen.contains(QStringLiteral("job log Verversen van Gemeente klaar: 0 nieuwe berichten (3 in de feed)")));

    // A changed feed adds only its new item.
    m_http->set(QStringLiteral("/gemeente.xml"), rss(rssItem("g4", "Erbij", "Thu, 10 Dec 2026 10:00:00 GMT") +
                                                     rssItem("g2", "Nieuwste", "Thu, 10 Dec 2026 09:00:00 GMT")));
    startImport(*m_a, 1, QStringLiteral("Gemeente"));
    seen = pollUntil(*m_b, QStringLiteral("Gemeente klaar"));
    bronadd = seen.filter(QRegularExpression(QStringLiteral("^bronadd ")));
    QCOMPARE(bronadd.size(), 1);
    QVERIFY2(bronadd[0].endsWith(QLatin1String(" Erbij")), qPrintable(bronadd[0]));
    QCOMPARE(count(QStringLiteral("select count(*) from tblnetinfo where netid = 1")), 4);

    // Atom, and the schedule-free planned list.
    m_http->set(QStringLiteral("/politie.xml"), fixture("atom-latin1.xml"));
    startImport(*m_a, 2, QStringLiteral("Politie"));
    seen = pollUntil(*m_b, QStringLiteral("Politie klaar"));
    QCOMPARE(seen.filter(QStringLiteral("bronadd internet 2 ")).size(), 2);
    QCOMPARE(count(QStringLiteral("select count(*) from tblnetinfo where netid = 2 and kop = 'Inbraak Lindelaan'")), 1);
    m_a->command(QStringLiteral("poll"));
}

void TestServerImport::oneImportPerSource()
{
    HttpServer::Answer slow;
    slow.body = rss(rssItem("t1", "Traag", "Thu, 10 Dec 2026 09:00:00 GMT"));
    slow.delayMs = 800;
    m_http->set(QStringLiteral("/traag.xml"), slow);
    QCOMPARE(startImport(*m_a, 7, QStringLiteral("Traag")),
             QStringLiteral("job log Verversen van Traag gestart (eva)|job refresh|ok"));
    // While it runs: listed, and not started twice; the server answers.
    QVERIFY(m_a->reply(QStringLiteral("job list"))
                .contains(QLatin1String("job name import 7 - Verversen van Traag (sinds ")));
    QCOMPARE(startImport(*m_b, 7, QStringLiteral("Traag")),
             QStringLiteral("job log Verversen van Traag: draait al, niet opnieuw gestart|err"));
    QVERIFY(m_a->reply(QStringLiteral("poll")).contains(QLatin1String("draait al")));
    QCOMPARE(m_b->reply(QStringLiteral("useronline eva")), QStringLiteral("ok"));
    const QStringList seen = pollUntil(*m_a, QStringLiteral("Traag klaar"));
    QCOMPARE(seen.filter(QStringLiteral("bronadd internet 7 ")).size(), 1);
    m_b->command(QStringLiteral("poll"));
}

void TestServerImport::hostileFeeds_data()
{
    QTest::addColumn<int>("source");
    QTest::addColumn<QByteArray>("body");  // served as /vijandig.xml for source 3
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("logLine");  // the start of the job log line

    const QString failed = QStringLiteral("job log Verversen van Vijandig mislukt: ");
    const QByteArray items =
        rssItem("v1", "Een", "Thu, 10 Dec 2026 09:00:00 GMT") + rssItem("v2", "Twee", "Thu, 10 Dec 2026 09:00:00 GMT");
    QTest::newRow("not XML, and no feed") << 3 << QByteArray("<html><body><p>Storing</body>") << 200
                                          << failed + "geen RSS- of Atom-feed";
    QTest::newRow("nothing readable") << 3 << QByteArray("<?xml version=\"1.0\"?>") << 200
                                      << failed + "geen leesbare XML";
    QTest::newRow("an HTML page") << 3 << QByteArray("<html><body><p>Storing</p></body></html>") << 200
                                  << failed + "geen RSS- of Atom-feed";
    QTest::newRow("entity expansion")
        << 3
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaaaaaaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">]><rss><channel>" +
                      items + "<item><title>&b;</title></item></channel></rss>")
        << 200 << failed + "geen leesbare XML: het document declareert entiteiten";
    QTest::newRow("50 MB") << 3 << QByteArray(50 * 1024 * 1024, 'x') << 200
                           << failed + "te groot (meer dan 10485760 bytes)";
    QTest::newRow("wrong encoding") << 3
                                    << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel>" + items +
                                                  "<item><title>caf\xe9</title><guid>x</guid></item></channel></rss>")
                                    << 200 << failed + "geen leesbare XML";
    QTest::newRow("HTTP error") << 3 << QByteArray("weg") << 404 << failed + "de webserver antwoordt HTTP 404";
    QTest::newRow("unreachable") << 5 << QByteArray() << 200
                                 << QStringLiteral("job log Verversen van Dicht mislukt: niet bereikbaar (");
    QTest::newRow("not http") << 6 << QByteArray() << 200
                              << QStringLiteral("job log Verversen van Bestand mislukt: alleen http en https");
    QTest::newRow("no feed address") << 4 << QByteArray() << 200
                                     << QStringLiteral(
                                            "job log Verversen van Zonder feed mislukt: bron 4 heeft geen feedadres");
    QTest::newRow("no such source") << 99 << QByteArray() << 200
                                    << QStringLiteral("job log Verversen van Niets mislukt: bron 99 bestaat niet");
}

void TestServerImport::hostileFeeds()
{
    QFETCH(int, source);
    QFETCH(QByteArray, body);
    QFETCH(int, status);
    QFETCH(QString, logLine);
    HttpServer::Answer answer;
    answer.status = status;
    answer.body = body;
    m_http->set(QStringLiteral("/vijandig.xml"), answer);
    const QString name = source == 3   ? QStringLiteral("Vijandig")
                         : source == 5 ? QStringLiteral("Dicht")
                         : source == 6 ? QStringLiteral("Bestand")
                         : source == 4 ? QStringLiteral("Zonder feed")
                                       : QStringLiteral("Niets");
    QCOMPARE(startImport(*m_a, source, name),
             QStringLiteral("job log Verversen van %1 gestart (eva)|job refresh|ok").arg(name));
    const QStringList seen = pollUntil(*m_b, QStringLiteral(" mislukt: "));
    QVERIFY2(seen.filter(QStringLiteral(" mislukt: ")).value(0).startsWith(logLine), qPrintable(seen.join('\n')));
    QVERIFY(seen.filter(QStringLiteral("bronadd")).isEmpty());
    QCOMPARE(count(QStringLiteral("select count(*) from tblnetinfo where netid = %1").arg(source)), 0);
    // The server still answers everybody, a newcomer too.
    LineClient fresh(m_server.port());
    QCOMPARE(fresh.reply(QStringLiteral("checkversion 9")), QStringLiteral("ok"));
    m_a->command(QStringLiteral("poll"));
}

void TestServerImport::wireFolder()
{
    auto drop = [&](const QString &name, const QByteArray &bytes) {
        QFile f(m_wire.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.flush();
        // Written a while ago: the server leaves files that may still grow.
        f.setFileTime(QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime);
    };
    drop(QStringLiteral("nitf.xml"), fixture("nitf.xml"));
    drop(QStringLiteral("newsml.xml"), fixture("newsml.xml"));
    drop(QStringLiteral("kapot.xml"), QByteArray("<nitf><head><docdata><doc-id id-string=\"9\"/>"));
    drop(QStringLiteral("bom.xml"), QByteArray("<!DOCTYPE nitf [<!ENTITY a \"aaaa\">]><nitf>&a;</nitf>"));
    drop(QStringLiteral("notitie.txt"), QByteArray("geen XML"));
    // The server may take the files in one look or in several.
    QStringList seen;
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 8000 && (count(QStringLiteral("select count(*) from tblanp")) < 3 ||
                                  seen.filter(QStringLiteral(".xml mislukt")).size() < 2))
        seen += pollUntil(*m_b, QStringLiteral("ANP: "), 1000);
    QVERIFY2(
        !seen.filter(QRegularExpression(QStringLiteral("^job log ANP: \\d nieuwe? berichte?n? opgeslagen$"))).isEmpty(),
        qPrintable(seen.join('\n')));
    QVERIFY(!seen.filter(QRegularExpression(QStringLiteral("^job log ANP: kapot.xml mislukt: geen leesbare XML")))
                 .isEmpty());
    QVERIFY2(!seen.filter(QStringLiteral("job log ANP: bom.xml mislukt: geen leesbare XML: het document declareert "
                                         "entiteiten"))
                  .isEmpty(),
             qPrintable(seen.join('\n')));
    QCOMPARE(count(QStringLiteral("select count(*) from tblanp")), 3);
    const auto row = m_db->query(QStringLiteral("select kop, rubriek from tblanp where itemid = 'ANP-101'"));
    QCOMPARE(row.value(0), (QStringList{QStringLiteral("Files door gladheid"), QStringLiteral("binnenland")}));
    QVERIFY(QFile::exists(m_wire.filePath(QStringLiteral("done/nitf.xml"))));
    QVERIFY(QFile::exists(m_wire.filePath(QStringLiteral("failed/kapot.xml"))));
    QVERIFY(QFile::exists(m_wire.filePath(QStringLiteral("notitie.txt"))));  // not an agency file: left alone

    // The same item again is stored once; the file goes to done under a free name.
    drop(QStringLiteral("nitf.xml"), fixture("nitf.xml"));
    seen = pollUntil(*m_b, QStringLiteral("al bekend"));
    QVERIFY2(seen.contains(QStringLiteral("job log ANP: 0 nieuwe berichten opgeslagen, 1 al bekend")),
             qPrintable(seen.join('\n')));
    QCOMPARE(count(QStringLiteral("select count(*) from tblanp")), 3);
    QVERIFY(QFile::exists(m_wire.filePath(QStringLiteral("done/nitf-1.xml"))));
}

// A feed that names its encoding only in the Content-Type header.
void TestServerImport::charsetInTheHeader()
{
    HttpServer::Answer a;
    a.body = "<rss version=\"2.0\"><channel><item><title>Caf\xe9 \x80 5</title><guid>l1</guid></item></channel></rss>";
    a.contentType = "application/rss+xml; charset=ISO-8859-1";
    m_http->set(QStringLiteral("/latijn.xml"), a);
    startImport(*m_a, 8, QStringLiteral("Latijn"));
    const QStringList seen = pollUntil(*m_b, QStringLiteral("Latijn klaar"));
    QVERIFY2(seen.contains(QStringLiteral("job log Verversen van Latijn klaar: 1 nieuw bericht (1 in de feed)")),
             qPrintable(seen.join('\n')));
    QCOMPARE(m_db->query(QStringLiteral("select kop from tblnetinfo where netid = 8")).value(0).value(0),
             QStringLiteral("Caf\u00e9 \u20ac 5"));
}

// The validators are kept per source and sent again; the webserver's 304
// stores nothing and tells nobody.
void TestServerImport::unchangedFeedCostsA304()
{
    HttpServer::Answer a;
    a.body = rss(rssItem("e1", "Eens", "Thu, 10 Dec 2026 09:00:00 GMT"));
    a.etag = "\"v1\"";
    a.lastModified = "Thu, 10 Dec 2026 09:00:00 GMT";
    m_http->set(QStringLiteral("/etag.xml"), a);
    startImport(*m_a, 11, QStringLiteral("Etag"));
    QStringList seen = pollUntil(*m_b, QStringLiteral("Etag klaar"));
    QCOMPARE(seen.filter(QStringLiteral("bronadd internet 11 ")).size(), 1);
    QCOMPARE(m_db->query(QStringLiteral("select etag, lastmodified from tblnet where id = 11")).value(0),
             (QStringList{QStringLiteral("\"v1\""), QStringLiteral("Thu, 10 Dec 2026 09:00:00 GMT")}));
    QVERIFY(m_http->lastHeader(QStringLiteral("/etag.xml"), "if-none-match").isEmpty());

    startImport(*m_a, 11, QStringLiteral("Etag"));
    seen = pollUntil(*m_b, QStringLiteral("Etag klaar"));
    QVERIFY2(seen.contains(QStringLiteral("job log Verversen van Etag klaar: niet gewijzigd sinds de vorige keer")),
             qPrintable(seen.join('\n')));
    QVERIFY(seen.filter(QStringLiteral("bronadd")).isEmpty());
    QCOMPARE(m_http->lastStatus(QStringLiteral("/etag.xml")), 304);
    QCOMPARE(m_http->lastHeader(QStringLiteral("/etag.xml"), "if-none-match"), QByteArray("\"v1\""));
    QCOMPARE(m_http->lastHeader(QStringLiteral("/etag.xml"), "if-modified-since"),
             QByteArray("Thu, 10 Dec 2026 09:00:00 GMT"));
    QCOMPARE(m_http->hits(QStringLiteral("/etag.xml")), 2);

    // A new version with a new tag is fetched whole.
    a.body = rss(rssItem("e2", "Twee", "Thu, 10 Dec 2026 10:00:00 GMT") + rssItem("e1", "Eens", "Thu, 10 Dec 2026 09:00:00 GMT"));
    a.etag = "\"v2\"";
    m_http->set(QStringLiteral("/etag.xml"), a);
    startImport(*m_a, 11, QStringLiteral("Etag"));
    seen = pollUntil(*m_b, QStringLiteral("Etag klaar"));
    QVERIFY2(seen.contains(QStringLiteral("job log Verversen van Etag klaar: 1 nieuw bericht (2 in de feed)")),
             qPrintable(seen.join('\n')));
    QCOMPARE(m_db->query(QStringLiteral("select etag from tblnet where id = 11")).value(0).value(0),
             QStringLiteral("\"v2\""));
}

// Relative links resolve against the address the feed finally came from; a
// permanent redirect moves the source's feed address, a temporary one not.
void TestServerImport::redirectsAndRelativeLinks()
{
    HttpServer::Answer moved;
    moved.status = 301;
    moved.location = "/nieuw/feed.xml";
    m_http->set(QStringLiteral("/oud.xml"), moved);
    m_http->set(QStringLiteral("/nieuw/feed.xml"),
                rss("<item><title>Relatief</title><guid>r1</guid><link>artikel/1</link></item>"
                    "<item><title>Vanaf de wortel</title><guid>r2</guid><link>/artikel/2</link></item>"));
    startImport(*m_a, 9, QStringLiteral("Verhuisd"));
    QStringList seen = pollUntil(*m_b, QStringLiteral("Verhuisd klaar"));
    const QString target = m_http->url(QStringLiteral("/nieuw/feed.xml"));
    QVERIFY2(seen.contains(QStringLiteral("job log Verversen van Verhuisd: de feed is permanent verplaatst; het "
                                          "feedadres is nu ") +
                           target),
             qPrintable(seen.join('\n')));
    QCOMPARE(m_db->query(QStringLiteral("select url from tblnetinfo where netid = 9 order by guid")),
             (QList<QStringList>{{m_http->url(QStringLiteral("/nieuw/artikel/1"))},
                                 {m_http->url(QStringLiteral("/artikel/2"))}}));
    QCOMPARE(m_db->query(QStringLiteral("select feed from tblnet where id = 9")).value(0).value(0), target);

    HttpServer::Answer temporary;
    temporary.status = 302;
    temporary.location = "/nieuw/feed.xml";
    m_http->set(QStringLiteral("/tijdelijk.xml"), temporary);
    startImport(*m_a, 12, QStringLiteral("Tijdelijk"));
    seen = pollUntil(*m_b, QStringLiteral("Tijdelijk klaar"));
    QVERIFY2(seen.filter(QStringLiteral("verplaatst")).isEmpty(), qPrintable(seen.join('\n')));
    QCOMPARE(m_db->query(QStringLiteral("select feed from tblnet where id = 12")).value(0).value(0),
             m_http->url(QStringLiteral("/tijdelijk.xml")));
    QCOMPARE(count(QStringLiteral("select count(*) from tblnetinfo where netid = 12")), 2);
}

// The same guid with a corrected headline, text, link or date is updated,
// marked and announced; an item without a date of its own is not "changed"
// by being fetched later.
void TestServerImport::changedItemIsUpdated()
{
    const QByteArray undated = "<item><title>Zonder datum</title><guid>z1</guid></item>";
    m_http->set(QStringLiteral("/gewijzigd.xml"),
                rss(rssItem("c1", "Eerste versie", "Thu, 10 Dec 2026 09:00:00 GMT") + undated));
    startImport(*m_a, 10, QStringLiteral("Gewijzigd"));
    pollUntil(*m_b, QStringLiteral("Gewijzigd klaar"));
    const QString id = m_db->query(QStringLiteral("select id from tblnetinfo where guid = 'c1'")).value(0).value(0);
    const QStringList before =
        m_db->query(QStringLiteral("select datum, \"time\" from tblnetinfo where guid = 'z1'")).value(0);
    QTest::qWait(1100);  // a later fetch time for the undated item

    m_http->set(QStringLiteral("/gewijzigd.xml"),
                rss(rssItem("c1", "Tweede versie", "Thu, 10 Dec 2026 09:30:00 GMT") + undated));
    startImport(*m_a, 10, QStringLiteral("Gewijzigd"));
    const QStringList seen = pollUntil(*m_b, QStringLiteral("Gewijzigd klaar"));
    QVERIFY2(seen.contains(QStringLiteral("job log Verversen van Gewijzigd klaar: 0 nieuwe berichten, 1 bijgewerkt "
                                          "(2 in de feed)")),
             qPrintable(seen.join('\n')));
    const QStringList row = m_db->query(QStringLiteral("select id, datum, \"time\", kop, body, bijgewerkt from tblnetinfo "
                                                       "where guid = 'c1'"))
                                .value(0);
    QCOMPARE(row.value(0), id);  // the same row
    QCOMPARE(row.value(3), QStringLiteral("Tweede versie"));
    QCOMPARE(row.value(4), QStringLiteral("Over Tweede versie"));
    QVERIFY(!row.value(5).isEmpty());
    QCOMPARE(seen.filter(QStringLiteral("bronadd")),
             QStringList{QStringLiteral("bronadd internet 10 %1 %2 %3 Tweede versie (bijgewerkt)")
                             .arg(id, row.value(1), row.value(2))});
    QCOMPARE(m_db->query(QStringLiteral("select datum, \"time\", bijgewerkt from tblnetinfo where guid = 'z1'")).value(0),
             before + QStringList{QString()});
    QCOMPARE(count(QStringLiteral("select count(*) from tblnetinfo where netid = 10")), 2);
}

// A truncated feed stores its complete items and says what it skipped.
void TestServerImport::damagedFeedKeepsCompleteItems()
{
    const QByteArray items =
        rssItem("d1", "Een", "Thu, 10 Dec 2026 09:00:00 GMT") + rssItem("d2", "Twee", "Thu, 10 Dec 2026 09:00:00 GMT");
    m_http->set(QStringLiteral("/beschadigd.xml"), rss(items).left(rss(items).size() - 30));
    startImport(*m_a, 13, QStringLiteral("Beschadigd"));
    const QStringList seen = pollUntil(*m_b, QStringLiteral("Beschadigd klaar"));
    QVERIFY2(!seen.filter(QRegularExpression(QStringLiteral("^job log Verversen van Beschadigd: de feed is beschadigd "
                                                            "\\(.+\\); 1 onvolledig bericht overgeslagen$")))
                  .isEmpty(),
             qPrintable(seen.join('\n')));
    QVERIFY(seen.contains(QStringLiteral("job log Verversen van Beschadigd klaar: 1 nieuw bericht (1 in de feed)")));
    QCOMPARE(m_db->query(QStringLiteral("select kop from tblnetinfo where netid = 13")),
             (QList<QStringList>{{QStringLiteral("Een")}}));
}

QTEST_GUILESS_MAIN(TestServerImport)
#include "tst_serverimport.moc"
