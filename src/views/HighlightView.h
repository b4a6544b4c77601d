#pragma once
// THighlightView: the light-weight markup view for previews of agenda items
// and sources, archive texts and evaluation summaries. DESIGN: the lines are
// laid out by LayoutHighlight, a plain function of the lines, the font
// metrics and the width, into runs of one style; rendering draws those runs
// into an off-screen image that painting copies at (5, 5), and printing lays
// the same lines out again with the printer's metrics and splits the rows
// over as many pages as they need.
//
// Markup: "<bold>", "<normal>", "<red>", "<green>", "<blue>", "<black>" switch
// the style for the rest of the line; any other tag is ignored (so the "<br>"
// and "<hrt>" line ends of stored bodies flow as one paragraph). "&#65;" is a
// character by its code and "&amp;" is "&"; another "&name;" shows as "&name".

#include "platform/TextMeasure.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace views {

struct HighlightRun {
    QString text;
    int x = 0;  // pixels from the left of the rendered area
    int row = 0;  // 0-based row; its top is row times the row height
    int width = 0;  // measured width of text
    QColor color;  // font colour
    bool bold = false;  // font style
};

struct HighlightLayout {
    QList<HighlightRun> runs;
    int rows = 0;  // rows used, the row after the last line included
    int bitmapHeight = 0;  // the rendered image's height: 50, grown by row height + 100 at a time
};

inline constexpr int HighlightStartHeight = 50;  // the image's height before it grows
inline constexpr int HighlightInset = 5;  // the image is painted at (5, 5); AutoSize adds 10

// Lays out lines between leftMargin and rightLimit. A space ends a word and
// carries one space with it, further spaces are skipped; a word that would
// end beyond rightLimit starts a new row unless it already starts one; each
// line starts a new row in black, normal style.
HighlightLayout LayoutHighlight(const QStringList &lines, const platform::TextMeasure &measure, int rightLimit,
                                int leftMargin = 0);

// The text of a character reference without its "&" and ";" ("amp", "#65").
QString ResolveCharacterReference(const QString &name);

// Splits a markup text into lines at CR LF, LF or CR, as setting the lines'
// text always did.
QStringList SplitMarkupLines(const QString &text);

class THighlightView : public QWidget {
    Q_OBJECT
public:
    explicit THighlightView(QWidget *parent = nullptr);

    const QStringList &Lines() const { return m_lines; }
    void setLines(const QStringList &lines);
    void setText(const QString &markup);  // SplitMarkupLines(markup)
    QString text() const;  // the lines joined with CR LF

    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool on);

    void setColor(const QColor &color);
    QColor color() const;

    // Lays the lines out again for the current width and font.
    void relayout();

    // The last layout and its rendered image (width - 10 wide).
    const HighlightLayout &layout() const { return m_layout; }
    const QImage &bitmap() const { return m_bitmap; }

    // Prints every line on the default printer (or the PDF file when there is
    // none), Arial 11 points, rows continuing on further pages as needed.
    // Returns false when the job could not be started.
    bool Print();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QStringList m_lines;
    bool m_autoSize = false;
    QColor m_color;  // invalid: the palette's window colour
    HighlightLayout m_layout;
    QImage m_bitmap;
    int m_renderedWidth = -1;
};

}  // namespace views
