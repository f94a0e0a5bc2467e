#include "CpHand.h"

#include "CpConst.h"
#include "CpDLL.h"

#include <QPointer>

namespace {
// The library's receive buffers are at least this large; a header that claims more is cut here.
constexpr int kMaxReceivedMessage = 2048;
constexpr uint32_t kDllErrorBase = 0x9000;
constexpr uint32_t kQueueEmpty = 0x1104;

uint16_t infoOf(TCapiMessage &message)
{
    if (auto *c = dynamic_cast<TCapiConfirmation *>(&message))
        return c->info();
    if (auto *d = dynamic_cast<TDataB3Conf *>(&message))
        return d->info();
    if (auto *f = dynamic_cast<TFacilityConf *>(&message))
        return f->info();
    return 0;
}
} // namespace

// ---- wait thread ----

TCapiCallBack::TCapiCallBack(uint32_t applId, TCapi *capi) : m_applId(applId), m_capi(capi)
{
    setObjectName(QStringLiteral("capi-wait"));
}

void TCapiCallBack::requestStop()
{
    m_terminated = true;
}

void TCapiCallBack::cancelHandover()
{
    std::lock_guard lock(m_mutex);
    m_cancelled = true;
    m_cv.notify_all();
}

void TCapiCallBack::run()
{
    int failures = 0;
    while (!m_terminated) {
        const uint32_t waited = capi::WaitForSignal(m_applId, TCapi::kWaitSliceMs);
        if (m_terminated)
            break;
        if (waited != 0) {
            // 0x1104 is the time-out; anything else (a lost link being re-established by the
            // library, for one) is not retried at full speed.
            if (waited != kQueueEmpty)
                QThread::msleep(quint32(qMin(500, 50 * ++failures)));
            continue;
        }
        uint8_t *buffer = nullptr;
        if (capi::GetMessage(m_applId, &buffer) != 0 || !buffer) {
            // A lost connection makes the wait return at once; do not spin on it.
            QThread::msleep(quint32(qMin(200, 10 * ++failures)));
            continue;
        }
        failures = 0;
        const int length = qBound(0, buffer[0] | (buffer[1] << 8), kMaxReceivedMessage);
        handOver(QByteArray(reinterpret_cast<const char *>(buffer), length));
        if (postPending.exchange(false) && !m_terminated) {
            QPointer<TCapi> capi(m_capi);
            QMetaObject::invokeMethod(
                m_capi,
                [capi] {
                    if (capi)
                        capi->noConnectionsEvent();
                },
                Qt::QueuedConnection);
        }
    }
}

void TCapiCallBack::handOver(const QByteArray &message)
{
    struct Job
    {
        bool done = false;
    };
    auto job = std::make_shared<Job>();
    {
        std::lock_guard lock(m_mutex);
        if (m_cancelled)
            return;
    }
    TCapi *capi = m_capi;
    QMetaObject::invokeMethod(
        m_capi,
        [this, capi, job, message] {
            bool cancelled;
            {
                std::lock_guard lock(m_mutex);
                cancelled = m_cancelled;
            }
            if (!cancelled)
                capi->handleMessage(message);
            std::lock_guard lock(m_mutex);
            job->done = true;
            m_cv.notify_all();
        },
        Qt::QueuedConnection);
    std::unique_lock lock(m_mutex);
    m_cv.wait(lock, [&] { return job->done || m_cancelled; });
}

// ---- application ----

TCapi::TCapi(uint32_t maxLogicalConnections, uint32_t maxB3DataBlocks, uint32_t maxB3DataBlockLength,
             QObject *parent)
    : QObject(parent), m_maxLogicalConnections(maxLogicalConnections), m_maxB3DataBlocks(maxB3DataBlocks),
      m_maxB3DataBlockLength(maxB3DataBlockLength)
{
    if (CapiDllStatus() == kCapiStatusNotLoaded)
        LoadCapiDll();
    if (CapiDllStatus() != kCapiStatusInstalled) {
        m_lastError = kDllErrorBase + uint32_t(CapiDllStatus());
        return;
    }
    const uint32_t r =
        capi::Register(uint32_t(CapiMessageBufferSize(int32_t(maxLogicalConnections))), maxLogicalConnections,
                       maxB3DataBlocks, maxB3DataBlockLength, &m_applId);
    if (r != 0) {
        m_lastError = r;
        return;
    }
    m_registered = true;
    m_thread = std::make_unique<TCapiCallBack>(m_applId, this);
    m_thread->start();
}

