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

// A whole result as one text: a line "damaged, N skipped" first when the
// feed was not well-formed, then one line per item.
QString dump(const FeedResult &r)
{
    QStringList lines;
    if (!r.damage.empty())
        lines << QStringLiteral("damaged, %1 skipped").arg(r.skipped);
    for (const FeedItem &i : r.items)
        lines << dump(i);
    return lines.join('\n');
}

QByteArray rssFeed(const QByteArray &items)
{
    return "<rss version=\"2.0\"><channel><title>t</title>" + items + "</channel></rss>";
}
}  // namespace

class TestFeeds : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rss();
    void atom();
    void realFeeds_data();
    void realFeeds();
    void hostile_data();
    void hostile();
    void encodings_data();
    void encodings();
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

void TestFeeds::realFeeds_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("charset");  // of the HTTP header
    QTest::addColumn<QString>("url");  // where the feed was finally fetched from
    QTest::addColumn<QString>("expected");  // dump(FeedResult)

    const QString url = QStringLiteral("https://nieuw.example/feeds/a.xml");
    const QString undated = QStringLiteral("20261210 15:00:00");  // the fetch time, in Amsterdam
    QTest::newRow("HTML named entities")
        << rssFeed("<item><title>Caf&eacute; open&nbsp;today &hellip;</title><guid>e1</guid></item>") << "" << url
        << "e1|" + undated + "|Caf\u00e9 open today \u2026||";
    QTest::newRow("an unknown entity stays as written")
        << rssFeed("<item><title>A &bogus; B</title><guid>e2</guid></item>") << "" << url << "e2|" + undated + "|A &bogus; B||";
    QTest::newRow("a stray & in a link and a title")
        << rssFeed("<item><title>Q & A</title><link>https://a.example/?a=1&b=2</link></item>") << "" << url
        << "https://a.example/?a=1&b=2|" + undated + "|Q & A||https://a.example/?a=1&b=2";
    QTest::newRow("truncated: the complete items are taken")
        << QByteArray("<rss><channel><item><title>Heel</title><guid>t1</guid></item><item><title>Ha") << "" << url
        << "damaged, 1 skipped\nt1|" + undated + "|Heel||";
    QTest::newRow("an unclosed tag costs its own item only")
        << rssFeed("<item><title>Een</title><guid>u1</guid><description>a <b>vet</description></item>"
               "<item><title>Twee</title><guid>u2</guid></item>")
        << "" << url << "damaged, 1 skipped\nu2|" + undated + "|Twee||";
    QTest::newRow("forbidden control characters are blanks")
        << rssFeed("<item><title>a\x01" "b\x0b" "c</title><guid>c1</guid></item>") << "" << url << "c1|" + undated + "|a b c||";
    QTest::newRow("escaped markup in an HTML description stays text")
        << rssFeed("<item><title>t</title><guid>m1</guid><description>History of the &amp;lt;blink&amp;gt; "
               "tag</description></item>")
        << "" << url << "m1|" + undated + "|t|History of the <blink> tag|";
    QTest::newRow("RSS item with only a link")
        << rssFeed("<item><link>https://a.example/alleen-link</link></item>") << "" << url
        << "https://a.example/alleen-link|" + undated +
               "|https://a.example/alleen-link||https://a.example/alleen-link";
    QTest::newRow("RSS item with only a long text: its first words")
        << rssFeed("<item><description>Een tekst zonder kop die langer is dan wat een regel van de lijst kan tonen, "
               "dus afgekapt.</description><guid>k1</guid></item>")
        << "" << url
        << "k1|" + undated +
               "|Een tekst zonder kop die langer is dan wat een regel van de lijst kan tonen,\u2026|Een tekst zonder "
               "kop die langer is dan wat een regel van de lijst kan tonen, dus afgekapt.|";
    QTest::newRow("Atom entry with only an id and content")
        << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><id>urn:a:1</id>"
                      "<content type=\"html\">&lt;p&gt;Korte melding.&lt;/p&gt;</content></entry></feed>")
        << "" << url << "urn:a:1|" + undated + "|Korte melding.|Korte melding.|";
    QTest::newRow("an extension's element does not stand in for the item's own")
        << rssFeed("<item xmlns:x=\"urn:x\"><x:title>Vreemd</x:title><title>Eigen</title><x:description>Vreemde "
               "tekst</x:description><description>Eigen tekst</description><x:link>https://x.example/</x:link>"
               "<x:guid>x</x:guid><guid>n1</guid><x:pubDate>Thu, 01 Jan 2026 00:00:00 GMT</x:pubDate></item>")
        << "" << url << "n1|" + undated + "|Eigen|Eigen tekst|";
    QTest::newRow("content:encoded and dc:date by their namespace, not their name")
        << rssFeed("<item xmlns:c=\"http://purl.org/rss/1.0/modules/content/\" xmlns:d=\"http://purl.org/dc/elements/1.1/\" "
               "xmlns:y=\"urn:y\"><title>t</title><guid>n2</guid><y:encoded>Nee</y:encoded><description>Kort"
               "</description><c:encoded>&lt;p&gt;Lang&lt;/p&gt;</c:encoded><y:date>2020-01-01</y:date>"
               "<d:date>2026-12-09T16:45:00+01:00</d:date></item>")
        << "" << url << "n2|20261209 16:45:00|t|Lang|";
    QTest::newRow("Atom 0.3 base64 content")
        << QByteArray("<feed version=\"0.3\" xmlns=\"http://purl.org/atom/ns#\"><entry><title>B</title><id>b1</id>"
                      "<issued>2026-12-10T08:00:00Z</issued>"
                      "<content type=\"text/html\" mode=\"base64\">PHA+SGFs\nbG8gd2VyZWxkPC9wPg==</content>"
                      "</entry></feed>")
        << "" << url << "b1|20261210 09:00:00|B|Hallo wereld|";
    QTest::newRow("Atom 1.0 base64 content of a media type; a picture gives no text")
        << QByteArray("<feed xmlns=\"http://www.w3.org/2005/Atom\"><entry><title>C</title><id>b2</id>"
                      "<content type=\"application/octet-stream\">SGFsbG8=</content></entry><entry><title>D</title>"
                      "<id>b3</id><content type=\"image/png\">iVBORw0KGgo=</content></entry></feed>")
        << "" << url << "b2|" + undated + "|C|Hallo|\nb3|" + undated + "|D||";
    QTest::newRow("relative links resolve against the final address")
        << rssFeed("<item><title>r</title><guid>r1</guid><link>nieuws/1</link></item><item><title>s</title><guid>r2</guid>"
               "<link>/x?y=1</link></item><item><title>u</title><guid>r3</guid><link>//cdn.example/p</link></item>")
        << "" << url
        << "r1|" + undated + "|r||https://nieuw.example/feeds/nieuws/1\nr2|" + undated +
               "|s||https://nieuw.example/x?y=1\nr3|" + undated + "|u||https://cdn.example/p";
    QTest::newRow("a news site's RSS 2.0 with content:encoded and media:content")
        << fixture("news-rss.xml") << "" << QStringLiteral("https://omroep.example/rss")
        << "omroep-4411|20261210 13:15:00|Brug bij de haven weer open|Na drie weken werk is de brug bij de haven weer "
           "open.\r\n\r\nDe brug (foto: gemeente)\r\n\r\nFietsers moeten nog wel omrijden.|"
           "https://omroep.example/nieuws/4411/brug-open?utm_source=rss&utm_medium=feed\n"
           "https://omroep.example/nieuws/4410|20261210 11:00:00|Raad praat over begroting|De raad spreekt vanavond "
           "over de begroting & de lasten.|https://omroep.example/nieuws/4410";
    QTest::newRow("an Atom feed with xhtml content and xml:base")
        << fixture("blog-atom.xml") << "" << QStringLiteral("https://politie.example/atom.xml")
        << "tag:politie.example,2026:blog:17|20261210 08:00:00|Let op nepagenten|Er gaan mensen langs de deuren die "
           "zich voordoen als agent.\r\n\r\nVraag om het pasje.\r\nBel 112 bij twijfel.|"
           "https://politie.example/blog/nepagenten";
    QTest::newRow("an RSS 1.0 feed with dc:date, Windows-1252 declared as ISO-8859-1")
        << fixture("rss10.xml") << "" << QStringLiteral("https://waterschap.example/rss")
        << "https://waterschap.example/b/88|20261209 16:45:00|Dijk bij Maas\u00ebver versterkt|Het werk duurt tot het "
           "voorjaar \u2013 zegt het waterschap.|https://waterschap.example/b/88";
    QTest::newRow("a JSON Feed 1.1")
        << fixture("jsonfeed.json") << "" << QStringLiteral("https://stad.example/feed.json")
        << "2026-12-10-markt|20261210 10:00:00|Kerstmarkt op het plein|Vanaf vrijdag staat de kerstmarkt op het "
           "plein.\r\n\r\nToegang gratis.|https://stad.example/2026/12/markt\n"
           "1042|20261209 09:00:00|Korte melding zonder kop: de bibliotheek is zaterdag dicht. Maandag weer open.|"
           "Korte melding zonder kop: de bibliotheek is zaterdag dicht.\r\nMaandag weer open.|"
           "https://stad.example/2026/12/korte";
    QTest::newRow("a JSON Feed 1 with a BOM")
        << QByteArray("\xEF\xBB\xBF {\"version\": \"https://jsonfeed.org/version/1\", \"items\": [{\"id\": \"j\", "
                      "\"title\": \"Caf\\u00e9\", \"summary\": \"Kort\"}]}")
        << "" << url << "j|" + undated + "|Caf\u00e9|Kort|";
}

