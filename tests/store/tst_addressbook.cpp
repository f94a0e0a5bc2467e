#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataFiles.h"
#include "store/FileRecords.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <csignal>
#include <sys/resource.h>

using namespace Qt::StringLiterals;

// The data files, the address book and the call log against real files in a fresh folder per test.
namespace {

using testsupport::readFile;
using testsupport::writeFile;

AListAddress contact(const QString &name, const QString &number = QString(), const QString &group = QString())
{
    AListAddress c;
    c.DisplayNameAs = name;
    c.Group = group.isEmpty() ? AddressBook::kNoGroup : group;
    c.PhoneLocation[0] = u"Mobitel"_s;
    c.PhoneNumber[0] = number;
    return c;
}

// A contact record built by hand: only DisplayNameAs (offset 78) set.
QByteArray contactBytes(const QByteArray &displayName)
{
    QByteArray bytes(2300, '\0');
    bytes[78] = char(displayName.size());
    bytes.replace(79, displayName.size(), displayName);
    return bytes;
}

QByteArray groupBytes(const QByteArray &name)
{
    QByteArray bytes(297, '\0');
    bytes[0] = char(name.size());
    bytes.replace(1, name.size(), name);
    return bytes;
}

QStringList names(const TContactList &list)
{
    QStringList out;
    for (const AListAddress &c : list)
        out << c.DisplayNameAs + (c.Group.isEmpty() || c.Group == AddressBook::kNoGroup
                                      ? QString()
                                      : QLatin1Char('@') + c.Group);
    return out;
}

QStringList groupNames(const TGroupList &list)
{
    QStringList out;
    for (const AGroups &g : list)
        out << g.GroupName + (g.GroupSound.isEmpty() ? QString() : QLatin1Char('=') + g.GroupSound);
    return out;
}

ACalls call(const QString &number, double date, double time, bool isNew = false)
{
    return ACalls{u"Pozivatelj"_s, number, u"01"_s, date, time, isNew};
}

// Runs CHANGE with files limited to 3000 bytes (more than a few groups, less than two contacts),
// as on a disk that fills up.
template <typename Change> StoreResult underSizeLimit(Change change)
{
    struct rlimit saved;
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 3000;
    setrlimit(RLIMIT_FSIZE, &small);
    const StoreResult result = change();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

} // namespace

class TestAddressbook : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    QString file(const QString &name) const { return m_path + name; }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>(testsupport::testDataDir() + u"store-XXXXXX"_s);
        QVERIFY(m_dir->isValid());
        m_path = m_dir->path() + QLatin1Char('/');
    }

    // ---- the data files ----

    void firstStartCreatesEmptyFilesReadersCreateNothing()
    {
        AddressBook reader(m_path, FileAccess::ReadOnly);
        CallLog callReader(m_path, FileAccess::ReadOnly);
        QVERIFY(reader.load() && callReader.load());
        QVERIFY(QDir(m_path).entryList(QDir::Files | QDir::Hidden).isEmpty());

        AddressBook book(m_path);
        CallLog log(m_path);
        QVERIFY(book.load() && log.load());
        for (const char *name : {"Addressbook.dat", "Groups.dat", "Calls.dat"}) {
            QVERIFY2(QFileInfo(file(QLatin1String(name))).size() == 0, name);
            QVERIFY(!QFileInfo::exists(file(u"Copy of "_s + QLatin1String(name))));
        }
    }

    // What saves killed half way left behind goes with the next save or load of the same file.
    void safetyCopyHoldsPreviousVersion()
    {
        for (const char *name : {"Addressbook.dat.new-1a2b3c4d", "Copy of Addressbook.dat.new-00000001",
                                 "Copy of Addressbook.dat.new-link", "Groups.dat.new-0000abcd"})
            writeFile(file(QLatin1String(name)), QByteArray(4096, 'x'));
        TContactList list;
        list.append(contact(u"Ana"_s));
        QVERIFY(SaveAddressbook(m_path, list));
        const QByteArray first = readFile(file("Addressbook.dat"));
        QCOMPARE(first, EncodeFileRec(list[0]));

        list.append(contact(u"Branko"_s));
        QVERIFY(SaveAddressbook(m_path, list));
        QCOMPARE(readFile(file("Copy of Addressbook.dat")), first);
        QCOMPARE(QFileInfo(file("Addressbook.dat")).size(), 4600);
        QCOMPARE(QDir(m_path).entryList(QDir::Files),
                 (QStringList{"Addressbook.dat", "Copy of Addressbook.dat", "Groups.dat.new-0000abcd"}));
        // A load clears them too, unless it only looks or a writer is at work.
        TGroupList groups;
        QVERIFY(LoadGroups(m_path, groups, FileAccess::ReadOnly));
        {
            const DataFolderLock writer(m_path);
            QVERIFY(LoadGroups(m_path, groups, FileAccess::CreateMissing));
        }
        QVERIFY(QFileInfo::exists(file("Groups.dat.new-0000abcd")));
        QVERIFY(LoadGroups(m_path, groups, FileAccess::CreateMissing));
        QVERIFY(!QFileInfo::exists(file("Groups.dat.new-0000abcd")));

        // The new file keeps the permissions of the one it replaces.
        const auto privateMode = QFile::ReadOwner | QFile::WriteOwner;
        QVERIFY(QFile::setPermissions(file("Addressbook.dat"), privateMode));
        QVERIFY(SaveAddressbook(m_path, list));
        QCOMPARE(QFile::permissions(file("Addressbook.dat")) & 0x7077, privateMode);
    }

    // A data file that is missing or holds no record is no previous version worth keeping when
    // an older safety copy exists: that copy may be the only one left of the user's data.
    void emptyOrMissingDataFileKeepsOldSafetyCopy_data()
    {
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << false;
        QTest::newRow("empty") << true;
    }
    void emptyOrMissingDataFileKeepsOldSafetyCopy()
    {
        QFETCH(bool, present);
        const QByteArray old = contactBytes("Ana") + contactBytes("Bruno");
        writeFile(file("Copy of Addressbook.dat"), old);
        if (present)
            writeFile(file("Addressbook.dat"), QByteArray());
        AddressBook book(m_path);
        QVERIFY(book.load());
        QVERIFY(book.AddContact(contact(u"Novi"_s)));
        QCOMPARE(readFile(file("Copy of Addressbook.dat")), old);
        QCOMPARE(names(book.contacts()), QStringList{"Novi"});
    }

    void loadReadsWholeRecordsOnly_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("expected");
        const QByteArray a = contactBytes("Ana");
        const QByteArray b = contactBytes("Bruno");
        QTest::newRow("4601 bytes") << a + b + QByteArray(1, 'z') << QStringList{"Ana", "Bruno"};
        QTest::newRow("4599 bytes") << a + b.left(2299) << QStringList{"Ana"};
        QTest::newRow("under one record") << a.left(2299) << QStringList{};
        QTest::newRow("empty key dropped") << a + contactBytes("") + b << QStringList{"Ana", "Bruno"};
    }
    void loadReadsWholeRecordsOnly()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        writeFile(file("Addressbook.dat"), content);
        TContactList list;
        list.append(contact(u"stale"_s));
        QVERIFY(LoadAddressbook(m_path, list, FileAccess::ReadOnly));
        QCOMPARE(names(list), expected);
        // A record refilled in place keeps nothing of the one it replaces.
        if (!list.isEmpty())
            QCOMPARE(list[0], TAddressFileRec::decode(content.constData()));
    }

    // Groups lose records without a name; calls keep their file order, and zeros are no call.
    void groupsAndCallsFromFile()
    {
        writeFile(file("Groups.dat"), groupBytes("A") + groupBytes("") + groupBytes("a"));
        const ACalls older = call(u"091"_s, 38000, 0.25);
        const ACalls newer = call(u"092"_s, 38001, 0.5, true);
        writeFile(file("Calls.dat"), EncodeFileRec(older) + EncodeFileRec(ACalls{}) + EncodeFileRec(newer));
        AddressBook book(m_path);
        CallLog log(m_path);
        QVERIFY(book.load() && log.load());
        QCOMPARE(groupNames(book.groups()), (QStringList{"A", "a"}));
        QCOMPARE(log.calls().size(), 2);
        QCOMPARE(log.calls()[1], newer);
    }

    // Tests run as root, for whom file modes do not stop writes; a data folder below a regular
    // file fails for everyone (ENOTDIR), like a folder the user may not write. The message
    // names the file and the system's reason; the program goes on with what it has.
    void unusableFolderIsReported()
    {
        writeFile(file("plainfile"), "x");
        AddressBook book(m_path + u"plainfile/data/"_s);
        const StoreResult result = book.load();
        QCOMPARE(result.kind, StoreResult::Kind::Failed);
        QVERIFY(result.message.startsWith(u"Dogodila se greška prilikom otvaranja datoteke!\n"_s));
        QVERIFY(result.message.contains(u"plainfile/data/Addressbook.dat: Not a directory"_s));
        QCOMPARE(book.AddGroup(u"Posao"_s).kind, StoreResult::Kind::Failed);
        QVERIFY(book.groups().isEmpty());
    }

    // A write that fails half way (here: the file size limit) is returned, and the data file and
    // the safety copy stay as they were, with no temporary file left; the list holds the file.
    void failedWriteKeepsOldFile()
    {
        writeFile(file("Addressbook.dat"), contactBytes("Ana"));
        writeFile(file("Copy of Addressbook.dat"), contactBytes("Older"));
        AddressBook book(m_path);
        QVERIFY(book.load());

        const StoreResult result = underSizeLimit([&] { return book.AddContact(contact(u"Bruno"_s)); });
        QCOMPARE(result.kind, StoreResult::Kind::Failed);
        QVERIFY(result.message.contains(file("Addressbook.dat")));
        QCOMPARE(readFile(file("Addressbook.dat")), contactBytes("Ana"));
        QCOMPARE(readFile(file("Copy of Addressbook.dat")), contactBytes("Older"));
        QCOMPARE(names(book.contacts()), QStringList{"Ana"});
        QVERIFY(QDir(m_path).entryList({u"*.new-*"_s}, QDir::Files).isEmpty());
    }

    // A group renamed or deleted while its contacts cannot be saved stays as it was on disk.
    // A damaged address book is kept as it was found until the user chooses to go on with the
    // contacts that could be read; the groups are not written meanwhile either.
    void damagedAddressBookIsKeptUntilTheUserChooses()
    {
        const QByteArray bytes = contactBytes("Ana") + QByteArray(2 * 2300, char(0xFF));
        writeFile(file(u"Addressbook.dat"_s), bytes);
        writeFile(file(u"Groups.dat"_s), groupBytes("Posao"));
        for (const bool goOn : {false, true}) {
            AddressBook book(m_path);
            QCOMPARE(book.load().kind, StoreResult::Kind::Damaged);
            QVERIFY(!book.AddGroup(u"Obitelj"_s));
            QCOMPARE(book.reloadChanged().kind, StoreResult::Kind::Damaged);
            book.answerDamaged(goOn);
            QVERIFY(book.reloadChanged());
            QCOMPARE(bool(book.AddContact(contact(u"Iva"_s))), goOn);
            QCOMPARE(bool(book.AddGroup(u"Obitelj"_s)), goOn);
            QCOMPARE(readFile(file(u"Addressbook.dat"_s)) == bytes, !goOn);
        }
        AddressBook book(m_path);
        QVERIFY(book.load());
        QCOMPARE(names(book.contacts()), (QStringList{u"Ana"_s, u"Iva"_s}));
        QCOMPARE(groupNames(book.groups()), (QStringList{u"Posao"_s, u"Obitelj"_s}));
    }

    void groupChangeIsAllOrNothing_data()
    {
        QTest::addColumn<bool>("rename");
        QTest::newRow("rename") << true;
        QTest::newRow("delete") << false;
    }
    void groupChangeIsAllOrNothing()
    {
        QFETCH(bool, rename);
        AddressBook book(m_path);
        QVERIFY(book.load());
        QVERIFY(book.AddGroup(u"Posao"_s));
        QVERIFY(book.AddContact(contact(u"Ana"_s, {}, u"Posao"_s)));
        QVERIFY(book.AddContact(contact(u"Bruno"_s, {}, u"Posao"_s)));
        const QByteArray groups = readFile(file("Groups.dat"));
        const StoreResult result = underSizeLimit([&] {
            return rename ? book.RenameGroup(u"Posao"_s, u"Ured"_s) : book.DeleteGroup(u"Posao"_s, false);
        });
        QCOMPARE(result.kind, StoreResult::Kind::Failed);
        QCOMPARE(readFile(file("Groups.dat")), groups);
        QCOMPARE(groupNames(book.groups()), QStringList{"Posao"});
        QCOMPARE(names(book.contacts()), (QStringList{"Ana@Posao", "Bruno@Posao"}));
    }

    void backup()
    {
        const QByteArray contacts = contactBytes("Ana") + QByteArray(7, '\x81'); // odd tail kept as is
        writeFile(file("Addressbook.dat"), contacts);
        writeFile(file("Groups.dat"), groupBytes("Posao"));
        QVERIFY(BackupDataFiles(m_path, false));
        QVERIFY(!QFileInfo::exists(file("Backup")));
        // Calls.dat is missing: nothing to copy for it.
        QVERIFY(BackupDataFiles(m_path, true));
        QCOMPARE(readFile(file("Backup/Copy of Addressbook.dat")), contacts);
        QVERIFY(!QFileInfo::exists(file("Backup/Copy of Calls.dat")));

        // A second backup overwrites the first.
        writeFile(file("Groups.dat"), groupBytes("Druga"));
        QVERIFY(BackupDataFiles(m_path, true));
        QCOMPARE(readFile(file("Backup/Copy of Groups.dat")), groupBytes("Druga"));
        QCOMPARE(QDir(file("Backup")).entryList(QDir::Files).size(), 2);

        // A file where the folder should be: the backup ends silently.
        QVERIFY(QDir(file("Backup")).removeRecursively());
        writeFile(file("Backup"), "x");
        QVERIFY(BackupDataFiles(m_path, true));
        QCOMPARE(readFile(file("Backup")), QByteArray("x"));
    }

    // ---- the rules of the address book ----

    void contactRules()
    {
        AddressBook book(m_path);
        QVERIFY(book.load());
        QVERIFY(book.AddContact(contact(u"Ana"_s, u"091 111"_s)));
        QVERIFY(book.AddContact(contact(u"Bruno"_s)));
        QVERIFY(book.AddContact(contact(u"ana"_s))); // keys compare exactly
        const StoreResult taken = book.AddContact(contact(u"Ana"_s));
        QCOMPARE(taken.kind, StoreResult::Kind::Refused);
        QCOMPARE(taken.message, u"Osoba pod tim imenom već postoji!"_s);

        // An edit moves the record to the end; taking another contact's name is refused.
        QCOMPARE(book.EditContact(u"Ana"_s, contact(u"Bruno"_s)).kind, StoreResult::Kind::Refused);
        QVERIFY(book.EditContact(u"Ana"_s, contact(u"Ana H."_s, u"091 222"_s)));
        QCOMPARE(names(book.contacts()), (QStringList{"Bruno", "ana", "Ana H."}));
        // The caller look-up sees the edit at once.
        QCOMPARE(book.FindContactByNumber(u"091222"_s).index, 2);
        QVERIFY(!book.FindContactByNumber(u"091111"_s).found());

        QVERIFY(book.SetBlackList({u"Bruno"_s, u"ana"_s}, true));
        QVERIFY(book.MoveContactsToGroup({u"Ana H."_s}, u"Posao"_s));
        QVERIFY(book.DeleteContacts({u"ana"_s, u"nobody"_s}));
        QCOMPARE(names(book.contacts()), (QStringList{"Bruno", "Ana H.@Posao"}));
        QVERIFY(book.contacts()[0].BlackList && !book.contacts()[1].BlackList);
        // Every change is on disk.
        QCOMPARE(QFileInfo(file("Addressbook.dat")).size(), 2 * 2300);

        // Names compare as the file holds them: the Ukrainian and the Russian spelling are both
        // "Vitalij"; a name in another script is another name.
        QVERIFY(book.AddContact(contact(u"Віталій"_s)));
        QCOMPARE(book.AddContact(contact(u"Виталий"_s)).message, u"Osoba pod tim imenom već postoji!"_s);
        QCOMPARE(book.EditContact(u"Bruno"_s, contact(u"Vitalij"_s)).kind, StoreResult::Kind::Refused);
        QVERIFY(book.AddContact(contact(u"Ђорђе"_s)));
    }

    void groupRules()
    {
        AddressBook book(m_path);
        QVERIFY(book.load());
        QVERIFY(book.AddGroup(u"Posao"_s));
        for (const QString &name : {u"Posao"_s, u"Bez grupe"_s, u"Crna Lista"_s, QString()}) {
            const StoreResult refused = book.AddGroup(name);
            QCOMPARE(refused.kind, StoreResult::Kind::Refused);
            QCOMPARE(refused.message, u"Grupa pod tim imenom već postoji!"_s);
        }
        QVERIFY(book.AddGroup(u"Obitelj"_s));
        QVERIFY(book.SetGroupSound(u"Posao"_s, u"/s/posao.wav"_s));
        QCOMPARE(groupNames(book.groups()), (QStringList{"Obitelj", "Posao=/s/posao.wav"}));
        QVERIFY(book.AddContact(contact(u"Ana"_s, {}, u"Posao"_s)));
        QVERIFY(book.AddContact(contact(u"Bruno"_s, {}, u"Obitelj"_s)));
        QVERIFY(book.AddContact(contact(u"Cvita"_s, {}, u"Obitelj"_s)));

        // A renamed group starts without its sound; its contacts follow it.
        QCOMPARE(book.RenameGroup(u"Posao"_s, u"Obitelj"_s).kind, StoreResult::Kind::Refused);
        QVERIFY(book.RenameGroup(u"Posao"_s, u"Ured"_s));
        QCOMPARE(groupNames(book.groups()), (QStringList{"Obitelj", "Ured"}));
        QCOMPARE(names(book.contacts()), (QStringList{"Ana@Ured", "Bruno@Obitelj", "Cvita@Obitelj"}));

        QVERIFY(book.DeleteGroup(u"Ured"_s, false));
        QVERIFY(book.DeleteGroup(u"Obitelj"_s, true));
        QCOMPARE(names(book.contacts()), QStringList{"Ana"});
        QVERIFY(book.groups().isEmpty());

        // Imports go to a free name: the base, then the base with 1, 2, ...
        QString name;
        for (const char *expected : {"Uvoz", "Uvoz 1", "Uvoz 2"}) {
            QVERIFY(book.AddGroupUnderFreeName(u"Uvoz"_s, &name));
            QCOMPARE(name, QLatin1String(expected));
        }
        QVERIFY(book.AddGroup(u"Віталій"_s));
        QCOMPARE(book.AddGroup(u"Виталий"_s).message, u"Grupa pod tim imenom već postoji!"_s);
        QCOMPARE(book.RenameGroup(u"Uvoz"_s, u"Vitalij"_s).kind, StoreResult::Kind::Refused);
    }

    // One save for the batch, into a free group; names taken before, within the batch, or only
    // once cut to the file's field and code page, are skipped; nothing saved makes no group.
    void importContacts()
    {
        AddressBook book(m_path);
        QVERIFY(book.load());
        QVERIFY(book.AddGroup(u"Uvoz"_s));
        QVERIFY(book.AddContact(contact(u"Ana"_s)));
        const QString longName(capacity::DisplayNameAs, QLatin1Char('x'));
        QList<AListAddress> batch{contact(u"Ana"_s),          contact(u"Борис"_s), contact(u"Boris"_s),
                                  contact(u"Cvita"_s),        contact(u"Cvita"_s), contact(longName + u"1"_s),
                                  contact(longName + u"2"_s), contact(u" "_s)};
        ImportCounts counts;
        QString group;
        QVERIFY(book.ImportContacts(u"Uvoz"_s, batch, &counts, &group));
        QCOMPARE(group, u"Uvoz 1"_s);
        QCOMPARE(counts.selected, 8);
        QCOMPARE(counts.imported, 3);
        QCOMPARE(counts.fitted, 2);
        QCOMPARE(names(book.contacts()),
                 (QStringList{"Ana", "Boris@Uvoz 1", "Cvita@Uvoz 1", longName + "@Uvoz 1"}));
        QCOMPARE(groupNames(book.groups()), (QStringList{"Uvoz", "Uvoz 1"}));

        group.clear();
        QVERIFY(book.ImportContacts(u"Uvoz"_s, {contact(u"Cvita"_s)}, &counts, &group));
        QCOMPARE(counts.imported, 0);
        QVERIFY(group.isEmpty());
        QCOMPARE(book.groups().size(), 2);
    }

    // Texts are fitted as they enter, so after any changes the list is what a fresh load of the
    // file gives, without reading it back; the book's own saves are not taken for another's.
    void listHoldsWhatTheFileHolds()
    {
        AddressBook book(m_path);
        QVERIFY(book.load());
        AListAddress c = contact(QString(80, QLatin1Char('x')), u"091 111"_s);
        c.FirstName = u"山田 太郎"_s;
        c.Notes = QString(300, QLatin1Char('n'));
        QVERIFY(book.AddGroup(u"Ελένη Παπαδοπούλου Καραμανλή Κωνσταντινίδου"_s));
        QVERIFY(book.AddContact(c));
        QVERIFY(book.AddContact(contact(u"Ђорђе"_s)));
        QVERIFY(book.EditContact(u"Ђорђе"_s, contact(u"Віталій"_s, u"€ 5"_s)));
        QVERIFY(book.SetGroupSound(u"Ελένη Παπαδοπούλου Καραμανλή Κωνσταντινίδου"_s, u"Ζ.wav"_s));
        QVERIFY(
            book.MoveContactsToGroup({c.DisplayNameAs}, u"Ελένη Παπαδοπούλου Καραμανλή Κωνσταντινίδου"_s));
        QSignalSpy reloaded(&book, &AddressBook::contactsChanged);
        QVERIFY(book.reloadChanged());
        QCOMPARE(reloaded.size(), 0);
        AddressBook fresh(m_path, FileAccess::ReadOnly);
        QVERIFY(fresh.load());
        QCOMPARE(names(book.contacts()), names(fresh.contacts()));
        QVERIFY(book.contacts() == fresh.contacts());
        QVERIFY(book.groups() == fresh.groups());
        QCOMPARE(book.contacts()[0].Group, book.groups()[0].GroupName);
    }

    // Two writers on one folder (the monitor and tellwise-cli): neither saves over a change it
    // has not seen, and the other's change is read when the file is found changed.
    void writersSeeEachOthersChanges()
    {
        AddressBook monitor(m_path);
        AddressBook cli(m_path);
        QVERIFY(monitor.load() && cli.load());
        QSignalSpy changed(&monitor, &AddressBook::contactsChanged);
        QVERIFY(cli.AddContact(contact(u"From the CLI"_s)));
        QVERIFY(monitor.reloadChanged());
        QCOMPARE(changed.size(), 1);
        QCOMPARE(names(monitor.contacts()), QStringList{"From the CLI"});
        QVERIFY(monitor.reloadChanged());
        QCOMPARE(changed.size(), 1); // nothing new, nothing read

        // A change applied to a stale list first reads the file again.
        QVERIFY(cli.AddContact(contact(u"Second from the CLI"_s)));
        QCOMPARE(monitor.AddContact(contact(u"Second from the CLI"_s)).kind, StoreResult::Kind::Refused);
        QVERIFY(monitor.AddContact(contact(u"From the window"_s)));
        QVERIFY(cli.AddGroup(u"Posao"_s));
        QCOMPARE(names(cli.contacts()),
                 (QStringList{"From the CLI", "Second from the CLI", "From the window"}));
    }

    // ---- the call log ----

    void ringingCallIsCompletedInTimeOrder()
    {
        TCallList calls;
        calls.append(call(u"1"_s, 38002, 0.5));
        calls.append(call(u"2"_s, 38001, 0.5));
        QVERIFY(SaveCalls(m_path, calls));
        CallLog log(m_path);
        QVERIFY(log.load());

        ACalls ringing = call(u"?"_s, 38001, 0.75, true);
        log.BeginCall(ringing);
        QCOMPARE(log.calls().size(), 3); // shown, but not saved until identified
        QCOMPARE(QFileInfo(file("Calls.dat")).size(), 2 * 152);
        // A reload meanwhile (another program's save) keeps the ringing call.
        calls.append(call(u"3"_s, 38000, 0.5));
        QVERIFY(SaveCalls(m_path, calls));
        QVERIFY(log.reloadChanged());
        QVERIFY(log.CompleteCall(u"Ana"_s, u"091"_s, QString(), false));
        QStringList order;
        for (const ACalls &c : log.calls())
            order << c.CallerNumber;
        QCOMPARE(order, (QStringList{"1", "091", "2", "3"}));
        QCOMPARE(log.calls()[1].CallerName, u"Ana"_s);
        QCOMPARE(log.calls()[1].CalledNumber, u"01"_s); // empty text keeps its own

        log.BeginCall(ringing);
        QVERIFY(log.CompleteCall(u"Ana"_s, u"091"_s, QString(), true));
        QCOMPARE(log.calls().size(), 4);
        QVERIFY(log.flush());
        QCOMPARE(QFileInfo(file("Calls.dat")).size(), 4 * 152);
    }

    // A completed call does not wait for another writer's lock: it is in the list at once, as the
    // file will give it back, and saved behind that writer, whose change is kept, also when the
    // log goes right after the call.
    void completedCallIsSavedBehindAnotherWriter()
    {
        TCallList calls;
        calls.append(call(u"1"_s, 38002, 0.5));
        calls.append(call(u"2"_s, 38001, 0.5));
        QVERIFY(SaveCalls(m_path, calls));
        auto log = std::make_unique<CallLog>(m_path);
        QVERIFY(log->load());

        QSemaphore locked, proceed;
        std::atomic<bool> unlocked = false;
        bool theirsSaved = false;
        std::unique_ptr<QThread> other(QThread::create([&] {
            {
                const DataFolderLock lock(m_path);
                locked.release();
                proceed.tryAcquire(1, 3000);
                calls.removeAt(1);
                theirsSaved = bool(SaveCalls(m_path, calls));
            }
            unlocked = true;
        }));
        other->start();
        locked.acquire();
        log->BeginCall(call(u"?"_s, 38003, 0.25, true));
        // A name longer than its field, in letters the file cannot hold.
        ACalls ours{QString(80, QChar(0x416)), u"091"_s, u"01"_s, 38003, 0.25, true};
        QVERIFY(log->CompleteCall(ours.CallerName, ours.CallerNumber, QString(), false));
        QCoreApplication::processEvents(); // the save starts and waits for the lock
        const bool waited = unlocked;
        const QByteArray oursStored = EncodeFileRec(ours);
        QCOMPARE(log->calls()[0], TCallFileRec::decode(oursStored.constData()));
        proceed.release();
        other->wait();
        QVERIFY(!waited);
        QVERIFY(theirsSaved);

        log.reset();
        QCOMPARE(readFile(file("Calls.dat")), oursStored + EncodeFileRec(calls[0]));
        QCOMPARE(readFile(file("Copy of Calls.dat")), EncodeFileRec(calls[0]));
    }
};

QTEST_GUILESS_MAIN(TestAddressbook)
#include "tst_addressbook.moc"
