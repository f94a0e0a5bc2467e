// How fast a call reaches the user: from the modem emulator writing the caller's last
// caller-ID line to the incoming call window showing the contact's name, through the real modem
// line, the call rules (caller look-up, call log) and the call windows, and the longest the event
// loop stood still from that line to the end of the window's slide; and how long the program
// takes from its start to the tray with a large address book and call log.
//
// The same call shared through an MQTT broker: from the modem emulator on monitor A, published,
// to the call window of monitor B, which watches A through an MQTT line. A call on the SIP line:
// from baresip told to dial, through Kamailio, to the call window.
//
// Runs by hand (not under CTest): build/bin/bench_pipeline. It makes its own temporary data,
// configuration and runtime folders and starts build/bin/tellwise-modem-sim,
// build/bin/tellwise-net-sim and Debian's mosquitto, kamailio and baresip.

#include "app/CallMonitor.h"
#include "app/CallPublisher.h"
#include "app/CallWindows.h"
#include "app/MonitorProgram.h"
#include "app/SoundPlay.h"
#include "app/TfrmStart.h"
#include "app/TrayController.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "store/Records.h"
#include "telephony/CallSources.h"
#include "telephony/ModemConfig.h"
#include "telephony/SipCallSource.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "widgets/TRunningLabel.h"

#include "MosquittoBroker.h"
#include "SimProcess.h"
#include "TestProfile.h"
#include "TestSupport.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QUdpSocket>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <memory>
#include <vector>

#include <sys/prctl.h>

namespace {

constexpr int kContacts = 10'000;
const QString kCaller = QStringLiteral("0912345678");
const QString kCallerName = QStringLiteral("Ana Horvat");

// The call rules and the call windows over the data folder, without the tray.
struct BenchHost
{
    explicit BenchHost(const QString &dir = DataDir()) : book(dir), log(dir), window(&message)
    {
        window.setAnimate(false);
        window.setAutoClose(false, 30);
        message.setAnimate(false);
        message.setShowMessage(false);
        settings.setFlag(Settings::EnableSound, false);
        ConnectCallWindows(monitor, settings, window, message, nullptr);
        QObject::connect(&monitor, &CallMonitor::callCounted, [this] { ++newCalls; });
    }

    // Watches the modem or network line of that name; false when it is not there or does not open.
    bool watch(const QString &lineName)
    {
        const std::optional<telephony::LineInfo> line =
            telephony::FindLine(telephony::DeviceKind::Modem, lineName);
        if (!line)
            return false;
        monitor.setSource(telephony::CreateCallSource(*line));
        return monitor.source() && monitor.source()->start();
    }

    Settings settings;
    AddressBook book;
    CallLog log;
    TfrmNewCallMessage message;
    TfrmIncomingCall window;
    CallMonitor monitor{settings, book, log};
    int newCalls = 0;
};

bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}

