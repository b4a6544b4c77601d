// TBuffer without a display: wrapping at exact widths, the layout and its
// limit, page counts, caret movement, selection and the typing rules.

#include "texts/Buffer.h"
#include "texts/StoredText.h"

#include <QRandomGenerator>
#include <QTest>

using namespace texts;

namespace {

// Every character 7 pixels wide, so a column of n characters is 7n pixels.
int sevenPx(QStringView s)
{
    return int(s.size()) * 7;
}

// Narrow and wide letters, to hit boundaries a fixed width never reaches.
int mixedAdvance(QChar c)
{
    return c == u'i' || c == u'l' ? 3 : c == u'm' || c == u'w' ? 11 : c == u' ' ? 4 : 7;
}

int mixedPx(QStringView s)
{
    int w = 0;
    for (QChar c : s)
        w += mixedAdvance(c);
    return w;
}

// The same widths measured by runs and by running sums of advances, which
// must wrap alike.
QList<texts::TextMetrics> allMetrics()
{
    return {texts::TextMetrics(sevenPx), texts::TextMetrics::additive([](QChar) { return 7; }),
            texts::TextMetrics(mixedPx), texts::TextMetrics::additive(mixedAdvance)};
}

// The display lines as one string: lines separated by "/", a hard return
// shown as "¶" at the end of its line.
QString dump(const TBuffer &b)
{
    QStringList lines;
    for (int k = 0; k < b.lineCount(); ++k)
        lines << b.lineText(k).toString() + (b.endsWithHardReturn(k) ? QStringLiteral("¶") : QString());
    return lines.join(u'/');
}

QString starts(const TBuffer &b)
{
    QStringList s;
    for (int k = 0; k <= b.lineCount(); ++k)
        s << QString::number(b.lineStart(k));
    return s.join(u',');
}

TBuffer bufferWith(const QString &text, int margin, texts::TextMetrics width = sevenPx)
{
    TBuffer b(std::move(width));
    b.setMarginWidth(margin);
    b.setText(text);
    return b;
}

}  // namespace

class TestBuffer : public QObject {
    Q_OBJECT

private slots:
    void wrapping_data();
    void wrapping();
    void everyLineFitsOrIsForced();
    void incrementalLayoutMatchesFullLayout();
    void lineLimit();
    void pageCount_data();
    void pageCount();
    void caretMovement_data();
    void caretMovement();
    void typing_data();
    void typing();
    void editing();
    void selection();
    void marginChangeRewraps();
};

void TestBuffer::wrapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("columnChars");  // column width in 7-pixel characters
    QTest::addColumn<QString>("lines");

    QTest::newRow("empty text has no line") << "" << 10 << "";
    QTest::newRow("first two of three words fit") << "aaa bbb ccc" << 8 << "aaa bbb /ccc";
    QTest::newRow("exact fit") << "aaa bbb" << 7 << "aaa bbb";
    QTest::newRow("a word's separator counts") << "aaa bbb ccc" << 7 << "aaa /bbb ccc";
    QTest::newRow("hard return") << "aaa\rbbb" << 10 << "aaa¶/bbb";
    QTest::newRow("final hard return gives an empty line") << "aaa\r" << 10 << "aaa¶/";
    QTest::newRow("empty paragraphs") << "\r\r" << 10 << "¶/¶/";
    QTest::newRow("hyphen stays at the line end") << "zee-egel" << 4 << "zee-/egel";
    QTest::newRow("long word broken") << "abcdefghij" << 4 << "abcd/efgh/ij";
    QTest::newRow("long word after a short one starts a line") << "ab abcdefghij" << 4 << "ab /abcd/efgh/ij";
    QTest::newRow("word moves down with its spaces") << "aa bbbb    cc" << 10 << "aa /bbbb    cc";
    QTest::newRow("last word before a hard return wraps") << "aaa bbb\rc" << 6 << "aaa /bbb¶/c";
    QTest::newRow("last word at the text end wraps") << "aaa bbb" << 6 << "aaa /bbb";
    // Where the rule would end a line at its own start.
    QTest::newRow("spaces after the first word hang") << "abcd      ef" << 4 << "abcd      /ef";
    QTest::newRow("spaces at the line start hang") << "      ab" << 4 << "      /ab";
    QTest::newRow("hanging spaces take the hard return") << "abcd   \rx" << 4 << "abcd   ¶/x";
    QTest::newRow("hyphen after the first word goes down") << "abcd-ef" << 4 << "abcd/-ef";
    QTest::newRow("hyphens at the line start") << "------" << 4 << "----/--";
    QTest::newRow("character wider than the column") << "ab" << 0 << "a/b";
    QTest::newRow("wide character keeps its hard return") << "a\rb" << 0 << "a¶/b";
    QTest::newRow("wide characters and a space") << "a b" << 0 << "a/ /b";
}

