#include "IsdnSimulator.h"

#include "SimMessages.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

using namespace sim;

IsdnSimulator::IsdnSimulator(int controllers, QObject *parent)
    : QObject(parent), m_server(new QTcpServer(this)), m_controllers(qBound(1, controllers, 127))
{
    connect(m_server, &QTcpServer::newConnection, this, &IsdnSimulator::acceptConnection);
}

IsdnSimulator::~IsdnSimulator()
{
    for (Connection *c : std::as_const(m_connections))
        delete c;
}

bool IsdnSimulator::listen(quint16 port)
{
    return m_server->listen(QHostAddress::LocalHost, port);
}

quint16 IsdnSimulator::port() const
{
    return m_server->serverPort();
}

void IsdnSimulator::setControllers(int n)
{
    m_controllers = qBound(1, n, 127);
    log(QStringLiteral("controllers: %1").arg(m_controllers));
}

QByteArray IsdnSimulator::profileFor(int controllers, int controller)
{
    QByteArray p(64, '\0');
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            p[at + i] = char((v >> (8 * i)) & 0xFF);
    };
    p[0] = char(controllers & 0xFF);
    p[1] = char(controllers >> 8);
    if (controller >= 1 && controller <= controllers) {
        p[2] = 2; // B channels of a basic rate interface
        // The first controller offers supplementary services and DTMF, the others only the basics.
        put32(4, controller == 1 ? 0x19 : 0x01);
        put32(8, 0x13);  // B1: HDLC, bit-transparent, T.30 modem
        put32(12, 0x13); // B2: X.75, transparent, T.30
        put32(16, 0x31); // B3: transparent, T.30, T.30 with extensions
    }
    return p;
}

// ---- connections ----

void IsdnSimulator::acceptConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        auto *c = new Connection;
        c->socket = socket;
        m_connections.append(c);
        connect(socket, &QTcpSocket::readyRead, this, [this, c] { readFrom(c); });
        connect(socket, &QTcpSocket::disconnected, this, [this, c] { dropConnection(c); });
    }
}

void IsdnSimulator::dropConnection(Connection *c)
{
    if (!m_connections.removeOne(c))
        return;
    if (c->applId) {
        log(QStringLiteral("appl %1: connection closed").arg(c->applId));
        for (Call &call : m_calls)
            releaseFromCall(call, c->applId);
        m_apps.remove(c->applId);
        m_listens.remove(c->applId);
        m_unanswered.remove(c->applId);
        std::lock_guard lock(m_mutex);
        --m_registered;
    }
    c->socket->deleteLater();
    delete c;
}

void IsdnSimulator::readFrom(Connection *c)
{
    c->buffer += c->socket->readAll();
    while (c->buffer.size() >= 3) {
        if (uint8_t(c->buffer[0]) != kFrameType) {
            log(QStringLiteral("bad frame type %1, connection dropped").arg(hex(uint8_t(c->buffer[0]), 2)));
            c->socket->abort();
            return;
        }
        const int length = uint8_t(c->buffer[1]) | (uint8_t(c->buffer[2]) << 8);
        if (c->buffer.size() < 3 + length)
            return;
        const QByteArray message = c->buffer.mid(3, length);
        c->buffer.remove(0, 3 + length);
        if (message.size() >= 8 && uint8_t(message[4]) == kAdminCommand)
            handleAdmin(c, message);
        else if (message.size() >= 8)
            handleMessage(c, message);
    }
}

void IsdnSimulator::handleAdmin(Connection *c, const QByteArray &message)
{
    const int kind = message.size() > 11 ? uint8_t(message[11]) : -1;
    const uint16_t number = uint16_t(uint8_t(message[6]) | (uint8_t(message[7]) << 8));
    // The driver reads these answers with a two-byte header (type, 8-bit length) and then the
    // body: application id at offset 2, info at 16, profile from 18.
    auto answer = [&](uint16_t applId, const QByteArray &tail) {
        QByteArray body(18, '\0');
        body += tail;
        body[0] = char(body.size());
        body[2] = char(applId & 0xFF);
        body[3] = char(applId >> 8);
        body[4] = char(kAdminCommand);
        body[5] = char(0x81);
        body[6] = char(number & 0xFF);
        body[7] = char(number >> 8);
        QByteArray frame;
        frame.append(char(kFrameType));
        frame.append(char(body.size()));
        c->socket->write(frame + body);
    };
    switch (kind) {
    case 0: { // register
        MessageReader r(message, 14);
        const uint16_t connections = r.u16();
        const uint16_t blocks = r.u16();
        const uint16_t size = r.u16();
        if (c->applId)
            m_apps.remove(c->applId);
        c->applId = allocateApplId();
        m_apps.insert(c->applId, c);
        {
            std::lock_guard lock(m_mutex);
            ++m_registered;
        }
        log(QStringLiteral("appl %1: registered (%2 connection(s), %3 blocks of %4 bytes)")
                .arg(c->applId)
                .arg(connections)
                .arg(blocks)
                .arg(size));
        answer(c->applId, {});
        break;
    }
    case 1: // release
        if (c->applId) {
            log(QStringLiteral("appl %1: released").arg(c->applId));
            for (Call &call : m_calls)
                releaseFromCall(call, c->applId);
            m_apps.remove(c->applId);
            m_listens.remove(c->applId);
            m_unanswered.remove(c->applId);
            c->applId = 0;
            std::lock_guard lock(m_mutex);
            --m_registered;
        }
        break;
    case 2: { // get profile
        MessageReader r(message, 14);
        answer(0, profileFor(m_controllers, r.u16()));
        break;
    }
    default:
        log(QStringLiteral("unknown administrative request %1").arg(kind));
        break;
    }
}

