#include "telephony/NetworkCallSource.h"

#include <QCoreApplication>
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
// A connection made while the line is lost waits this long for the line's retry to start it.
constexpr int kUnclaimedConnectionMs = 3000;

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

NetworkCallSource::NetworkCallSource(NetworkSource source, const NetworkConfig &config, QObject *parent)
    : CallSource(parent), m_source(std::move(source)), m_config(config)
{
    m_connectTimer.setSingleShot(true);
    m_ringTimer.setSingleShot(true);
    connect(&m_connectTimer, &QTimer::timeout, this, &NetworkCallSource::fail);
    connect(&m_ringTimer, &QTimer::timeout, this, &NetworkCallSource::endCall);
}

NetworkCallSource::~NetworkCallSource()
{
    closeSocket();
}

QList<LineInfo> NetworkCallSource::lines()
{
    QList<LineInfo> result;
    for (const NetworkSource &source : NetworkConfig::load().sources) {
        LineInfo line;
        line.name = QString::fromLatin1(source.lineName);
        line.kindText = source.protocol == NetworkSource::CallMonitor
                            ? QCoreApplication::translate("NetworkCallSource", "Nadzor poziva na usmjerivaču (TCP)")
                            : QCoreApplication::translate("NetworkCallSource", "NCID klijent (TCP)");
        line.host = source.host;
        line.tcpPort = source.port;
        line.showsName = source.protocol == NetworkSource::Ncid;
        line.showsNumber = line.showsWithheld = line.showsUnavailable = true;
        result.append(line);
    }
    return result;
}

std::unique_ptr<CallSource> NetworkCallSource::create(const LineInfo &line, int)
{
    const NetworkConfig config = NetworkConfig::load();
    for (const NetworkSource &source : config.sources) {
        if (QString::fromLatin1(source.lineName) == line.name)
            return std::make_unique<NetworkCallSource>(source, config);
    }
    return nullptr;
}

bool NetworkCallSource::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

bool NetworkCallSource::start()
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

void NetworkCallSource::stop()
{
    endCall();
    m_monitoring = false;
    closeSocket();
}

void NetworkCallSource::connectSocket()
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
    connect(m_socket, &QTcpSocket::readyRead, this, &NetworkCallSource::readSocket);
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

void NetworkCallSource::closeSocket()
{
    m_connectTimer.stop();
    if (!m_socket)
        return;
    QTcpSocket *socket = std::exchange(m_socket, nullptr);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater(); // may be inside one of its own signals
}

void NetworkCallSource::fail()
{
    if (!m_socket)
        return;
    m_failed = true;
    closeSocket();
    if (!m_monitoring)
        return;
    endCall();
    m_monitoring = false;
    emit lineLost();
}

void NetworkCallSource::readSocket()
{
    // A closed line keeps its bytes for the open; lines read before are handled first.
    if (!m_socket || !m_monitoring || !m_lines.isEmpty())
        return;
    m_reader.feed(m_socket->read(kReadChunk), [this](const QByteArray &line) { m_lines.append(line); });
    handleLines();
}

void NetworkCallSource::handleLines()
{
    const auto parse = m_source.protocol == NetworkSource::CallMonitor ? parseCallMonitorLine : parseNcidLine;
    while (m_monitoring && !m_lines.isEmpty()) {
        // A new call has its turn before the lines after it: whoever shows it does so before
        // its end in the same read is handled.
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

bool NetworkCallSource::handle(const NetworkEvent &event)
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

bool NetworkCallSource::beginCall(const NetworkEvent &event)
{
    if (m_callId) {
        if (m_sinceLastCall.isValid() && m_sinceLastCall.elapsed() < kMinCallSpacingMs)
            return false;
        endCall(); // the line shows one call: the newest caller is the one to see
    }
    m_sinceLastCall.start();
    m_callId = ++m_callCounter;
    m_connection = event.connection;
    m_ringTimer.start(m_source.protocol == NetworkSource::Ncid ? m_config.ringTimeoutMs
                                                               : kCallMonitorCallLimitMs);
    CallerId caller = event.caller.callerId();
    caller.calledNumber = QString::fromLatin1(event.called);
    const int id = m_callId;
    emit callOffered();
    if (id == m_callId) // not stopped by whoever heard of the call
        emit callerKnown(caller);
    return true;
}

void NetworkCallSource::endCall()
{
    if (!m_callId)
        return;
    m_ringTimer.stop();
    m_callId = 0;
    m_connection.clear();
    emit callEnded();
}

} // namespace telephony
