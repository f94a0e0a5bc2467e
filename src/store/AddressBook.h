#pragma once

#include "store/DataFiles.h"
#include "store/Numbers.h"
#include "store/Records.h"
#include "store/StoreResult.h"

#include <QFuture>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <cstdint>
#include <memory>
#include <optional>

// The contacts and groups of one data folder, and every rule that changes them. Windows, the
// call pipeline and tellwise-cli read the lists and change them only through these methods.
//
// Each change holds the folder's lock while it runs, first reads again a file that another
// program replaced since this object last read or wrote it, then changes the list in place and
// rewrites the file. Texts are fitted to their fields as they enter, so the lists hold what the
// files hold and a saved file is not read back. The file is written on a worker thread; the
// change returns once it is on disk, and on the window's thread the event loop runs meanwhile
// (the user's input waits). A change that cannot be saved leaves the list as the file holds it.
// Changes are announced with contactsChanged() and groupsChanged().

// What became of a batch import: rows offered, contacts saved, and how many of those saved
// names the file holds otherwise than given (written in Latin letters, or cut to the field).
struct ImportCounts
{
    int selected = 0;
    int imported = 0;
    int fitted = 0;
};

class AddressBook : public QObject
{
    Q_OBJECT

public:
    // The group value of a contact in no group, as stored whatever the interface language.
    static const QString kNoGroup;
    // The name of the main window's black-list node, which no group may take either.
    static const QString kBlackListNode;

    // DIR: the data folder, with a trailing slash. ACCESS: whether loads may create missing files.
    explicit AddressBook(const QString &dir, FileAccess access = FileAccess::CreateMissing,
                         QObject *parent = nullptr);

    const QString &folder() const { return m_dir; }
    const TContactList &contacts() const { return m_contacts; }
    const TGroupList &groups() const { return m_groups; }
    // Changes with every change of the contact list (a load, a reload or an edit): what is
    // derived from the list is taken again when it differs.
    std::uint64_t contactsRevision() const { return m_contactsRevision; }

    // Reads both files; failures of both are returned, the first one's message first.
    StoreResult load();
    // Reads again whichever file changed on disk since this object last read or wrote it (not
    // while a save of its own is on its way). A damaged file the user has not yet been asked
    // about is returned again.
    StoreResult reloadChanged();
    // The user's answer to a damaged file's load: go on with its readable records (the next
    // change rewrites it) or leave it as it is (changes to the address book are refused).
    void answerDamaged(bool goOn);

    // Exact, case-sensitive comparison with the key as the file holds it (cut to its field, in
    // the file's code page); first match in list order. Group names compare the same way.
    int indexOfContact(const QString &displayName) const;
    bool ContactExists(const QString &displayName) const { return indexOfContact(displayName) >= 0; }
    bool GroupExists(const QString &groupName) const;
    // The sound of the first group of exactly that name; empty when there is none.
    QString GroupSound(const QString &groupName) const;
    // Whether NAME cannot become a group's name: empty, taken, or one of the tree's own nodes.
    bool GroupNameTaken(const QString &name) const;
    ContactMatch FindContactByNumber(const QString &callerNumber) const;

    // The changes take their names by value: a name read from the lists stays whole while the
    // change edits or replaces them.

    // Refused when the display name is taken ("Osoba pod tim imenom već postoji!").
    StoreResult AddContact(AListAddress contact);
    // The contact named OLDNAME is replaced by CONTACT at the end of the list; refused when the
    // new display name belongs to another contact.
    StoreResult EditContact(QString oldName, AListAddress contact);
    StoreResult DeleteContacts(QStringList names);
    StoreResult SetBlackList(QStringList names, bool on);
    StoreResult MoveContactsToGroup(QStringList names, QString group);

    // Refused when GroupNameTaken ("Grupa pod tim imenom već postoji!").
    StoreResult AddGroup(QString name);
    // Adds a group named BASE, or BASE + " 1", " 2" … when that is taken; NAME receives it.
    StoreResult AddGroupUnderFreeName(QString base, QString *name);
    // Saves CONTACTS into a new group named BASEGROUP, or BASEGROUP + " 1", " 2" … when that is
    // taken (GROUPNAME receives it), in one change: a contact whose display name is empty or,
    // as the file would hold it, already taken (also by an earlier one of the batch) is skipped.
    // Without a contact to save, nothing is written and no group is made.
    StoreResult ImportContacts(QString baseGroup, QList<AListAddress> contacts, ImportCounts *counts,
                               QString *groupName);
    // The renamed group starts without a sound; its contacts follow it.
    StoreResult RenameGroup(QString oldName, QString newName);
    // The group's contacts go with it, or stay in no group.
    StoreResult DeleteGroup(QString name, bool withContacts);
    // The group's record is replaced by a new one at the end of the list.
    StoreResult SetGroupSound(QString groupName, QString sound);

signals:
    void contactsChanged();
    void groupsChanged();

private:
    template <typename Change> StoreResult changeContacts(Change change);
    template <typename Change> StoreResult changeGroups(Change change);
    StoreResult loadContacts();
    StoreResult loadGroups();
    // Reads what changed, then says whether both files may be written.
    StoreResult readyForChange();
    void contactsEdited();

    // What a save left on disk.
    struct Written
    {
        StoreResult result;
        FileStamp groups;
        FileStamp contacts;
    };
    // A save on its way, and what came of it once taken.
    struct Save
    {
        QFuture<Written> written;
        bool groups = false;
        bool contacts = false;
        StoreResult outcome;
    };
    // Writes GROUPS, CONTACTS or both (both or neither; PREVIOUSGROUPS are what the groups file
    // holds now).
    static Written writeFiles(const QString &dir, const TGroupList *groups, const TContactList *contacts,
                              const TGroupList &previousGroups);
    // Ends a save still on its way, then takes the folder's lock for a change.
    std::shared_ptr<DataFolderLock> lockForChange();
    // Writes the groups, the contacts or both on a worker thread after a change in memory, and
    // returns when they are on disk; a failure reads the files back.
    StoreResult save(std::shared_ptr<DataFolderLock> lock, bool groups, bool contacts,
                     const TGroupList &previousGroups = {});
    // Takes what the save on its way did (waiting for it): the stamps of the files it wrote,
    // or the lists as the files hold them.
    StoreResult finishSave();

    QString m_dir;
    FileAccess m_access;
    TContactList m_contacts;
    TGroupList m_groups;
    FileStamp m_contactsStamp;
    FileStamp m_groupsStamp;
    DamagedFile m_contactsDamage;
    DamagedFile m_groupsDamage;
    std::uint64_t m_contactsRevision = 0;
    // The caller look-up's index of the contacts' numbers, built at the first look-up after a change.
    mutable std::optional<ContactNumberIndex> m_numbers;
    std::shared_ptr<Save> m_saving;
    // The saves' own thread: one in the shared pool could wait behind a call-log save that
    // waits for the lock this save holds.
    QThreadPool m_writer;
};

// Every failure of several as one, with the first one's kind and their messages in order, or
// success: a failure behind another one is reported too.
StoreResult AllFailures(std::initializer_list<StoreResult> results);
