// Saves two address books in turn, forever, into the folder given as the argument; the crash
// test kills it at random moments.
#include "CrashVersions.h"

#include "store/Addressbook.h"
#include "store/DataDir.h"

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: store_crash_child DATA-DIR\n");
        return 2;
    }
    SetDataDir(QString::fromLocal8Bit(argv[1]));
    for (bool second = true;; second = !second) {
        FillCrashVersion(ContactList, second);
        if (!SaveAddressbook())
            return 1;
    }
}
