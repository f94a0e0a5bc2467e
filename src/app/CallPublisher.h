#pragma once

#include "telephony/MqttClient.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class CallMonitor;
class Settings;
struct PresentedCall;

// Publishes the calls of the line this program watches to an MQTT broker, when the settings
// say so: each step of a call as a JSON event on PREFIX/call, the latest identified caller
// retained on PREFIX/last_call, "online"/"offline" retained on PREFIX/status (offline by the
// broker when the program dies), and Home Assistant's discovery messages. From the broker only
// PREFIX/reject is taken, and only while a call is in progress: it turns the caller away as
// "Odbij!" does.
//
// While the broker is away the latest kMaxQueued events wait and older ones are dropped; the
// note tells so.
class CallPublisher : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxQueued = 100;

    // reject: what "Odbij!" does.
    CallPublisher(const Settings &settings, CallMonitor &calls, std::function<void()> reject,
                  QObject *parent = nullptr);
    ~CallPublisher() override;

    // The prefix in force: MqttPrefix, or tellwise/<line id> from the device's name.
    QString prefix() const;
    // What the status bar shows of the publishing: empty while all is well or it is off.
    QString note() const { return m_note; }
    const telephony::MqttClient &client() const { return m_client; }

signals:
    void noteChanged(const QString &note);

private:
    // Connects, reconnects or disconnects by the settings.
    void apply();
    void applyBroker(bool on, const telephony::MqttBroker &broker);
    void onConnected();
    void onMessage(const QByteArray &topic, const QByteArray &payload, bool retained);
    void publishEvent(const char *type, QJsonObject fields = {});
    void identified(const PresentedCall &call);
    void send(const QByteArray &topic, const QByteArray &payload, bool retain);
    void publishDiscovery();
    void showNote();
    QByteArray topic(const char *leaf) const;

    struct Message
    {
        QByteArray topic;
        QByteArray payload;
        bool retain = false;
    };

    const Settings &m_settings;
    std::function<void()> m_reject;
    telephony::MqttClient m_client;
    QTimer m_applyTimer;
    QTimer m_recheckTimer;
    QString m_applied; // what the open connection was made for
    QString m_prefix;
    QList<Message> m_queue;
    int m_dropped = 0;
    bool m_badBroker = false; // publishing is on, to an address that is none
    int m_applying = 0;       // counts the applies, so a late password finds its own
    bool m_inCall = false;
    QString m_note;
};