void IsdnSimulator::send(uint16_t applId, const QByteArray &message, const QByteArray &data)
{
    Connection *c = m_apps.value(applId);
    if (!c)
        return;
    c->socket->write(withFrame(message + data));
    if (uint8_t(message[5]) == 0x82) {
        const uint16_t response = uint16_t(uint8_t(message[4]) << 8 | 0x83);
        const uint16_t number = uint16_t(uint8_t(message[6]) | (uint8_t(message[7]) << 8));
        m_unanswered[applId].insert(uint32_t(response) << 16 | number);
    }
}

bool IsdnSimulator::answersIndication(uint16_t applId, uint16_t response, uint16_t number)
{
    return m_unanswered[applId].remove(uint32_t(response) << 16 | number);
}

void IsdnSimulator::confirm(uint16_t applId, uint16_t request, uint16_t number, uint32_t identifier,
                            uint16_t info)
{
    send(applId, MessageWriter(applId, uint16_t((request & 0xFF00) | 0x81), number)
                     .u32(identifier)
                     .u16(info)
                     .finish());
}

uint16_t IsdnSimulator::takeFailure(uint16_t request)
{
    return m_failures.take(request);
}

void IsdnSimulator::disconnectIndication(Call &call, uint16_t applId, uint16_t reason)
{
    send(applId, MessageWriter(applId, DisconnectInd, nextNumber()).u32(call.plci).u16(reason).finish());
}

void IsdnSimulator::releaseFromCall(Call &call, uint16_t applId)
{
    if (!call.offered.removeAll(applId) || !call.offered.isEmpty() || call.finished)
        return;
    call.finished = true;
    std::lock_guard lock(m_mutex);
    m_finishedCalls.append(call.plci);
}

IsdnSimulator::Call *IsdnSimulator::callByPlci(uint32_t plci)
{
    for (auto it = m_calls.rbegin(); it != m_calls.rend(); ++it)
        if (it->plci == plci)
            return &*it;
    return nullptr;
}

uint16_t IsdnSimulator::allocateApplId()
{
    // libcapi20 keeps application ids in a table shared by every process on the machine; a
    // random id keeps two simulators from handing out the same one. An id is not given twice
    // while others are left, so the records of one application never mix with an earlier one's.
    if (m_usedApplIds.size() >= 900)
        m_usedApplIds = QSet<uint16_t>(m_apps.keyBegin(), m_apps.keyEnd());
    for (;;) {
        const auto id = uint16_t(QRandomGenerator::global()->bounded(1, 1000));
        if (!m_usedApplIds.contains(id)) {
            m_usedApplIds.insert(id);
            return id;
        }
    }
}

// ---- records ----

void IsdnSimulator::log(const QString &line)
{
    {
        std::lock_guard lock(m_mutex);
        m_log.append(line);
    }
    emit logged(line);
}

void IsdnSimulator::observe(const SimObservation &o)
{
    std::lock_guard lock(m_mutex);
    m_observations.append(o);
}

QStringList IsdnSimulator::logLines() const
{
    std::lock_guard lock(m_mutex);
    return m_log;
}

QList<SimObservation> IsdnSimulator::observations() const
{
    std::lock_guard lock(m_mutex);
    return m_observations;
}

uint32_t IsdnSimulator::latestCall() const
{
    std::lock_guard lock(m_mutex);
    return m_latestCall;
}

bool IsdnSimulator::callFinished(uint32_t plci) const
{
    std::lock_guard lock(m_mutex);
    return m_finishedCalls.contains(plci);
}

int IsdnSimulator::registeredApplications() const
{
    std::lock_guard lock(m_mutex);
    return m_registered;
}
