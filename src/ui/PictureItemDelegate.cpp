#include "ui/PictureItemDelegate.h"

#include <QPainter>

void TPictureItemDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                 const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QRect rect = option.rect;
    painter->save();
    painter->fillRect(rect, option.palette.brush(selected ? QPalette::Highlight : QPalette::Base));
    painter->drawPixmap(rect.left() + 2, rect.top() + 1, m_picture);
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(rect.adjusted(22, 0, 22, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString().left(255));
    painter->restore();
}

QSize TPictureItemDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QString text = index.data(Qt::DisplayRole).toString().left(255);
    // A larger desktop font must not be cut off.
    return {22 + option.fontMetrics.horizontalAdvance(text) + 4,
            qMax(kItemHeight, option.fontMetrics.height())};
}
