// The modem line end to end: the monitor over the line service and the AT modem provider,
// against the modem emulator on a pseudo-terminal.

#include "TestSupport.h"

#include "telephony/ModemConfig.h"
#include "telephony/TapiFunc.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTime>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QStringList g_events;

// The emulator as a child process: control lines to its standard input, and the commands it
// received read back from its standard output.
class ModemSimProcess
{
public:
    ~ModemSimProcess() { kill(); }

    bool start(const QStringList &extraArgs)
    {
        m_process.setProgram(testsupport::toolPath(QStringLiteral("tellwise-modem-sim")));
        m_process.setArguments(QStringList{QStringLiteral("--ring-period"), QStringLiteral("200"),
                                           QStringLiteral("--rings"), QStringLiteral("3")} +
                               extraArgs);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000))
            return false;
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(5000))
                return false;
        }
        m_ptyPath = QString::fromUtf8(m_process.readLine()).trimmed();
        return m_ptyPath.startsWith(QLatin1String("/dev/"));
    }

    void send(const QByteArray &line) { m_process.write(line + '\n'); }

    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

    // Commands received so far, without time stamps.
    QStringList commands()
    {
        readAvailable();
        QStringList list;
        for (const auto &c : std::as_const(m_commands))
            list.append(c.second);
        return list;
    }

    // Milliseconds of the day at which the emulator received `command` (the last time), or -1.
    int timeOf(const QString &command)
    {
        readAvailable();
        for (auto it = m_commands.crbegin(); it != m_commands.crend(); ++it) {
            if (it->second == command)
                return it->first;
        }
        return -1;
    }

private:
    void readAvailable()
    {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            const QTime t = QTime::fromString(line.left(12), QStringLiteral("hh:mm:ss.zzz"));
            if (t.isValid())
                m_commands.append({t.msecsSinceStartOfDay(), line.mid(13)});
        }
    }

    QProcess m_process;
    QString m_ptyPath;
    QList<QPair<int, QString>> m_commands;
};

void writeConfig(int keepAliveMs, const QStringList &ports = {})
{
    const QString path = telephony::ModemConfig::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Modems"));
    // No ports and no scanning: the emulator's link in the runtime folder is found by itself.
    s.setValue(QStringLiteral("Scan"), false);
    s.setValue(QStringLiteral("RingTimeoutMs"), 1500);
    s.setValue(QStringLiteral("CallerIdSettleMs"), 250);
    s.setValue(QStringLiteral("CommandTimeoutMs"), 2000);
    s.setValue(QStringLiteral("ProbeTimeoutMs"), 1000);
    s.setValue(QStringLiteral("KeepAliveMs"), keepAliveMs);
    if (!ports.isEmpty())
        s.setValue(QStringLiteral("Ports"), ports);
}

const QString kLine = QStringLiteral("Modem emulator");

} // namespace

class TestModemLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void listsTheEmulatorWithItsInfo();
    void initialisesAndTurnsCallerIdOn();
    void fallsBackToOtherCallerIdCommands();
    void callGivesRingThenCaller_data();
    void callGivesRingThenCaller();
    void unfriendlyModemStillGivesTheCaller_data();
    void unfriendlyModemStillGivesTheCaller();
    void rejectAnswersThenDropsAfterFiveSeconds();
    void cliDrivesTheEmulatorThroughItsSocket();
    void stopDuringRejectHangsUp();
    void unknownLineFailsTheStart();
    void silentPortIsNoLine();
    void stopTwiceReleasesThePort();
    void survivesNoise();
    void killedEmulatorFailsTheLine();
    void silentModemFailsTheLine();

private:
    bool openLine(const QStringList &simArgs = {}, int keepAliveMs = 0);
    ModemSimProcess *m_sim = nullptr;
};

