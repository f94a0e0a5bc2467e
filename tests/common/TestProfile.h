#pragma once

#include "settings/Settings.h"

#include <QList>
#include <QPair>
#include <QStringList>
#include <QVariant>

// A user's profile for a test: the stored settings and the modem configuration file.
namespace testsupport {

using SettingValues = QList<QPair<Settings::Key, QVariant>>;

// The modem configuration with scanning off (only the emulator's link, or PORTS, is a line) and
// timeouts short enough for a test.
struct ModemTimeouts
{
    int keepAliveMs = 500;
    int commandTimeoutMs = 1000;
    int probeTimeoutMs = 1000;
    QStringList ports;
};
void writeModemConfig(const ModemTimeouts &timeouts = {});
// Adds network lines to that file's [Network] group (HOST:PORT each).
void writeNetworkLines(const QStringList &callMonitors, const QStringList &ncidServers);

// Stores the defaults with VALUES on top, as a user would have left them.
bool writeSettings(const SettingValues &values);

// The modem emulator as the device, monitored from the start, hidden in the tray and quiet (no
// caller animation, no welcome speech, no autostart), with MORE on top.
SettingValues emulatorProfile(const SettingValues &more = {});

} // namespace testsupport
