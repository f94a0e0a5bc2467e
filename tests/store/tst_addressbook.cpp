#include "store/Addressbook.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "store/Records.h"
#include "store/StoreError.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The store's operations against real files in a fresh folder per test.
namespace {

using testsupport::readFile;
using testsupport::writeFile;

AListAddress contact(const QString &name, const QString &number = QString())
{
    AListAddress c;
    c.DisplayNameAs = name;
    c.FirstName = name.section(QLatin1Char(' '), 0, 0);
    c.Group = QStringLiteral("Bez grupe");
    c.PhoneLocation[0] = QStringLiteral("Mobitel");
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

QStringList names()
{
    QStringList list;
    for (const AListAddress &c : ContactList)
        list << c.DisplayNameAs;
    return list;
}

} // namespace

class TestAddressbook : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QList<QPair<QString, QString>> m_messages;

    QString file(const QString &name) const { return m_path + name; }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>(testsupport::testDataDir() + QStringLiteral("store-XXXXXX"));
        QVERIFY(m_dir->isValid());
        m_path = m_dir->path() + QLatin1Char('/');
        SetDataDir(m_path);
        m_messages.clear();
        SetStoreMessageHook([this](const QString &caption, const QString &text) {
            m_messages.append({caption, text});
        });
        ContactList.clear();
        GroupList.clear();
        CallList.clear();
    }

    void firstStartCreatesEmptyFiles()
    {
        LoadAddressbook();
        LoadGroups();
        LoadCalls();
        for (const char *name : {"Addressbook.dat", "Groups.dat", "Calls.dat"}) {
            QFileInfo info(file(QLatin1String(name)));
            QVERIFY2(info.exists(), name);
            QCOMPARE(info.size(), 0);
            QVERIFY(!QFileInfo::exists(file(QStringLiteral("Copy of ") + QLatin1String(name))));
        }
        QVERIFY(ContactList.isEmpty() && GroupList.isEmpty() && CallList.isEmpty());
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!AddressbookFileIsOpen() && !GroupsFileIsOpen() && !CallsFileIsOpen());
    }

    void safetyCopyHoldsPreviousVersion()
    {
        LoadAddressbook();
        ContactList.append(contact(QStringLiteral("Ana")));
        QVERIFY(SaveAddressbook());
        QCOMPARE(QFileInfo(file("Copy of Addressbook.dat")).size(), 0);
        const QByteArray first = readFile(file("Addressbook.dat"));
        QCOMPARE(first, EncodeFileRec(ContactList[0]));

        ContactList.append(contact(QStringLiteral("Branko")));
        QVERIFY(SaveAddressbook());
        QCOMPARE(readFile(file("Copy of Addressbook.dat")), first);
        QCOMPARE(QFileInfo(file("Addressbook.dat")).size(), 4600);

        // Only the two names of the files remain: no temporary file is left behind.
        QCOMPARE(QDir(m_path).entryList(QDir::Files),
                 (QStringList{"Addressbook.dat", "Copy of Addressbook.dat"}));
    }

    void saveKeepsFilePermissions()
    {
        writeFile(file("Addressbook.dat"), QByteArray());
        const auto privateMode = QFile::ReadOwner | QFile::WriteOwner;
        QVERIFY(QFile::setPermissions(file("Addressbook.dat"), privateMode));
        ContactList.append(contact(QStringLiteral("Ana")));
        QVERIFY(SaveAddressbook());
        QCOMPARE(QFile::permissions(file("Addressbook.dat")) & 0x7077, privateMode);
    }

    // Without a data file there is no previous version; the older safety copy stays.
    void missingDataFileKeepsOldSafetyCopy()
    {
        writeFile(file("Copy of Groups.dat"), groupBytes("Stara"));
        GroupList.append(AGroups{QStringLiteral("Nova"), QString()});
        QVERIFY(SaveGroups());
        QCOMPARE(readFile(file("Copy of Groups.dat")), groupBytes("Stara"));
        QCOMPARE(readFile(file("Groups.dat")), groupBytes("Nova"));
    }

    void saveAndLoadRoundTrip()
    {
        AListAddress full = contact(QStringLiteral("Đurđica Šimić"), QStringLiteral("+385 91 123 4567"));
        full.SoundMode = 2;
        full.BlackList = true;
        full.EMail[3] = QStringLiteral("djurdjica@example.hr");
        ContactList.append(full);
        const AGroups group{QStringLiteral("Posao"), QStringLiteral("/snd/posao.wav")};
        GroupList.append(group);
        const ACalls call{
            QStringLiteral("Ana"), QStringLiteral("091"), QStringLiteral("01"), 38000, 0.75, true};
        CallList.append(call);
        QVERIFY(SaveAddressbook() && SaveGroups() && SaveCalls());

        LoadAddressbook();
        LoadGroups();
        LoadCalls();
        QCOMPARE(ContactList.size(), 1);
        QCOMPARE(ContactList[0], full);
        QCOMPARE(GroupList[0], group);
        QCOMPARE(CallList[0], call);
        // Text on disk is Windows-1250.
        QCOMPARE(readFile(file("Addressbook.dat")).mid(78, 14), QByteArray("\x0D\xD0"
                                                                           "ur\xF0"
                                                                           "ica \x8A"
                                                                           "imi\xE6",
                                                                           14));
    }

    // The file holds exactly the remaining records (2 x 2300 bytes), no stale third record.
    void deletingTheMiddleContact()
    {
        for (const char *name : {"Ana", "Branko", "Cvita"})
            ContactList.append(contact(QLatin1String(name)));
        QVERIFY(SaveAddressbook());
        ContactList.removeAt(1);
        QVERIFY(SaveAddressbook());
        const QByteArray bytes = readFile(file("Addressbook.dat"));
        QCOMPARE(bytes.size(), 4600);
        QCOMPARE(bytes.mid(78, 4), QByteArray("\x03"
                                              "Ana"));
        QCOMPARE(bytes.mid(2300 + 78, 6), QByteArray("\x05"
                                                     "Cvita"));
        LoadAddressbook();
        QCOMPARE(names(), (QStringList{"Ana", "Cvita"}));
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
        QTest::newRow("only empty keys") << contactBytes("") + contactBytes("") << QStringList{};
    }
    void loadReadsWholeRecordsOnly()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, expected);
        writeFile(file("Addressbook.dat"), content);
        ContactList.append(contact(QStringLiteral("stale")));
        LoadAddressbook();
        QCOMPARE(names(), expected);
        // Dropped and partial records disappear at the next save.
        QVERIFY(SaveAddressbook());
        QCOMPARE(QFileInfo(file("Addressbook.dat")).size(), 2300 * expected.size());
    }

    // A reload refills the records it replaces; nothing of the old contents may survive in
    // them, and texts the program still holds elsewhere keep their values.
    void reloadReplacesEveryText()
    {
        QList<AListAddress> first;
        QList<AListAddress> second;
        for (int i = 0; i < 3; ++i) {
            AListAddress c =
                contact(QStringLiteral("Prvi kontakt s dugim imenom %1").arg(i), QStringLiteral("0911111"));
            c.Notes = QStringLiteral("Duga bilješka koja će nestati %1").arg(i);
            c.HomeCity = QStringLiteral("Split");
            first << c;
        }
        for (int i = 0; i < 4; ++i) {
            AListAddress c = contact(QStringLiteral("K%1").arg(i), QStringLiteral("0922222"));
            c.Notes = i == 0 ? QString() : QStringLiteral("Kraća %1").arg(i);
            c.CompanyName = QStringLiteral("Tvrtka");
            c.PhoneNumber[0] = i == 1 ? QString() : QStringLiteral("0922222");
            second << c;
        }
        auto bytesOf = [](const QList<AListAddress> &list) {
            QByteArray bytes;
            for (const AListAddress &c : list)
                bytes += EncodeFileRec(c);
            return bytes;
        };
        writeFile(file("Addressbook.dat"), bytesOf(first));
        LoadAddressbook();
        const QString heldNotes = ContactList[1].Notes;
        const AListAddress heldContact = ContactList[0];

        writeFile(file("Addressbook.dat"), bytesOf(second));
        LoadAddressbook();
        QCOMPARE(ContactList.size(), 4);
        for (int i = 0; i < 4; ++i)
            QCOMPARE(ContactList[i], second[i]);
        QCOMPARE(heldNotes, first[1].Notes);
        QCOMPARE(heldContact, first[0]);

        writeFile(file("Addressbook.dat"), bytesOf(first.mid(0, 1)));
        LoadAddressbook();
        QCOMPARE(ContactList.size(), 1);
        QCOMPARE(ContactList[0], first[0]);
    }

    // A reload rewrites the texts of the records it refills: equal ones stay as they are, others
    // are overwritten, shrunk or grown. A copy held elsewhere (the first record's) keeps the old
    // value; the second record's texts are held by the list alone and change in place.
    void reloadRewritesChangedTexts_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("unchanged") << QStringLiteral("Bilješka") << QStringLiteral("Bilješka");
        QTest::newRow("same length, last letter")
            << QStringLiteral("Napomena broj 1") << QStringLiteral("Napomena broj 2");
        QTest::newRow("same length, first letter")
            << QStringLiteral("Ana Horvat") << QStringLiteral("Ena Horvat");
        QTest::newRow("same length, one letter not ascii")
            << QStringLiteral("Kovacevic Ivan") << QStringLiteral("Kovacević Ivan");
        QTest::newRow("shrinks") << QStringLiteral("Duga bilješka o kontaktu") << QStringLiteral("Kratka");
        QTest::newRow("grows past its buffer") << QStringLiteral("a") << QString(200, QChar(u'ž'));
        QTest::newRow("becomes empty") << QStringLiteral("nešto") << QString();
        QTest::newRow("was empty") << QString() << QStringLiteral("Nova bilješka");
    }
    void reloadRewritesChangedTexts()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        auto record = [](const QString &name, const QString &text) {
            AListAddress c = contact(name, QStringLiteral("0911234567"));
            c.Notes = text;
            c.FirstName = text.left(25);
            c.EMail[3] = text.left(30);
            return c;
        };
        const AListAddress first = record(QStringLiteral("Ana"), before);
        const AListAddress second = record(QStringLiteral("Branko"), before);
        writeFile(file("Addressbook.dat"), EncodeFileRec(first) + EncodeFileRec(second));
        LoadAddressbook();
        QCOMPARE(ContactList[0], first);
        const AListAddress held = ContactList[0];

        const AListAddress firstAfter = record(QStringLiteral("Ana"), after);
        const AListAddress secondAfter = record(QStringLiteral("Branko"), after);
        writeFile(file("Addressbook.dat"), EncodeFileRec(firstAfter) + EncodeFileRec(secondAfter));
        LoadAddressbook();
        QCOMPARE(ContactList.size(), 2);
        QCOMPARE(ContactList[0], firstAfter);
        QCOMPARE(ContactList[1], secondAfter);
        QCOMPARE(ContactList[1].Notes.isEmpty(), after.isEmpty());
        QCOMPARE(held, first);
    }

    // Saves write and loads read in chunks much larger than a record, which records straddle;
    // every record must still come out whole, into lists holding more, fewer or no records.
    void manyRecordsSurviveSaveAndLoad()
    {
        QList<AListAddress> contacts;
        for (int i = 0; i < 700; ++i) {
            AListAddress c = contact(QStringLiteral("Osoba %1").arg(i), QStringLiteral("091%1").arg(i));
            c.Notes = QString(i % 200, QChar(u'ž')) + QString::number(i);
            c.SoundMode = i % 3;
            contacts << c;
        }
        QList<AGroups> groups;
        for (int i = 0; i < 2000; ++i)
            groups << AGroups{QStringLiteral("Grupa %1").arg(i), QStringLiteral("/zvuk/%1.wav").arg(i)};
        QList<ACalls> calls;
        for (int i = 0; i < 4000; ++i)
            calls << ACalls{
                QStringLiteral("Pozivatelj %1").arg(i), QString::number(i), {}, 40000.0 + i, 0.5, i % 2 == 0};
        for (const AListAddress &c : contacts)
            ContactList.append(c);
        for (const AGroups &g : groups)
            GroupList.append(g);
        for (const ACalls &c : calls)
            CallList.append(c);
        QVERIFY(SaveAddressbook() && SaveGroups() && SaveCalls());

        auto bytesOf = [](const auto &records) {
            QByteArray bytes;
            for (const auto &r : records)
                bytes += EncodeFileRec(r);
            return bytes;
        };
        QVERIFY(readFile(file("Addressbook.dat")) == bytesOf(contacts));
        QVERIFY(readFile(file("Groups.dat")) == bytesOf(groups));
        QVERIFY(readFile(file("Calls.dat")) == bytesOf(calls));

        auto check = [&] {
            QCOMPARE(ContactList.size(), contacts.size());
            for (int i = 0; i < contacts.size(); ++i)
                QCOMPARE(ContactList[i], contacts[i]);
            QCOMPARE(GroupList.size(), groups.size());
            for (int i = 0; i < groups.size(); ++i)
                QCOMPARE(GroupList[i], groups[i]);
            QCOMPARE(CallList.size(), calls.size());
            for (int i = 0; i < calls.size(); ++i)
                QCOMPARE(CallList[i], calls[i]);
        };
        auto loadAll = [] {
            LoadAddressbook();
            LoadGroups();
            LoadCalls();
        };
        loadAll(); // into the same records
        check();
        for (int i = 0; i < 1000; ++i) {
            AListAddress c = contact(QString(60, QChar(u'd')), QString(30, QChar(u'9')));
            c.HomeCity = QStringLiteral("Zagreb");
            ContactList.insert(0, c);
            GroupList.insert(0, AGroups{QStringLiteral("x"), QString(255, QChar(u's'))});
        }
        loadAll(); // into more records, with other texts
        check();
        while (ContactList.size() > 5)
            ContactList.removeAt(0);
        GroupList.clear();
        CallList.clear();
        loadAll(); // into fewer and into none
        check();
    }

    // A reload of a large file into a list that holds its records decodes the two halves of the
    // file at once. The result must be the file's records in file order, whatever lies at the
    // seam: keyless records, a partial record at the end, texts that changed on either side.
    void largeReloadKeepsFileOrder_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("keyless");
        QTest::addColumn<bool>("partialTail");
        QTest::newRow("even") << 600 << QList<int>{} << false;
        QTest::newRow("odd, partial tail") << 601 << QList<int>{} << true;
        QTest::newRow("keyless at the seam") << 600 << QList<int>{0, 299, 300, 599} << false;
        QTest::newRow("far half keyless") << 500 << [] {
            QList<int> far;
            for (int i = 250; i < 500; ++i)
                far << i;
            return far;
        }() << true;
    }
    void largeReloadKeepsFileOrder()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, keyless);
        QFETCH(bool, partialTail);
        auto record = [](int i, const QString &tag) {
            AListAddress c = contact(QStringLiteral("Osoba %1").arg(i), QStringLiteral("09%1").arg(i));
            c.Notes = tag + QString(i % 90, QChar(u'č'));
            c.EMail[i % 4] = QStringLiteral("o%1@example.hr").arg(i);
            return c;
        };
        // The list first holds other texts in as many records.
        for (int i = 0; i < count; ++i)
            ContactList.append(record(i, QStringLiteral("staro ")));
        QByteArray bytes;
        QList<AListAddress> expected;
        for (int i = 0; i < count; ++i) {
            AListAddress c = record(i, i % 3 == 0 ? QStringLiteral("staro ") : QStringLiteral("novo "));
            if (keyless.contains(i))
                c.DisplayNameAs.clear();
            else
                expected << c;
            bytes += EncodeFileRec(c);
        }
        if (partialTail)
            bytes += EncodeFileRec(record(count, QString())).left(1000);
        QVERIFY(bytes.size() >= 1024 * 1024);
        writeFile(file("Addressbook.dat"), bytes);

        LoadAddressbook();
        QCOMPARE(ContactList.size(), expected.size());
        for (int i = 0; i < expected.size(); ++i)
            QCOMPARE(ContactList[i], expected[i]);
        QVERIFY(m_messages.isEmpty());
        QVERIFY(!AddressbookFileIsOpen());
    }

    // The same for the call log, whose records are small: 8000 calls make a file large enough.
    void largeCallLogReload()
    {
        QList<ACalls> calls;
        for (int i = 0; i < 8000; ++i)
            calls << ACalls{QStringLiteral("Pozivatelj %1").arg(i),
                            QString::number(i),
                            {},
                            40000.0 + i,
                            0.25,
                            i % 2 == 0};
        for (const ACalls &c : calls)
            CallList.append(c);
        QVERIFY(SaveCalls());
        QVERIFY(QFileInfo(file("Calls.dat")).size() >= 1024 * 1024);
        for (ACalls &c : calls)
            c.IsNew = !c.IsNew;
        calls[7999].CallerName = QStringLiteral("Zadnji");
        QByteArray bytes;
        for (const ACalls &c : calls)
            bytes += EncodeFileRec(c);
        writeFile(file("Calls.dat"), bytes);
        LoadCalls();
        QCOMPARE(CallList.size(), calls.size());
        for (int i = 0; i < calls.size(); ++i)
            QCOMPARE(CallList[i], calls[i]);
    }

    // A process forked from one that has reloaded large files must still load them: the second
    // thread does not exist in the child, and waiting for it would hang the child for good.
    void largeReloadInForkedChild()
    {
        for (int i = 0; i < 500; ++i)
            ContactList.append(contact(QStringLiteral("Osoba %1").arg(i), QStringLiteral("091%1").arg(i)));
        QVERIFY(SaveAddressbook());
        LoadAddressbook();
        QCOMPARE(ContactList.size(), 500);

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            ContactList[499].Notes = QStringLiteral("promijenjeno");
            LoadAddressbook();
            ::_exit(ContactList.size() == 500 && ContactList[499].Notes.isEmpty() ? 0 : 1);
        }
        int status = 0;
        pid_t done = 0;
        for (int waited = 0; waited < 2000 && done == 0; ++waited) {
            done = ::waitpid(child, &status, WNOHANG);
            if (done == 0)
                QTest::qSleep(10);
        }
        if (done == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            QFAIL("the forked child hangs in its load");
        }
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void groupsWithEmptyNameDropped()
    {
        writeFile(file("Groups.dat"), groupBytes("A") + groupBytes("") + groupBytes("a"));
        LoadGroups();
        QCOMPARE(GroupList.size(), 2);
        QCOMPARE(GroupList[0].GroupName, QStringLiteral("A"));
        QCOMPARE(GroupList[1].GroupName, QStringLiteral("a"));
    }

    // Calls have no key and keep their file order, placeholders and empty records included.
    void callsKeepFileOrder()
    {
        const ACalls older{QStringLiteral("Ana"), QStringLiteral("091"), {}, 38000, 0.25, false};
        const ACalls newer{QStringLiteral("Bruno"), QStringLiteral("092"), {}, 38001, 0.5, true};
        writeFile(file("Calls.dat"), EncodeFileRec(older) + EncodeFileRec(ACalls{}) + EncodeFileRec(newer));
        LoadCalls();
        QCOMPARE(CallList.size(), 3);
        QCOMPARE(CallList[0], older);
        QCOMPARE(CallList[1], ACalls{});
        QCOMPARE(CallList[2], newer);
    }

    void existsComparesExactly_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("contact");
        QTest::addColumn<bool>("group");
        QTest::newRow("same") << QStringLiteral("Ana Horvat") << true << false;
        QTest::newRow("other case") << QStringLiteral("ana horvat") << false << false;
        QTest::newRow("prefix") << QStringLiteral("Ana") << false << false;
        QTest::newRow("group") << QStringLiteral("Posao") << false << true;
        QTest::newRow("group other case") << QStringLiteral("posao") << false << false;
    }
    void existsComparesExactly()
    {
        QFETCH(QString, name);
        QFETCH(bool, contact);
        QFETCH(bool, group);
        ContactList.append(::contact(QStringLiteral("Ana Horvat")));
        GroupList.append(AGroups{QStringLiteral("Posao"), QString()});
        QCOMPARE(ContactExists(name), contact);
        QCOMPARE(GroupExists(name), group);
    }

    // A save must tell derived data (the caller look-up) that records may have changed in place.
    void saveMarksListChanged()
    {
        ContactList.append(contact(QStringLiteral("Ana")));
        const auto before = ContactList.revision();
        ContactList[0].PhoneNumber[0] = QStringLiteral("099");
        QVERIFY(SaveAddressbook());
        QVERIFY(ContactList.revision() != before);
    }

    void openFlags()
    {
        OpenCallsFile();
        QVERIFY(CallsFileIsOpen());
        QVERIFY(QFileInfo::exists(file("Calls.dat")));
        CloseCallsFile();
        QVERIFY(!CallsFileIsOpen());
        CloseCallsFile(); // closing twice is harmless

        // A load through an explicitly opened handle reads it and closes it.
        writeFile(file("Calls.dat"), EncodeFileRec(ACalls{QStringLiteral("x"), {}, {}, 1, 0, false}));
        OpenCallsFile();
        LoadCalls();
        QCOMPARE(CallList.size(), 1);
        QVERIFY(!CallsFileIsOpen());
        QVERIFY(m_messages.isEmpty());
    }

    // Tests run as root, for whom file modes do not stop writes; a data folder below a regular
    // file fails for everyone (ENOTDIR), like a folder the user may not write.
    void unusableFolder()
    {
        writeFile(m_path + QStringLiteral("plainfile"), "x");
        SetDataDir(m_path + QStringLiteral("plainfile/data"));
        ContactList.append(contact(QStringLiteral("stale")));
        LoadAddressbook();
        LoadGroups();
        LoadCalls();
        QCOMPARE(m_messages.size(), 3);
        for (const auto &m : std::as_const(m_messages)) {
            QCOMPARE(m.first, QStringLiteral("Greška"));
            QCOMPARE(m.second, QStringLiteral("Dogodila se greška prilikom otvaranja datoteke!"));
        }
        QVERIFY(ContactList.isEmpty() && GroupList.isEmpty() && CallList.isEmpty());
        QVERIFY(!AddressbookFileIsOpen() && !GroupsFileIsOpen() && !CallsFileIsOpen());

        // A failed save reports the same way and leaves the list as it was.
        ContactList.append(contact(QStringLiteral("Ana")));
        QVERIFY(!SaveAddressbook());
        QCOMPARE(m_messages.size(), 4);
        QCOMPARE(names(), QStringList{"Ana"});
    }

    // A write that fails half way (here: the file size limit) throws, and the data file and the
    // safety copy stay as they were, with no temporary file left.
    void failedWriteKeepsOldFile()
    {
        const QByteArray old = contactBytes("Ana");
        writeFile(file("Addressbook.dat"), old);
        writeFile(file("Copy of Addressbook.dat"), contactBytes("Older"));
        for (int i = 0; i < 10; ++i)
            ContactList.append(contact(QStringLiteral("C%1").arg(i)));

        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 5000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        bool thrown = false;
        try {
            SaveAddressbook();
        } catch (const StoreError &e) {
            thrown = true;
            QVERIFY(!e.message().isEmpty());
        }
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(thrown);
        QCOMPARE(readFile(file("Addressbook.dat")), old);
        QCOMPARE(readFile(file("Copy of Addressbook.dat")), contactBytes("Older"));
        QCOMPARE(ContactList.size(), 10);
        QCOMPARE(QDir(m_path).entryList(QDir::Files).size(), 2);
    }

    void backup_data()
    {
        QTest::addColumn<bool>("enabled");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void backup()
    {
        QFETCH(bool, enabled);
        const QByteArray contacts = contactBytes("Ana") + QByteArray(7, '\x81'); // odd tail kept as is
        const QByteArray groups = groupBytes("Posao");
        writeFile(file("Addressbook.dat"), contacts);
        writeFile(file("Groups.dat"), groups);
        // Calls.dat is missing: nothing to copy for it.
        BackupDataFiles(enabled);
        QCOMPARE(QFileInfo(file("Backup")).isDir(), enabled);
        if (!enabled)
            return;
        QCOMPARE(readFile(file("Backup/Copy of Addressbook.dat")), contacts);
        QCOMPARE(readFile(file("Backup/Copy of Groups.dat")), groups);
        QVERIFY(!QFileInfo::exists(file("Backup/Copy of Calls.dat")));

        // A second backup overwrites the first.
        writeFile(file("Groups.dat"), groupBytes("Druga"));
        BackupDataFiles(true);
        QCOMPARE(readFile(file("Backup/Copy of Groups.dat")), groupBytes("Druga"));
        QCOMPARE(QDir(file("Backup")).entryList(QDir::Files).size(), 2);
    }

    void backupFolderCannotBeCreated()
    {
        writeFile(file("Addressbook.dat"), contactBytes("Ana"));
        writeFile(file("Backup"), "a file where the folder should be");
        BackupDataFiles(true); // ends silently
        QCOMPARE(readFile(file("Backup")), QByteArray("a file where the folder should be"));
        QVERIFY(m_messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAddressbook)
#include "tst_addressbook.moc"
