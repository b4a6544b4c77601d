// TPersonalEdit offscreen: keys, mouse selection and the scroll thumb, the
// clipboard, OnChange, fonts and line pitch, and the painted result.

#include "support/ScriptedDialogs.h"

#include "platform/Clipboard.h"
#include "texts/PersonalEdit.h"
#include "texts/StoredText.h"

#include <QClipboard>
#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace texts;

namespace {

// Plays a key script on w. Tokens are separated by spaces: "Shift" (the
// Shift key alone), key names (Left Right Up Down Home End PgUp PgDn Enter
// BS Del Tab Space) or a single letter, each optionally prefixed by "C-"
// (Ctrl) and "S-" (Shift); a token starting with a double quote types the
// rest of it.
void playKeys(QWidget *w, const QString &script)
{
    static const QHash<QString, Qt::Key> names = {
        {QStringLiteral("Left"), Qt::Key_Left},    {QStringLiteral("Right"), Qt::Key_Right},
        {QStringLiteral("Up"), Qt::Key_Up},        {QStringLiteral("Down"), Qt::Key_Down},
        {QStringLiteral("Home"), Qt::Key_Home},    {QStringLiteral("End"), Qt::Key_End},
        {QStringLiteral("PgUp"), Qt::Key_PageUp},  {QStringLiteral("PgDn"), Qt::Key_PageDown},
        {QStringLiteral("Enter"), Qt::Key_Return}, {QStringLiteral("BS"), Qt::Key_Backspace},
        {QStringLiteral("Del"), Qt::Key_Delete},   {QStringLiteral("Tab"), Qt::Key_Tab},
        {QStringLiteral("Space"), Qt::Key_Space},
    };
    for (QString token : script.split(u' ', Qt::SkipEmptyParts)) {
        if (token.startsWith(u'"')) {
            QTest::keyClicks(w, token.mid(1));
            continue;
        }
        if (token == u"Shift") {
            QTest::keyClick(w, Qt::Key_Shift, Qt::ShiftModifier);
            continue;
        }
        Qt::KeyboardModifiers mods;
        while (token.size() > 2 && token[1] == u'-') {
            mods |= token[0] == u'C' ? Qt::ControlModifier : Qt::ShiftModifier;
            token = token.mid(2);
        }
        if (token.size() == 1) {
            const char c = token[0].toLatin1();
            QTest::keyClick(w, Qt::Key(Qt::Key_A + (c - 'a')), mods);
        } else {
            QVERIFY2(names.contains(token), qPrintable(token));
            QTest::keyClick(w, names.value(token), mods);
        }
    }
}

// A shown editor with plain text and a caret.
struct Editor {
    TPersonalEdit edit;
    Editor(const QString &text = {}, int caret = 1)
    {
        edit.resize(300, 160);
        edit.InsertText(text);
        edit.setCaret(caret);
        edit.show();
    }
    const TBuffer &buffer() const { return edit.buffer(); }
    // A point on display line `line` whose position is `pos`.
    QPoint pointAt(int line, int pos) const
    {
        const int start = buffer().lineStart(line);
        const int x = buffer().textWidth(buffer().lineText(line).first(pos - start)) + 1;
        const int y = 2 + (line - edit.firstVisibleLine()) * edit.linePitch() + edit.linePitch() / 2;
        return {x, y};
    }
};

QString selectionOf(const TBuffer &b)
{
    return b.selectionActive() ? b.selectedText() : QStringLiteral("-");
}

}  // namespace

class TestPersonalEdit : public QObject {
    Q_OBJECT

private slots:
    void keys_data();
    void keys();
    void onChange();
    void clipboardThroughTheHook();
    void clipboardRoundTripOnTheDesktop();
    void mouseSelection();
    void pointerOutsideTheColumn();
    void thumbDragScrollsWithoutMovingTheCaret();
    void scrollsToTheCaret();
    void pageCountWithoutRepaint();
    void longPasteIsCutToTheLimit();
    void fontResolvesMetricCompatible();
    void linePitchFollowsFontAndLineDistance();
    void renderedScreenshot();
    void rendererPaintsWithoutAWidget();
};

