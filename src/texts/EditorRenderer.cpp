#include "texts/EditorRenderer.h"

#include "texts/Buffer.h"

#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>

namespace texts {

EditorColors EditorColors::fromPalette(const QPalette &palette)
{
    EditorColors c;
    c.highlight = palette.color(QPalette::Active, QPalette::Highlight);
    c.buttonFace = palette.color(QPalette::Active, QPalette::Button);
    c.buttonShadow = palette.color(QPalette::Active, QPalette::Dark);
    // A style whose button face is the window's white would hide the bands.
    if (c.buttonFace.lightness() > 245)
        c.buttonFace = EditorColors().buttonFace;
    return c;
}

int visibleLineCount(int height, int textHeight, int lineDistance, int linePitch)
{
    if (linePitch <= 0)
        return 0;
    return std::max(0, (height - textHeight / 2 - lineDistance) / linePitch - 1);
}

int scrollToLine(int first, int line, int visibleLines)
{
    if (line < first)
        first = line;
    else if (line - first > visibleLines)
        first = line - visibleLines;
    return std::max(0, first);
}

int roundHalfEven(double v)
{
    const double f = std::floor(v);
    const double diff = v - f;
    if (diff > 0.5)
        return int(f) + 1;
    if (diff < 0.5)
        return int(f);
    return (std::fmod(f, 2.0) == 0.0) ? int(f) : int(f) + 1;
}

QRect thumbRect(QSize size, int lineCount, int first, int visibleLines)
{
    const double n = std::max(1, lineCount - 1);
    const double h = size.height() - 4;
    const int top = 2 + roundHalfEven(first / n * h);
    const int bottom = std::min(top + roundHalfEven(visibleLines / n * h), size.height() - 2);
    const int left = scrollStripLeft(size) + 2;
    const int right = size.width() - 4;
    return QRect(QPoint(left, top), QPoint(right, std::max(top, bottom)));
}

int firstLineForThumbTop(int thumbTop, QSize size, int lineCount, int visibleLines)
{
    const double n = std::max(1, lineCount - 1);
    const double h = std::max(1, size.height() - 4);
    const int first = roundHalfEven((thumbTop - 2) / h * n);
    return std::max(0, std::min(first, lineCount - 1 - visibleLines));
}

namespace {

// One display line at (2, y): its text in runs of selected and unselected
// characters, clipped to the column.
void paintLine(QPainter &p, const TBuffer &b, const EditorView &v, int line, int y)
{
    if (line >= b.lineCount())
        return;
    const QStringView chars = b.lineText(line);
    const int start = b.lineStart(line);
    const int selFrom = b.selectionActive() ? std::clamp(b.selectionFrom() - start, 0, int(chars.size())) : 0;
    const int selTo = b.selectionActive() ? std::clamp(b.selectionTo() - start, 0, int(chars.size())) : 0;
    p.save();
    p.setClipRect(QRect(2, y, v.marginWidth, v.linePitch));
    int x = 2;
    const int cuts[4] = {0, selFrom, selTo, int(chars.size())};
    for (int r = 0; r < 3; ++r) {
        const QStringView run = chars.sliced(cuts[r], cuts[r + 1] - cuts[r]);
        if (run.isEmpty())
            continue;
        const int w = b.textWidth(run);
        const bool selected = r == 1;
        if (selected)
            p.fillRect(QRect(x, y, w, v.linePitch), v.colors.highlight);
        p.setPen(selected ? v.colors.highlightedText : v.colors.text);
        p.drawText(QPoint(x, y + v.ascent), run.toString());
        x += w;
    }
    p.restore();
}

}  // namespace

void paintEditor(QPainter &p, const TBuffer &b, const EditorView &v)
{
    const int width = v.size.width();
    const int height = v.size.height();
    p.fillRect(QRect(QPoint(0, 0), v.size), v.colors.background);
    p.setPen(v.colors.frame);
    p.drawRect(0, 0, width - 1, height - 1);
    p.setFont(v.font);

    // An empty text has no display line; it is shown as one empty line so
    // that the caret, the first page band and the end mark still show.
    const int shown = std::max(1, b.lineCount());
    const int caretLine = b.lineOf(b.caret());
    const int perPage = std::max(1, v.linesPerPage);
    int y = 2;
    int line = v.firstVisibleLine;
    bool lastDrawn = false;
    while (line < shown && y + v.linePitch < height) {
        paintLine(p, b, v, line, y);
        if (v.showCaret && line == caretLine) {
            const int before = line < b.lineCount() ? b.caret() - b.lineStart(line) : 0;
            const QStringView chars = line < b.lineCount() ? b.lineText(line) : QStringView();
            const int x = 2 + b.textWidth(chars.first(std::min<qsizetype>(before, chars.size())));
            p.fillRect(QRect(x, y, 1, v.textHeight), v.colors.text);
        }
        if (line % perPage == 0 && v.lineDistance > 0)
            p.fillRect(QRect(QPoint(2, y), QPoint(v.marginWidth, y + v.lineDistance - 1)), v.colors.buttonFace);
        lastDrawn = line == shown - 1;
        y += v.linePitch;
        ++line;
    }
    if (lastDrawn) {
        p.setPen(v.colors.endMark);
        p.drawLine(2, y + 2, 10, y + 2);
    }
    p.setPen(v.colors.buttonFace);
    p.drawLine(v.marginWidth + 2, 2, v.marginWidth + 2, height - 3);

    const QRect strip(QPoint(scrollStripLeft(v.size), 1), QPoint(width - 2, height - 2));
    p.fillRect(strip, v.colors.buttonFace);
    p.fillRect(thumbRect(v.size, b.lineCount(), v.firstVisibleLine, v.visibleLines), v.colors.buttonShadow);
}

}  // namespace texts
