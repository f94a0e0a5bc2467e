// tellwise-modem-sim: a caller-ID modem on a pseudo-terminal, for the demo and the tests.
//
// Prints the pseudo-terminal's path as its first line, then one time-stamped line for every
// command line a program sends to the modem. The modem takes V.250 command lines (several
// commands on a line, extended commands joined by ";", queries, S registers, "&" commands). Reads control
// commands from standard input and from a local socket in the runtime folder (tellwise-cli modem-call):
//   call NUMBER [NAME...] [--private|--out-of-area] [--cid-first] [--compact] [--rings=N]
//   hangup | raw TEXT | noise [BYTES] | mute [on|off] | quit

#include "ModemSim.h"

#include "SimCommandLoop.h"
#include "telephony/ModemConfig.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>

#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

using simcommon::printLine;
using simcommon::timeStamp;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tellwise-modem-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A caller-ID modem on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption ringPeriod(QStringLiteral("ring-period"),
                                        QStringLiteral("Milliseconds from ring to ring (5000)."),
                                        QStringLiteral("ms"), QStringLiteral("5000"));
    const QCommandLineOption rings(QStringLiteral("rings"),
                                   QStringLiteral("Rings before the caller gives up (6)."),
                                   QStringLiteral("n"), QStringLiteral("6"));
    const QCommandLineOption cidCommand(
        QStringLiteral("cid-command"),
        QStringLiteral("Accept only this caller-ID command: +VCID, #CID or %CCID."),
        QStringLiteral("command"));
    const QCommandLineOption info(QStringLiteral("info"), QStringLiteral("The ATI answer."),
                                  QStringLiteral("text"));
    const QCommandLineOption profile(
        QStringLiteral("profile"),
        QStringLiteral("Commands of the stored profile, run at start and by ATZ, e.g. \"E1 V0\" or Q1."),
        QStringLiteral("commands"));
    const QCommandLineOption resetPause(
        QStringLiteral("reset-pause"),
        QStringLiteral("Answer the first command, and every reset, only after this many milliseconds."),
        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption utf8(QStringLiteral("utf8"),
                                  QStringLiteral("Send caller names in UTF-8 instead of Windows-1250."));
    const QCommandLineOption noPublish(
        QStringLiteral("no-link"),
        QStringLiteral("Do not publish the link and control socket in the runtime folder."));
    parser.addOptions({ringPeriod, rings, cidCommand, info, profile, resetPause, utf8, noPublish});
    parser.process(app);

    ModemSim::Options options;
    options.ringPeriodMs = qMax(10, parser.value(ringPeriod).toInt());
    options.rings = qMax(1, parser.value(rings).toInt());
    options.cidCommand = parser.value(cidCommand).toLatin1();
    if (parser.isSet(info))
        options.info = parser.value(info).toLatin1();
    options.profile = parser.value(profile).toLatin1();
    options.resetPauseMs = qMax(0, parser.value(resetPause).toInt());
    options.utf8Names = parser.isSet(utf8);

    ModemSim sim(options);
    QString error;
    if (!sim.open(&error)) {
        printLine(stderr, QStringLiteral("tellwise-modem-sim: ") + error);
        return 1;
    }
    QObject::connect(&sim, &ModemSim::commandReceived, [](const QByteArray &command) {
        printLine(stdout, timeStamp() + QLatin1Char(' ') + QString::fromLatin1(command));
    });
    QObject::connect(&sim, &ModemSim::note, [](const QString &text) {
        printLine(stderr, timeStamp() + QStringLiteral(" # ") + text);
    });

    const bool publish = !parser.isSet(noPublish);
    QLocalServer server;
    using namespace telephony::modemsim;
    if (publish) {
        QDir().mkpath(runtimeDir());
        QFile::remove(linkPath());
        if (!QFile::link(sim.ptyPath(), linkPath()))
            printLine(stderr, QStringLiteral("tellwise-modem-sim: cannot create ") + linkPath());
        QFile pidFile(pidPath());
        if (pidFile.open(QIODevice::WriteOnly | QIODevice::Truncate))
            pidFile.write(QByteArray::number(qint64(::getpid())) + '\n');
        QLocalServer::removeServer(socketPath());
        server.setSocketOptions(QLocalServer::UserAccessOption);
        if (server.listen(socketPath()))
            ::chmod(QFile::encodeName(socketPath()).constData(), S_IRUSR | S_IWUSR);
        else
            printLine(stderr, QStringLiteral("tellwise-modem-sim: cannot listen on ") + socketPath());
    }

    // The path comes last, so whoever reads it finds the link and the socket in place.
    printLine(stdout, sim.ptyPath());

    const int rc = simcommon::runCommandLoop(server, [&](const QString &line) { return sim.execute(line); });
    if (publish) {
        server.close();
        if (QFile::symLinkTarget(linkPath()) == sim.ptyPath())
            QFile::remove(linkPath());
        QFile::remove(pidPath());
    }
    return rc;
}
