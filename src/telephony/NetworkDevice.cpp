#include "telephony/NetworkDevice.h"

#include <QTcpSocket>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace telephony {

namespace {

// Bytes taken from the socket per wake-up: the rest waits in the kernel, so a flooding server
// is slowed by TCP itself instead of by our memory.
constexpr qint64 kReadChunk = 16 * 1024;
constexpr qint64 kReadBufferSize = 64 * 1024;
// A router call that neither CONNECT nor DISCONNECT ended is over after this long.
constexpr int kCallMonitorCallLimitMs = 5 * 60 * 1000;
// No telephone line carries more than a few new calls a second; more is a misbehaving server.
constexpr qint64 kMinCallSpacingMs = 250;
// A connection made while the line is closed waits this long for the line's retry to open it.
constexpr int kUnclaimedConnectionMs = 3000;

// Every network line of the process, for the retry that asks whether a server is back.
QList<NetworkDevice *> &liveDevices()
{
    static QList<NetworkDevice *> devices;
    return devices;
}

void later(QObject *context, std::function<void()> f)
{
    QTimer::singleShot(0, context, std::move(f));
}

// A server that vanishes without closing (router unplugged) is noticed within about 90 s.
void keepAlive(qintptr fd)
{
    int on = 1, idle = 60, interval = 10, count = 3;
    ::setsockopt(int(fd), SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    ::setsockopt(int(fd), IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
}

} // namespace

NetworkDevice::NetworkDevice(NetworkSource source, const NetworkConfig &config)
    : m_source(std::move(source)), m_config(config)
{
    m_connectTimer.setSingleShot(true);
    m_ringTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &NetworkDevice::fail);
    connect(&m_ringTimer, &QTimer::timeout, this, &NetworkDevice::endCall);
    liveDevices().append(this);
}

NetworkDevice::~NetworkDevice()
{
    liveDevices().removeOne(this);
    closeSocket();
}

QByteArray NetworkDevice::providerInfo() const
{
    return m_source.protocol == NetworkSource::CallMonitor ? "Router call monitor (TCP)"
                                                           : "NCID client (TCP)";
}

DWORD NetworkDevice::callerIdCaps() const
{
    DWORD caps = LINECALLPARTYID_BLOCKED | LINECALLPARTYID_OUTOFAREA | LINECALLPARTYID_ADDRESS |
                 LINECALLPARTYID_UNKNOWN;
    if (m_source.protocol == NetworkSource::Ncid)
        caps |= LINECALLPARTYID_NAME;
    return caps;
}

bool NetworkDevice::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool NetworkDevice::waitingForServer(const QString &lineName)
{
    bool waiting = false;
    for (NetworkDevice *device : std::as_const(liveDevices())) {
        if (!device->m_failed || device->m_monitoring || QString::fromLatin1(device->lineName()) != lineName)
            continue;
        if (!device->m_socket)
            device->connectSocket();
        waiting = waiting || !device->isConnected();
    }
    return waiting;
}

bool NetworkDevice::startMonitoring()
{
    if (m_monitoring)
        return true;
    if (!isConnected() && m_failed) {
        if (!m_socket)
            connectSocket();
        return false;
    }
    m_monitoring = true;
    m_failed = false;
    if (m_socket) {
        m_connectTimer.stop();
        later(this, [this] { readSocket(); }); // what the server sent while the line was closed
    } else {
        connectSocket();
    }
    return true;
}

void NetworkDevice::stopMonitoring()
{
    m_monitoring = false;
    m_ringTimer.stop();
    m_callId = 0;
    closeSocket();
}

void NetworkDevice::connectSocket()
{
    m_reader.reset();
    m_lines.clear();
    m_socket = new QTcpSocket(this);
    m_socket->setReadBufferSize(kReadBufferSize);
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_connectTimer.stop();
        keepAlive(m_socket->socketDescriptor());
        if (!m_monitoring)
            m_connectTimer.start(kUnclaimedConnectionMs);
    });
    connect(m_socket, &QTcpSocket::readyRead, this, &NetworkDevice::readSocket);
    // Queued: a refused connection may be reported inside connectToHost, that is inside the
    // line's open, which must finish before the line can be lost.
    QTcpSocket *socket = m_socket;
    const auto failed = [this, socket] {
        if (socket == m_socket)
            fail();
    };
    connect(m_socket, &QTcpSocket::errorOccurred, this, failed, Qt::QueuedConnection);
    connect(m_socket, &QTcpSocket::disconnected, this, failed, Qt::QueuedConnection);
    m_connectTimer.start(m_config.connectTimeoutMs);
    m_socket->connectToHost(m_source.host, m_source.port);
}

