#include "views/DragList.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace views {

TDragList::TDragList(QWidget *parent) : QListWidget(parent)
{
    setDragEnabled(true);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDropIndicatorShown(false);  // the mark below is the desk's
}

int TDragList::dropRow(const QPoint &pos) const
{
    const QModelIndex index = indexAt(pos);
    return index.isValid() ? index.row() : count();
}

void TDragList::startDrag(Qt::DropActions)
{
    QMimeData *mime = dragData ? dragData() : nullptr;
    if (!mime)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

bool TDragList::accept(QDropEvent *event)
{
    const bool ok = accepts && accepts(event->mimeData());
    const int row = ok ? dropRow(event->position().toPoint()) : -1;
    if (row != m_markRow) {
        m_markRow = row;
        viewport()->update();
    }
    if (ok) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
    return ok;
}

void TDragList::dragEnterEvent(QDragEnterEvent *event)
{
    accept(event);
}

void TDragList::dragMoveEvent(QDragMoveEvent *event)
{
    accept(event);
}

void TDragList::dragLeaveEvent(QDragLeaveEvent *event)
{
    m_markRow = -1;
    viewport()->update();
    event->accept();
}

void TDragList::dropEvent(QDropEvent *event)
{
    const bool ok = accept(event);
    const int row = dropRow(event->position().toPoint());
    m_markRow = -1;
    viewport()->update();
    if (ok && dropped)
        dropped(event->mimeData(), row);
}

void TDragList::paintEvent(QPaintEvent *event)
{
    QListWidget::paintEvent(event);
    if (m_markRow < 0 || m_markRow >= count())
        return;
    const QRect r = visualItemRect(item(m_markRow));
    QPainter p(viewport());
    p.fillRect(QRect(r.left(), r.top() + 1, r.width(), 2), palette().color(QPalette::Text));
}

}  // namespace views
