#pragma once

#include <QString>
#include <QStringList>

namespace telephony {

// The telephony configuration file of the modem provider:
// $XDG_CONFIG_HOME/Kavelink/modems.ini, group [Modems]. Every key is optional.
struct ModemConfig
{
    QStringList ports;           // Ports: serial ports to use; when given, nothing is scanned
    bool scan = true;            // Scan: look in /dev/serial/by-id, /dev/ttyACM*, /dev/ttyUSB*
    int baudRate = 115200;       // BaudRate
    int probeTimeoutMs = 1500;   // ProbeTimeoutMs: wait for OK when testing a port
    int commandTimeoutMs = 3000; // CommandTimeoutMs: a modem silent this long is gone
    int ringTimeoutMs = 8000;    // RingTimeoutMs: no ring for this long ends the call
    int settleTimeMs = 1000;     // CallerIdSettleMs: a caller record without NAME is complete
    int keepAliveMs = 30000;     // KeepAliveMs: idle check that the modem still answers (0 = off)

    static QString filePath();
    static ModemConfig load();
};

// Where the modem emulator publishes itself in the user's runtime folder.
namespace modemsim {
QString runtimeDir();
QString linkPath();   // symbolic link to the emulator's pseudo-terminal
QString socketPath(); // local control socket (mode 0600)
QString pidPath();    // the emulator's process ID, so a stale link is never used
// The link, when an emulator that is still running made it.
bool emulatorRunning();
} // namespace modemsim

} // namespace telephony
