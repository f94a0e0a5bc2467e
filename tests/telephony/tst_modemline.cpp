// The modem line end to end: the modem call source and the listing of modem lines, against the
// modem emulator on a pseudo-terminal.

#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include "telephony/ModemCallSource.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using telephony::ModemCallSource;

namespace {

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
        const std::optional<telephony::LineInfo> line = telephony::FindLine(telephony::DeviceKind::Modem, kLine);
        if (!line)
            return false;
        m_source = telephony::CreateCallSource(*line);
        using telephony::CallSource;
        connect(m_source.get(), &CallSource::callOffered, this, [this] { m_events.append(u"ring"_s); });
        connect(m_source.get(), &CallSource::callEnded, this, [this] { m_events.append(u"ended"_s); });
        connect(m_source.get(), &CallSource::lineLost, this, [this] { m_events.append(u"failed"_s); });
        connect(m_source.get(), &CallSource::callerKnown, this, [this](const telephony::CallerId &c) {
            m_events.append(u"caller %1|%2|%3|%4"_s.arg(c.name, c.number).arg(int(c.withheld)).arg(int(c.unavailable)));
        });
        // Ready once the modem accepted one of the caller-ID commands.
        const bool ready = m_source->start() && m_sim->waitForCommand(u"CID=1"_s, 5000);
        QTest::qWait(50);
        return ready;
    }
    testsupport::ModemEmulator *m_sim = nullptr;
    std::unique_ptr<telephony::CallSource> m_source;
    QStringList m_events;

