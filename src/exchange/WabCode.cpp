#include "exchange/WabCode.h"

#include "exchange/WabTags.h"
#include "store/Cp1250.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstring>
#include <utility>

namespace wab {

const unsigned char kSignature[16] = {0x9C, 0xCB, 0xCB, 0x8D, 0x13, 0x75, 0xD2, 0x11,
                                      0x91, 0x58, 0x00, 0xC0, 0x4F, 0x79, 0x56, 0xA4};

namespace {

constexpr int kDescriptorStart = 0x18;
constexpr int kDescriptorCount = 6;
constexpr int kIndexEntrySize = 8;

// A bounded view of the file: every read says whether the bytes were there.
class Cursor
{
public:
    Cursor(const QByteArray &bytes, quint64 begin, quint64 end)
        : m_data(bytes.constData()), m_pos(begin), m_end(end)
    {
    }
    quint64 left() const { return m_end - m_pos; }
    bool u32(std::uint32_t &value)
    {
        if (left() < 4)
            return false;
        const auto *p = reinterpret_cast<const unsigned char *>(m_data + m_pos);
        value = std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                std::uint32_t(p[3]) << 24;
        m_pos += 4;
        return true;
    }
    bool bytes(quint64 length, QByteArray &out)
    {
        if (left() < length)
            return false;
        out = QByteArray(m_data + m_pos, qsizetype(length));
        m_pos += length;
        return true;
    }

private:
    const char *m_data;
    quint64 m_pos;
    quint64 m_end;
};

std::uint32_t u32At(const QByteArray &bytes, quint64 at)
{
    std::uint32_t v = 0;
    Cursor(bytes, at, quint64(bytes.size())).u32(v);
    return v;
}

QString decodeString(const QByteArray &raw, bool wide)
{
    if (!wide) {
        const qsizetype nul = raw.indexOf('\0');
        return DecodeCp1250(nul < 0 ? raw : raw.left(nul));
    }
    QString text(raw.size() / 2, Qt::Uninitialized);
    const auto *p = reinterpret_cast<const unsigned char *>(raw.constData());
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8));
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

// One property at the cursor; false when its lengths run past the record's data.
bool readProperty(Cursor &in, SPropValue &value)
{
    if (!in.u32(value.ulPropTag))
        return false;
    const std::uint16_t type = PropType(value.ulPropTag);
    if (type & MV_FLAG) {
        std::uint32_t count = 0, total = 0;
        // Each value takes at least its length word, so the count is bounded by the data.
        if (!in.u32(count) || !in.u32(total) || total > in.left() || count > total / 4)
            return false;
        QByteArray all;
        if (!in.bytes(total, all))
            return false;
        Cursor inner(all, 0, quint64(all.size()));
        const bool text = (type & ~MV_FLAG) == PT_STRING8 || (type & ~MV_FLAG) == PT_UNICODE;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t length = 0;
            QByteArray raw;
            if (!inner.u32(length) || !inner.bytes(length, raw))
                return false;
            if (text)
                value.MVsz << decodeString(raw, (type & ~MV_FLAG) == PT_UNICODE);
        }
        return true;
    }
    std::uint32_t length = 0;
    QByteArray raw;
    if (!in.u32(length) || !in.bytes(length, raw))
        return false;
    if (type == PT_STRING8 || type == PT_UNICODE)
        value.lpsz = decodeString(raw, type == PT_UNICODE);
    else if (type == PT_LONG && raw.size() >= 4)
        value.l = u32At(raw, 0);
    else
        value.bin = std::move(raw);
    return true;
}

struct IndexEntry
{
    std::uint32_t id;
    quint64 offset;
    quint64 end = 0;
};

} // namespace

