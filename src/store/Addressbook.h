#pragma once

#include <QString>

#include <functional>

// The store: moves ContactList, GroupList and CallList between memory and their data files in
// DataDir(). Every change rewrites the whole file from its list. Files are open only inside an
// operation (an explicit Open..File keeps its handle until the matching Close..File or the next
// load or save of that file).
//
// Saving is crash-safe: the new content goes to a temporary file beside the data file and is
// flushed to disk, the current data file becomes the safety copy "Copy of <name>" through a hard
// link, and the new file is renamed over the data file; at every instant the data file exists
// whole, in its old or its new version.
//
// Failing to open or create a data file shows the "Greška" message through the store's message
// hook and the operation does nothing further. An I/O error while reading or writing records,
// or while putting the new file in place, throws StoreError.

inline constexpr char kAddressbookFileName[] = "Addressbook.dat";
inline constexpr char kGroupsFileName[] = "Groups.dat";
inline constexpr char kCallsFileName[] = "Calls.dat";
inline constexpr char kSafetyCopyPrefix[] = "Copy of ";
inline constexpr char kBackupFolderName[] = "Backup";

// Receives the store's messages to the user (caption, text). The application connects it to
// ShowMessageDialog; without a hook the message goes to the Qt warning log.
using StoreMessageHook = std::function<void(const QString &caption, const QString &text)>;
void SetStoreMessageHook(StoreMessageHook hook);

// Open or create; failure clears the open flag and shows the error message.
void OpenAddressbookFile();
void OpenGroupsFile();
void OpenCallsFile();

void CloseAddressbookFile();
void CloseGroupsFile();
void CloseCallsFile();

// The open flags.
bool AddressbookFileIsOpen();
bool GroupsFileIsOpen();
bool CallsFileIsOpen();

// Rewrite the data file from its list, keeping the previous file as the safety copy. Returns
// false when the file could not be created (error message shown; list, data file and safety
// copy unchanged). Throws StoreError on a write failure (the data file is then unchanged).
bool SaveAddressbook();
bool SaveGroups();
bool SaveCalls();

// Empty the list and read it back from the file (created empty when missing). Contacts and
// groups with an empty key are dropped; calls keep their file order.
void LoadAddressbook();
void LoadGroups();
void LoadCalls();

// Exact, case-sensitive comparison with the key, first match in list order.
bool ContactExists(const QString &displayName);
bool GroupExists(const QString &groupName);

// When backupRecords is on, copies the three data files that exist into DataDir() + "Backup/"
// as "Copy of <name>", creating the folder (one level). Ends silently when the folder cannot
// be created; throws StoreError when a file cannot be copied.
void BackupDataFiles(bool backupRecords);
