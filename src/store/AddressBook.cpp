#include "store/AddressBook.h"

#include "store/Cp1250.h"
#include "store/FileRecords.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFutureWatcher>
#include <QSet>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

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

QSet<QString> storedNames(const QStringList &names)
{
    QSet<QString> keys;
    for (const QString &name : names)
        keys.insert(storedName(name));
    return keys;
}

// The contact as its record in the file holds it.
AListAddress fitted(AListAddress c)
{
    namespace cap = capacity;
    const std::pair<QString *, int> fields[] = {
        {&c.FirstName, cap::FirstName},
        {&c.LastName, cap::LastName},
        {&c.NickName, cap::NickName},
        {&c.DisplayNameAs, cap::DisplayNameAs},
        {&c.Group, cap::Group},
        {&c.HomeAddress, cap::HomeAddress},
        {&c.HomeCity, cap::HomeCity},
        {&c.HomePostNo, cap::HomePostNo},
        {&c.HomeCountry, cap::HomeCountry},
        {&c.HomeWebPage, cap::HomeWebPage},
        {&c.CompanyName, cap::CompanyName},
        {&c.CompanyDepartment, cap::CompanyDepartment},
        {&c.CompanyOffice, cap::CompanyOffice},
        {&c.CompanyJobTitle, cap::CompanyJobTitle},
        {&c.CompanyAddress, cap::CompanyAddress},
        {&c.CompanyCity, cap::CompanyCity},
        {&c.CompanyPostNo, cap::CompanyPostNo},
        {&c.CompanyCountry, cap::CompanyCountry},
        {&c.CompanyWebPage, cap::CompanyWebPage},
        {&c.Notes, cap::Notes},
        {&c.UseThisSound, cap::UseThisSound},
        {&c.Picture, cap::Picture},
    };
    for (const auto &[text, capacity] : fields)
        *text = StoredText(*text, capacity);
    for (QString &text : c.PhoneLocation)
        text = StoredText(text, cap::PhoneLocation);
    for (QString &text : c.PhoneNumber)
        text = StoredText(text, cap::PhoneNumber);
    for (QString &text : c.EMail)
        text = StoredText(text, cap::EMail);
    return c;
}

