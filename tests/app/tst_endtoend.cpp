// One call from each source through the real program: tellwise-monitor as its own process
// (offscreen, with this test's home, configuration and data folders), the modem emulator or
// the ISDN simulator, and the call log read back from Calls.dat.

#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include "store/DataFiles.h"

#include <QFileInfo>
#include <QProcess>
#include <QTest>

namespace {

// The program as the user starts it, its sounds recorded instead of played.
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

private:
    bool startWithEmulator(testsupport::ModemEmulator &sim, Monitor &monitor,
                           const testsupport::SettingValues &more);
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
    testsupport::writeModemConfig();
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

bool TestEndToEnd::startWithEmulator(testsupport::ModemEmulator &sim, Monitor &monitor,
                                     const testsupport::SettingValues &more)
{
    // The program has opened the line when it turns caller ID on.
    return testsupport::writeSettings(testsupport::emulatorProfile(
               testsupport::SettingValues{{Settings::PhoneRingWave, m_ring}} + more)) &&
           sim.start({QStringLiteral("--ring-period"), QStringLiteral("500"), QStringLiteral("--rings"),
                      QStringLiteral("4")}) &&
           monitor.start(m_soundLog) && sim.waitForCommand(QStringLiteral("AT+VCID=1"), 20000);
}

void TestEndToEnd::modemCallFromKnownContactIsLogged()
{
    testsupport::ModemEmulator sim;
    Monitor monitor;
    QVERIFY(startWithEmulator(sim, monitor, {}));

    sim.send("call 0912345678 ANA");
    QTRY_VERIFY_WITH_TIMEOUT(hasCallFrom(QStringLiteral("Ana Horvat")), 15000);
    const QList<ACalls> calls = loggedCalls();
    QCOMPARE(calls.size(), 1);
    QVERIFY(calls[0].CallerNumber.contains(QLatin1String("234")));
    QCOMPARE(calls[0].CalledNumber, QStringLiteral("< Neidentificiran >"));
    QVERIFY(calls[0].IsNew);
    // The shipped ring sound rang first.
    QVERIFY(testsupport::readFile(m_soundLog).contains(m_ring.toUtf8()));

    // The modem goes away in the middle of the call and comes back: the program opens the line
    // again by itself, and the next call is logged.
    sim.kill();
    const int opened = sim.commands().count(QStringLiteral("AT+VCID=1"));
    QVERIFY(sim.start({QStringLiteral("--ring-period"), QStringLiteral("500"), QStringLiteral("--rings"),
                       QStringLiteral("4")}));
    QTRY_VERIFY_WITH_TIMEOUT(sim.commands().count(QStringLiteral("AT+VCID=1")) > opened, 20000);
    sim.send("call 0912345678 ANA");
    QTRY_COMPARE_WITH_TIMEOUT(loggedCalls().size(), 2, 15000);
    QVERIFY(monitor.running());
}

void TestEndToEnd::blackListedModemCallerIsRejected()
{
    testsupport::ModemEmulator sim;
    Monitor monitor;
    QVERIFY(startWithEmulator(sim, monitor,
                              {{Settings::AutoReject, true}, {Settings::AutoRejectBlackList, true}}));

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
    testsupport::IsdnSimulatorProcess sim;
    QVERIFY(sim.start());
    QVERIFY(testsupport::writeSettings(
        testsupport::emulatorProfile({{Settings::DeviceType, Settings::kIsdn},
                                      {Settings::DeviceName, QStringLiteral("ISDN Adapter #1")},
                                      {Settings::PhoneRingWave, m_ring},
                                      {Settings::AutoReject, true},
                                      {Settings::AutoRejectBlackList, true}})));
    Monitor monitor;
    QVERIFY(monitor.start(m_soundLog));
    // The simulator reports the program's listen request for every kind of call.
    QTRY_VERIFY_WITH_TIMEOUT(sim.output().toLower().contains("1fff03fe"), 20000);

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

    // The CAPI peer goes away during a call and comes back on its port: the program notices,
    // registers and listens again by itself, and the next call is logged.
    cli.start(testsupport::toolPath(QStringLiteral("tellwise-cli")),
              {QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("912345678"),
               QStringLiteral("--ton"), QStringLiteral("national"), QStringLiteral("--wait"),
               QStringLiteral("5")});
    QVERIFY(cli.waitForStarted());
    QTRY_COMPARE_WITH_TIMEOUT(loggedCalls().size(), 2, 10000);
    const int port = sim.port();
    QVERIFY(sim.stop());
    cli.kill();
    cli.waitForFinished(3000);
    const qsizetype before = sim.output().size();
    QVERIFY(sim.start({QStringLiteral("--port"), QString::number(port)}));
    QTRY_VERIFY_WITH_TIMEOUT(sim.output().mid(before).toLower().contains("1fff03fe"), 30000);
    QProcess::execute(testsupport::toolPath(QStringLiteral("tellwise-cli")),
                      {QStringLiteral("isdn-call"), QStringLiteral("--calling"), QStringLiteral("912345678"),
                       QStringLiteral("--ton"), QStringLiteral("national"), QStringLiteral("--wait"),
                       QStringLiteral("3")});
    QTRY_COMPARE_WITH_TIMEOUT(loggedCalls().size(), 3, 10000);
    monitor.stop();
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
