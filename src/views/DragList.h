#pragma once
// TDragList: a list box that starts and takes drags the way the desk's lists
// do, with what is dragged and what a drop does left to its owner.
//
// DESIGN
// Qt's own item drag moves items inside a model; the desk's lists instead
// hand over a payload (the ids of the selected lines) and let the receiving
// frame decide, line by line, what to insert. So the list only asks its owner
// for the payload when a drag starts, whether a payload may land while it is
// dragged over, and what to do with it on the drop. While a payload is
// accepted the list draws a 2-pixel insertion line one pixel below the top of
// the item under the cursor.

#include <QListWidget>

#include <functional>

class QMimeData;

namespace views {

class TDragList : public QListWidget {
    Q_OBJECT
public:
    explicit TDragList(QWidget *parent = nullptr);

    // The payload of a drag starting now; nullptr starts no drag.
    std::function<QMimeData *()> dragData;
    // Whether the payload may be dropped here; empty: nothing is accepted.
    std::function<bool(const QMimeData *)> accepts;
    // The payload dropped before row (count() when below the last line).
    std::function<void(const QMimeData *, int row)> dropped;

    // The row a drop at pos (viewport coordinates) lands before.
    int dropRow(const QPoint &pos) const;
    // The row the insertion mark is drawn at; -1 when none is shown.
    int markRow() const { return m_markRow; }

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool accept(QDropEvent *event);

    int m_markRow = -1;
};

}  // namespace views
