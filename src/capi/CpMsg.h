#pragma once

#include "CpStruct.h"

#include <QByteArray>

#include <cstdint>
#include <memory>

// Commands as command * 256 + subcommand.
namespace capicmd {
enum : uint16_t
{
    AlertReq = 0x0180,
    AlertConf = 0x0181,
    ConnectConf = 0x0281,
    ConnectInd = 0x0282,
    ConnectResp = 0x0283,
    ConnectActiveInd = 0x0382,
    ConnectActiveResp = 0x0383,
    DisconnectReq = 0x0480,
    DisconnectConf = 0x0481,
    DisconnectInd = 0x0482,
    DisconnectResp = 0x0483,
    ListenReq = 0x0580,
    ListenConf = 0x0581,
    InfoConf = 0x0881,
    InfoInd = 0x0882,
    InfoResp = 0x0883,
    SelectBProtocolConf = 0x4181,
    FacilityReq = 0x8080,
    FacilityConf = 0x8081,
    FacilityInd = 0x8082,
    FacilityResp = 0x8083,
    ConnectB3Req = 0x8280,
    ConnectB3Conf = 0x8281,
    ConnectB3Ind = 0x8282,
    ConnectB3Resp = 0x8283,
    ConnectB3ActiveInd = 0x8382,
    ConnectB3ActiveResp = 0x8383,
    DisconnectB3Req = 0x8480,
    DisconnectB3Conf = 0x8481,
    DisconnectB3Ind = 0x8482,
    DisconnectB3Resp = 0x8483,
    DataB3Req = 0x8680,
    DataB3Conf = 0x8681,
    DataB3Ind = 0x8682,
    DataB3Resp = 0x8683,
    ResetB3Conf = 0x8781,
    ResetB3Ind = 0x8782,
    ResetB3Resp = 0x8783,
    ConnectB3T90ActiveInd = 0x8882,
    ConnectB3T90ActiveResp = 0x8883,
};
enum : uint8_t
{
    Req = 0x80,
    Conf = 0x81,
    Ind = 0x82,
    Resp = 0x83
};
} // namespace capicmd

struct TCapiMessageHeader
{
    static constexpr int kSize = 8;

    uint16_t TotalLength = 0;
    uint16_t ApplId = 0;
    uint8_t Command = 0;
    uint8_t SubCommand = 0;
    uint16_t MessageNumber = 0;

    virtual ~TCapiMessageHeader() = default;
    virtual void setCommand(uint16_t command);
    virtual uint16_t getCommand() const { return uint16_t(Command << 8 | SubCommand); }
};

using TStructPtr = std::unique_ptr<TStruct>;

class TCapiMessage
{
public:
    // Decodes a received message; at most available bytes are read.
    TCapiMessage(const uint8_t *data, qsizetype available);
    virtual ~TCapiMessage();
    TCapiMessage(const TCapiMessage &) = delete;
    TCapiMessage &operator=(const TCapiMessage &) = delete;

    TCapiMessageHeader &header() { return m_header; }
    const TCapiMessageHeader &header() const { return m_header; }
    uint16_t command() const { return m_header.getCommand(); }
    // The whole message with the header fields written in.
    QByteArray encode();
    QByteArray parameters() const { return m_buffer.mid(TCapiMessageHeader::kSize); }

protected:
    // Building: the total length is 8 plus paramLength.
    TCapiMessage(uint16_t command, int paramLength);

    uint8_t readU8();
    uint16_t readU16();
    uint32_t readU32();
    template <typename T> std::unique_ptr<T> readStruct()
    {
        const qsizetype left = qMax<qsizetype>(0, m_buffer.size() - m_cursor);
        auto s =
            std::make_unique<T>(reinterpret_cast<const uint8_t *>(m_buffer.constData()) + m_cursor, left);
        m_cursor += s->consumed();
        return s;
    }

    void writeU16(uint16_t v);
    void writeU32(uint32_t v);
    void writeStruct(const TStructPtr &s);
    static int sizeOf(const TStructPtr &s) { return s ? s->totalSize() : 1; }

private:
    QByteArray m_buffer;
    int m_cursor = TCapiMessageHeader::kSize;
    TCapiMessageHeader m_header;
};

using TCapiMessagePtr = std::unique_ptr<TCapiMessage>;

// Creates the class of a received message by its command; unknown commands give a plain
// TCapiMessage. The object owns a copy of the bytes.
TCapiMessagePtr CreateCapiMessage(const uint8_t *data, qsizetype available);
inline void FreeCapiMessage(TCapiMessagePtr &message)
{
    message.reset();
}

// ---- received messages ----

class TCapiConfirmation : public TCapiMessage
{
public:
    TCapiConfirmation(const uint8_t *data, qsizetype available);
    uint32_t identifier() const { return m_identifier; }
    uint16_t info() const { return m_info; }

private:
    uint32_t m_identifier;
    uint16_t m_info;
};

