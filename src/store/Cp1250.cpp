#include "store/Cp1250.h"

#include <array>

namespace {

// Unicode code points of bytes 0x80..0xFF.
// clang-format off
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

struct ReverseTable
{
    std::array<unsigned char, 0x10000> bytes{}; // 0 = not representable (except U+0000)
    ReverseTable()
    {
        for (int i = 0; i < 0x80; ++i)
            bytes[std::size_t(i)] = static_cast<unsigned char>(i);
        for (std::size_t i = 0; i < kHigh.size(); ++i)
            bytes[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
    }
};

// Every byte's character.
constexpr std::array<char16_t, 256> kChars = [] {
    std::array<char16_t, 256> chars{};
    for (std::size_t i = 0; i < 0x80; ++i)
        chars[i] = char16_t(i);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        chars[0x80 + i] = kHigh[i];
    return chars;
}();

const ReverseTable &reverseTable()
{
    static const ReverseTable table;
    return table;
}

} // namespace

QString DecodeCp1250(const char *bytes, qsizetype length)
{
    if (length == 0)
        return QString();
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QChar(kChars[static_cast<unsigned char>(bytes[i])]);
    return text;
}

bool EqualsCp1250(const QString &text, const char *bytes, qsizetype length)
{
    if (text.size() != length)
        return false;
    const QChar *chars = text.constData();
    for (qsizetype i = 0; i < length; ++i)
        if (chars[i].unicode() != kChars[static_cast<unsigned char>(bytes[i])])
            return false;
    return true;
}

QByteArray EncodeCp1250(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(EncodeCp1250Into(text, bytes.data(), text.size()));
    return bytes;
}

qsizetype EncodeCp1250Into(const QString &text, char *out, qsizetype maxChars)
{
    const auto &table = reverseTable();
    const QChar *in = text.constData();
    const qsizetype size = text.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size && written < maxChars; ++i) {
        const char16_t c = in[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1].unicode())) {
            out[written++] = '?';
            ++i;
            continue;
        }
        const unsigned char b = table.bytes[c];
        out[written++] = b != 0 || c == 0 ? char(b) : '?';
    }
    return written;
}

QString StoredText(const QString &text, int capacity)
{
    return DecodeCp1250(EncodeCp1250(text.left(capacity)));
}
