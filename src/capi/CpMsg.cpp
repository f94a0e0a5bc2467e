#include "CpMsg.h"

#include <atomic>
#include <cstring>

namespace {

// Requests are numbered 1..0x7FFF in turn; the engine gives a response the number of the
// indication it answers.
uint16_t nextMessageNumber()
{
    static std::atomic<uint32_t> counter{0};
    return uint16_t(counter.fetch_add(1) % 0x7FFF + 1);
}

uint16_t le16(const uint8_t *p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

} // namespace

void TCapiMessageHeader::setCommand(uint16_t command)
{
    Command = uint8_t(command >> 8);
    SubCommand = uint8_t(command & 0xFF);
}

TCapiMessage::TCapiMessage(const uint8_t *data, qsizetype available)
{
    uint8_t head[TCapiMessageHeader::kSize] = {};
    if (available > 0)
        std::memcpy(head, data, std::size_t(qMin<qsizetype>(available, TCapiMessageHeader::kSize)));
    m_header.TotalLength = le16(head);
    m_header.ApplId = le16(head + 2);
    m_header.Command = head[4];
    m_header.SubCommand = head[5];
    m_header.MessageNumber = le16(head + 6);
    const qsizetype length = qMax<qsizetype>(0, qMin<qsizetype>(available, m_header.TotalLength));
    m_buffer = QByteArray(reinterpret_cast<const char *>(data), length);
    if (m_buffer.size() < TCapiMessageHeader::kSize)
        m_buffer = QByteArray(reinterpret_cast<const char *>(head), TCapiMessageHeader::kSize);
    m_cursor = TCapiMessageHeader::kSize;
}

TCapiMessage::TCapiMessage(uint16_t command, int paramLength)
{
    const int total = TCapiMessageHeader::kSize + paramLength;
    m_buffer = QByteArray(total, '\0');
    m_header.TotalLength = uint16_t(total);
    m_header.setCommand(command);
    m_header.MessageNumber = nextMessageNumber();
}

TCapiMessage::~TCapiMessage() = default;

QByteArray TCapiMessage::encode()
{
    uint8_t *p = reinterpret_cast<uint8_t *>(m_buffer.data());
    p[0] = uint8_t(m_header.TotalLength);
    p[1] = uint8_t(m_header.TotalLength >> 8);
    p[2] = uint8_t(m_header.ApplId);
    p[3] = uint8_t(m_header.ApplId >> 8);
    p[4] = m_header.Command;
    p[5] = m_header.SubCommand;
    p[6] = uint8_t(m_header.MessageNumber);
    p[7] = uint8_t(m_header.MessageNumber >> 8);
    return m_buffer;
}

uint8_t TCapiMessage::readU8()
{
    if (m_cursor + 1 > m_buffer.size()) {
        m_cursor = int(m_buffer.size());
        return 0;
    }
    return uint8_t(m_buffer[m_cursor++]);
}

uint16_t TCapiMessage::readU16()
{
    if (m_cursor + 2 > m_buffer.size()) {
        m_cursor = int(m_buffer.size());
        return 0;
    }
    const uint16_t v = le16(reinterpret_cast<const uint8_t *>(m_buffer.constData()) + m_cursor);
    m_cursor += 2;
    return v;
}

uint32_t TCapiMessage::readU32()
{
    if (m_cursor + 4 > m_buffer.size()) {
        m_cursor = int(m_buffer.size());
        return 0;
    }
    const uint32_t lo = readU16();
    return lo | (uint32_t(readU16()) << 16);
}

void TCapiMessage::writeU16(uint16_t v)
{
    m_buffer[m_cursor++] = char(v & 0xFF);
    m_buffer[m_cursor++] = char(v >> 8);
}

void TCapiMessage::writeU32(uint32_t v)
{
    writeU16(uint16_t(v));
    writeU16(uint16_t(v >> 16));
}

void TCapiMessage::writeStruct(const TStructPtr &s)
{
    if (!s) {
        m_buffer[m_cursor++] = 0;
        return;
    }
    const QByteArray &b = s->bytes();
    std::memcpy(m_buffer.data() + m_cursor, b.constData(), std::size_t(b.size()));
    m_cursor += int(b.size());
}

TCapiMessagePtr CreateCapiMessage(const uint8_t *data, qsizetype available)
{
    const uint16_t command = available >= 6 ? uint16_t(data[4] << 8 | data[5]) : 0;
    switch (command) {
    case capicmd::AlertConf:
        return std::make_unique<TAlertConf>(data, available);
    case capicmd::ConnectConf:
        return std::make_unique<TConnectConf>(data, available);
    case capicmd::ConnectInd:
        return std::make_unique<TConnectInd>(data, available);
    case capicmd::ConnectActiveInd:
        return std::make_unique<TConnectActiveInd>(data, available);
    case capicmd::DisconnectConf:
        return std::make_unique<TDisconnectConf>(data, available);
    case capicmd::DisconnectInd:
        return std::make_unique<TDisconnectInd>(data, available);
    case capicmd::ListenConf:
        return std::make_unique<TListenConf>(data, available);
    case capicmd::InfoConf:
        return std::make_unique<TInfoConf>(data, available);
    case capicmd::InfoInd:
        return std::make_unique<TInfoInd>(data, available);
    case capicmd::SelectBProtocolConf:
        return std::make_unique<TSelectBProtocolConf>(data, available);
    case capicmd::FacilityConf:
        return std::make_unique<TFacilityConf>(data, available);
    case capicmd::FacilityInd:
        return std::make_unique<TFacilityInd>(data, available);
    case capicmd::ConnectB3Conf:
        return std::make_unique<TConnectB3Conf>(data, available);
    case capicmd::ConnectB3Ind:
        return std::make_unique<TConnectB3Ind>(data, available);
    case capicmd::ConnectB3ActiveInd:
        return std::make_unique<TConnectB3ActiveInd>(data, available);
    case capicmd::DisconnectB3Conf:
        return std::make_unique<TDisconnectB3Conf>(data, available);
    case capicmd::DisconnectB3Ind:
        return std::make_unique<TDisconnectB3Ind>(data, available);
    case capicmd::DataB3Conf:
        return std::make_unique<TDataB3Conf>(data, available);
    case capicmd::DataB3Ind:
        return std::make_unique<TDataB3Ind>(data, available);
    case capicmd::ResetB3Conf:
        return std::make_unique<TResetB3Conf>(data, available);
    case capicmd::ResetB3Ind:
        return std::make_unique<TResetB3Ind>(data, available);
    case capicmd::ConnectB3T90ActiveInd:
        return std::make_unique<TConnectB3T90ActiveInd>(data, available);
    default:
        return std::make_unique<TCapiMessage>(data, available);
    }
}

// ---- received messages ----

TCapiConfirmation::TCapiConfirmation(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_identifier(readU32()), m_info(readU16())
{
}

TConnectInd::TConnectInd(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_plci(readU32()), m_cip(readU16())
{
    m_calledNumber = readStruct<TCallingPartySubAddress>();
    m_callingNumber = readStruct<TCallingPartyNumber>();
    m_calledSub = readStruct<TCallingPartySubAddress>();
    m_callingSub = readStruct<TCallingPartySubAddress>();
    m_bc = readStruct<TStruct>();
    m_llc = readStruct<TStruct>();
    m_hlc = readStruct<TStruct>();
    m_additionalInfo = readStruct<TStruct>();
}

TConnectActiveInd::TConnectActiveInd(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_plci(readU32())
{
    m_number = readStruct<TCallingPartyNumber>();
    m_sub = readStruct<TCallingPartySubAddress>();
    m_llc = readStruct<TStruct>();
}

TDisconnectInd::TDisconnectInd(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_plci(readU32()), m_reason(readU16())
{
}

TInfoInd::TInfoInd(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_plci(readU32()), m_infoNumber(readU16())
{
    m_element = readStruct<TStruct>();
}

TFacilityConf::TFacilityConf(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_identifier(readU32()), m_info(readU16()), m_selector(readU16())
{
    m_parameter = readStruct<TStruct>();
}

TFacilityInd::TFacilityInd(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_identifier(readU32()), m_selector(readU16())
{
    m_parameter = readStruct<TStruct>();
}

TNcpiIndication::TNcpiIndication(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_ncci(readU32())
{
    m_ncpi = readStruct<TStruct>();
}

TDisconnectB3Ind::TDisconnectB3Ind(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_ncci(readU32()), m_reason(readU16())
{
    m_ncpi = readStruct<TStruct>();
}

TDataB3Conf::TDataB3Conf(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_ncci(readU32()), m_handle(readU16()), m_info(readU16())
{
}

TDataB3Ind::TDataB3Ind(const uint8_t *data, qsizetype available)
    : TCapiMessage(data, available), m_ncci(readU32()), m_pointer(readU32()), m_length(readU16()),
      m_handle(readU16()), m_flags(readU16())
{
}

// ---- built messages ----

TAlertReq::TAlertReq(uint32_t plci, TStructPtr additionalInfo)
    : TCapiMessage(capicmd::AlertReq, 4 + sizeOf(additionalInfo))
{
    writeU32(plci);
    writeStruct(additionalInfo);
}

TConnectResp::TConnectResp(uint32_t plci, uint16_t reject, TStructPtr bProtocol, TStructPtr connectedNumber,
                           TStructPtr connectedSubAddress, TStructPtr llc, TStructPtr additionalInfo)
    : TCapiMessage(capicmd::ConnectResp, 6 + sizeOf(bProtocol) + sizeOf(connectedNumber) +
                                             sizeOf(connectedSubAddress) + sizeOf(llc) +
                                             sizeOf(additionalInfo))
{
    writeU32(plci);
    writeU16(reject);
    writeStruct(bProtocol);
    writeStruct(connectedNumber);
    writeStruct(connectedSubAddress);
    writeStruct(llc);
    writeStruct(additionalInfo);
}

TDisconnectReq::TDisconnectReq(uint32_t plci, TStructPtr additionalInfo)
    : TCapiMessage(capicmd::DisconnectReq, 4 + sizeOf(additionalInfo))
{
    writeU32(plci);
    writeStruct(additionalInfo);
}

TListenReq::TListenReq(uint32_t controller, uint32_t infoMask, uint32_t cipMask, uint32_t cipMask2,
                       TStructPtr callingPartyNumber, TStructPtr callingPartySubAddress)
    : TCapiMessage(capicmd::ListenReq, 16 + sizeOf(callingPartyNumber) + sizeOf(callingPartySubAddress))
{
    writeU32(controller);
    writeU32(infoMask);
    writeU32(cipMask);
    writeU32(cipMask2);
    writeStruct(callingPartyNumber);
    writeStruct(callingPartySubAddress);
}

TFacilityReq::TFacilityReq(uint32_t identifier, uint16_t selector, TStructPtr parameter)
    : TCapiMessage(capicmd::FacilityReq, 6 + sizeOf(parameter))
{
    writeU32(identifier);
    writeU16(selector);
    writeStruct(parameter);
}

TFacilityResp::TFacilityResp(uint32_t identifier, uint16_t selector, TStructPtr parameter)
    : TCapiMessage(capicmd::FacilityResp, 6 + sizeOf(parameter))
{
    writeU32(identifier);
    writeU16(selector);
    writeStruct(parameter);
}

TConnectB3Req::TConnectB3Req(uint32_t plci, TStructPtr ncpi)
    : TCapiMessage(capicmd::ConnectB3Req, 4 + sizeOf(ncpi))
{
    writeU32(plci);
    writeStruct(ncpi);
}

TConnectB3Resp::TConnectB3Resp(uint32_t ncci, uint16_t reject, TStructPtr ncpi)
    : TCapiMessage(capicmd::ConnectB3Resp, 6 + sizeOf(ncpi))
{
    writeU32(ncci);
    writeU16(reject);
    writeStruct(ncpi);
}

TDisconnectB3Req::TDisconnectB3Req(uint32_t ncci, TStructPtr ncpi)
    : TCapiMessage(capicmd::DisconnectB3Req, 4 + sizeOf(ncpi))
{
    writeU32(ncci);
    writeStruct(ncpi);
}

TDataB3Req::TDataB3Req(uint32_t ncci, uint32_t dataPointer, uint16_t dataLength, uint16_t dataHandle,
                       uint16_t flags)
    : TCapiMessage(capicmd::DataB3Req, 14)
{
    writeU32(ncci);
    writeU32(dataPointer);
    writeU16(dataLength);
    writeU16(dataHandle);
    writeU16(flags);
}

TDataB3Resp::TDataB3Resp(uint32_t ncci, uint16_t dataHandle) : TCapiMessage(capicmd::DataB3Resp, 6)
{
    writeU32(ncci);
    writeU16(dataHandle);
}

TIdentifierResp::TIdentifierResp(uint16_t command, uint32_t identifier) : TCapiMessage(command, 4)
{
    writeU32(identifier);
}
