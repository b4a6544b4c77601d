#include "views/HighlightView.h"

#include "platform/Printing.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace views {

namespace {

bool isNameChar(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'#';
}

constexpr qsizetype kMaxReferenceName = 32;

// Places the words of one line. The image grows while the row being drawn
// does not fit, so however a line wraps its last row is never cut off.
class LineWriter {
public:
    LineWriter(const platform::TextMeasure &measure, int leftMargin, int rightLimit, HighlightLayout &out)
        : m_measure(measure), m_left(leftMargin), m_right(rightLimit), m_out(out), m_rowHeight(measure.rowHeight())
    {}

    void write(const QString &line)
    {
        m_x = m_left;
        m_color = Qt::black;
        m_bold = false;
        QString word;
        qsizetype i = 0;
        while (i < line.size()) {
            const QChar c = line.at(i);
            if (c == u' ') {
                output(word + u' ');
                word.clear();
                while (i < line.size() && line.at(i) == u' ')
                    ++i;
            } else if (c == u'<') {
                output(word);
                word.clear();
                const qsizetype close = line.indexOf(u'>', i + 1);
                const qsizetype end = close < 0 ? line.size() : close;
                applyTag(line.mid(i + 1, end - i - 1).trimmed().toLower());
                i = end + 1;
            } else if (c == u'&') {
                i = reference(line, i, word);
            } else {
                word += c;
                ++i;
            }
        }
        output(word);
        ++m_row;  // the line's end: the pen goes to the next row
        m_out.rows = m_row;
    }

private:
    void output(const QString &word)
    {
        if (word.isEmpty())
            return;
        const int w = m_measure.width(word, m_bold);
        if (m_x + w > m_right && m_x > m_left) {
            m_x = m_left;
            ++m_row;
        }
        while ((m_row + 1) * m_rowHeight > m_out.bitmapHeight)
            m_out.bitmapHeight += m_rowHeight + 100;
        m_out.runs.append({word, m_x, m_row, w, m_color, m_bold});
        m_x += w;
    }

    void applyTag(const QString &tag)
    {
        if (tag == u"bold")
            m_bold = true;
        else if (tag == u"normal")
            m_bold = false;
        else if (tag == u"red")
            m_color = QColor(255, 0, 0);
        else if (tag == u"green")
            m_color = QColor(0, 128, 0);
        else if (tag == u"blue")
            m_color = QColor(0, 0, 255);
        else if (tag == u"black")
            m_color = Qt::black;
        // every other tag, "br" and "hrt" included, is ignored
    }

    // A reference is "&", a name of letters, digits and "#", and ";". An "&"
    // that starts none ("Tom & Jerry", "R&B") is an ordinary character, so
    // the text after it is not swallowed up to some later ";".
    static qsizetype reference(const QString &line, qsizetype amp, QString &word)
    {
        qsizetype j = amp + 1;
        while (j < line.size() && j - amp <= kMaxReferenceName && isNameChar(line.at(j)))
            ++j;
        if (j > amp + 1 && j < line.size() && line.at(j) == u';') {
            word += ResolveCharacterReference(line.mid(amp + 1, j - amp - 1));
            return j + 1;
        }
        word += u'&';
        return amp + 1;
    }

    const platform::TextMeasure &m_measure;
    const int m_left;
    const int m_right;
    HighlightLayout &m_out;
    const int m_rowHeight;
    int m_x = 0;
    int m_row = 0;
    QColor m_color = Qt::black;
    bool m_bold = false;
};

}  // namespace

HighlightLayout LayoutHighlight(const QStringList &lines, const platform::TextMeasure &measure, int rightLimit,
                                int leftMargin)
{
    HighlightLayout out;
    out.bitmapHeight = HighlightStartHeight;
    LineWriter writer(measure, leftMargin, rightLimit, out);
    for (const QString &line : lines)
        writer.write(line);
    return out;
}