// waitFor without spinning: sleeps until the next event. Where the benchmark's peers (Kamailio,
// baresip) share the two cores with it, a spinning wait would take their time.
bool waitIdle(const std::function<bool()> &done, int timeoutMs)
{
    bool late = false;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, [&late] { late = true; });
    timer.start(timeoutMs);
    while (!done()) {
        if (late)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Ten thousand contacts with eight numbers each; the caller is the last one, so the look-up
// examines every stored number before it finds the match.
void fillContacts(const QString &dir = DataDir())
{
    TContactList contacts;
    for (int i = 0; i < kContacts; ++i) {
        AListAddress c;
        c.DisplayNameAs =
            i == kContacts - 1 ? kCallerName : QStringLiteral("Kontakt %1").arg(i, 5, 10, QLatin1Char('0'));
        c.Group = QStringLiteral("Grupa %1").arg(i % 20);
        c.Notes = QStringLiteral("Napomena\r\nu dva reda");
        for (int k = 0; k < 8; ++k)
            c.PhoneNumber[std::size_t(k)] =
                QStringLiteral("0%1 %2").arg(20 + k).arg(i, 7, 10, QLatin1Char('0'));
        if (i == kContacts - 1)
            c.PhoneNumber[7] = QStringLiteral("091 234 5678");
        contacts.append(std::move(c));
    }
    TGroupList groups;
    for (int g = 0; g < 20; ++g)
        groups.append(AGroups{QStringLiteral("Grupa %1").arg(g), QString()});
    QDir().mkpath(dir);
    SaveAddressbook(dir, contacts);
    SaveGroups(dir, groups);
}

void fillCalls(int count)
{
    TCallList calls;
    const double today = TDateFromQDate(QDate::currentDate());
    for (int i = 0; i < count; ++i) {
        ACalls call;
        call.CallerName = QStringLiteral("Pozivatelj %1").arg(i);
        call.CallerNumber = QStringLiteral("(01) 555-%1").arg(i % 10000, 4, 10, QLatin1Char('0'));
        call.CalledNumber = QStringLiteral("< Neidentificiran >");
        // Newest first, as the program keeps the log.
        call.CallDate = today - 1 - i / 50;
        call.CallTime = double(49 - i % 50) / 50.0;
        calls.append(std::move(call));
    }
    SaveCalls(DataDir(), calls);
}

void writeModemConfig()
{
    const QString path = telephony::ModemConfig::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Modems"));
    s.setValue(QStringLiteral("Scan"), false);
    s.setValue(QStringLiteral("RingTimeoutMs"), 400);
    s.setValue(QStringLiteral("KeepAliveMs"), 0);
}

// The longest gap between two ticks of a 1 ms timer from start() to stop(): how long the event
// loop stood still, so that nothing could move or paint, in milliseconds.
class StallGauge
{
public:
    StallGauge()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
    }
    void start()
    {
        m_last = std::chrono::steady_clock::now();
        m_longest = 0;
        m_timer.start();
    }
    double stop()
    {
        tick();
        m_timer.stop();
        return m_longest;
    }

private:
    void tick()
    {
        const auto now = std::chrono::steady_clock::now();
        m_longest = std::max(m_longest, std::chrono::duration<double, std::milli>(now - m_last).count());
        m_last = now;
    }

    QTimer m_timer;
    std::chrono::steady_clock::time_point m_last;
    double m_longest = 0;
};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

// The address book and a call log of `loggedCalls`, loaded by the call rules' host.
std::unique_ptr<BenchHost> startPipeline(int loggedCalls)
{
    fillContacts();
    fillCalls(loggedCalls);
    auto host = std::make_unique<BenchHost>();
    host->book.load();
    host->log.load();
    return host;
}

