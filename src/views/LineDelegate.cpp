#include "views/LineDelegate.h"

#include <QPainter>

namespace views {

LineDelegate::LineDelegate(LinePaint paint, int itemHeight, QObject *parent)
    : QStyledItemDelegate(parent), m_paint(std::move(paint)), m_itemHeight(itemHeight)
{}

void LineDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const LineItem item{index.data(Qt::DisplayRole).toString(), index.row(),
                        bool(option.state & QStyle::State_Selected), option.palette};
    painter->save();
    painter->setFont(option.font);
    m_paint(*painter, option.rect, item);
    painter->restore();
}

QSize LineDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return QSize(1, m_itemHeight > 0 ? m_itemHeight : QStyledItemDelegate::sizeHint(option, index).height());
}

QBrush LineBackground(const LineItem &item)
{
    return item.palette.brush(item.selected ? QPalette::Highlight : QPalette::Base);
}

QColor LineTextColor(const LineItem &item)
{
    return item.palette.color(item.selected ? QPalette::HighlightedText : QPalette::Text);
}

}  // namespace views
