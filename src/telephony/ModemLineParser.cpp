#include "telephony/ModemLineParser.h"

namespace telephony {

namespace {

bool isPrintable(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u < 0x7F;
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
                const ModemLine line = classify(m_line);
                m_line.clear();
                sink(line);
            }
            m_line.clear();
            m_overlong = false;
            continue;
        }
        if (m_overlong || !isPrintable(c))
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
    const qsizetype eq = text.indexOf('=');
    if (eq > 0) {
        const QByteArray key = trimmed(QByteArrayView(text).first(eq)).toUpper();
        if (key == "DATE" || key == "TIME" || key == "NMBR" || key == "NAME" || key == "MESG") {
            line.kind = ModemLine::CallerId;
            line.key = key;
            line.value = trimmed(QByteArrayView(text).sliced(eq + 1));
            return line;
        }
    }
    line.kind = ModemLine::Text;
    return line;
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

DWORD CallerIdRecord::specialValueFlag(QByteArrayView value)
{
    const QByteArrayView v = value.trimmed();
    if (equalsNoCase(v, "P") || equalsNoCase(v, "PRIVATE") || equalsNoCase(v, "ANONYMOUS"))
        return LINECALLPARTYID_BLOCKED;
    if (equalsNoCase(v, "O") || equalsNoCase(v, "OUT-OF-AREA"))
        return LINECALLPARTYID_OUTOFAREA;
    return 0;
}

DWORD CallerIdRecord::callerIdFlags() const
{
    DWORD flags = 0;
    if (m_hasNumber) {
        const DWORD special = specialValueFlag(m_number);
        if (special)
            flags |= special;
        else if (!m_number.isEmpty())
            flags |= LINECALLPARTYID_ADDRESS;
    }
    if (m_hasName) {
        const DWORD special = specialValueFlag(m_name);
        if (special)
            flags |= special;
        else if (!m_name.isEmpty())
            flags |= LINECALLPARTYID_NAME;
    }
    if (flags == 0)
        flags = LINECALLPARTYID_UNKNOWN;
    return flags;
}

QByteArray CallerIdRecord::number() const
{
    return (callerIdFlags() & LINECALLPARTYID_ADDRESS) ? m_number : QByteArray();
}

QByteArray CallerIdRecord::name() const
{
    return (callerIdFlags() & LINECALLPARTYID_NAME) ? m_name : QByteArray();
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
