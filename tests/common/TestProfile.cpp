#include "TestProfile.h"

#include "telephony/ModemConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace testsupport {

void writeModemConfig(const ModemTimeouts &timeouts)
{
    const QString path = telephony::ModemConfig::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Modems"));
    s.setValue(QStringLiteral("Scan"), false);
    s.setValue(QStringLiteral("RingTimeoutMs"), 1500);
    s.setValue(QStringLiteral("CallerIdSettleMs"), 250);
    s.setValue(QStringLiteral("CommandTimeoutMs"), timeouts.commandTimeoutMs);
    s.setValue(QStringLiteral("ProbeTimeoutMs"), timeouts.probeTimeoutMs);
    s.setValue(QStringLiteral("KeepAliveMs"), timeouts.keepAliveMs);
    if (!timeouts.ports.isEmpty())
        s.setValue(QStringLiteral("Ports"), timeouts.ports);
}

void writeNetworkLines(const QStringList &callMonitors, const QStringList &ncidServers)
{
    QSettings s(telephony::ModemConfig::filePath(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Network"));
    s.setValue(QStringLiteral("CallMonitor"), callMonitors);
    s.setValue(QStringLiteral("Ncid"), ncidServers);
    s.setValue(QStringLiteral("ConnectTimeoutMs"), 2000);
}

bool writeSettings(const SettingValues &values)
{
    Settings settings;
    for (const auto &[key, value] : values) {
        if (!settings.setValue(key, value))
            return false;
    }
    return settings.SaveSettings();
}

SettingValues emulatorProfile(const SettingValues &more)
{
    return SettingValues{{Settings::DeviceType, Settings::kModem},
                         {Settings::DeviceName, QStringLiteral("Modem emulator")},
                         {Settings::MonitorOnStartup, true},
                         {Settings::HideInTray, true},
                         {Settings::RunOnStartup, false},
                         {Settings::AnimateCID, false},
                         {Settings::SpeakWelcomeMessage, false}} +
           more;
}

} // namespace testsupport
