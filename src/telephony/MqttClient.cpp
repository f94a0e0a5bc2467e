#include "telephony/MqttClient.h"

#include <QMetaObject>
#include <QUrl>

#include <mosquitto.h>
#include <mqtt_protocol.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace telephony {

namespace {

constexpr int kKeepAliveSeconds = 30;
constexpr int kFirstRetryMs = 1000;
constexpr int kLastRetryMs = 30000;
constexpr int kLoopWaitMs = 500;
// How long a closing client waits for its farewell and disconnect to reach the broker.
constexpr int kCloseWaitMs = 1000;

QString errorText(int rc)
{
    if (rc == MOSQ_ERR_ERRNO)
        return QString::fromLocal8Bit(std::strerror(errno));
    return QString::fromUtf8(mosquitto_strerror(rc));
}

} // namespace

bool MqttBroker::parse(const QString &text, MqttBroker *broker)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains(QLatin1Char('/')) || trimmed.contains(QLatin1Char(' ')))
        return false;
    // The URL parser knows "[v6]:port"; the scheme is only there to let it.
    const QUrl url(QStringLiteral("mqtt://") + trimmed);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty())
        return false;
    const int port = url.port(0);
    if (port < 0 || port > 65535 || (trimmed.endsWith(QLatin1Char(':'))))
        return false;
    broker->host = url.host();
    broker->port = quint16(port);
    return true;
}

// What the client's thread shares with the client. The client may go while the thread still
// finishes a connect or a disconnect; the thread then owns what is left and frees it.
struct MqttClient::Worker
{
    mosquitto *mosq = nullptr;
    MqttBroker broker;
    QList<QByteArray> subscriptions;

    std::mutex mutex;
    std::condition_variable wake;
    MqttClient *owner = nullptr; // null once the client closed
    bool stopping = false;
    bool finished = false;
    bool reported = false;       // a callback told why the latest connection failed
    int retryMs = kFirstRetryMs; // the pause before the next try; the thread's own
    std::atomic<int> pending{0};

    // Runs F on the client's thread, unless the client is gone.
    template <typename F> void post(F f)
    {
        std::lock_guard lock(mutex);
        if (owner)
            QMetaObject::invokeMethod(owner, std::move(f), Qt::QueuedConnection);
    }

    void postDisconnected(const QString &reason)
    {
        reported = true;
        post([this, reason] {
            if (owner)
                owner->onDisconnected(reason);
        });
    }

    bool waitRetry()
    {
        std::unique_lock lock(mutex);
        wake.wait_for(lock, std::chrono::milliseconds(retryMs), [this] { return stopping; });
        retryMs = qMin(2 * retryMs, kLastRetryMs);
        return !stopping;
    }

    bool isStopping()
    {
        std::lock_guard lock(mutex);
        return stopping;
    }

    void run(std::shared_ptr<Worker> self);
};

void MqttClient::Worker::run(std::shared_ptr<Worker> self)
{
    mosquitto_property *props = nullptr;
    mosquitto_property_add_int32(&props, MQTT_PROP_MAXIMUM_PACKET_SIZE, kMaxMessageSize + 1024);
    const QByteArray host = broker.host.toUtf8();
    bool up = false;
    while (!isStopping()) {
        if (!up) {
            reported = false;
            const int rc = mosquitto_connect_bind_v5(mosq, host.constData(), broker.effectivePort(),
                                                     kKeepAliveSeconds, nullptr, props);
            if (rc != MOSQ_ERR_SUCCESS) {
                postDisconnected(errorText(rc));
                if (!waitRetry())
                    break;
                continue;
            }
            up = true;
        }
        const int rc = mosquitto_loop(mosq, kLoopWaitMs, 1);
        if (rc == MOSQ_ERR_SUCCESS)
            continue;
        up = false;
        if (isStopping())
            break;
        if (!reported)
            postDisconnected(errorText(rc));
        if (!waitRetry())
            break;
    }
    // The farewell and the disconnect close() queued go out before the socket closes.
    for (int i = 0; up && i < kCloseWaitMs / 100; ++i) {
        if (mosquitto_loop(mosq, 100, 1) != MOSQ_ERR_SUCCESS)
            break;
    }
    mosquitto_property_free_all(&props);
    mosquitto_destroy(mosq);
    mosq = nullptr;
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    wake.notify_all();
    self.reset();
}

MqttClient::MqttClient(QObject *parent) : QObject(parent)
{
    static std::once_flag init;
    std::call_once(init, [] { mosquitto_lib_init(); });
}

MqttClient::~MqttClient()
{
    close();
}

void MqttClient::setWill(const QByteArray &topic, const QByteArray &payload)
{
    m_willTopic = topic;
    m_willPayload = payload;
}

void MqttClient::setSubscriptions(const QList<QByteArray> &topics)
{
    m_subscriptions = topics;
}