private slots:
    void init()
    {
        m_events.clear();
        m_sim = new testsupport::ModemEmulator;
    }

    void cleanup()
    {
        m_source.reset();
        delete m_sim;
        m_sim = nullptr;
        QTest::qWait(20);
    }

    // A terminal where nothing answers and a missing port are no lines; the emulator is, and the
    // port a running source holds is listed without asking its modem again.
    void listsAndFindsOnlyTheEmulator()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString silent = QString::fromLocal8Bit(::ptsname(master));
        QVERIFY(m_sim->start({u"--info"_s, u"Acme Voice 56K"_s}));
        testsupport::writeModemConfig(
            {.keepAliveMs = 0, .ports = {silent, u"/dev/ttyUSB-none"_s, telephony::modemsim::linkPath()}});
        QElapsedTimer clock;
        clock.start();
        QList<telephony::LineInfo> lines = telephony::ListLines(telephony::DeviceKind::Modem);
        QVERIFY(clock.elapsed() >= 1000); // the silent port had its full probe time
        ::close(master);
        QCOMPARE(lines.size(), 1);
        const telephony::LineInfo line = lines.first();
        QCOMPARE(line.name, kLine);
        QCOMPARE(line.identity, u"Acme Voice 56K"_s);
        QCOMPARE(line.port, telephony::modemsim::linkPath());
        QVERIFY(line.showsName && line.showsNumber && line.showsWithheld && line.showsUnavailable &&
                line.canReject);
        QVERIFY(!telephony::FindLine(telephony::DeviceKind::Modem, u"Modem on ttyUSB7"_s));

        testsupport::writeModemConfig({.keepAliveMs = 0}); // only the emulator's link from here on
        m_source = telephony::CreateCallSource(line);
        QVERIFY(m_source->start());
        QVERIFY(m_sim->waitForCommand(u"CID=1"_s, 5000));
        const qsizetype asked = m_sim->commands().count(u"ATI"_s);
        lines = telephony::ListLines(telephony::DeviceKind::Modem);
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines.first().identity, u"Acme Voice 56K"_s);
        QCOMPARE(m_sim->commands().count(u"ATI"_s), asked);
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
        m_source->stop();
        m_source->stop();
        QVERIFY(!m_source->isMonitoring());
        QVERIFY(m_source->start());
        QTRY_COMPARE(m_sim->commands().count(u"AT%CCID=1"_s), 2);
        QTest::qWait(100);
        m_sim->send("call 0912345678 Ana");
        QTRY_VERIFY(m_events.contains(u"caller Ana|0912345678|0|0"_s));
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
        QTRY_COMPARE_WITH_TIMEOUT(m_events.count(u"ended"_s), 1, 8000);
        QTest::qWait(100);
        QCOMPARE(m_events, (QStringList{u"ring"_s, caller, u"ended"_s}));
        QVERIFY(m_source->isMonitoring());
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
        QTRY_VERIFY(m_events.contains(u"caller ČačićĐ|0912345678|0|0"_s));
    }

    void rejectHoldsTheCallThenHangsUpOnce_data()
    {
        QTest::addColumn<bool>("closeDuringHold");
        QTest::newRow("hung up after five seconds") << false;
        QTest::newRow("line closed during the hold") << true;
    }

    void rejectHoldsTheCallThenHangsUpOnce()
    {
        QFETCH(bool, closeDuringHold);
        QVERIFY(openLine());
        m_source->reject(); // no call: nothing to answer
        m_sim->send("call 0912345678 Ana --rings=40");
        QTRY_COMPARE(m_events.size(), 2);
        m_source->reject();
        QTRY_VERIFY(m_sim->timeOf(u"ATH1"_s) >= 0);
        QCOMPARE(m_sim->commands().count(u"ATH1"_s), 1);
        QVERIFY(m_sim->timeOf(u"ATH0"_s) < 0);
        if (closeDuringHold) {
            // The answered call is hung up at once, and not a second time when the hold ends.
            m_source->stop();
            QTRY_VERIFY_WITH_TIMEOUT(m_sim->timeOf(u"ATH0"_s) >= 0, 1000);
            QTest::qWait(5500);
            QCOMPARE(m_sim->commands().count(u"ATH0"_s), 1);
            QCOMPARE(m_events.count(u"ended"_s), 1);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_sim->timeOf(u"ATH0"_s) >= 0, 8000);
        const int held = m_sim->timeOf(u"ATH0"_s) - m_sim->timeOf(u"ATH1"_s);
        QVERIFY2(held >= 4900 && held < 6500, qPrintable(QString::number(held)));
        // The hang-up ends the call at once, although the caller was still ringing before the answer.
        QTRY_COMPARE_WITH_TIMEOUT(m_events.count(u"ended"_s), 1, 1000);
    }

    // The caller of a rejected call gives up during the hold and a new call rings: the hang-up
    // goes to the call that is current when the hold ends.
    void rejectHangsUpTheCallCurrentAfterTheHold()
    {
        QVERIFY(openLine());
        m_sim->send("call 0912345678 Ana --rings=40");
        QTRY_COMPARE(m_events.size(), 2);
        QElapsedTimer clock;
        clock.start();
        m_source->reject();
        QTRY_VERIFY(m_sim->timeOf(u"ATH1"_s) >= 0);
        m_sim->send("hangup");
        QTRY_COMPARE(m_events.count(u"ended"_s), 1);
        m_sim->send("call 0915555555 Iva --rings=40");
        QTRY_COMPARE(m_events.count(u"ring"_s), 2);
        QVERIFY(m_sim->timeOf(u"ATH0"_s) < 0);
        QTRY_COMPARE_WITH_TIMEOUT(m_events.count(u"ended"_s), 2, 7000);
        QVERIFY(clock.elapsed() >= ModemCallSource::kRejectHoldMs - 50);
        QCOMPARE(m_sim->commands().count(u"ATH0"_s), 1);
        QCOMPARE(m_events, (QStringList{u"ring"_s, u"caller Ana|0912345678|0|0"_s, u"ended"_s, u"ring"_s,
                                        u"caller Iva|0915555555|0|0"_s, u"ended"_s}));
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
        QTRY_VERIFY(m_events.contains(u"caller Ana|0912345678|0|0"_s));
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
            QTRY_COMPARE(m_events.value(0), u"ring"_s);
            m_sim->kill();
        } else {
            m_sim->send("mute on");
        }
        QTRY_VERIFY_WITH_TIMEOUT(m_events.contains(u"failed"_s), 6000);
        QCOMPARE(m_events.count(u"failed"_s), 1);
        QVERIFY(!m_source->isMonitoring());
        // The call in progress ended once, before the line was lost.
        QCOMPARE(m_events.count(u"ended"_s), killed ? 1 : 0);
        QCOMPARE(m_events.last(), u"failed"_s);
    }
};

QTEST_GUILESS_MAIN(TestModemLine)
#include "tst_modemline.moc"