void TestFeeds::realFeeds()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, charset);
    QFETCH(QString, url);
    QFETCH(QString, expected);
    const FeedResult r = parseFeed(bytes.toStdString(), url.toStdString(), kFetched, 100, charset.toStdString());
    QVERIFY2(r.ok, r.error.c_str());
    QCOMPARE(dump(r), expected);
}

void TestFeeds::encodings_data()
{
    QTest::addColumn<QByteArray>("bytes");  // a feed whose one title is read
    QTest::addColumn<QString>("charset");  // of the HTTP header
    QTest::addColumn<QString>("title");  // "error: ..." when refused

    const auto feed = [](const QByteArray &decl, const QByteArray &title) {
        return decl + "<rss><channel><item><title>" + title + "</title><guid>g</guid></item></channel></rss>";
    };
    const QByteArray latin1 = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>";
    QTest::newRow("Windows-1252 bytes in ISO-8859-1")
        << feed(latin1, "don\x92t pay \x80 5, \x93quoted\x94 \x85") << "" << "don\u2019t pay \u20ac 5, \u201cquoted\u201d \u2026";
    QTest::newRow("undefined Windows-1252 bytes are no C1 controls")
        << feed(latin1, "a\x81z\x9d") << "" << "a\ufffdz\ufffd";
    QTest::newRow("a C1 character reference is read as Windows-1252")
        << feed("", "a &#150; b&#x80;") << "" << "a \u2013 b\u20ac";
    QTest::newRow("UTF-8 encoded C1 controls") << feed("", "a\xc2\x96 b\xc2\x81") << "" << "a\u2013 b\ufffd";
    QTest::newRow("charset in the header only") << feed("", "Caf\xe9") << "iso-8859-1" << "Caf\u00e9";
    QTest::newRow("charset in the header only, Windows-1252") << feed("", "\x80") << "windows-1252" << "\u20ac";
    QTest::newRow("the declaration wins over the header")
        << feed("<?xml version=\"1.0\" encoding=\"UTF-8\"?>", "Caf\xc3\xa9") << "iso-8859-1" << "Caf\u00e9";
    QTest::newRow("the byte order mark wins over the declaration")
        << feed("\xEF\xBB\xBF" + latin1, "Caf\xc3\xa9") << "iso-8859-1" << "Caf\u00e9";
    const QString utf16 = QStringLiteral("<rss><channel><item><title>Caf\u00e9</title><guid>g</guid></item></channel></rss>");
    QTest::newRow("UTF-16 with a byte order mark")
        << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char *>(utf16.utf16()), 2 * utf16.size()) << ""
        << "Caf\u00e9";
    QTest::newRow("ISO-8859-15 through iconv")
        << feed("<?xml version=\"1.0\" encoding=\"ISO-8859-15\"?>", "\xa4") << "" << "\u20ac";
    QTest::newRow("invalid UTF-8 is refused")
        << feed("", "caf\xe9") << "" << "error: geen leesbare XML: geen geldige UTF-8";
    QTest::newRow("an unknown encoding is refused")
        << feed("<?xml version=\"1.0\" encoding=\"x-quillon\"?>", "a") << ""
        << "error: geen leesbare XML: onbekende tekenset x-quillon";
}

