#pragma once
// TLogView: the status log along the bottom of the main window, the log
// window and the job window's log. DESIGN: short lines with inline tags, the
// newest at the bottom, older ones scrolling off the top. The layout is a
// plain function of the lines, the font metrics, the size and the colour
// (LayoutLogView); painting only walks the runs it returns, into an
// off-screen image that is copied to the screen in one go. Every change of
// the lines repaints at once, because the caller usually goes on with a
// blocking server or database call and the line must be visible meanwhile.

#include "platform/TextMeasure.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPixmap>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QWidget>

namespace core {

// One piece of text drawn in one style.
struct LogRun {
    QString text;
    int x = 0;  // left edge in the control
    int y = 0;  // top of the row in the control
    int width = 0;  // measured width of text
    QColor color;  // font colour
    bool bold = false;  // font style
    bool opaque = false;  // drawn on `background` ("solid"), else transparent
    QColor background;  // text background colour
};

struct LogLineLayout {
    int height = 0;  // rows times the row height
    QList<LogRun> runs;  // y relative to the line's top
};

struct LogViewLayout {
    QList<LogRun> runs;  // every run that is drawn, y absolute, oldest line first
    int firstShown = 0;  // index of the oldest line drawn; lines.size() when none fits
};

inline constexpr int LogLeftMargin = 5;  // x of every row's first word
inline constexpr int LogBottomMargin = 3;  // the sunken frame under the newest line

// Lays out one line for a control `width` pixels wide whose colour is viewColor.
// A word that would end beyond the width starts a new row (unless it already
// starts one); a run of spaces is drawn as one; a line feed starts a row; tags
// switch the style for the rest of the line; carriage returns are ignored.
LogLineLayout LayoutLogLine(const QString &line, const platform::TextMeasure &measure, int width,
                            const QColor &viewColor);

// Lays out a whole view: lines from the newest (last) upwards, bottom-aligned
// three pixels above the bottom edge; the first line that does not fit
// completely stops it, so no older line is drawn either.
LogViewLayout LayoutLogView(const QStringList &lines, const platform::TextMeasure &measure, QSize size,
                            const QColor &viewColor);

// "<bold>" + time as "hh:nn:ss" + "<normal> " + text: the form of status and log lines.
QString StampedLogLine(const QString &text, const QTime &time);

class TLogView : public QWidget {
    Q_OBJECT
public:
    static constexpr int MaxLines = 50;  // the cap of the status log, the log window and the job log

    explicit TLogView(QWidget *parent = nullptr);

    const QStringList &Lines() const { return m_lines; }
    void setLines(const QStringList &lines);
    void addLine(const QString &line);
    // Adds line, then deletes the oldest lines while more than cap remain.
    void addLineCapped(const QString &line, int cap = MaxLines);
    void deleteLine(int index);
    void clear();

    // A picture stretched over the whole control behind the text; a null pixmap removes it.
    void setBackground(const QPixmap &picture);
    QPixmap background() const { return m_background; }

    // The fill colour and the text background at the start of every line;
    // the window colour of the palette until set.
    void setColor(const QColor &color);
    QColor color() const;

    // What painting draws, for the current lines, font and size.
    LogViewLayout layout() const;
    // The control as painted, at its current size.
    QImage render() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void changed();
    void paintTo(QPainter &painter) const;

    QStringList m_lines;
    QPixmap m_background;
    mutable QPixmap m_stretched;  // m_background at the control's size, redone when the size differs
    QColor m_color;  // invalid: follow the palette
};

}  // namespace core
