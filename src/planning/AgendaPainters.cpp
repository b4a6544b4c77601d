#include "planning/AgendaPainters.h"

#include "core/Dates.h"
#include "planning/AgendaLines.h"
#include "planning/KlaarSql.h"
#include "planning/TodoSql.h"

#include <QHash>
#include <QPainter>
#include <QPalette>

#include <stdexcept>

namespace planning {

namespace {

// Draws text with its top-left corner at (x, y), as a canvas TextOut does.
void textOut(QPainter &p, int x, int y, const QString &text)
{
    const QFontMetrics fm = p.fontMetrics();
    p.drawText(QPoint(x, y + fm.ascent()), text);
}

// The stored date as shown; a malformed date is drawn as stored rather than
// breaking the paint of the whole list.
QString shownDate(const QString &ymd)
{
    try {
        return core::FormatDateTime(QStringLiteral("ddd dd mmm yyyy"), core::YmdToDate(ymd));
    } catch (const std::exception &) {
        return ymd;
    }
}

}  // namespace

void paintAgendaLine(QPainter &p, const QRect &rect, const QString &text, bool timeColumn, const LineCanvas &c)
{
    const AgendaLine line = ParseAgendaLine(text);
    p.save();
    p.fillRect(rect, c.background);
    p.setPen(c.text);
    // Fonts are set only when they change: each change is a font lookup, on
    // every visible line of every repaint.
    QFont regular = p.font();
    if (regular.underline()) {
        regular.setUnderline(false);
        p.setFont(regular);
    }
    textOut(p, rect.left() + 1, rect.top() + 1, shownDate(line.datum));
    const int dateX = DateColumnX(regular, 81);
    int x = dateX;
    if (timeColumn) {
        textOut(p, rect.left() + dateX, rect.top(), line.tijd);
        x = dateX + p.fontMetrics().horizontalAdvance(QStringLiteral("00:00")) + 5;
    }
    if (!line.isNormal()) {
        QFont title = regular;
        title.setUnderline(true);
        p.setFont(title);
    }
    textOut(p, rect.left() + x + 4, rect.top() + 1, line.kort);
    p.setPen(c.separator);
    p.drawLine(rect.left() + x, rect.top(), rect.left() + x, rect.bottom());
    p.restore();
}

void paintTodoLine(QPainter &p, const QRect &rect, const QString &text, const LineCanvas &c)
{
    const TodoLine line = ParseTodoLine(text);
    p.save();
    p.fillRect(rect, c.background);
    p.setPen(c.text);
    QFont regular = p.font();
    regular.setUnderline(false);
    regular.setBold(false);
    p.setFont(regular);
    textOut(p, rect.left() + 1, rect.top() + 1, shownDate(line.datum));
    QFont title = regular;
    title.setUnderline(line.isAutomatic());
    p.setFont(title);
    QFont bold = regular;
    bold.setBold(true);
    const int wieWidth = QFontMetrics(bold).horizontalAdvance(line.wie);
    const int right = rect.left() + rect.width() - 5;
    // The title stops short of the editor's name rather than running under it.
    const int titleRight = line.wie.isEmpty() ? right : right - wieWidth - 8;
    const int column = DateColumnX(regular, 82);
    p.save();
    p.setClipRect(QRect(QPoint(rect.left() + column + 3, rect.top()), QPoint(titleRight, rect.bottom())));
    textOut(p, rect.left() + column + 3, rect.top() + 1, line.kort);
    p.restore();
    p.setFont(bold);
    textOut(p, right - wieWidth, rect.top() + 1, line.wie);
    p.setFont(regular);
    p.setPen(c.separator);
    p.drawLine(rect.left() + column, rect.top(), rect.left() + column, rect.bottom());
    p.restore();
}

void paintEvalLine(QPainter &p, const QRect &rect, const QString &text, const LineCanvas &c)
{
    const EvalLine line = ParseEvalLine(text);
    p.save();
    p.fillRect(rect, c.background);
    p.setPen(c.text);
    QFont regular = p.font();
    regular.setBold(false);
    QFont bold = regular;
    bold.setBold(true);
    const QString word = EvalGroupWord(line.group);
    const int wordWidth = QFontMetrics(bold).horizontalAdvance(word);
    const int right = rect.left() + rect.width() - 2;
    const int titleWidth = qMax(0, right - wordWidth - 6 - (rect.left() + 1));
    p.setFont(regular);
    textOut(p, rect.left() + 1, rect.top() + 1, p.fontMetrics().elidedText(line.kort, Qt::ElideRight, titleWidth));
    p.setFont(bold);
    textOut(p, right - wordWidth, rect.top(), word);
    p.restore();
}

int DateColumnX(const QFont &font, int classic)
{
    // Measured once per font: the lists paint every line with it.
    static QHash<QString, int> widest;
    auto it = widest.constFind(font.key());
    if (it == widest.constEnd()) {
        const QFontMetrics fm(font);
        int w = 0;
        for (int day = 1; day <= 7; ++day)
            for (int month = 1; month <= 12; ++month)
                w = qMax(w, fm.horizontalAdvance(core::ShortDayName(day) + QStringLiteral(" 28 ") +
                                                 core::ShortMonthName(month) + QStringLiteral(" 2031")));
        it = widest.insert(font.key(), w);
    }
    return qMax(classic, 1 + *it + 4);
}

int LineHeightFor(const QFont &font)
{
    return qMax(16, QFontMetrics(font).height() + 2);
}

void paintAddressLine(QPainter &p, const QRect &rect, const QString &text, const LineCanvas &c)
{
    const AddressLine line = ParseAddressLine(text);
    p.save();
    p.fillRect(rect, c.background);
    p.setPen(c.text);
    const QFontMetrics fm = p.fontMetrics();
    textOut(p, rect.left() + 1, rect.top(), line.naam);
    const int right = rect.left() + rect.width() - 2;  // the classic rectangle's right edge is exclusive
    textOut(p, right - fm.horizontalAdvance(line.woonplaats), rect.top(), line.woonplaats);
    QStringList further;  // the phone list keeps empty places: they show as nothing
    for (const QString &f : line.further)
        if (!f.trimmed().isEmpty())
            further << f;
    textOut(p, rect.left() + 1, rect.top() + fm.height(), further.join(QStringLiteral(" / ")));
    p.restore();
}

void paintArchiveLine(QPainter &p, const QRect &rect, const QString &text, const LineCanvas &c)
{
    p.save();
    p.fillRect(rect, c.background);
    p.setPen(c.text);
    textOut(p, rect.left() + 1, rect.top(), ArchiveLineHeadline(text));
    p.restore();
}

LineCanvas linkListCanvas(int row, const QPalette &palette)
{
    const bool odd = row % 2 == 1;
    return {odd ? QBrush(Qt::white) : palette.brush(QPalette::ToolTipBase), Qt::black, Qt::black};
}

void paintAgendaItem(QPainter &p, const QRect &rect, const views::LineItem &item, bool timeColumn)
{
    const LineCanvas c{views::LineBackground(item), views::LineTextColor(item), item.palette.color(QPalette::Button)};
    paintAgendaLine(p, rect, item.text, timeColumn, c);
}

void paintTodoItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    const LineCanvas c{views::LineBackground(item), views::LineTextColor(item), item.palette.color(QPalette::Button)};
    paintTodoLine(p, rect, item.text, c);
}

namespace {

// The link lists alternate their background, except for a selected line.
LineCanvas linkItemCanvas(const views::LineItem &item)
{
    LineCanvas c = linkListCanvas(item.row, item.palette);
    if (item.selected) {
        c.background = views::LineBackground(item);
        c.text = views::LineTextColor(item);
    }
    return c;
}

}  // namespace

void paintAddressItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    paintAddressLine(p, rect, item.text, linkItemCanvas(item));
}

void paintArchiveItem(QPainter &p, const QRect &rect, const views::LineItem &item)
{
    paintArchiveLine(p, rect, item.text, linkItemCanvas(item));
}

}  // namespace planning
