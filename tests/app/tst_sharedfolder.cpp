#include "app/MonitorProgram.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "ui/TfrmMain.h"

#include "TestSupport.h"

#include <QApplication>
#include <QProcess>
#include <QTest>

// The running monitor and tellwise-cli on one data folder: what the CLI adds shows in the main
// window, and the monitor's own changes never save over it.
class TestSharedFolder : public QObject
{
    Q_OBJECT

    static int cli(const QStringList &args)
    {
        return QProcess::execute(testsupport::toolPath(QStringLiteral("tellwise-cli")), args);
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
        QCOMPARE(
            cli({QStringLiteral("add-contact"), QStringLiteral("--display-name"), QStringLiteral("Ana")}), 0);
        MonitorProgram program;
        TfrmMain &main = *program.frmMain();
        QCOMPARE(rows(main), QStringList{"Ana"});

        // Shown within a second, without anything done in the window.
        QCOMPARE(cli({QStringLiteral("add-contact"), QStringLiteral("--display-name"),
                      QStringLiteral("Iz skripte")}),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(rows(main), (QStringList{"Ana", "Iz skripte"}), 1500);

        // A change in the window right after the CLI's, before the monitor looked: both stay.
        QCOMPARE(
            cli({QStringLiteral("add-contact"), QStringLiteral("--display-name"), QStringLiteral("Druga")}),
            0);
        main.selectContactRow(0);
        main.ToggleBlackList();
        AddressBook onDisk(DataDir(), FileAccess::ReadOnly);
        QVERIFY(onDisk.load());
        QCOMPARE(onDisk.contacts().size(), 3);
        QVERIFY(onDisk.contacts()[onDisk.indexOfContact(QStringLiteral("Ana"))].BlackList);
        QVERIFY(onDisk.ContactExists(QStringLiteral("Druga")));
        QCOMPARE(rows(main).size(), 3);
    }
};

QTEST_MAIN(TestSharedFolder)
#include "tst_sharedfolder.moc"
