#include "settings/Settings.h"

#include "platform/Autostart.h"
#include "store/DataDir.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace {

const QString kOrganisation = QStringLiteral("Kavelink");
const QString kApplication = QStringLiteral("Tellwise Monitor");
const QString kSettingsGroup = QStringLiteral("Settings");
const QString kLocalesGroup = QStringLiteral("Locales");

// How a stored number becomes the value in memory, after the control that holds it:
//   Plain      anything readable is taken; missing or unreadable gives the default
//   Clamp      an up-down position: held into [min, max]
//   Choice     an item index or radio choice: outside [min, max] leaves the value as it was
//   IfPresent  as Choice, and a missing value also leaves it as it was
enum class Rule
{
    Plain,
    Clamp,
    Choice,
    IfPresent
};

struct Entry
{
    const char *name;
    Settings::Kind kind;
    int number;       // default of a flag or number
    const char *text; // default of a text (UTF-8)
    Rule rule = Rule::Plain;
    int min = 0;
    int max = 0;
};

using K = Settings::Kind;

// Every setting: stored name, kind, default and load rule, in load and save order.
const Entry kTable[Settings::kKeyCount] = {
    {"RunOnStartup", K::Bool, 1, nullptr},
    {"HideInTray", K::Bool, 1, nullptr},
    {"MonitorOnStartup", K::Bool, 1, nullptr},
    {"AutoCloseCID", K::Bool, 1, nullptr},
    {"AutoCloseCIDValue", K::Int, 30, nullptr, Rule::Clamp, 5, 300},
    {"AnimateCID", K::Bool, 1, nullptr},
    {"AnimateIcon", K::Bool, 1, nullptr},
    {"ConfirmDelete", K::Bool, 1, nullptr},
    {"BackupRecords", K::Bool, 1, nullptr},
    {"DeviceType", K::Int, Settings::kModem, nullptr, Rule::IfPresent, Settings::kModem, Settings::kIsdn},
    {"DeviceName", K::Text, 0, ""},
    {"DisplayOnlyAddressbook", K::Bool, 0, nullptr},
    {"DontDisplayBlackList", K::Bool, 0, nullptr},
    {"DontDisplayBlocked", K::Bool, 0, nullptr},
    {"AutoRejectBlackList", K::Bool, 0, nullptr},
    {"AutoRejectBlocked", K::Bool, 0, nullptr},
    {"LogBlackList", K::Bool, 1, nullptr},
    {"LogBlocked", K::Bool, 1, nullptr},
    {"DisplayCIDWindow", K::Bool, 1, nullptr},
    {"DisplayCIDMessage", K::Bool, 1, nullptr},
    {"FlashScrollLock", K::Bool, 1, nullptr},
    {"KeepCalls", K::Int, Settings::kKeepAll, nullptr, Rule::Choice, Settings::kKeepAll, Settings::kKeepOnly},
    {"KeepDays", K::Int, 7, nullptr, Rule::Clamp, 5, 365},
    {"HowToFormat", K::Int, 2, nullptr, Rule::Choice, 0, 2},
    {"EnableSound", K::Bool, 1, nullptr},
    {"PhoneRingWave", K::Text, 0, ""}, // the shipped ring sound, see the constructor
    {"EnableSpeech", K::Bool, 1, nullptr},
    {"FormatString1", K::Text, 0, "xx-xxx"},
    {"FormatString2", K::Text, 0, "xxx-xxx"},
    {"FormatString3", K::Text, 0, "xxx-xxxx"},
    {"FormatString4", K::Text, 0, "xxxx-xxxx"},
    {"FormatString5", K::Text, 0, "(xx) xxx-xxxx"},
    {"FormatString6", K::Text, 0, "(xxx) xxx-xxxx"},
    {"FormatString7", K::Text, 0, "(xxx) xxxx-xxxx"},
    {"FormatString8", K::Text, 0, "+xxx (xx) xxx-xxxx"},
    {"FormatString9", K::Text, 0, "(xxx) xxx-xxxxxxx"},
    {"Language", K::Int, 0, nullptr, Rule::Choice, 0, 1},
    {"DoNotDisturb", K::Bool, 0, nullptr},
    {"AutoReject", K::Bool, 0, nullptr},
    {"SapiVersion", K::Int, Settings::kNoSapi, nullptr, Rule::IfPresent, 0, 1},
    {"SapiVoiceName", K::Text, 0, ""},
    {"WelcomeMessage", K::Text, 0, "Dobro doshlee oo Tellwise Monitor"},
    {"SpeakWelcomeMessage", K::Bool, 1, nullptr},
    {"WabFileName", K::Text, 0, ""},              // the address-book file last imported from
    {"ContactsRoot", K::Text, 0, ""},             // vCard contacts folder; empty: $XDG_DATA_HOME/contacts
    {"DesktopNotification", K::Bool, 1, nullptr}, // every call also goes to the desktop's notifications
    {"MqttPublish", K::Bool, 0, nullptr},         // calls are published to an MQTT broker
    {"MqttBroker", K::Text, 0, ""},               // HOST[:PORT]
    {"MqttUser", K::Text, 0, ""},                 // the password is in the modem configuration's file
    {"MqttPrefix", K::Text, 0, ""},               // empty: tellwise/<line id>
    {"MqttNumberOnly", K::Bool, 0, nullptr},      // no name or group from the address book is published
    {"MqttTls", K::Bool, 0, nullptr},
    {"MqttCaFile", K::Text, 0, ""},        // empty: the system's authorities
    {"MqttClientCert", K::Text, 0, ""},    // certificate and key in one PEM file
    {"VCardCallers", K::Bool, 1, nullptr}, // callers the address book lacks are named from the vCard folder
};

