#include "app/MonitorProgram.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "ui/TfrmMain.h"

#include "TestSupport.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

// The running monitor and tellwise-cli on one data folder: what the CLI adds shows in the main
// window, and the monitor's own changes never save over it.
class TestSharedFolder : public QObject
{
    Q_OBJECT

    static int cli(const QStringList &args)
    {
        return QProcess::execute(testsupport::toolPath(u"tellwise-cli"_s), args);
    }

    static QStringList rows(const TfrmMain &main)
    {
        QStringList names;
        for (int i = 0; i < main.contactRowCount(); ++i)
            names << main.contactRowText(i);
        return names;
    }

private slots:
    void cliChangesReachTheRunningMonitor()
    {
        QCOMPARE(cli({u"add-contact"_s, u"--display-name"_s, u"Ana"_s}), 0);
        MonitorProgram program;
        TfrmMain &main = *program.frmMain();
        QCOMPARE(rows(main), QStringList{"Ana"});

        // Shown within a second, without anything done in the window.
        QCOMPARE(cli({u"add-contact"_s, u"--display-name"_s, u"Iz skripte"_s}), 0);
        QTRY_COMPARE_WITH_TIMEOUT(rows(main), (QStringList{"Ana", "Iz skripte"}), 1500);

        // A change in the window right after the CLI's, before the monitor looked: both stay.
        QCOMPARE(cli({u"add-contact"_s, u"--display-name"_s, u"Druga"_s}), 0);
        main.selectContactRow(0);
        main.ToggleBlackList();
        AddressBook onDisk(DataDir(), FileAccess::ReadOnly);
        QVERIFY(onDisk.load());
        QCOMPARE(onDisk.contacts().size(), 3);
        QVERIFY(onDisk.contacts()[onDisk.indexOfContact(u"Ana"_s)].BlackList);
        QVERIFY(onDisk.ContactExists(u"Druga"_s));
        QCOMPARE(rows(main).size(), 3);
    }
};

QTEST_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"
