#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

// Draws a drop-down list's entries as the program's owner-drawn lists do: the highlight colour
// when selected, else the list's own; the picture at (left + 2, top + 1); the text on one line,
// vertically centred, 22 pixels to the right, at most 255 characters.
class TPictureItemDelegate : public QStyledItemDelegate
{
public:
    TPictureItemDelegate(QPixmap picture, QObject *parent)
        : QStyledItemDelegate(parent), m_picture(std::move(picture))
    {
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    static constexpr int kItemHeight = 16;

private:
    QPixmap m_picture;
};
