#include "store/AddressBook.h"

#include <QCoreApplication>

const QString AddressBook::kNoGroup = QStringLiteral("Bez grupe");
const QString AddressBook::kBlackListNode = QStringLiteral("Crna Lista");

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("AddressBook", text);
}

StoreResult contactNameTaken()
{
    return StoreResult::refused(tr("Osoba pod tim imenom već postoji!"));
}

int firstNamed(const TContactList &contacts, const QString &name)
{
    for (int i = 0; i < contacts.size(); ++i)
        if (contacts[i].DisplayNameAs == name)
            return i;
    return -1;
}

int firstGroupNamed(const TGroupList &groups, const QString &name)
{
    for (int i = 0; i < groups.size(); ++i)
        if (groups[i].GroupName == name)
            return i;
    return -1;
}

} // namespace

StoreResult FirstFailure(std::initializer_list<StoreResult> results)
{
    for (const StoreResult &r : results)
        if (!r.ok())
            return r;
    return {};
}

AddressBook::AddressBook(const QString &dir, FileAccess access, QObject *parent)
    : QObject(parent), m_dir(dir), m_access(access)
{
}

// ---- reading ----------------------------------------------------------------------------------

StoreResult AddressBook::loadContacts()
{
    // The stamp is taken first: a file replaced while it is read shows as changed next time.
    m_contactsStamp = StampOf(m_dir + QLatin1String(kAddressbookFileName));
    const StoreResult result = LoadAddressbook(m_dir, m_contacts, m_access);
    emit contactsChanged();
    return result;
}

StoreResult AddressBook::loadGroups()
{
    m_groupsStamp = StampOf(m_dir + QLatin1String(kGroupsFileName));
    const StoreResult result = LoadGroups(m_dir, m_groups, m_access);
    emit groupsChanged();
    return result;
}

StoreResult AddressBook::load()
{
    const StoreResult contacts = loadContacts();
    const StoreResult groups = loadGroups();
    return FirstFailure({contacts, groups});
}

StoreResult AddressBook::reloadChangedLocked()
{
    StoreResult contacts, groups;
    if (StampOf(m_dir + QLatin1String(kAddressbookFileName)) != m_contactsStamp)
        contacts = loadContacts();
    if (StampOf(m_dir + QLatin1String(kGroupsFileName)) != m_groupsStamp)
        groups = loadGroups();
    return FirstFailure({contacts, groups});
}

StoreResult AddressBook::reloadChanged()
{
    return reloadChangedLocked();
}

int AddressBook::indexOfContact(const QString &displayName) const
{
    return firstNamed(m_contacts, displayName);
}

bool AddressBook::GroupExists(const QString &groupName) const
{
    return firstGroupNamed(m_groups, groupName) >= 0;
}

QString AddressBook::GroupSound(const QString &groupName) const
{
    const int i = firstGroupNamed(m_groups, groupName);
    return i >= 0 ? m_groups[i].GroupSound : QString();
}

bool AddressBook::GroupNameTaken(const QString &name) const
{
    // The tree's own nodes carry these names; a group of the same name could never be told apart
    // from them. Their names in the interface language are refused as well.
    const QStringList reserved = {kNoGroup, kBlackListNode, tr("Bez grupe"), tr("Crna Lista")};
    return name.isEmpty() || GroupExists(name) || reserved.contains(name);
}

ContactMatch AddressBook::FindContactByNumber(const QString &callerNumber) const
{
    return ::FindContactByNumber(m_contacts, callerNumber);
}

// ---- changing ---------------------------------------------------------------------------------

StoreResult AddressBook::saveContacts()
{
    const StoreResult saved = SaveAddressbook(m_dir, m_contacts);
    // Read back: the list then holds what the file holds, also when the save failed.
    const StoreResult loaded = loadContacts();
    return FirstFailure({saved, loaded});
}

StoreResult AddressBook::saveGroups()
{
    const StoreResult saved = SaveGroups(m_dir, m_groups);
    const StoreResult loaded = loadGroups();
    return FirstFailure({saved, loaded});
}

// CHANGE edits the contact list and returns a refusal, or success when there is something to save.
template <typename Change> StoreResult AddressBook::changeContacts(Change change)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChangedLocked(); !fresh)
        return fresh;
    if (const StoreResult answer = change(m_contacts); !answer)
        return answer;
    m_contacts.markChanged();
    return saveContacts();
}

