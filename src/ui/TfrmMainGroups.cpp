// The main window's groups tree and its commands, and dropping contacts onto it.

#include "store/Addressbook.h"
#include "store/Records.h"
#include "store/StoreError.h"
#include "ui/MainLists.h"
#include "ui/TfrmContact.h"
#include "ui/TfrmGroup.h"
#include "ui/TfrmMain.h"

#include <QAction>
#include <QCollator>
#include <QHeaderView>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolButton>
#include <QTreeView>

#include <algorithm>

bool TfrmMain::store(bool (*save)())
{
    try {
        return save();
    } catch (const StoreError &error) {
        message(tr("Greška"), error.message(), QMessageBox::Critical, QMessageBox::Ok);
        return false;
    }
}

void TfrmMain::RebuildGroupsTree()
{
    QStringList groups;
    for (const AGroups &g : GroupList)
        groups << g.GroupName;
    QCollator collator{QLocale()};
    std::sort(groups.begin(), groups.end(),
              [&](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });

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
    }
    tvGroups->setCurrentItem(all);
    // Every node but the three of the tree's own.
    int nodes = tvGroups->topLevelItemCount();
    for (int i = 0; i < tvGroups->topLevelItemCount(); ++i)
        nodes += tvGroups->topLevelItem(i)->childCount();
    stbGroups->setText(0, tr(" Ukupno grupa:  %1").arg(nodes - 3));
    m_contact->RefreshGroupChoices();
}

bool TfrmMain::isGroupNode(const QTreeWidgetItem *node) const
{
    return node && TGroupsTree::levelOf(node) == 1 && TGroupsTree::imageOf(node) != ImageWithoutGroup;
}

void TfrmMain::tvGroupsChange()
{
    QTreeWidgetItem *node = tvGroups->currentItem();
    const bool group = isGroupNode(node);
    tbRenameGroup->setEnabled(group);
    tbDeleteGroup->setEnabled(group);
    m_menus.miRenameGroup->setEnabled(group);
    m_menus.miDeleteGroup->setEnabled(group);
    RefreshContactRows();
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
    const QString name = NewGroup(
        *m_contact->groupDialog(),
        [this](const QString &caption, const QString &text, QMessageBox::Icon kind,
               QMessageBox::StandardButtons buttons) { return message(caption, text, kind, buttons); });
    if (name.isEmpty())
        return;
    RebuildGroupsTree();
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
    if (GroupNameTaken(newName)) {
        message(tr("Informacija"), tr("Grupa pod tim imenom već postoji!"), QMessageBox::Information,
                QMessageBox::Ok);
        return;
    }
    for (int i = 0; i < GroupList.size(); ++i) {
        if (GroupList[i].GroupName == oldName) {
            GroupList.removeAt(i);
            break;
        }
    }
    // A renamed group starts without a sound of its own.
    GroupList.append(AGroups{newName, QString()});
    const bool saved = store(SaveGroups);
    LoadGroups();
    RebuildGroupsTree();
    if (!saved)
        return;
    for (AListAddress &c : ContactList)
        if (c.Group == oldName)
            c.Group = newName;
    ContactList.markChanged();
    if (!store(SaveAddressbook))
        LoadAddressbook();
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
        const QMessageBox::StandardButton answer =
            message(tr("Potvrda"),
                    tr("Grupa:  %1\n\nZa brisanje samo grupe, klikni na \"Da\"!\nZa brisanje grupe i svih "
                       "osoba u grupi, "
                       "klikni na \"Da, sve!\"!\n\nObriši grupu?")
                        .arg(name),
                    QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll);
        if (answer == QMessageBox::YesToAll)
            withContacts = true;
        else if (answer != QMessageBox::Yes)
            return;
    }
    for (int i = 0; i < GroupList.size(); ++i) {
        if (GroupList[i].GroupName == name) {
            GroupList.removeAt(i);
            break;
        }
    }
    const bool saved = store(SaveGroups);
    LoadGroups();
    RebuildGroupsTree();
    if (!saved)
        return;
    if (withContacts) {
        for (int i = ContactList.size() - 1; i >= 0; --i)
            if (ContactList[i].Group == name)
                ContactList.removeAt(i);
    } else {
        const QString without = tr("Bez grupe");
        for (AListAddress &c : ContactList)
            if (!GroupExists(c.Group))
                c.Group = without;
        ContactList.markChanged();
    }
    if (!store(SaveAddressbook))
        LoadAddressbook();
    RefreshContactRows();
}

bool TfrmMain::DropContactsOnNode(QTreeWidgetItem *node, const QStringList &names)
{
    if (!TGroupsTree::acceptsDrop(node) || names.isEmpty())
        return false;
    const bool blackList = TGroupsTree::levelOf(node) == 0;
    const QString group = node->text(0);
    for (AListAddress &c : ContactList) {
        if (!names.contains(c.DisplayNameAs))
            continue;
        if (blackList)
            c.BlackList = true;
        else
            c.Group = group;
    }
    ContactList.markChanged();
    if (!store(SaveAddressbook))
        LoadAddressbook();
    RefreshContactRows();
    return true;
}
