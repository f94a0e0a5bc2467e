#include "telephony/ModemLineParser.h"

#include "store/Cp1250.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cctype>

namespace telephony {

namespace {

// Printable ASCII, and the 8-bit bytes of names in a national code page or UTF-8.
bool isKept(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u != 0x7F;
}

bool isDigits(QByteArrayView v, qsizetype count)
{
    if (v.size() != count)
        return false;
    for (const char c : v) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

int twoDigits(QByteArrayView v, qsizetype at)
{
    return (v[at] - '0') * 10 + (v[at + 1] - '0');
}

// Whether a caller-ID value is what a modem sends for its key; anything else is line noise.
bool isWellFormed(const QByteArray &key, const QByteArray &value)
{
    if (key == "DATE")
        return isDigits(value, 4) && twoDigits(value, 0) >= 1 && twoDigits(value, 0) <= 12 &&
               twoDigits(value, 2) >= 1 && twoDigits(value, 2) <= 31;
    if (key == "TIME")
        return isDigits(value, 4) && twoDigits(value, 0) < 24 && twoDigits(value, 2) < 60;
    if (key == "NMBR") {
        static const QRegularExpression number(QStringLiteral("^\\+?[0-9*#]([0-9*# -]{0,30}[0-9*#])?$"));
        return CallerIdRecord::markerOf(value) != CallerIdRecord::Marker::None || number.match(QLatin1String(value)).hasMatch();
    }
    if (key == "NAME") {
        if (value.isEmpty() || value.size() > CallerIdRecord::kMaxValueLength)
            return false;
        for (const char c : value) {
            const auto u = static_cast<unsigned char>(c);
            if (u >= 0x80 || std::isalnum(u))
                return true;
        }
        return false;
    }
    // MESG: a data item in hexadecimal.
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{2}[0-9A-Fa-f ]*$"));
    return hex.match(QLatin1String(value)).hasMatch();
}

QByteArray trimmed(QByteArrayView v)
{
    return v.trimmed().toByteArray();
}

bool equalsNoCase(QByteArrayView a, QByteArrayView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void ModemLineParser::feed(QByteArrayView bytes, const std::function<void(const ModemLine &)> &sink)
{
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            if (!m_overlong && !m_line.trimmed().isEmpty()) {
                const QList<ModemLine> lines = classifyAll(m_line);
                m_line.clear();
                for (const ModemLine &line : lines)
                    sink(line);
            }
            m_line.clear();
            m_overlong = false;
            continue;
        }
        if (m_overlong || !isKept(c))
            continue;
        if (m_line.size() >= kMaxLineLength) {
            m_overlong = true;
            m_line.clear();
            m_line.squeeze();
            continue;
        }
        m_line.append(c);
    }
}

void ModemLineParser::reset()
{
    m_line.clear();
    m_overlong = false;
}

ModemLine ModemLineParser::classify(QByteArrayView raw)
{
    ModemLine line;
    const QByteArray text = trimmed(raw);
    line.value = text;
    if (text.isEmpty()) {
        line.kind = ModemLine::Text;
        return line;
    }
    if (equalsNoCase(text, "OK")) {
        line.kind = ModemLine::Ok;
        return line;
    }
    if (equalsNoCase(text, "ERROR")) {
        line.kind = ModemLine::Error;
        return line;
    }
    if (equalsNoCase(text, "RING")) {
        line.kind = ModemLine::Ring;
        return line;
    }
    if (equalsNoCase(text, "NO CARRIER")) {
        line.kind = ModemLine::NoCarrier;
        return line;
    }
    if (text.size() >= 2 && equalsNoCase(text.first(2), "AT")) {
        line.kind = ModemLine::Echo;
        return line;
    }
    // Numeric result codes, from a modem whose stored profile has V0 until it is set up.
    if (text == "0" || text == "4") {
        line.kind = text == "0" ? ModemLine::Ok : ModemLine::Error;
        return line;
    }
    const QList<ModemLine> fields = callerFields(text);
    if (!fields.isEmpty())
        return fields.first();
    line.kind = ModemLine::Text;
    return line;
}

QList<ModemLine> ModemLineParser::classifyAll(QByteArrayView raw)
{
    const ModemLine first = classify(raw);
    if (first.kind != ModemLine::CallerId)
        return {first};
    return callerFields(trimmed(raw));
}

QList<ModemLine> ModemLineParser::callerFields(const QByteArray &text)
{
    // "KEY = value" lines, or the compact form with a whole record on one line
    // ("DATE=1206 TIME=0954 NMBR=0912345678 NAME=Ana Horvat"). One bad value makes it all noise.
    static const QRegularExpression keys(QStringLiteral("(?:^|[\\s;,])(DATE|TIME|NMBR|NAME|MESG)\\s*="),
                                         QRegularExpression::CaseInsensitiveOption);
    const QString latin = QString::fromLatin1(text);
    QList<QRegularExpressionMatch> found;
    for (auto it = keys.globalMatch(latin); it.hasNext();)
        found.append(it.next());
    if (found.isEmpty() || found.first().capturedStart() != 0)
        return {};
    QList<ModemLine> lines;
    for (qsizetype i = 0; i < found.size(); ++i) {
        const qsizetype end = i + 1 < found.size() ? found[i + 1].capturedStart(1) : text.size();
        ModemLine field;
        field.kind = ModemLine::CallerId;
        field.key = found[i].captured(1).toLatin1().toUpper();
        QByteArray value = text.mid(found[i].capturedEnd(), end - found[i].capturedEnd()).trimmed();
        if (i + 1 < found.size() && (value.endsWith(';') || value.endsWith(',')))
            value = value.chopped(1).trimmed();
        field.value = value;
        if (!isWellFormed(field.key, field.value))
            return {};
        lines.append(field);
    }
    return lines;
}

void CallerIdRecord::add(const QByteArray &key, const QByteArray &value)
{
    const QByteArray v = value.left(kMaxValueLength);
    if (key == "NMBR") {
        m_number = v;
        m_hasNumber = true;
    } else if (key == "NAME") {
        m_name = v;
        m_hasName = true;
    } else if (m_other.size() < 4 * kMaxValueLength) {
        m_other += key + '=' + v + '\n';
    }
}

CallerIdRecord::Marker CallerIdRecord::markerOf(QByteArrayView value)
{
    const QByteArrayView v = value.trimmed();
    if (equalsNoCase(v, "P") || equalsNoCase(v, "PRIVATE") || equalsNoCase(v, "ANONYMOUS"))
        return Marker::Withheld;
    if (equalsNoCase(v, "O") || equalsNoCase(v, "OUT-OF-AREA"))
        return Marker::Unavailable;
    return Marker::None;
}

CallerId CallerIdRecord::callerId() const
{
    CallerId caller;
    const auto mark = [&caller](bool present, const QByteArray &value) {
        const Marker marker = present ? markerOf(value) : Marker::None;
        caller.withheld = caller.withheld || marker == Marker::Withheld;
        caller.unavailable = caller.unavailable || marker == Marker::Unavailable;
    };
    mark(m_hasNumber, m_number);
    mark(m_hasName, m_name);
    caller.number = QString::fromLatin1(number());
    caller.name = name();
    return caller;
}

QByteArray CallerIdRecord::number() const
{
    return m_hasNumber && markerOf(m_number) == Marker::None ? m_number : QByteArray();
}

QString CallerIdRecord::name() const
{
    if (!m_hasName || markerOf(m_name) != Marker::None)
        return {};
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(m_name);
    return utf8.hasError() ? DecodeCp1250(m_name.constData(), m_name.size()) : text;
}

QByteArray CallerIdRecord::rawText() const
{
    QByteArray text = m_other;
    if (m_hasNumber)
        text += "NMBR=" + m_number + '\n';
    if (m_hasName)
        text += "NAME=" + m_name + '\n';
    return text;
}

} // namespace telephony
