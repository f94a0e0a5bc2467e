#include "store/Addressbook.h"

#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "store/Records.h"
#include "store/StoreError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// One data file: its name, record size, and the handle with its open flag.
struct StoreFile
{
    const char *name;
    qsizetype recordSize;
    int fd = -1;
    bool open = false;
};

StoreFile g_addressbook{kAddressbookFileName, TAddressFileRec::Size};
StoreFile g_groups{kGroupsFileName, TGroupFileRec::Size};
StoreFile g_calls{kCallsFileName, TCallFileRec::Size};

StoreMessageHook &messageHook()
{
    static StoreMessageHook hook;
    return hook;
}

QString tr(const char *text)
{
    return QCoreApplication::translate("Addressbook", text);
}

void showOpenFailure()
{
    const QString caption = QCoreApplication::translate("Addressbook", "Greška");
    const QString text =
        QCoreApplication::translate("Addressbook", "Dogodila se greška prilikom otvaranja datoteke!");
    if (messageHook())
        messageHook()(caption, text);
    else
        qWarning("%s: %s", qPrintable(caption), qPrintable(text));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

[[noreturn]] void fail(const char *what, const QString &path, int error)
{
    throw StoreError(
        QStringLiteral("%1 %2: %3").arg(tr(what), path, QString::fromLocal8Bit(std::strerror(error))));
}

// ---- plain POSIX file helpers (they retry on EINTR) ----

bool writeAll(int fd, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

// Reads the whole of fd from its start.
QByteArray readAll(int fd, const QString &path)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        fail(QT_TRANSLATE_NOOP("Addressbook", "Čitanje datoteke nije uspjelo:"), path, errno);
    QByteArray bytes(qsizetype(st.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, std::size_t(bytes.size() - got), off_t(got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(QT_TRANSLATE_NOOP("Addressbook", "Čitanje datoteke nije uspjelo:"), path, errno);
        }
        if (n == 0)
            break; // shrunk while we read
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

// A name beside `base` for a file that is being prepared.
QString preparedName(const QString &base)
{
    return base +
           QStringLiteral(".new-%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// Creates a new, empty file with a unique name beginning with `base`; returns its descriptor
// and sets `path`, or -1 with errno set.
int createUnique(const QString &base, QString &path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = preparedName(base);
        const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Collects output in a buffer and writes it out in whole chunks at offsets that are multiples of
// the chunk size, so that a save needs no memory the size of the file. The alignment matters to
// every later read: the page cache keeps pages written piecemeal at odd offsets in small pieces,
// and reading such a file back takes about three times as long.
class ChunkWriter
{
public:
    static constexpr qsizetype kChunk = 256 * 1024;
    static constexpr qsizetype kMaxReserve = 4096; // at least the largest record

    explicit ChunkWriter(int fd) : m_fd(fd) {}
    // Room for `size` bytes (at most kMaxReserve), to be filled and then committed.
    char *reserve(qsizetype size)
    {
        Q_ASSERT(size <= kMaxReserve);
        (void)size;
        return buffer() + m_used;
    }
    void commit(qsizetype size)
    {
        m_used += size;
        if (m_used < kChunk)
            return;
        m_ok = m_ok && writeAll(m_fd, buffer(), kChunk);
        m_used -= kChunk;
        std::memcpy(buffer(), buffer() + kChunk, std::size_t(m_used));
    }
    void append(const char *data, qsizetype size)
    {
        flush();
        m_ok = m_ok && writeAll(m_fd, data, size);
    }
    // False once any write failed (errno set).
    bool flush()
    {
        m_ok = m_ok && writeAll(m_fd, buffer(), m_used);
        m_used = 0;
        return m_ok;
    }

private:
    // Kept for the next save: fresh memory costs a page fault per 4 KiB. One per thread is
    // enough, as a thread writes one file at a time.
    static char *buffer()
    {
        thread_local const std::unique_ptr<char[]> memory(new char[std::size_t(kChunk + kMaxReserve)]);
        return memory.get();
    }

    int m_fd;
    bool m_ok = true;
    qsizetype m_used = 0;
};

// Writes a new temporary file beside `target` through `fill` and flushes it to disk. Returns
// the temporary path, or an empty string when the file could not be created (errno set).
// Throws when writing fails (the temporary file is removed). The file takes over the
// permissions of an existing `target`, so that a replaced address book stays as private as
// it was.
template <typename Fill> QString writeTemporary(const QString &target, Fill fill)
{
    QString path;
    const int fd = createUnique(target, path);
    if (fd < 0)
        return QString();
    struct stat st;
    if (::stat(native(target).constData(), &st) == 0)
        (void)::fchmod(fd, st.st_mode & 07777);
    ChunkWriter writer(fd);
    try {
        fill(writer);
    } catch (...) {
        ::close(fd);
        ::unlink(native(path).constData());
        throw;
    }
    if (!writer.flush() || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(native(path).constData());
        fail(QT_TRANSLATE_NOOP("Addressbook", "Pisanje datoteke nije uspjelo:"), target, error);
    }
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(native(path).constData());
        fail(QT_TRANSLATE_NOOP("Addressbook", "Pisanje datoteke nije uspjelo:"), target, error);
    }
    return path;
}

QString writeTemporary(const QString &target, const QByteArray &bytes)
{
    return writeTemporary(target, [&bytes](ChunkWriter &w) { w.append(bytes.constData(), bytes.size()); });
}

QByteArray readWholeFile(const QString &path)
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        fail(QT_TRANSLATE_NOOP("Addressbook", "Otvaranje datoteke nije uspjelo:"), path, errno);
    try {
        QByteArray bytes = readAll(fd, path);
        ::close(fd);
        return bytes;
    } catch (...) {
        ::close(fd);
        throw;
    }
}

void syncFolder(const QString &folder)
{
    const int fd = ::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    // Some file systems cannot flush a folder (EINVAL); only a real I/O error matters.
    if (::fsync(fd) != 0 && errno == EIO) {
        ::close(fd);
        fail(QT_TRANSLATE_NOOP("Addressbook", "Spremanje mape nije uspjelo:"), folder, EIO);
    }
    ::close(fd);
}

// Makes `dataPath` (as it is now) the safety copy `copyPath` without a moment in which either
// name is missing or half written: a hard link (or, where the file system has none, a flushed
// copy) under a temporary name, renamed over the old safety copy. Failures are not reported:
// like a failed rename of the data file they must not stop the save.
void makeSafetyCopy(const QString &dataPath, const QString &copyPath)
{
    QString linkPath;
    bool linked = false;
    for (int attempt = 0; attempt < 100 && !linked; ++attempt) {
        linkPath = preparedName(copyPath);
        if (::link(native(dataPath).constData(), native(linkPath).constData()) == 0)
            linked = true;
        else if (errno != EEXIST)
            break;
    }
    if (!linked) {
        try {
            linkPath = writeTemporary(copyPath, readWholeFile(dataPath));
        } catch (const StoreError &) {
            return;
        }
        if (linkPath.isEmpty())
            return;
    }
    if (::rename(native(linkPath).constData(), native(copyPath).constData()) != 0)
        ::unlink(native(linkPath).constData());
}

// ---- the operations, shared by the three files ----

void closeFile(StoreFile &file)
{
    if (file.fd >= 0)
        ::close(file.fd);
    file.fd = -1;
    file.open = false;
}

void openFile(StoreFile &file)
{
    closeFile(file);
    file.open = true;
    const QString path = DataDir() + QLatin1String(file.name);
    // Read and write without truncation; a missing file is created empty.
    file.fd = ::open(native(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (file.fd < 0) {
        file.open = false;
        showOpenFailure();
    }
}

// Hands the whole records of fd, from the start, to `use` a chunk at a time (pointer and count);
// a trailing partial record is left out. Reads in chunks of 256 KiB, so that a load needs no
// memory the size of the file, pays for few system calls, and finds the bytes still in the
// processor's cache when it decodes them.
template <typename Use> void forEachChunk(int fd, qsizetype recordSize, const QString &path, Use use)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        fail(QT_TRANSLATE_NOOP("Addressbook", "Čitanje datoteke nije uspjelo:"), path, errno);
    const qsizetype total = qsizetype(st.st_size) / recordSize * recordSize;
    if (total == 0)
        return;
    // The buffer stays for the next load (a thread loads one file at a time): fresh memory costs
    // a page fault per 4 KiB, which on some machines is as slow as reading the whole file.
    constexpr qsizetype kBufferSize = 256 * 1024;
    thread_local const std::unique_ptr<char[]> buffer(new char[std::size_t(kBufferSize)]);
    const qsizetype chunk = std::min(kBufferSize / recordSize * recordSize, total);
    qsizetype offset = 0;
    while (offset < total) {
        const qsizetype wanted = std::min(chunk, total - offset);
        qsizetype got = 0;
        while (got < wanted) {
            const ssize_t n = ::pread(fd, buffer.get() + got, std::size_t(wanted - got), off_t(offset + got));
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                fail(QT_TRANSLATE_NOOP("Addressbook", "Čitanje datoteke nije uspjelo:"), path, errno);
            }
            if (n == 0)
                break; // shrunk while we read: keep what is whole
            got += n;
        }
        use(static_cast<const char *>(buffer.get()), got / recordSize);
        if (got < wanted)
            break;
        offset += got;
    }
}

// Asks the processor to fetch a record about to be refilled. A reload is bound by the wait for
// the memory of the records and their texts, which lie all over the heap; fetching them a few
// records ahead lets those waits overlap.
template <typename T> void prefetchRecord(const T &record)
{
    // Every cache line the record touches: it need not start on one.
    const auto first = reinterpret_cast<std::uintptr_t>(&record) & ~std::uintptr_t(63);
    const auto end = reinterpret_cast<std::uintptr_t>(&record) + sizeof(T);
    for (std::uintptr_t line = first; line < end; line += 64)
        __builtin_prefetch(reinterpret_cast<const void *>(line));
}

template <typename Rec, typename T> void prefetchTexts(const T &record)
{
    if constexpr (requires { Rec::prefetchTexts(record); })
        Rec::prefetchTexts(record);
}

// How many records ahead of the decode their memory is fetched: the record itself first, its
// texts (whose addresses the record holds) once the record has arrived.
constexpr std::size_t kRecordsAhead = 4;
constexpr std::size_t kTextsAhead = 2;

template <typename Rec> bool keepRecord(const char *record)
{
    if constexpr (requires { Rec::keyIsEmpty(record); })
        return !Rec::keyIsEmpty(record);
    return true;
}

// Decodes `count` records that lie one after the other into the list, taking the spare records
// from `reused` on and making new ones where they run out.
template <typename Rec, typename T>
void loadRecords(const char *records, qsizetype count, std::vector<std::unique_ptr<T>> &spare,
                 std::size_t &reused, RecordList<T> &list)
{
    // New records are made together, before any text: lying side by side in memory, they are
    // filled faster now and walked faster by later reloads.
    std::size_t needed = reused;
    for (qsizetype i = 0; i < count; ++i)
        needed += keepRecord<Rec>(records + i * Rec::Size) ? 1 : 0;
    while (spare.size() < needed)
        spare.push_back(std::make_unique<T>());
    for (qsizetype i = 0; i < count; ++i) {
        const char *record = records + i * Rec::Size;
        if (!keepRecord<Rec>(record))
            continue;
        if (reused + kRecordsAhead < needed)
            prefetchRecord(*spare[reused + kRecordsAhead]);
        if (reused + kTextsAhead < needed)
            prefetchTexts<Rec>(*spare[reused + kTextsAhead]);
        Rec::decode(record, *spare[reused]);
        list.append(std::move(spare[reused++]));
    }
}

template <typename Rec, typename T> void loadFile(StoreFile &file, RecordList<T> &list)
{
    // The records leave the list first; they and their text buffers then take the new
    // contents, in the old order, so that reloading what was just saved (the usual case)
    // allocates nothing and rewrites hardly any memory. Records left over are freed at the end.
    std::vector<std::unique_ptr<T>> spare = list.takeAll();
    std::size_t reused = 0;
    if (!file.open)
        openFile(file);
    if (!file.open)
        return;
    try {
        forEachChunk(file.fd, Rec::Size, DataDir() + QLatin1String(file.name),
                     [&](const char *records, qsizetype count) {
                         loadRecords<Rec>(records, count, spare, reused, list);
                     });
    } catch (...) {
        list.clear();
        closeFile(file);
        throw;
    }
    closeFile(file);
}

template <typename Rec, typename T> bool saveFile(StoreFile &file, RecordList<T> &list)
{
    // Records may have been edited in place; whatever derives from the list must rebuild.
    list.markChanged();
    closeFile(file);

    const QString dir = DataDir();
    const QString dataPath = dir + QLatin1String(file.name);
    const QString copyPath = dir + QLatin1String(kSafetyCopyPrefix) + QLatin1String(file.name);

    const QString newPath = writeTemporary(dataPath, [&list](ChunkWriter &w) {
        for (const T &record : list) {
            Rec::encode(record, w.reserve(Rec::Size));
            w.commit(Rec::Size);
        }
    });
    if (newPath.isEmpty()) {
        showOpenFailure();
        return false;
    }
    // With no data file there is no previous version; an older safety copy is then kept
    // rather than deleted, as it may be the only copy of the user's data left.
    if (QFileInfo::exists(dataPath))
        makeSafetyCopy(dataPath, copyPath);
    if (::rename(native(newPath).constData(), native(dataPath).constData()) != 0) {
        const int error = errno;
        ::unlink(native(newPath).constData());
        fail(QT_TRANSLATE_NOOP("Addressbook", "Zamjena datoteke nije uspjela:"), dataPath, error);
    }
    syncFolder(dir);
    return true;
}

template <typename T> bool keyExists(const RecordList<T> &list, QString T::*key, const QString &name)
{
    for (const T &record : list) {
        if (record.*key == name)
            return true;
    }
    return false;
}

void backupOne(const QString &dir, const QString &backupDir, const QString &name)
{
    const QString source = dir + name;
    if (!QFileInfo::exists(source))
        return;
    const QString target = backupDir + QLatin1String(kSafetyCopyPrefix) + name;
    const QString newPath = writeTemporary(target, readWholeFile(source));
    if (newPath.isEmpty())
        fail(QT_TRANSLATE_NOOP("Addressbook", "Stvaranje datoteke nije uspjelo:"), target, errno);
    if (::rename(native(newPath).constData(), native(target).constData()) != 0) {
        const int error = errno;
        ::unlink(native(newPath).constData());
        fail(QT_TRANSLATE_NOOP("Addressbook", "Zamjena datoteke nije uspjela:"), target, error);
    }
}

} // namespace

void SetStoreMessageHook(StoreMessageHook hook)
{
    messageHook() = std::move(hook);
}

void OpenAddressbookFile()
{
    openFile(g_addressbook);
}

void OpenGroupsFile()
{
    openFile(g_groups);
}

void OpenCallsFile()
{
    openFile(g_calls);
}

void CloseAddressbookFile()
{
    closeFile(g_addressbook);
}

void CloseGroupsFile()
{
    closeFile(g_groups);
}

void CloseCallsFile()
{
    closeFile(g_calls);
}

bool AddressbookFileIsOpen()
{
    return g_addressbook.open;
}

bool GroupsFileIsOpen()
{
    return g_groups.open;
}

bool CallsFileIsOpen()
{
    return g_calls.open;
}

bool SaveAddressbook()
{
    return saveFile<TAddressFileRec>(g_addressbook, ContactList);
}

bool SaveGroups()
{
    return saveFile<TGroupFileRec>(g_groups, GroupList);
}

bool SaveCalls()
{
    return saveFile<TCallFileRec>(g_calls, CallList);
}

void LoadAddressbook()
{
    loadFile<TAddressFileRec>(g_addressbook, ContactList);
}

void LoadGroups()
{
    loadFile<TGroupFileRec>(g_groups, GroupList);
}

void LoadCalls()
{
    loadFile<TCallFileRec>(g_calls, CallList);
}

bool ContactExists(const QString &displayName)
{
    return keyExists(ContactList, &AListAddress::DisplayNameAs, displayName);
}

bool GroupExists(const QString &groupName)
{
    return keyExists(GroupList, &AGroups::GroupName, groupName);
}

void BackupDataFiles(bool backupRecords)
{
    if (!backupRecords)
        return;
    const QString dir = DataDir();
    const QString backupDir = dir + QLatin1String(kBackupFolderName) + QLatin1Char('/');
    if (!QFileInfo(backupDir).isDir())
        QDir().mkdir(backupDir);
    if (!QFileInfo(backupDir).isDir())
        return;
    for (const char *name : {kAddressbookFileName, kGroupsFileName, kCallsFileName})
        backupOne(dir, backupDir, QLatin1String(name));
}