void TestBuffer::wrapping()
{
    QFETCH(QString, text);
    QFETCH(int, columnChars);
    QFETCH(QString, lines);
    // A column of 0 characters is 5 pixels: narrower than any character.
    const int margin = columnChars == 0 ? 5 : columnChars * 7;
    QCOMPARE(dump(bufferWith(text, margin, sevenPx)), lines);
    QCOMPARE(dump(bufferWith(text, margin, texts::TextMetrics::additive([](QChar) { return 7; }))), lines);
}

// Over every column width from 1 to 120 pixels and four ways to measure:
// the lines cover the text exactly, each line takes at least one character,
// and a line is wider than the column only when it is a single character or
// the excess is spaces.
void TestBuffer::everyLineFitsOrIsForced()
{
    const QStringList texts = {
        QStringLiteral("De gemeenteraad van Zwaluwdorp besloot gisteravond na een lange vergadering."),
        QStringLiteral("Een zee-egel, een hoogwater-alarm   en   veel    spaties.\rTweede alinea\r\r"),
        QStringLiteral("mmmmmmmmmmmmmmmmmmmmmmmmmmmmmm iiiiiiiiiiiiiiiiiiiii wwwwwwwww-----wwww"),
        QStringLiteral("   ---   ---   \r-\r \r"),
    };
    const QList<texts::TextMetrics> metrics = allMetrics();
    for (qsizetype m = 0; m < metrics.size(); ++m) {
        const texts::TextMetrics &width = metrics[m];
        const texts::TextMetrics &partner = metrics[m ^ 1];  // the same widths measured the other way
        for (const QString &text : texts) {
            for (int margin = 1; margin <= 120; ++margin) {
                const TBuffer b = bufferWith(text, margin, width);
                QString joined;
                for (int k = 0; k < b.lineCount(); ++k) {
                    const QStringView line = b.lineText(k);
                    joined += line.toString() + (b.endsWithHardReturn(k) ? QStringLiteral("\r") : QString());
                    const bool emptyLast = k == b.lineCount() - 1 && line.isEmpty() && !b.endsWithHardReturn(k);
                    QVERIFY2(!line.isEmpty() || b.endsWithHardReturn(k) || emptyLast,
                             qPrintable(QStringLiteral("empty line %1 at margin %2").arg(k).arg(margin)));
                    QStringView visible = line;
                    while (visible.endsWith(u' '))
                        visible.chop(1);
                    QVERIFY2(width.width(visible) <= margin || line.size() == 1,
                             qPrintable(QStringLiteral("line \"%1\" wider than %2").arg(line).arg(margin)));
                }
                QCOMPARE(joined, text);
                QCOMPARE(starts(b), starts(bufferWith(text, margin, partner)));
            }
        }
    }
}

// After any edit the layout equals a full layout of the new text, also
// across the line limit.
void TestBuffer::incrementalLayoutMatchesFullLayout()
{
    QRandomGenerator rng(20261210);
    const QString alphabet = QStringLiteral("aaaaeeiiomw    --\r");
    QString seed;
    for (int i = 0; i < 3000; ++i)
        seed += alphabet[rng.bounded(int(alphabet.size()))];
    for (int margin : {5, 30, 61, 140}) {
        const texts::TextMetrics metrics =
            margin % 2 ? texts::TextMetrics(mixedPx) : texts::TextMetrics::additive(mixedAdvance);
        TBuffer b(metrics);
        b.setMarginWidth(margin);
        b.setText(seed);
        QVERIFY(b.lineCount() > 0);  // laid out, so edits go the incremental way
        for (int round = 0; round < 400; ++round) {
            const int len = b.length();
            const int pos = 1 + int(rng.bounded(len + 1));
            const int removed = std::min(int(rng.bounded(4)), len + 1 - pos);
            QString inserted;
            for (int i = int(rng.bounded(4)); i > 0; --i)
                inserted += alphabet[rng.bounded(int(alphabet.size()))];
            b.replace(pos, removed, inserted);
            QVERIFY(b.laidOut());
            const TBuffer fresh = bufferWith(b.text(), margin, metrics);
            QCOMPARE(starts(b), starts(fresh));
        }
    }
}

void TestBuffer::lineLimit()
{
    const QString text = QStringLiteral("x\r").repeated(1100);
    TBuffer b = bufferWith(text, 70);
    QCOMPARE(b.lineCount(), TBuffer::MaxLines);
    QCOMPARE(b.pageCount(8), 128);
    // The stored form has every line, also those beyond the limit.
    QCOMPARE(b.storedText().count(texts::HardReturnTag), 1100);
    // Removing lines above brings hidden ones into the layout.
    b.replace(1, 200, {});
    QCOMPARE(b.lineCount(), 1001);
    QCOMPARE(starts(b), starts(bufferWith(b.text(), 70)));
    // Lines pushed beyond the limit leave it.
    b.replace(1, 0, QStringLiteral("y\r").repeated(50));
    QCOMPARE(b.lineCount(), TBuffer::MaxLines);
    QCOMPARE(starts(b), starts(bufferWith(b.text(), 70)));
}

