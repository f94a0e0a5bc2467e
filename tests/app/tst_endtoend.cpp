// One call from each source through the real program: tellwise-monitor as its own process
// (offscreen, with this test's home, configuration and data folders), the modem emulator or
// the ISDN simulator, and the call log read back from Calls.dat. The last case runs the
// program's controller in this process to watch its tray state when the modem vanishes.

#include "TestSupport.h"

#include "app/MonitorProgram.h"
#include "app/TfrmStart.h"
#include "settings/Settings.h"
#include "store/DataFiles.h"
#include "telephony/ModemConfig.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QTest>
#include <QTime>

namespace {

// The modem emulator: control lines to its standard input, the commands the program sent to
// the modem read back from its standard output.
class ModemSim
{
public:
    ~ModemSim() { kill(); }

    bool start()
    {
        m_process.setProgram(testsupport::toolPath(QStringLiteral("tellwise-modem-sim")));
        m_process.setArguments({QStringLiteral("--ring-period"), QStringLiteral("500"),
                                QStringLiteral("--rings"), QStringLiteral("4")});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        return m_process.waitForStarted(5000) &&
               QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000) &&
               m_process.readLine().startsWith("/dev/");
    }
    void send(const QByteArray &line) { m_process.write(line + '\n'); }
    void kill()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }
    // Milliseconds of the day at which the emulator first received COMMAND, or -1.
    int timeOf(const QString &command)
    {
        while (m_process.canReadLine()) {
            const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
            const QTime t = QTime::fromString(line.left(12), QStringLiteral("hh:mm:ss.zzz"));
            if (t.isValid())
                m_commands.append({t.msecsSinceStartOfDay(), line.mid(13)});
        }
        for (const auto &c : std::as_const(m_commands)) {
            if (c.second == command)
                return c.first;
        }
        return -1;
    }

private:
    QProcess m_process;
    QList<QPair<int, QString>> m_commands;
};

// The program as the user starts it.
class Monitor
{
public:
    ~Monitor() { stop(); }

    bool start(const QString &soundLog)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("TELLWISE_SOUND_SINK"), QStringLiteral("record:") + soundLog);
        m_process.setProcessEnvironment(env);
        m_process.setProgram(testsupport::toolPath(QStringLiteral("tellwise-monitor")));
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start();
        return m_process.waitForStarted(5000);
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(3000);
        }
    }

private:
    QProcess m_process;
};

AListAddress contact(const QString &name, const QString &number, bool blackList)
{
    AListAddress c;
    c.DisplayNameAs = name;
    c.Group = QStringLiteral("Obitelj");
    c.PhoneNumber[0] = number;
    c.BlackList = blackList;
    return c;
}

// Calls.dat as the program left it.
QList<ACalls> loggedCalls()
{
    TCallList list;
    LoadCalls(testsupport::testDataDir(), list, FileAccess::ReadOnly);
    QList<ACalls> calls;
    for (const ACalls &c : list)
        calls << c;
    return calls;
}

bool hasCallFrom(const QString &name)
{
    const QList<ACalls> calls = loggedCalls();
    return std::any_of(calls.begin(), calls.end(), [&](const ACalls &c) { return c.CallerName == name; });
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void modemCallFromKnownContactIsLogged();
    void blackListedModemCallerIsRejected();
    void isdnCallerIsRejected();
    void emulatorKilledMidCallShowsError();

private:
    void writeSettings(const QList<QPair<Settings::Key, QVariant>> &values);
    QString m_dir;
    QString m_soundLog;
    QString m_ring;
};

void TestEndToEnd::initTestCase()
{
    m_dir = testsupport::testDataDir();
    m_soundLog = m_dir + QStringLiteral("sounds.log");
    m_ring = testsupport::toolPath(QStringLiteral("Sound/ring1.wav"));
    QVERIFY(QFileInfo::exists(testsupport::toolPath(QStringLiteral("tellwise-monitor"))));

    const QString modems = telephony::ModemConfig::filePath();
    QDir().mkpath(QFileInfo(modems).absolutePath());
    QSettings s(modems, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Modems"));
    s.setValue(QStringLiteral("Scan"), false);
    s.setValue(QStringLiteral("RingTimeoutMs"), 1500);
    s.setValue(QStringLiteral("CallerIdSettleMs"), 250);
    s.setValue(QStringLiteral("CommandTimeoutMs"), 1000);
    s.setValue(QStringLiteral("KeepAliveMs"), 500);
}

void TestEndToEnd::init()
{
    TContactList contacts;
    contacts.append(contact(QStringLiteral("Ana Horvat"), QStringLiteral("091 234 5678"), false));
    contacts.append(contact(QStringLiteral("Marko Crni"), QStringLiteral("098/111-2222"), true));
    TGroupList groups;
    groups.append(AGroups{QStringLiteral("Obitelj"), QString()});
    QVERIFY(SaveAddressbook(m_dir, contacts) && SaveGroups(m_dir, groups) && SaveCalls(m_dir, TCallList()));
    QFile::remove(m_soundLog);
}

void TestEndToEnd::writeSettings(const QList<QPair<Settings::Key, QVariant>> &values)
{
    Settings settings;
    settings.setNumber(Settings::DeviceType, Settings::kModem);
    settings.setText(Settings::DeviceName, QStringLiteral("Modem emulator"));
    settings.setFlag(Settings::MonitorOnStartup, true);
    settings.setFlag(Settings::HideInTray, true);
    settings.setFlag(Settings::RunOnStartup, false);
    settings.setFlag(Settings::AnimateCID, false);
    settings.setFlag(Settings::SpeakWelcomeMessage, false);
    settings.setText(Settings::PhoneRingWave, m_ring);
    for (const auto &[key, value] : values)
        QVERIFY(settings.setValue(key, value));
    QVERIFY(settings.SaveSettings());
}

void TestEndToEnd::modemCallFromKnownContactIsLogged()
{
    writeSettings({});
    ModemSim sim;
    QVERIFY(sim.start());
    Monitor monitor;
    QVERIFY(monitor.start(m_soundLog));
    // The program has opened the line when it turns caller ID on.
    QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(QStringLiteral("AT+VCID=1")) >= 0, 20000);

    sim.send("call 0912345678 ANA");
    QTRY_VERIFY_WITH_TIMEOUT(hasCallFrom(QStringLiteral("Ana Horvat")), 15000);
    const QList<ACalls> calls = loggedCalls();
    QCOMPARE(calls.size(), 1);
    QVERIFY(calls[0].CallerNumber.contains(QLatin1String("234")));
    QCOMPARE(calls[0].CalledNumber, QStringLiteral("< Neidentificiran >"));
    QVERIFY(calls[0].IsNew);
    // The shipped ring sound rang first.
    QVERIFY(testsupport::readFile(m_soundLog).contains(m_ring.toUtf8()));
    QVERIFY(monitor.running());
}

