// The simulator as a program, driven by tellwise-cli, with a monitor in this process listening
// through the real libcapi20 configured by $HOME/.capi20rc.
#include "SimProcess.h"
#include "TestSupport.h"
#include "capi/CpMoni.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

class TestIsdnSimCli : public QObject
{
    Q_OBJECT

private:
    testsupport::IsdnSimulatorProcess m_sim;
    QString m_socket;
    std::unique_ptr<TCapiMonitor> m_monitor;

    // Runs tellwise-cli with blank-separated arguments while this thread keeps serving the monitor.
    QString cli(const QString &args, int *exitCode)
    {
        QProcess p;
        p.start(testsupport::toolPath(QStringLiteral("tellwise-cli")), args.split(QLatin1Char(' ')));
        if (!p.waitForStarted() || !QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000))
            qFatal("tellwise-cli did not run");
        *exitCode = p.exitCode();
        return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_sim.start({QStringLiteral("--controllers"), QStringLiteral("2")}));
        m_socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/tellwise-isdn-sim.sock");
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(m_socket).constData(), &st), 0);
        QVERIFY(S_ISSOCK(st.st_mode));
        QCOMPARE(int(st.st_mode & 0777), 0600);

        m_monitor = std::make_unique<TCapiMonitor>();
        m_monitor->setRejectTimeOut(1);
        QSignalSpy states(m_monitor.get(), &TCapiMonitor::OnStateChange);
        m_monitor->setActive(true);
        QVERIFY2(m_monitor->Active(), qPrintable(m_monitor->ErrorString()));
        QTRY_COMPARE_WITH_TIMEOUT(states.count(), 2, 10000); // the controller confirmed the listen
    }

    void cleanupTestCase() { m_monitor.reset(); }

    void callIsAnsweredAfterTheRingTime()
    {
        int code = -1;
        const QString out = cli(
            QStringLiteral("isdn-call --calling 912345678 --called 1234567 --ton national --wait 10"), &code);
        QCOMPARE(code, 0);
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral("answered with reject 1 after 1\\.\\d s"))),
                 qPrintable(out));
        QVERIFY2(out.contains(QLatin1String("DISCONNECT_RESP call 0x0101")), qPrintable(out));

        // The caller hangs up from the command line (what the monitor then sees: the monitor test).
        cli(QStringLiteral("isdn-call --calling 4930123 --ton international --wait 0"), &code);
        QCOMPARE(code, 0);
        QVERIFY(
            cli(QStringLiteral("isdn-hangup"), &code).contains(QLatin1String("caller hung up call 0x0201")));
    }

    // The router (here the simulator) goes away under a listening monitor: the library then
    // writes to closed sockets, which must not end the program.
    void controllerGoingAwayIsSurvived()
    {
        QVERIFY(m_sim.stop());
        QVERIFY(!QFileInfo::exists(m_socket));
        QTest::qWait(300);
        m_monitor->setActive(true); // releases the old application, registers anew
        QVERIFY(!m_monitor->Active());
        QVERIFY(m_monitor->Error() != 0);
        m_monitor.reset();
    }
};

QTEST_GUILESS_MAIN(TestIsdnSimCli)
#include "tst_isdn_sim_cli.moc"
