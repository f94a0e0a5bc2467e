#include "settings/Settings.h"
#include "store/CallLog.h"
#include "store/FileRecords.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include <csignal>
#include <memory>

// The tellwise-monitor program as a process: one instance per user, a crashed one never in the
// way, and the end of the session saving the data.
class TestMonitorProcess : public QObject
{
    Q_OBJECT

private:
    QString dataFile(const char *name) const { return testsupport::testDataDir() + QLatin1String(name); }

    std::unique_ptr<QProcess> startMonitor()
    {
        auto monitor = std::make_unique<QProcess>();
        monitor->setProgram(testsupport::toolPath(QStringLiteral("tellwise-monitor")));
        monitor->setProcessChannelMode(QProcess::ForwardedChannels);
        monitor->start();
        if (!monitor->waitForStarted(5000))
            qFatal("cannot start tellwise-monitor");
        return monitor;
    }

    // The groups file is created by the start-up load, after the lock is taken and the session
    // signals are watched.
    bool waitUntilRunning(QProcess &monitor)
    {
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(dataFile(kGroupsFileName))) {
            if (monitor.state() != QProcess::Running || clock.elapsed() > 15000)
                return false;
            QTest::qWait(20);
        }
        return true;
    }

    void kill9(QProcess &monitor)
    {
        ::kill(pid_t(monitor.processId()), SIGKILL);
        QVERIFY(monitor.waitForFinished(5000));
    }

private slots:
    void init()
    {
        QDir(testsupport::testDataDir()).removeRecursively();
        testsupport::testDataDir();
    }

    void secondStartEndsSilentlyAndACrashDoesNotBlock()
    {
        auto first = startMonitor();
        QVERIFY(waitUntilRunning(*first));

        auto second = startMonitor();
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
        QCOMPARE(first->state(), QProcess::Running);

        kill9(*first);
        QFile::remove(dataFile(kGroupsFileName));
        auto third = startMonitor();
        QVERIFY(waitUntilRunning(*third));
        QTest::qWait(300);
        QCOMPARE(third->state(), QProcess::Running);
        kill9(*third);
    }

    void terminationBacksUpAndPrunes()
    {
        QVERIFY(testsupport::writeSettings({{Settings::KeepCalls, Settings::kKeepOnly},
                                            {Settings::KeepDays, 30},
                                            {Settings::BackupRecords, true}}));

        const QDateTime now = QDateTime::currentDateTime();
        TCallList calls;
        for (int age : {0, 100}) {
            ACalls call;
            call.CallerName = QStringLiteral("Pozivatelj %1").arg(age);
            call.CallerNumber = QStringLiteral("091000%1").arg(age);
            call.CalledNumber = QStringLiteral("01222333");
            call.CallDate = TDateFromQDate(now.addDays(-age).date());
            call.CallTime = TTimeFromQTime(now.time());
            calls.append(std::move(call));
        }
        QVERIFY(SaveCalls(testsupport::testDataDir(), calls));
        const QByteArray before = testsupport::readFile(dataFile(kCallsFileName));

        auto monitor = startMonitor();
        QVERIFY(waitUntilRunning(*monitor));
        ::kill(pid_t(monitor->processId()), SIGTERM);
        QVERIFY(monitor->waitForFinished(10000));
        QCOMPARE(monitor->exitStatus(), QProcess::NormalExit);

        // The backup holds the log as it was; the log itself lost the call older than 30 days.
        QCOMPARE(
            testsupport::readFile(testsupport::testDataDir() + QStringLiteral("Backup/Copy of Calls.dat")),
            before);
        QVERIFY(QFile::exists(testsupport::testDataDir() + QStringLiteral("Backup/Copy of Groups.dat")));
        CallLog log(testsupport::testDataDir(), FileAccess::ReadOnly);
        QVERIFY(log.load());
        QCOMPARE(log.calls().size(), 1);
        QCOMPARE(log.calls()[0].CallerName, QStringLiteral("Pozivatelj 0"));
    }

    // The load's error box is open before the controller exists: nothing to back up, a clean end.
    void terminationDuringTheLoadErrorEndsCleanly()
    {
        QVERIFY(QDir().mkpath(dataFile(kCallsFileName))); // a folder cannot be loaded as the log
        auto monitor = startMonitor();
        QVERIFY(waitUntilRunning(*monitor));
        QTest::qWait(500);
        ::kill(pid_t(monitor->processId()), SIGTERM);
        QVERIFY(monitor->waitForFinished(10000));
        QCOMPARE(monitor->exitStatus(), QProcess::NormalExit);
        QCOMPARE(monitor->exitCode(), 0);
    }

    // A pop-up on screen refuses an ordinary close while it slides; the session's end must not
    // wait for it.
    void terminationDuringACallEndsTheProgram()
    {
        testsupport::writeModemConfig();
        QVERIFY(testsupport::writeSettings(
            {{Settings::DeviceName, QStringLiteral("Modem emulator")}, {Settings::EnableSound, false}}));
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start({QStringLiteral("--ring-period"), QStringLiteral("300"), QStringLiteral("--rings"),
                           QStringLiteral("30")}));

        auto monitor = startMonitor();
        QVERIFY(waitUntilRunning(*monitor));
        QVERIFY(sim.waitForCommand(QStringLiteral("CID=1"), 15000)); // the line is open
        QCOMPARE(QProcess::execute(
                     testsupport::toolPath(QStringLiteral("tellwise-cli")),
                     {QStringLiteral("modem-call"), QStringLiteral("0915550101"), QStringLiteral("Iva Kos")}),
                 0);
        // The identified call is in the log on disk: the pop-up is up.
        CallLog log(testsupport::testDataDir(), FileAccess::ReadOnly);
        QTRY_VERIFY_WITH_TIMEOUT(log.load() && log.calls().size() == 1 &&
                                     log.calls()[0].CallerName == QLatin1String("Iva Kos"),
                                 10000);

        ::kill(pid_t(monitor->processId()), SIGTERM);
        QVERIFY(monitor->waitForFinished(5000));
        QCOMPARE(monitor->exitStatus(), QProcess::NormalExit);
    }

    // The device names a script may put into DeviceName: modem lines first, then the adapters.
    void devicesListsModemLinesThenAdapters()
    {
        testsupport::writeModemConfig();
        testsupport::ModemEmulator modemSim;
        QVERIFY(modemSim.start());
        testsupport::IsdnSimulatorProcess isdnSim;
        QVERIFY(isdnSim.start({QStringLiteral("--controllers"), QStringLiteral("2")}));

        QProcess cli;
        cli.start(testsupport::toolPath(QStringLiteral("tellwise-cli")), {QStringLiteral("devices")});
        QVERIFY(cli.waitForFinished(20000));
        QCOMPARE(cli.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()),
                 QStringLiteral("Modem emulator\tmodem\nISDN Adapter #1\tisdn\nISDN Adapter #2\tisdn\n"));
    }
};

QTEST_MAIN(TestMonitorProcess)
#include "tst_monitor_process.moc"
