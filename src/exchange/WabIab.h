#pragma once

#include "exchange/WabCode.h"
#include "exchange/WabDefs.h"

#include <QHash>

#include <memory>

// The address-book interfaces the import calls, served from a file read by our own reader.
// Memory handed out (property arrays, row sets, entry identifiers) belongs to the IWABObject
// that opened the file: FreeBuffer releases one block, and whatever is left goes with the
// object.
namespace wab {

constexpr std::uint32_t MAPI_ABCONT = 4;
constexpr std::uint32_t BOOKMARK_BEGINNING = 0;

class IWABObject
{
public:
    HRESULT FreeBuffer(const void *buffer);

    template <typename T> T *allocate(T value)
    {
        auto block = std::make_shared<T>(std::move(value));
        T *raw = block.get();
        m_blocks.insert(raw, std::move(block));
        return raw;
    }
    // A property array is handed out, and freed, as its first element; an empty one as null.
    SPropValue *allocateProps(QList<SPropValue> values);

private:
    QHash<const void *, std::shared_ptr<void>> m_blocks;
};

// An opened entry: a contact (or any other record) or the address book's one container.
class IMAPIProp
{
public:
    virtual ~IMAPIProp() = default;
    // TAGS null: every property in the entry's order. PROPS is released with FreeBuffer.
    virtual HRESULT GetProps(const SPropTagArray *tags, std::uint32_t flags, std::uint32_t *count,
                             SPropValue **props) = 0;
};

class IMAPITable
{
public:
    IMAPITable(IWABObject &wab, QList<SRow> rows) : m_wab(wab), m_rows(std::move(rows)) {}
    HRESULT SetColumns(const SPropTagArray &columns, std::uint32_t flags);
    HRESULT SeekRow(std::uint32_t bookmark, std::int32_t rowCount, std::int32_t *rowsSought);
    // At most ROWCOUNT rows from the cursor on; an empty set at the end. Released with FreeBuffer.
    HRESULT QueryRows(std::int32_t rowCount, std::uint32_t flags, SRowSet **rows);

private:
    IWABObject &m_wab;
    QList<SRow> m_rows;
    SPropTagArray m_columns;
    qsizetype m_cursor = 0;
};

class IABContainer : public IMAPIProp
{
public:
    IABContainer(IWABObject &wab, std::shared_ptr<const WabParse> file) : m_wab(wab), m_file(std::move(file))
    {
    }
    HRESULT GetProps(const SPropTagArray *tags, std::uint32_t flags, std::uint32_t *count,
                     SPropValue **props) override;
    HRESULT GetContentsTable(std::uint32_t flags, std::unique_ptr<IMAPITable> &table);

private:
    IWABObject &m_wab;
    std::shared_ptr<const WabParse> m_file;
};

class IAddrBook
{
public:
    IAddrBook(IWABObject &wab, std::shared_ptr<const WabParse> file);
    // The personal address book's identifier, released with FreeBuffer.
    HRESULT GetPAB(std::uint32_t *cbEntryID, ENTRYID **entryID);
    HRESULT OpenEntry(const ENTRYID &entryID, const void *iface, std::uint32_t flags, std::uint32_t *objType,
                      std::unique_ptr<IMAPIProp> &entry);
    // Contacts of the file past the most that are read.
    int contactsLeftOut() const { return m_file->contactsLeftOut; }

private:
    IWABObject &m_wab;
    std::shared_ptr<const WabParse> m_file;
    QHash<ENTRYID, qsizetype> m_byId;
};

// Opens PARAM.szFileName. On failure ERROR (when given) says why in the user's words.
HRESULT WABOpen(const WAB_PARAM &param, std::unique_ptr<IAddrBook> &addrBook,
                std::unique_ptr<IWABObject> &wabObject, QString *error = nullptr);
// The same over bytes already read.
HRESULT WABOpenBytes(const QByteArray &bytes, std::unique_ptr<IAddrBook> &addrBook,
                     std::unique_ptr<IWABObject> &wabObject, QString *error = nullptr);

// The object type a record gives itself; 0 when it says nothing.
std::uint32_t ObjectTypeOf(const WabFileRecord &record);
ENTRYID EntryIdOf(std::uint32_t recordId);

} // namespace wab
