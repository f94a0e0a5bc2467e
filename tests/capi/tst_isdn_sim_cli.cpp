// The simulator as a program, driven by tellwise-cli, with a monitor in this process listening
// through the real libcapi20 configured by $HOME/.capi20rc.
#include "SimProcess.h"
#include "TestSupport.h"
#include "capi/CpMoni.h"

#include <QDir>
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
    QStringList m_calls;

    // Runs tellwise-cli while this thread keeps serving the monitor.
    QString cli(const QStringList &args, int *exitCode)
    {
        QProcess p;
        p.start(testsupport::toolPath(QStringLiteral("tellwise-cli")), args);
        if (!p.waitForStarted())
            qFatal("tellwise-cli did not start");
        if (!QTest::qWaitFor([&] { return p.state() == QProcess::NotRunning; }, 30000))
            qFatal("tellwise-cli did not end");
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
        connect(m_monitor.get(), &TCapiMonitor::OnIncomingCall, this,
                [this](const QString &calling, const QString &called) {
                    m_calls << calling + QLatin1Char('>') + called;
                });
        QSignalSpy states(m_monitor.get(), &TCapiMonitor::OnStateChange);
        m_monitor->setActive(true);
        QVERIFY2(m_monitor->Active(), qPrintable(m_monitor->ErrorString()));
        QTRY_COMPARE_WITH_TIMEOUT(states.count(), 2, 10000); // the controller confirmed the listen
    }

    void cleanupTestCase() { m_monitor.reset(); }

    void callIsAnsweredAfterTheRingTime()
    {
        int code = -1;
        const QString out =
            cli({QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("912345678"),
                 QStringLiteral("--called"), QStringLiteral("1234567"), QStringLiteral("--ton"),
                 QStringLiteral("national"), QStringLiteral("--wait"), QStringLiteral("10")},
                &code);
        QCOMPARE(code, 0);
        QVERIFY2(out.contains(QLatin1String("call 0x0101 offered")), qPrintable(out));
        QVERIFY2(out.contains(QLatin1String("ALERT_REQ call 0x0101")), qPrintable(out));
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral("answered with reject 1 after 1\\.\\d s"))),
                 qPrintable(out));
        QVERIFY2(out.contains(QLatin1String("DISCONNECT_RESP call 0x0101")), qPrintable(out));
        QCOMPARE(m_calls, QStringList{QStringLiteral("0912345678>1234567")});
    }

    void callerHangsUpFromTheCommandLine()
    {
        int code = -1;
        QString out = cli({QStringLiteral("isdn-call"), QStringLiteral("--calling"),
                           QStringLiteral("4930123"), QStringLiteral("--ton"),
                           QStringLiteral("international"), QStringLiteral("--wait"), QStringLiteral("0")},
                          &code);
        QCOMPARE(code, 0);
        QSignalSpy disconnects(m_monitor.get(), &TCapiMonitor::OnDisconnectInfo);
        out = cli({QStringLiteral("isdn-hangup")}, &code);
        QCOMPARE(code, 0);
        QVERIFY2(out.contains(QLatin1String("caller hung up call 0x0201")), qPrintable(out));
        QTRY_COMPARE(disconnects.count(), 1);
        QCOMPARE(disconnects.first().at(0).value<uint16_t>(), uint16_t(0xFFFF));
        QCOMPARE(disconnects.first().at(1).value<uint16_t>(), uint16_t(0x3490));
        QCOMPARE(m_calls.last(), QStringLiteral("04930123>"));
    }

    void commandLineMistakes()
    {
        int code = -1;
        QString out = cli({QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("1"),
                           QStringLiteral("--controller"), QStringLiteral("3")},
                          &code);
        QCOMPARE(code, 1);
        QVERIFY2(out.contains(QLatin1String("no controller 3")), qPrintable(out));
        out = cli({QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("1"),
                   QStringLiteral("--ton"), QStringLiteral("local")},
                  &code);
        QCOMPARE(code, 2);
        out = cli({QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("1"),
                   QStringLiteral("--socket"), QDir::tempPath() + QStringLiteral("/no-such-socket")},
                  &code);
        QCOMPARE(code, 1);
        QVERIFY2(out.contains(QLatin1String("not running")), qPrintable(out));
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
        QVERIFY(m_monitor->ErrorString() != QLatin1String("OK"));
        m_monitor.reset();
    }
};

QTEST_GUILESS_MAIN(TestIsdnSimCli)
#include "tst_isdn_sim_cli.moc"
