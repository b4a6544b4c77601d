// Reading feeds and agency files without any I/O: RSS 2.0 and Atom into
// rows, hostile documents refused as a whole with a reason, HTML made plain
// text, the dates feeds write, and the news-wire formats.

#include "import/Feed.h"
#include "import/Importer.h"
#include "import/PlainText.h"
#include "import/Wire.h"
#include "import/Xml.h"

#include <QtTest>
#include <cstdlib>

using namespace qserver::import;

namespace {
// A fixed fetch time: 10 Dec 2026 14:00:00 UTC.
constexpr std::time_t kFetched = 1796911200;

// A file of tests/server/data.
QByteArray fixture(const char *name)
{
    QFile f(qEnvironmentVariable("QUILLON_SOURCE_DIR") + QStringLiteral("/tests/server/data/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString dump(const FeedItem &i)
{
    return QString::fromStdString(i.key + "|" + i.datum + " " + i.time + "|" + i.kop + "|" + i.body + "|" + i.url);
}
}  // namespace

class TestFeeds : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rss();
    void atom();
    void hostile_data();
    void hostile();
    void htmlToText_data();
    void htmlToText();
    void dates_data();
    void dates();
    void links();
    void wire_data();
    void wire();
    void arrays();
};

void TestFeeds::initTestCase()
{
    // Item dates are written in the server's local time; the rows below
    // assume Amsterdam time.
    qputenv("TZ", "Europe/Amsterdam");
    tzset();
    initXml();
}

void TestFeeds::rss()
{
    const QByteArray feed = fixture("rss.xml");
    const FeedResult r = parseFeed(feed.toStdString(), "https://gemeente.example/feed.xml", kFetched, 100);
    QVERIFY2(r.ok, r.error.c_str());
    QCOMPARE(QString::fromStdString(r.kind), QStringLiteral("RSS"));
    // The repeated guid and the empty item are left out; a relative link is
    // resolved against the feed; content:encoded wins over description; no
    // date means the fetch time.
    QCOMPARE(int(r.items.size()), 2);
    QCOMPARE(dump(r.items[0]), QStringLiteral("gem-101|20261210 09:05:00|Raad stemt & beslist|Eerste alinea.\r\n\r\n"
                                              "Tweede alinea.|https://gemeente.example/raad"));
    QCOMPARE(dump(r.items[1]), QStringLiteral("https://gemeente.example/nieuws/brug|20261210 15:00:00|Zonder guid|"
                                              "Volledige tekst|https://gemeente.example/nieuws/brug"));
    // The limit takes the first items.
    QCOMPARE(int(parseFeed(feed.toStdString(), "", kFetched, 1).items.size()), 1);
}

void TestFeeds::atom()
{
    const QByteArray feed = fixture("atom-latin1.xml");
    const FeedResult r = parseFeed(feed.toStdString(), "", kFetched, 100);
    QVERIFY2(r.ok, r.error.c_str());
    QCOMPARE(QString::fromStdString(r.kind), QStringLiteral("Atom"));
    QCOMPARE(int(r.items.size()), 2);
    // Latin-1 declared and converted; the alternate link; text content keeps
    // its "<" as text.
    QCOMPARE(dump(r.items[0]), QStringLiteral("tag:politie.example,2026:1|20261210 00:50:00|Inbraak Lindelaan|"
                                              "Getuigen\r\n\r\ngezocht in Caf\u00e9|https://politie.example/1"));
    QCOMPARE(dump(r.items[1]), QStringLiteral("tag:politie.example,2026:2|20261210 07:30:00|a < b|"
                                              "Kort <b>bericht</b>|"));
}

void TestFeeds::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");  // the start of the reason given

    const QByteArray item = "<item><title>t</title><guid>g</guid></item>";
    QTest::newRow("empty") << QByteArray() << "geen leesbare XML";
    QTest::newRow("not XML") << QByteArray("<html><body>Oops</p></html>") << "geen leesbare XML";
    QTest::newRow("truncated") << QByteArray("<rss><channel>" + item + "<item><title>half") << "geen leesbare XML";
    QTest::newRow("not a feed") << QByteArray("<html><body/></html>") << "geen RSS- of Atom-feed";
    QTest::newRow("entity expansion")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY a \"aaaaaaaaaa\">"
                      "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\"><!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                      "<rss><channel><item><title>&c;</title></item></channel></rss>")
        << "geen leesbare XML: het document declareert entiteiten";
    QTest::newRow("external entity")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE rss [<!ENTITY x SYSTEM \"file:///etc/passwd\">]>"
                      "<rss><channel><item><title>&x;</title></item></channel></rss>")
        << "geen leesbare XML: het document declareert entiteiten";
    QTest::newRow("deep nesting") << QByteArray("<rss>" + QByteArray("<a>").repeated(5000) +
                                                QByteArray("</a>").repeated(5000) + "</rss>")
                                  << "geen leesbare XML";
    QTest::newRow("invalid UTF-8") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><item><title>"
                                                 "caf\xe9</title></item></channel></rss>")
                                   << "geen leesbare XML";
    QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"x-quillon\"?><rss/>")
                                      << "geen leesbare XML";
    QTest::newRow("undeclared entity") << QByteArray(
                                              "<rss><channel><item><title>a&nbsp;b</title></item></channel></rss>")
                                       << "geen leesbare XML";
}

