#include "store/AddressBook.h"

#include "store/Cp1250.h"
#include "store/FileRecords.h"

#include <QCoreApplication>
#include <QSet>

const QString AddressBook::kNoGroup = QStringLiteral("Bez grupe");
const QString AddressBook::kBlackListNode = QStringLiteral("Crna Lista");

namespace {

StoreResult contactNameTaken()
{
    return StoreResult::refused(
        QCoreApplication::translate("AddressBook", "Osoba pod tim imenom već postoji!"));
}

QString storedName(const QString &name)
{
    return StoredText(name, capacity::DisplayNameAs);
}

// The lists hold what the files hold, so only the name looked for needs its stored form.
int firstNamed(const TContactList &contacts, const QString &name)
{
    const QString key = storedName(name);
    for (int i = 0; i < contacts.size(); ++i)
        if (contacts[i].DisplayNameAs == key)
            return i;
    return -1;
}

int firstGroupNamed(const TGroupList &groups, const QString &name)
{
    const QString key = StoredText(name, capacity::GroupName);
    for (int i = 0; i < groups.size(); ++i)
        if (groups[i].GroupName == key)
            return i;
    return -1;
}

} // namespace

StoreResult AllFailures(std::initializer_list<StoreResult> results)
{
    StoreResult all;
    for (const StoreResult &r : results) {
        if (r.ok())
            continue;
        if (all.ok())
            all = r;
        else
            all.message += QLatin1String("\n\n") + r.message;
    }
    return all;
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
    return AllFailures({contacts, groups});
}

StoreResult AddressBook::reloadChanged()
{
    StoreResult contacts, groups;
    if (StampOf(m_dir + QLatin1String(kAddressbookFileName)) != m_contactsStamp)
        contacts = loadContacts();
    if (StampOf(m_dir + QLatin1String(kGroupsFileName)) != m_groupsStamp)
        groups = loadGroups();
    return AllFailures({contacts, groups});
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
    const QString key = StoredText(name, capacity::GroupName);
    return key.isEmpty() || GroupExists(key) || reserved.contains(key);
}

ContactMatch AddressBook::FindContactByNumber(const QString &callerNumber) const
{
    return ::FindContactByNumber(m_contacts, callerNumber);
}

// ---- changing ---------------------------------------------------------------------------------

// A saved list is read back, so that the list holds what the file holds (texts cut to their
// fields). A list that cannot be saved is not taken: the list stays as it was.
StoreResult AddressBook::saveContacts(const TContactList &next)
{
    if (const StoreResult saved = SaveAddressbook(m_dir, next); !saved)
        return saved;
    return loadContacts();
}

StoreResult AddressBook::saveGroups(const TGroupList &next)
{
    if (const StoreResult saved = SaveGroups(m_dir, next); !saved)
        return saved;
    return loadGroups();
}

// Both files change or neither. The groups go first: contacts saved without their group would
// sit in a group the tree does not show. When the contacts cannot be saved, the previous groups
// are saved back.
StoreResult AddressBook::saveGroupsAndContacts(const TGroupList &groups, const TContactList &contacts)
{
    const TGroupList previous = m_groups.clone();
    if (const StoreResult saved = saveGroups(groups); !saved)
        return saved;
    if (const StoreResult saved = saveContacts(contacts); !saved) {
        saveGroups(previous);
        return saved;
    }
    return {};
}

// CHANGE edits a copy of the contact list and returns a refusal, or success when the copy is to
// be saved.
template <typename Change> StoreResult AddressBook::changeContacts(Change change)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    TContactList next = m_contacts.clone();
    if (const StoreResult answer = change(next); !answer)
        return answer;
    return saveContacts(next);
}

template <typename Change> StoreResult AddressBook::changeGroups(Change change)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    TGroupList next = m_groups.clone();
    if (const StoreResult answer = change(next); !answer)
        return answer;
    return saveGroups(next);
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
        if (storedName(contact.DisplayNameAs) != storedName(oldName) &&
            firstNamed(contacts, contact.DisplayNameAs) >= 0)
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

StoreResult AddressBook::ImportContacts(const QString &baseGroup, QList<AListAddress> contacts,
                                        ImportCounts *counts, QString *groupName)
{
    ImportCounts done{int(contacts.size()), 0};
    if (counts)
        *counts = done;
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    QString group = baseGroup;
    for (int n = 1; GroupNameTaken(group); ++n)
        group = baseGroup + QLatin1Char(' ') + QString::number(n);

    // Two names that differ only where the file cannot follow would become one key there.
    QSet<QString> taken;
    for (int i = 0; i < m_contacts.size(); ++i)
        taken.insert(storedName(m_contacts[i].DisplayNameAs));
    TContactList next = m_contacts.clone();
    for (AListAddress &c : contacts) {
        const QString key = storedName(c.DisplayNameAs);
        if (key.trimmed().isEmpty() || taken.contains(key))
            continue;
        taken.insert(key);
        c.Group = group;
        next.append(std::move(c));
        ++done.imported;
    }
    if (done.imported == 0)
        return {};

    TGroupList groups = m_groups.clone();
    groups.append(AGroups{group, QString()});
    if (const StoreResult saved = saveGroupsAndContacts(groups, next); !saved)
        return saved;
    if (counts)
        *counts = done;
    if (groupName)
        *groupName = group;
    return {};
}

StoreResult AddressBook::RenameGroup(const QString &oldName, const QString &newName)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    if (GroupNameTaken(newName))
        return StoreResult::refused(tr("Grupa pod tim imenom već postoji!"));
    TGroupList groups = m_groups.clone();
    if (const int at = firstGroupNamed(groups, oldName); at >= 0)
        groups.removeAt(at);
    groups.append(AGroups{newName, QString()});
    TContactList contacts = m_contacts.clone();
    for (int i = 0; i < contacts.size(); ++i)
        if (contacts[i].Group == oldName)
            contacts[i].Group = newName;
    return saveGroupsAndContacts(groups, contacts);
}

StoreResult AddressBook::DeleteGroup(const QString &name, bool withContacts)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    TGroupList groups = m_groups.clone();
    if (const int at = firstGroupNamed(groups, name); at >= 0)
        groups.removeAt(at);
    TContactList contacts = m_contacts.clone();
    for (int i = contacts.size() - 1; i >= 0; --i) {
        if (withContacts && contacts[i].Group == name)
            contacts.removeAt(i);
        else if (!withContacts && firstGroupNamed(groups, contacts[i].Group) < 0)
            contacts[i].Group = kNoGroup;
    }
    return saveGroupsAndContacts(groups, contacts);
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
