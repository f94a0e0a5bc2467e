#include "IsdnSimulator.h"

#include "SimMessages.h"

#include <QHostAddress>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

using sim::commandName;
using sim::MessageReader;
using sim::MessageWriter;

namespace {

constexpr uint8_t kFrameType = 0x80;
constexpr uint8_t kAdminCommand = 0x20;
constexpr uint16_t kSupplementaryServices = 3;

enum : uint16_t
{
    AlertReq = 0x0180,
    ConnectInd = 0x0282,
    ConnectResp = 0x0283,
    ConnectActiveInd = 0x0382,
    ConnectActiveResp = 0x0383,
    DisconnectReq = 0x0480,
    DisconnectInd = 0x0482,
    DisconnectResp = 0x0483,
    ListenReq = 0x0580,
    FacilityReq = 0x8080,
    FacilityConf = 0x8081,
    FacilityInd = 0x8082,
    ConnectB3Ind = 0x8282,
    ConnectB3Resp = 0x8283,
    ConnectB3ActiveInd = 0x8382,
    DisconnectB3Req = 0x8480,
    DisconnectB3Ind = 0x8482,
    DataB3Req = 0x8680,
    DataB3Conf = 0x8681,
    DataB3Ind = 0x8682,
    DataB3Resp = 0x8683,
};

QString hex(uint32_t v, int width = 4)
{
    return QStringLiteral("0x%1")
        .arg(v, width, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("0X"), QLatin1String("0x"));
}

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QByteArray withFrame(const QByteArray &message)
{
    QByteArray frame;
    frame.append(char(kFrameType));
    frame.append(char(message.size() & 0xFF));
    frame.append(char(message.size() >> 8));
    return frame + message;
}

} // namespace

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

// ---- CAPI messages ----

void IsdnSimulator::handleMessage(Connection *c, const QByteArray &message)
{
    if (!c->applId) {
        log(QStringLiteral("message from an unregistered connection ignored"));
        return;
    }
    const uint16_t command = uint16_t(uint8_t(message[4]) << 8 | uint8_t(message[5]));
    const uint16_t number = uint16_t(uint8_t(message[6]) | (uint8_t(message[7]) << 8));
    if (m_muted) {
        MessageReader r(message);
        const uint32_t identifier = r.u32();
        const uint32_t value = r.u32();
        observe({c->applId, command, identifier, value, r.u32(), -1});
        log(QStringLiteral("appl %1: %2 (muted, no answer)").arg(c->applId).arg(commandName(command)));
        return;
    }
    handleCallMessage(c->applId, command, number, message);
}

