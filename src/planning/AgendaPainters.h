#pragma once
// Drawing of the owner-drawn agenda lists. Each line kind has one small
// painter that draws a line, as stored in the list item, into a rectangle of
// any QPainter; the delegate only picks the painter and the colours.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QStyledItemDelegate>

class QPainter;
class QRect;

namespace planning {

// The canvas a line is drawn on: the list's brush (the selection colour when
// selected) and its text colour.
struct LineCanvas {
    QBrush background;
    QColor text;
    QColor separator;  // the system button-face colour of the agenda's column line
};

// An agenda line: the date as "ddd dd mmm yyyy" at (1, 1), with the time
// column the time at 81 and the title after it, the title underlined for a
// repeating item, and a vertical line at the title's column.
void paintAgendaLine(QPainter &p, const QRect &rect, const QString &line, bool timeColumn, const LineCanvas &c);

// A production line (TodoSql.h): the date as "ddd dd mmm yyyy" at (1, 1), the
// title at 85 (underlined for an automatic item), wie in bold right-aligned 5
// pixels before the right edge, and a vertical line at 82.
void paintTodoLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// The lines put their second column at a fixed place made for the desk's
// small system font: font shrinks until every date of the coming years fits
// in width pixels.
QFont FontFittingDates(QFont font, int width);

// An address line: naam top left, woonplaats right-aligned 2 pixels before
// the right edge, the further fields joined by " / " on the second text row.
void paintAddressLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// An archive line: its headline without the id.
void paintArchiveLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// The alternating background of the link lists: odd rows white, even rows the
// info-tip colour; text black.
LineCanvas linkListCanvas(int row, const QPalette &palette);

// Dispatches a list's items to one painter. For the agenda list the time
// column is read through timeColumn on every paint, so toggling it repaints.
class LinePainterDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class Kind {
        Agenda,   // ListBox1 of the agenda list
        Todo,     // ListBox1 of the production list
        Address,  // adressenbox of the editor
        Archive   // archiefbox of the editor
    };
    LinePainterDelegate(Kind kind, int itemHeight, QObject *parent = nullptr);

    void setTimeColumn(bool on) { m_timeColumn = on; }
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    Kind m_kind;
    int m_itemHeight;
    bool m_timeColumn = false;
};

}  // namespace planning