void TestBuffer::pageCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("linesPerPage");
    QTest::addColumn<int>("pages");

    const QString eight = QStringLiteral("a\ra\ra\ra\ra\ra\ra\ra");
    QTest::newRow("8 lines, 8 a page") << eight << 8 << 1;
    QTest::newRow("9 lines, 8 a page") << eight + QStringLiteral("\ra") << 8 << 2;
    QTest::newRow("final hard return counts a line") << eight + QStringLiteral("\r") << 8 << 2;
    QTest::newRow("empty text, 2 a page") << "" << 2 << 1;
    QTest::newRow("empty text, 1 a page") << "" << 1 << 0;
    QTest::newRow("page length 0 counts as 1") << "a\rb" << 0 << 2;
}

void TestBuffer::pageCount()
{
    QFETCH(QString, text);
    QFETCH(int, linesPerPage);
    QFETCH(int, pages);
    QCOMPARE(bufferWith(text, 70).pageCount(linesPerPage), pages);
}

void TestBuffer::caretMovement_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("moves");
    QTest::addColumn<int>("expected");

    // Column of 8 characters: "aaa bbb " / "ccccc " / "ddd" CR / "ee"
    const QString t = QStringLiteral("aaa bbb ccccc ddd\ree");
    QTest::newRow("left stops at 1") << t << 1 << "left" << 1;
    QTest::newRow("right stops at the end") << t << 21 << "right" << 21;
    QTest::newRow("down keeps the column") << t << 3 << "down" << 11;
    QTest::newRow("down to a shorter line stops at its end") << t << 8 << "down" << 14;
    QTest::newRow("down to a hard-return line stops before the CR") << t << 14 << "down" << 18;
    QTest::newRow("up from the first line stays") << t << 3 << "up" << 3;
    QTest::newRow("down from the last line stays") << t << 20 << "down" << 20;
    QTest::newRow("up keeps the column") << t << 21 << "up" << 17;
    QTest::newRow("home") << t << 12 << "home" << 9;
    QTest::newRow("end of a soft line is its last character") << t << 2 << "end" << 8;
    QTest::newRow("end of a hard line is its CR") << t << 15 << "end" << 18;
    QTest::newRow("end of the last line is length + 1") << t << 19 << "end" << 21;
    QTest::newRow("word left from inside a word") << t << 7 << "wordleft" << 5;
    QTest::newRow("word left over spaces") << t << 9 << "wordleft" << 5;
    QTest::newRow("word right to the next word") << t << 2 << "wordright" << 5;
    QTest::newRow("paragraph up to after the CR") << t << 21 << "parup" << 19;
    QTest::newRow("paragraph up stays just after a CR") << t << 19 << "parup" << 19;
    QTest::newRow("paragraph up without CR goes to 1") << t << 10 << "parup" << 1;
    QTest::newRow("paragraph down to the CR") << t << 3 << "pardown" << 18;
    QTest::newRow("paragraph down without CR goes to the end") << t << 19 << "pardown" << 21;
    QTest::newRow("down twice") << t << 2 << "down down" << 16;
}

void TestBuffer::caretMovement()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, moves);
    QFETCH(int, expected);
    TBuffer b = bufferWith(text, 8 * 7);
    QCOMPARE(dump(b), QStringLiteral("aaa bbb /ccccc /ddd¶/ee"));
    b.setCaret(caret);
    const QHash<QString, void (TBuffer::*)()> ops = {
        {QStringLiteral("left"), &TBuffer::moveLeft},
        {QStringLiteral("right"), &TBuffer::moveRight},
        {QStringLiteral("up"), &TBuffer::moveUp},
        {QStringLiteral("down"), &TBuffer::moveDown},
        {QStringLiteral("home"), &TBuffer::moveLineStart},
        {QStringLiteral("end"), &TBuffer::moveLineEnd},
        {QStringLiteral("wordleft"), &TBuffer::moveWordLeft},
        {QStringLiteral("wordright"), &TBuffer::moveWordRight},
        {QStringLiteral("parup"), &TBuffer::moveParagraphUp},
        {QStringLiteral("pardown"), &TBuffer::moveParagraphDown},
    };
    for (const QString &move : moves.split(u' '))
        (b.*ops.value(move))();
    QCOMPARE(b.caret(), expected);
}

