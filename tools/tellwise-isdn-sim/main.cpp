// tellwise-isdn-sim: a simulated ISDN controller that the real libcapi20 reaches through its
// CAPI-over-TCP ("fritzbox") driver. Prints its TCP port first, then one line per event.
#include "IsdnSimulator.h"
#include "SimControl.h"

#include <QCoreApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace {
std::atomic<bool> g_stop{false};

void onSignal(int)
{
    g_stop = true;
}

void printLine(const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

int usage()
{
    std::fputs("usage: tellwise-isdn-sim [--port N] [--controllers N] [--socket PATH]\n", stderr);
    return 2;
}
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int port = 0;
    int controllers = 1;
    QString socketPath = SimControl::defaultPath();
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (args.isEmpty())
            return usage();
        const QString value = args.takeFirst();
        bool ok = true;
        if (option == QLatin1String("--port"))
            port = value.toInt(&ok);
        else if (option == QLatin1String("--controllers"))
            controllers = value.toInt(&ok);
        else if (option == QLatin1String("--socket"))
            socketPath = value;
        else
            return usage();
        if (!ok || port < 0 || port > 65535 || controllers < 1 || controllers > 127)
            return usage();
    }

    IsdnSimulator sim(controllers);
    if (!sim.listen(quint16(port))) {
        std::fprintf(stderr, "tellwise-isdn-sim: cannot listen on 127.0.0.1:%d\n", port);
        return 1;
    }
    printLine(QString::number(sim.port()));
    QObject::connect(&sim, &IsdnSimulator::logged, &printLine);

    SimControl control(&sim);
    QString error;
    if (!control.listen(socketPath, &error)) {
        std::fprintf(stderr, "tellwise-isdn-sim: control socket %s: %s\n", qPrintable(socketPath),
                     qPrintable(error));
        return 1;
    }
    printLine(QStringLiteral("control socket %1, %2 controller(s)").arg(control.path()).arg(controllers));

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    QTimer stopCheck;
    QObject::connect(&stopCheck, &QTimer::timeout, &app, [] {
        if (g_stop)
            QCoreApplication::quit();
    });
    stopCheck.start(100);
    return app.exec();
}
