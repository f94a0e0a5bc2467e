// The main window's groups tree and its commands, and dropping contacts onto it.

#include "store/AddressBook.h"
#include "ui/TGroupsTree.h"
#include "ui/TStatusPanels.h"
#include "ui/TfrmContact.h"
#include "ui/TfrmGroup.h"
#include "ui/TfrmMain.h"
#include "widgets/ShowMessageDialog.h"

#include <QAction>
#include <QCollator>
#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidgetItemIterator>

#include <algorithm>

void TfrmMain::RebuildGroupsTree()
{
    QStringList groups;
    for (const AGroups &g : m_book.groups())
        groups << g.GroupName;
    QCollator collator{QLocale()};
    std::sort(groups.begin(), groups.end(),
              [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });

    // A rebuild follows every change of the groups, also another program's: the node shown stays,
    // found by its kind and, for a group, its name, and with it the contacts selected there.
    // Where it is gone, "Sve grupe" shows them.
    const QTreeWidgetItem *was = tvGroups->currentItem();
    const bool firstBuild = !was;
    const int wasImage = TGroupsTree::imageOf(was);
    const int wasLevel = TGroupsTree::levelOf(was);
    const QString wasText = was ? was->text(0) : QString();
    QTreeWidgetItem *all = nullptr;
    {
        const QSignalBlocker blocker(tvGroups);
        tvGroups->clear();
        all = TGroupsTree::makeNode(tr("Sve grupe"), ImageGroup);
        tvGroups->addTopLevelItem(all);
        all->addChild(TGroupsTree::makeNode(tr("Bez grupe"), ImageWithoutGroup));
        for (const QString &name : groups)
            all->addChild(TGroupsTree::makeNode(name, ImageGroup));
        tvGroups->addTopLevelItem(TGroupsTree::makeNode(tr("Crna Lista"), ImageBlackList));
        all->setExpanded(true);
        QTreeWidgetItem *current = all;
        for (QTreeWidgetItemIterator it(tvGroups); *it; ++it)
            if (TGroupsTree::imageOf(*it) == wasImage && TGroupsTree::levelOf(*it) == wasLevel &&
                (wasLevel == 0 || wasImage != ImageGroup || (*it)->text(0) == wasText)) {
                current = *it;
                break;
            }
        tvGroups->setCurrentItem(current);
    }
    // Every node but the three of the tree's own.
    int nodes = tvGroups->topLevelItemCount();
    for (int i = 0; i < tvGroups->topLevelItemCount(); ++i)
        nodes += tvGroups->topLevelItem(i)->childCount();
    stbGroups->setText(0, tr(" Ukupno grupa:  %1").arg(nodes - 3));
    m_contact->RefreshGroupChoices();
    tvGroupsChange(!firstBuild);
}

bool TfrmMain::isGroupNode(const QTreeWidgetItem *node) const
{
    return node && TGroupsTree::levelOf(node) == 1 && TGroupsTree::imageOf(node) != ImageWithoutGroup;
}

void TfrmMain::tvGroupsChange(bool keepContacts)
{
    QTreeWidgetItem *node = tvGroups->currentItem();
    const bool group = isGroupNode(node);
    tbRenameGroup->setEnabled(group);
    tbDeleteGroup->setEnabled(group);
    m_menus.miRenameGroup->setEnabled(group);
    m_menus.miDeleteGroup->setEnabled(group);
    refreshContactRows(keepContacts);
    stbContacts->setText(0, tr(" Grupa:  %1").arg(node ? node->text(0) : QString()));
}

QTreeWidgetItem *TfrmMain::groupNode(const QString &text) const
{
    const QList<QTreeWidgetItem *> found = tvGroups->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
    // A group may carry a top-level node's name only in an old file; the group node wins then.
    for (QTreeWidgetItem *node : found)
        if (TGroupsTree::levelOf(node) == 1)
            return node;
    return found.isEmpty() ? nullptr : found.first();
}

void TfrmMain::selectGroupNode(const QString &text)
{
    if (QTreeWidgetItem *node = groupNode(text))
        tvGroups->setCurrentItem(node);
}

QString TfrmMain::selectedNodeText() const
{
    const QTreeWidgetItem *node = tvGroups->currentItem();
    return node ? node->text(0) : QString();
}

void TfrmMain::groupsContextMenu(const QPoint &pos)
{
    m_menus.miShowGroups->setVisible(!m_groupsShown);
    m_menus.groups->popup(tvGroups->viewport()->mapToGlobal(pos));
}

void TfrmMain::setGroupsShown(bool shown)
{
    m_groupsShown = shown;
    pnlGroups->setVisible(shown);
    tbShowGroups->setVisible(shown);
    tbManipulateGroups->setVisible(!shown);
    m_menus.miShowGroups->setVisible(!shown);
    // Without the tree the group column tells where each contact belongs.
    lvContacts->setColumnHidden(2, shown);
    lvContacts->setColumnWidth(0, 190);
    lvContacts->setColumnWidth(1, shown ? 149 : 152);
    if (!shown)
        lvContacts->setColumnWidth(2, 150);
}

void TfrmMain::tbShowGroupsClick()
{
    setGroupsShown(false);
}

void TfrmMain::tbManipulateGroupsClick()
{
    setGroupsShown(true);
}

void TfrmMain::tbNewGroupClick()
{
    const QString name = NewGroup(*m_contact->groupDialog(), m_book);
    if (!name.isEmpty())
        selectGroupNode(name);
}

void TfrmMain::tbRenameGroupClick()
{
    QTreeWidgetItem *node = tvGroups->currentItem();
    if (!tbRenameGroup->isEnabled() || !isGroupNode(node))
        return;
    const QString oldName = node->text(0);
    TfrmGroup &dialog = *m_contact->groupDialog();
    dialog.prepare(tr("Preimenovanje grupe"), tr(" Preimenuj grupu:"), oldName);
    if (RunModalDialog(dialog) != QDialog::Accepted)
        return;
    const QString newName = dialog.groupName();
    if (ShowStoreResult(m_book.RenameGroup(oldName, newName), this))
        selectGroupNode(newName);
}

void TfrmMain::tbDeleteGroupClick()
{
    QTreeWidgetItem *node = tvGroups->currentItem();
    if (!node || !isGroupNode(node))
        return;
    const QString name = node->text(0);
    bool withContacts = false;
    if (confirmDelete()) {
        // "Da, sve!" deletes the contacts too: the question says how many.
        int members = 0;
        for (const AListAddress &c : m_book.contacts())
            members += c.Group == name ? 1 : 0;
        const QMessageBox::StandardButton answer = ShowMessageDialog(
            tr("Potvrda"),
            tr("Grupa:  %1\nOsoba u grupi:  %2\n\nZa brisanje samo grupe, klikni na \"Da\"!\nZa brisanje "
               "grupe i svih osoba u grupi, klikni na \"Da, sve!\"!\n\nObriši grupu?")
                .arg(name, QString::number(members)),
            QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll, this);
        if (answer == QMessageBox::YesToAll)
            withContacts = true;
        else if (answer != QMessageBox::Yes)
            return;
    }
    ShowStoreResult(m_book.DeleteGroup(name, withContacts), this);
}

bool TfrmMain::DropContactsOnNode(QTreeWidgetItem *node, const QStringList &names)
{
    if (!TGroupsTree::acceptsDrop(node) || names.isEmpty())
        return false;
    const bool blackList = TGroupsTree::levelOf(node) == 0;
    const QString group = node->text(0);
    ShowStoreResult(blackList ? m_book.SetBlackList(names, true) : m_book.MoveContactsToGroup(names, group), this);
    return true;
}
