#include "SimMessages.h"

#include <QHash>

namespace sim {

MessageWriter::MessageWriter(uint16_t applId, uint16_t command, uint16_t messageNumber)
{
    u16(0).u16(applId).u8(uint8_t(command >> 8)).u8(uint8_t(command & 0xFF)).u16(messageNumber);
}

MessageWriter &MessageWriter::u8(uint8_t v)
{
    m_bytes.append(char(v));
    return *this;
}

MessageWriter &MessageWriter::u16(uint16_t v)
{
    return u8(uint8_t(v)).u8(uint8_t(v >> 8));
}

MessageWriter &MessageWriter::u32(uint32_t v)
{
    return u16(uint16_t(v)).u16(uint16_t(v >> 16));
}

MessageWriter &MessageWriter::structure(const QByteArray &content)
{
    if (content.size() >= 255)
        u8(0xFF).u16(uint16_t(content.size()));
    else
        u8(uint8_t(content.size()));
    m_bytes.append(content);
    return *this;
}

QByteArray MessageWriter::finish()
{
    m_bytes[0] = char(m_bytes.size() & 0xFF);
    m_bytes[1] = char(m_bytes.size() >> 8);
    return m_bytes;
}

uint8_t MessageReader::u8()
{
    if (m_pos + 1 > m_bytes.size()) {
        m_ok = false;
        return 0;
    }
    return uint8_t(m_bytes[m_pos++]);
}

uint16_t MessageReader::u16()
{
    const uint16_t lo = u8();
    return uint16_t(lo | (u8() << 8));
}

uint32_t MessageReader::u32()
{
    const uint32_t lo = u16();
    return lo | (uint32_t(u16()) << 16);
}

QByteArray MessageReader::structure()
{
    int length = u8();
    if (length == 0xFF)
        length = u16();
    if (!m_ok || m_pos + length > m_bytes.size()) {
        m_ok = false;
        return {};
    }
    const QByteArray content = m_bytes.mid(m_pos, length);
    m_pos += length;
    return content;
}

namespace {
const QHash<uint16_t, QString> &names()
{
    static const QHash<uint16_t, QString> table = [] {
        const struct
        {
            uint8_t command;
            const char *name;
        } commands[] = {{0x01, "ALERT"},
                        {0x02, "CONNECT"},
                        {0x03, "CONNECT_ACTIVE"},
                        {0x04, "DISCONNECT"},
                        {0x05, "LISTEN"},
                        {0x08, "INFO"},
                        {0x41, "SELECT_B_PROTOCOL"},
                        {0x80, "FACILITY"},
                        {0x82, "CONNECT_B3"},
                        {0x83, "CONNECT_B3_ACTIVE"},
                        {0x84, "DISCONNECT_B3"},
                        {0x86, "DATA_B3"},
                        {0x87, "RESET_B3"},
                        {0x88, "CONNECT_B3_T90_ACTIVE"},
                        {0xFF, "MANUFACTURER"}};
        const struct
        {
            uint8_t sub;
            const char *suffix;
        } subs[] = {{0x80, "_REQ"}, {0x81, "_CONF"}, {0x82, "_IND"}, {0x83, "_RESP"}};
        QHash<uint16_t, QString> t;
        for (const auto &c : commands)
            for (const auto &s : subs)
                t.insert(uint16_t(c.command << 8 | s.sub), QLatin1String(c.name) + QLatin1String(s.suffix));
        return t;
    }();
    return table;
}
} // namespace

QString hex(uint32_t v, int width)
{
    return QStringLiteral("0x%1")
        .arg(v, width, 16, QLatin1Char('0'))
        .toUpper()
        .replace(QLatin1String("0X"), QLatin1String("0x"));
}

QString seconds(qint64 ms)
{
    return QString::number(double(ms) / 1000.0, 'f', 1) + QStringLiteral(" s");
}

QByteArray withFrame(const QByteArray &message)
{
    QByteArray frame;
    frame.append(char(kFrameType));
    frame.append(char(message.size() & 0xFF));
    frame.append(char(message.size() >> 8));
    return frame + message;
}

QString commandName(uint16_t command)
{
    return names().value(command, QStringLiteral("0x%1").arg(command, 4, 16, QLatin1Char('0')));
}

uint16_t commandFromName(const QString &name)
{
    const QString upper = name.toUpper();
    for (auto it = names().begin(); it != names().end(); ++it)
        if (it.value() == upper)
            return it.key();
    bool ok = false;
    const uint16_t v = uint16_t(name.toUInt(&ok, 0));
    return ok ? v : 0;
}

} // namespace sim
