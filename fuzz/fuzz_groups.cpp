#include "StoreFuzzing.h"

#include "store/DataFiles.h"
#include "store/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    storefuzz::writeDataFile(kGroupsFileName, data, size);
    static TGroupList list;
    storefuzz::checkLoaded(LoadGroups(storefuzz::dataDir(), list, FileAccess::ReadOnly));
    if (list.size() > int(size / size_t(TGroupFileRec::Size)))
        std::abort();
    for (const AGroups &group : list) {
        if (group.GroupName.isEmpty() || group.GroupName.size() > 40)
            std::abort();
        storefuzz::checkRoundTrip<TGroupFileRec>(group);
    }
    return 0;
}
