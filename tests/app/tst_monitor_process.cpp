#include "settings/Settings.h"
#include "store/CallLog.h"
#include "store/FileRecords.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>

#include "TestProfile.h"
#include "TestSupport.h"

// The tellwise-monitor program as a process: one instance per user, a crashed one never in the
// way, and the end of the session saving the data (ended during a call: see the end-to-end test).
class TestMonitorProcess : public QObject
{
    Q_OBJECT

private:
    QString dataFile(const char *name) const { return testsupport::testDataDir() + QLatin1String(name); }

    bool start(QProcess &monitor)
    {
        monitor.setProcessChannelMode(QProcess::ForwardedChannels);
        monitor.start(testsupport::toolPath(QStringLiteral("tellwise-monitor")));
        return monitor.waitForStarted(5000);
    }

    // The groups file is created by the start-up load, after the lock is taken and the session
    // signals are watched.
    bool startAndWait(QProcess &monitor)
    {
        const QString groups = dataFile(kGroupsFileName);
        if (!start(monitor))
            return false;
        return QTest::qWaitFor([&] { return QFile::exists(groups) || monitor.state() != QProcess::Running; },
                               15000) &&
               monitor.state() == QProcess::Running;
    }

    // SIGTERM, as the end of the session sends it.
    static bool endsCleanly(QProcess &monitor)
    {
        monitor.terminate();
        return monitor.waitForFinished(10000) && monitor.exitStatus() == QProcess::NormalExit &&
               monitor.exitCode() == 0;
    }

private slots:
    void init()
    {
        QDir(testsupport::testDataDir()).removeRecursively();
        testsupport::testDataDir();
    }

    void secondStartEndsSilentlyAndACrashDoesNotBlock()
    {
        QProcess first, second, third;
        QVERIFY(startAndWait(first));
        QVERIFY(start(second) && second.waitForFinished(5000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);

        first.kill();
        QVERIFY(first.waitForFinished(5000));
        QFile::remove(dataFile(kGroupsFileName));
        QVERIFY(startAndWait(third));
    }

    void terminationBacksUpAndPrunes()
    {
        QVERIFY(testsupport::writeSettings({{Settings::KeepCalls, Settings::kKeepOnly},
                                            {Settings::KeepDays, 30},
                                            {Settings::BackupRecords, true}}));
        TCallList calls;
        for (int age : {0, 100}) {
            ACalls call;
            call.CallerName = QStringLiteral("Pozivatelj %1").arg(age);
            call.CallDate = TDateFromQDate(QDate::currentDate().addDays(-age));
            calls.append(std::move(call));
        }
        QVERIFY(SaveCalls(testsupport::testDataDir(), calls));
        const QByteArray before = testsupport::readFile(dataFile(kCallsFileName));

        QProcess monitor;
        QVERIFY(startAndWait(monitor));
        QVERIFY(endsCleanly(monitor));

        // The backup holds the log as it was; the log itself lost the call older than 30 days.
        QCOMPARE(testsupport::readFile(dataFile("Backup/Copy of Calls.dat")), before);
        QVERIFY(QFile::exists(dataFile("Backup/Copy of Groups.dat")));
        CallLog log(testsupport::testDataDir(), FileAccess::ReadOnly);
        QVERIFY(log.load());
        QCOMPARE(log.calls().size(), 1);
        QCOMPARE(log.calls()[0].CallerName, QStringLiteral("Pozivatelj 0"));
    }

    // The load's error box is open before the controller exists: nothing to back up, a clean end.
    void terminationDuringTheLoadErrorEndsCleanly()
    {
        QVERIFY(QDir().mkpath(dataFile(kCallsFileName))); // a folder cannot be loaded as the log
        QProcess monitor;
        QVERIFY(startAndWait(monitor));
        QTest::qWait(500);
        QVERIFY(endsCleanly(monitor));
    }
};

QTEST_MAIN(TestMonitorProcess)
#include "tst_monitor_process.moc"
