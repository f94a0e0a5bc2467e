#include "StoreFuzzing.h"

#include "store/Addressbook.h"
#include "store/Records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    storefuzz::writeDataFile(kGroupsFileName, data, size);
    LoadGroups();
    if (GroupList.size() > int(size / size_t(TGroupFileRec::Size)))
        std::abort();
    for (const AGroups &group : GroupList) {
        if (group.GroupName.isEmpty() || group.GroupName.size() > 40 || !GroupExists(group.GroupName))
            std::abort();
        storefuzz::checkRoundTrip<TGroupFileRec>(group);
    }
    return 0;
}