TCapi::~TCapi()
{
    release();
}

bool TCapi::put(TCapiMessagePtr message, const QByteArray &trailing)
{
    message->header().ApplId = uint16_t(m_applId);
    const QByteArray bytes = message->encode();
    const uint32_t r =
        capi::PutMessage(m_applId, reinterpret_cast<const uint8_t *>(bytes.constData()), trailing);
    if (r != 0)
        m_lastError = r;
    return r == 0;
}

bool TCapi::putMessage(TCapiMessagePtr message)
{
    m_lastError = 0;
    return put(std::move(message));
}

void TCapi::respond(TCapiMessagePtr message, uint16_t messageNumber)
{
    message->header().MessageNumber = messageNumber;
    put(std::move(message));
}

QString TCapi::errorText() const
{
    if (m_lastError == 0)
        return {};
    if (m_lastError >= kDllErrorBase)
        return CapiDllStatusText(int32_t(m_lastError - kDllErrorBase));
    return CapiInfoText(int32_t(m_lastError));
}

void TCapi::handleMessage(const QByteArray &bytes)
{
    TCapiMessagePtr message =
        CreateCapiMessage(reinterpret_cast<const uint8_t *>(bytes.constData()), bytes.size());
    switch (message->header().SubCommand) {
    case capicmd::Ind:
        handleIndication(*message);
        break;
    case capicmd::Conf:
        handleConfirmation(*message);
        break;
    default:
        break;
    }
    FreeCapiMessage(message);
}

