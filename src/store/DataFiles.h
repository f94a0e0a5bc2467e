#pragma once

#include "store/Records.h"
#include "store/StoreResult.h"

#include <QString>

#include <cstdint>
#include <vector>

// The three data files of a data folder and their lists. Every save rewrites the whole file from
// its list; every load reads the whole file into a fresh list. A file is open only inside one
// call, so between calls other programs may copy the files.
//
// Saving is crash-safe: the new content goes to a temporary file beside the data file and is
// flushed to disk, the current data file becomes the safety copy "Copy of <name>" through a hard
// link, and the new file is renamed over the data file; at every instant the data file exists
// whole, in its old or its new version.
//
// Failures come back as a StoreResult whose message names the file and the system's reason.
// Folders are given with a trailing slash.

inline constexpr char kAddressbookFileName[] = "Addressbook.dat";
inline constexpr char kGroupsFileName[] = "Groups.dat";
inline constexpr char kCallsFileName[] = "Calls.dat";
inline constexpr char kSafetyCopyPrefix[] = "Copy of ";
inline constexpr char kBackupFolderName[] = "Backup";
// The lock file that writers of one data folder take turns on.
inline constexpr char kLockFileName[] = ".tellwise.lock";

// How a load treats a missing file: the program creates it empty (its first start leaves the
// three files in the folder); a reader that only looks creates nothing and sees an empty list.
enum class FileAccess
{
    CreateMissing,
    ReadOnly
};

// Replace LIST with the file's records in file order. A record of zeros is no record; a record
// that cannot be one (its record type's plausible(), which also drops contacts and groups with an
// empty key) is left out. When those are more than the records kept, the file is damaged: it is
// kept beside itself as <name>.damaged (-2, -3 … when an earlier copy is another file), and the
// result says so and names both; LIST holds the readable records. On failure LIST is left as it
// was. A load that may create the file also removes the temporary files that a killed save of it
// left, unless a writer holds the folder's lock.
StoreResult LoadAddressbook(const QString &dir, TContactList &list, FileAccess access);
StoreResult LoadGroups(const QString &dir, TGroupList &list, FileAccess access);
StoreResult LoadCalls(const QString &dir, TCallList &list, FileAccess access);

// Rewrite the data file from LIST, keeping the previous file as the safety copy, unless the
// previous file holds no record and an older safety copy exists: that copy may be the only one
// left of the user's data. On failure the data file and the safety copy are unchanged. A save
// also removes temporary files that an interrupted save of the same file left behind, so it
// must run under the folder's lock.
StoreResult SaveAddressbook(const QString &dir, const TContactList &list);
StoreResult SaveGroups(const QString &dir, const TGroupList &list);
StoreResult SaveCalls(const QString &dir, const TCallList &list);
// The same from a copy of the records, which a worker thread can own.
StoreResult SaveCalls(const QString &dir, const std::vector<ACalls> &list);

// When BACKUPRECORDS is on, copies the three data files that exist into DIR + "Backup/" as
// "Copy of <name>", creating the folder (one level). Ends silently when the folder cannot be
// created.
StoreResult BackupDataFiles(const QString &dir, bool backupRecords);

// Which version of a file is on disk: a save by anyone puts a new file in place, so any change
// shows in the identity, size or time.
struct FileStamp
{
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;

    bool operator==(const FileStamp &) const = default;
};
FileStamp StampOf(const QString &path);

// What the owner of a data file does when a load finds it damaged: it goes on with the readable
// records but never writes the file until the user, asked with the load's result, chooses between
// going on with them (the next save rewrites the file from them) and leaving the file as it is
// (saves to it are refused until another version of it is read).
class DamagedFile
{
public:
    explicit DamagedFile(const QString &path) : m_path(path) {}

    // Takes a load's result and returns it.
    StoreResult loaded(const StoreResult &result);
    // The damaged load's result while the user has not answered it, else success.
    StoreResult unanswered() const;
    void answer(bool goOn);
    // Success when the file may be written, else the refusal.
    StoreResult mayWrite() const;

private:
    enum class State
    {
        Sound,
        Asking,
        Kept
    };
    QString m_path;
    State m_state = State::Sound;
    StoreResult m_found;
};

// Holds the data folder's lock from construction to destruction, so that one load-change-save
// of one writer never interleaves with another's. Waits for the lock. A folder where the lock
// file cannot be made (read-only) is not locked: nobody can write there anyway.
class DataFolderLock
{
public:
    explicit DataFolderLock(const QString &dir);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

private:
    int m_fd = -1;
};
