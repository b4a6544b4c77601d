#pragma once
// LineDelegate: the one item delegate of the owner-drawn lists.
//
// DESIGN
// An owner-drawn list keeps the system's line format as its item texts (the
// row id first, fields after it). One small paint function per kind of line
// draws such a text into a rectangle of any QPainter, so it can be tested on
// an image; the delegate only dispatches: it hands the function the line,
// its rectangle and state, and answers the list's item height. Lines take
// the list's width, so a list never scrolls sideways for a long line.

#include <QPalette>
#include <QString>
#include <QStyledItemDelegate>

#include <functional>

class QPainter;
class QRect;

namespace views {

// One line as the paint function gets it.
struct LineItem {
    QString text;  // the item's text: the line in its list format
    int row = 0;  // its position in the list (alternating backgrounds)
    bool selected = false;  // draw it in the selection colours
    QPalette palette;  // the list's palette
};

// Draws item into rect. The painter carries the list's font and is restored
// afterwards, so a paint function may change it freely.
using LinePaint = std::function<void(QPainter &p, const QRect &rect, const LineItem &item)>;

class LineDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // itemHeight 0: the height the style gives a line in the list's font.
    LineDelegate(LinePaint paint, int itemHeight, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    LinePaint m_paint;
    int m_itemHeight;
};

// The usual colours of a line: the highlight when selected, else the list's
// base and text colours.
QBrush LineBackground(const LineItem &item);
QColor LineTextColor(const LineItem &item);

}  // namespace views
