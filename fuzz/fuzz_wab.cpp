// The address-book file reader over arbitrary bytes: a file is read whole or refused with a
// reason, never half.

#include "exchange/ImportWabFunc.h"
#include "exchange/WabApi.h"
#include "exchange/WabCode.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QList<TWABRecord> list;
    QString error;
    const bool ok = OpenWabBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), &error) &&
                    ReadWabContacts(list, &error);
    if (ok != error.isEmpty() || (!ok && !list.isEmpty()) || OpenAddrBook())
        std::abort();
    // A record takes at least its header; no file gives more than the most contacts read.
    if (qsizetype(size) < list.size() * 32 || list.size() > wab::kMaxContacts)
        std::abort();
    for (int i = 0; i < list.size(); ++i)
        if (list[i].RecordNumber != i)
            std::abort();
    SortWabRecords(list);
    QList<int> rows;
    for (int i = 0; i < list.size(); ++i)
        rows << i;
    if (WabContactsOfRows(list, rows).size() != list.size())
        std::abort();
    if (!list.isEmpty()) {
        WabInfoTip(list.first());
        FindWabRow(list, list.first().DisplayName.left(2), 0, true);
    }
    return 0;
}