void TestModemLine::initTestCase()
{
    OnTapiRing = [] { g_events.append(QStringLiteral("ring")); };
    OnTapiCallEnded = [] { g_events.append(QStringLiteral("ended")); };
    OnTapiLineFailed = [] { g_events.append(QStringLiteral("failed")); };
    OnTapiCallerIdentified = [](const QString &name, const QString &number, const QString &, bool) {
        g_events.append(QStringLiteral("caller %1|%2|%3|%4")
                            .arg(name, number)
                            .arg(int(CallerBlocked))
                            .arg(int(CallerOutOfArea)));
    };
}

void TestModemLine::init()
{
    g_events.clear();
    m_sim = new ModemSimProcess;
}

void TestModemLine::cleanup()
{
    StopTapiMonitor();
    delete m_sim;
    m_sim = nullptr;
    QTest::qWait(20);
}

bool TestModemLine::openLine(const QStringList &simArgs, int keepAliveMs)
{
    writeConfig(keepAliveMs);
    if (!m_sim->start(simArgs))
        return false;
    StartTapiMonitor(kLine);
    if (!TapiLineOpen)
        return false;
    // Ready once the modem accepted one of the caller-ID commands.
    const bool ready = QTest::qWaitFor(
        [this] { return m_sim->commands().join(QLatin1Char(' ')).contains(QLatin1String("CID=1")); }, 5000);
    QTest::qWait(50);
    return ready;
}

void TestModemLine::listsTheEmulatorWithItsInfo()
{
    writeConfig(0);
    QVERIFY(m_sim->start({QStringLiteral("--info"), QStringLiteral("Acme Voice 56K")}));
    QStringList list;
    ListTapiDevices(list);
    QCOMPARE(list, QStringList{kLine});
    QCOMPARE(FindTapiDevice(kLine), 0);
    QCOMPARE(TapiProviderInfo, QStringLiteral("Acme Voice 56K"));
    const TCallerDisplayCaps caps = GetCallerDisplayCaps(0);
    QVERIFY(caps.name && caps.number && caps.blocked && caps.outOfArea);
}

void TestModemLine::initialisesAndTurnsCallerIdOn()
{
    QVERIFY(openLine());
    const QStringList commands = m_sim->commands();
    const qsizetype reset = commands.lastIndexOf(QStringLiteral("ATZ"));
    QVERIFY(reset >= 0);
    QCOMPARE(commands.mid(reset, 3), (QStringList{QStringLiteral("ATZ"), QStringLiteral("ATE1 V1 Q0 S0=0"),
                                                  QStringLiteral("AT+VCID=1")}));
}

void TestModemLine::fallsBackToOtherCallerIdCommands()
{
    QVERIFY(openLine({QStringLiteral("--cid-command"), QStringLiteral("%CCID")}));
    QTRY_VERIFY(m_sim->commands().contains(QStringLiteral("AT%CCID=1")));
    const QStringList commands = m_sim->commands();
    QVERIFY(commands.indexOf(QStringLiteral("AT+VCID=1")) < commands.indexOf(QStringLiteral("AT#CID=1")));
    QVERIFY(commands.indexOf(QStringLiteral("AT#CID=1")) < commands.indexOf(QStringLiteral("AT%CCID=1")));
    m_sim->send("call 0912345678 Ana");
    QTRY_VERIFY(g_events.contains(QStringLiteral("caller Ana|0912345678|0|0")));
}

void TestModemLine::callGivesRingThenCaller_data()
{
    QTest::addColumn<QByteArray>("call");
    QTest::addColumn<QString>("caller");

    QTest::newRow("number and name after the first ring")
        << QByteArray("call 0912345678 Ana Horvat") << QStringLiteral("caller Ana Horvat|0912345678|0|0");
    QTest::newRow("caller id before the ring") << QByteArray("call 0912345678 Ana Horvat --cid-first")
                                               << QStringLiteral("caller Ana Horvat|0912345678|0|0");
    QTest::newRow("no blanks around the equals sign")
        << QByteArray("call 015550000 Ivo --compact") << QStringLiteral("caller Ivo|015550000|0|0");
    QTest::newRow("record without a name completes after settling")
        << QByteArray("call 0912345678") << QStringLiteral("caller |0912345678|0|0");
    QTest::newRow("withheld") << QByteArray("call --private")
                              << QStringLiteral("caller < Nepoznat >|< Sakriven >|1|0");
    QTest::newRow("out of area") << QByteArray("call --out-of-area --cid-first")
                                 << QStringLiteral("caller < Nepoznat >|< Neidentificiran >|0|1");
}

