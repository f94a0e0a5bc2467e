// The vCard contacts root as the exchange sees it: folders, cards, and other programs' files.

#include "TestSupport.h"

#include "exchange/VCardFolders.h"

#include <QDir>
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
