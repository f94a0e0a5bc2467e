// The modem line end to end: the monitor over the line service and the AT modem provider,
// against the modem emulator on a pseudo-terminal.

#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include "telephony/ModemConfig.h"
#include "telephony/TapiFunc.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QStringList g_events;
const QString kLine = u"Modem emulator"_s;

// Runs tellwise-cli with blank-separated arguments.
int runCli(const char *args)
{
    QProcess cli;
    cli.start(testsupport::toolPath(u"tellwise-cli"_s), QString::fromUtf8(args).split(QLatin1Char(' ')));
    if (!cli.waitForFinished(10000))
        return -1;
    return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
}

} // namespace

class TestModemLine : public QObject
{
    Q_OBJECT
private:
    bool openLine(const QStringList &simArgs = {}, int keepAliveMs = 0)
    {
        testsupport::writeModemConfig({.keepAliveMs = keepAliveMs, .commandTimeoutMs = 2000});
        if (!m_sim->start(QStringList{u"--ring-period"_s, u"200"_s, u"--rings"_s, u"3"_s} + simArgs))
            return false;
        StartTapiMonitor(kLine);
        // Ready once the modem accepted one of the caller-ID commands.
        const bool ready = TapiLineOpen && m_sim->waitForCommand(u"CID=1"_s, 5000);
        QTest::qWait(50);
        return ready;
    }
    testsupport::ModemEmulator *m_sim = nullptr;

private slots:
    void initTestCase()
    {
        OnTapiRing = [] { g_events.append(u"ring"_s); };
        OnTapiCallEnded = [] { g_events.append(u"ended"_s); };
        OnTapiLineFailed = [] { g_events.append(u"failed"_s); };
        OnTapiCallerIdentified = [](const QString &name, const QString &number, const QString &, bool) {
            g_events.append(
                u"caller %1|%2|%3|%4"_s.arg(name, number).arg(int(CallerBlocked)).arg(int(CallerOutOfArea)));
        };
    }

    void init()
    {
        g_events.clear();
        m_sim = new testsupport::ModemEmulator;
    }

    void cleanup()
    {
        StopTapiMonitor();
        delete m_sim;
        m_sim = nullptr;
        QTest::qWait(20);
    }

    // A terminal where nothing answers and a missing port are no lines; the emulator is.
    void listsAndFindsOnlyTheEmulator()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString silent = QString::fromLocal8Bit(::ptsname(master));
        QVERIFY(m_sim->start({u"--info"_s, u"Acme Voice 56K"_s}));
        testsupport::writeModemConfig(
            {.keepAliveMs = 0, .ports = {silent, u"/dev/ttyUSB-none"_s, telephony::modemsim::linkPath()}});
        QStringList list;
        QElapsedTimer clock;
        clock.start();
        ListTapiDevices(list);
        QVERIFY(clock.elapsed() >= 1000); // the silent port had its full probe time
        ::close(master);
        QCOMPARE(list, QStringList{kLine});
        testsupport::writeModemConfig({.keepAliveMs = 0}); // only the emulator's link from here on
        QCOMPARE(FindTapiDevice(kLine), 0);
        QCOMPARE(TapiProviderInfo, u"Acme Voice 56K"_s);
        const TCallerDisplayCaps caps = GetCallerDisplayCaps(0);
        QVERIFY(caps.name && caps.number && caps.blocked && caps.outOfArea);

