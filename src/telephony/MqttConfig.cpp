#include "telephony/MqttConfig.h"

#include "telephony/ModemConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostInfo>
#include <QSettings>

namespace telephony {

namespace {

QString hostText(const MqttBroker &broker)
{
    const QString host = broker.host.contains(QLatin1Char(':'))
                             ? QLatin1Char('[') + broker.host + QLatin1Char(']')
                             : broker.host;
    return host + QLatin1Char(':') + QString::number(broker.effectivePort());
}

// Letters and digits of TEXT in lower case, other runs as one "-".
QString slug(const QString &text)
{
    QString result;
    for (const QChar c : text.toLower()) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            result.append(c);
        else if (!result.isEmpty() && !result.endsWith(QLatin1Char('-')))
            result.append(QLatin1Char('-'));
    }
    while (result.endsWith(QLatin1Char('-')))
        result.chop(1);
    return result.left(48);
}

} // namespace

QString DefaultMqttPrefix(const QString &deviceName)
{
    QString id = slug(deviceName);
    if (id.isEmpty())
        id = slug(QHostInfo::localHostName());
    return QStringLiteral("tellwise/") + (id.isEmpty() ? QStringLiteral("line") : id);
}

bool IsValidMqttPrefix(const QString &prefix)
{
    if (prefix.isEmpty() || prefix.size() > 200)
        return false;
    for (const QString &level : prefix.split(QLatin1Char('/'))) {
        if (level.isEmpty() || level.contains(QLatin1Char('+')) || level.contains(QLatin1Char('#')))
            return false;
    }
    for (const QChar c : prefix) {
        if (c.unicode() < 0x20 || c.isSpace())
            return false;
    }
    return true;
}

QString MqttLine::lineName() const
{
    return QStringLiteral("MQTT ") + address();
}

QString MqttLine::address() const
{
    return prefix + QLatin1Char('@') + hostText(broker);
}

bool MqttLine::parse(const QString &text, MqttLine *line)
{
    const QString trimmed = text.trimmed();
    const qsizetype at = trimmed.lastIndexOf(QLatin1Char('@'));
    if (at <= 0)
        return false;
    MqttLine parsed;
    parsed.prefix = trimmed.left(at);
    if (!IsValidMqttPrefix(parsed.prefix) || !MqttBroker::parse(trimmed.mid(at + 1), &parsed.broker))
        return false;
    *line = parsed;
    return true;
}

MqttConfig MqttConfig::load()
{
    MqttConfig c;
    if (!QFile::exists(ModemConfig::filePath()))
        return c;
    QSettings s(ModemConfig::filePath(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Network"));
    for (const QString &entry : s.value(QStringLiteral("Mqtt")).toStringList()) {
        MqttLine line;
        if (!MqttLine::parse(entry, &line))
            continue;
        bool duplicate = false;
        for (const MqttLine &known : std::as_const(c.lines))
            duplicate = duplicate || known.lineName() == line.lineName();
        if (!duplicate)
            c.lines.append(line);
    }
    const auto path = [&s](const char *key) {
        QString file = s.value(QLatin1String(key)).toString();
        if (!file.isEmpty() && QFileInfo(file).isRelative())
            file = QFileInfo(ModemConfig::filePath()).absolutePath() + QLatin1Char('/') + file;
        return file;
    };
    c.passwordFile = path("MqttPasswordFile");
    c.caFile = path("MqttCaFile");
    return c;
}

bool MqttConfig::savePassword(const QString &key, const QString &password, LinePasswords::Answer *answer)
{
    MqttConfig c = load();
    if (c.passwordFile.isEmpty()) {
        QDir().mkpath(QFileInfo(ModemConfig::filePath()).absolutePath());
        QSettings s(ModemConfig::filePath(), QSettings::IniFormat);
        s.setValue(QStringLiteral("Network/MqttPasswordFile"), QStringLiteral("mqtt-passwords"));
        s.sync();
        c = load();
    }
    *answer = c.passwords().write(key, password);
    return password.isEmpty() || answer->store != PasswordStore::None;
}

void MqttConfig::readCredentials(const MqttBroker &broker, QObject *context,
                                 std::function<void(const MqttBroker &, const QString &)> done) const
{
    // Without a user (an MQTT line's address names none), the file's first entry for the host
    // names one, whose password the keyring may then hold.
    QString user = broker.user;
    if (user.isEmpty()) {
        const QString key = passwords().readFile(QLatin1Char('@') + broker.host).key;
        user = key.left(key.lastIndexOf(QLatin1Char('@')));
    }
    passwords().read(user + QLatin1Char('@') + broker.host, context,
                     [broker, done](const LinePasswords::Answer &answer) {
                         MqttBroker found = broker;
                         if (answer.store == PasswordStore::Keyring || answer.store == PasswordStore::File) {
                             found.user = answer.key.left(answer.key.lastIndexOf(QLatin1Char('@')));
                             found.password = answer.password;
                         }
                         done(found, answer.error);
                     });
}

MqttBroker MqttConfig::brokerOf(const MqttLine &line) const
{
    MqttBroker broker = line.broker;
    if (!caFile.isEmpty()) {
        broker.tls = true;
        broker.caFile = caFile;
    }
    return broker;
}

} // namespace telephony
