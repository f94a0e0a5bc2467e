#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// Byte-level helpers of the simulator. It deliberately does not use the program's own codec, so
// a fault there cannot hide behind the same fault here.
namespace sim {

// Little-endian writer of one CAPI message; finish() writes the total length.
class MessageWriter
{
public:
    MessageWriter(uint16_t applId, uint16_t command, uint16_t messageNumber);
    MessageWriter &u8(uint8_t v);
    MessageWriter &u16(uint16_t v);
    MessageWriter &u32(uint32_t v);
    MessageWriter &structure(const QByteArray &content); // length prefix added
    MessageWriter &emptyStruct() { return u8(0); }
    QByteArray finish();

private:
    QByteArray m_bytes;
};

// Bounds-checked little-endian reader of a received message's parameters.
class MessageReader
{
public:
    explicit MessageReader(const QByteArray &message, int offset = 8) : m_bytes(message), m_pos(offset) {}
    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    QByteArray structure(); // content only
    bool ok() const { return m_ok; }

private:
    QByteArray m_bytes;
    int m_pos;
    bool m_ok = true;
};

QString commandName(uint16_t command);
// Parses a name such as LISTEN_REQ (or a number) back to its command code; 0 if unknown.
uint16_t commandFromName(const QString &name);

} // namespace sim
