// tellwise-net-sim: a router's call monitor and an NCID server on 127.0.0.1, for the demo and
// the tests.
//
// Prints "callmonitor 127.0.0.1:PORT" and then "ncid 127.0.0.1:PORT" once both listen. Reads
// control commands from standard input and from a local socket in the runtime folder
// (tellwise-cli net-call):
//   call NUMBER [NAME...] [--called=NUMBER] [--private|--out-of-area] [--via=callmonitor|ncid]
//   end | drop | raw TEXT | junk [BYTES] | long [BYTES] | flood [COUNT] | quit

#include "NetSim.h"

#include "SimCommandLoop.h"
#include "telephony/ModemConfig.h"
#include "telephony/NetworkLineParser.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>

#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using simcommon::printLine;
using simcommon::timeStamp;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tellwise-net-sim"));
    std::signal(SIGPIPE, SIG_IGN);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A router's call monitor and an NCID server on 127.0.0.1."));
    parser.addHelpOption();
    const QCommandLineOption callMonitorPort(QStringLiteral("callmonitor-port"),
                                             QStringLiteral("Port of the call monitor (any free one)."),
                                             QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption ncidPort(QStringLiteral("ncid-port"),
                                      QStringLiteral("Port of the NCID server (any free one)."),
                                      QStringLiteral("port"), QStringLiteral("0"));
    const QCommandLineOption ringPeriod(QStringLiteral("ring-period"),
                                        QStringLiteral("Milliseconds from ring to ring (4000)."),
                                        QStringLiteral("ms"), QStringLiteral("4000"));
    const QCommandLineOption rings(QStringLiteral("rings"),
                                   QStringLiteral("Rings before the caller gives up (6)."),
                                   QStringLiteral("n"), QStringLiteral("6"));
    const QCommandLineOption noPublish(
        QStringLiteral("no-socket"),
        QStringLiteral("Do not publish the control socket in the runtime folder."));
    parser.addOptions({callMonitorPort, ncidPort, ringPeriod, rings, noPublish});
    parser.process(app);

    NetSim::Options options;
    options.callMonitorPort = quint16(parser.value(callMonitorPort).toUInt());
    options.ncidPort = quint16(parser.value(ncidPort).toUInt());
    options.ringPeriodMs = qMax(10, parser.value(ringPeriod).toInt());
    options.rings = qMax(1, parser.value(rings).toInt());

    NetSim sim(options);
    QString error;
    if (!sim.listen(&error)) {
        printLine(stderr, QStringLiteral("tellwise-net-sim: ") + error);
        return 1;
    }
    QObject::connect(&sim, &NetSim::note, [](const QString &text) {
        printLine(stderr, timeStamp() + QStringLiteral(" # ") + text);
    });

    const bool publish = !parser.isSet(noPublish);
    const QString socketPath = telephony::netsim::socketPath();
    QLocalServer server;
    if (publish) {
        QDir().mkpath(telephony::modemsim::runtimeDir());
        QLocalServer::removeServer(socketPath);
        server.setSocketOptions(QLocalServer::UserAccessOption);
        if (server.listen(socketPath))
            ::chmod(QFile::encodeName(socketPath).constData(), S_IRUSR | S_IWUSR);
        else
            printLine(stderr, QStringLiteral("tellwise-net-sim: cannot listen on ") + socketPath);
    }

    printLine(stdout, QStringLiteral("callmonitor 127.0.0.1:%1").arg(sim.callMonitorPort()));
    printLine(stdout, QStringLiteral("ncid 127.0.0.1:%1").arg(sim.ncidPort()));

    const int rc = simcommon::runCommandLoop(server, [&](const QString &line) { return sim.execute(line); });
    if (publish)
        server.close();
    return rc;
}