QString ResolveCharacterReference(const QString &name)
{
    if (name.compare(QLatin1String("amp"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("&");
    if (name.size() >= 2 && name.size() <= 8 && name.front() == u'#') {
        bool ok = false;
        const uint code = name.mid(1).toUInt(&ok, 10);
        const bool digitsOnly =
            std::all_of(name.begin() + 1, name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
        if (ok && digitsOnly && code > 0 && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF)) {
            const char32_t c = char32_t(code);
            return QString::fromUcs4(&c, 1);
        }
    }
    return u'&' + name;
}

QStringList SplitMarkupLines(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(u'\r', u'\n');
    if (t.endsWith(u'\n'))
        t.chop(1);  // a final line end does not start another line
    return t.split(u'\n');
}

THighlightView::THighlightView(QWidget *parent) : QWidget(parent)
{
    resize(width(), HighlightStartHeight);
    relayout();
}

void THighlightView::setLines(const QStringList &lines)
{
    m_lines = lines;
    relayout();
}

void THighlightView::setText(const QString &markup)
{
    setLines(SplitMarkupLines(markup));
}

QString THighlightView::text() const
{
    return m_lines.join(QLatin1String("\r\n"));
}

void THighlightView::setAutoSize(bool on)
{
    m_autoSize = on;
    relayout();
}

void THighlightView::setColor(const QColor &color)
{
    m_color = color;
    relayout();
}

QColor THighlightView::color() const
{
    return m_color.isValid() ? m_color : palette().color(QPalette::Base);
}

void THighlightView::relayout()
{
    const int imageWidth = qMax(width() - 2 * HighlightInset, 1);
    const platform::FontMeasure measure(font());
    m_layout = LayoutHighlight(m_lines, measure, imageWidth);
    m_renderedWidth = width();

    m_bitmap = QImage(imageWidth, m_layout.bitmapHeight, QImage::Format_RGB32);
    m_bitmap.fill(color());
    QPainter p(&m_bitmap);
    const QFont normal = platform::FontMeasure::normalFont(font());
    const QFont bold = platform::FontMeasure::boldFont(font());
    const int rowHeight = measure.rowHeight();
    for (const HighlightRun &run : m_layout.runs) {
        p.setFont(run.bold ? bold : normal);
        p.setPen(run.color);
        p.drawText(QPoint(run.x, run.row * rowHeight + p.fontMetrics().ascent()), run.text);
    }
    p.end();

    if (m_autoSize && height() != m_layout.bitmapHeight + 2 * HighlightInset)
        resize(width(), m_layout.bitmapHeight + 2 * HighlightInset);
    updateGeometry();
    update();
}

// Rows go on to the next page at the bottom margin, which mirrors the top
// one; the classic view drew them all on the first page, below its edge.
bool THighlightView::Print()
{
    platform::PrintJob job(QStringLiteral("Quillon"));
    if (!job.begin())
        return false;
    QPrinter &printer = job.printer();
    QPainter &p = job.painter();
    const QFont font(QStringLiteral("Arial"), 11);
    const platform::FontMeasure measure(font, &printer);
    const int left = int(0.78 * printer.logicalDpiX());
    const int top = printer.height() / 35;
    const int rowHeight = qMax(measure.rowHeight(), 1);
    const int rowsPerPage = qMax((printer.height() - 2 * top) / rowHeight, 1);
    const HighlightLayout layout = LayoutHighlight(m_lines, measure, printer.width() - left, left);
    const QFont normal = platform::FontMeasure::normalFont(font);
    const QFont bold = platform::FontMeasure::boldFont(font);
    int page = 0;
    for (const HighlightRun &run : layout.runs) {
        while (run.row / rowsPerPage > page) {
            job.newPage();
            ++page;
        }
        p.setFont(run.bold ? bold : normal);
        p.setPen(run.color);
        p.drawText(QPoint(run.x, top + (run.row % rowsPerPage) * rowHeight + p.fontMetrics().ascent()), run.text);
    }
    return job.end();
}

QSize THighlightView::sizeHint() const
{
    return QSize(200, m_autoSize ? m_layout.bitmapHeight + 2 * HighlightInset : HighlightStartHeight);
}

void THighlightView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), color());
    p.drawImage(HighlightInset, HighlightInset, m_bitmap);
}

void THighlightView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (width() != m_renderedWidth)
        relayout();  // the text wraps to the new width
}

// A hidden view gets no resize events; it catches up when it is shown.
void THighlightView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (width() != m_renderedWidth)
        relayout();
}

void THighlightView::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
        relayout();
}

}  // namespace views