void TestBuffer::typing_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("autoCase");
    QTest::addColumn<bool>("spaceCheck");
    QTest::addColumn<QString>("after");

    QTest::newRow("capital at the text start") << ""
                                               << "xy" << true << true << "Xy";
    QTest::newRow("capital after a full stop and a space") << "Een."
                                                           << " x" << true << true << "Een. X";
    QTest::newRow("capital after a comma and a space") << "a,"
                                                       << " x" << true << true << "a, X";
    QTest::newRow("capital after ! and ? directly") << "a!"
                                                    << "x?y" << true << true << "a!X?Y";
    QTest::newRow("no capital after a hard return") << "Een.\r"
                                                    << "x" << true << true << "Een.\rx";
    QTest::newRow("no capital after spaces only") << "  "
                                                  << "x" << true << false << "  x";
    QTest::newRow("no capital mid-sentence") << "ab"
                                             << "x" << true << true << "abx";
    QTest::newRow("only a to z become capitals") << ""
                                                 << "\u00e9" << true << true << "\u00e9";
    QTest::newRow("AutoCase off") << ""
                                  << "x" << false << true << "x";
    QTest::newRow("second space refused") << "a"
                                          << "  b" << true << true << "a b";
    QTest::newRow("space after a hard return accepted") << "a\r"
                                                        << " " << true << true << "a\r ";
    QTest::newRow("SpaceCheck off") << "a"
                                    << "  " << true << false << "a  ";
    QTest::newRow("Enter types a hard return") << "a."
                                               << "\r" << true << true << "a.\r";
}

void TestBuffer::typing()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(bool, autoCase);
    QFETCH(bool, spaceCheck);
    QFETCH(QString, after);
    TBuffer b = bufferWith(before, 70);
    for (QChar c : typed)
        b.typeChar(c, autoCase, spaceCheck);
    QCOMPARE(b.text(), after);
    QCOMPARE(b.caret(), after.size() + 1);
}

void TestBuffer::editing()
{
    // Pasting a letter, CR, LF and a letter in the middle of a word.
    TBuffer b = bufferWith(QStringLiteral("abcd"), 70);
    b.setCaret(3);
    QVERIFY(b.insertText(u"x\r\ny"));
    QCOMPARE(b.text(), QStringLiteral("abx\rycd"));
    QCOMPARE(b.caret(), 6);

    // Backspace and Delete at the ends change nothing.
    b.setCaret(1);
    QVERIFY(!b.backspace());
    b.moveTextEnd();
    QVERIFY(!b.deleteForward());
    QVERIFY(b.backspace());
    QCOMPARE(b.text(), QStringLiteral("abx\ryc"));

    // An active but empty selection is deleted (nothing goes) before a
    // character is.
    b.setAnchor(b.caret());
    b.setSelectionEnd(b.caret());
    QVERIFY(!b.backspace());
    QVERIFY(!b.selectionActive());
    QVERIFY(b.backspace());
    QCOMPARE(b.text(), QStringLiteral("abx\ry"));

    // Typing replaces the selection.
    b.setAnchor(2);
    b.setSelectionEnd(4);
    b.setCaret(4);
    QVERIFY(b.typeChar(u'q', true, true));
    QCOMPARE(b.text(), QStringLiteral("aq\ry"));
    QCOMPARE(b.caret(), 3);
    QVERIFY(!b.selectionActive());

    // Setting the text puts the caret after it and drops the selection.
    b.setAnchor(1);
    b.setText(u"een\ntwee");
    QCOMPARE(b.text(), QStringLiteral("eentwee"));
    QCOMPARE(b.caret(), 8);
    QVERIFY(!b.selectionActive());
}

void TestBuffer::selection()
{
    TBuffer b = bufferWith(QStringLiteral("een\rtwee"), 70);
    b.selectAll();
    QCOMPARE(b.selectedText(), QStringLiteral("een\rtwee"));
    QCOMPARE(b.caret(), 9);
    // Either end may be the smaller one.
    b.setAnchor(7);
    b.setSelectionEnd(2);
    QCOMPARE(b.selectedText(), QStringLiteral("en\rtw"));
    QVERIFY(b.deleteSelection());
    QCOMPARE(b.text(), QStringLiteral("eee"));
    QCOMPARE(b.caret(), 2);
}

void TestBuffer::marginChangeRewraps()
{
    TBuffer b = bufferWith(QStringLiteral("aaa bbb ccc"), 8 * 7);
    QCOMPARE(dump(b), QStringLiteral("aaa bbb /ccc"));
    b.setMarginWidth(4 * 7);
    QCOMPARE(dump(b), QStringLiteral("aaa /bbb /ccc"));
    b.setTextMetrics([](QStringView s) { return int(s.size()); });
    QCOMPARE(dump(b), QStringLiteral("aaa bbb ccc"));
}

QTEST_APPLESS_MAIN(TestBuffer)
#include "tst_buffer.moc"