void TestFeeds::hostile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, error);
    const FeedResult r = parseFeed(bytes.toStdString(), "", kFetched, 100);
    QVERIFY(!r.ok);
    QVERIFY(r.items.empty());
    QVERIFY2(QString::fromStdString(r.error).startsWith(error), r.error.c_str());
}

void TestFeeds::htmlToText_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "gewoon"
                           << "gewoon";
    QTest::newRow("blanks collapse") << "  a \t  b  "
                                     << "a b";
    QTest::newRow("blocks are lines, paragraphs apart") << "<p>a</p><p>b</p>x<br>y"
                                                        << "a\r\n\r\nb\r\nx\r\ny";
    QTest::newRow("one empty line at most") << "a<br><br><br><br>b"
                                            << "a\r\n\r\nb";
    QTest::newRow("script and style dropped") << "a<script>var x = '<p>';</script><style>p{}</style>b"
                                              << "ab";
    QTest::newRow("comment dropped") << "a<!-- <p>x</p> -->b"
                                     << "ab";
    QTest::newRow("quoted > in a tag") << "<a href=\"x>y\">link</a>"
                                       << "link";
    QTest::newRow("references") << "&lt;&gt;&amp;&quot;&#39;&#x263A;&eacute;&hellip;"
                                << "<>&\"'\u263a\u00e9\u2026";
    QTest::newRow("unknown reference kept") << "&bogus; & co"
                                            << "&bogus; & co";
    QTest::newRow("control reference is a blank") << "a&#1;b&#0;c"
                                                  << "a b c";
    QTest::newRow("lone <") << "a < b"
                            << "a < b";
    QTest::newRow("invalid UTF-8 replaced") << QString::fromLatin1("a\xff") << QStringLiteral("a\u00ff");
    QTest::newRow("control characters") << "a\x01\x7f"
                                           "b"
                                        << "a b";
    QTest::newRow("unclosed tag") << "a<b"
                                  << "a";
}

void TestFeeds::htmlToText()
{
    QFETCH(QString, html);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(qserver::import::htmlToText(html.toStdString())), text);
    // Raw bytes that are not UTF-8 never come out.
    const std::string raw = qserver::import::htmlToText("x\xc3(\xed\xa0\x80");
    QVERIFY(QString::fromUtf8(raw.data(), int(raw.size())).toUtf8() == QByteArray::fromStdString(raw));
}

void TestFeeds::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("utc");  // -1: unreadable
    QTest::newRow("RFC 822") << "Thu, 10 Dec 2026 14:00:00 +0000" << qint64(kFetched);
    QTest::newRow("RFC 822 zone +0100") << "Thu, 10 Dec 2026 15:00:00 +0100" << qint64(kFetched);
    QTest::newRow("RFC 822 GMT, no weekday") << "10 Dec 2026 14:00:00 GMT" << qint64(kFetched);
    QTest::newRow("RFC 822 no seconds, EST") << "Thu, 10 Dec 2026 09:00 EST" << qint64(kFetched);
    QTest::newRow("RFC 822 two-digit year") << "10 Dec 26 14:00:00 Z" << qint64(kFetched);
    QTest::newRow("ISO Z") << "2026-12-10T14:00:00Z" << qint64(kFetched);
    QTest::newRow("ISO offset, fraction") << "2026-12-10T15:00:00.250+01:00" << qint64(kFetched);
    QTest::newRow("ISO basic (NITF)") << "20261210T150000+0100" << qint64(kFetched);
    QTest::newRow("date alone") << "2026-12-10" << qint64(kFetched - 14 * 3600);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("garbage") << "gisteren" << qint64(-1);
    QTest::newRow("bad month") << "10 Foo 2026 14:00:00 GMT" << qint64(-1);
    QTest::newRow("bad zone") << "10 Dec 2026 14:00:00 XYZ" << qint64(-1);
    QTest::newRow("out of range") << "2026-13-40T25:00:00Z" << qint64(-1);
}

