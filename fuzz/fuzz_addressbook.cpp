#include "StoreFuzzing.h"

#include "store/DataFiles.h"
#include "store/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    storefuzz::writeDataFile(kAddressbookFileName, data, size);
    static TContactList list;
    storefuzz::checkLoaded(LoadAddressbook(storefuzz::dataDir(), list, FileAccess::ReadOnly));
    if (list.size() > int(size / size_t(TAddressFileRec::Size)))
        std::abort();
    for (const AListAddress &contact : list) {
        if (contact.DisplayNameAs.isEmpty() || contact.DisplayNameAs.size() > 65)
            std::abort();
        storefuzz::checkRoundTrip<TAddressFileRec>(contact);
    }
    return 0;
}