void IsdnSimulator::handleCallMessage(uint16_t app, uint16_t command, uint16_t number,
                                      const QByteArray &message)
{
    MessageReader r(message);
    const QString who = QStringLiteral("appl %1: %2").arg(app).arg(commandName(command));
    switch (command) {
    case ListenReq: {
        const uint32_t controller = r.u32() & 0x7F;
        const uint32_t infoMask = r.u32();
        const uint32_t cipMask = r.u32();
        uint16_t info = takeFailure(command);
        if (!info && (controller < 1 || int(controller) > m_controllers))
            info = 0x2002;
        if (!info)
            m_listens[app][uint8_t(controller)] = {infoMask, cipMask};
        observe({app, command, controller, infoMask, cipMask, -1});
        log(who + QStringLiteral(" controller %1, info mask %2, CIP mask %3 -> info %4")
                      .arg(controller)
                      .arg(hex(infoMask, 8), hex(cipMask, 8), hex(info)));
        confirm(app, command, number, controller, info);
        break;
    }
    case AlertReq: {
        const uint32_t plci = r.u32();
        Call *call = callByPlci(plci);
        uint16_t info = takeFailure(command);
        if (!info && (!call || !call->offered.contains(app)))
            info = 0x2002;
        const qint64 elapsed = call ? call->clock.elapsed() : -1;
        observe({app, command, plci, info, 0, elapsed});
        log(who + QStringLiteral(" call %1 after %2").arg(hex(plci), seconds(qMax<qint64>(0, elapsed))));
        confirm(app, command, number, plci, info);
        break;
    }
    case ConnectResp: {
        const uint32_t plci = r.u32();
        const uint16_t reject = r.u16();
        Call *call = callByPlci(plci);
        const qint64 elapsed = call ? call->clock.elapsed() : -1;
        observe({app, command, plci, reject, 0, elapsed});
        if (!call || !call->offered.contains(app)) {
            log(who + QStringLiteral(" for unknown call %1 (reject %2)").arg(hex(plci)).arg(reject));
            break;
        }
        if (reject == 0) {
            log(who + QStringLiteral(" call %1: accepted after %2").arg(hex(plci), seconds(elapsed)));
            for (uint16_t other : call->offered)
                if (other != app)
                    disconnectIndication(*call, other, 0x3304);
            call->owner = app;
            send(app, MessageWriter(app, ConnectActiveInd, nextNumber())
                          .u32(plci)
                          .emptyStruct()
                          .emptyStruct()
                          .emptyStruct()
                          .finish());
        } else {
            log(who + QStringLiteral(" call %1: answered with reject %2 after %3")
                          .arg(hex(plci))
                          .arg(reject)
                          .arg(seconds(elapsed)));
            disconnectIndication(*call, app, 0);
        }
        break;
    }
    case ConnectActiveResp: {
        const uint32_t plci = r.u32();
        log(who + QStringLiteral(" call %1").arg(hex(plci)));
        observe({app, command, plci, 0, 0, -1});
        // The calling side opens the B channel connection at once.
        if (Call *call = callByPlci(plci))
            send(app,
                 MessageWriter(app, ConnectB3Ind, nextNumber()).u32(call->ncci()).emptyStruct().finish());
        break;
    }
    case ConnectB3Resp: {
        const uint32_t ncci = r.u32();
        const uint16_t reject = r.u16();
        observe({app, command, ncci, reject, 0, -1});
        Call *call = callByPlci(ncci & 0xFFFF);
        if (reject == 0 && call) {
            log(who + QStringLiteral(" %1: B channel accepted").arg(hex(ncci, 8)));
            call->b3Active = true;
            send(app, MessageWriter(app, ConnectB3ActiveInd, nextNumber()).u32(ncci).emptyStruct().finish());
        } else {
            log(who + QStringLiteral(" %1: B channel refused with reject %2").arg(hex(ncci, 8)).arg(reject));
        }
        break;
    }
    case DisconnectB3Req: {
        const uint32_t ncci = r.u32();
        Call *call = callByPlci(ncci & 0xFFFF);
        uint16_t info = takeFailure(command);
        if (!info && (!call || !call->b3Active))
            info = 0x2002;
        observe({app, command, ncci, info, 0, -1});
        log(who + QStringLiteral(" %1 -> info %2").arg(hex(ncci, 8), hex(info)));
        confirm(app, command, number, ncci, info);
        if (!info) {
            call->b3Active = false;
            send(app,
                 MessageWriter(app, DisconnectB3Ind, nextNumber()).u32(ncci).u16(0).emptyStruct().finish());
        }
        break;
    }
    case DisconnectReq: {
        const uint32_t plci = r.u32();
        Call *call = callByPlci(plci);
        uint16_t info = takeFailure(command);
        if (!info && (!call || !call->offered.contains(app)))
            info = 0x2002;
        observe({app, command, plci, info, 0, call ? call->clock.elapsed() : -1});
        log(who + QStringLiteral(" call %1 -> info %2").arg(hex(plci), hex(info)));
        confirm(app, command, number, plci, info);
        if (!info) {
            if (call->b3Active) {
                call->b3Active = false;
                send(app, MessageWriter(app, DisconnectB3Ind, nextNumber())
                              .u32(call->ncci())
                              .u16(0)
                              .emptyStruct()
                              .finish());
            }
            disconnectIndication(*call, app, 0);
        }
        break;
    }
    case DisconnectResp: {
        const uint32_t plci = r.u32();
        observe({app, command, plci, 0, 0, -1});
        log(who + QStringLiteral(" call %1").arg(hex(plci)));
        if (Call *call = callByPlci(plci))
            releaseFromCall(*call, app);
        break;
    }
    case FacilityReq: {
        const uint32_t identifier = r.u32();
        const uint16_t selector = r.u16();
        const QByteArray parameter = r.structure();
        const uint16_t function =
            parameter.size() >= 2 ? uint16_t(uint8_t(parameter[0]) | (uint8_t(parameter[1]) << 8)) : 0xFFFF;
        const int controller = int(identifier & 0x7F);
        uint16_t info = takeFailure(command);
        const bool hasServices = controller >= 1 && controller <= m_controllers &&
                                 (profileFor(m_controllers, controller)[4] & 0x10);
        if (!info && (selector != kSupplementaryServices || function != 0 || !hasServices))
            info = 0x300B;
        observe({app, command, identifier, selector, function, -1});
        log(who + QStringLiteral(" controller %1, selector %2, function %3 -> info %4")
                      .arg(controller)
                      .arg(selector)
                      .arg(function)
                      .arg(hex(info)));
        MessageWriter conf(app, FacilityConf, number);
        conf.u32(identifier).u16(info).u16(selector);
        if (info) {
            conf.emptyStruct();
        } else {
            QByteArray services;
            services.append(char(0)).append(char(0)); // info
            for (int i = 0; i < 4; ++i)
                services.append(char((kSupportedServices >> (8 * i)) & 0xFF));
            QByteArray content;
            content.append(char(0)).append(char(0)); // function 0
            content.append(char(services.size())).append(services);
            conf.structure(content);
        }
        send(app, conf.finish());
        break;
    }
    case DataB3Req: {
        const uint32_t ncci = r.u32();
        r.u32();
        const uint16_t length = r.u16();
        const uint16_t handle = r.u16();
        observe({app, command, ncci, length, handle, -1});
        log(who + QStringLiteral(" %1: %2 bytes, handle %3").arg(hex(ncci, 8)).arg(length).arg(handle));
        send(app,
             MessageWriter(app, DataB3Conf, number).u32(ncci).u16(handle).u16(takeFailure(command)).finish());
        break;
    }
    case DataB3Resp: {
        const uint32_t ncci = r.u32();
        const uint16_t handle = r.u16();
        observe({app, command, ncci, handle, 0, -1});
        log(who + QStringLiteral(" %1: handle %2").arg(hex(ncci, 8)).arg(handle));
        break;
    }
    default: {
        const uint32_t identifier = r.u32();
        observe({app, command, identifier, 0, 0, -1});
        log(who + QStringLiteral(" %1").arg(hex(identifier, 8)));
        break;
    }
    }
}