void TestPersonalEdit::keys_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::addColumn<QString>("selection");  // "-": none active

    QTest::newRow("Shift alone, then Backspace deletes nothing") << "abc" << 4 << "Shift BS"
                                                                 << "abc" << 4 << "-";
    QTest::newRow("a second Backspace deletes") << "abc" << 4 << "Shift BS BS"
                                                << "ab" << 3 << "-";
    QTest::newRow("Shift+Left selects") << "abc" << 4 << "S-Left S-Left"
                                        << "abc" << 2 << "bc";
    QTest::newRow("typing replaces the selection") << "abc" << 4 << "S-Left S-Left \"x"
                                                   << "ax" << 3 << "-";
    QTest::newRow("Left without Shift ends the selection") << "abc" << 4 << "S-Left Left"
                                                           << "abc" << 2 << "-";
    QTest::newRow("Ctrl+A, Backspace empties") << "abc" << 2 << "C-a BS"
                                               << "" << 1 << "-";
    QTest::newRow("Ctrl+Shift+Home selects to the start") << "een twee" << 9 << "C-S-Home"
                                                          << "een twee" << 1 << "een twee";
    QTest::newRow("Enter types a hard return") << "ab" << 3 << "Enter"
                                               << "ab\r" << 4 << "-";
    QTest::newRow("Tab, Ctrl+Z and Ctrl+Y do nothing") << "ab" << 3 << "Tab C-z C-y"
                                                       << "ab" << 3 << "-";
    QTest::newRow("Delete at the caret") << "abc" << 2 << "Del"
                                         << "ac" << 2 << "-";
    QTest::newRow("Ctrl+Left to word starts") << "een twee drie" << 14 << "C-Left C-Left"
                                              << "een twee drie" << 5 << "-";
    QTest::newRow("Ctrl+Right to the next word") << "een twee" << 1 << "C-Right"
                                                 << "een twee" << 5 << "-";
    QTest::newRow("Ctrl+Up and Ctrl+Down by paragraph") << "ab\rcd\ref" << 5 << "C-Up C-Down C-Down"
                                                        << "ab\rcd\ref" << 6 << "-";
    QTest::newRow("Home and End") << "een twee" << 3 << "End"
                                  << "een twee" << 9 << "-";
    QTest::newRow("Ctrl+End") << "ab\rcd" << 1 << "C-End"
                              << "ab\rcd" << 6 << "-";
    QTest::newRow("SpaceCheck refuses a second space") << "ab" << 3 << "Space Space"
                                                       << "ab " << 4 << "-";
    QTest::newRow("AutoCase after a full stop") << "Een." << 5 << "Space \"x"
                                                << "Een. X" << 7 << "-";
    QTest::newRow("Page Down goes LinesPerPage lines down") << "a\rb\rc\rd" << 1 << "PgDn"
                                                            << "a\rb\rc\rd" << 5 << "-";
    QTest::newRow("Page Down ends the selection") << "a\rb\rc" << 1 << "S-Right PgDn"
                                                  << "a\rb\rc" << 6 << "-";
    QTest::newRow("Shift+Page Down selects") << "a\rb\rc" << 1 << "S-PgDn"
                                             << "a\rb\rc" << 5 << "a\rb\r";
}

void TestPersonalEdit::keys()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, keys);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    QFETCH(QString, selection);
    Editor e(text, caret);
    playKeys(&e.edit, keys);
    QCOMPARE(e.buffer().text(), after);
    QCOMPARE(e.edit.Caret(), caretAfter);
    QCOMPARE(selectionOf(e.buffer()), selection);
}

void TestPersonalEdit::onChange()
{
    platform::MemoryClipboard memory;
    platform::Clipboard *previous = platform::setClipboard(&memory);
    Editor e(QStringLiteral("een twee"), 9);
    QSignalSpy changes(&e.edit, &TPersonalEdit::OnChange);
    playKeys(&e.edit, QStringLiteral("Left Right Home End S-Left"));
    QCOMPARE(changes.count(), 0);
    playKeys(&e.edit, QStringLiteral("\"x"));
    QCOMPARE(changes.count(), 1);
    playKeys(&e.edit, QStringLiteral("Enter BS Del"));
    QCOMPARE(changes.count(), 3);  // Delete at the end changes nothing
    playKeys(&e.edit, QStringLiteral("S-Left C-x"));
    QCOMPARE(changes.count(), 4);  // a cut changes the text and says so
    playKeys(&e.edit, QStringLiteral("C-v"));
    QCOMPARE(changes.count(), 5);
    e.edit.setStoredText(QStringLiteral("nieuw<br>"));
    QCOMPARE(changes.count(), 6);
    platform::setClipboard(previous);
}

