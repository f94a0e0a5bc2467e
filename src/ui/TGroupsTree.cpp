#include "ui/TGroupsTree.h"

#include "ui/MainLists.h"
#include "ui/TContactRowsModel.h"

#include <QDragMoveEvent>
#include <QHeaderView>
#include <QMimeData>

namespace {
constexpr int kImageRole = Qt::UserRole + 1;
}

TGroupsTree::TGroupsTree(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A long group name is shown whole: the column takes the widest name and the tree scrolls
    // sideways, instead of cutting names to the panel's width.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

int TGroupsTree::imageOf(const QTreeWidgetItem *node)
{
    return node ? node->data(0, kImageRole).toInt() : -1;
}

int TGroupsTree::levelOf(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *p = node ? node->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

QTreeWidgetItem *TGroupsTree::makeNode(const QString &text, int image)
{
    auto *node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kImageRole, image);
    node->setToolTip(0, text);
    node->setIcon(0, MainListImage(image));
    return node;
}

bool TGroupsTree::acceptsDrop(const QTreeWidgetItem *node)
{
    if (!node)
        return false;
    const int image = imageOf(node);
    if (levelOf(node) == 0)
        return image == 23;
    return image != 24;
}

void TGroupsTree::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(TContactRowsModel::kMimeType)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TGroupsTree::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    if (event->mimeData()->hasFormat(QString::fromLatin1(TContactRowsModel::kMimeType)) && acceptsDrop(node))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TGroupsTree::dropEvent(QDropEvent *event)
{
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    const QStringList names = TContactRowsModel::namesFromMime(event->mimeData());
    if (!acceptsDrop(node) || names.isEmpty()) {
        event->ignore();
        return;
    }
    // The contacts keep their place in the list; only their fields change.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit contactsDropped(node, names);
}