void IsdnSimulator::send(uint16_t applId, const QByteArray &message)
{
    Connection *c = m_apps.value(applId);
    if (c)
        c->socket->write(withFrame(message));
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

// ---- driving ----

uint32_t IsdnSimulator::offerCall(const SimCallSpec &spec, QString *error)
{
    if (spec.controller < 1 || spec.controller > m_controllers) {
        if (error)
            *error = QStringLiteral("no controller %1 (the simulator has %2)")
                         .arg(spec.controller)
                         .arg(m_controllers);
        return 0;
    }
    QList<uint16_t> listeners;
    for (auto it = m_listens.begin(); it != m_listens.end(); ++it) {
        const uint32_t mask = it.value().value(spec.controller).cipMask;
        if ((mask & 1) || (spec.cip < 32 && (mask & (1u << spec.cip))))
            listeners.append(it.key());
    }
    if (listeners.isEmpty()) {
        if (error)
            *error = QStringLiteral("no application listens for CIP %1 on controller %2")
                         .arg(spec.cip)
                         .arg(spec.controller);
        return 0;
    }
    if (++m_nextCallIndex == 0)
        m_nextCallIndex = 1;
    Call call;
    call.plci = spec.controller | (uint32_t(m_nextCallIndex) << 8);
    call.spec = spec;
    call.offered = listeners;
    call.clock.start();
    m_calls.append(call);
    if (m_calls.size() > 64)
        m_calls.removeFirst();
    {
        std::lock_guard lock(m_mutex);
        m_latestCall = call.plci;
    }
    QByteArray called;
    called.append(char(0x81)).append(spec.called.toLatin1());
    QByteArray calling;
    calling.append(char(spec.typeOfNumber)).append(char(spec.presentation)).append(spec.calling.toLatin1());
    for (uint16_t app : listeners) {
        log(QStringLiteral("call %1 on controller %2 offered to appl %3: calling \"%4\" (type of number %5, "
                           "presentation %6), called \"%7\", CIP %8")
                .arg(hex(call.plci))
                .arg(spec.controller)
                .arg(app)
                .arg(spec.calling, hex(spec.typeOfNumber, 2), hex(spec.presentation, 2), spec.called)
                .arg(spec.cip));
        MessageWriter w(app, ConnectInd, nextNumber());
        w.u32(call.plci).u16(spec.cip).structure(called).structure(calling);
        for (int i = 0; i < 6; ++i)
            w.emptyStruct();
        send(app, w.finish());
    }
    return call.plci;
}

bool IsdnSimulator::hangUp(uint32_t plci, uint16_t reason)
{
    if (plci == 0)
        plci = latestCall();
    Call *call = callByPlci(plci);
    if (!call || call->finished)
        return false;
    log(QStringLiteral("caller hung up call %1 (reason %2)").arg(hex(plci), hex(reason)));
    for (uint16_t app : call->offered) {
        if (call->b3Active && app == call->owner)
            send(app, MessageWriter(app, DisconnectB3Ind, nextNumber())
                          .u32(call->ncci())
                          .u16(0)
                          .emptyStruct()
                          .finish());
        disconnectIndication(*call, app, reason);
    }
    call->b3Active = false;
    if (call->offered.isEmpty()) {
        call->finished = true;
        std::lock_guard lock(m_mutex);
        m_finishedCalls.append(call->plci);
    }
    return true;
}

int IsdnSimulator::sendFacilityIndication(uint8_t controller, uint16_t function)
{
    int sent = 0;
    for (auto it = m_apps.begin(); it != m_apps.end(); ++it) {
        QByteArray content;
        content.append(char(function & 0xFF)).append(char(function >> 8)).append(char(0));
        send(it.key(), MessageWriter(it.key(), FacilityInd, nextNumber())
                           .u32(controller)
                           .u16(kSupplementaryServices)
                           .structure(content)
                           .finish());
        ++sent;
    }
    log(QStringLiteral("supplementary services indication (function %1) sent to %2 application(s)")
            .arg(function)
            .arg(sent));
    return sent;
}

bool IsdnSimulator::sendB3Data(uint32_t plci, const QByteArray &data)
{
    Call *call = callByPlci(plci);
    if (!call || !call->b3Active || !call->owner)
        return false;
    const uint16_t handle = ++m_dataHandle;
    // The data travels behind the message, as the driver expects it.
    const QByteArray message = MessageWriter(call->owner, DataB3Ind, nextNumber())
                                   .u32(call->ncci())
                                   .u32(0)
                                   .u16(uint16_t(data.size()))
                                   .u16(handle)
                                   .u16(0)
                                   .finish();
    Connection *c = m_apps.value(call->owner);
    if (!c)
        return false;
    QByteArray frame = withFrame(message + data);
    c->socket->write(frame);
    log(QStringLiteral("call %1: %2 bytes of B channel data, handle %3")
            .arg(hex(plci))
            .arg(data.size())
            .arg(handle));
    return true;
}

void IsdnSimulator::failNext(uint16_t requestCommand, uint16_t info)
{
    m_failures.insert(requestCommand, info);
    log(QStringLiteral("the next %1 fails with info %2").arg(commandName(requestCommand), hex(info)));
}

void IsdnSimulator::setMuted(bool muted)
{
    m_muted = muted;
    log(muted ? QStringLiteral("muted: requests get no answer") : QStringLiteral("answering again"));
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
