// OEM code page 850 and the clipboard layer.

#include "platform/Clipboard.h"
#include "platform/CodePage.h"

#include <QTest>

using namespace platform;

class TestCodePage : public QObject {
    Q_OBJECT

private slots:
    void characters_data();
    void characters();
    void everyCodeRoundTrips();
    void strings();
    void lineEnds_data();
    void lineEnds();
    void hookReplacesTheClipboard();
};

void TestCodePage::characters_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("character");
    QTest::newRow("ASCII unchanged") << 65 << "A";
    QTest::newRow("first popup character") << 129 << u"\u00fc"_qs;
    QTest::newRow("e acute") << 130 << u"\u00e9"_qs;
    QTest::newRow("florin") << 159 << u"\u0192"_qs;
    QTest::newRow("last popup character") << 163 << u"\u00fa"_qs;
    QTest::newRow("box drawing") << 196 << u"\u2500"_qs;
    QTest::newRow("dotless i") << 213 << u"\u0131"_qs;
    QTest::newRow("no-break space") << 255 << u"\u00a0"_qs;
}

void TestCodePage::characters()
{
    QFETCH(int, code);
    QFETCH(QString, character);
    QCOMPARE(QString(oemToUnicode(static_cast<unsigned char>(code))), character);
    QCOMPARE(unicodeToOem(character.front()), code);
}

void TestCodePage::everyCodeRoundTrips()
{
    QSet<char16_t> seen;
    for (int code = 0; code < 256; ++code) {
        const QChar c = oemToUnicode(static_cast<unsigned char>(code));
        QVERIFY2(!seen.contains(c.unicode()), qPrintable(QString::number(code)));
        seen.insert(c.unicode());
        QCOMPARE(unicodeToOem(c), code);
    }
    QCOMPARE(unicodeToOem(QChar(0x20AC)), -1);  // the euro sign is not in code page 850
}

void TestCodePage::strings()
{
    const QByteArray oem("caf\x82 \x9c"
                         "5");
    QCOMPARE(oemToUnicode(oem), u"caf\u00e9 \u00a35"_qs);
    QCOMPARE(unicodeToOem(u"caf\u00e9 \u20ac"_qs), QByteArray("caf\x82 ?"));
}

void TestCodePage::lineEnds_data()
{
    QTest::addColumn<QString>("in");
    QTest::addColumn<QString>("out");
    QTest::newRow("LF") << "a\nb"
                        << "a\r\nb";
    QTest::newRow("CR LF stays") << "a\r\nb"
                                 << "a\r\nb";
    QTest::newRow("lone CR") << "a\rb\r"
                             << "a\r\nb\r\n";
    QTest::newRow("LF CR is two line ends") << "a\n\rb"
                                            << "a\r\n\r\nb";
}

void TestCodePage::lineEnds()
{
    QFETCH(QString, in);
    QFETCH(QString, out);
    QCOMPARE(toCrLf(in), out);
}

void TestCodePage::hookReplacesTheClipboard()
{
    MemoryClipboard memory;
    Clipboard *previous = setClipboard(&memory);
    clipboard().setText(QStringLiteral("een\rtwee"));
    QCOMPARE(memory.text(), QStringLiteral("een\rtwee"));
    setClipboard(previous);
    QVERIFY(&clipboard() != &memory);
}

QTEST_APPLESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