AGroups fittedGroup(const QString &name, const QString &sound)
{
    return AGroups{StoredText(name, capacity::GroupName), StoredText(sound, capacity::GroupSound)};
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
    : QObject(parent), m_dir(dir), m_access(access),
      m_contactsDamage(dir + QLatin1String(kAddressbookFileName)),
      m_groupsDamage(dir + QLatin1String(kGroupsFileName))
{
    m_writer.setMaxThreadCount(1);
}

// ---- reading ----------------------------------------------------------------------------------

void AddressBook::contactsEdited()
{
    ++m_contactsRevision;
    m_numbers.reset();
    emit contactsChanged();
}

StoreResult AddressBook::loadContacts()
{
    // The stamp is taken first: a file replaced while it is read shows as changed next time.
    m_contactsStamp = StampOf(m_dir + QLatin1String(kAddressbookFileName));
    const StoreResult result = m_contactsDamage.loaded(LoadAddressbook(m_dir, m_contacts, m_access));
    contactsEdited();
    return result;
}

StoreResult AddressBook::loadGroups()
{
    m_groupsStamp = StampOf(m_dir + QLatin1String(kGroupsFileName));
    const StoreResult result = m_groupsDamage.loaded(LoadGroups(m_dir, m_groups, m_access));
    emit groupsChanged();
    return result;
}

StoreResult AddressBook::load()
{
    finishSave();
    const StoreResult contacts = loadContacts();
    const StoreResult groups = loadGroups();
    return AllFailures({contacts, groups});
}

StoreResult AddressBook::reloadChanged()
{
    // Our own save on its way changes the files too; its end tells what is on disk.
    if (m_saving)
        return {};
    const StoreResult contacts = StampOf(m_dir + QLatin1String(kAddressbookFileName)) != m_contactsStamp
                                     ? loadContacts()
                                     : m_contactsDamage.unanswered();
    const StoreResult groups = StampOf(m_dir + QLatin1String(kGroupsFileName)) != m_groupsStamp
                                   ? loadGroups()
                                   : m_groupsDamage.unanswered();
    return AllFailures({contacts, groups});
}

void AddressBook::answerDamaged(bool goOn)
{
    m_contactsDamage.answer(goOn);
    m_groupsDamage.answer(goOn);
}

// Contacts name their groups: while either file is kept as it was found, neither is written.
StoreResult AddressBook::readyForChange()
{
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    return AllFailures({m_contactsDamage.mayWrite(), m_groupsDamage.mayWrite()});
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
    if (!m_numbers)
        m_numbers.emplace(m_contacts);
    return m_numbers->find(m_contacts, callerNumber);
}

// ---- changing ---------------------------------------------------------------------------------

// The groups go first: contacts saved without their group would sit in a group the tree does not
// show. When the contacts cannot be saved, the previous groups are saved back. The stamps are
// taken under the lock, so a later change knows these files for its own.
AddressBook::Written AddressBook::writeFiles(const QString &dir, const TGroupList *groups,
                                             const TContactList *contacts, const TGroupList &previousGroups)
{
    Written written;
    written.result = groups ? SaveGroups(dir, *groups) : StoreResult();
    if (written.result && contacts) {
        written.result = SaveAddressbook(dir, *contacts);
        if (!written.result && groups)
            SaveGroups(dir, previousGroups);
    }
    written.groups = StampOf(dir + QLatin1String(kGroupsFileName));
    written.contacts = StampOf(dir + QLatin1String(kAddressbookFileName));
    return written;
}

std::shared_ptr<DataFolderLock> AddressBook::lockForChange()
{
    finishSave();
    return std::make_shared<DataFolderLock>(m_dir);
}

// The worker gets shared copies of the lists and the folder's lock, which it lets go when the
// files are written. A large address book takes a while to write: meanwhile the window goes on
// painting and its timers run, and the user's input waits for the change to end.
StoreResult AddressBook::save(std::shared_ptr<DataFolderLock> lock, bool groups, bool contacts,
                              const TGroupList &previousGroups)
{
    auto saving = std::make_shared<Save>();
    saving->groups = groups;
    saving->contacts = contacts;
    saving->written = QtConcurrent::run(&m_writer, [dir = m_dir, lock = std::move(lock),
                                                    groupList = groups ? m_groups : TGroupList(),
                                                    contactList = contacts ? m_contacts : TContactList(),
                                                    previousGroups, groups, contacts]() mutable {
        const Written written =
            writeFiles(dir, groups ? &groupList : nullptr, contacts ? &contactList : nullptr, previousGroups);
        // Let go of the lists before the end is reported: a change made then must not have
        // to copy its list because the worker still shares it.
        groupList = {};
        contactList = {};
        lock.reset();
        return written;
    });
    m_saving = saving;
    QCoreApplication *app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread()) {
        QEventLoop loop;
        QFutureWatcher<Written> watcher;
        connect(&watcher, &QFutureWatcherBase::finished, &loop, &QEventLoop::quit);
        watcher.setFuture(saving->written);
        if (!saving->written.isFinished())
            loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (m_saving == saving)
        finishSave();
    return saving->outcome;
}

StoreResult AddressBook::finishSave()
{
    if (!m_saving)
        return {};
    const std::shared_ptr<Save> saving = std::exchange(m_saving, nullptr);
    const Written written = saving->written.result();
    saving->outcome = written.result;
    if (written.result) {
        if (saving->groups)
            m_groupsStamp = written.groups;
        if (saving->contacts)
            m_contactsStamp = written.contacts;
        return saving->outcome;
    }
    // The lists go back to what the files hold; a file that cannot be read either leaves nothing
    // that is known to be in it.
    if (saving->groups)
        m_groups.clear();
    if (saving->contacts)
        m_contacts.clear();
    saving->outcome = AllFailures({written.result, saving->groups ? loadGroups() : StoreResult(),
                                   saving->contacts ? loadContacts() : StoreResult()});
    return saving->outcome;
}

// CHANGE edits the list in place and returns success, or a refusal before it changed anything.
template <typename Change> StoreResult AddressBook::changeContacts(Change change)
{
    auto lock = lockForChange();
    if (const StoreResult fresh = readyForChange(); !fresh)
        return fresh;
    if (const StoreResult answer = change(m_contacts); !answer)
        return answer;
    contactsEdited();
    return save(std::move(lock), false, true);
}

template <typename Change> StoreResult AddressBook::changeGroups(Change change)
{
    auto lock = lockForChange();
    if (const StoreResult fresh = readyForChange(); !fresh)
        return fresh;
    if (const StoreResult answer = change(m_groups); !answer)
        return answer;
    emit groupsChanged();
    return save(std::move(lock), true, false);
}

StoreResult AddressBook::AddContact(AListAddress contact)
{
    return changeContacts([&](TContactList &contacts) {
        if (firstNamed(contacts, contact.DisplayNameAs) >= 0)
            return contactNameTaken();
        contacts.append(fitted(std::move(contact)));
        return StoreResult();
    });
}

StoreResult AddressBook::EditContact(QString oldName, AListAddress contact)
{
    return changeContacts([&](TContactList &contacts) {
        if (storedName(contact.DisplayNameAs) != storedName(oldName) &&
            firstNamed(contacts, contact.DisplayNameAs) >= 0)
            return contactNameTaken();
        if (const int at = firstNamed(contacts, oldName); at >= 0)
            contacts.removeAt(at);
        contacts.append(fitted(std::move(contact)));
        return StoreResult();
    });
}

StoreResult AddressBook::DeleteContacts(QStringList names)
{
    return changeContacts([&](TContactList &contacts) {
        const QSet<QString> keys = storedNames(names);
        contacts.removeIf([&](const AListAddress &c) { return keys.contains(c.DisplayNameAs); });
        return StoreResult();
    });
}

StoreResult AddressBook::SetBlackList(QStringList names, bool on)
{
    return changeContacts([&](TContactList &contacts) {
        const QSet<QString> keys = storedNames(names);
        for (AListAddress &c : contacts)
            if (keys.contains(c.DisplayNameAs))
                c.BlackList = on;
        return StoreResult();
    });
}

StoreResult AddressBook::MoveContactsToGroup(QStringList names, QString group)
{
    return changeContacts([&](TContactList &contacts) {
        const QSet<QString> keys = storedNames(names);
        const QString stored = StoredText(group, capacity::Group);
        for (AListAddress &c : contacts)
            if (keys.contains(c.DisplayNameAs))
                c.Group = stored;
        return StoreResult();
    });
}

StoreResult AddressBook::AddGroup(QString name)
{
    return changeGroups([&](TGroupList &groups) {
        if (GroupNameTaken(name))
            return StoreResult::refused(tr("Grupa pod tim imenom već postoji!"));
        groups.append(fittedGroup(name, QString()));
        return StoreResult();
    });
}

StoreResult AddressBook::AddGroupUnderFreeName(QString base, QString *name)
{
    return changeGroups([&](TGroupList &groups) {
        QString free = base;
        for (int n = 1; GroupNameTaken(free); ++n)
            free = base + QLatin1Char(' ') + QString::number(n);
        groups.append(fittedGroup(free, QString()));
        if (name)
            *name = groups.constLast().GroupName;
        return StoreResult();
    });
}

StoreResult AddressBook::ImportContacts(QString baseGroup, QList<AListAddress> contacts, ImportCounts *counts,
                                        QString *groupName)
{
    ImportCounts done{int(contacts.size()), 0, 0};
    if (counts)
        *counts = done;
    auto lock = lockForChange();
    if (const StoreResult fresh = readyForChange(); !fresh)
        return fresh;
    QString group = baseGroup;
    for (int n = 1; GroupNameTaken(group); ++n)
        group = baseGroup + QLatin1Char(' ') + QString::number(n);
    group = StoredText(group, capacity::GroupName);

    // Two names that differ only where the file cannot follow would become one key there.
    QSet<QString> taken;
    for (const AListAddress &c : std::as_const(m_contacts))
        taken.insert(c.DisplayNameAs);
    const TGroupList previousGroups = m_groups;
    for (AListAddress &c : contacts) {
        const QString given = c.DisplayNameAs;
        AListAddress record = fitted(std::move(c));
        if (record.DisplayNameAs.trimmed().isEmpty() || taken.contains(record.DisplayNameAs))
            continue;
        taken.insert(record.DisplayNameAs);
        done.fitted += record.DisplayNameAs != given ? 1 : 0;
        record.Group = group;
        m_contacts.append(std::move(record));
        ++done.imported;
    }
    if (done.imported == 0)
        return {};
    m_groups.append(AGroups{group, QString()});
    emit groupsChanged();
    contactsEdited();
    if (const StoreResult saved = save(std::move(lock), true, true, previousGroups); !saved)
        return saved;
    if (counts)
        *counts = done;
    if (groupName)
        *groupName = group;
    return {};
}

StoreResult AddressBook::RenameGroup(QString oldName, QString newName)
{
    auto lock = lockForChange();
    if (const StoreResult fresh = readyForChange(); !fresh)
        return fresh;
    if (GroupNameTaken(newName))
        return StoreResult::refused(tr("Grupa pod tim imenom već postoji!"));
    const TGroupList previousGroups = m_groups;
    if (const int at = firstGroupNamed(m_groups, oldName); at >= 0)
        m_groups.removeAt(at);
    m_groups.append(fittedGroup(newName, QString()));
    const QString from = StoredText(oldName, capacity::Group);
    const QString to = StoredText(newName, capacity::Group);
    for (AListAddress &c : m_contacts)
        if (c.Group == from)
            c.Group = to;
    emit groupsChanged();
    contactsEdited();
    return save(std::move(lock), true, true, previousGroups);
}

StoreResult AddressBook::DeleteGroup(QString name, bool withContacts)
{
    auto lock = lockForChange();
    if (const StoreResult fresh = readyForChange(); !fresh)
        return fresh;
    const TGroupList previousGroups = m_groups;
    if (const int at = firstGroupNamed(m_groups, name); at >= 0)
        m_groups.removeAt(at);
    const QString group = StoredText(name, capacity::Group);
    if (withContacts) {
        m_contacts.removeIf([&](const AListAddress &c) { return c.Group == group; });
    } else {
        QSet<QString> groups;
        for (const AGroups &g : std::as_const(m_groups))
            groups.insert(g.GroupName);
        for (AListAddress &c : m_contacts)
            if (!groups.contains(c.Group))
                c.Group = kNoGroup;
    }
    emit groupsChanged();
    contactsEdited();
    return save(std::move(lock), true, true, previousGroups);
}

StoreResult AddressBook::SetGroupSound(QString groupName, QString sound)
{
    return changeGroups([&](TGroupList &groups) {
        const int at = firstGroupNamed(groups, groupName);
        if (at < 0) // gone meanwhile: nothing to give a sound to
            return StoreResult();
        groups.removeAt(at);
        groups.append(fittedGroup(groupName, sound));
        return StoreResult();
    });
}
