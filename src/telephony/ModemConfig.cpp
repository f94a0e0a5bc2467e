#include "telephony/ModemConfig.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

#include <cerrno>
#include <signal.h>

namespace telephony {

namespace {

int positive(const QSettings &s, const char *key, int fallback, int minimum = 1)
{
    bool ok = false;
    const int v = s.value(QLatin1String(key)).toInt(&ok);
    return ok && v >= minimum ? v : fallback;
}

} // namespace

QString ModemConfig::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Kavelink/modems.ini");
}

ModemConfig ModemConfig::load()
{
    ModemConfig c;
    if (!QFile::exists(filePath()))
        return c;
    QSettings s(filePath(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Modems"));
    const QVariant ports = s.value(QStringLiteral("Ports"));
    for (const QString &p : ports.toStringList()) {
        if (!p.trimmed().isEmpty())
            c.ports.append(p.trimmed());
    }
    c.scan = s.value(QStringLiteral("Scan"), true).toBool();
    c.baudRate = positive(s, "BaudRate", c.baudRate);
    c.probeTimeoutMs = positive(s, "ProbeTimeoutMs", c.probeTimeoutMs);
    c.commandTimeoutMs = positive(s, "CommandTimeoutMs", c.commandTimeoutMs);
    c.ringTimeoutMs = positive(s, "RingTimeoutMs", c.ringTimeoutMs);
    c.settleTimeMs = positive(s, "CallerIdSettleMs", c.settleTimeMs);
    c.keepAliveMs = positive(s, "KeepAliveMs", c.keepAliveMs, 0);
    return c;
}

namespace modemsim {

QString runtimeDir()
{
    QString dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir;
}

QString linkPath()
{
    return runtimeDir() + QStringLiteral("/tellwise-modem-sim.tty");
}

QString socketPath()
{
    return runtimeDir() + QStringLiteral("/tellwise-modem-sim.sock");
}

QString pidPath()
{
    return runtimeDir() + QStringLiteral("/tellwise-modem-sim.pid");
}

bool emulatorRunning()
{
    QFile f(pidPath());
    if (!f.open(QIODevice::ReadOnly))
        return false;
    bool ok = false;
    const qint64 pid = f.readAll().trimmed().toLongLong(&ok);
    if (!ok || pid <= 0)
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    return QFile::exists(linkPath());
}

} // namespace modemsim

} // namespace telephony