const Entry &entry(Settings::Key key)
{
    return kTable[key];
}

// The value names of the language override are program paths; "/" would split them into
// groups, so they are stored percent-encoded.
QString overrideKey(const QString &programPath)
{
    return kLocalesGroup + QLatin1Char('/') + QString::fromLatin1(QUrl::toPercentEncoding(programPath));
}

QString executablePath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

} // namespace

Settings::Settings(QObject *parent) : QObject(parent), m_programPath(executablePath())
{
    const QString ring = ShippedFile(QStringLiteral("Sound/ring1.wav"));
    if (QFileInfo(ring).isFile())
        m_defaultRingWave = ring;
    for (int k = 0; k < kKeyCount; ++k)
        m_values[k] = defaultValue(Key(k));
    m_languageIndex = number(Language);
}

QString Settings::name(Key key)
{
    return QString::fromLatin1(entry(key).name);
}

Settings::Kind Settings::kind(Key key)
{
    return entry(key).kind;
}

QVariant Settings::defaultValue(Key key) const
{
    const Entry &e = entry(key);
    switch (e.kind) {
    case Kind::Bool:
        return QVariant(e.number != 0);
    case Kind::Int:
        return QVariant(e.number);
    case Kind::Text:
        break;
    }
    if (key == PhoneRingWave)
        return QVariant(m_defaultRingWave);
    return QVariant(QString::fromUtf8(e.text));
}

bool Settings::flag(Key key) const
{
    Q_ASSERT(kind(key) == Kind::Bool);
    return m_values[key].toBool();
}

int Settings::number(Key key) const
{
    Q_ASSERT(kind(key) == Kind::Int);
    return m_values[key].toInt();
}

QString Settings::text(Key key) const
{
    Q_ASSERT(kind(key) == Kind::Text);
    return m_values[key].toString();
}

QVariant Settings::value(Key key) const
{
    return m_values[key];
}

void Settings::store(Key key, const QVariant &value)
{
    if (m_values[key] == value)
        return;
    m_values[key] = value;
    emit valueChanged(key);
}

bool Settings::setFlag(Key key, bool on)
{
    if (kind(key) != Kind::Bool)
        return false;
    store(key, QVariant(on));
    return true;
}

bool Settings::setNumber(Key key, int number)
{
    const Entry &e = entry(key);
    if (e.kind != Kind::Int)
        return false;
    switch (e.rule) {
    case Rule::Plain:
        break;
    case Rule::Clamp:
        number = std::clamp(number, e.min, e.max);
        break;
    case Rule::Choice:
    case Rule::IfPresent:
        // The speech generation may also be "neither".
        if ((number < e.min || number > e.max) && !(key == SapiVersion && number == kNoSapi))
            return false;
        break;
    }
    store(key, QVariant(number));
    return true;
}

void Settings::setText(Key key, const QString &text)
{
    Q_ASSERT(kind(key) == Kind::Text);
    if (kind(key) == Kind::Text)
        store(key, QVariant(text));
}

bool Settings::setValue(Key key, const QVariant &value)
{
    switch (kind(key)) {
    case Kind::Bool:
        return setFlag(key, value.toBool());
    case Kind::Int: {
        bool ok = false;
        const int n = value.toInt(&ok);
        return ok && setNumber(key, n);
    }
    case Kind::Text:
        setText(key, value.toString());
        return true;
    }
    return false;
}

QString Settings::filePath()
{
    return QSettings(kOrganisation, kApplication).fileName();
}

void Settings::loadValue(QSettings &file, Key key)
{
    const Entry &e = entry(key);
    const QString valueName = name(key);
    const bool present = file.contains(valueName);
    const QVariant raw = file.value(valueName);

    if (e.kind == Kind::Text) {
        if (!present)
            store(key, defaultValue(key));
        else if (raw.userType() == QMetaType::QStringList) // an unquoted comma in a hand-edited file
            store(key, QVariant(raw.toStringList().join(QLatin1String(", "))));
        else
            store(key, QVariant(raw.toString()));
        return;
    }

    // A stored name without a usable number (empty, or not a number) counts as missing.
    bool readable = false;
    const int n = present ? raw.toString().trimmed().toInt(&readable) : 0;
    if (!readable) {
        if (e.rule != Rule::IfPresent)
            store(key, defaultValue(key));
        return;
    }
    if (e.kind == Kind::Bool) {
        store(key, QVariant(n != 0));
        return;
    }
    switch (e.rule) {
    case Rule::Plain:
        store(key, QVariant(n));
        break;
    case Rule::Clamp:
        store(key, QVariant(std::clamp(n, e.min, e.max)));
        break;
    case Rule::Choice:
    case Rule::IfPresent:
        if (n >= e.min && n <= e.max)
            store(key, QVariant(n));
        break;
    }
}

