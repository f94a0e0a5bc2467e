#include "exchange/WabIab.h"

#include "exchange/WabTags.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace wab {

namespace {

constexpr std::uint16_t PT_ERROR = 0x000A;
// The container's identifier: no record identifier is this long.
const QByteArray kPabEntryId = QByteArrayLiteral("PAB\0\0\0\0\0");

class IMailUser : public IMAPIProp
{
public:
    IMailUser(IWABObject &wab, const WabFileRecord &record) : m_wab(wab), m_record(record) {}
    HRESULT GetProps(const SPropTagArray *tags, std::uint32_t, std::uint32_t *count,
                     SPropValue **props) override
    {
        QList<SPropValue> values;
        if (!tags) {
            values = m_record.props;
        } else {
            for (std::uint32_t tag : *tags) {
                SPropValue v;
                v.ulPropTag = PropTag(PropId(tag), PT_ERROR);
                for (const SPropValue &p : m_record.props)
                    if (p.ulPropTag == tag)
                        v = p;
                values << v;
            }
        }
        *count = std::uint32_t(values.size());
        *props = m_wab.allocateProps(std::move(values));
        return S_OK;
    }

private:
    IWABObject &m_wab;
    const WabFileRecord &m_record;
};

} // namespace

SPropValue *IWABObject::allocateProps(QList<SPropValue> values)
{
    if (values.isEmpty())
        return nullptr;
    auto block = std::make_shared<QList<SPropValue>>(std::move(values));
    SPropValue *first = block->data();
    m_blocks.insert(first, std::move(block));
    return first;
}

HRESULT IWABObject::FreeBuffer(const void *buffer)
{
    if (!buffer || m_blocks.remove(buffer))
        return S_OK;
    return MAPI_E_INVALID_PARAMETER;
}

HRESULT IMAPITable::SetColumns(const SPropTagArray &columns, std::uint32_t)
{
    m_columns = columns;
    return S_OK;
}

HRESULT IMAPITable::SeekRow(std::uint32_t bookmark, std::int32_t rowCount, std::int32_t *rowsSought)
{
    if (bookmark != BOOKMARK_BEGINNING)
        return MAPI_E_INVALID_PARAMETER;
    m_cursor = std::clamp<qsizetype>(rowCount, 0, m_rows.size());
    if (rowsSought)
        *rowsSought = std::int32_t(m_cursor);
    return S_OK;
}

HRESULT IMAPITable::QueryRows(std::int32_t rowCount, std::uint32_t, SRowSet **rows)
{
    SRowSet set;
    for (; rowCount > 0 && m_cursor < m_rows.size(); --rowCount, ++m_cursor) {
        SRow row;
        for (std::uint32_t tag : std::as_const(m_columns)) {
            SPropValue v;
            v.ulPropTag = PropTag(PropId(tag), PT_ERROR);
            for (const SPropValue &p : m_rows[m_cursor].lpProps)
                if (p.ulPropTag == tag)
                    v = p;
            row.lpProps << v;
        }
        set.aRow << row;
    }
    *rows = m_wab.allocate(std::move(set));
    return S_OK;
}

HRESULT IABContainer::GetProps(const SPropTagArray *, std::uint32_t, std::uint32_t *count, SPropValue **props)
{
    SPropValue type;
    type.ulPropTag = PR_OBJECT_TYPE;
    type.l = MAPI_ABCONT;
    *count = 1;
    *props = m_wab.allocateProps({type});
    return S_OK;
}

HRESULT IABContainer::GetContentsTable(std::uint32_t, std::unique_ptr<IMAPITable> &table)
{
    QList<SRow> rows;
    for (const WabFileRecord &r : m_file->records) {
        SPropValue id, type;
        id.ulPropTag = PR_ENTRYID;
        id.bin = EntryIdOf(r.id);
        type.ulPropTag = PR_OBJECT_TYPE;
        type.l = ObjectTypeOf(r);
        rows << SRow{{id, type}};
    }
    table = std::make_unique<IMAPITable>(m_wab, std::move(rows));
    return S_OK;
}

IAddrBook::IAddrBook(IWABObject &wab, std::shared_ptr<const WabParse> file)
    : m_wab(wab), m_file(std::move(file))
{
    // A record identifier given twice opens its first record, as a look-up by identifier would.
    for (qsizetype i = m_file->records.size() - 1; i >= 0; --i)
        m_byId.insert(EntryIdOf(m_file->records[i].id), i);
}

HRESULT IAddrBook::GetPAB(std::uint32_t *cbEntryID, ENTRYID **entryID)
{
    *entryID = m_wab.allocate(kPabEntryId);
    *cbEntryID = std::uint32_t(kPabEntryId.size());
    return S_OK;
}

HRESULT IAddrBook::OpenEntry(const ENTRYID &entryID, const void *, std::uint32_t, std::uint32_t *objType,
                             std::unique_ptr<IMAPIProp> &entry)
{
    if (entryID == kPabEntryId) {
        entry = std::make_unique<IABContainer>(m_wab, m_file);
        if (objType)
            *objType = MAPI_ABCONT;
        return S_OK;
    }
    const auto found = m_byId.constFind(entryID);
    if (found == m_byId.constEnd())
        return MAPI_E_NOT_FOUND;
    const WabFileRecord &record = m_file->records[*found];
    entry = std::make_unique<IMailUser>(m_wab, record);
    if (objType)
        *objType = ObjectTypeOf(record);
    return S_OK;
}

std::uint32_t ObjectTypeOf(const WabFileRecord &record)
{
    for (const SPropValue &p : record.props)
        if (p.ulPropTag == PR_OBJECT_TYPE)
            return p.l;
    return 0;
}

ENTRYID EntryIdOf(std::uint32_t recordId)
{
    ENTRYID id(4, '\0');
    for (int i = 0; i < 4; ++i)
        id[i] = char((recordId >> (8 * i)) & 0xFF);
    return id;
}

HRESULT WABOpenBytes(const QByteArray &bytes, std::unique_ptr<IAddrBook> &addrBook,
                     std::unique_ptr<IWABObject> &wabObject, QString *error)
{
    auto parsed = std::make_shared<WabParse>(ParseWabFile(bytes));
    if (!parsed->ok()) {
        if (error)
            *error = parsed->error;
        return MAPI_E_CORRUPT_DATA;
    }
    wabObject = std::make_unique<IWABObject>();
    addrBook = std::make_unique<IAddrBook>(*wabObject, std::move(parsed));
    return S_OK;
}

HRESULT WABOpen(const WAB_PARAM &param, std::unique_ptr<IAddrBook> &addrBook,
                std::unique_ptr<IWABObject> &wabObject, QString *error)
{
    QFile file(param.szFileName);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QCoreApplication::translate("WabCode", "Datoteka %1 se ne može otvoriti: %2")
                         .arg(param.szFileName, file.errorString());
        return MAPI_E_NO_ACCESS;
    }
    if (file.size() > kMaxFileSize) {
        if (error)
            *error =
                QCoreApplication::translate("WabCode", "Datoteka je prevelika za datoteku Windows Adresara.");
        return MAPI_E_NOT_ENOUGH_MEMORY;
    }
    return WABOpenBytes(file.read(kMaxFileSize + 1), addrBook, wabObject, error);
}

} // namespace wab