        StartTapiMonitor(u"Modem on ttyUSB7"_s);
        QVERIFY(TapiLineFailed && !TapiLineOpen);
    }

    void initialisesFallsBackAndRestarts()
    {
        QVERIFY(openLine({u"--cid-command"_s, u"%CCID"_s}));
        QTRY_VERIFY(m_sim->commands().contains(u"AT%CCID=1"_s));
        const QStringList commands = m_sim->commands();
        const qsizetype reset = commands.lastIndexOf(u"ATZ"_s);
        QVERIFY(reset >= 0);
        QCOMPARE(commands.mid(reset, 5),
                 (QStringList{"ATZ", "ATE1 V1 Q0 S0=0", "AT+VCID=1", "AT#CID=1", "AT%CCID=1"}));
        // Stopping twice releases the port once: the line opens and works again.
        StopTapiMonitor();
        StopTapiMonitor();
        QVERIFY(!TapiLineOpen && !TapiLineFailed);
        StartTapiMonitor(kLine);
        QVERIFY(TapiLineOpen);
        QTRY_COMPARE(m_sim->commands().count(u"AT%CCID=1"_s), 2);
        QTest::qWait(100);
        m_sim->send("call 0912345678 Ana");
        QTRY_VERIFY(g_events.contains(u"caller Ana|0912345678|0|0"_s));
    }

    void callGivesRingThenCaller_data()
    {
        QTest::addColumn<QByteArray>("call");
        QTest::addColumn<QString>("caller");

        QTest::newRow("number and name after the first ring")
            << QByteArray("call 0912345678 Ana Horvat") << u"caller Ana Horvat|0912345678|0|0"_s;
        QTest::newRow("caller id before the ring")
            << QByteArray("call 0912345678 Ana Horvat --cid-first") << u"caller Ana Horvat|0912345678|0|0"_s;
        QTest::newRow("record without a name completes after settling")
            << QByteArray("call 0912345678") << u"caller |0912345678|0|0"_s;
    }

    void callGivesRingThenCaller()
    {
        QFETCH(QByteArray, call);
        QFETCH(QString, caller);
        QVERIFY(openLine());
        m_sim->send(call);
        QTRY_COMPARE_WITH_TIMEOUT(g_events.count(u"ended"_s), 1, 8000);
        QTest::qWait(100);
        QCOMPARE(g_events, (QStringList{u"ring"_s, caller, u"ended"_s}));
        QVERIFY(TapiLineOpen);
    }

    void unfriendlyModemStillGivesTheCaller_data()
    {
        QTest::addColumn<QStringList>("simArgs");
        QTest::newRow("echo and numeric answers") << QStringList{"--profile", "E1 V0"};
        QTest::newRow("quiet") << QStringList{"--profile", "Q1"};
        QTest::newRow("slow reset, names in UTF-8") << QStringList{"--reset-pause", "1500", "--utf8"};
    }

    void unfriendlyModemStillGivesTheCaller()
    {
        QFETCH(QStringList, simArgs);
        QVERIFY(openLine(simArgs));
        m_sim->send("call 0912345678 ČačićĐ");
        QTRY_VERIFY(g_events.contains(u"caller ČačićĐ|0912345678|0|0"_s));
    }

    void rejectHoldsTheCallThenHangsUpOnce_data()
    {
        QTest::addColumn<bool>("closeDuringHold");
        QTest::newRow("dropped after five seconds") << false;
        QTest::newRow("line closed during the hold") << true;
    }

    void rejectHoldsTheCallThenHangsUpOnce()
    {
        QFETCH(bool, closeDuringHold);
        QVERIFY(openLine());
        m_sim->send("call 0912345678 Ana --rings=40");
        QTRY_COMPARE(g_events.size(), 2);
        RejectTapiCall();
        QTRY_VERIFY(m_sim->timeOf(u"ATH1"_s) >= 0);
        QVERIFY(m_sim->timeOf(u"ATH0"_s) < 0);
        if (closeDuringHold) {
            // The answered call is hung up at once, and not a second time when the hold ends.
            StopTapiMonitor();
            QTRY_VERIFY_WITH_TIMEOUT(m_sim->timeOf(u"ATH0"_s) >= 0, 1000);
            QTest::qWait(5500);
            QCOMPARE(m_sim->commands().count(u"ATH0"_s), 1);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->timeOf(u"ATH0"_s) >= 0, 8000);
        const int held = m_sim->timeOf(u"ATH0"_s) - m_sim->timeOf(u"ATH1"_s);
        QVERIFY2(held >= 4900 && held < 6500, qPrintable(QString::number(held)));
        // The drop ends the call at once, although the caller was still ringing before the answer.
        QTRY_COMPARE_WITH_TIMEOUT(g_events.count(u"ended"_s), 1, 1000);
    }

    void cliDrivesTheEmulatorThroughItsSocket()
    {
        QVERIFY(openLine());
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(telephony::modemsim::socketPath()).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, mode_t(0600));
        QCOMPARE(runCli("modem-call 0912345678 Ana --cid-first"), 0);
        QTRY_VERIFY(g_events.contains(u"caller Ana|0912345678|0|0"_s));
        // One call at a time; the refusal is told by the exit code.
        QCOMPARE(runCli("modem-call 015550000"), 5);
        QCOMPARE(runCli("modem-call 1 --private --out-of-area"), 2);
        m_sim->kill();
        QCOMPARE(runCli("modem-hangup"), 4);
    }

    void lostModemFailsTheLine_data()
    {
        QTest::addColumn<bool>("killed");
        QTest::newRow("emulator killed mid-call") << true;
        QTest::newRow("modem falls silent") << false;
    }

    void lostModemFailsTheLine()
    {
        QFETCH(bool, killed);
        QVERIFY(openLine({}, 200));
        if (killed) {
            m_sim->send("call 0912345678 Ana --rings=40");
            QTRY_COMPARE(g_events.value(0), u"ring"_s);
            m_sim->kill();
        } else {
            m_sim->send("mute on");
        }
        QTRY_VERIFY_WITH_TIMEOUT(g_events.contains(u"failed"_s), 6000);
        QCOMPARE(g_events.count(u"failed"_s), 1);
        QVERIFY(!TapiLineOpen);
        QVERIFY(TapiLineFailed);
        // Closing the failed line clears the failure.
        StopTapiMonitor();
        QVERIFY(!TapiLineFailed);
    }
};

QTEST_GUILESS_MAIN(TestModemLine)
#include "tst_modemline.moc"
