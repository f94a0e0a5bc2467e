// Saves two address books in turn, forever, into the folder given as the argument; the crash
// test kills it at random moments.
#include "CrashVersions.h"

#include "store/DataFiles.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_crash_child DATA-DIR\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (bool second = true;; second = !second) {
        TContactList list;
        FillCrashVersion(list, second);
        if (!SaveAddressbook(dir, list))
            return 1;
    }
}
