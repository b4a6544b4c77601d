#pragma once
// Painting a TBuffer: the text column with its page boundaries, selection,
// caret, end-of-text mark, column edge and scroll strip. The renderer only
// reads the buffer and the view state handed to it and paints to any
// QPainter, so an image or a printer gets what the screen gets. The geometry
// helpers below are the same arithmetic the widget uses for mouse hits.

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>

class QPainter;
class QPalette;

namespace texts {

class TBuffer;

struct EditorColors {
    QColor background{Qt::white};
    QColor frame{Qt::black};
    QColor text{Qt::black};
    QColor highlight{0, 120, 215};
    QColor highlightedText{Qt::white};
    QColor buttonFace{240, 240, 240};  // page bands, column edge, scroll strip
    QColor buttonShadow{160, 160, 160};  // scroll thumb
    QColor endMark{0, 128, 0};
    // The platform's colours for the roles the classic look names (button
    // face, button shadow, highlight); white selected text as always.
    static EditorColors fromPalette(const QPalette &palette);
};

// Everything the renderer needs besides the buffer.
struct EditorView {
    QSize size;  // the control, frame included
    QFont font;  // already resolved (editorFont)
    int ascent = 0;  // of font
    int textHeight = 0;  // text height of "h" in font
    int marginWidth = 200;
    int lineDistance = 5;
    int linesPerPage = 2;
    int linePitch = 1;  // textHeight + lineDistance
    int firstVisibleLine = 0;
    int visibleLines = 0;
    bool showCaret = false;
    EditorColors colors;
};

// Lines that fit below the first one: (height - textHeight div 2 -
// lineDistance) div linePitch - 1, never below 0.
int visibleLineCount(int height, int textHeight, int lineDistance, int linePitch);

// The first visible line after scrolling the caret's line into view.
int scrollToLine(int first, int line, int visibleLines);

// The scroll thumb: with n = lineCount - 1 (at least 1) and h = height - 4,
// top = 2 + round(first / n * h), bottom = top + round(visible / n * h) but
// not below height - 2; rounding to nearest, halves to even.
QRect thumbRect(QSize size, int lineCount, int first, int visibleLines);

// The first visible line that puts the thumb's top at thumbTop (the inverse of
// thumbRect), kept between 0 and lineCount - 1 - visibleLines.
int firstLineForThumbTop(int thumbTop, QSize size, int lineCount, int visibleLines);

// x < this is the scroll strip's left edge.
inline int scrollStripLeft(QSize size)
{
    return size.width() - 21;
}

int roundHalfEven(double v);

void paintEditor(QPainter &painter, const TBuffer &buffer, const EditorView &view);

}  // namespace texts