void TestPersonalEdit::clipboardThroughTheHook()
{
    platform::MemoryClipboard memory;
    platform::Clipboard *previous = platform::setClipboard(&memory);
    Editor e(QStringLiteral("een\rtwee"), 1);
    playKeys(&e.edit, QStringLiteral("C-a C-c"));
    QCOMPARE(memory.text(), QStringLiteral("een\rtwee"));  // the last character included

    // Nothing selected: an empty text.
    playKeys(&e.edit, QStringLiteral("Home C-c"));
    QCOMPARE(memory.text(), QString());

    // A letter, CR, LF and a letter pasted in the middle of a word.
    memory.setText(QStringLiteral("x\r\ny"));
    e.edit.setCaret(3);
    playKeys(&e.edit, QStringLiteral("C-v"));
    QCOMPARE(e.buffer().text(), QStringLiteral("eex\ryn\rtwee"));
    QCOMPARE(e.edit.Caret(), 6);

    // Cut puts the selection there and takes it out.
    e.edit.setCaret(1);
    playKeys(&e.edit, QStringLiteral("S-Right S-Right C-x"));
    QCOMPARE(memory.text(), QStringLiteral("ee"));
    QCOMPARE(e.buffer().text(), QStringLiteral("x\ryn\rtwee"));
    platform::setClipboard(previous);
}

void TestPersonalEdit::clipboardRoundTripOnTheDesktop()
{
    Editor from(QStringLiteral("een\rtwee"), 1);
    playKeys(&from.edit, QStringLiteral("C-a C-c"));
    // Other programs get their own line end.
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("een\ntwee"));
    Editor to(QStringLiteral("[]"), 2);
    playKeys(&to.edit, QStringLiteral("C-v"));
    QCOMPARE(to.buffer().text(), QStringLiteral("[een\rtwee]"));

    // Text copied elsewhere with LF line ends pastes with hard returns.
    QGuiApplication::clipboard()->setText(QStringLiteral("a\nb"));
    to.edit.PasteClipboard();
    QCOMPARE(to.buffer().text(), QStringLiteral("[een\rtweea\rb]"));
}

void TestPersonalEdit::mouseSelection()
{
    Editor e(QStringLiteral("een twee drie"), 1);
    QTest::mouseClick(&e.edit, Qt::LeftButton, {}, e.pointAt(0, 5));
    QCOMPARE(e.edit.Caret(), 5);
    QVERIFY(!e.buffer().selectionActive());

    // Dragging selects from the press to the pointer, caret at the pointer.
    QTest::mousePress(&e.edit, Qt::LeftButton, {}, e.pointAt(0, 5));
    QTest::mouseMove(&e.edit, e.pointAt(0, 7));
    QTest::mouseMove(&e.edit, e.pointAt(0, 9));
    QTest::mouseRelease(&e.edit, Qt::LeftButton, {}, e.pointAt(0, 9));
    QCOMPARE(e.buffer().selectedText(), QStringLiteral("twee"));
    QCOMPARE(e.edit.Caret(), 9);

    // Moving after the release selects nothing more; a new press ends the selection.
    QTest::mouseMove(&e.edit, e.pointAt(0, 12));
    QCOMPARE(e.buffer().selectedText(), QStringLiteral("twee"));
    QTest::mousePress(&e.edit, Qt::RightButton, {}, e.pointAt(0, 2));
    QTest::mouseRelease(&e.edit, Qt::RightButton, {}, e.pointAt(0, 2));
    QCOMPARE(e.edit.Caret(), 2);
    QVERIFY(!e.buffer().selectionActive());
    // The right button does not start selecting.
    QTest::mouseMove(&e.edit, e.pointAt(0, 9));
    QVERIFY(!e.buffer().selectionActive());

    // Right of a soft-wrapped line's end the caret stays on that line.
    e.edit.setMarginWidth(e.buffer().textWidth(u"een twee "));
    QCOMPARE(e.buffer().lineCount(), 2);
    QTest::mouseClick(&e.edit, Qt::LeftButton, {}, QPoint(e.edit.MarginWidth(), e.pointAt(0, 1).y()));
    QCOMPARE(e.edit.Caret(), 9);
}