#define TW_CAPI_CONFIRMATION(Name)                                                                           \
    class Name : public TCapiConfirmation                                                                    \
    {                                                                                                        \
    public:                                                                                                  \
        using TCapiConfirmation::TCapiConfirmation;                                                          \
    };
TW_CAPI_CONFIRMATION(TAlertConf)
TW_CAPI_CONFIRMATION(TConnectConf)
TW_CAPI_CONFIRMATION(TDisconnectConf)
TW_CAPI_CONFIRMATION(TListenConf)
TW_CAPI_CONFIRMATION(TInfoConf)
TW_CAPI_CONFIRMATION(TSelectBProtocolConf)
TW_CAPI_CONFIRMATION(TConnectB3Conf)
TW_CAPI_CONFIRMATION(TDisconnectB3Conf)
TW_CAPI_CONFIRMATION(TResetB3Conf)
#undef TW_CAPI_CONFIRMATION

class TConnectInd : public TCapiMessage
{
public:
    TConnectInd(const uint8_t *data, qsizetype available);
    uint32_t plci() const { return m_plci; }
    uint16_t cipValue() const { return m_cip; }
    TCallingPartySubAddress &calledPartyNumber() { return *m_calledNumber; }
    TCallingPartyNumber &callingPartyNumber() { return *m_callingNumber; }
    TCallingPartySubAddress &calledPartySubAddress() { return *m_calledSub; }
    TCallingPartySubAddress &callingPartySubAddress() { return *m_callingSub; }
    TStruct &bc() { return *m_bc; }
    TStruct &llc() { return *m_llc; }
    TStruct &hlc() { return *m_hlc; }
    TStruct &additionalInfo() { return *m_additionalInfo; }

private:
    uint32_t m_plci;
    uint16_t m_cip;
    std::unique_ptr<TCallingPartySubAddress> m_calledNumber;
    std::unique_ptr<TCallingPartyNumber> m_callingNumber;
    std::unique_ptr<TCallingPartySubAddress> m_calledSub;
    std::unique_ptr<TCallingPartySubAddress> m_callingSub;
    TStructPtr m_bc, m_llc, m_hlc, m_additionalInfo;
};

class TConnectActiveInd : public TCapiMessage
{
public:
    TConnectActiveInd(const uint8_t *data, qsizetype available);
    uint32_t plci() const { return m_plci; }
    TCallingPartyNumber &connectedNumber() { return *m_number; }
    TCallingPartySubAddress &connectedSubAddress() { return *m_sub; }
    TStruct &llc() { return *m_llc; }

private:
    uint32_t m_plci;
    std::unique_ptr<TCallingPartyNumber> m_number;
    std::unique_ptr<TCallingPartySubAddress> m_sub;
    TStructPtr m_llc;
};

class TDisconnectInd : public TCapiMessage
{
public:
    TDisconnectInd(const uint8_t *data, qsizetype available);
    uint32_t plci() const { return m_plci; }
    uint16_t reason() const { return m_reason; }

private:
    uint32_t m_plci;
    uint16_t m_reason;
};

class TInfoInd : public TCapiMessage
{
public:
    TInfoInd(const uint8_t *data, qsizetype available);
    uint32_t plci() const { return m_plci; }
    TStruct &infoElement() { return *m_element; }

private:
    uint32_t m_plci;
    uint16_t m_infoNumber;
    TStructPtr m_element;
};

class TFacilityConf : public TCapiMessage
{
public:
    TFacilityConf(const uint8_t *data, qsizetype available);
    uint32_t identifier() const { return m_identifier; }
    uint16_t info() const { return m_info; }
    uint16_t facilitySelector() const { return m_selector; }
    TStruct &facilityConfirmationParameter() { return *m_parameter; }

private:
    uint32_t m_identifier;
    uint16_t m_info;
    uint16_t m_selector;
    TStructPtr m_parameter;
};

class TFacilityInd : public TCapiMessage
{
public:
    TFacilityInd(const uint8_t *data, qsizetype available);
    uint32_t identifier() const { return m_identifier; }
    uint16_t facilitySelector() const { return m_selector; }
    TStruct &facilityIndicationParameter() { return *m_parameter; }

private:
    uint32_t m_identifier;
    uint16_t m_selector;
    TStructPtr m_parameter;
};

// B3 indications that carry only an NCCI and an NCPI.
class TNcpiIndication : public TCapiMessage
{
public:
    TNcpiIndication(const uint8_t *data, qsizetype available);
    uint32_t ncci() const { return m_ncci; }
    TStruct &ncpi() { return *m_ncpi; }

private:
    uint32_t m_ncci;
    TStructPtr m_ncpi;
};

#define TW_CAPI_NCPI_IND(Name)                                                                               \
    class Name : public TNcpiIndication                                                                      \
    {                                                                                                        \
    public:                                                                                                  \
        using TNcpiIndication::TNcpiIndication;                                                              \
    };
