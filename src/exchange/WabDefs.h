#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// The shapes the address-book calls hand out: property values, rows of a contents table, the
// open parameters and the result codes.
namespace wab {

using HRESULT = std::int32_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT MAPI_E_NOT_FOUND = std::int32_t(0x8004010F);
constexpr HRESULT MAPI_E_CORRUPT_DATA = std::int32_t(0x8004011B);
constexpr HRESULT MAPI_E_INVALID_PARAMETER = std::int32_t(0x80070057);
constexpr HRESULT MAPI_E_NO_ACCESS = std::int32_t(0x80070005);
constexpr HRESULT MAPI_E_NOT_ENOUGH_MEMORY = std::int32_t(0x8007000E);

inline bool FAILED(HRESULT hr)
{
    return hr < 0;
}

// One property value. Strings of either width arrive as text; a multi-valued string as a list.
struct SPropValue
{
    std::uint32_t ulPropTag = 0;
    std::uint32_t l = 0; // PT_LONG
    QString lpsz;        // PT_STRING8, PT_UNICODE
    QStringList MVsz;    // PT_MV_STRING8, PT_MV_UNICODE
    QByteArray bin;      // PT_BINARY and any other value, as stored
};

struct SRow
{
    QList<SPropValue> lpProps;
};

struct SRowSet
{
    QList<SRow> aRow;
};

using SPropTagArray = QList<std::uint32_t>;
using ENTRYID = QByteArray;

struct WAB_PARAM
{
    std::uint32_t cbSize = 32;
    void *hwnd = nullptr;
    QString szFileName;
    std::uint32_t ulFlags = 0;
};

} // namespace wab
