// Commands for modem lines: drive the modem emulator, list the modem lines, watch one.

#include "CliCommand.h"

#include "store/CallPlaceholders.h"
#include "telephony/CallSources.h"
#include "telephony/ModemConfig.h"

#include <QCoreApplication>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// Sends one control line to the running emulator and returns its answer.
QString askEmulator(const QString &line)
{
    QLocalSocket socket;
    socket.connectToServer(telephony::modemsim::socketPath());
    if (!socket.waitForConnected(2000))
        throw cli::Failure{QStringLiteral("the modem emulator is not running (start tellwise-modem-sim)"), 4};
    socket.write(line.toUtf8() + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(3000))
            throw cli::Failure{QStringLiteral("the modem emulator did not answer"), 4};
    }
    return QString::fromUtf8(socket.readLine()).trimmed();
}

int runEmulatorCommand(const QString &line)
{
    const QString answer = askEmulator(line);
    if (answer != QLatin1String("OK"))
        throw cli::Failure{QStringLiteral("modem emulator: ") + answer, 5};
    return 0;
}

int modemCall(const QStringList &args)
{
    QStringList positional;
    QStringList options;
    for (const QString &a : args) {
        if (a == QLatin1String("--private") || a == QLatin1String("--out-of-area") ||
            a == QLatin1String("--cid-first") || a == QLatin1String("--compact"))
            options.append(a);
        else if (a.startsWith(QLatin1String("--")))
            throw cli::UsageError{QStringLiteral("unknown option: %1").arg(a)};
        else
            positional.append(a);
    }
    if (options.contains(QLatin1String("--private")) && options.contains(QLatin1String("--out-of-area")))
        throw cli::UsageError{QStringLiteral("--private and --out-of-area exclude each other")};
    if (positional.isEmpty() || positional.size() > 2)
        throw cli::UsageError{QStringLiteral("modem-call needs a number and at most one name")};
    if (positional.first().contains(QRegularExpression(QStringLiteral("\\s"))))
        throw cli::UsageError{QStringLiteral("a number has no blanks")};
    // The emulator takes the name as written after the number, quotes and all.
    const QString line =
        QStringList{QStringLiteral("call"), options.join(QLatin1Char(' ')), positional.join(QLatin1Char(' '))}
            .join(QLatin1Char(' '));
    return runEmulatorCommand(line);
}

QString yesNo(bool v)
{
    return v ? QStringLiteral("yes") : QStringLiteral("no");
}

// What a line says it is: a modem its ATI answer, a network line its protocol.
QString lineInfoText(const telephony::LineInfo &line)
{
    return line.port.isEmpty() ? line.kindText : line.identity;
}

int modemList(const QStringList &args)
{
    if (!args.isEmpty())
        throw cli::UsageError{QStringLiteral("modem-list takes no arguments")};
    const QList<telephony::LineInfo> lines = telephony::ListLines(telephony::DeviceKind::Modem);
    if (lines.isEmpty()) {
        cli::out(QStringLiteral("no modem lines"));
        return 1;
    }
    for (const telephony::LineInfo &line : lines) {
        cli::out(QStringLiteral("%1\t%2\tname %3, number %4, withheld %5, out of area %6")
                     .arg(line.name, lineInfoText(line), yesNo(line.showsName), yesNo(line.showsNumber),
                          yesNo(line.showsWithheld), yesNo(line.showsUnavailable)));
    }
    return 0;
}

// Watch output goes to pipes and files too, so every event is flushed at once.
void event(const QString &line)
{
    cli::out(line);
    std::fflush(stdout);
}

int g_quitPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_quitPipe[1], &c, 1);
}

// Watches a line the way the monitor does and prints what it hears, one line each.
int modemWatch(const QStringList &args)
{
    QString device = args.value(0);
    if (args.size() > 1)
        throw cli::UsageError{QStringLiteral("modem-watch takes at most a line name")};
    if (device.isEmpty()) {
        const QList<telephony::LineInfo> lines = telephony::ListLines(telephony::DeviceKind::Modem);
        if (lines.isEmpty())
            throw cli::Failure{QStringLiteral("no modem lines"), 1};
        device = lines.first().name;
    }
    const std::optional<telephony::LineInfo> line = telephony::FindLine(telephony::DeviceKind::Modem, device);
    std::unique_ptr<telephony::CallSource> source = line ? telephony::CreateCallSource(*line) : nullptr;
    if (!source || !source->start())
        throw cli::Failure{QStringLiteral("cannot open the line \"%1\"").arg(device), 6};
    using telephony::CallSource;
    QObject::connect(source.get(), &CallSource::callOffered, [] { event(QStringLiteral("ring")); });
    QObject::connect(source.get(), &CallSource::callerKnown, [](const telephony::CallerId &caller) {
        // What the line did not tell shows as the call log writes it.
        QString name = caller.name;
        QString number = caller.number;
        if (caller.withheld || caller.unavailable) {
            if (name.isEmpty())
                name = PlaceholderUnknown();
            if (number.isEmpty())
                number = caller.unavailable ? PlaceholderUnidentified() : PlaceholderBlocked();
        }
        event(QStringLiteral("caller: %1 | %2%3%4")
                  .arg(number, name, caller.withheld ? QStringLiteral(" | withheld") : QString(),
                       caller.unavailable ? QStringLiteral(" | out of area") : QString()));
    });
    QObject::connect(source.get(), &CallSource::callEnded, [] { event(QStringLiteral("ended")); });
    QObject::connect(source.get(), &CallSource::lineLost, [] {
        event(QStringLiteral("line failed"));
        QCoreApplication::exit(6);
    });
    event(QStringLiteral("watching \"%1\" (%2); Ctrl+C ends").arg(device, lineInfoText(*line)));
    if (::pipe(g_quitPipe) == 0) {
        std::signal(SIGINT, onQuitSignal);
        std::signal(SIGTERM, onQuitSignal);
    }
    QSocketNotifier quit(g_quitPipe[0], QSocketNotifier::Read);
    QObject::connect(&quit, &QSocketNotifier::activated, [] { QCoreApplication::exit(0); });
    const int rc = QCoreApplication::exec();
    source->disconnect();
    source->stop();
    return rc;
}

const cli::CliRegistration modemCallCommand{
    {QStringLiteral("modem-call"),
     QStringLiteral("modem-call NUMBER [NAME] [--private|--out-of-area] [--cid-first]   play a call on the "
                    "modem emulator"),
     modemCall}};
const cli::CliRegistration modemHangupCommand{
    {QStringLiteral("modem-hangup"), QStringLiteral("modem-hangup   the emulator's caller hangs up"),
     [](const QStringList &args) {
         if (!args.isEmpty())
             throw cli::UsageError{QStringLiteral("modem-hangup takes no arguments")};
         return runEmulatorCommand(QStringLiteral("hangup"));
     }}};
const cli::CliRegistration modemListCommand{
    {QStringLiteral("modem-list"),
     QStringLiteral("modem-list   the modem lines, their modems and caller display"), modemList}};
const cli::CliRegistration modemWatchCommand{
    {QStringLiteral("modem-watch"),
     QStringLiteral("modem-watch [LINE]   print the calls on a modem line until interrupted"), modemWatch}};

} // namespace
