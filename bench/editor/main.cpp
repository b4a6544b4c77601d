// bench_editor: TPersonalEdit against QPlainTextEdit on the same 1,000-line
// text in the same font and column width.
//  - keystroke: a key event in the middle of the text (a letter, then a
//    Backspace, alternately), the relayout included, painting not (both
//    widgets only schedule it);
//  - set text: replacing the whole text; ours includes wrapping all of it
//    and the page count, which the versions window reads at once.
// Each figure is the median of several runs. The last line is the keystroke
// ratio: "keystroke ours/QPlainTextEdit: X.XX".

#include "texts/PersonalEdit.h"
#include "texts/StoredText.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace texts;

namespace {

constexpr int kLines = 1000;
constexpr int kMargin = 400;
constexpr int kKeystrokes = 2000;
constexpr int kRuns = 7;

// Nanoseconds per call of f, median over the runs; f runs `calls` times a run.
double medianNs(int calls, const std::function<void()> &f)
{
    std::vector<double> runs;
    for (int r = 0; r < kRuns; ++r) {
        QElapsedTimer t;
        t.start();
        for (int i = 0; i < calls; ++i)
            f();
        runs.push_back(double(t.nsecsElapsed()) / calls);
    }
    std::sort(runs.begin(), runs.end());
    return runs[runs.size() / 2];
}

// A news text of paragraphs of 3 to 9 display lines, cut at exactly kLines
// display lines of `edit`.
QString makeText(TPersonalEdit &edit)
{
    static const char *words[] = {
        "de",   "gemeenteraad", "van",    "Zwaluwdorp", "heeft",    "gisteravond", "ingestemd", "met",
        "bouw", "een",          "nieuwe", "brug",       "over",     "Vliet.",      "wethouder", "zegt",
        "dat",  "het",          "werk",   "in",         "voorjaar", "begint,",     "maar",      "bewoners",
        "zijn", "bezorgd",      "over",   "verkeer",    "tijdens",  "bouw-",       "en",        "sloopwerkzaamheden."};
    QRandomGenerator rng(42);
    QString text;
    while (text.size() < 120000) {
        const int paragraphWords = 25 + int(rng.bounded(60));
        for (int w = 0; w < paragraphWords; ++w) {
            text += QLatin1String(words[rng.bounded(int(std::size(words)))]);
            text += w + 1 < paragraphWords ? u' ' : u'\r';
        }
    }
    edit.InsertText(text);
    const TBuffer &b = edit.buffer();
    Q_ASSERT(b.lineCount() > kLines);
    return text.left(b.lineStart(kLines) - 1);
}

void sendKey(QWidget *w, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

}  // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    TPersonalEdit ours;
    ours.resize(kMargin + 60, 600);
    ours.setMarginWidth(kMargin);
    ours.setAutoCase(false);
    ours.setSpaceCheck(false);
    const QString text = makeText(ours);
    ours.setStoredText(QString());
    QString stored;
    {
        TBuffer b([&](QStringView s) { return ours.buffer().textWidth(s); });
        b.setMarginWidth(kMargin);
        b.setText(text);
        stored = b.storedText();
    }
    ours.show();

    QPlainTextEdit theirs;
    // QPlainTextEdit wraps at its viewport's width: make that the column.
    theirs.setFont(ours.editorFont());
    theirs.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    theirs.setFrameShape(QFrame::NoFrame);
    theirs.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    theirs.document()->setDocumentMargin(0);
    theirs.resize(kMargin, 600);
    QString plain = text;
    plain.replace(u'\r', u'\n');
    theirs.show();
    QApplication::processEvents();

    // Setting the whole text.
    const double setOurs = medianNs(20, [&] {
        ours.setStoredText(stored);
        if (ours.PageCount() <= 0)
            std::abort();
    });
    const double setTheirs = medianNs(20, [&] { theirs.setPlainText(plain); });
    std::printf("lines: %d, characters: %lld, pages of 8 lines: %d\n", ours.buffer().lineCount(),
                static_cast<long long>(text.size()), (ours.buffer().lineCount() - 1) / 8 + 1);

    // One keystroke in the middle.
    const int middle = ours.buffer().lineStart(kLines / 2) + 7;
    ours.setCaret(middle);
    QTextCursor cursor = theirs.textCursor();
    cursor.setPosition(middle - 1);
    theirs.setTextCursor(cursor);
    QApplication::processEvents();
    int n = 0;
    const auto keystroke = [&n](QWidget *w) {
        if (n++ % 2 == 0)
            sendKey(w, Qt::Key_X, QStringLiteral("x"));
        else
            sendKey(w, Qt::Key_Backspace, QString());
    };
    const double keyOurs = medianNs(kKeystrokes, [&] { keystroke(&ours); });
    n = 0;
    const double keyTheirs = medianNs(kKeystrokes, [&] { keystroke(&theirs); });
    if (ours.buffer().text() != text || theirs.toPlainText() != plain) {
        std::fprintf(stderr, "the texts changed: the keystrokes did not cancel out\n");
        return 1;
    }

    std::printf("set text: ours %.1f us, QPlainTextEdit %.1f us\n", setOurs / 1000, setTheirs / 1000);
    std::printf("set text ours/QPlainTextEdit: %.2f\n", setOurs / setTheirs);
    std::printf("keystroke: ours %.2f us, QPlainTextEdit %.2f us\n", keyOurs / 1000, keyTheirs / 1000);
    std::printf("keystroke ours/QPlainTextEdit: %.2f\n", keyOurs / keyTheirs);
    return 0;
}