void BM_CallerIdToWindow(benchmark::State &state)
{
    const int loggedCalls = int(state.range(0));
    auto host = startPipeline(loggedCalls);
    auto *name = host->window.findChild<TRunningLabel *>(QStringLiteral("lblCallerName"));
    host->window.setAnimate(true); // the slide shows whether the event loop keeps running
    StallGauge gauge;

    testsupport::ModemEmulator emulator;
    if (!emulator.start({QStringLiteral("--ring-period"), QStringLiteral("60000")})) {
        state.SkipWithError("the modem emulator did not start");
        return;
    }
    if (!host->watch(QStringLiteral("Modem emulator"))) {
        state.SkipWithError("the emulator's line did not open");
        return;
    }

    std::vector<double> samples;
    std::vector<double> stalls;
    for (auto _ : state) {
        const int before = host->newCalls;
        emulator.send("raw RING");
        if (!waitFor([&] { return host->newCalls > before; }, 5000)) {
            state.SkipWithError("no ring");
            break;
        }
        emulator.send("raw DATE = 1206");
        emulator.send("raw TIME = 0800");
        emulator.send("raw NMBR = " + kCaller.toLatin1());
        waitFor([] { return false; }, 30); // let the first lines arrive and be parsed

        const auto start = std::chrono::steady_clock::now();
        gauge.start();
        emulator.send("raw NAME = ANA");
        if (!waitFor([&] { return host->window.isVisible() && name->text() == kCallerName; }, 10000)) {
            state.SkipWithError("the window did not show the caller");
            break;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
        waitFor([&] { return !host->window.slide().isPlaying(); }, 5000);
        stalls.push_back(gauge.stop());

        // The call ends when no ring follows; the window closes with it.
        if (!waitFor([&] { return !host->window.isVisible(); }, 5000)) {
            state.SkipWithError("the call did not end");
            break;
        }
    }
    state.counters["median_ms"] = median(samples);
    state.counters["stall_median_ms"] = median(stalls);
    state.counters["stall_max_ms"] = stalls.empty() ? 0.0 : *std::max_element(stalls.begin(), stalls.end());
    state.counters["logged_calls"] = double(host->log.calls().size());
}
BENCHMARK(BM_CallerIdToWindow)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// From the network simulator writing the RING (router's call monitor, 0) or CID: line (NCID, 1)
// to the incoming call window showing the contact's name; beside BM_CallerIdToWindow/10000.
void BM_NetworkCallToWindow(benchmark::State &state)
{
    const bool ncid = state.range(0) == 1;
    auto host = startPipeline(10'000);
    auto *name = host->window.findChild<TRunningLabel *>(QStringLiteral("lblCallerName"));

    testsupport::NetSimulator sim;
    if (!sim.start(
            {QStringLiteral("--ring-period"), QStringLiteral("60000"), QStringLiteral("--no-socket")})) {
        state.SkipWithError("the network simulator did not start");
        return;
    }
    testsupport::writeNetworkLines({sim.callMonitor()}, {sim.ncid()});
    if (!host->watch(ncid ? QStringLiteral("NCID ") + sim.ncid()
                          : QStringLiteral("Call monitor ") + sim.callMonitor())) {
        state.SkipWithError("the network line did not open");
        return;
    }
    waitFor([] { return false; }, 300); // the connection is made after the open
    const QByteArray call =
        QByteArray("call ") + kCaller.toLatin1() + " ANA --via=" + (ncid ? "ncid" : "callmonitor");

    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        sim.send(call);
        if (!waitFor([&] { return host->window.isVisible() && name->text() == kCallerName; }, 10000)) {
            state.SkipWithError("the window did not show the caller");
            break;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
        sim.send("end");
        if (!waitFor([&] { return !host->window.isVisible(); }, 5000)) {
            state.SkipWithError("the call did not end");
            break;
        }
        waitFor([] { return false; }, 300); // calls closer than that are a flood to the line
    }
    state.counters["median_ms"] = median(samples);
}
BENCHMARK(BM_NetworkCallToWindow)
    ->Arg(0)
    ->Arg(1)
    ->Iterations(15)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// From the modem emulator writing the caller's last caller-ID line on monitor A to the call
// window of monitor B showing B's contact, through A's publishing, a local mosquitto and B's MQTT
// line; beside BM_CallerIdToWindow/10000, A alone. Both have 10 000 contacts.
void BM_MqttCallToWindow(benchmark::State &state)
{
    testsupport::MosquittoBroker broker;
    if (!broker.start()) {
        state.SkipWithError("mosquitto did not start");
        return;
    }
    auto a = startPipeline(10'000);
    const QString dirB = DataDir() + QStringLiteral("b/");
    fillContacts(dirB);
    BenchHost b(dirB);
    b.book.load();
    b.log.load();
    auto *name = b.window.findChild<TRunningLabel *>(QStringLiteral("lblCallerName"));
    {
        QSettings modems(telephony::ModemConfig::filePath(), QSettings::IniFormat);
        modems.setValue(QStringLiteral("Network/Mqtt"), QStringLiteral("tellwise/a@") + broker.address());
        modems.setValue(QStringLiteral("Network/MqttPasswordFile"), QStringLiteral("mqtt-passwords"));
        const QString passwords =
            QFileInfo(modems.fileName()).absolutePath() + QStringLiteral("/mqtt-passwords");
        QFile file(passwords);
        file.open(QIODevice::WriteOnly);
        file.write("b@127.0.0.1 b-pw\na@127.0.0.1 a-pw\n");
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    CallPublisher publisher(a->settings, a->monitor, [&a] { a->monitor.reject(); });
    a->settings.setText(Settings::MqttBroker, broker.address());
    a->settings.setText(Settings::MqttUser, QStringLiteral("a"));
    a->settings.setText(Settings::MqttPrefix, QStringLiteral("tellwise/a"));
    a->settings.setFlag(Settings::MqttPublish, true);

    testsupport::ModemEmulator emulator;
    if (!emulator.start({QStringLiteral("--ring-period"), QStringLiteral("60000")}) ||
        !a->watch(QStringLiteral("Modem emulator")) ||
        !b.watch(QStringLiteral("MQTT tellwise/a@") + broker.address())) {
        state.SkipWithError("a line did not open");
        return;
    }
    if (!waitFor([&] { return publisher.client().isConnected(); }, 10000)) {
        state.SkipWithError("the publisher did not connect");
        return;
    }
    waitFor([] { return false; }, 500); // B's subscription is made after its connection

    std::vector<double> samples;
    for (auto _ : state) {
        const int before = b.newCalls;
        emulator.send("raw RING");
        if (!waitFor([&] { return b.newCalls > before; }, 5000)) {
            state.SkipWithError("no ring on B");
            break;
        }
        emulator.send("raw DATE = 1206");
        emulator.send("raw TIME = 0800");
        emulator.send("raw NMBR = " + kCaller.toLatin1());
        waitFor([] { return false; }, 30);

        const auto start = std::chrono::steady_clock::now();
        emulator.send("raw NAME = ANA");
        if (!waitFor([&] { return b.window.isVisible() && name->text() == kCallerName; }, 10000)) {
            state.SkipWithError("B's window did not show the caller");
            break;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
        if (!waitFor([&] { return !b.window.isVisible() && !a->window.isVisible(); }, 5000)) {
            state.SkipWithError("the call did not end");
            break;
        }
    }
    state.counters["median_ms"] = median(samples);
    b.monitor.setSource(nullptr);
    a->monitor.setSource(nullptr);
}
BENCHMARK(BM_MqttCallToWindow)->Iterations(15)->UseManualTime()->Unit(benchmark::kMillisecond);

// Hands the calls of a line that outlives it to one call monitor after another: the SIP benchmark
// takes a new monitor every kFloodBurst calls, so that the call rules' flood limit (past a burst,
// one call in six seconds) does not set the pace of a long run of calls.
class LineRelay : public telephony::CallSource
{
public:
    explicit LineRelay(telephony::CallSource *line) : m_line(line)
    {
        connect(line, &CallSource::callOffered, this, &CallSource::callOffered);
        connect(line, &CallSource::callerKnown, this, &CallSource::callerKnown);
        connect(line, &CallSource::callEnded, this, &CallSource::callEnded);
        connect(line, &CallSource::lineLost, this, &CallSource::lineLost);
    }
    bool start() override { return m_line->isMonitoring(); }
    void stop() override {}
    bool isMonitoring() const override { return m_line->isMonitoring(); }
    bool canReject() const override { return true; }
    void reject() override { m_line->reject(); }

private:
    telephony::CallSource *m_line;
};

// A program from Debian, in a folder of its own, ended with the object (and with us, if we crash).
struct Peer
{
    QProcess process;
    QByteArray output;
    ~Peer()
    {
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
    bool start(const QString &program, const QStringList &args)
    {
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        QObject::connect(&process, &QProcess::readyRead,
                         [this] { output = (output + process.readAll()).right(4096); });
        process.start(program, args);
        return process.waitForStarted(10000);
    }
};

// A loopback port free for both UDP and TCP, as Kamailio listens on both.
quint16 freeSipPort()
{
    for (;;) {
        QTcpServer tcp;
        if (!tcp.listen(QHostAddress::LocalHost))
            return 0;
        QUdpSocket udp;
        if (udp.bind(QHostAddress::LocalHost, tcp.serverPort()))
            return tcp.serverPort();
    }
}

// Kamailio's modules: /usr/lib/<architecture>/kamailio/modules on Debian.
QString kamailioModules()
{
    const QDir lib(QStringLiteral("/usr/lib"));
    for (const QString &dir : lib.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString modules = lib.filePath(dir + QStringLiteral("/kamailio/modules/"));
        if (QFile::exists(modules + QStringLiteral("tm.so")))
            return modules;
    }
    return {};
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[std::min(v.size() - 1, std::size_t(double(v.size()) * p))];
}

// From baresip told to dial (the command written to its standard input, after which it sends the
// INVITE) to the incoming call window showing the contact's name, through Kamailio (registrar and
// proxy, the tests' configuration on a loopback port) and the monitor's SIP line registered there;
// 10 000 contacts, 10 000 logged calls at the start, as BM_NetworkCallToWindow. The caller hangs
// up (CANCEL) and the window closes before the next call. to_line is the part until the INVITE
// reached the line. Three processes share the cores here, so the benchmark waits without spinning.
void BM_SipCallToWindow(benchmark::State &state)
{
    // Debian's kamailio is in /usr/sbin, which is not on an ordinary user's PATH.
    QString kamailioProgram = QStandardPaths::findExecutable(QStringLiteral("kamailio"));
    if (kamailioProgram.isEmpty())
        kamailioProgram =
            QStandardPaths::findExecutable(QStringLiteral("kamailio"), {QStringLiteral("/usr/sbin")});
    if (kamailioProgram.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("baresip")).isEmpty() ||
        kamailioModules().isEmpty()) {
        state.SkipWithError("kamailio or baresip is not installed");
        return;
    }
    auto host = startPipeline(10'000);
    auto *name = host->window.findChild<TRunningLabel *>(QStringLiteral("lblCallerName"));
    QTemporaryDir dir;
    const quint16 port = freeSipPort();
    const QString registrar = QStringLiteral("127.0.0.1:%1").arg(port);
    QByteArray cfg =
        testsupport::readFile(QStringLiteral(TELLWISE_SOURCE_DIR "/tests/telephony/sipline-kamailio.cfg"));
    cfg.replace("@PORT@", QByteArray::number(port))
        .replace("@MODULES@", QFile::encodeName(kamailioModules()));
    testsupport::writeFile(dir.filePath(QStringLiteral("kamailio.cfg")), cfg);
    Peer kamailio;
    kamailio.start(kamailioProgram,
                   {QStringLiteral("-f"), dir.filePath(QStringLiteral("kamailio.cfg")), QStringLiteral("-DD"),
                    QStringLiteral("-E"), QStringLiteral("-Y"), dir.path(), QStringLiteral("-P"),
                    dir.filePath(QStringLiteral("kamailio.pid"))});
    if (!waitFor(
            [port] {
                QTcpSocket probe;
                probe.connectToHost(QHostAddress::LocalHost, port);
                return probe.waitForConnected(200);
            },
            20000)) {
        state.SkipWithError("kamailio did not start");
        return;
    }
    {
        QSettings modems(telephony::ModemConfig::filePath(), QSettings::IniFormat);
        modems.setValue(QStringLiteral("Network/Sip"), QStringLiteral("alice@") + registrar);
        modems.setValue(QStringLiteral("Network/SipPasswordFile"),
                        dir.filePath(QStringLiteral("sip-passwords")));
        modems.setValue(QStringLiteral("Network/SipListen"), QStringLiteral("127.0.0.1"));
        testsupport::writeFile(dir.filePath(QStringLiteral("sip-passwords")), "alice@127.0.0.1 alicepw\n");
        QFile::setPermissions(dir.filePath(QStringLiteral("sip-passwords")),
                              QFile::ReadOwner | QFile::WriteOwner);
    }
    const std::optional<telephony::LineInfo> info =
        telephony::FindLine(telephony::DeviceKind::Modem, QStringLiteral("SIP alice@") + registrar);
    std::unique_ptr<telephony::CallSource> line = info ? telephony::CreateCallSource(*info) : nullptr;
    auto *sip = static_cast<telephony::SipCallSource *>(line.get());
    if (!sip || !sip->start() || !waitFor([sip] { return sip->isRegistered(); }, 20000)) {
        state.SkipWithError("the SIP line did not register");
        return;
    }

    // The caller: baresip taking its commands on its standard input, sending no REGISTER.
    testsupport::writeFile(dir.filePath(QStringLiteral("config")),
                           "sip_listen 127.0.0.1:0\nmodule_path /usr/lib/baresip/modules\nmodule stdio.so\n"
                           "module g711.so\nmodule aubridge.so\nmodule_app account.so\nmodule_app menu.so\n"
                           "audio_source aubridge,x\naudio_player aubridge,x\naudio_alert aubridge,x\n");
    testsupport::writeFile(dir.filePath(QStringLiteral("accounts")), "\"ANA\" <sip:" + kCaller.toLatin1() +
                                                                         "@" + registrar.toLatin1() +
                                                                         ">;regint=0\n");
    std::unique_ptr<Peer> caller;
    const auto startCaller = [&] {
        caller = std::make_unique<Peer>();
        caller->start(QStringLiteral("baresip"), {QStringLiteral("-f"), dir.path()});
        return waitFor([&] { return caller->output.contains("baresip is ready"); }, 10000);
    };
    if (!startCaller()) {
        state.SkipWithError("baresip did not start");
        return;
    }
    const QByteArray dial = "/dial sip:alice@" + registrar.toLatin1() + "\n";

    // When the INVITE reached the line: the part of the time that is baresip's and Kamailio's.
    std::chrono::steady_clock::time_point offered;
    QObject::connect(sip, &telephony::CallSource::callOffered,
                     [&offered] { offered = std::chrono::steady_clock::now(); });
    std::unique_ptr<CallMonitor> monitor;
    constexpr int kCallsPerCaller = 1000;
    int calls = 0;
    std::vector<double> samples;
    std::vector<double> toLine;
    for (auto _ : state) {
        // baresip grows slower with every call it made (each takes it longer than the one before):
        // a new one every thousand calls keeps its share of the time as on a telephone.
        if (calls > 0 && calls % kCallsPerCaller == 0 && !startCaller()) {
            state.SkipWithError("baresip did not start again");
            break;
        }
        if (calls++ % CallMonitor::kFloodBurst == 0) {
            monitor = std::make_unique<CallMonitor>(host->settings, host->book, host->log);
            ConnectCallWindows(*monitor, host->settings, host->window, host->message, nullptr);
            monitor->setSource(std::make_unique<LineRelay>(sip));
            monitor->source()->start();
        }
        const auto start = std::chrono::steady_clock::now();
        caller->process.write(dial);
        if (!waitIdle([&] { return host->window.isVisible() && name->text() == kCallerName; }, 10000)) {
            state.SkipWithError("the window did not show the caller");
            break;
        }
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
        toLine.push_back(std::chrono::duration<double, std::milli>(offered - start).count());
        caller->process.write("/hangup\n");
        if (!waitIdle([&] { return !host->window.isVisible(); }, 5000)) {
            state.SkipWithError("the call did not end");
            break;
        }
    }
    state.counters["median_ms"] = median(samples);
    state.counters["p99_ms"] = percentile(samples, 0.99);
    state.counters["max_ms"] = samples.empty() ? 0.0 : *std::max_element(samples.begin(), samples.end());
    state.counters["to_line_median_ms"] = median(toLine);
    // The call log grows by every call: the first and the last thousand calls apart.
    const std::size_t part = std::min<std::size_t>(1000, samples.size());
    state.counters["first_1000_median_ms"] = median({samples.begin(), samples.begin() + qsizetype(part)});
    state.counters["last_1000_median_ms"] = median({samples.end() - qsizetype(part), samples.end()});
    state.counters["first_1000_to_line_ms"] = median({toLine.begin(), toLine.begin() + qsizetype(part)});
    state.counters["last_1000_to_line_ms"] = median({toLine.end() - qsizetype(part), toLine.end()});
    state.counters["logged_calls"] = double(host->log.calls().size());
    monitor.reset();
    line.reset(); // unregisters while Kamailio is still there
    waitFor([] { return false; }, 200);
}
BENCHMARK(BM_SipCallToWindow)->Iterations(10'000)->UseManualTime()->Unit(benchmark::kMillisecond);

// From creating the program's windows (which loads the data files) to the tray showing that
// the line is monitored.
void BM_StartupToTray(benchmark::State &state)
{
    fillContacts();
    fillCalls(int(state.range(0)));
    {
        Settings settings;
        settings.setText(Settings::DeviceName, QStringLiteral("Modem emulator"));
        settings.setNumber(Settings::DeviceType, Settings::kModem);
        settings.setFlag(Settings::MonitorOnStartup, true);
        settings.setFlag(Settings::HideInTray, true);
        settings.setFlag(Settings::AnimateIcon, false);
        settings.setFlag(Settings::SpeakWelcomeMessage, false);
        settings.setFlag(Settings::RunOnStartup, false);
        settings.SaveSettings();
    }
    testsupport::ModemEmulator emulator;
    if (!emulator.start({QStringLiteral("--ring-period"), QStringLiteral("60000")})) {
        state.SkipWithError("the modem emulator did not start");
        return;
    }
    std::vector<double> samples;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto program = std::make_unique<MonitorProgram>();
        program->start();
        const bool up = waitFor(
            [&] {
                const auto s = program->frmStart()->findChild<TrayController *>()->state();
                return s == TrayController::State::ActiveMonitor || s == TrayController::State::Error;
            },
            20000);
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        const bool monitoring = program->frmStart()->findChild<TrayController *>()->state() ==
                                TrayController::State::ActiveMonitor;
        program.reset();
        if (!up || !monitoring) {
            state.SkipWithError("the program did not reach the monitoring tray state");
            break;
        }
        state.SetIterationTime(took.count());
        samples.push_back(took.count() * 1000.0);
    }
    state.counters["median_ms"] = median(samples);
}
BENCHMARK(BM_StartupToTray)->Arg(100'000)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Everything the program touches lives in one temporary folder.
    QTemporaryDir root;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(root.path() + QStringLiteral("/run")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.path() + QStringLiteral("/config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.path() + QStringLiteral("/share")));
    qputenv("TELLWISE_DATA_DIR", QFile::encodeName(root.path() + QStringLiteral("/data")));
    qputenv("TELLWISE_SOUND_SINK", "none");
    for (const char *dir : {"/run", "/config", "/share", "/data"})
        QDir().mkpath(root.path() + QLatin1String(dir));
    QFile::setPermissions(root.path() + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    writeModemConfig();

    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    TSoundPlay::stopAll();
    return 0;
}
