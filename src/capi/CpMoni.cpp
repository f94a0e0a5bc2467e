#include "CpMoni.h"

#include "CpConst.h"

#include <QTimer>

TCapiMonitor::TCapiMonitor(QObject *parent) : QObject(parent) {}

TCapiMonitor::~TCapiMonitor()
{
    // The engine goes first: releasing it must not deliver events to a half-destroyed monitor.
    if (m_capi) {
        m_capi->OnMessage = nullptr;
        m_capi->OnNoConnections = nullptr;
    }
    m_capi.reset();
}

void TCapiMonitor::setActive(bool active)
{
    m_cipMask = active ? kListenAllCip : 0;
    const bool opened = open();
    m_active = active && opened;
    if (!m_keepAlive) {
        m_keepAlive = new QTimer(this);
        m_keepAlive->setInterval(kKeepAliveMs);
        connect(m_keepAlive, &QTimer::timeout, this, &TCapiMonitor::keepAliveTick);
    }
    if (m_active)
        m_keepAlive->start();
    else
        m_keepAlive->stop();
}

void TCapiMonitor::keepAliveTick()
{
    // Also during a call: a peer that dies while a call rings must not go unnoticed.
    if (!m_capi || !m_active)
        return;
    const bool sent = m_listenConfirmed && listen();
    if (sent)
        return;
    m_keepAlive->stop();
    m_active = false;
    m_error = 0x1009;
    m_errorString = CapiInfoText(int32_t(m_error));
    emit OnStateChange(false, false);
    emit OnLineLost();
}

bool TCapiMonitor::listen()
{
    m_listenConfirmed = false;
    return m_capi->putMessage(std::make_unique<TListenReq>(
        m_controller, 0x7F, m_cipMask, 0, std::make_unique<TCallingPartyNumber>(0x00, 0x80, QString()),
        std::make_unique<TCallingPartySubAddress>(0x80, QString())));
}

bool TCapiMonitor::Failed() const
{
    // 0x33xx: layers 1 to 3 ended the call; 0x34xx: the network's cause.
    const bool callEnded = m_error >= 0x3300 && m_error <= 0x34FF;
    return m_error != 0 && !callEnded;
}

void TCapiMonitor::updateErrorState()
{
    m_error = m_capi ? m_capi->lastError() : m_error;
    const QString text = m_capi ? m_capi->errorText() : QString();
    m_errorString = text.isEmpty() ? QStringLiteral("OK") : text;
}

bool TCapiMonitor::open()
{
    m_error = 0;
    stopCountdown();
    m_capi.reset();
    m_capi = std::make_unique<TCapi>(1, 2, 128);
    updateErrorState();
    if (m_error != 0) {
        m_capi.reset();
        return false;
    }
    m_capi->OnMessage = [this](TConnection *c, TCapiMessage &m, bool &respond) {
        handleMessage(c, m, respond);
    };
    m_capi->OnNoConnections = [this](TCapi *) { emit OnDoResetCapi(this); };
    if (!listen()) {
        updateErrorState();
        m_capi.reset();
        emit OnStateChange(false, false);
        return false;
    }
    emit OnStateChange(false, true);
    return m_error == 0;
}

void TCapiMonitor::handleMessage(TConnection *connection, TCapiMessage &message, bool &respond)
{
    updateErrorState();
    switch (message.command()) {
    case capicmd::ConnectInd:
        handleConnectInd(connection, static_cast<TConnectInd &>(message));
        break;
    case capicmd::ConnectB3Ind: {
        // An accepted call is cut off as soon as its B channel is offered.
        respond = false;
        auto &m = static_cast<TConnectB3Ind &>(message);
        auto refuse = std::make_unique<TConnectB3Resp>(m.ncci(), 2);
        refuse->header().MessageNumber = m.header().MessageNumber;
        m_capi->putMessage(std::move(refuse));
        m_capi->disconnect(connection);
        emit OnStateChange(false, false);
        break;
    }
    case capicmd::DisconnectInd:
        stopCountdown();
        emit OnDisconnectInfo(m_lastRejectCause, static_cast<TDisconnectInd &>(message).reason());
        emit OnStateChange(false, true);
        break;
    case capicmd::ListenConf:
        m_listenConfirmed = true;
        emit OnStateChange(false, true);
        break;
    default:
        break;
    }
}

void TCapiMonitor::handleConnectInd(TConnection *connection, TConnectInd &message)
{
    if (connection)
        connection->tag = this;

    QString calling = message.callingPartyNumber().digits();
    const uint8_t typeOfNumber = message.callingPartyNumber().octet1();
    if (!calling.isEmpty()) {
        if (!calling.startsWith(QLatin1Char('0')) && (typeOfNumber & 0x10))
            calling.prepend(QLatin1Char('0'));
        else if (typeOfNumber & 0x20)
            calling.prepend(QLatin1Char('0'));
    }
    const QString calledReceived = message.calledPartyNumber().text();
    QString called = calledReceived;
    if (!called.isEmpty() && !called.startsWith(QLatin1Char('0')))
        called.prepend(QLatin1Char('0'));

    uint16_t cause = 0xFFFF;
    m_lastRejectCause = 0xFFFF;
    emit OnRejectCallQuestion(calling, called, message.cipValue(), cause);

    if (cause != 0xFFFF) {
        RespondToCall(cause);
    } else if (m_noDisturbMode) {
        RespondToCall(0);
    } else if (m_rejectTimeOut > 0) {
        m_remainingSeconds = m_rejectTimeOut;
        if (!m_timer) {
            m_timer = new QTimer(this);
            connect(m_timer, &QTimer::timeout, this, &TCapiMonitor::timerTick);
        }
        m_timer->setInterval(1000);
        m_timer->start();
        // Signal the call as ringing while it waits.
        m_capi->putMessage(std::make_unique<TAlertReq>(message.plci()));
    } else {
        RespondToCall(1);
    }

    emit OnStateChange(cause == 0xFFFF && m_rejectTimeOut > 0 && !m_noDisturbMode, false);
    emit OnIncomingCall(calling, calledReceived, message.cipValue(), CipValueText(message.cipValue()));
}

void TCapiMonitor::timerTick()
{
    --m_remainingSeconds;
    if (m_remainingSeconds < 1)
        RespondToCall(1);
}

void TCapiMonitor::stopCountdown()
{
    m_remainingSeconds = 0;
    if (m_timer)
        m_timer->stop();
}

void TCapiMonitor::RespondToCall(uint16_t rejectValue)
{
    if (!m_capi)
        return;
    TConnection *offered = nullptr;
    TConnections &list = m_capi->connections();
    for (int i = 0; i < list.count() && !offered; ++i) {
        if (list.item(i)->tag == this && list.item(i)->state == kConnOffered)
            offered = list.item(i);
    }
    if (!offered) {
        // Nothing to answer; a countdown of a call that went away stops here.
        stopCountdown();
        return;
    }
    emit OnStateChange(false, false);
    stopCountdown();
    m_lastRejectCause = rejectValue;
    // Decided: the call is no longer offered, so a second answer cannot go out for it.
    offered->state = kConnDisconnected;
    auto answer = rejectValue != 0 ? std::make_unique<TConnectResp>(offered->plci(), rejectValue)
                                   : std::make_unique<TConnectResp>(offered->plci(), 0,
                                                                    std::make_unique<TBProtocol>(1, 1, 0));
    answer->header().MessageNumber = offered->offerNumber;
    m_capi->putMessage(std::move(answer));
}
