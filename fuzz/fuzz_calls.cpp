#include "StoreFuzzing.h"

#include "store/DataFiles.h"
#include "store/Records.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    storefuzz::writeDataFile(kCallsFileName, data, size);
    static TCallList list;
    if (!LoadCalls(storefuzz::dataDir(), list, FileAccess::ReadOnly))
        std::abort();
    if (list.size() != int(size / size_t(TCallFileRec::Size)))
        std::abort();
    for (const ACalls &call : list) {
        // NaN never compares equal, so the doubles are checked bit for bit.
        QByteArray bytes(TCallFileRec::Size, Qt::Uninitialized);
        TCallFileRec::encode(call, bytes.data());
        const ACalls back = TCallFileRec::decode(bytes.constData());
        if (back.CallerName != call.CallerName || back.CallerNumber != call.CallerNumber ||
            back.CalledNumber != call.CalledNumber || back.IsNew != call.IsNew ||
            std::memcmp(&back.CallDate, &call.CallDate, sizeof(double)) != 0 ||
            std::memcmp(&back.CallTime, &call.CallTime, sizeof(double)) != 0)
            std::abort();
        // The moments of damaged records must convert without undefined behaviour.
        (void)DateTimeFromTDateTime(call.CallDate + call.CallTime);
        (void)DateFromTDateTime(call.CallDate);
        (void)TimeFromTDateTime(call.CallTime);
    }
    return 0;
}
