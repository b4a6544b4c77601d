#include "core/LogView.h"

#include "core/Colors.h"
#include "core/Dates.h"
#include "core/Tokens.h"

#include <QPaintEvent>
#include <QPainter>

namespace core {

namespace {

struct LogState {
    QColor color = Qt::black;
    bool bold = false;
    QColor background;
    bool opaque = false;
};

const CharSet kWordStops{u'\n', u'\r', u' ', u'<'};
const CharSet kTagEnd{u'>'};

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Applies one trimmed, lower-cased tag. An unknown word is read as a colour
// number, which is how "<8000FF>" works and why a misspelt colour turns the
// rest of the line black.
void applyTag(const QString &tag, LogState &state, const QColor &viewColor)
{
    if (tag == u"normal")
        state.bold = false;
    else if (tag == u"bold")
        state.bold = true;
    else if (tag == u"red")
        state.color = ColorFromBgr(0x0000FF);
    else if (tag == u"green")
        state.color = ColorFromBgr(0x008000);
    else if (tag == u"blue")
        state.color = ColorFromBgr(0xFF0000);
    else if (tag == u"white")
        state.color = ColorFromBgr(0xFFFFFF);
    else if (tag == u"black")
        state.color = ColorFromBgr(0);
    else if (tag == u"transparent")
        state.opaque = false;
    else if (tag == u"solid")
        state.opaque = true;
    else if (tag.startsWith(u"back") && (tag.size() == 4 || !isAsciiLetter(tag.at(4))))
        state.background = ParseBgrColor(tag.mid(5)).value_or(viewColor);
    else
        state.color = ParseBgrColor(tag).value_or(QColor(Qt::black));
}

}  // namespace

// Cuts the line into words at line feeds, carriage returns, spaces and "<";
// a word followed by spaces carries one space. Every line starts in black,
// normal, transparent on the view's colour: a tag's effect ends with its line.
LogLineLayout LayoutLogLine(const QString &line, const platform::TextMeasure &measure, int width,
                            const QColor &viewColor)
{
    const int rowHeight = measure.rowHeight();
    LogLineLayout out;
    LogState state;
    state.background = viewColor;
    int x = LogLeftMargin;
    int row = 0;
    QString rest = line;
    while (!rest.isEmpty()) {
        QString word = TakeUntil(rest, kWordStops);
        const QChar stop = rest.isEmpty() ? QChar() : rest.front();
        if (stop == u' ')
            word += u' ';
        if (!word.isEmpty()) {
            const int w = measure.width(word, state.bold);
            // A word wider than the whole view stays on its row rather than
            // leaving an empty row above it.
            if (x + w > width && x > LogLeftMargin) {
                x = LogLeftMargin;
                ++row;
            }
            out.runs.append({word, x, row * rowHeight, w, state.color, state.bold, state.opaque, state.background});
            x += w;
        }
        if (stop.isNull())
            break;
        const QString run = TakeWhile(rest, CharSet{stop.unicode()});
        if (stop == u'\n') {
            // Every line feed starts a row, so an empty line between two
            // paragraphs of a message shows as one.
            x = LogLeftMargin;
            row += int(run.size());
        } else if (run == u"<") {
            const QString tag = TakeUntil(rest, kTagEnd).trimmed().toLower();
            applyTag(tag, state, viewColor);
            if (!rest.isEmpty())
                rest.remove(0, 1);  // the ">"
        }
    }
    out.height = (row + 1) * rowHeight;
    return out;
}

LogViewLayout LayoutLogView(const QStringList &lines, const platform::TextMeasure &measure, QSize size,
                            const QColor &viewColor)
{
    LogViewLayout out;
    out.firstShown = int(lines.size());
    QList<QList<LogRun>> shown;  // newest first
    int y = size.height() - LogBottomMargin;
    for (qsizetype i = lines.size() - 1; i >= 0; --i) {
        LogLineLayout line = LayoutLogLine(lines.at(i), measure, size.width(), viewColor);
        y -= line.height;
        if (y < 0)
            break;
        for (LogRun &run : line.runs)
            run.y += y;
        shown.append(line.runs);
        out.firstShown = int(i);
    }
    for (auto it = shown.crbegin(); it != shown.crend(); ++it)
        out.runs.append(*it);
    return out;
}

QString StampedLogLine(const QString &text, const QTime &time)
{
    return QStringLiteral("<bold>") + FormatDateTime(QStringLiteral("hh:nn:ss"), time) + QStringLiteral("<normal> ") +
           text;
}

TLogView::TLogView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TLogView::setLines(const QStringList &lines)
{
    m_lines = lines;
    changed();
}

void TLogView::addLine(const QString &line)
{
    m_lines.append(line);
    changed();
}

void TLogView::addLineCapped(const QString &line, int cap)
{
    m_lines.append(line);
    while (m_lines.size() > qMax(cap, 0))
        m_lines.removeFirst();
    changed();
}

void TLogView::deleteLine(int index)
{
    if (index < 0 || index >= m_lines.size())
        return;
    m_lines.removeAt(index);
    changed();
}

void TLogView::clear()
{
    m_lines.clear();
    changed();
}

void TLogView::setBackground(const QPixmap &picture)
{
    m_background = picture;
    m_stretched = QPixmap();
    changed();
}

void TLogView::setColor(const QColor &color)
{
    m_color = color;
    changed();
}

QColor TLogView::color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::Base);
}

LogViewLayout TLogView::layout() const
{
    return LayoutLogView(m_lines, platform::FontMeasure(font()), size(), color());
}

// The caller is usually about to block on the server or the database, so the
// line is painted now rather than at the next turn of the event loop.
void TLogView::changed()
{
    if (isVisible())
        repaint();
}

void TLogView::paintTo(QPainter &p) const
{
    const int w = width();
    const int h = height();
    if (m_background.isNull()) {
        p.fillRect(rect(), color());
    } else {
        if (m_stretched.size() != size())
            m_stretched = m_background.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        p.drawPixmap(0, 0, m_stretched);
    }
    // The sunken frame: grey over white outside, black over button face inside.
    auto frame = [&](int inset, const QColor &topLeft, const QColor &bottomRight) {
        const int l = inset, t = inset, r = w - 1 - inset, b = h - 1 - inset;
        p.setPen(topLeft);
        p.drawLine(l, t, r, t);
        p.drawLine(l, t, l, b);
        p.setPen(bottomRight);
        p.drawLine(r, t, r, b);
        p.drawLine(l, b, r, b);
    };
    frame(0, ColorFromBgr(0x808080), Qt::white);
    frame(1, Qt::black, palette().color(QPalette::Button));

    const QFont normal = platform::FontMeasure::normalFont(font());
    const QFont bold = platform::FontMeasure::boldFont(font());
    const platform::FontMeasure measure(font());
    const int rowHeight = measure.rowHeight();
    for (const LogRun &run : LayoutLogView(m_lines, measure, size(), color()).runs) {
        p.setFont(run.bold ? bold : normal);
        if (run.opaque)
            p.fillRect(run.x, run.y, run.width, rowHeight, run.background);
        p.setPen(run.color);
        p.drawText(QPoint(run.x, run.y + p.fontMetrics().ascent()), run.text);
    }
}

QImage TLogView::render() const
{
    QImage image(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    QPainter p(&image);
    paintTo(p);
    return image;
}

void TLogView::paintEvent(QPaintEvent *)
{
    const QImage image = render();  // drawn off screen, copied in one go: no flicker
    QPainter p(this);
    p.drawImage(0, 0, image);
}

void TLogView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    update();
}

}  // namespace core
