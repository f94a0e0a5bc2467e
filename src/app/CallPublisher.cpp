#include "app/CallPublisher.h"

#include "app/CallMonitor.h"
#include "settings/Settings.h"
#include "telephony/MqttConfig.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

using telephony::MqttBroker;
using telephony::MqttConfig;

namespace {

// How soon after a refused or lost connection the password file is read again.
constexpr int kRecheckMs = 3000;

const char *const kEventTypes[] = {"ringing", "identified", "ended", "rejected"};

QByteArray json(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

CallPublisher::CallPublisher(const Settings &settings, CallMonitor &calls, std::function<void()> reject,
                             QObject *parent)
    : QObject(parent), m_settings(settings), m_reject(std::move(reject))
{
    m_applyTimer.setSingleShot(true);
    connect(&m_applyTimer, &QTimer::timeout, this, &CallPublisher::apply);
    // The options are saved one value at a time: the connection follows once they all are.
    connect(&settings, &Settings::valueChanged, this, [this](Settings::Key key) {
        if (key >= Settings::MqttPublish || key == Settings::DeviceName)
            m_applyTimer.start(0);
    });
    connect(&settings, &Settings::currentDeviceNameChanged, this, [this] { m_applyTimer.start(0); });
    connect(&m_client, &telephony::MqttClient::connected, this, &CallPublisher::onConnected);
    // While the broker refuses or is away, a password corrected in its file is taken.
    connect(&m_client, &telephony::MqttClient::disconnected, this, [this] {
        showNote();
        m_recheckTimer.start();
    });
    m_recheckTimer.setInterval(kRecheckMs);
    connect(&m_recheckTimer, &QTimer::timeout, this, &CallPublisher::apply);
    connect(&m_client, &telephony::MqttClient::messageReceived, this, &CallPublisher::onMessage);

    connect(&calls, &CallMonitor::callCounted, this, [this] {
        m_inCall = true;
        publishEvent("ringing");
    });
    connect(&calls, &CallMonitor::callPresented, this, &CallPublisher::identified);
    connect(&calls, &CallMonitor::callRejected, this, [this] {
        m_inCall = false;
        publishEvent("rejected");
    });
    connect(&calls, &CallMonitor::callEnded, this, [this] {
        m_inCall = false;
        publishEvent("ended");
    });
    apply();
}

CallPublisher::~CallPublisher()
{
    m_client.close(topic("status"), "offline");
}

QString CallPublisher::prefix() const
{
    const QString chosen = m_settings.text(Settings::MqttPrefix).trimmed();
    return telephony::IsValidMqttPrefix(chosen)
               ? chosen
               : telephony::DefaultMqttPrefix(m_settings.currentDeviceName());
}

QByteArray CallPublisher::topic(const char *leaf) const
{
    return m_prefix.toUtf8() + '/' + leaf;
}

void CallPublisher::apply()
{
    const Settings &s = m_settings;
    MqttBroker broker;
    m_badBroker = s.flag(Settings::MqttPublish) && !MqttBroker::parse(s.text(Settings::MqttBroker), &broker);
    const bool on = s.flag(Settings::MqttPublish) && !m_badBroker;
    broker.tls = s.flag(Settings::MqttTls);
    broker.caFile = s.text(Settings::MqttCaFile);
    broker.certFile = s.text(Settings::MqttClientCert);
    broker.user = s.text(Settings::MqttUser);
    // The password comes from the keyring, which answers later; the latest question counts.
    const int attempt = ++m_applying;
    MqttConfig::load().readCredentials(broker, this,
                                       [this, on, attempt](const MqttBroker &found, const QString &error) {
                                           if (attempt != m_applying)
                                               return;
                                           if (!error.isEmpty())
                                               qWarning("%s", qPrintable(error));
                                           applyBroker(on, found);
                                       });
}

void CallPublisher::applyBroker(bool on, const MqttBroker &broker)
{
    // Settings of their own for each connection: a change of any of them connects again.
    const QString wanted = on ? QStringList{prefix(),
                                            broker.host,
                                            QString::number(broker.effectivePort()),
                                            QString::number(broker.tls),
                                            broker.caFile,
                                            broker.certFile,
                                            broker.user,
                                            broker.password}
                                    .join(QChar(0))
                              : QString();
    if (wanted == m_applied) {
        showNote();
        return;
    }
    m_client.close(topic("status"), "offline");
    m_applied = wanted;
    m_queue.clear();
    m_dropped = 0;
    if (on) {
        m_prefix = prefix();
        m_client.setWill(topic("status"), "offline");
        m_client.setSubscriptions({topic("reject")});
        m_client.open(broker);
        m_recheckTimer.start();
    } else {
        m_recheckTimer.stop();
    }
    showNote();
}

void CallPublisher::onConnected()
{
    m_recheckTimer.stop();
    send(topic("status"), "online", true);
    publishDiscovery();
    const QList<Message> waiting = std::exchange(m_queue, {});
    for (const Message &message : waiting)
        send(message.topic, message.payload, message.retain);
    m_dropped = 0;
    showNote();
}

void CallPublisher::onMessage(const QByteArray &topic, const QByteArray &, bool retained)
{
    // A reject kept by the broker is an old one: it must not turn away a call that came later.
    if (topic == this->topic("reject") && !retained && m_inCall)
        m_reject();
}

void CallPublisher::publishEvent(const char *type, QJsonObject fields)
{
    if (m_applied.isEmpty())
        return;
    fields.insert(QStringLiteral("event_type"), QLatin1String(type));
    fields.insert(QStringLiteral("time"), QDateTime::currentDateTime()
                                              .toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                                              .toString(Qt::ISODate));
    fields.insert(QStringLiteral("line"), m_settings.currentDeviceName());
    const QByteArray payload = json(fields);
    send(topic("call"), payload, false);
    if (qstrcmp(type, "identified") == 0)
        send(topic("last_call"), payload, true);
}

void CallPublisher::identified(const PresentedCall &call)
{
    QJsonObject fields{
        {QStringLiteral("number"), call.number},
        {QStringLiteral("digits"), call.caller.number},
        {QStringLiteral("called_number"), call.calledNumber},
        {QStringLiteral("called_digits"), call.caller.calledNumber},
        {QStringLiteral("withheld"), call.caller.withheld},
        {QStringLiteral("unavailable"), call.caller.unavailable},
    };
    // The address book stays on this computer when the user says so: the number only.
    if (!m_settings.flag(Settings::MqttNumberOnly)) {
        fields.insert(QStringLiteral("name"), call.known ? call.name : call.caller.name);
        fields.insert(QStringLiteral("known"), call.known);
        fields.insert(QStringLiteral("group"), call.group);
    }
    publishEvent("identified", fields);
}

void CallPublisher::send(const QByteArray &topic, const QByteArray &payload, bool retain)
{
    if (m_client.publish(topic, payload, retain))
        return;
    if (m_queue.size() >= kMaxQueued) {
        m_queue.removeFirst();
        ++m_dropped;
    }
    m_queue.append({topic, payload, retain});
    showNote();
}

void CallPublisher::publishDiscovery()
{
    const QString node = QString(m_prefix).replace(QLatin1Char('/'), QLatin1Char('_'));
    const QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{node}},
        {QStringLiteral("name"), QStringLiteral("Tellwise Monitor ") + m_prefix},
        {QStringLiteral("manufacturer"), QStringLiteral("Kavelink")},
        {QStringLiteral("model"), QStringLiteral("Tellwise Monitor")},
    };
    const auto config = [&](const char *component, const char *object, QJsonObject body) {
        body.insert(QStringLiteral("unique_id"), node + QLatin1Char('_') + QLatin1String(object));
        body.insert(QStringLiteral("availability_topic"), QString::fromUtf8(topic("status")));
        body.insert(QStringLiteral("device"), device);
        send("homeassistant/" + QByteArray(component) + '/' + node.toUtf8() + '/' + object + "/config",
             json(body), true);
    };
    config("sensor", "last_call",
           {{QStringLiteral("name"), tr("Zadnji poziv")},
            {QStringLiteral("icon"), QStringLiteral("mdi:phone-incoming")},
            {QStringLiteral("state_topic"), QString::fromUtf8(topic("last_call"))},
            {QStringLiteral("value_template"),
             QStringLiteral("{{ value_json.name if value_json.name else value_json.number }}")},
            {QStringLiteral("json_attributes_topic"), QString::fromUtf8(topic("last_call"))}});
    QJsonArray types;
    for (const char *type : kEventTypes)
        types.append(QLatin1String(type));
    config("event", "call",
           {{QStringLiteral("name"), tr("Poziv")},
            {QStringLiteral("icon"), QStringLiteral("mdi:phone-ring")},
            {QStringLiteral("state_topic"), QString::fromUtf8(topic("call"))},
            {QStringLiteral("event_types"), types}});
    config("button", "reject",
           {{QStringLiteral("name"), tr("Odbij poziv")},
            {QStringLiteral("icon"), QStringLiteral("mdi:phone-hangup")},
            {QStringLiteral("command_topic"), QString::fromUtf8(topic("reject"))},
            {QStringLiteral("payload_press"), QStringLiteral("reject")}});
}

void CallPublisher::showNote()
{
    QString note;
    if (m_badBroker)
        note = tr(" Dijeljenje poziva: adresa posrednika nije ispravna");
    if (!m_applied.isEmpty() && !m_client.isConnected()) {
        note = tr(" Dijeljenje poziva: posrednik se ne javlja");
        if (!m_client.error().isEmpty())
            note += QStringLiteral(" (%1)").arg(m_client.error());
        if (m_dropped > 0)
            note +=
                tr("; najstarijih događaja odbačeno: %1 (čuva se zadnjih %2)").arg(m_dropped).arg(kMaxQueued);
    }
    if (note == m_note)
        return;
    m_note = note;
    emit noteChanged(note);
}