void TestFeeds::encodings()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, charset);
    QFETCH(QString, title);
    const FeedResult r = parseFeed(bytes.toStdString(), "", kFetched, 100, charset.toStdString());
    const QString got = r.ok ? QString::fromStdString(r.items.empty() ? "<none>" : r.items[0].kop)
                             : QStringLiteral("error: ") + QString::fromStdString(r.error);
    QVERIFY2(got.startsWith(title), qPrintable(got));
    QCOMPARE(got.size() == title.size() || !r.ok, true);
}

void TestFeeds::hostile_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("error");  // the start of the reason given

    const QByteArray item = "<item><title>t</title><guid>g</guid></item>";
    QTest::newRow("empty") << QByteArray() << "geen leesbare XML";
    QTest::newRow("not XML, and no feed") << QByteArray("<html><body>Oops</p></html>") << "geen RSS- of Atom-feed";
    QTest::newRow("nothing after the declaration") << QByteArray("<?xml version=\"1.0\"?>") << "geen leesbare XML";
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
    QTest::newRow("entity declared in a damaged document")
        << QByteArray("<!DOCTYPE rss [<!ENTITY a \"aaaa\">]><rss><channel><item><title>&a;</title></item>")
        << "geen leesbare XML: het document declareert entiteiten";
    QTest::newRow("deep nesting in a damaged document")
        << QByteArray("<rss><channel>" + item + QByteArray("<a>").repeated(5000)) << "geen leesbare XML";
    QTest::newRow("invalid UTF-8") << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss><channel><item><title>"
                                                 "caf\xe9</title></item></channel></rss>")
                                   << "geen leesbare XML";
    QTest::newRow("unknown encoding") << QByteArray("<?xml version=\"1.0\" encoding=\"x-quillon\"?><rss/>")
                                      << "geen leesbare XML";
    QTest::newRow("broken JSON") << QByteArray("{\"version\": \"https://jsonfeed.org/version/1\", \"items\": [")
                                 << "geen leesbare JSON";
    QTest::newRow("JSON, but no feed") << QByteArray("{\"a\": 1}") << "geen JSON Feed";
    QTest::newRow("JSON Feed without items") << QByteArray("{\"version\": \"https://jsonfeed.org/version/1.1\"}")
                                             << "JSON Feed zonder items";
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
    const std::string raw = qserver::import::htmlToText("x\xc3(\xed\xa0\x80 \xff\xbd\xbd \xf8\x88\x80\x80");
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
    QCOMPARE(safeLink("//b.example/x", "https://a.example/f"), std::string("https://b.example/x"));
    QCOMPARE(safeLink("../x", "https://a.example/a/b/f.xml"), std::string("https://a.example/a/x"));
    QCOMPARE(safeLink("x", ""), std::string());
    QCOMPARE(safeLink("x", "ftp://a.example/f"), std::string());
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