void TCapi::handleIndication(TCapiMessage &message)
{
    m_lastError = 0;
    bool respondFlag = true;
    const uint16_t number = message.header().MessageNumber;
    auto hook = [&](TConnection *c) {
        if (OnMessage)
            OnMessage(c, message, respondFlag);
    };

    switch (message.command()) {
    case capicmd::ConnectInd: {
        auto &m = static_cast<TConnectInd &>(message);
        TConnection *c = m_connections.add();
        c->direction = 2;
        c->disconnectInitiator = 0;
        c->state = kConnOffered;
        c->setPlci(m.plci());
        c->offerNumber = number;
        hook(c); // the owner answers the call
        break;
    }
    case capicmd::ConnectActiveInd: {
        auto &m = static_cast<TConnectActiveInd &>(message);
        TConnection *c = m_connections.findByPlci(m.plci());
        if (c)
            c->state = kConnActive;
        respond(std::make_unique<TConnectActiveResp>(m.plci()), number);
        hook(c);
        if (respondFlag && c && m_connections.contains(c) && c->direction == 1)
            put(std::make_unique<TConnectB3Req>(c->plci()));
        break;
    }
    case capicmd::DisconnectInd: {
        auto &m = static_cast<TDisconnectInd &>(message);
        TConnection *c = m_connections.findByPlci(m.plci());
        if (!c) {
            respond(std::make_unique<TDisconnectResp>(m.plci()), number);
            break;
        }
        c->state = kConnDisconnected;
        m_lastError = m.reason();
        respond(std::make_unique<TDisconnectResp>(m.plci()), number);
        hook(c);
        if (!m_connections.contains(c))
            break;
        if (c->sending && OnSendFinished)
            OnSendFinished(c, false);
        m_connections.remove(c);
        if (OnNoConnections && m_connections.count() == 0 && m_thread)
            m_thread->postPending = true;
        break;
    }
    case capicmd::InfoInd: {
        auto &m = static_cast<TInfoInd &>(message);
        TConnection *c = m_connections.findByPlci(m.plci());
        respond(std::make_unique<TInfoResp>(m.plci()), number);
        hook(c);
        break;
    }
    case capicmd::FacilityInd: {
        auto &m = static_cast<TFacilityInd &>(message);
        respond(std::make_unique<TFacilityResp>(m.identifier(), m.facilitySelector()), number);
        hook(nullptr);
        break;
    }
    case capicmd::ConnectB3Ind: {
        auto &m = static_cast<TConnectB3Ind &>(message);
        TConnection *c = m_connections.findByPlci(m.ncci() & 0xFFFF);
        if (c) {
            c->state = kConnB3Pending;
            c->ncci = m.ncci();
        }
        hook(c);
        if (respondFlag)
            respond(std::make_unique<TConnectB3Resp>(m.ncci(), 0), number);
        break;
    }
    case capicmd::ConnectB3ActiveInd: {
        auto &m = static_cast<TConnectB3ActiveInd &>(message);
        TConnection *c = m_connections.findByNcci(m.ncci());
        if (c)
            c->state = kConnB3Active;
        respond(std::make_unique<TConnectB3ActiveResp>(m.ncci()), number);
        hook(c);
        break;
    }
    case capicmd::DisconnectB3Ind: {
        auto &m = static_cast<TDisconnectB3Ind &>(message);
        TConnection *c = m_connections.findByNcci(m.ncci());
        if (c) {
            c->state = kConnB3Disconnected;
            if (c->disconnectInitiator == 0)
                c->disconnectInitiator = 2;
        }
        respond(std::make_unique<TDisconnectB3Resp>(m.ncci()), number);
        hook(c);
        if (respondFlag && c && m_connections.contains(c) && c->disconnectInitiator == 1)
            put(std::make_unique<TDisconnectReq>(c->plci()));
        break;
    }
    case capicmd::DataB3Ind: {
        auto &m = static_cast<TDataB3Ind &>(message);
        hook(m_connections.findByNcci(m.ncci()));
        if (respondFlag)
            respond(std::make_unique<TDataB3Resp>(m.ncci(), m.dataHandle()), number);
        break;
    }
    case capicmd::ResetB3Ind: {
        auto &m = static_cast<TResetB3Ind &>(message);
        TConnection *c = m_connections.findByNcci(m.ncci());
        respond(std::make_unique<TResetB3Resp>(m.ncci()), number);
        hook(c);
        break;
    }
    case capicmd::ConnectB3T90ActiveInd: {
        auto &m = static_cast<TConnectB3T90ActiveInd &>(message);
        TConnection *c = m_connections.findByNcci(m.ncci());
        respond(std::make_unique<TConnectB3T90ActiveResp>(m.ncci()), number);
        hook(c);
        break;
    }
    default:
        hook(nullptr);
        break;
    }
}

void TCapi::handleConfirmation(TCapiMessage &message)
{
    const uint16_t info = infoOf(message);
    if (info > 0xFF)
        m_lastError = info;
    const bool success = info <= 0xFF;
    bool respondFlag = true;
    auto hook = [&](TConnection *c) {
        if (OnMessage)
            OnMessage(c, message, respondFlag);
    };

    switch (message.command()) {
    case capicmd::ConnectConf: {
        auto &m = static_cast<TConnectConf &>(message);
        TConnection *c = m_connections.findById(m.header().MessageNumber);
        if (c) {
            if (success) {
                c->state = kConnOffered;
                c->setPlci(m.identifier());
            } else {
                c->state = kConnDisconnected;
            }
        }
        hook(c);
        if (c && !success && m_connections.contains(c))
            m_connections.remove(c);
        break;
    }
    case capicmd::ConnectB3Conf: {
        auto &m = static_cast<TConnectB3Conf &>(message);
        TConnection *c = m_connections.findByPlci(m.identifier() & 0xFFFF);
        if (c && success) {
            c->state = kConnB3Pending;
            c->ncci = m.identifier();
        } else if (c) {
            put(std::make_unique<TDisconnectReq>(c->plci()));
        }
        hook(c);
        break;
    }
    case capicmd::DisconnectB3Conf: {
        auto &m = static_cast<TDisconnectB3Conf &>(message);
        TConnection *c = m_connections.findByNcci(m.identifier());
        if (c)
            c->state = kConnB3DisconnectRequested;
        hook(c);
        break;
    }
    case capicmd::DataB3Conf: {
        auto &m = static_cast<TDataB3Conf &>(message);
        TConnection *c = m_connections.findByNcci(m.ncci());
        hook(c);
        if (c && m_connections.contains(c)) {
            if (respondFlag)
                c->sendQueue.removeByHandle(m.dataHandle());
            if (c->sending)
                sendB3Data(c);
        }
        break;
    }
    case capicmd::AlertConf:
    case capicmd::DisconnectConf:
    case capicmd::InfoConf:
    case capicmd::SelectBProtocolConf:
        hook(m_connections.findByPlci(static_cast<TCapiConfirmation &>(message).identifier()));
        break;
    case capicmd::ResetB3Conf:
        hook(m_connections.findByNcci(static_cast<TCapiConfirmation &>(message).identifier()));
        break;
    default: // LISTEN_CONF, FACILITY_CONF and anything unknown
        hook(nullptr);
        break;
    }
}

