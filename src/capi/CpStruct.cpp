#include "CpStruct.h"

#include <cstring>

namespace {
int totalFor(int contentLength)
{
    return contentLength + (contentLength >= 255 ? 3 : 1);
}
} // namespace

TStruct::TStruct()
{
    allocate(0);
}

TStruct::TStruct(const uint8_t *data, qsizetype available)
{
    if (available <= 0) {
        allocate(0);
        m_consumed = 0;
        return;
    }
    const int prefix = data[0] == 0xFF ? 3 : 1;
    const int length = prefix == 3 ? (available >= 3 ? data[1] | (data[2] << 8) : -1) : data[0];
    // A long form with a short length is taken at its word: the prefix decides where content starts.
    const int total = length + prefix;
    if (length < 0 || total > available) {
        // Crosses the end of what was received: read as empty, the rest is used up.
        allocate(0);
        m_consumed = int(qMin<qsizetype>(available, 0xFFFF + 3));
        return;
    }
    m_bytes = QByteArray(reinterpret_cast<const char *>(data), total);
    m_cursor = prefix;
    m_consumed = total;
}

TStruct::~TStruct() = default;

int TStruct::prefixSize() const
{
    return !m_bytes.isEmpty() && uint8_t(m_bytes[0]) == 0xFF ? 3 : 1;
}

int TStruct::contentLength() const
{
    if (m_bytes.isEmpty())
        return 0;
    if (uint8_t(m_bytes[0]) == 0xFF)
        return m_bytes.size() >= 3 ? uint8_t(m_bytes[1]) | (uint8_t(m_bytes[2]) << 8) : 0;
    return uint8_t(m_bytes[0]);
}

int TStruct::totalSize() const
{
    return prefixSize() + contentLength();
}

void TStruct::allocate(int contentLength)
{
    contentLength = qBound(0, contentLength, 0xFFFF);
    m_bytes = QByteArray(totalFor(contentLength), '\0');
    if (contentLength >= 255) {
        m_bytes[0] = char(0xFF);
        m_bytes[1] = char(contentLength & 0xFF);
        m_bytes[2] = char(contentLength >> 8);
        m_cursor = 3;
    } else {
        m_bytes[0] = char(contentLength);
        m_cursor = 1;
    }
    m_readPos = 0;
    m_consumed = int(m_bytes.size());
}

void TStruct::write(const void *bytes, int count)
{
    count = qMin(count, int(m_bytes.size()) - m_cursor);
    if (count <= 0)
        return;
    std::memcpy(m_bytes.data() + m_cursor, bytes, std::size_t(count));
    m_cursor += count;
}

void TStruct::writeU16(uint16_t v)
{
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    write(b, 2);
}

void TStruct::writeU32(uint32_t v)
{
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    write(b, 4);
}

bool TStruct::read(void *bytes, int count)
{
    if (count <= 0)
        return true;
    if (contentLength() < m_readPos + count || m_cursor + count > m_bytes.size()) {
        std::memset(bytes, 0, std::size_t(count));
        return false;
    }
    std::memcpy(bytes, m_bytes.constData() + m_cursor, std::size_t(count));
    m_cursor += count;
    m_readPos += count;
    return true;
}

uint8_t TStruct::readU8()
{
    uint8_t v = 0;
    read(&v, 1);
    return v;
}

uint16_t TStruct::readU16()
{
    uint8_t b[2];
    read(b, 2);
    return uint16_t(b[0] | (b[1] << 8));
}

uint32_t TStruct::readU32()
{
    uint8_t b[4];
    read(b, 4);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}

void TStruct::resetCursor()
{
    m_cursor = prefixSize();
    m_readPos = 0;
}

TCallingPartyNumber::TCallingPartyNumber(uint8_t octet1, uint8_t octet2, const QString &digits)
    : m_octet1(octet1), m_octet2(octet2), m_digits(digits)
{
    const QByteArray text = digits.toLatin1();
    allocate(int(text.size()) + 2);
    writeU8(octet1);
    writeU8(octet2);
    write(text.constData(), int(text.size()));
}

TCallingPartyNumber::TCallingPartyNumber(const uint8_t *data, qsizetype available) : TStruct(data, available)
{
    m_octet1 = readU8();
    m_octet2 = readU8();
    const int n = contentLength() - 2;
    if (n >= 1)
        m_digits = QString::fromLatin1(content().mid(2, n));
}

TCallingPartySubAddress::TCallingPartySubAddress(uint8_t octet, const QString &text)
    : m_octet(octet), m_text(text)
{
    const QByteArray bytes = text.toLatin1();
    allocate(int(bytes.size()) + 1);
    writeU8(octet);
    write(bytes.constData(), int(bytes.size()));
}

TCallingPartySubAddress::TCallingPartySubAddress(const uint8_t *data, qsizetype available)
    : TStruct(data, available)
{
    m_octet = readU8();
    const int n = contentLength() - 1;
    if (n >= 1)
        m_text = QString::fromLatin1(content().mid(1, n));
}

TBProtocol::TBProtocol(uint16_t b1, uint16_t b2, uint16_t b3, std::unique_ptr<TStruct> b1Config,
                       std::unique_ptr<TStruct> b2Config, std::unique_ptr<TStruct> b3Config)
{
    const TStruct empty;
    const TStruct *configs[3] = {b1Config ? b1Config.get() : &empty, b2Config ? b2Config.get() : &empty,
                                 b3Config ? b3Config.get() : &empty};
    int length = 6;
    for (const TStruct *c : configs)
        length += c->totalSize();
    allocate(length);
    writeU16(b1);
    writeU16(b2);
    writeU16(b3);
    for (const TStruct *c : configs)
        write(c->bytes().constData(), int(c->bytes().size()));
}

TSuppServFacilityReqParameter::TSuppServFacilityReqParameter(uint16_t function)
{
    allocate(3);
    writeU16(function);
    writeU8(0);
}

TSuppServFacilityConfParameter::TSuppServFacilityConfParameter(const uint8_t *data, qsizetype available)
    : TStruct(data, available)
{
    parse();
}

TSuppServFacilityConfParameter::TSuppServFacilityConfParameter(const TStruct &wrapped)
    : TStruct(reinterpret_cast<const uint8_t *>(wrapped.bytes().constData()), wrapped.bytes().size())
{
    parse();
}

void TSuppServFacilityConfParameter::parse()
{
    m_function = readU16();
    const QByteArray rest = content().mid(2);
    m_inner = std::make_unique<TStruct>(reinterpret_cast<const uint8_t *>(rest.constData()), rest.size());
}

bool TSuppServFacilityConfParameter::supportedServices(uint16_t &info, uint32_t &services)
{
    if (m_function != 0)
        return false;
    info = m_inner->readU16();
    services = m_inner->readU32();
    m_inner->resetCursor();
    return true;
}
