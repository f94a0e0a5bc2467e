#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

namespace telephony {

// Where an MQTT client connects, and as whom.
struct MqttBroker
{
    QString host;
    quint16 port = 0; // 0: 1883, or 8883 with TLS
    bool tls = false;
    QString caFile;   // TLS: the authorities to trust; empty for the system's
    QString certFile; // TLS: a client certificate with its key in one PEM file, optional
    QString user;     // empty: no user name
    QString password;

    quint16 effectivePort() const { return port ? port : (tls ? 8883 : 1883); }
    // "HOST", "HOST:PORT", "[v6 address]:PORT"; false for an empty host or a bad port.
    static bool parse(const QString &text, MqttBroker *broker);
};

// One connection to an MQTT broker, kept up by a thread of its own: it connects, subscribes to
// the topics given, and after a refused or lost connection tries again after 1 s, then twice as
// long each time up to 30 s. Everything it reports comes as queued signals on the thread that owns
// the client. Messages from the broker larger than kMaxMessageSize are never read (the broker is
// told so), and while more than kMaxPendingMessages wait for that thread the newest are dropped,
// so a flooding broker cannot grow the memory.
class MqttClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxMessageSize = 16 * 1024;
    static constexpr int kMaxPendingMessages = 64;

    explicit MqttClient(QObject *parent = nullptr);
    ~MqttClient() override;

    // Before open(): the message the broker publishes (retained) when the connection dies.
    void setWill(const QByteArray &topic, const QByteArray &payload);
    void setSubscriptions(const QList<QByteArray> &topics);

    // Starts connecting in the background; a client open already is closed first.
    void open(const MqttBroker &broker);
    // FAREWELL (topic, payload) is published retained before the connection is closed, when it is
    // up; no will is sent then. Waits at most a moment for the broker.
    void close(const QByteArray &farewellTopic = {}, const QByteArray &farewell = {});
    bool isOpen() const { return bool(m_worker); }
    bool isConnected() const { return m_connected; }
    // The reason of the last refused or lost connection; empty while connected.
    QString error() const { return m_error; }

    // QoS 1; false when the connection is not up (nothing is kept for later then).
    bool publish(const QByteArray &topic, const QByteArray &payload, bool retain = false);

    struct Worker;

signals:
    void connected();
    // The connection was refused or lost; the client keeps trying.
    void disconnected(const QString &reason);
    // RETAINED: the broker kept the message from before this connection.
    void messageReceived(const QByteArray &topic, const QByteArray &payload, bool retained);

private:
    void onConnected();
    void onDisconnected(const QString &reason);

    std::shared_ptr<Worker> m_worker;
    QByteArray m_willTopic;
    QByteArray m_willPayload;
    QList<QByteArray> m_subscriptions;
    bool m_connected = false;
    QString m_error;
};

} // namespace telephony
