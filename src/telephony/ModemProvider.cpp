#include "telephony/ModemProvider.h"

#include "telephony/ModemCallSource.h"
#include "telephony/SerialPort.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace telephony {

namespace {

constexpr int kSilentPortPauseMs = 10000;

QStringList sortedEntries(const QString &dir, const QString &pattern)
{
    QStringList names = QDir(dir).entryList({pattern}, QDir::System | QDir::Files | QDir::NoDotAndDotDot);
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    QStringList paths;
    for (const QString &n : names)
        paths.append(dir + QLatin1Char('/') + n);
    return paths;
}

QByteArray asciiOnly(const QByteArray &text)
{
    QByteArray out;
    for (const char c : text) {
        if (c >= 0x20 && c < 0x7F)
            out.append(c);
    }
    return out.trimmed();
}

} // namespace

QByteArray ModemProvider::lineNameFor(const QString &path)
{
    if (path == modemsim::linkPath())
        return "Modem emulator";
    const QFileInfo info(path);
    if (info.absolutePath() == QLatin1String("/dev/serial/by-id"))
        return asciiOnly(info.fileName().toUtf8());
    return asciiOnly("Modem on " + info.fileName().toUtf8());
}

QList<ModemProvider::Candidate> ModemProvider::candidates(const ModemConfig &config)
{
    QStringList paths = config.ports;
    if (paths.isEmpty()) {
        if (config.scan) {
            paths += sortedEntries(QStringLiteral("/dev/serial/by-id"), QStringLiteral("*"));
            paths += sortedEntries(QStringLiteral("/dev"), QStringLiteral("ttyACM*"));
            paths += sortedEntries(QStringLiteral("/dev"), QStringLiteral("ttyUSB*"));
        }
        if (modemsim::emulatorRunning())
            paths.append(modemsim::linkPath());
    }
    QList<Candidate> list;
    QSet<QString> seen;
    for (const QString &p : paths) {
        const QString canonical = QFileInfo(p).canonicalFilePath();
        if (canonical.isEmpty() || seen.contains(canonical))
            continue;
        seen.insert(canonical);
        list.append({p, lineNameFor(p)});
    }
    return list;
}

QList<LineInfo> ModemProvider::lines()
{
    const ModemConfig config = ModemConfig::load();
    QList<LineInfo> result;
    for (const Candidate &c : candidates(config)) {
        const QString key = QFileInfo(c.path).canonicalFilePath();
        if (const ModemCallSource *held = ModemCallSource::holding(key)) {
            result.append(held->line());
            continue;
        }
        if (!m_silent.value(key, QDeadlineTimer(0)).hasExpired())
            continue;
        const serial::ProbeResult probe = serial::probe(c.path, config.baudRate, config.probeTimeoutMs);
        if (!probe.isModem) {
            // Pseudo-terminal numbers (the emulator's) are reused at once; those are asked
            // every time.
            if (!key.startsWith(QLatin1String("/dev/pts/")))
                m_silent.insert(key, QDeadlineTimer(kSilentPortPauseMs));
            continue;
        }
        m_silent.remove(key);
        LineInfo line;
        line.name = QString::fromLatin1(c.name);
        line.kindText = QStringLiteral("AT modem");
        line.identity = probe.info.isEmpty() ? line.kindText : QString::fromLatin1(asciiOnly(probe.info));
        line.port = c.path;
        line.showsName = line.showsNumber = line.showsWithheld = line.showsUnavailable = true;
        line.canReject = true;
        result.append(line);
    }
    return result;
}

} // namespace telephony
