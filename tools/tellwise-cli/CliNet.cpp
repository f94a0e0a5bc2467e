// Commands that drive the network simulator (tellwise-net-sim) through its control socket.

#include "CliCommand.h"

#include "telephony/NetworkLineParser.h"

#include <QLocalSocket>

namespace {

int runSimulatorCommand(const QString &line)
{
    QLocalSocket socket;
    socket.connectToServer(telephony::netsim::socketPath());
    if (!socket.waitForConnected(2000))
        throw cli::Failure{QStringLiteral("the network simulator is not running (start tellwise-net-sim)"),
                           4};
    socket.write(line.toUtf8() + '\n');
    socket.flush();
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(3000))
            throw cli::Failure{QStringLiteral("the network simulator did not answer"), 4};
    }
    const QString answer = QString::fromUtf8(socket.readLine()).trimmed();
    if (answer != QLatin1String("OK"))
        throw cli::Failure{QStringLiteral("network simulator: ") + answer, 5};
    return 0;
}

const cli::CliRegistration netCallCommand{
    {QStringLiteral("net-call"),
     QStringLiteral(
         "net-call NUMBER [NAME] [--called=NUMBER] [--private|--out-of-area] [--via=callmonitor|ncid]   "
         "play a call on the network simulator"),
     [](const QStringList &args) {
         if (args.isEmpty())
             throw cli::UsageError{QStringLiteral("net-call needs a number")};
         return runSimulatorCommand(QStringLiteral("call ") + args.join(QLatin1Char(' ')));
     }}};
const cli::CliRegistration netSimCommand{
    {QStringLiteral("net-sim"),
     QStringLiteral("net-sim end|drop|junk [BYTES]|long [BYTES]|flood [COUNT]|raw TEXT   send the network "
                    "simulator another command"),
     [](const QStringList &args) {
         if (args.isEmpty())
             throw cli::UsageError{QStringLiteral("net-sim needs a command")};
         return runSimulatorCommand(args.join(QLatin1Char(' ')));
     }}};

} // namespace