bool Settings::keyExists() const
{
    QSettings file(kOrganisation, kApplication);
    return file.childGroups().contains(kSettingsGroup);
}

void Settings::SyncLanguageValue()
{
    const int language = languageOverride(m_programPath).toLower().isEmpty() ? 1 : 0;
    if (!keyExists())
        return;
    QSettings file(kOrganisation, kApplication);
    file.setValue(kSettingsGroup + QStringLiteral("/") + name(Language), language);
}

bool Settings::LoadSettings()
{
    // Both ways set the device in force: the save of the defaults, or the load.
    if (!keyExists()) {
        // The first start stores the language the texts are shown in, not the table's default.
        store(Language, languageOverride(m_programPath).isEmpty() ? 1 : 0);
        m_languageIndex = number(Language);
        SaveSettings();
        return false;
    }
    QSettings file(kOrganisation, kApplication);
    file.beginGroup(kSettingsGroup);
    for (int k = 0; k < kKeyCount; ++k)
        loadValue(file, Key(k));
    m_languageIndex = number(Language);
    setCurrentDeviceName(text(DeviceName));
    return true;
}

bool Settings::SaveSettings()
{
    if (flag(RunOnStartup))
        Autostart::enable(m_programPath);
    else
        Autostart::disable();

    QSettings file(kOrganisation, kApplication);
    file.beginGroup(kSettingsGroup);
    for (int k = 0; k < kKeyCount; ++k) {
        const Key key = Key(k);
        switch (kind(key)) {
        case Kind::Bool:
            file.setValue(name(key), flag(key) ? 1 : 0);
            break;
        case Kind::Int:
            // Without a chosen speech generation its value is left as stored.
            if (key == SapiVersion && number(key) == kNoSapi)
                break;
            file.setValue(name(key), number(key));
            break;
        case Kind::Text:
            file.setValue(name(key), text(key));
            break;
        }
    }
    file.endGroup();
    setCurrentDeviceName(text(DeviceName));
    file.sync();
    return file.status() == QSettings::NoError;
}

bool Settings::SaveValue(Key key)
{
    QSettings file(kOrganisation, kApplication);
    file.setValue(kSettingsGroup + QLatin1Char('/') + name(key), value(key));
    file.sync();
    return file.status() == QSettings::NoError;
}

void Settings::setCurrentDeviceName(const QString &name)
{
    if (name == m_currentDeviceName)
        return;
    m_currentDeviceName = name;
    emit currentDeviceNameChanged(name);
}

void Settings::setMonitorCalls(bool on, bool enabled)
{
    if (on == m_monitorCalls && enabled == m_monitorCallsEnabled)
        return;
    m_monitorCalls = on;
    m_monitorCallsEnabled = enabled;
    emit monitorCallsChanged();
}

std::optional<int> Settings::callDaysKept() const
{
    if (number(KeepCalls) != kKeepOnly)
        return std::nullopt;
    return number(KeepDays);
}

NumberFormatSettings Settings::numberFormat() const
{
    NumberFormatSettings format;
    format.HowToFormat = number(HowToFormat);
    for (int i = 0; i < 9; ++i)
        format.FormatString[std::size_t(i)] = text(Key(FormatString1 + i));
    return format;
}

QString Settings::languageOverride(const QString &programPath)
{
    QSettings file(kOrganisation, kApplication);
    return file.value(overrideKey(programPath)).toString();
}

bool Settings::overrideSelectsEnglish(const QString &programPath)
{
    return languageOverride(programPath).compare(QLatin1String("ENU"), Qt::CaseInsensitive) == 0;
}

bool Settings::writeLanguageOverride(const QString &programPath, const QString &value)
{
    QSettings file(kOrganisation, kApplication);
    file.setValue(overrideKey(programPath), value);
    file.sync();
    return file.status() == QSettings::NoError;
}

void Settings::chooseFirstLanguage(const QString &programPath, const QLocale &locale)
{
    QSettings file(kOrganisation, kApplication);
    // Settings saved by the program hold the language; a profile written by hand without it (a
    // demo's, an administrator's) still takes the locale's.
    if (file.contains(kSettingsGroup + QLatin1String("/Language")) || file.contains(overrideKey(programPath)))
        return;
    writeLanguageOverride(programPath,
                          locale.language() == QLocale::Croatian ? QString() : QStringLiteral("ENU"));
}
