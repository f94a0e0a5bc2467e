#pragma once

#include "store/Numbers.h"
#include "store/StoreResult.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>
#include <QVariant>

#include <array>
#include <optional>

class QSettings;

// The user's settings: every value with its stored name, kind and default in one table, kept
// in the per-user settings file (organisation "Kavelink", application "Tellwise Monitor",
// group "Settings"). Windows and the rest of the program read and change them here; nobody
// else touches the settings file. Flags and numbers are stored as integers, texts as strings.
class Settings : public QObject
{
    Q_OBJECT

public:
    // In table order, which is also the order of loading and saving. The names are the stored
    // value names.
    enum Key
    {
        RunOnStartup,
        HideInTray,
        MonitorOnStartup,
        AutoCloseCID,
        AutoCloseCIDValue,
        AnimateCID,
        AnimateIcon,
        ConfirmDelete,
        BackupRecords,
        DeviceType,
        DeviceName,
        DisplayOnlyAddressbook,
        DontDisplayBlackList,
        DontDisplayBlocked,
        AutoRejectBlackList,
        AutoRejectBlocked,
        LogBlackList,
        LogBlocked,
        DisplayCIDWindow,
        DisplayCIDMessage,
        FlashScrollLock,
        KeepCalls,
        KeepDays,
        HowToFormat,
        EnableSound,
        PhoneRingWave,
        EnableSpeech,
        FormatString1,
        FormatString2,
        FormatString3,
        FormatString4,
        FormatString5,
        FormatString6,
        FormatString7,
        FormatString8,
        FormatString9,
        Language,
        DoNotDisturb,
        AutoReject,
        SapiVersion,
        SapiVoiceName,
        WelcomeMessage,
        SpeakWelcomeMessage,
        WabFileName,
        ContactsRoot,
        DesktopNotification,
        MqttPublish,
        MqttBroker,
        MqttUser,
        MqttPrefix,
        MqttNumberOnly,
        MqttTls,
        MqttCaFile,
        MqttClientCert,
        VCardCallers,
    };
    Q_ENUM(Key)
    static constexpr int kKeyCount = VCardCallers + 1;

    enum class Kind
    {
        Bool,
        Int,
        Text
    };

    // DeviceType
    static constexpr int kModem = 0;
    static constexpr int kIsdn = 1;
    // KeepCalls
    static constexpr int kKeepAll = 0;
    static constexpr int kKeepOnly = 1;
    // SapiVersion: neither generation chosen (the value is then not stored).
    static constexpr int kNoSapi = -1;

    // Starts with every default. The default ring sound is the shipped "Sound/ring1.wav" when
    // it exists now, else empty.
    explicit Settings(QObject *parent = nullptr);

    static QString name(Key key);
    static Kind kind(Key key);
    QVariant defaultValue(Key key) const;

    // Typed access; asking for another kind than the value's is a programming error.
    bool flag(Key key) const;
    int number(Key key) const;
    QString text(Key key) const;
    QVariant value(Key key) const;

    // Numbers are held to what their control offers: a seconds or days count is clamped into
    // its range; a choice (device type, keep mode, format mode, language, speech generation)
    // outside its items is refused (false). Emits valueChanged when the value changes.
    bool setFlag(Key key, bool on);
    bool setNumber(Key key, int number);
    void setText(Key key, const QString &text);
    bool setValue(Key key, const QVariant &value);

    // The program's path: value of the autostart entry and name of the language override.
    // Defaults to the running executable.
    QString programPath() const { return m_programPath; }
    void setProgramPath(const QString &path) { m_programPath = path; }

    // True when the settings group exists in the settings file.
    bool keyExists() const;

    // Language from the override entry: 1 (Croatian) when the entry is empty, else 0; stored
    // only when the settings group exists already. Nothing else is written, and the value in
    // memory changes only with the next LoadSettings.
    void SyncLanguageValue();

    // Reads every value, in table order. When the settings group does not exist yet,
    // saves the values in memory instead (creating the group and, by RunOnStartup, the
    // autostart entry). Returns false in that case.
    bool LoadSettings();

    // Writes the autostart entry (or removes it) by RunOnStartup, then every value. False when
    // the settings file could not be written. A failing autostart entry is skipped silently.
    bool SaveSettings();
    // Writes KEY's value alone, for a value a window remembers by itself (the import's file).
    bool SaveValue(Key key);

    // How many days of calls the call log keeps: KeepDays with KeepCalls = keep only, else
    // none (every call stays).
    std::optional<int> callDaysKept() const;

    // The values the number formatting reads.
    NumberFormatSettings numberFormat() const;

    // The device in force: DeviceName as last loaded or saved.
    QString currentDeviceName() const { return m_currentDeviceName; }
    // The language in force (0 English, 1 Croatian): Language as last loaded.
    int languageIndex() const { return m_languageIndex; }

    // The "Prati pozive" switch: monitoring on, and whether the switch may be used (not without
    // a device). Held for this run only; MonitorOnStartup sets it at start.
    bool monitorCalls() const { return m_monitorCalls; }
    bool monitorCallsEnabled() const { return m_monitorCallsEnabled; }
    void setMonitorCalls(bool on, bool enabled);

    // The settings file of this user.
    static QString filePath();
    // The language override entry, read before any window exists: "ENU" selects the English
    // texts, empty keeps the built-in Croatian ones. Keyed by the program's path, so that two
    // installed copies can differ.
    static QString languageOverride(const QString &programPath);
    static bool overrideSelectsEnglish(const QString &programPath);
    static bool writeLanguageOverride(const QString &programPath, const QString &value);
    // On the very first start (no settings and no override yet) the override follows the
    // desktop's locale: Croatian for Croatian, English otherwise, so that texts, buttons and
    // pictures agree from the first window on. Later starts keep what is stored.
    static void chooseFirstLanguage(const QString &programPath, const QLocale &locale);

signals:
    void valueChanged(Settings::Key key);
    void monitorCallsChanged();
    // The device in force changed: after a load or a save, once it is stored.
    void currentDeviceNameChanged(const QString &name);

private:
    void store(Key key, const QVariant &value);
    void loadValue(QSettings &file, Key key);
    void setCurrentDeviceName(const QString &name);

    std::array<QVariant, kKeyCount> m_values;
    QString m_defaultRingWave;
    QString m_programPath;
    QString m_currentDeviceName;
    int m_languageIndex = 0;
    bool m_monitorCalls = false;
    bool m_monitorCallsEnabled = true;
};
