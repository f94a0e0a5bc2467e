#include "telephony/NetworkLineParser.h"

#include "telephony/ModemConfig.h"

#include <QFile>
#include <QSettings>

#include <algorithm>
#include <optional>

namespace telephony {

namespace {

constexpr qsizetype kMaxNumberLength = 32;

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isDialChar(char c)
{
    return isDigit(c) || c == '*' || c == '#';
}

// The number in a caller or called field: an optional leading +, then digits, * and #, with the
// separators people write between them ("+49 (30) 1234-567"); empty for an empty field. Anything
// else is no number at all: nothing is picked out of text that is not one.
std::optional<QByteArray> phoneNumber(QByteArrayView field)
{
    const QByteArrayView text = field.trimmed();
    if (text.isEmpty())
        return QByteArray();
    QByteArray out;
    qsizetype i = 0;
    if (text.front() == '+')
        out.append(text[i++]);
    if (i == text.size() || !(isDialChar(text[i]) || text[i] == '(') || !isDialChar(text.back()))
        return std::nullopt;
    for (; i < text.size(); ++i) {
        if (isDialChar(text[i]))
            out.append(text[i]);
        else if (!QByteArrayView(" -/().").contains(text[i]))
            return std::nullopt;
    }
    if (out.size() > kMaxNumberLength)
        return std::nullopt;
    return out;
}

// Every router line starts with its time stamp, "DD.MM.YY HH:MM:SS".
bool isTimeStamp(QByteArrayView text)
{
    constexpr QByteArrayView pattern = "00.00.00 00:00:00";
    if (text.size() != pattern.size())
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (pattern[i] == '0' ? !isDigit(text[i]) : text[i] != pattern[i])
            return false;
    }
    return true;
}

// What NCID servers send for a number the network did not deliver.
bool isUnavailableMarker(QByteArrayView number)
{
    for (const char *marker : {"", "-", "NONE", "NO NUMBER", "UNAVAILABLE", "UNKNOWN"}) {
        if (number.compare(marker, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

void BoundedLineReader::feed(QByteArrayView bytes, const std::function<void(const QByteArray &)> &sink)
{
    for (const char c : bytes) {
        if (c == '\n') {
            if (!m_overlong && !m_junk && !m_line.isEmpty())
                sink(m_line);
            m_line.clear();
            m_overlong = m_junk = m_carriageReturn = false;
            continue;
        }
        // A CR anywhere but before the LF, or any other control byte but TAB, makes the whole
        // line junk: what is left of it once they are taken out can read as a different call.
        if (m_carriageReturn || (uchar(c) < 0x20 && c != '\t' && c != '\r') || c == 0x7F) {
            m_junk = true;
            m_line.clear();
        }
        m_carriageReturn = c == '\r';
        if (m_overlong || m_junk || m_carriageReturn)
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
    m_overlong = m_junk = m_carriageReturn = false;
}

NetworkEvent parseCallMonitorLine(QByteArrayView line)
{
    NetworkEvent event;
    const QList<QByteArray> f = line.toByteArray().trimmed().split(';');
    if (f.size() < 4 || !isTimeStamp(f[0]))
        return event;
    const QByteArray &type = f[1];
    const QByteArray connection = f[2].trimmed();
    if (connection.isEmpty() || connection.size() > 4 ||
        !std::all_of(connection.begin(), connection.end(), isDigit))
        return event;
    if (type == "RING" && f.size() >= 5) {
        // An empty caller is a withheld number; a caller that is no number is no call.
        const std::optional<QByteArray> caller = phoneNumber(f[3]);
        if (!caller)
            return event;
        event.kind = NetworkEvent::Offer;
        event.connection = connection;
        event.caller.add("NMBR", caller->isEmpty() ? QByteArray("P") : *caller);
        event.called = phoneNumber(f[4]).value_or(QByteArray());
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
        if (CallerIdRecord::markerOf(number) != CallerIdRecord::Marker::None) {
            event.caller.add("NMBR", number);
        } else if (isUnavailableMarker(number)) {
            event.caller.add("NMBR", "O");
        } else if (const std::optional<QByteArray> digits = phoneNumber(number)) {
            event.caller.add("NMBR", *digits);
        } else {
            return event; // a caller that is no number is no call
        }
        event.kind = NetworkEvent::Offer;
        if (hasName && name != "NO NAME" && name != "-" && name != "NONE")
            event.caller.add("NAME", name);
        event.called = phoneNumber(lineLabel).value_or(QByteArray());
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
