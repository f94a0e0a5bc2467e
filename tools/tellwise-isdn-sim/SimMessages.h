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

constexpr uint8_t kFrameType = 0x80;
constexpr uint8_t kAdminCommand = 0x20;
constexpr uint16_t kSupplementaryServices = 3;

// The commands the simulator handles, as command * 256 + subcommand.
enum : uint16_t
{
    AlertReq = 0x0180,
    ConnectInd = 0x0282,
    ConnectResp = 0x0283,
    ConnectActiveInd = 0x0382,
    ConnectActiveResp = 0x0383,
    DisconnectReq = 0x0480,
    DisconnectInd = 0x0482,
    DisconnectResp = 0x0483,
    ListenReq = 0x0580,
    FacilityReq = 0x8080,
    FacilityConf = 0x8081,
    FacilityInd = 0x8082,
    ConnectB3Ind = 0x8282,
    ConnectB3Resp = 0x8283,
    ConnectB3ActiveInd = 0x8382,
    DisconnectB3Req = 0x8480,
    DisconnectB3Ind = 0x8482,
    DataB3Req = 0x8680,
    DataB3Conf = 0x8681,
    DataB3Ind = 0x8682,
    DataB3Resp = 0x8683,
};

// 0x0101 style, as the log prints identifiers.
QString hex(uint32_t v, int width = 4);
// "10.0 s"
QString seconds(qint64 ms);
// A message with its CAPI-over-TCP header: 0x80 and the 16-bit length.
QByteArray withFrame(const QByteArray &message);

QString commandName(uint16_t command);
// Parses a name such as LISTEN_REQ (or a number) back to its command code; 0 if unknown.
uint16_t commandFromName(const QString &name);

} // namespace sim
