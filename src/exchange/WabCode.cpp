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
const unsigned char kOldSignature[16] = {0x81, 0x32, 0x84, 0xC1, 0x85, 0x05, 0xD0, 0x11,
                                         0xB2, 0x90, 0x00, 0xAA, 0x00, 0x3C, 0xF6, 0x76};

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

// The value of a property of VALUE.ulPropTag at the cursor, which stands after the data's copy of
// the tag; false when its lengths run past the record's data.
bool readValue(Cursor &in, SPropValue &value)
{
    const std::uint16_t type = PropType(value.ulPropTag);
    if (type & MV_FLAG) {
        std::uint32_t count = 0, total = 0;
        QByteArray all;
        if (!in.u32(count) || !in.u32(total) || !in.bytes(total, all))
            return false;
        const std::uint16_t single = type & ~MV_FLAG;
        if (single != PT_STRING8 && single != PT_UNICODE)
            return true; // kept by no field; only its length matters
        // Each value takes at least its length word, so the count is bounded by the data.
        if (count > total / 4)
            return false;
        Cursor inner(all, 0, quint64(all.size()));
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t length = 0;
            QByteArray raw;
            if (!inner.u32(length) || !inner.bytes(length, raw))
                return false;
            value.MVsz << decodeString(raw, single == PT_UNICODE);
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
    std::uint32_t count = 0; // properties
    quint64 end = 0;
};

const char *const kPastFile =
    QT_TRANSLATE_NOOP("WabCode", "Datoteka je oštećena: zapis %1 izlazi izvan datoteke.");

QString damaged(const char *what, std::uint32_t id)
{
    return QCoreApplication::translate("WabCode", what).arg(id);
}

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
        (std::memcmp(bytes.constData(), kSignature, sizeof kSignature) != 0 &&
         std::memcmp(bytes.constData(), kOldSignature, sizeof kOldSignature) != 0)) {
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
            result.error = damaged(kPastFile, entry.id);
            return result;
        }
        if (u32At(bytes, entry.offset) == 0) // deleted
            continue;
        entry.count = u32At(bytes, entry.offset + 12);
        entry.end =
            entry.offset + kRecordHeaderSize + quint64(entry.count) * 4 + u32At(bytes, entry.offset + 28);
        if (entry.end > size) {
            result.error = damaged(kPastFile, entry.id);
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

    int contacts = 0;
    for (const IndexEntry &entry : std::as_const(live)) {
        const quint64 data = entry.offset + kRecordHeaderSize + quint64(entry.count) * 4;
        Cursor tags(bytes, entry.offset + kRecordHeaderSize, data);
        Cursor in(bytes, data, entry.end);
        // Each property takes at least its tag and one length word of the data.
        if (entry.count > in.left() / 8) {
            result.error =
                damaged(QT_TRANSLATE_NOOP("WabCode",
                                          "Datoteka je oštećena: zapis %1 ima više svojstava nego podataka."),
                        entry.id);
            return result;
        }
        WabFileRecord record;
        record.id = entry.id;
        record.props.reserve(entry.count);
        for (std::uint32_t p = 0; p < entry.count; ++p) {
            std::uint32_t again = 0;
            SPropValue value;
            const bool read = tags.u32(value.ulPropTag) && in.u32(again);
            if (read && again != value.ulPropTag) {
                result.error =
                    damaged(QT_TRANSLATE_NOOP(
                                "WabCode",
                                "Datoteka je oštećena: svojstva zapisa %1 ne odgovaraju popisu svojstava."),
                            entry.id);
                return result;
            }
            if (!read || !readValue(in, value)) {
                result.error =
                    damaged(QT_TRANSLATE_NOOP(
                                "WabCode", "Datoteka je oštećena: svojstvo zapisa %1 izlazi izvan zapisa."),
                            entry.id);
                return result;
            }
            record.props << std::move(value);
        }
        // Folders, distribution lists and anything else only need to say what they are.
        const auto type = std::find_if(record.props.cbegin(), record.props.cend(),
                                       [](const SPropValue &v) { return v.ulPropTag == PR_OBJECT_TYPE; });
        const bool contact = type != record.props.cend() && type->l == MAPI_MAILUSER;
        if (contact && contacts == kMaxContacts) {
            ++result.contactsLeftOut;
            continue;
        }
        if (contact)
            ++contacts;
        else if (type == record.props.cend())
            record.props.clear();
        else
            record.props = {*type};
        result.records << std::move(record);
    }
    return result;
}

} // namespace wab