template <typename Change> StoreResult AddressBook::changeGroups(Change change)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChangedLocked(); !fresh)
        return fresh;
    if (const StoreResult answer = change(m_groups); !answer)
        return answer;
    return saveGroups();
}

StoreResult AddressBook::AddContact(AListAddress contact)
{
    return changeContacts([&](TContactList &contacts) {
        if (firstNamed(contacts, contact.DisplayNameAs) >= 0)
            return contactNameTaken();
        contacts.append(std::move(contact));
        return StoreResult();
    });
}

StoreResult AddressBook::EditContact(const QString &oldName, AListAddress contact)
{
    return changeContacts([&](TContactList &contacts) {
        if (contact.DisplayNameAs != oldName && firstNamed(contacts, contact.DisplayNameAs) >= 0)
            return contactNameTaken();
        if (const int at = firstNamed(contacts, oldName); at >= 0)
            contacts.removeAt(at);
        contacts.append(std::move(contact));
        return StoreResult();
    });
}

StoreResult AddressBook::DeleteContacts(const QStringList &names)
{
    return changeContacts([&](TContactList &contacts) {
        for (const QString &name : names)
            if (const int at = firstNamed(contacts, name); at >= 0)
                contacts.removeAt(at);
        return StoreResult();
    });
}

StoreResult AddressBook::SetBlackList(const QStringList &names, bool on)
{
    return changeContacts([&](TContactList &contacts) {
        for (int i = 0; i < contacts.size(); ++i)
            if (names.contains(contacts[i].DisplayNameAs))
                contacts[i].BlackList = on;
        return StoreResult();
    });
}

StoreResult AddressBook::MoveContactsToGroup(const QStringList &names, const QString &group)
{
    return changeContacts([&](TContactList &contacts) {
        for (int i = 0; i < contacts.size(); ++i)
            if (names.contains(contacts[i].DisplayNameAs))
                contacts[i].Group = group;
        return StoreResult();
    });
}

StoreResult AddressBook::AddGroup(const QString &name)
{
    return changeGroups([&](TGroupList &groups) {
        if (GroupNameTaken(name))
            return StoreResult::refused(tr("Grupa pod tim imenom već postoji!"));
        groups.append(AGroups{name, QString()});
        return StoreResult();
    });
}

StoreResult AddressBook::AddGroupUnderFreeName(const QString &base, QString *name)
{
    return changeGroups([&](TGroupList &groups) {
        QString free = base;
        for (int n = 1; GroupNameTaken(free); ++n)
            free = base + QLatin1Char(' ') + QString::number(n);
        groups.append(AGroups{free, QString()});
        if (name)
            *name = free;
        return StoreResult();
    });
}

StoreResult AddressBook::RenameGroup(const QString &oldName, const QString &newName)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChangedLocked(); !fresh)
        return fresh;
    if (GroupNameTaken(newName))
        return StoreResult::refused(tr("Grupa pod tim imenom već postoji!"));
    if (const int at = firstGroupNamed(m_groups, oldName); at >= 0)
        m_groups.removeAt(at);
    m_groups.append(AGroups{newName, QString()});
    if (const StoreResult saved = saveGroups(); !saved)
        return saved;
    for (int i = 0; i < m_contacts.size(); ++i)
        if (m_contacts[i].Group == oldName)
            m_contacts[i].Group = newName;
    m_contacts.markChanged();
    return saveContacts();
}

StoreResult AddressBook::DeleteGroup(const QString &name, bool withContacts)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChangedLocked(); !fresh)
        return fresh;
    if (const int at = firstGroupNamed(m_groups, name); at >= 0)
        m_groups.removeAt(at);
    if (const StoreResult saved = saveGroups(); !saved)
        return saved;
    for (int i = m_contacts.size() - 1; i >= 0; --i) {
        if (withContacts && m_contacts[i].Group == name)
            m_contacts.removeAt(i);
        else if (!withContacts && !GroupExists(m_contacts[i].Group))
            m_contacts[i].Group = kNoGroup;
    }
    m_contacts.markChanged();
    return saveContacts();
}

StoreResult AddressBook::SetGroupSound(const QString &groupName, const QString &sound)
{
    return changeGroups([&](TGroupList &groups) {
        const int at = firstGroupNamed(groups, groupName);
        if (at < 0) // gone meanwhile: nothing to give a sound to
            return StoreResult();
        groups.removeAt(at);
        groups.append(AGroups{groupName, sound});
        return StoreResult();
    });
}