bool TCapi::disconnect(TConnection *connection)
{
    m_lastError = 0;
    if (!m_connections.contains(connection))
        return false;
    switch (connection->state) {
    case kConnB3Active:
        connection->disconnectInitiator = 1;
        put(std::make_unique<TDisconnectB3Req>(connection->ncci));
        break;
    case kConnOffered:
    case kConnActive:
    case kConnB3Pending:
    case kConnB3DisconnectRequested:
    case kConnB3Disconnected:
        connection->disconnectInitiator = 1;
        put(std::make_unique<TDisconnectReq>(connection->plci()));
        break;
    default:
        break;
    }
    return m_lastError == 0;
}

bool TCapi::sendB3Data(TConnection *connection)
{
    if (!m_connections.contains(connection))
        return false;
    connection->sending = true;
    TB3DataQueue &queue = connection->sendQueue;
    bool finished = false;
    bool success = true;
    if (queue.sentCount() == queue.count()) {
        if (OnSendQueueEmpty)
            OnSendQueueEmpty(connection, finished, success);
        else
            finished = true;
    }
    int freeSlots = int(m_maxB3DataBlocks) - queue.sentCount();
    int sent = 0;
    if (!finished) {
        for (int i = 0; i < queue.count() && sent < freeSlots; ++i) {
            TB3SendItem &item = queue.item(i);
            if (item.sent)
                continue;
            auto req = std::make_unique<TDataB3Req>(connection->ncci, 0, item.dataLength, item.dataHandle,
                                                    item.flags);
            if (!put(std::move(req), item.data)) {
                queue.clear();
                break;
            }
            item.sent = true;
            ++sent;
        }
    }
    if (finished || sent < freeSlots) {
        connection->sending = false;
        if (OnSendFinished)
            OnSendFinished(connection, success && sent == freeSlots);
    }
    return true;
}

void TCapi::release()
{
    if (m_registered) {
        m_registered = false;
        m_thread->requestStop();
        m_thread->cancelHandover();
        // Its LISTEN_CONF wakes a thread that blocks in the library.
        put(std::make_unique<TListenReq>(1, 0x7F, 0x00000002, 0, std::make_unique<TStruct>(),
                                         std::make_unique<TStruct>()));
        bool ended = m_thread->wait(kReleaseWaitMs);
        const uint32_t r = capi::Release(m_applId);
        if (r != 0)
            m_lastError = r;
        // Releasing the application makes a wait that is still blocked return.
        if (!ended)
            ended = m_thread->wait(2 * kWaitSliceMs + 1000);
        if (ended) {
            m_thread.reset();
        } else {
            // Never block the caller for ever: let the thread clean up after itself.
            TCapiCallBack *orphan = m_thread.release();
            QObject::connect(orphan, &QThread::finished, orphan, &QObject::deleteLater);
        }
    }
    for (int i = 0; i < m_connections.count(); ++i) {
        TConnection *c = m_connections.item(i);
        if (c->sending && OnSendFinished)
            OnSendFinished(c, false);
    }
}

void TCapi::noConnectionsEvent()
{
    if (OnNoConnections)
        OnNoConnections(this);
}
