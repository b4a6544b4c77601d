#pragma once
// Drawing of the owner-drawn agenda lists. Each line kind has one small
// painter that draws a line, as stored in the list item, into a rectangle of
// any QPainter; the lists' views::LineDelegate calls the paint function of
// its list, which picks the colours.

#include "views/LineDelegate.h"

#include <QBrush>
#include <QColor>
#include <QFont>

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
// column the time at DateColumnX(81) and the title after it, the title
// underlined for a repeating item, and a vertical line at the title's column.
void paintAgendaLine(QPainter &p, const QRect &rect, const QString &line, bool timeColumn, const LineCanvas &c);

// A production line (TodoSql.h): the date as "ddd dd mmm yyyy" at (1, 1), the
// title 3 pixels after the column line (underlined for an automatic item), wie
// in bold right-aligned 5 pixels before the right edge, and a vertical line at
// DateColumnX(82).
void paintTodoLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// An evaluation line (KlaarSql.h): the title at (1, 1), and the group word
// ("klaar", "productie", "agenda") in bold right-aligned 2 pixels before the
// right edge. A long title stops 6 pixels short of the word and ends in "…",
// so the two never overlap.
void paintEvalLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// Where the agenda and the production list put the column after the date:
// at classic (81 and 82, made for the desk's old small system font), or
// further right when the list's own font needs more room, so that every date
// "ddd dd mmm yyyy" ends at least 4 pixels before it. The lists keep a
// readable font; the column follows the font, never the other way round.
int DateColumnX(const QFont &font, int classic);

// The item height of those lists: 16, or more for a larger font.
int LineHeightFor(const QFont &font);

// An address line: naam top left, woonplaats right-aligned 2 pixels before
// the right edge, the further fields joined by " / " on the second text row.
void paintAddressLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// An archive line: its headline without the id.
void paintArchiveLine(QPainter &p, const QRect &rect, const QString &line, const LineCanvas &c);

// The alternating background of the link lists: odd rows white, even rows the
// info-tip colour; text black.
LineCanvas linkListCanvas(int row, const QPalette &palette);

// The paint functions of the agenda's lists for views::LineDelegate: the
// agenda list (ListBox1, with or without the time column), and the editor's
// address and archive lists (alternating backgrounds).
void paintAgendaItem(QPainter &p, const QRect &rect, const views::LineItem &item, bool timeColumn);
void paintAddressItem(QPainter &p, const QRect &rect, const views::LineItem &item);
void paintArchiveItem(QPainter &p, const QRect &rect, const views::LineItem &item);
// The production list (TTodoFrame's ListBox1).
void paintTodoItem(QPainter &p, const QRect &rect, const views::LineItem &item);

}  // namespace planning
