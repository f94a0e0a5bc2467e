// isdn-call and isdn-hangup: drive a running tellwise-isdn-sim through its control socket and
// print what the program on the other side answered.
#include "CliCommand.h"

#include "capi/CpMoni.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>

#include <unistd.h>

namespace {

QString defaultSocket()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/tellwise-isdn-sim.sock");
    return QDir::tempPath() + QStringLiteral("/tellwise-isdn-sim-%1.sock").arg(getuid());
}

QJsonObject request(const QString &path, const QJsonObject &req, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(3000))
        throw cli::Failure{QStringLiteral("the ISDN simulator is not running (%1)").arg(path), 1};
    socket.write(QJsonDocument(req).toJson(QJsonDocument::Compact) + '\n');
    socket.flush();
    QElapsedTimer clock;
    clock.start();
    while (!socket.canReadLine()) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            throw cli::Failure{QStringLiteral("no answer from the ISDN simulator"), 1};
    }
    const QJsonObject answer = QJsonDocument::fromJson(socket.readLine()).object();
    if (!answer.value(QStringLiteral("ok")).toBool())
        throw cli::Failure{answer.value(QStringLiteral("error")).toString(QStringLiteral("refused")), 1};
    return answer;
}

struct Options
{
    QMap<QString, QString> values;
    QString take(const QString &name, const QString &fallback = {}) const
    {
        return values.value(name, fallback);
    }
};

Options parse(const QStringList &args, const QStringList &known)
{
    Options o;
    for (int i = 0; i < args.size(); ++i) {
        const QString name = args[i];
        if (!known.contains(name))
            throw cli::UsageError{QStringLiteral("unknown option: %1").arg(name)};
        if (i + 1 >= args.size())
            throw cli::UsageError{QStringLiteral("%1 needs a value").arg(name)};
        o.values.insert(name, args[++i]);
    }
    return o;
}

int number(const Options &o, const QString &name, int fallback, int low, int high)
{
    if (!o.values.contains(name))
        return fallback;
    bool ok = false;
    const int v = o.take(name).toInt(&ok, 0);
    if (!ok || v < low || v > high)
        throw cli::UsageError{
            QStringLiteral("%1 must be a number from %2 to %3").arg(name).arg(low).arg(high)};
    return v;
}

bool isDigits(const QString &s)
{
    return std::all_of(s.begin(), s.end(),
                       [](QChar c) { return c.isDigit() || c == QLatin1Char('*') || c == QLatin1Char('#'); });
}

// Waits for the call to end and prints what the simulator saw of it.
int report(const QString &path, qint64 plci, int waitSeconds)
{
    if (waitSeconds <= 0)
        return 0;
    const QJsonObject answer = request(path,
                                       {{QStringLiteral("cmd"), QStringLiteral("wait")},
                                        {QStringLiteral("plci"), plci},
                                        {QStringLiteral("timeoutMs"), waitSeconds * 1000}},
                                       waitSeconds * 1000 + 5000);
    for (const QJsonValue &line : answer.value(QStringLiteral("lines")).toArray())
        cli::out(line.toString());
    if (!answer.value(QStringLiteral("finished")).toBool())
        cli::out(QStringLiteral("the call is still in progress after %1 s").arg(waitSeconds));
    return 0;
}

int isdnCall(const QStringList &args)
{
    const Options o =
        parse(args, {QStringLiteral("--calling"), QStringLiteral("--called"), QStringLiteral("--ton"),
                     QStringLiteral("--cip"), QStringLiteral("--controller"), QStringLiteral("--wait"),
                     QStringLiteral("--socket")});
    if (!o.values.contains(QStringLiteral("--calling")))
        throw cli::UsageError{
            QStringLiteral("isdn-call needs --calling (an empty number is a withheld one)")};
    const QString calling = o.take(QStringLiteral("--calling"));
    const QString called = o.take(QStringLiteral("--called"));
    if (!isDigits(calling) || !isDigits(called))
        throw cli::UsageError{QStringLiteral("numbers may hold only digits, * and #")};
    static const QMap<QString, int> tons{{QStringLiteral("unknown"), 0x01},
                                         {QStringLiteral("international"), 0x11},
                                         {QStringLiteral("national"), 0x21},
                                         {QStringLiteral("subscriber"), 0x41}};
    const QString tonName = o.take(QStringLiteral("--ton"), QStringLiteral("unknown"));
    if (!tons.contains(tonName))
        throw cli::UsageError{QStringLiteral("--ton is national, international, subscriber or unknown")};
    const int cip = number(o, QStringLiteral("--cip"), 1, 0, 28);
    const int controller = number(o, QStringLiteral("--controller"), 1, 1, 127);
    const int wait = number(o, QStringLiteral("--wait"), 20, 0, 600);
    const QString path = o.take(QStringLiteral("--socket"), defaultSocket());

    const QJsonObject answer = request(path,
                                       {{QStringLiteral("cmd"), QStringLiteral("call")},
                                        {QStringLiteral("calling"), calling},
                                        {QStringLiteral("called"), called},
                                        {QStringLiteral("ton"), tons.value(tonName)},
                                        {QStringLiteral("cip"), cip},
                                        {QStringLiteral("controller"), controller}},
                                       5000);
    const qint64 plci = answer.value(QStringLiteral("plci")).toInteger();
    cli::out(QStringLiteral("call 0x%1 offered").arg(plci, 4, 16, QLatin1Char('0')));
    return report(path, plci, wait);
}

