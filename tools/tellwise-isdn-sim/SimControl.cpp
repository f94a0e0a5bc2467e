#include "SimControl.h"

#include "IsdnSimulator.h"
#include "SimMessages.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QTimer>

#include <sys/stat.h>
#include <unistd.h>

namespace {
void reply(QLocalSocket *socket, const QJsonObject &answer)
{
    socket->write(QJsonDocument(answer).toJson(QJsonDocument::Compact) + '\n');
    socket->flush();
}

QJsonObject failure(const QString &error)
{
    return {{QStringLiteral("ok"), false}, {QStringLiteral("error"), error}};
}
} // namespace

SimControl::SimControl(IsdnSimulator *sim, QObject *parent)
    : QObject(parent), m_sim(sim), m_server(new QLocalServer(this))
{
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *s = m_server->nextPendingConnection())
            serve(s);
    });
}

SimControl::~SimControl()
{
    m_server->close();
}

QString SimControl::defaultPath()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir(runtime).exists())
        return runtime + QStringLiteral("/tellwise-isdn-sim.sock");
    return QDir::tempPath() + QStringLiteral("/tellwise-isdn-sim-%1.sock").arg(getuid());
}

bool SimControl::listen(const QString &path, QString *error)
{
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) {
        if (error)
            *error = m_server->errorString();
        return false;
    }
    m_path = m_server->fullServerName();
    ::chmod(QFile::encodeName(m_path).constData(), S_IRUSR | S_IWUSR);
    return true;
}

void SimControl::serve(QLocalSocket *socket)
{
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
        while (socket->canReadLine()) {
            const QJsonDocument doc = QJsonDocument::fromJson(socket->readLine());
            if (!doc.isObject())
                reply(socket, failure(QStringLiteral("not a JSON object")));
            else
                handle(socket, doc.object());
        }
    });
}

void SimControl::handle(QLocalSocket *socket, const QJsonObject &request)
{
    const QString cmd = request.value(QStringLiteral("cmd")).toString();
    if (cmd == QLatin1String("call")) {
        SimCallOffer offer;
        offer.calling = request.value(QStringLiteral("calling")).toString();
        offer.called = request.value(QStringLiteral("called")).toString();
        offer.typeOfNumber = uint8_t(request.value(QStringLiteral("ton")).toInt(ton::National));
        offer.presentation = uint8_t(
            request.value(QStringLiteral("presentation")).toInt(offer.calling.isEmpty() ? 0xA0 : 0x80));
        offer.cip = uint16_t(request.value(QStringLiteral("cip")).toInt(1));
        offer.controller = uint8_t(request.value(QStringLiteral("controller")).toInt(1));
        QString error;
        const uint32_t plci = m_sim->offerCall(offer, &error);
        if (!plci)
            reply(socket, failure(error));
        else
            reply(socket, {{QStringLiteral("ok"), true}, {QStringLiteral("plci"), qint64(plci)}});
    } else if (cmd == QLatin1String("wait")) {
        waitForCall(socket, uint32_t(request.value(QStringLiteral("plci")).toInteger()),
                    request.value(QStringLiteral("timeoutMs")).toInt(15000));
    } else if (cmd == QLatin1String("hangup")) {
        uint32_t plci = uint32_t(request.value(QStringLiteral("plci")).toInteger());
        if (!plci)
            plci = m_sim->latestCall();
        if (!m_sim->hangUp(plci, uint16_t(request.value(QStringLiteral("reason")).toInt(0x3490))))
            reply(socket, failure(QStringLiteral("no call in progress")));
        else
            reply(socket, {{QStringLiteral("ok"), true}, {QStringLiteral("plci"), qint64(plci)}});
    } else if (cmd == QLatin1String("controllers")) {
        m_sim->setControllers(request.value(QStringLiteral("count")).toInt(1));
        reply(socket, {{QStringLiteral("ok"), true}});
    } else if (cmd == QLatin1String("mute")) {
        m_sim->setMuted(request.value(QStringLiteral("on")).toBool(true));
        reply(socket, {{QStringLiteral("ok"), true}});
    } else if (cmd == QLatin1String("fail")) {
        const uint16_t command = sim::commandFromName(request.value(QStringLiteral("command")).toString());
        if (!command) {
            reply(socket, failure(QStringLiteral("unknown command")));
            return;
        }
        m_sim->failNext(command, uint16_t(request.value(QStringLiteral("info")).toInt(0x2001)));
        reply(socket, {{QStringLiteral("ok"), true}});
    } else if (cmd == QLatin1String("facility")) {
        const int n =
            m_sim->sendFacilityIndication(uint8_t(request.value(QStringLiteral("controller")).toInt(1)),
                                          uint16_t(request.value(QStringLiteral("function")).toInt(0x8000)));
        reply(socket, {{QStringLiteral("ok"), true}, {QStringLiteral("applications"), n}});
    } else if (cmd == QLatin1String("log")) {
        reply(socket, {{QStringLiteral("ok"), true},
                       {QStringLiteral("lines"), QJsonArray::fromStringList(m_sim->logLines())}});
    } else {
        reply(socket, failure(QStringLiteral("unknown request: %1").arg(cmd)));
    }
}

QStringList SimControl::linesFor(uint32_t plci) const
{
    const QString call = QStringLiteral("0x%1")
                             .arg(plci, 4, 16, QLatin1Char('0'))
                             .toUpper()
                             .replace(QLatin1String("0X"), QLatin1String("0x"));
    const QString b3 = QStringLiteral("0x%1")
                           .arg(plci | 0x10000, 8, 16, QLatin1Char('0'))
                           .toUpper()
                           .replace(QLatin1String("0X"), QLatin1String("0x"));
    QStringList lines;
    for (const QString &line : m_sim->logLines())
        if (line.contains(call) || line.contains(b3))
            lines.append(line);
    return lines;
}

void SimControl::waitForCall(QLocalSocket *socket, uint32_t plci, int timeoutMs)
{
    auto *timer = new QTimer(this);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QPointer<QLocalSocket> guard(socket);
    connect(timer, &QTimer::timeout, this, [this, timer, clock, guard, plci, timeoutMs] {
        const bool finished = m_sim->callFinished(plci);
        if (!guard || finished || clock->elapsed() >= timeoutMs) {
            if (guard)
                reply(guard, {{QStringLiteral("ok"), true},
                              {QStringLiteral("finished"), finished},
                              {QStringLiteral("lines"), QJsonArray::fromStringList(linesFor(plci))}});
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start(50);
}

QJsonObject SimControlRequest(const QString &path, const QJsonObject &request, int timeoutMs)
{
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(qMin(timeoutMs, 3000)))
        return failure(
            QStringLiteral("the ISDN simulator is not running (%1: %2)").arg(path, socket.errorString()));
    socket.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n');
    socket.flush();
    QElapsedTimer clock;
    clock.start();
    while (!socket.canReadLine()) {
        const int left = timeoutMs - int(clock.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left))
            return failure(QStringLiteral("no answer from the ISDN simulator"));
    }
    const QJsonDocument doc = QJsonDocument::fromJson(socket.readLine());
    return doc.isObject() ? doc.object() : failure(QStringLiteral("garbled answer from the ISDN simulator"));
}
