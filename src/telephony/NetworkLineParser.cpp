#include "telephony/NetworkLineParser.h"

#include "telephony/ModemConfig.h"

#include <QFile>
#include <QSettings>

namespace telephony {

namespace {

constexpr qsizetype kMaxNumberLength = 32;

// Digits and the few signs a dialled number has; anything else a server sends is dropped.
QByteArray cleanNumber(QByteArrayView text)
{
    QByteArray out;
    for (const char c : text.trimmed()) {
        if ((c >= '0' && c <= '9') || c == '+' || c == '*' || c == '#')
            out.append(c);
        if (out.size() >= kMaxNumberLength)
            break;
    }
    return out;
}

bool isNumber(QByteArrayView text)
{
    return !text.isEmpty() && cleanNumber(text).size() == text.size();
}

} // namespace

void BoundedLineReader::feed(QByteArrayView bytes, const std::function<void(const QByteArray &)> &sink)
{
    for (const char c : bytes) {
        if (c == '\n') {
            if (!m_overlong && !m_line.isEmpty())
                sink(m_line);
            m_line.clear();
            m_overlong = false;
            continue;
        }
        if (m_overlong || (uchar(c) < 0x20 && c != '\t') || c == 0x7F)
            continue;
        if (m_line.size() >= kMaxLineLength) {
            m_line.clear();
            m_overlong = true;
            continue;
        }
        m_line.append(c);
    }
}

void BoundedLineReader::reset()
{
    m_line.clear();
    m_overlong = false;
}

NetworkEvent parseCallMonitorLine(QByteArrayView line)
{
    NetworkEvent event;
    const QList<QByteArray> f = line.toByteArray().trimmed().split(';');
    if (f.size() < 4)
        return event;
    const QByteArray &type = f[1];
    const QByteArray connection = f[2].trimmed();
    if (!isNumber(connection) || connection.size() > 4)
        return event;
    if (type == "RING" && f.size() >= 5) {
        event.kind = NetworkEvent::Offer;
        event.connection = connection;
        // An empty caller is a withheld number; one that is no number at all is unavailable.
        const QByteArray caller = f[3].trimmed();
        const QByteArray number = cleanNumber(caller);
        event.caller.add("NMBR", caller.isEmpty()   ? QByteArray("P")
                                 : number.isEmpty() ? QByteArray("O")
                                                    : number);
        event.called = cleanNumber(f[4]);
    } else if (type == "CONNECT" || type == "DISCONNECT") {
        event.kind = NetworkEvent::End;
        event.connection = connection;
    }
    return event;
}

NetworkEvent parseNcidLine(QByteArrayView line)
{
    NetworkEvent event;
    const QByteArray text = line.toByteArray().trimmed();
    const qsizetype colon = text.indexOf(':');
    const qsizetype star = text.indexOf('*');
    if (colon < 0 || star < colon)
        return event;
    const QByteArray type = text.left(colon);
    const QList<QByteArray> parts = text.mid(star + 1).split('*');
    QByteArray number;
    QByteArray name;
    QByteArray ring;
    QByteArray lineLabel;
    bool hasNumber = false;
    bool hasName = false;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QByteArray &key = parts[i];
        const QByteArray value = parts[i + 1].trimmed();
        if (key == "NMBR") {
            number = value;
            hasNumber = true;
        } else if (key == "NAME") {
            name = value;
            hasName = true;
        } else if (key == "RING") {
            ring = value;
        } else if (key == "LINE") {
            lineLabel = value;
        }
    }
    if (type == "CID") {
        if (!hasNumber && !hasName)
            return event;
        event.kind = NetworkEvent::Offer;
        if (CallerIdRecord::specialValueFlag(number))
            event.caller.add("NMBR", number);
        else if (number.isEmpty() || number == "-" || number == "NONE" || !cleanNumber(number).size())
            event.caller.add("NMBR", "O");
        else
            event.caller.add("NMBR", cleanNumber(number));
        if (hasName && name != "NO NAME" && name != "-" && name != "NONE")
            event.caller.add("NAME", name);
        if (isNumber(lineLabel))
            event.called = lineLabel;
    } else if (type == "CIDINFO") {
        bool ok = false;
        const int count = ring.toInt(&ok);
        if (ok)
            event.kind = count > 0 ? NetworkEvent::Alive : NetworkEvent::End;
    } else if (type == "END") {
        event.kind = NetworkEvent::End;
    }
    return event;
}

bool NetworkSource::parse(Protocol protocol, const QString &text, NetworkSource *source)
{
    QString host = text.trimmed();
    QString portText;
    if (host.startsWith(QLatin1Char('['))) {
        const qsizetype close = host.indexOf(QLatin1Char(']'));
        if (close < 0)
            return false;
        portText = host.mid(close + 1);
        host = host.mid(1, close - 1);
        if (!portText.isEmpty() && !portText.startsWith(QLatin1Char(':')))
            return false;
        portText = portText.mid(1);
    } else if (host.count(QLatin1Char(':')) == 1) {
        portText = host.section(QLatin1Char(':'), 1);
        host = host.section(QLatin1Char(':'), 0, 0);
    }
    quint16 port = defaultPort(protocol);
    if (!portText.isEmpty()) {
        bool ok = false;
        const uint p = portText.toUInt(&ok);
        if (!ok || p == 0 || p > 65535)
            return false;
        port = quint16(p);
    }
    if (host.isEmpty() || host.contains(QLatin1Char(' ')))
        return false;
    source->protocol = protocol;
    source->host = host;
    source->port = port;
    const bool v6 = host.contains(QLatin1Char(':'));
    const QString shown =
        (v6 ? QLatin1Char('[') + host + QLatin1Char(']') : host) + QLatin1Char(':') + QString::number(port);
    source->lineName =
        (protocol == CallMonitor ? QByteArray("Call monitor ") : QByteArray("NCID ")) + shown.toLatin1();
    return true;
}

NetworkConfig NetworkConfig::load()
{
    NetworkConfig c;
    c.ringTimeoutMs = ModemConfig::load().ringTimeoutMs;
    if (!QFile::exists(ModemConfig::filePath()))
        return c;
    QSettings s(ModemConfig::filePath(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Network"));
    const auto add = [&](const char *key, NetworkSource::Protocol protocol) {
        for (const QString &entry : s.value(QLatin1String(key)).toStringList()) {
            NetworkSource source;
            if (NetworkSource::parse(protocol, entry, &source)) {
                bool duplicate = false;
                for (const NetworkSource &known : std::as_const(c.sources))
                    duplicate = duplicate || known.lineName == source.lineName;
                if (!duplicate)
                    c.sources.append(source);
            }
        }
    };
    add("CallMonitor", NetworkSource::CallMonitor);
    add("Ncid", NetworkSource::Ncid);
    bool ok = false;
    const int timeout = s.value(QStringLiteral("ConnectTimeoutMs")).toInt(&ok);
    if (ok && timeout > 0)
        c.connectTimeoutMs = timeout;
    return c;
}

namespace netsim {

QString socketPath()
{
    return modemsim::runtimeDir() + QStringLiteral("/tellwise-net-sim.sock");
}

} // namespace netsim

} // namespace telephony