void TestModemLine::callGivesRingThenCaller()
{
    QFETCH(QByteArray, call);
    QFETCH(QString, caller);
    QVERIFY(openLine());
    m_sim->send(call);
    QTRY_COMPARE_WITH_TIMEOUT(g_events.count(QStringLiteral("ended")), 1, 8000);
    QTest::qWait(100);
    QCOMPARE(g_events, (QStringList{QStringLiteral("ring"), caller, QStringLiteral("ended")}));
    QVERIFY(TapiLineOpen);
}

void TestModemLine::unfriendlyModemStillGivesTheCaller_data()
{
    QTest::addColumn<QStringList>("simArgs");
    QTest::newRow("echo and numeric answers") << QStringList{"--profile", "E1 V0"};
    QTest::newRow("quiet") << QStringList{"--profile", "Q1"};
    QTest::newRow("slow reset, names in UTF-8") << QStringList{"--reset-pause", "1500", "--utf8"};
}

void TestModemLine::unfriendlyModemStillGivesTheCaller()
{
    QFETCH(QStringList, simArgs);
    QVERIFY(openLine(simArgs));
    m_sim->send("call 0912345678 ČačićĐ");
    QTRY_VERIFY(g_events.contains(QStringLiteral("caller ČačićĐ|0912345678|0|0")));
}

void TestModemLine::rejectAnswersThenDropsAfterFiveSeconds()
{
    QVERIFY(openLine());
    m_sim->send("call 0912345678 Ana --rings=40");
    QTRY_COMPARE(g_events.size(), 2);
    RejectTapiCall();
    QTRY_VERIFY(m_sim->timeOf(QStringLiteral("ATH1")) >= 0);
    QVERIFY(m_sim->timeOf(QStringLiteral("ATH0")) < 0);
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->timeOf(QStringLiteral("ATH0")) >= 0, 8000);
    const int held = m_sim->timeOf(QStringLiteral("ATH0")) - m_sim->timeOf(QStringLiteral("ATH1"));
    QVERIFY2(held >= 4900 && held < 6500, qPrintable(QString::number(held)));
    // The drop ends the call at once, although the caller was still ringing before the answer.
    QTRY_COMPARE_WITH_TIMEOUT(g_events.count(QStringLiteral("ended")), 1, 1000);
}

namespace {
int runCli(const QStringList &args)
{
    QProcess cli;
    cli.start(testsupport::toolPath(QStringLiteral("tellwise-cli")), args);
    if (!cli.waitForFinished(10000))
        return -1;
    return cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
}
} // namespace

void TestModemLine::cliDrivesTheEmulatorThroughItsSocket()
{
    QVERIFY(openLine());
    struct stat st
    {
    };
    QCOMPARE(::stat(QFile::encodeName(telephony::modemsim::socketPath()).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0600));
    QCOMPARE(runCli({QStringLiteral("modem-call"), QStringLiteral("0912345678"), QStringLiteral("Ana Horvat"),
                     QStringLiteral("--cid-first")}),
             0);
    QTRY_VERIFY(g_events.contains(QStringLiteral("caller Ana Horvat|0912345678|0|0")));
    // One call at a time; the refusal is told by the exit code.
    QCOMPARE(runCli({QStringLiteral("modem-call"), QStringLiteral("015550000")}), 5);
    QCOMPARE(runCli({QStringLiteral("modem-call"), QStringLiteral("1"), QStringLiteral("--private"),
                     QStringLiteral("--out-of-area")}),
             2);
    m_sim->kill();
    QCOMPARE(runCli({QStringLiteral("modem-hangup")}), 4);
}