void MqttClient::open(const MqttBroker &broker)
{
    close();
    auto worker = std::make_shared<Worker>();
    worker->broker = broker;
    worker->subscriptions = m_subscriptions;
    worker->owner = this;
    worker->mosq = mosquitto_new(nullptr, true, worker.get());
    if (!worker->mosq) {
        onDisconnected(errorText(MOSQ_ERR_NOMEM));
        return;
    }
    mosquitto *mosq = worker->mosq;
    mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_threaded_set(mosq, true);
    mosquitto_int_option(mosq, MOSQ_OPT_TCP_NODELAY, 1); // a call event is one small packet: at once
    if (!broker.user.isEmpty())
        mosquitto_username_pw_set(mosq, broker.user.toUtf8().constData(),
                                  broker.password.isEmpty() ? nullptr : broker.password.toUtf8().constData());
    if (broker.tls) {
        const QByteArray ca = broker.caFile.toLocal8Bit();
        const QByteArray cert = broker.certFile.toLocal8Bit();
        const int rc = mosquitto_tls_set(mosq, ca.isEmpty() ? nullptr : ca.constData(),
                                         ca.isEmpty() ? "/etc/ssl/certs" : nullptr,
                                         cert.isEmpty() ? nullptr : cert.constData(),
                                         cert.isEmpty() ? nullptr : cert.constData(), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            mosquitto_destroy(mosq);
            onDisconnected(errorText(rc));
            return;
        }
    }
    if (!m_willTopic.isEmpty())
        mosquitto_will_set(mosq, m_willTopic.constData(), int(m_willPayload.size()),
                           m_willPayload.constData(), 1, true);

    mosquitto_connect_v5_callback_set(
        mosq, [](mosquitto *m, void *obj, int rc, int, const mosquitto_property *) {
            auto *w = static_cast<Worker *>(obj);
            if (rc != 0) {
                w->postDisconnected(QString::fromUtf8(mosquitto_reason_string(rc)));
                return;
            }
            w->retryMs = kFirstRetryMs; // a broker that answered is tried again soon when lost
            for (const QByteArray &topic : std::as_const(w->subscriptions))
                mosquitto_subscribe(m, nullptr, topic.constData(), 1);
            w->post([w] {
                if (w->owner)
                    w->owner->onConnected();
            });
        });
    mosquitto_disconnect_v5_callback_set(
        mosq, [](mosquitto *, void *obj, int rc, const mosquitto_property *) {
            auto *w = static_cast<Worker *>(obj);
            // A refused connection was told by the connect callback, with the broker's reason.
            if (!w->isStopping() && !w->reported)
                w->postDisconnected(rc == MQTT_RC_NORMAL_DISCONNECTION ? QString() : errorText(rc));
        });
    mosquitto_message_v5_callback_set(
        mosq, [](mosquitto *, void *obj, const mosquitto_message *message, const mosquitto_property *) {
            auto *w = static_cast<Worker *>(obj);
            if (message->payloadlen > kMaxMessageSize || w->pending.load() >= kMaxPendingMessages)
                return;
            ++w->pending;
            QByteArray topic(message->topic);
            QByteArray payload(static_cast<const char *>(message->payload), message->payloadlen);
            const bool retained = message->retain;
            w->post([w, topic, payload, retained] {
                --w->pending;
                if (w->owner)
                    emit w->owner->messageReceived(topic, payload, retained);
            });
        });

    m_worker = worker;
    std::thread([worker]() mutable { worker->run(worker); }).detach();
}

void MqttClient::close(const QByteArray &farewellTopic, const QByteArray &farewell)
{
    if (!m_worker)
        return;
    std::shared_ptr<Worker> worker = std::exchange(m_worker, nullptr);
    {
        std::lock_guard lock(worker->mutex);
        worker->owner = nullptr;
    }
    if (m_connected && !farewellTopic.isEmpty())
        mosquitto_publish(worker->mosq, nullptr, farewellTopic.constData(), int(farewell.size()),
                          farewell.constData(), 1, true);
    mosquitto_disconnect(worker->mosq);
    {
        std::unique_lock lock(worker->mutex);
        worker->stopping = true;
        worker->wake.notify_all();
        // A connect under way may hold the thread longer; it finishes on its own then.
        worker->wake.wait_for(lock, std::chrono::milliseconds(kCloseWaitMs + kLoopWaitMs),
                              [&worker] { return worker->finished; });
    }
    m_connected = false;
}

bool MqttClient::publish(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    if (!m_worker || !m_connected)
        return false;
    return mosquitto_publish(m_worker->mosq, nullptr, topic.constData(), int(payload.size()),
                             payload.constData(), 1, retain) == MOSQ_ERR_SUCCESS;
}

void MqttClient::onConnected()
{
    m_connected = true;
    m_error.clear();
    emit connected();
}

void MqttClient::onDisconnected(const QString &reason)
{
    const bool wasConnected = std::exchange(m_connected, false);
    const QString text = reason.isEmpty() ? tr("veza s posrednikom je prekinuta") : reason;
    if (!wasConnected && text == m_error)
        return;
    m_error = text;
    emit disconnected(text);
}

} // namespace telephony
