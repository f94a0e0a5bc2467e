// Calls from each source through the real program: tellwise-monitor as its own process
// (offscreen, with this test's home, configuration and data folders, started by a user who
// chose English), the modem emulator or the ISDN simulator, and the call log read back from
// Calls.dat. Each simulator also goes away during a call and comes back: the program opens its
// line again by itself.

#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include "store/DataFiles.h"

#include <QElapsedTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Calls.dat as the program left it: the callers' names.
QStringList loggedCallers()
{
    TCallList calls;
    LoadCalls(testsupport::testDataDir(), calls, FileAccess::ReadOnly);
    QStringList names;
    for (const ACalls &c : calls)
        names << c.CallerName;
    return names;
}

// tellwise-cli isdn-call from NUMBER (national); with WAIT seconds it reports how the call ended.
QString isdnCall(const char *number, int wait)
{
    QProcess cli;
    cli.start(testsupport::toolPath(u"tellwise-cli"_s),
              {u"isdn-call"_s, u"--calling"_s, QLatin1String(number), u"--ton"_s, u"national"_s, u"--wait"_s,
               QString::number(wait)});
    if (!QTest::qWaitFor([&] { return cli.state() == QProcess::NotRunning; }, (wait + 15) * 1000))
        return u"tellwise-cli did not end"_s;
    return QString::fromUtf8(cli.readAllStandardOutput() + cli.readAllStandardError());
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT

    QString m_soundLog = testsupport::testDataDir() + u"sounds.log"_s;
    QString m_ring = testsupport::toolPath(u"Sound/ring1.wav"_s);
    QProcess m_monitor;

    // The program as the user starts it: the shipped ring sound, sliding call windows, black-listed
    // callers rejected.
    bool startMonitor(const testsupport::SettingValues &more)
    {
        if (!testsupport::writeSettings(testsupport::emulatorProfile(
                testsupport::SettingValues{{Settings::PhoneRingWave, m_ring},
                                           {Settings::AnimateCID, true},
                                           {Settings::AutoReject, true},
                                           {Settings::AutoRejectBlackList, true}} +
                more)))
            return false;
        m_monitor.setProcessChannelMode(QProcess::ForwardedChannels);
        m_monitor.start(testsupport::toolPath(u"tellwise-monitor"_s));
        return m_monitor.waitForStarted(5000);
    }

private slots:
    void initTestCase()
    {
        // The program's sounds are recorded instead of played.
        qputenv("TELLWISE_SOUND_SINK", ("record:" + m_soundLog).toUtf8());
        testsupport::writeModemConfig();
        const QString program = QFileInfo(testsupport::toolPath(u"tellwise-monitor"_s)).canonicalFilePath();
        QVERIFY(Settings::writeLanguageOverride(program, u"ENU"_s));
        // Ana is a contact announced by speech, Marko a black-listed one.
        TContactList contacts;
        for (const auto &[name, number] :
             {std::pair{"Ana Horvat", "091 234 5678"}, {"Marko Crni", "098/111-2222"}}) {
            AListAddress c;
            c.DisplayNameAs = QString::fromLatin1(name);
            c.Group = u"Obitelj"_s;
            c.PhoneNumber[0] = QString::fromLatin1(number);
            c.BlackList = c.DisplayNameAs.startsWith(QLatin1Char('M'));
            c.SoundMode = 2;
            c.UseThisSound = u"Zove <NAME>"_s;
            contacts.append(c);
        }
        TGroupList groups;
        groups.append(AGroups{u"Obitelj"_s, QString()});
        QVERIFY(SaveAddressbook(testsupport::testDataDir(), contacts) &&
                SaveGroups(testsupport::testDataDir(), groups));
        // Iva is in none of them, only a card of the desktop's contacts folder.
        QDir().mkpath(qEnvironmentVariable("XDG_DATA_HOME") + u"/contacts"_s);
        testsupport::writeFile(qEnvironmentVariable("XDG_DATA_HOME") + u"/contacts/iva.vcf"_s,
                               "BEGIN:VCARD\r\nFN:Iva Oblak\r\nTEL:099 333 4444\r\nEND:VCARD\r\n");
    }

    void init() { QVERIFY(SaveCalls(testsupport::testDataDir(), TCallList())); }

    void cleanup()
    {
        m_monitor.terminate();
        if (!m_monitor.waitForFinished(10000))
            m_monitor.kill();
    }

    void modemCalls()
    {
        const QStringList ringing{u"--ring-period"_s, u"500"_s, u"--rings"_s, u"4"_s};
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start(ringing) && startMonitor({{Settings::SpeakWelcomeMessage, true}}));
        // The program has opened the line when it turns caller ID on.
        QVERIFY(sim.waitForCommand(u"AT+VCID=1"_s, 20000));

        sim.send("call 0912345678 ANA");
        QTRY_COMPARE_WITH_TIMEOUT(loggedCallers(), QStringList{u"Ana Horvat"_s}, 15000);
        QVERIFY(testsupport::readFile(testsupport::testDataDir() + QLatin1String(kCallsFileName))
                    .contains("< Unidentified >"));
        // The shipped ring sound rang first; eSpeak NG said the built-in welcome once at start, in
        // the language of the texts, and then the caller's name.
        QVERIFY(testsupport::readFile(m_soundLog).contains(m_ring.toUtf8()));
        QTRY_VERIFY(testsupport::readFile(m_soundLog).contains("speak: Zove Ana Horvat\n"));
        QCOMPARE(testsupport::readFile(m_soundLog).count("speak: Welcome to Tellwise Monitor\n"), 1);

        // The modem goes away in the middle of the call and comes back.
        sim.kill();
        const int opened = sim.commands().count(u"AT+VCID=1"_s);
        QVERIFY(sim.start(ringing));
        QTRY_VERIFY_WITH_TIMEOUT(sim.commands().count(u"AT+VCID=1"_s) > opened, 20000);

        // The black-listed caller is taken off the hook to be rejected, and still logged: the black
        // list is logged by default. (How long the call is held is the modem line's test.)
        sim.send("call 0981112222 MARKO");
        QTRY_VERIFY_WITH_TIMEOUT(sim.timeOf(u"ATH1"_s) >= 0, 15000);
        QTRY_VERIFY_WITH_TIMEOUT(loggedCallers().contains(u"Marko Crni"_s), 15000);

        // The session ends while his call window slides in, which refuses an ordinary close.
        m_monitor.terminate();
        QVERIFY(m_monitor.waitForFinished(5000));
        QCOMPARE(m_monitor.exitStatus(), QProcess::NormalExit);
    }

    // A caller the address book lacks is named by the card of the contacts folder.
    void cardCaller()
    {
        testsupport::ModemEmulator sim;
        QVERIFY(sim.start({u"--ring-period"_s, u"500"_s, u"--rings"_s, u"2"_s}) && startMonitor({}));
        QVERIFY(sim.waitForCommand(u"AT+VCID=1"_s, 20000));
        sim.send("call 0993334444 IVA");
        QTRY_COMPARE_WITH_TIMEOUT(loggedCallers(), QStringList{u"Iva Oblak"_s}, 15000);
    }

    void isdnCalls()
    {
        testsupport::IsdnSimulatorProcess sim;
        QVERIFY(sim.start());
        QVERIFY(startMonitor(
            {{Settings::DeviceType, Settings::kIsdn}, {Settings::DeviceName, u"ISDN Adapter #1"_s}}));
        // The simulator reports the program's listen request for every kind of call.
        QTRY_VERIFY_WITH_TIMEOUT(sim.output().toLower().contains("1fff03fe"), 20000);

        // The monitor hangs up by taking the call and clearing it at once.
        const QString out = isdnCall("981112222", 15);
        QVERIFY2(out.contains(QLatin1String("accepted after")), qPrintable(out));
        QVERIFY2(!out.contains(QLatin1String("answered with reject 1")), qPrintable(out));
        QTRY_VERIFY_WITH_TIMEOUT(loggedCallers().contains(u"Marko Crni"_s), 10000);

        // The CAPI peer goes away during a call and comes back on its port: the program notices,
        // registers and listens again by itself, and the next call is logged.
        isdnCall("912345678", 0);
        QTRY_COMPARE_WITH_TIMEOUT(loggedCallers().size(), 2, 10000);
        const int port = sim.port();
        QVERIFY(sim.stop());
        const qsizetype before = sim.output().size();
        QVERIFY(sim.start({u"--port"_s, QString::number(port)}));
        QTRY_VERIFY_WITH_TIMEOUT(sim.output().mid(before).toLower().contains("1fff03fe"), 30000);
        isdnCall("912345678", 0);
        QTRY_COMPARE_WITH_TIMEOUT(loggedCallers().size(), 3, 10000);
    }

    // Two network lines configured; the program watches each in turn. Its server drops the
    // connection, and the program comes back to it by itself.
    void networkCalls()
    {
        testsupport::NetSimulator sim;
        QVERIFY(sim.start({QStringLiteral("--ring-period"), QStringLiteral("500"), QStringLiteral("--rings"),
                           QStringLiteral("3")}));
        testsupport::writeNetworkLines({sim.callMonitor()}, {sim.ncid()});
        for (const QString &line :
             {QStringLiteral("NCID ") + sim.ncid(), QStringLiteral("Call monitor ") + sim.callMonitor()}) {
            QVERIFY(SaveCalls(testsupport::testDataDir(), TCallList()));
            QFile::remove(m_soundLog);
            const int before = sim.connections();
            QVERIFY(startMonitor({{Settings::DeviceName, line}}));
            QTRY_COMPARE_WITH_TIMEOUT(sim.connections(), before + 1, 20000);
            sim.send("call 0912345678 ANA --called=015551234");
            QTRY_COMPARE_WITH_TIMEOUT(loggedCallers(), QStringList{QStringLiteral("Ana Horvat")}, 15000);
            QTRY_VERIFY(testsupport::readFile(m_soundLog).contains("speak: Zove Ana Horvat\n"));

            sim.send("drop");
            QTRY_COMPARE_WITH_TIMEOUT(sim.connections(), before + 2, 20000);
            // Calls go unnoticed until a retry finds the connection back.
            QElapsedTimer clock;
            clock.start();
            qint64 sent = -2000;
            const auto loggedAgain = [&] {
                if (clock.elapsed() - sent >= 2000) {
                    sim.send("call --private");
                    sent = clock.elapsed();
                }
                return loggedCallers().size() >= 2;
            };
            QTRY_VERIFY_WITH_TIMEOUT(loggedAgain(), 30000);
            cleanup();
        }
    }
};

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
