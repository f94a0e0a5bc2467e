// The vCard contacts root as the exchange sees it: folders, cards, and other programs' files.

#include "TestSupport.h"

#include "exchange/VCardFolders.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestVCardFolders : public QObject
{
    Q_OBJECT

    QString m_root;

private slots:
    void init()
    {
        m_root = testsupport::testDataDir() + u"contacts"_s;
        QDir(m_root).removeRecursively();
    }

    // "default" first, the others in name order; cards that are not contacts skipped; a save
    // adds a file of its own and leaves the others alone; move, add and remove.
    void foldersAndCards()
    {
        for (const char *book : {"work", "default", "b"})
            QVERIFY(QDir().mkpath(m_root + u'/' + QLatin1String(book)));
        const QByteArray theirs = "BEGIN:VCARD\nVERSION:3.0\nFN:Ivo\nTEL;TYPE=cell:091\nPHOTO:x\nEND:VCARD\n";
        testsupport::writeFile(m_root + u"/default/ivo.vcf"_s, theirs);
        testsupport::writeFile(m_root + u"/default/group.vcf"_s,
                               "BEGIN:VCARD\nKIND:group\nFN:G\nEND:VCARD\n");
        testsupport::writeFile(m_root + u"/default/junk.vcf"_s, "\xff\xfe");
        testsupport::writeFile(m_root + u"/default/notes.txt"_s, "BEGIN:VCARD\nFN:T\nEND:VCARD\n");
        QCOMPARE(TVCardFolders::rootPath({}), qEnvironmentVariable("XDG_DATA_HOME") + u"/contacts"_s);
        TVCardFolders folders;
        QVERIFY(!folders.logon(m_root + u"/missing"_s));
        QVERIFY(folders.logon(m_root));
        QCOMPARE(folders.folderNames(), (QStringList{"default", "b", "work"}));
        QCOMPARE(folders.items(0).size(), 1);

        const AListAddress ana{.FirstName = u"Ana"_s, .DisplayNameAs = u"Ana"_s, .Notes = u"n"_s};
        QString file;
        QVERIFY(folders.save(0, ana, &file));
        QCOMPARE(QDir(m_root + u"/default"_s).entryList(QDir::Files | QDir::Hidden).size(), 5);
        QCOMPARE(testsupport::readFile(m_root + u"/default/ivo.vcf"_s), theirs);
        QVERIFY(folders.move(0, file, 2));
        QVERIFY(!folders.move(0, file, 2));
        QCOMPARE(folders.items(2).value(0).Contact, ana);
        QCOMPARE(folders.items(2).value(0).Uid + u".vcf"_s, file);

        QVERIFY(!folders.addFolder(u"b"_s));
        QVERIFY(!folders.addFolder(u"../x"_s));
        QVERIFY(folders.addFolder(u"a"_s));
        QVERIFY(!folders.removeFolder(0));
        QVERIFY(folders.removeFolder(3));
        QCOMPARE(folders.folderNames(), (QStringList{"default", "a", "b"}));
        QVERIFY(!QFileInfo::exists(m_root + u"/work"_s));
        QVERIFY(QFileInfo::exists(qEnvironmentVariable("XDG_DATA_HOME") + u"/Trash/files/work/"_s + file));
    }

    // Deleting a folder never reaches what is not a card: a link to elsewhere and a folder holding
    // other files are refused, the message naming what is there.
    void removeRefused()
    {
        const QString elsewhere = testsupport::testDataDir() + u"photos"_s;
        QVERIFY(QDir().mkpath(elsewhere) && QDir().mkpath(m_root + u"/b/sub"_s) &&
                QDir().mkpath(m_root + u"/a"_s));
        testsupport::writeFile(elsewhere + u"/a.jpg"_s, "x");
        testsupport::writeFile(m_root + u"/b/notes.txt"_s, "x");
        QVERIFY(QFile::link(elsewhere, m_root + u"/z"_s));
        TVCardFolders folders;
        QVERIFY(folders.logon(m_root));
        QString error;
        QVERIFY(!folders.removeFolder(2, &error));
        QVERIFY2(error.contains(elsewhere), qPrintable(error));
        QVERIFY(!folders.removeFolder(1, &error));
        QVERIFY2(error.contains(u"(notes.txt, sub/)"_s), qPrintable(error));
        QVERIFY(QFileInfo::exists(elsewhere + u"/a.jpg"_s) && QFileInfo::exists(m_root + u"/b/notes.txt"_s));
    }

    // A root that holds cards itself (a vdirsyncer or khard book) is the one address book.
    void rootIsOneBook()
    {
        QVERIFY(QDir().mkpath(m_root + u"/sub"_s));
        testsupport::writeFile(m_root + u"/ivo.vcf"_s, "BEGIN:VCARD\nFN:Ivo\nEND:VCARD\n");
        TVCardFolders folders;
        QVERIFY(folders.logon(m_root));
        QCOMPARE(folders.folderNames(), QStringList{u"contacts"_s});
        QVERIFY(folders.isOneBook() && !folders.addFolder(u"a"_s));
        QString file;
        QVERIFY(folders.save(0, AListAddress{.DisplayNameAs = u"X"_s}, &file));
        QVERIFY(QFileInfo::exists(m_root + u'/' + file));
        QCOMPARE(folders.items(0).size(), 2);
    }

    // An empty root gets "default" at the first save, and it stays the default.
    void emptyRoot()
    {
        QVERIFY(QDir().mkpath(m_root));
        TVCardFolders folders;
        QVERIFY(folders.logon(m_root));
        QVERIFY(folders.addFolder(u"a"_s));
        QVERIFY(folders.save(0, AListAddress{.DisplayNameAs = u"X"_s}));
        QCOMPARE(folders.folderNames(), (QStringList{"default", "a"}));
        QCOMPARE(folders.items(0).size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestVCardFolders)
#include "tst_vcardfolders.moc"