void TestFeeds::dates()
{
    QFETCH(QString, text);
    QFETCH(qint64, utc);
    const auto t = parseDate(text.toStdString());
    QCOMPARE(t ? qint64(*t) : qint64(-1), utc);
}

void TestFeeds::links()
{
    QCOMPARE(safeLink(" https://a.example/x ", ""), std::string("https://a.example/x"));
    QCOMPARE(safeLink("HTTP://A.example", ""), std::string("HTTP://A.example"));
    QCOMPARE(safeLink("javascript:alert(1)", "https://a.example/f"), std::string());
    QCOMPARE(safeLink("file:///etc/passwd", "https://a.example/f"), std::string());
    QCOMPARE(safeLink("//evil.example/x", "https://a.example/f"), std::string());
    QCOMPARE(safeLink("/x", "https://a.example:8080/feeds/f.xml"), std::string("https://a.example:8080/x"));
    QCOMPARE(safeLink("/x", "file:///feed.xml"), std::string());
    QCOMPARE(safeLink("https://a.example/a b", ""), std::string());
}

void TestFeeds::wire_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");  // format|id|datum time|kop|body|rubriek per item, or "error: ..."

    QTest::newRow("NITF")
        << fixture("nitf.xml")
        << "NITF|ANP-101|20261210 15:00:00|Files door gladheid|Eerste alinea.\r\n\r\nTweede & laatste.|"
           "binnenland";
    QTest::newRow("NewsML-G2 message, two items")
        << fixture("newsml.xml")
        << "NewsML-G2|urn:anp:1|20261210 15:00:00|Bibliotheken|Meer geld.|economie\n"
           "NewsML-G2|urn:anp:2|20261210 15:00:00|Zonder datum|Regel een\r\nRegel twee|";
    QTest::newRow("NITF without id") << QByteArray("<nitf><head/><body/></nitf>") << "error: NITF-bericht zonder id";
    QTest::newRow("NewsML-G2 one item without guid, nothing stored")
        << QByteArray("<newsMessage><itemSet><newsItem guid=\"a\"/><newsItem/></itemSet></newsMessage>")
        << "error: NewsML-G2-bericht zonder id";
    QTest::newRow("empty message") << QByteArray("<newsMessage/>") << "error: NewsML-G2-bericht zonder newsItem";
    QTest::newRow("other format") << QByteArray("<rss/>") << "error: geen NewsML-G2 of NITF";
    QTest::newRow("truncated") << QByteArray("<nitf><head><docdata><doc-id id-string=\"1\"/>")
                               << "error: geen leesbare XML";
    QTest::newRow("entity expansion") << QByteArray("<!DOCTYPE nitf [<!ENTITY a \"aaaa\">]><nitf>&a;</nitf>")
                                      << "error: geen leesbare XML: het document declareert entiteiten";
}

void TestFeeds::wire()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    const WireResult r = parseWire(bytes.toStdString(), kFetched);
    QString got;
    if (!r.ok) {
        QVERIFY(r.items.empty());
        got = QStringLiteral("error: ") + QString::fromStdString(r.error);
        QVERIFY2(got.startsWith(expected), qPrintable(got));
        return;
    }
    QStringList rows;
    for (const WireItem &i : r.items)
        rows << QString::fromStdString(r.format + "|" + i.itemId + "|" + i.datum + " " + i.time + "|" + i.kop + "|" +
                                       i.body + "|" + i.rubriek);
    QCOMPARE(rows.join('\n'), expected);
}

void TestFeeds::arrays()
{
    QCOMPARE(textArray({}), std::string("{}"));
    QCOMPARE(textArray({"a", "b \"c\"", "d\\e", "", "NULL", "{x,y}"}),
             std::string("{\"a\",\"b \\\"c\\\"\",\"d\\\\e\",\"\",\"NULL\",\"{x,y}\"}"));
    QCOMPARE(sourceId("import 12"), std::optional<long long>(12));
    QCOMPARE(sourceId("import -1"), std::optional<long long>());
    QCOMPARE(sourceId("import 12x"), std::optional<long long>());
    QCOMPARE(sourceId("import"), std::optional<long long>());
    QCOMPARE(bronaddLine(3, "7", "20261210", "09:05:00", "Kop met spaties"),
             std::string("bronadd internet 3 7 20261210 09:05:00 Kop met spaties"));
}

QTEST_GUILESS_MAIN(TestFeeds)
#include "tst_feeds.moc"
