// The network side of calls: what the controller answers to each message, and the calls
// offered, ended and fed with data on request.
#include "IsdnSimulator.h"

#include "SimMessages.h"

using namespace sim;

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
    // A strict stack takes a response only with the message number of the indication it answers.
    if ((command & 0xFF) == 0x83 && !answersIndication(app, command, number)) {
        const uint32_t identifier = r.u32();
        observe({app, command, identifier, r.u16(), 0, -1});
        log(who + QStringLiteral(" %1 with message number %2 answers no indication: refused")
                      .arg(hex(identifier, 8))
                      .arg(number));
        return;
    }
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

// ---- driving ----

uint32_t IsdnSimulator::offerCall(const SimCallOffer &offer, QString *error)
{
    if (offer.controller < 1 || offer.controller > m_controllers) {
        if (error)
            *error = QStringLiteral("no controller %1 (the simulator has %2)")
                         .arg(offer.controller)
                         .arg(m_controllers);
        return 0;
    }
    QList<uint16_t> listeners;
    for (auto it = m_listens.begin(); it != m_listens.end(); ++it) {
        const uint32_t mask = it.value().value(offer.controller).cipMask;
        if ((mask & 1) || (offer.cip < 32 && (mask & (1u << offer.cip))))
            listeners.append(it.key());
    }
    if (listeners.isEmpty()) {
        if (error)
            *error = QStringLiteral("no application listens for CIP %1 on controller %2")
                         .arg(offer.cip)
                         .arg(offer.controller);
        return 0;
    }
    if (++m_nextCallIndex == 0)
        m_nextCallIndex = 1;
    Call call;
    call.plci = offer.controller | (uint32_t(m_nextCallIndex) << 8);
    call.offer = offer;
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
    called.append(char(0x81)).append(offer.called.toLatin1());
    QByteArray calling;
    calling.append(char(offer.typeOfNumber))
        .append(char(offer.presentation))
        .append(offer.calling.toLatin1());
    for (uint16_t app : listeners) {
        log(QStringLiteral("call %1 on controller %2 offered to appl %3: calling \"%4\" (type of number %5, "
                           "presentation %6), called \"%7\", CIP %8")
                .arg(hex(call.plci))
                .arg(offer.controller)
                .arg(app)
                .arg(offer.calling, hex(offer.typeOfNumber, 2), hex(offer.presentation, 2), offer.called)
                .arg(offer.cip));
        MessageWriter w(app, ConnectInd, nextNumber());
        w.u32(call.plci).u16(offer.cip).structure(called).structure(calling);
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
    if (!m_apps.contains(call->owner))
        return false;
    send(call->owner, message, data);
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
