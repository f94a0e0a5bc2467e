#include "StoreFuzzing.h"

#include "store/DataFiles.h"
#include "store/Records.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    storefuzz::writeDataFile(kCallsFileName, data, size);
    static TCallList list;
    storefuzz::checkLoaded(LoadCalls(storefuzz::dataDir(), list, FileAccess::ReadOnly));
    if (list.size() > int(size / size_t(TCallFileRec::Size)))
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
        // Every call kept names a moment.
        if (!DateTimeFromTDateTime(call.CallDate + call.CallTime).isValid() ||
            !DateFromTDateTime(call.CallDate).isValid() || !TimeFromTDateTime(call.CallTime).isValid())
            std::abort();
    }
    return 0;
}
