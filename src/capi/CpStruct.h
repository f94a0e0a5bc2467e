#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>

// A CAPI structure: a length prefix (one byte, or 0xFF and a 16-bit length from 255 bytes of
// content on) followed by the content. An empty structure is the single byte 0.
class TStruct
{
public:
    TStruct(); // empty structure
    // Wraps the structure at data, of which at most available bytes may be read. A structure that
    // would cross that limit reads as empty; consumed() tells how far the parameter reached.
    TStruct(const uint8_t *data, qsizetype available);
    virtual ~TStruct();

    int contentLength() const;
    int totalSize() const;
    int consumed() const { return m_consumed; }

    void allocate(int contentLength);
    void write(const void *bytes, int count);
    void writeU8(uint8_t v) { write(&v, 1); }
    void writeU16(uint16_t v);
    void writeU32(uint32_t v);
    // Copies count bytes when the content holds them; otherwise yields count zero bytes and does
    // not move.
    bool read(void *bytes, int count);
    uint8_t readU8();
    uint16_t readU16();
    uint32_t readU32();
    void resetCursor();

    const QByteArray &bytes() const { return m_bytes; } // prefix included
    QByteArray content() const { return m_bytes.mid(prefixSize()); }

protected:
    int prefixSize() const;

private:
    QByteArray m_bytes;
    int m_cursor = 0; // index into m_bytes
    int m_readPos = 0;
    int m_consumed = 0;
};

// Calling (and connected) party number: type of number and numbering plan, presentation and
// screening indicator, then the digits.
class TCallingPartyNumber : public TStruct
{
public:
    TCallingPartyNumber(uint8_t octet1, uint8_t octet2, const QString &digits);
    TCallingPartyNumber(const uint8_t *data, qsizetype available);

    uint8_t octet1() const { return m_octet1; }
    uint8_t octet2() const { return m_octet2; }
    QString digits() const { return m_digits; }

private:
    uint8_t m_octet1 = 0;
    uint8_t m_octet2 = 0;
    QString m_digits;
};

// One octet, then text: called party number (type of number) and the subaddresses.
class TCallingPartySubAddress : public TStruct
{
public:
    TCallingPartySubAddress(uint8_t octet, const QString &text);
    TCallingPartySubAddress(const uint8_t *data, qsizetype available);

    uint8_t octet() const { return m_octet; }
    QString text() const { return m_text; }

private:
    uint8_t m_octet = 0;
    QString m_text;
};

class TBProtocol : public TStruct
{
public:
    // Takes over the three configuration structures (null means empty).
    TBProtocol(uint16_t b1, uint16_t b2, uint16_t b3, std::unique_ptr<TStruct> b1Config = nullptr,
               std::unique_ptr<TStruct> b2Config = nullptr, std::unique_ptr<TStruct> b3Config = nullptr);
};

// Facility request parameter for supplementary services: function 0 asks for the supported
// services; the parameter structure is empty.
class TSuppServFacilityReqParameter : public TStruct
{
public:
    explicit TSuppServFacilityReqParameter(uint16_t function = 0);
};

class TSuppServFacilityConfParameter : public TStruct
{
public:
    TSuppServFacilityConfParameter(const uint8_t *data, qsizetype available);
    explicit TSuppServFacilityConfParameter(const TStruct &wrapped);

    uint16_t function() const { return m_function; }
    TStruct &parameter() { return *m_inner; }
    // Only for function 0 (get supported services).
    bool supportedServices(uint16_t &info, uint32_t &services);

private:
    void parse();

    uint16_t m_function = 0;
    std::unique_ptr<TStruct> m_inner;
};
