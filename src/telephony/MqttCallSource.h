#pragma once

#include "telephony/CallSources.h"
#include "telephony/MqttClient.h"
#include "telephony/MqttConfig.h"

#include <QTimer>

namespace telephony {

// The calls another monitor publishes to an MQTT broker, shown as a line of this computer: its
// "call" topic brings ringing, identified and ended events; a reject publishes to its "reject"
// topic, and that monitor turns the caller away on its own line.
//
// A refused or lost broker loses the line; the client keeps trying by itself, and a start
// succeeds again once the broker answered. What the broker sends is read as JSON and taken only
// when it is a call event; everything else is ignored.
class MqttCallSource : public CallSource
{
    Q_OBJECT
public:
    MqttCallSource(const MqttLine &line, const MqttBroker &broker, QObject *parent = nullptr);
    ~MqttCallSource() override;

    bool start() override;
    void stop() override;
    bool isMonitoring() const override { return m_monitoring; }
    bool canReject() const override { return true; }
    void reject() override;
    int retryIntervalMs() const override { return kRetryMs; }
    static constexpr int kRetryMs = 1000;

    const MqttClient &client() const { return m_client; }

    static QList<LineInfo> lines();
    static std::unique_ptr<CallSource> create(const LineInfo &line, int rejectTimeOutSeconds);

private:
    void onMessage(const QByteArray &topic, const QByteArray &payload, bool retained);
    void onLost();
    void beginCall();
    void endCall();

    MqttLine m_line;
    MqttBroker m_broker;
    MqttClient m_client;
    QTimer m_callLimit;
    QByteArray m_callTopic;
    QByteArray m_statusTopic;
    bool m_monitoring = false;
    int m_attempt = 0; // counts the starts, so a late password finds its own
    bool m_inCall = false;
    bool m_identified = false;
};

} // namespace telephony
