// The stored form in both directions: reading markup and line-end tags,
// writing wrapped lines, and the escape that lets a typed "<" survive.

#include "texts/Buffer.h"
#include "texts/StoredText.h"

#include <QTest>

using namespace texts;

namespace {

int sevenPx(QStringView s)
{
    return int(s.size()) * 7;
}

TBuffer bufferWith(const QString &text, int columnChars)
{
    TBuffer b(sevenPx);
    b.setMarginWidth(columnChars * 7);
    b.setText(text);
    return b;
}

}  // namespace

class TestStoredText : public QObject {
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void writing_data();
    void writing();
    void roundTrip_data();
    void roundTrip();
    void settingRewrapsParagraphs();
    void lines_data();
    void lines();
};

void TestStoredText::reading_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("plain");

    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("soft breaks vanish") << "aaa bbb <br>ccc<br>"
                                        << "aaa bbb ccc";
    QTest::newRow("hard return") << "een<hrt>twee<br>"
                                 << "een\rtwee";
    QTest::newRow("tag names trimmed, any case") << "a< HRT >b<Br>"
                                                 << "a\rb";
    QTest::newRow("LF dropped") << "a\nb"
                                << "ab";
    QTest::newRow("CR LF from elsewhere keeps the CR") << "a\r\nb"
                                                       << "a\rb";
    QTest::newRow("markup of the views dropped") << "<bold>Kop<normal> tekst"
                                                 << "Kop tekst";
    QTest::newRow("open tag takes the rest") << "ab<cd"
                                             << "ab";
    QTest::newRow("greater-than outside a tag kept") << "a>b<br>"
                                                     << "a>b";
    QTest::newRow("escaped less-than") << u"a <\u2264> b<br>"_qs << "a < b";
    QTest::newRow("escape followed by a tag name") << u"<\u2264>hrt><br>"_qs << "<hrt>";
    // Stored texts from before the escape read as they always did.
    QTest::newRow("old typed less-than still opens a tag") << "a<b c>d<br>"
                                                           << "ad";
    QTest::newRow("old text with a lt tag") << "x<lt>y<br>"
                                            << "xy";
}

void TestStoredText::reading()
{
    QFETCH(QString, stored);
    QFETCH(QString, plain);
    QCOMPARE(texts::readStoredText(stored), plain);
}

void TestStoredText::writing_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columnChars");
    QTest::addColumn<QString>("stored");

    QTest::newRow("empty text") << "" << 10 << "";
    QTest::newRow("first two of three words fit") << "aaa bbb ccc" << 8 << "aaa bbb <br>ccc<br>";
    QTest::newRow("final hard return ends with hrt") << "aaa\r" << 10 << "aaa<hrt>";
    QTest::newRow("hard and soft") << "aa\rbb" << 10 << "aa<hrt>bb<br>";
    QTest::newRow("empty paragraph") << "a\r\rb" << 10 << "a<hrt><hrt>b<br>";
    QTest::newRow("typed less-than escaped") << "a<b" << 10 << u"a<\u2264>b<br>"_qs;
    QTest::newRow("forced lines reach the end") << "abcd      ef" << 4 << "abcd      <br>ef<br>";
}

void TestStoredText::writing()
{
    QFETCH(QString, text);
    QFETCH(int, columnChars);
    QFETCH(QString, stored);
    QCOMPARE(bufferWith(text, columnChars).storedText(), stored);
}

void TestStoredText::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain") << "De raad besloot gisteren.\rEen nieuwe alinea.";
    QTest::newRow("less-than and greater-than") << "a < b > c <<>> <";
    QTest::newRow("typed tags stay text") << "<hrt> <br> <bold>tekst</bold>";
    QTest::newRow("hard returns only") << "\r\r\r";
}

// Writing and reading back gives the text, at every column width.
void TestStoredText::roundTrip()
{
    QFETCH(QString, text);
    for (int columnChars = 0; columnChars <= 30; ++columnChars) {
        const QString stored = bufferWith(text, columnChars).storedText();
        QCOMPARE(texts::readStoredText(stored), text);
    }
}

void TestStoredText::settingRewrapsParagraphs()
{
    TBuffer b(sevenPx);
    b.setMarginWidth(20 * 7);
    b.setStoredText(u"aaa <br>bbb<hrt>tweede<br>");
    QCOMPARE(b.text(), QStringLiteral("aaa bbb\rtweede"));
    QCOMPARE(b.lineCount(), 2);
    QCOMPARE(b.lineText(0).toString(), QStringLiteral("aaa bbb"));
    QCOMPARE(b.caret(), b.length() + 1);
    QCOMPARE(b.storedText(), QStringLiteral("aaa bbb<hrt>tweede<br>"));
}

// What printing, the memo and every other line-by-line reader get.
void TestStoredText::lines_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << "" << QStringList{};
    QTest::newRow("soft and hard line ends both end a line")
        << "een twee <br>drie<hrt><hrt>vier<br>" << QStringList{"een twee ", "drie", "", "vier"};
    QTest::newRow("any case, no end after the last line") << "a<BR>b<Hrt>c" << QStringList{"a", "b", "c"};
    QTest::newRow("typed less-than and markup") << u"1 <\u2264> 2<br><bold>vet<br>"_qs << QStringList{"1 < 2", "vet"};
    QTest::newRow("the empty text of the editor") << "<br>" << QStringList{};
    QTest::newRow("two empty lines") << "<hrt><br>" << QStringList{"", ""};
}

void TestStoredText::lines()
{
    QFETCH(QString, stored);
    QFETCH(QStringList, lines);
    QCOMPARE(texts::storedTextLines(stored), lines);
}

QTEST_APPLESS_MAIN(TestStoredText)
#include "tst_storedtext.moc"
