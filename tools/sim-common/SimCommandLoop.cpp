#include "SimCommandLoop.h"

#include <QCoreApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSocketNotifier>
#include <QTime>

#include <csignal>
#include <unistd.h>

namespace simcommon {

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

// A client or standard input that sends this much without a line break is not a controller.
constexpr qsizetype kMaxCommand = 4096;

} // namespace

void printLine(FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

QString timeStamp()
{
    return QTime::currentTime().toString(QStringLiteral("hh:mm:ss.zzz"));
}

int runCommandLoop(QLocalServer &server, const std::function<QString(const QString &)> &execute)
{
    auto run = [&](const QString &line) -> QString {
        if (line.trimmed() == QLatin1String("quit")) {
            QCoreApplication::quit();
            return QStringLiteral("OK");
        }
        return execute(line);
    };

    QObject::connect(&server, &QLocalServer::newConnection, [&] {
        while (QLocalSocket *client = server.nextPendingConnection()) {
            QObject::connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
            QObject::connect(client, &QLocalSocket::readyRead, client, [client, &run] {
                while (client->canReadLine()) {
                    const QString line = QString::fromUtf8(client->readLine()).trimmed();
                    client->write(run(line).toUtf8() + '\n');
                    client->flush();
                }
                if (client->bytesAvailable() > kMaxCommand)
                    client->abort();
            });
        }
    });

    QSocketNotifier stdinNotifier(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray stdinBuffer;
    QObject::connect(&stdinNotifier, &QSocketNotifier::activated, [&] {
        char buf[1024];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n <= 0) {
            stdinNotifier.setEnabled(false); // end of input: keep serving the socket
            return;
        }
        stdinBuffer.append(buf, n);
        qsizetype nl;
        while ((nl = stdinBuffer.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(stdinBuffer.left(nl)).trimmed();
            stdinBuffer.remove(0, nl + 1);
            if (!line.isEmpty())
                printLine(stderr, timeStamp() + QStringLiteral(" # ") + run(line));
        }
        if (stdinBuffer.size() > kMaxCommand)
            stdinBuffer.clear();
    });

    if (::pipe(g_signalPipe) == 0) {
        std::signal(SIGINT, onSignal);
        std::signal(SIGTERM, onSignal);
        std::signal(SIGHUP, onSignal);
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, [] { QCoreApplication::quit(); });

    return QCoreApplication::exec();
}

} // namespace simcommon