void NetworkDevice::closeSocket()
{
    m_connectTimer.stop();
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater(); // may be inside one of its own signals
}

void NetworkDevice::fail()
{
    if (!m_socket)
        return;
    m_failed = true;
    closeSocket();
    if (!m_monitoring)
        return;
    endCall();
    m_monitoring = false;
    emit deviceLost();
}

void NetworkDevice::readSocket()
{
    // A closed line keeps its bytes for the open; lines read before are handled first.
    if (!m_socket || !m_monitoring || !m_lines.isEmpty())
        return;
    m_reader.feed(m_socket->read(kReadChunk), [this](const QByteArray &line) { m_lines.append(line); });
    handleLines();
}

void NetworkDevice::handleLines()
{
    const auto parse = m_source.protocol == NetworkSource::CallMonitor ? parseCallMonitorLine : parseNcidLine;
    while (m_monitoring && !m_lines.isEmpty()) {
        // The line service hears of a new call before the lines after it: the call's end in the
        // same read must not overtake its question for the caller.
        if (handle(parse(m_lines.takeFirst())))
            break;
    }
    if (!m_socket || !m_monitoring)
        return;
    if (!m_lines.isEmpty())
        later(this, [this] { handleLines(); });
    else if (m_socket->bytesAvailable() > 0)
        later(this, [this] { readSocket(); });
}

bool NetworkDevice::handle(const NetworkEvent &event)
{
    switch (event.kind) {
    case NetworkEvent::Offer:
        return beginCall(event);
    case NetworkEvent::Alive:
        if (m_callId)
            m_ringTimer.start(m_config.ringTimeoutMs);
        break;
    case NetworkEvent::End:
        if (m_callId && event.connection == m_connection)
            endCall();
        break;
    case NetworkEvent::None:
        break;
    }
    return false;
}

bool NetworkDevice::beginCall(const NetworkEvent &event)
{
    if (m_callId) {
        if (m_sinceLastCall.isValid() && m_sinceLastCall.elapsed() < kMinCallSpacingMs)
            return false;
        endCall(); // the line shows one call: the newest caller is the one to see
    }
    m_sinceLastCall.start();
    m_callId = ++m_callCounter;
    m_connection = event.connection;
    m_dataCallId = m_callId;
    m_callData = CallData();
    m_callData.callerIdFlags = event.caller.callerIdFlags();
    m_callData.callerId = event.caller.number();
    m_callData.callerIdName = event.caller.name();
    m_callData.calledId = event.called;
    m_callData.display = event.caller.rawText();
    m_ringTimer.start(m_source.protocol == NetworkSource::Ncid ? m_config.ringTimeoutMs
                                                               : kCallMonitorCallLimitMs);
    emit callStateChanged(m_callId, LINECALLSTATE_OFFERING, LINEOFFERINGMODE_ACTIVE);
    emit callInfoChanged(m_callId, LINECALLINFOSTATE_CALLERID);
    return true;
}

void NetworkDevice::endCall()
{
    if (!m_callId)
        return;
    m_ringTimer.stop();
    const int id = std::exchange(m_callId, 0);
    m_connection.clear();
    emit callStateChanged(id, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
    emit callStateChanged(id, LINECALLSTATE_IDLE, 0);
}

void NetworkDevice::answerCall(int, Done done)
{
    later(this, [done] { done(LONG(LINEERR_OPERATIONUNAVAIL)); });
}

void NetworkDevice::dropCall(int, Done done)
{
    later(this, [done] { done(LONG(LINEERR_OPERATIONUNAVAIL)); });
}

CallData NetworkDevice::callData(int callId) const
{
    return callId == m_dataCallId ? m_callData : CallData();
}

QList<QSharedPointer<LineDevice>> NetworkProvider::devices()
{
    const NetworkConfig config = NetworkConfig::load();
    QList<QSharedPointer<LineDevice>> result;
    QHash<QByteArray, QSharedPointer<NetworkDevice>> present;
    for (const NetworkSource &source : config.sources) {
        QSharedPointer<NetworkDevice> device = m_known.value(source.lineName);
        if (device)
            device->setConfig(config);
        else
            device.reset(new NetworkDevice(source, config));
        present.insert(source.lineName, device);
        result.append(device);
    }
    m_known = present;
    return result;
}

} // namespace telephony