int isdnHangup(const QStringList &args)
{
    const Options o =
        parse(args, {QStringLiteral("--plci"), QStringLiteral("--wait"), QStringLiteral("--socket")});
    const int plci = number(o, QStringLiteral("--plci"), 0, 0, 0xFFFF);
    const int wait = number(o, QStringLiteral("--wait"), 5, 0, 600);
    const QString path = o.take(QStringLiteral("--socket"), defaultSocket());
    const QJsonObject answer = request(
        path, {{QStringLiteral("cmd"), QStringLiteral("hangup")}, {QStringLiteral("plci"), plci}}, 5000);
    const qint64 hungUp = answer.value(QStringLiteral("plci")).toInteger();
    cli::out(QStringLiteral("caller hung up call 0x%1").arg(hungUp, 4, 16, QLatin1Char('0')));
    return report(path, hungUp, wait);
}

std::atomic<bool> g_stopListening{false};

// A listener for trying the ISDN side by hand: the monitor the program uses, printing its events.
int isdnListen(const QStringList &args)
{
    const Options o = parse(args, {QStringLiteral("--controller"), QStringLiteral("--ring"),
                                   QStringLiteral("--reject"), QStringLiteral("--seconds")});
    const int reject = number(o, QStringLiteral("--reject"), -1, 0, 0xFFFF);
    const int seconds = number(o, QStringLiteral("--seconds"), 0, 0, 86400);
    TCapiMonitor monitor;
    monitor.setController(uint32_t(number(o, QStringLiteral("--controller"), 1, 1, 127)));
    monitor.setRejectTimeOut(number(o, QStringLiteral("--ring"), 10, 0, 600));
    QObject::connect(&monitor, &TCapiMonitor::OnRejectCallQuestion,
                     [reject](const QString &, const QString &, uint16_t, uint16_t &cause) {
                         if (reject >= 0)
                             cause = uint16_t(reject);
                     });
    QObject::connect(&monitor, &TCapiMonitor::OnIncomingCall,
                     [](const QString &calling, const QString &called, uint16_t cip, const QString &cipText) {
                         cli::out(QStringLiteral("incoming call from \"%1\" to \"%2\", CIP %3 (%4)")
                                      .arg(calling, called)
                                      .arg(cip)
                                      .arg(cipText));
                     });
    QObject::connect(&monitor, &TCapiMonitor::OnDisconnectInfo, [&monitor](uint16_t cause, uint16_t reason) {
        cli::out(QStringLiteral("call ended: reject value %1, reason 0x%2 (%3)")
                     .arg(cause)
                     .arg(reason, 4, 16, QLatin1Char('0'))
                     .arg(monitor.ErrorString()));
    });
    monitor.setActive(true);
    if (!monitor.Active())
        throw cli::Failure{monitor.ErrorString(), 1};
    cli::out(QStringLiteral("listening on controller %1").arg(monitor.Controller()));
    // A lost controller is tried again, as the program does, until it answers.
    QTimer retry;
    retry.setSingleShot(true);
    int retryMs = 2000;
    QObject::connect(&monitor, &TCapiMonitor::OnLineLost, [&] {
        cli::out(QStringLiteral("line lost: %1").arg(monitor.ErrorString()));
        retry.start(retryMs);
    });
    QObject::connect(&retry, &QTimer::timeout, [&] {
        monitor.setActive(true);
        if (monitor.Active()) {
            retryMs = 2000;
            cli::out(QStringLiteral("listening on controller %1").arg(monitor.Controller()));
            return;
        }
        retryMs = qMin(2 * retryMs, 60000);
        retry.start(retryMs);
    });

    std::signal(SIGINT, [](int) { g_stopListening = true; });
    std::signal(SIGTERM, [](int) { g_stopListening = true; });
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (g_stopListening)
            QCoreApplication::quit();
    });
    poll.start(100);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    return 0;
}

const cli::CliRegistration listenCommand{
    {QStringLiteral("isdn-listen"),
     QStringLiteral("isdn-listen [--controller N] [--ring SECONDS] [--reject VALUE] [--seconds N]"),
     isdnListen}};
const cli::CliRegistration callCommand{
    {QStringLiteral("isdn-call"),
     QStringLiteral(
         "isdn-call --calling NUMBER [--called NUMBER] [--ton national|international|subscriber|unknown] "
         "[--cip N] [--controller N] [--wait SECONDS] [--socket PATH]"),
     isdnCall}};
const cli::CliRegistration hangupCommand{
    {QStringLiteral("isdn-hangup"), QStringLiteral("isdn-hangup [--plci N] [--wait SECONDS] [--socket PATH]"),
     isdnHangup}};

} // namespace