void TestModemLine::stopDuringRejectHangsUp()
{
    QVERIFY(openLine());
    m_sim->send("call 0912345678 Ana --rings=40");
    QTRY_COMPARE(g_events.size(), 2);
    RejectTapiCall();
    QTRY_VERIFY(m_sim->timeOf(QStringLiteral("ATH1")) >= 0);
    StopTapiMonitor();
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->timeOf(QStringLiteral("ATH0")) >= 0, 1000);
    QTest::qWait(5500);
    QCOMPARE(m_sim->commands().count(QStringLiteral("ATH0")), 1);
}

void TestModemLine::unknownLineFailsTheStart()
{
    writeConfig(0);
    QVERIFY(m_sim->start({}));
    StartTapiMonitor(QStringLiteral("Modem on ttyUSB7"));
    QVERIFY(TapiLineFailed);
    QVERIFY(!TapiLineOpen);
}

void TestModemLine::silentPortIsNoLine()
{
    // A terminal where nothing answers and a missing port are no lines; the emulator is.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
    const QString silent = QString::fromLocal8Bit(::ptsname(master));
    QVERIFY(m_sim->start({}));
    writeConfig(0, {silent, QStringLiteral("/dev/ttyUSB-none"), telephony::modemsim::linkPath()});
    QStringList list;
    QElapsedTimer clock;
    clock.start();
    ListTapiDevices(list);
    QVERIFY(clock.elapsed() >= 1000); // the silent port had its full probe time
    QCOMPARE(list, QStringList{kLine});
    ::close(master);
}

void TestModemLine::stopTwiceReleasesThePort()
{
    QVERIFY(openLine());
    StopTapiMonitor();
    StopTapiMonitor();
    QVERIFY(!TapiLineOpen && !TapiLineFailed);
    // The port is free again: the line opens and works once more.
    StartTapiMonitor(kLine);
    QVERIFY(TapiLineOpen);
    QTRY_COMPARE(m_sim->commands().count(QStringLiteral("ATZ")), 2);
    QTest::qWait(100);
    m_sim->send("call 0912345678 Ana");
    QTRY_VERIFY(g_events.contains(QStringLiteral("caller Ana|0912345678|0|0")));
}

void TestModemLine::survivesNoise()
{
    QVERIFY(openLine());
    m_sim->send("noise 200000");
    m_sim->send("raw " + QByteArray(5000, 'z'));
    QTest::qWait(300);
    QVERIFY(TapiLineOpen);
    // Whatever the noise may have looked like has ended by now.
    QTRY_VERIFY_WITH_TIMEOUT(
        g_events.count(QStringLiteral("ring")) == g_events.count(QStringLiteral("ended")), 3000);
    QTest::qWait(1600);
    g_events.clear();
    m_sim->send("call 0912345678 Ana Horvat");
    QTRY_COMPARE_WITH_TIMEOUT(g_events.count(QStringLiteral("ended")), 1, 8000);
    QCOMPARE(g_events.mid(0, 2),
             (QStringList{QStringLiteral("ring"), QStringLiteral("caller Ana Horvat|0912345678|0|0")}));
    QVERIFY(TapiLineOpen);
}

void TestModemLine::killedEmulatorFailsTheLine()
{
    QVERIFY(openLine());
    m_sim->send("call 0912345678 Ana --rings=40");
    QTRY_COMPARE(g_events.value(0), QStringLiteral("ring"));
    m_sim->kill();
    QTRY_VERIFY(g_events.contains(QStringLiteral("failed")));
    QVERIFY(!TapiLineOpen);
    QVERIFY(TapiLineFailed);
}

void TestModemLine::silentModemFailsTheLine()
{
    QVERIFY(openLine({}, 200));
    m_sim->send("mute on");
    QTRY_VERIFY_WITH_TIMEOUT(g_events.contains(QStringLiteral("failed")), 6000);
    QVERIFY(TapiLineFailed);
    QVERIFY(!TapiLineOpen);
}

QTEST_GUILESS_MAIN(TestModemLine)
#include "tst_modemline.moc"