void TestEndToEnd::blackListedModemCallerIsRejected()
{
    writeSettings({{Settings::AutoReject, true}, {Settings::AutoRejectBlackList, true}});
    ModemSim sim;
    QVERIFY(sim.start());
    Monitor monitor;
    QVERIFY(monitor.start(m_soundLog));
    QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(QStringLiteral("AT+VCID=1")) >= 0, 20000);

    sim.send("call 0981112222 MARKO");
    QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(QStringLiteral("ATH1")) >= 0, 15000);
    QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(QStringLiteral("ATH0")) >= 0, 15000);
    const int held = sim.timeOf(QStringLiteral("ATH0")) - sim.timeOf(QStringLiteral("ATH1"));
    QVERIFY2(held >= 4500 && held < 8000, qPrintable(QString::number(held)));
    // Rejected, but logged: the black list is logged by default.
    QVERIFY(hasCallFrom(QStringLiteral("Marko Crni")));
}

void TestEndToEnd::isdnCallerIsRejected()
{
    QProcess sim;
    sim.start(testsupport::toolPath(QStringLiteral("tellwise-isdn-sim")), {});
    QVERIFY(sim.waitForStarted());
    QTRY_VERIFY(sim.canReadLine());
    bool ok = false;
    const int port = sim.readLine().trimmed().toInt(&ok);
    QVERIFY(ok && port > 0);
    QTRY_VERIFY(sim.canReadLine()); // the control socket is up
    testsupport::writeFile(QDir::homePath() + QStringLiteral("/.capi20rc"),
                           QStringLiteral("REMOTE fritzbox 127.0.0.1 %1\n").arg(port).toLatin1());

    writeSettings({{Settings::DeviceType, Settings::kIsdn},
                   {Settings::DeviceName, QStringLiteral("ISDN Adapter #1")},
                   {Settings::AutoReject, true},
                   {Settings::AutoRejectBlackList, true}});
    Monitor monitor;
    QVERIFY(monitor.start(m_soundLog));
    // The simulator reports the program's listen request for every kind of call.
    QByteArray simOutput;
    QTRY_VERIFY_WITH_TIMEOUT((simOutput += sim.readAllStandardOutput()).toLower().contains("1fff03fe"),
                             20000);

    QProcess cli;
    cli.start(testsupport::toolPath(QStringLiteral("tellwise-cli")),
              {QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("981112222"),
               QStringLiteral("--ton"), QStringLiteral("national"), QStringLiteral("--wait"),
               QStringLiteral("15")});
    QVERIFY(cli.waitForStarted());
    QVERIFY(QTest::qWaitFor([&] { return cli.state() == QProcess::NotRunning; }, 30000));
    const QString out = QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
    // The monitor hangs up by taking the call and clearing it at once.
    QVERIFY2(out.contains(QLatin1String("accepted after")), qPrintable(out));
    QVERIFY2(!out.contains(QLatin1String("answered with reject 1")), qPrintable(out));
    QTRY_VERIFY_WITH_TIMEOUT(hasCallFrom(QStringLiteral("Marko Crni")), 10000);

    monitor.stop();
    sim.terminate();
    sim.waitForFinished(5000);
}

void TestEndToEnd::emulatorKilledMidCallShowsError()
{
    writeSettings({{Settings::AnimateIcon, false}});
    ModemSim sim;
    QVERIFY(sim.start());
    MonitorProgram program;
    program.start();
    TfrmStart *start = program.frmStart();
    QTRY_COMPARE_WITH_TIMEOUT(start->trayState(), TfrmStart::TrayState::ActiveMonitor, 20000);

    sim.send("call 0912345678 ANA");
    QTRY_COMPARE_WITH_TIMEOUT(start->trayState(), TfrmStart::TrayState::NewCall, 10000);
    QVERIFY(start->NewCallCount >= 1);

    sim.kill();
    QTRY_COMPARE_WITH_TIMEOUT(start->trayState(), TfrmStart::TrayState::Error, 10000);
    QVERIFY(start->toolTip().contains(QStringLiteral("Greška")));
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
