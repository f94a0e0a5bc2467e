#pragma once

#include <QTreeWidget>

// The groups tree, which takes contacts dropped from the contact list.
class TGroupsTree : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TGroupsTree(QWidget *parent = nullptr);

    // Image index and level of a node: the node's kind.
    static int imageOf(const QTreeWidgetItem *node);
    static int levelOf(const QTreeWidgetItem *node);
    static QTreeWidgetItem *makeNode(const QString &text, int image);
    // Every node but "Sve grupe" and "Bez grupe" takes a drop.
    static bool acceptsDrop(const QTreeWidgetItem *node);

signals:
    void contactsDropped(QTreeWidgetItem *node, const QStringList &names);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
