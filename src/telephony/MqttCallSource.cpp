#include "telephony/MqttCallSource.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace telephony {

namespace {

// A call whose end never came (the other monitor died mid-call) is over after this long.
constexpr int kCallLimitMs = 5 * 60 * 1000;
// Texts longer than any telephone sends are cut.
constexpr qsizetype kMaxText = 128;

QString text(const QJsonObject &event, const char *key)
{
    return event.value(QLatin1String(key)).toString().left(kMaxText);
}

// What a telephone can send of TEXT: digits, + * #.
QString dialled(const QString &text)
{
    QString number;
    for (const QChar c : text) {
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('+') ||
            c == QLatin1Char('*') || c == QLatin1Char('#'))
            number.append(c);
    }
    return number;
}

} // namespace

MqttCallSource::MqttCallSource(const MqttLine &line, const MqttBroker &broker, QObject *parent)
    : CallSource(parent), m_line(line), m_broker(broker), m_callTopic(line.prefix.toUtf8() + "/call"),
      m_statusTopic(line.prefix.toUtf8() + "/status")
{
    m_client.setSubscriptions({m_callTopic, m_statusTopic});
    m_callLimit.setSingleShot(true);
    m_callLimit.setInterval(kCallLimitMs);
    connect(&m_callLimit, &QTimer::timeout, this, &MqttCallSource::endCall);
    connect(&m_client, &MqttClient::messageReceived, this, &MqttCallSource::onMessage);
    connect(&m_client, &MqttClient::disconnected, this, &MqttCallSource::onLost);
}

MqttCallSource::~MqttCallSource()
{
    m_client.close();
}

QList<LineInfo> MqttCallSource::lines()
{
    QList<LineInfo> result;
    for (const MqttLine &mqtt : MqttConfig::load().lines) {
        LineInfo line;
        line.name = mqtt.lineName();
        line.kindText = QStringLiteral("MQTT");
        line.identity = mqtt.address(); // the other monitor's prefix@broker
        line.host = mqtt.broker.host;
        line.tcpPort = mqtt.broker.effectivePort();
        line.showsName = line.showsNumber = line.showsWithheld = line.showsUnavailable = true;
        line.canReject = true;
        result.append(line);
    }
    return result;
}

std::unique_ptr<CallSource> MqttCallSource::create(const LineInfo &line, int)
{
    const MqttConfig config = MqttConfig::load();
    for (const MqttLine &mqtt : config.lines) {
        if (mqtt.lineName() == line.name)
            return std::make_unique<MqttCallSource>(mqtt, config.brokerOf(mqtt));
    }
    return nullptr;
}

bool MqttCallSource::start()
{
    if (m_monitoring)
        return true;
    if (m_client.isOpen() && m_client.isConnected())
        return m_monitoring = true;
    // A password corrected in the keyring or its file is taken without a restart; the keyring
    // answers later, and the connection is made or made again then.
    const int attempt = ++m_attempt;
    MqttConfig::load().readCredentials(
        m_broker, this, [this, attempt](const MqttBroker &fresh, const QString &error) {
            if (attempt != m_attempt)
                return;
            if (!error.isEmpty())
                qWarning("%s", qPrintable(error));
            if (!m_client.isOpen() || fresh.user != m_broker.user || fresh.password != m_broker.password) {
                m_broker = fresh;
                m_client.open(m_broker); // the broker's answer comes later; a refusal loses the line
            }
        });
    // A first start monitors from now on; a broker refusing already is retried until it answers.
    m_monitoring = !m_client.isOpen();
    return m_monitoring;
}

void MqttCallSource::stop()
{
    ++m_attempt;
    endCall();
    m_monitoring = false;
    m_client.close();
}

void MqttCallSource::reject()
{
    if (m_inCall)
        m_client.publish(m_line.prefix.toUtf8() + "/reject", "reject");
}

void MqttCallSource::onLost()
{
    if (!m_monitoring)
        return;
    endCall();
    m_monitoring = false;
    emit lineLost();
}

void MqttCallSource::onMessage(const QByteArray &topic, const QByteArray &payload, bool retained)
{
    if (!m_monitoring || (retained && topic == m_callTopic))
        return;
    if (topic == m_statusTopic) {
        if (payload == "offline") // the other monitor is gone, and its call with it
            endCall();
        return;
    }
    if (topic != m_callTopic)
        return;
    const QJsonObject event = QJsonDocument::fromJson(payload).object();
    const QString type = text(event, "event_type");
    if (type == QLatin1String("ringing")) {
        endCall(); // the line shows one call: the newest caller is the one to see
        beginCall();
    } else if (type == QLatin1String("identified")) {
        if (m_identified)
            endCall();
        if (!m_inCall)
            beginCall();
        if (!m_inCall) // stopped by whoever heard of the call
            return;
        m_identified = true;
        CallerId caller;
        caller.name = text(event, "name");
        caller.number = dialled(text(event, "digits"));
        caller.calledNumber = dialled(text(event, "called_digits"));
        caller.withheld = event.value(QLatin1String("withheld")).toBool();
        caller.unavailable = event.value(QLatin1String("unavailable")).toBool();
        if (caller.number.isEmpty() && !caller.withheld)
            caller.unavailable = true;
        emit callerKnown(caller);
    } else if (type == QLatin1String("ended") || type == QLatin1String("rejected")) {
        endCall();
    }
}

void MqttCallSource::beginCall()
{
    m_inCall = true;
    m_identified = false;
    m_callLimit.start();
    emit callOffered();
}

void MqttCallSource::endCall()
{
    if (!std::exchange(m_inCall, false))
        return;
    m_identified = false;
    m_callLimit.stop();
    emit callEnded();
}

} // namespace telephony