TW_CAPI_NCPI_IND(TConnectB3Ind)
TW_CAPI_NCPI_IND(TConnectB3ActiveInd)
TW_CAPI_NCPI_IND(TResetB3Ind)
TW_CAPI_NCPI_IND(TConnectB3T90ActiveInd)
#undef TW_CAPI_NCPI_IND

class TDisconnectB3Ind : public TCapiMessage
{
public:
    TDisconnectB3Ind(const uint8_t *data, qsizetype available);
    uint32_t ncci() const { return m_ncci; }
    TStruct &ncpi() { return *m_ncpi; }

private:
    uint32_t m_ncci;
    uint16_t m_reason;
    TStructPtr m_ncpi;
};

class TDataB3Conf : public TCapiMessage
{
public:
    TDataB3Conf(const uint8_t *data, qsizetype available);
    uint32_t ncci() const { return m_ncci; }
    uint16_t dataHandle() const { return m_handle; }
    uint16_t info() const { return m_info; }

private:
    uint32_t m_ncci;
    uint16_t m_handle;
    uint16_t m_info;
};

class TDataB3Ind : public TCapiMessage
{
public:
    TDataB3Ind(const uint8_t *data, qsizetype available);
    uint32_t ncci() const { return m_ncci; }
    uint32_t dataPointer() const { return m_pointer; }
    uint16_t dataLength() const { return m_length; }
    uint16_t dataHandle() const { return m_handle; }
    uint16_t flags() const { return m_flags; }

private:
    uint32_t m_ncci;
    uint32_t m_pointer;
    uint16_t m_length;
    uint16_t m_handle;
    uint16_t m_flags;
};

// ---- built messages ----

class TAlertReq : public TCapiMessage
{
public:
    TAlertReq(uint32_t plci, TStructPtr additionalInfo = nullptr);
};

class TConnectResp : public TCapiMessage
{
public:
    TConnectResp(uint32_t plci, uint16_t reject, TStructPtr bProtocol = nullptr,
                 TStructPtr connectedNumber = nullptr, TStructPtr connectedSubAddress = nullptr,
                 TStructPtr llc = nullptr, TStructPtr additionalInfo = nullptr);
};

class TDisconnectReq : public TCapiMessage
{
public:
    TDisconnectReq(uint32_t plci, TStructPtr additionalInfo = nullptr);
};

class TListenReq : public TCapiMessage
{
public:
    TListenReq(uint32_t controller, uint32_t infoMask, uint32_t cipMask, uint32_t cipMask2,
               TStructPtr callingPartyNumber = nullptr, TStructPtr callingPartySubAddress = nullptr);
};

class TFacilityReq : public TCapiMessage
{
public:
    TFacilityReq(uint32_t identifier, uint16_t selector, TStructPtr parameter = nullptr);
};

class TFacilityResp : public TCapiMessage
{
public:
    TFacilityResp(uint32_t identifier, uint16_t selector, TStructPtr parameter = nullptr);
};

class TConnectB3Req : public TCapiMessage
{
public:
    TConnectB3Req(uint32_t plci, TStructPtr ncpi = nullptr);
};

class TConnectB3Resp : public TCapiMessage
{
public:
    TConnectB3Resp(uint32_t ncci, uint16_t reject, TStructPtr ncpi = nullptr);
};

class TDisconnectB3Req : public TCapiMessage
{
public:
    TDisconnectB3Req(uint32_t ncci, TStructPtr ncpi = nullptr);
};

class TDataB3Req : public TCapiMessage
{
public:
    TDataB3Req(uint32_t ncci, uint32_t dataPointer, uint16_t dataLength, uint16_t dataHandle, uint16_t flags);
};

class TDataB3Resp : public TCapiMessage
{
public:
    TDataB3Resp(uint32_t ncci, uint16_t dataHandle);
};

// Responses made of one identifier (PLCI or NCCI) only.
class TIdentifierResp : public TCapiMessage
{
public:
    TIdentifierResp(uint16_t command, uint32_t identifier);
};

#define TW_CAPI_ID_RESP(Name, Code)                                                                          \
    class Name : public TIdentifierResp                                                                      \
    {                                                                                                        \
    public:                                                                                                  \
        explicit Name(uint32_t identifier) : TIdentifierResp(Code, identifier) {}                            \
    };
TW_CAPI_ID_RESP(TConnectActiveResp, capicmd::ConnectActiveResp)
TW_CAPI_ID_RESP(TDisconnectResp, capicmd::DisconnectResp)
TW_CAPI_ID_RESP(TInfoResp, capicmd::InfoResp)
TW_CAPI_ID_RESP(TConnectB3ActiveResp, capicmd::ConnectB3ActiveResp)
TW_CAPI_ID_RESP(TDisconnectB3Resp, capicmd::DisconnectB3Resp)
TW_CAPI_ID_RESP(TResetB3Resp, capicmd::ResetB3Resp)
TW_CAPI_ID_RESP(TConnectB3T90ActiveResp, capicmd::ConnectB3T90ActiveResp)
#undef TW_CAPI_ID_RESP
