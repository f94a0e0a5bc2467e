#pragma once

#include "telephony/LinePasswords.h"
#include "telephony/MqttClient.h"

#include <QList>
#include <QString>

namespace telephony {

// A line that shows the calls another monitor publishes: "PREFIX@HOST[:PORT]".
struct MqttLine
{
    QString prefix; // the other monitor's topic prefix, "tellwise/kitchen"
    MqttBroker broker;

    // "MQTT tellwise/kitchen@broker.lan:1883": the DeviceName.
    QString lineName() const;
    // "tellwise/kitchen@broker.lan:1883"
    QString address() const;

    // False for an empty or wildcard prefix, a prefix with empty levels, or a bad broker.
    static bool parse(const QString &text, MqttLine *line);
};

// tellwise/<line id>: the prefix a monitor publishes under unless the user chose one.
QString DefaultMqttPrefix(const QString &deviceName);
// A topic prefix that can carry our topics: levels without MQTT wildcards, none empty.
bool IsValidMqttPrefix(const QString &prefix);

// Group [Network] of the modem configuration file: Mqtt (comma-separated lines), MqttPasswordFile
// (one "USER@HOST PASSWORD" a line, for the lines and the publishing alike), MqttCaFile (TLS to
// the lines' brokers, trusting these authorities).
struct MqttConfig
{
    QList<MqttLine> lines;
    QString passwordFile;
    QString caFile;

    static MqttConfig load();
    // The user and password for BROKER: USER@HOST's entry in the keyring, else its line of the
    // file; with no USER given, the user of the file's first line for HOST. Answered to DONE on
    // CONTEXT's thread once the keyring answered: BROKER with the user and password found, and why
    // a store was passed over (a file others than its owner may read is refused).
    void readCredentials(const MqttBroker &broker, QObject *context,
                         std::function<void(const MqttBroker &, const QString &error)> done) const;
    LinePasswords passwords() const { return LinePasswords(LinePasswords::Mqtt, passwordFile); }
    // KEY's (USER@HOST) password stored, in a file named beside the configuration file when
    // none is named yet and no keyring runs; ANSWER says where it went.
    static bool savePassword(const QString &key, const QString &password, LinePasswords::Answer *answer);
    // LINE's broker with TLS filled in; the line reads its credentials when it starts.
    MqttBroker brokerOf(const MqttLine &line) const;
};

} // namespace telephony
