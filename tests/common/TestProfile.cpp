#include "TestProfile.h"

#include "telephony/ModemConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

using namespace Qt::StringLiterals;

namespace testsupport {

void writeModemConfig(const ModemTimeouts &timeouts)
{
    const QString path = telephony::ModemConfig::filePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile::remove(path);
    QSettings s(path, QSettings::IniFormat);
    s.beginGroup(u"Modems"_s);
    s.setValue(u"Scan"_s, false);
    s.setValue(u"RingTimeoutMs"_s, 1500);
    s.setValue(u"CallerIdSettleMs"_s, 250);
    s.setValue(u"CommandTimeoutMs"_s, timeouts.commandTimeoutMs);
    s.setValue(u"ProbeTimeoutMs"_s, timeouts.probeTimeoutMs);
    s.setValue(u"KeepAliveMs"_s, timeouts.keepAliveMs);
    if (!timeouts.ports.isEmpty())
        s.setValue(u"Ports"_s, timeouts.ports);
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
    return SettingValues{
               {Settings::DeviceType, Settings::kModem}, {Settings::DeviceName, u"Modem emulator"_s},
               {Settings::MonitorOnStartup, true},       {Settings::HideInTray, true},
               {Settings::RunOnStartup, false},          {Settings::AnimateCID, false},
               {Settings::SpeakWelcomeMessage, false}} +
           more;
}

} // namespace testsupport