WabParse ParseWabFile(const QByteArray &bytes)
{
    WabParse result;
    const quint64 size = quint64(bytes.size());
    if (size > quint64(kMaxFileSize)) {
        result.error =
            QCoreApplication::translate("WabCode", "Datoteka je prevelika za datoteku Windows Adresara.");
        return result;
    }
    if (size < quint64(kDescriptorStart + kDescriptorCount * 16) ||
        std::memcmp(bytes.constData(), kSignature, sizeof kSignature) != 0) {
        result.error = QCoreApplication::translate("WabCode", "Datoteka nije datoteka Windows Adresara.");
        return result;
    }

    std::uint32_t indexOffset = 0, indexCount = 0;
    bool haveIndex = false;
    for (int d = 0; d < kDescriptorCount && !haveIndex; ++d) {
        const quint64 at = quint64(kDescriptorStart + d * 16);
        if (u32At(bytes, at) != kIndexTableType)
            continue;
        haveIndex = true;
        indexOffset = u32At(bytes, at + 8);
        indexCount = u32At(bytes, at + 12);
    }
    if (!haveIndex) {
        result.error = QCoreApplication::translate("WabCode", "Datoteka je oštećena: nema tablice zapisa.");
        return result;
    }
    if (quint64(indexOffset) + quint64(indexCount) * kIndexEntrySize > size) {
        result.error = QCoreApplication::translate(
            "WabCode", "Datoteka je oštećena: tablica zapisa izlazi izvan datoteke.");
        return result;
    }

    // Headers first: a record that runs past the file or overlaps another is a lie about the
    // layout, and reading overlapping records would let a small file cost quadratic work.
    QList<IndexEntry> live;
    for (std::uint32_t i = 0; i < indexCount; ++i) {
        const quint64 at = quint64(indexOffset) + quint64(i) * kIndexEntrySize;
        IndexEntry entry{u32At(bytes, at), u32At(bytes, at + 4)};
        if (entry.offset == 0)
            continue;
        if (entry.offset + kRecordHeaderSize > size) {
            result.error = QCoreApplication::translate(
                               "WabCode", "Datoteka je oštećena: zapis %1 izlazi izvan datoteke.")
                               .arg(entry.id);
            return result;
        }
        if (u32At(bytes, entry.offset) == 0) // deleted
            continue;
        const std::uint32_t dataLength = u32At(bytes, entry.offset + 28);
        entry.end = entry.offset + kRecordHeaderSize + dataLength;
        if (entry.end > size) {
            result.error = QCoreApplication::translate(
                               "WabCode", "Datoteka je oštećena: zapis %1 izlazi izvan datoteke.")
                               .arg(entry.id);
            return result;
        }
        if (u32At(bytes, entry.offset + 8) != entry.id) {
            result.error = QCoreApplication::translate(
                               "WabCode", "Datoteka je oštećena: zapis %1 ne odgovara tablici zapisa.")
                               .arg(entry.id);
            return result;
        }
        live << entry;
    }
    QList<IndexEntry> byOffset = live;
    std::sort(byOffset.begin(), byOffset.end(),
              [](const IndexEntry &a, const IndexEntry &b) { return a.offset < b.offset; });
    for (qsizetype i = 1; i < byOffset.size(); ++i) {
        if (byOffset[i].offset < byOffset[i - 1].end) {
            result.error =
                QCoreApplication::translate("WabCode", "Datoteka je oštećena: zapisi %1 i %2 se preklapaju.")
                    .arg(byOffset[i - 1].id)
                    .arg(byOffset[i].id);
            return result;
        }
    }

    for (const IndexEntry &entry : std::as_const(live)) {
        const std::uint32_t count = u32At(bytes, entry.offset + 12);
        Cursor in(bytes, entry.offset + kRecordHeaderSize, entry.end);
        // Each property takes at least its tag and one length word.
        if (count > in.left() / 8) {
            result.error = QCoreApplication::translate(
                               "WabCode", "Datoteka je oštećena: zapis %1 ima više svojstava nego podataka.")
                               .arg(entry.id);
            return result;
        }
        WabFileRecord record;
        record.id = entry.id;
        record.props.reserve(count);
        for (std::uint32_t p = 0; p < count; ++p) {
            SPropValue value;
            if (!readProperty(in, value)) {
                result.error = QCoreApplication::translate(
                                   "WabCode", "Datoteka je oštećena: svojstvo zapisa %1 izlazi izvan zapisa.")
                                   .arg(entry.id);
                return result;
            }
            record.props << std::move(value);
        }
        result.records << std::move(record);
    }
    return result;
}

} // namespace wab