void TestPersonalEdit::pointerOutsideTheColumn()
{
    Editor e(QStringLiteral("een twee"), 3);
    const int y = e.pointAt(0, 1).y();
    QTest::mouseClick(&e.edit, Qt::LeftButton, {}, QPoint(e.edit.MarginWidth() + 10, y));
    QCOMPARE(e.edit.Caret(), 3);
    QTest::mouseClick(&e.edit, Qt::LeftButton, {}, QPoint(20, 150));  // below the last line
    QCOMPARE(e.edit.Caret(), 3);

    QTest::mouseMove(&e.edit, QPoint(20, y));
    QCOMPARE(e.edit.cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(&e.edit, QPoint(e.edit.MarginWidth() + 10, y));
    QCOMPARE(e.edit.cursor().shape(), Qt::ForbiddenCursor);
    QTest::mouseMove(&e.edit, QPoint(e.edit.width() - 5, y));
    QCOMPARE(e.edit.cursor().shape(), Qt::ArrowCursor);
}

void TestPersonalEdit::thumbDragScrollsWithoutMovingTheCaret()
{
    Editor e(QStringLiteral("regel\r").repeated(100), 1);
    e.edit.grab();  // a repaint: layout, scroll position, thumb
    QCOMPARE(e.edit.firstVisibleLine(), 0);
    const QRect thumb = e.edit.thumbRect();
    QVERIFY(thumb.height() > 2);
    QTest::mousePress(&e.edit, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(&e.edit, thumb.center() + QPoint(0, 50));
    QTest::mouseRelease(&e.edit, Qt::LeftButton, {}, thumb.center() + QPoint(0, 50));
    e.edit.grab();
    const int n = e.buffer().lineCount() - 1;
    const int expected = texts::roundHalfEven(50.0 / (e.edit.height() - 4) * n);
    QCOMPARE(e.edit.firstVisibleLine(), expected);
    QCOMPARE(e.edit.thumbRect().top(), thumb.top() + 50);
    QCOMPARE(e.edit.Caret(), 1);

    // The thumb stops where the last line is at the bottom.
    QTest::mousePress(&e.edit, Qt::LeftButton, {}, e.edit.thumbRect().center());
    QTest::mouseMove(&e.edit, QPoint(thumb.center().x(), 5000));
    QTest::mouseRelease(&e.edit, Qt::LeftButton);
    QCOMPARE(e.edit.firstVisibleLine(), e.buffer().lineCount() - 1 - e.edit.visibleLines());

    // Typing brings the caret back into view.
    playKeys(&e.edit, QStringLiteral("\"x"));
    e.edit.grab();
    QCOMPARE(e.edit.firstVisibleLine(), 0);
}

void TestPersonalEdit::scrollsToTheCaret()
{
    Editor e;
    e.edit.setStoredText(QStringLiteral("regel<hrt>").repeated(60));
    e.edit.grab();
    const int lastLine = e.buffer().lineCount() - 1;
    QCOMPARE(e.edit.firstVisibleLine(), lastLine - e.edit.visibleLines());
    e.edit.setCaret(1);
    e.edit.grab();
    QCOMPARE(e.edit.firstVisibleLine(), 0);
    // visible lines = (height - text height div 2 - LineDistance) div pitch - 1
    const int h = e.edit.textHeight();
    QCOMPARE(e.edit.visibleLines(),
             (e.edit.height() - h / 2 - e.edit.LineDistance()) / (h + e.edit.LineDistance()) - 1);
}

void TestPersonalEdit::pageCountWithoutRepaint()
{
    TPersonalEdit edit;  // never shown
    edit.setLinesPerPage(8);
    edit.setStoredText(QStringLiteral("a<hrt>").repeated(8));
    QCOMPARE(edit.PageCount(), 2);  // 8 lines and the empty one after the last hard return
    edit.setStoredText(QStringLiteral("a<hrt>").repeated(7) + QStringLiteral("a"));
    QCOMPARE(edit.PageCount(), 1);
}

// A paste of 2 MB, far beyond the 1024 display lines the editor lays out:
// what fits goes in, a warning says how much was left out, the page count
// is that of the whole text, and the lines are painted inside the column.
void TestPersonalEdit::longPasteIsCutToTheLimit()
{
    platform::MemoryClipboard memory;
    platform::Clipboard *previous = platform::setClipboard(&memory);
    QString text;
    while (text.size() < 2'000'000)
        text += QStringLiteral("De raad besluit vanavond over het krediet van de fietsbrug over het kanaal.\r");
    memory.setText(text);
    Editor e(QStringLiteral("Begin  einde"), 7);
    e.edit.resize(320, 400);
    e.edit.setLinesPerPage(4);
    TBuffer probe = e.buffer();
    const qsizetype left = probe.insertTextWithinLimit(text);
    QVERIFY(left > 1'900'000);
    testsupport::ScriptedDialogs dialogs;
    dialogs.expectBox(platform::BoxType::Warning, "De ingevoegde tekst past niet helemaal: een tekst telt "
                                                  "hoogstens 1024 regels.\nWat niet past, is weggelaten.");
    playKeys(&e.edit, QStringLiteral("C-v"));
    QVERIFY2(dialogs.problems().isEmpty(), qPrintable(dialogs.problems().join("\n")));
    platform::setClipboard(previous);

    QVERIFY(!e.buffer().beyondLimit());
    QCOMPARE(e.buffer().length(), 12 + int(text.size() - left));
    QVERIFY(e.buffer().text().endsWith(QStringLiteral(" einde")));  // the text after the caret stays
    const int stored = int(storedTextLines(e.edit.StoredText()).size());
    QVERIFY(stored > 1000);
    QCOMPARE(e.buffer().lineCount(), stored);
    QCOMPARE(e.edit.PageCount(), (stored - 1) / 4 + 1);

    // The caret stands at the end of what went in; every line is painted
    // inside the column.
    QCOMPARE(e.edit.Caret(), 7 + int(text.size() - left));
    const QImage image = e.edit.grab().toImage();
    const QColor white = texts::EditorColors::fromPalette(e.edit.palette()).background;
    for (int x = e.edit.MarginWidth() + 3; x < texts::scrollStripLeft(e.edit.size()); ++x)
        for (int y = 1; y < image.height() - 1; ++y)
            QVERIFY2(QColor(image.pixel(x, y)) == white, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
}

void TestPersonalEdit::fontResolvesMetricCompatible()
{
    TPersonalEdit edit;
    const QString family = QFontInfo(edit.editorFont()).family();
    QVERIFY2(QStringList({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")})
                 .contains(family),
             qPrintable(family));
    // What the buffer measures is what Qt lays out and paints.
    const QString sample = QStringLiteral("Wethouder Van Dam: \"Avontuurlijk, maar verantwoord.\"");
    QCOMPARE(edit.buffer().textWidth(sample), QFontMetrics(edit.editorFont()).horizontalAdvance(sample));
}

void TestPersonalEdit::linePitchFollowsFontAndLineDistance()
{
    Editor e(QStringLiteral("een twee drie vier vijf zes"), 1);
    e.edit.setMarginWidth(400);
    QCOMPARE(e.buffer().lineCount(), 1);
    const int small = e.edit.linePitch();
    QCOMPARE(small, QFontMetrics(e.edit.editorFont()).height() + 5);

    e.edit.setFont(QFont(QStringLiteral("Arial"), 36));
    QCOMPARE(e.edit.linePitch(), QFontMetrics(e.edit.editorFont()).height() + 5);
    QVERIFY(e.edit.linePitch() > small);
    QVERIFY(e.buffer().lineCount() > 1);  // wrapped anew in the larger font

    e.edit.setLineDistance(1);
    QCOMPARE(e.edit.linePitch(), QFontMetrics(e.edit.editorFont()).height() + 1);
}

void TestPersonalEdit::renderedScreenshot()
{
    Editor e;
    e.edit.resize(320, 240);
    e.edit.setMarginWidth(220);
    e.edit.setLineDistance(3);
    e.edit.setLinesPerPage(3);
    e.edit.setAutoCase(false);
    e.edit.setStoredText(QStringLiteral(
        "De gemeenteraad van Zwaluwdorp heeft gisteravond ingestemd met de bouw van een nieuwe brug over "
        "de Vliet.<hrt>De brug moet in 2028 klaar zijn.<hrt>Wethouder Van Dam: 5 <\u2264> 7.<hrt>"));
    QVERIFY(e.buffer().text().contains(QStringLiteral("5 < 7.")));
    e.edit.setCaret(12);
    playKeys(&e.edit, QStringLiteral("S-Right S-Right S-Right S-Right S-Right S-Right S-Right S-Right"));
    e.edit.activateWindow();
    e.edit.setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&e.edit));
    QVERIFY(e.edit.hasFocus());
    const QImage image = e.edit.grab().toImage();

    const QString dir = qEnvironmentVariable("QUILLON_BUILD_DIR", QDir::tempPath()) + QStringLiteral("/screenshots");
    QDir().mkpath(dir);
    QVERIFY(image.save(dir + QStringLiteral("/editor.png")));

    const texts::EditorColors colors = texts::EditorColors::fromPalette(e.edit.palette());
    const int pitch = e.edit.linePitch();
    const int lines = e.buffer().lineCount();
    QVERIFY(lines >= 6);
    // Page bands over the first line of every page, not over the others.
    QCOMPARE(QColor(image.pixel(4, 2)), QColor(colors.buttonFace.rgb()));
    QCOMPARE(QColor(image.pixel(4, 2 + 3 * pitch)), QColor(colors.buttonFace.rgb()));
    QCOMPARE(QColor(image.pixel(4, 2 + pitch)), QColor(colors.background.rgb()));
    // The column edge, the end-of-text mark, the strip and the thumb.
    QCOMPARE(QColor(image.pixel(e.edit.MarginWidth() + 2, 100)), QColor(colors.buttonFace.rgb()));
    QCOMPARE(QColor(image.pixel(6, 2 + lines * pitch + 2)), QColor(colors.endMark.rgb()));
    QCOMPARE(QColor(image.pixel(e.edit.width() - 20, 100)), QColor(colors.buttonFace.rgb()));
    QCOMPARE(QColor(image.pixel(e.edit.thumbRect().center())), QColor(colors.buttonShadow.rgb()));
    QCOMPARE(QColor(image.pixel(0, 0)), QColor(colors.frame.rgb()));
    // The selection is highlighted.
    const int selX = 2 + e.buffer().textWidth(e.buffer().lineText(0).first(11)) + 1;
    QCOMPARE(QColor(image.pixel(selX, 2 + pitch - 2)), QColor(colors.highlight.rgb()));
}

// The renderer needs a buffer and a view, not the widget: an image (or a
// printer) gets the same picture, here scaled up twice.
void TestPersonalEdit::rendererPaintsWithoutAWidget()
{
    TBuffer b(texts::TextMetrics::additive([](QChar) { return 7; }));
    b.setMarginWidth(70);
    b.setText(QStringLiteral("een\rtwee\rdrie"));
    texts::EditorView v;
    v.size = QSize(140, 100);
    v.font = texts::editorFont(QFont(QStringLiteral("Arial"), 9));
    v.textHeight = 12;
    v.ascent = 10;
    v.lineDistance = 2;
    v.linesPerPage = 2;
    v.linePitch = 14;
    v.visibleLines = texts::visibleLineCount(100, 12, 2, 14);
    QImage image(280, 200, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    painter.scale(2, 2);
    texts::paintEditor(painter, b, v);
    painter.end();
    const QRgb band = v.colors.buttonFace.rgb();
    QCOMPARE(image.pixel(10, 5), band);  // line 0 starts a page
    QCOMPARE(image.pixel(10, 2 * (2 + 14) + 1), v.colors.background.rgb());
    QCOMPARE(image.pixel(10, 2 * (2 + 28) + 1), band);  // line 2 starts the next
    QCOMPARE(image.pixel(8, 2 * (2 + 42 + 2)), v.colors.endMark.rgb());
    QCOMPARE(image.pixel(0, 0), v.colors.frame.rgb());
    QCOMPARE(image.pixel(279, 199), v.colors.background.rgb());  // all of it painted, scaled
}

QTEST_MAIN(TestPersonalEdit)
#include "tst_personaledit.moc"
