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
#include <QThreadPool>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <future>
#include <iterator>
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

// Reads up to `wanted` bytes of fd at `offset` into `buffer`; fewer only where the file ends.
// Returns how many were read.
qsizetype readAt(int fd, char *buffer, qsizetype wanted, qsizetype offset, const QString &path)
{
    qsizetype got = 0;
    while (got < wanted) {
        const ssize_t n = ::pread(fd, buffer + got, std::size_t(wanted - got), off_t(offset + got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(QT_TRANSLATE_NOOP("Addressbook", "Čitanje datoteke nije uspjelo:"), path, errno);
        }
        if (n == 0)
            break; // shrunk while we read
        got += n;
    }
    return got;
}

qsizetype fileSize(int fd, const QString &path)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        fail(QT_TRANSLATE_NOOP("Addressbook", "Čitanje datoteke nije uspjelo:"), path, errno);
    return qsizetype(st.st_size);
}

// Reads the whole of fd from its start.
QByteArray readAll(int fd, const QString &path)
{
    QByteArray bytes(fileSize(fd, path), Qt::Uninitialized);
    bytes.truncate(readAt(fd, bytes.data(), bytes.size(), 0, path));
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

constexpr qsizetype kChunkBufferSize = 256 * 1024;

// The chunk buffers of a load, one for each half of the file. They stay for the next load (a
// thread loads one file at a time): fresh memory costs a page fault per 4 KiB, which on some
// machines is as slow as reading the whole file.
char *chunkBuffer(int half)
{
    thread_local const std::unique_ptr<char[]> buffers(new char[std::size_t(2 * kChunkBufferSize)]);
    return buffers.get() + half * kChunkBufferSize;
}

// Hands the records [first, end) of fd to `use` a chunk at a time (pointer and count). Reads in
// chunks of 256 KiB, so that a load needs no memory the size of the file, pays for few system
// calls, and finds the bytes still in the processor's cache when it decodes them. Returns false
// when the file ended early (it shrank while being read); what was handed over is whole records.
template <typename Use>
bool forEachChunk(int fd, qsizetype recordSize, qsizetype first, qsizetype end, char *buffer,
                  const QString &path, Use use)
{
    const qsizetype chunk = kChunkBufferSize / recordSize * recordSize;
    qsizetype offset = first * recordSize;
    const qsizetype total = end * recordSize;
    while (offset < total) {
        const qsizetype wanted = std::min(chunk, total - offset);
        const qsizetype got = readAt(fd, buffer, wanted, offset, path);
        use(static_cast<const char *>(buffer), got / recordSize);
        if (got < wanted)
            return false;
        offset += got;
    }
    return true;
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

// A stretch of a data file being loaded: the records [first, end) of the file are decoded into
// records[0 .. loaded), which before the load held the same stretch (or nothing); a record
// without a key is left out. Records past `loaded` are spare, freed when the load ends.
template <typename T> struct LoadPart
{
    qsizetype first = 0;
    qsizetype end = 0;
    std::vector<std::unique_ptr<T>> records;
    std::size_t loaded = 0;
    bool whole = true; // false when the file ended before `end`
};

// Decodes `count` records that lie one after the other into part.records, refilling the records
// from `loaded` on and making new ones where they run out.
template <typename Rec, typename T> void loadRecords(const char *records, qsizetype count, LoadPart<T> &part)
{
    std::vector<std::unique_ptr<T>> &into = part.records;
    // New records are made together, before any text: lying side by side in memory, they are
    // filled faster now and walked faster by later reloads.
    std::size_t needed = part.loaded;
    for (qsizetype i = 0; i < count; ++i)
        needed += keepRecord<Rec>(records + i * Rec::Size) ? 1 : 0;
    while (into.size() < needed)
        into.push_back(std::make_unique<T>());
    for (qsizetype i = 0; i < count; ++i) {
        const char *record = records + i * Rec::Size;
        if (!keepRecord<Rec>(record))
            continue;
        if (part.loaded + kRecordsAhead < needed)
            prefetchRecord(*into[part.loaded + kRecordsAhead]);
        if (part.loaded + kTextsAhead < needed)
            prefetchTexts<Rec>(*into[part.loaded + kTextsAhead]);
        Rec::decode(record, *into[part.loaded++]);
    }
}

template <typename Rec, typename T>
void loadPart(int fd, char *buffer, const QString &path, LoadPart<T> &part)
{
    part.whole = forEachChunk(
        fd, Rec::Size, part.first, part.end, buffer, path,
        [&part](const char *records, qsizetype count) { loadRecords<Rec>(records, count, part); });
}

// From this size on, a reload decodes the far half of the file on a second thread while this one
// does the near half: decoding, not reading, takes most of a load's time, and the halves share
// nothing. Only records that are refilled are worth it; new ones would come from the second
// thread's own heap, which hands its free memory back to the system, and the fresh pages cost
// more than the decoding saves.
constexpr qsizetype kSplitFrom = 1024 * 1024;

// The second thread. It stays while reloads follow each other (a new thread for every load would
// cost about a third of what it saves) and ends after half a minute without work. There is none
// in a forked child, where the pool's thread does not exist.
QThreadPool *loadHelper()
{
    struct OneThreadPool : QThreadPool
    {
        OneThreadPool() { setMaxThreadCount(1); }
    };
    static const pid_t owner = ::getpid();
    static OneThreadPool pool;
    return ::getpid() == owner ? &pool : nullptr;
}

// Loads `near` here and `far` on the helper thread (or here, after `near`, when the helper is
// busy or missing), and rethrows the first failure once both have ended.
template <typename Rec, typename T>
void loadHalves(int fd, const QString &path, LoadPart<T> &near, LoadPart<T> &far)
{
    // The promise lives with the task, so that the helper never touches this frame's memory
    // after it has fulfilled it.
    auto farDone = std::make_shared<std::promise<void>>();
    std::future<void> farResult = farDone->get_future();
    const auto loadFar = [farDone, fd, buffer = chunkBuffer(1), &path, &far] {
        try {
            loadPart<Rec>(fd, buffer, path, far);
            farDone->set_value();
        } catch (...) {
            farDone->set_exception(std::current_exception());
        }
    };
    QThreadPool *const helper = loadHelper();
    const bool helped = helper && helper->tryStart(loadFar);
    std::exception_ptr nearError;
    try {
        loadPart<Rec>(fd, chunkBuffer(0), path, near);
    } catch (...) {
        nearError = std::current_exception();
    }
    if (!helped)
        loadFar();
    farResult.wait();
    if (nearError)
        std::rethrow_exception(nearError);
    farResult.get();
}

template <typename Rec, typename T> void loadFile(StoreFile &file, RecordList<T> &list)
{
    // The records leave the list first; they and their text buffers then take the new
    // contents, in the old order, so that reloading what was just saved (the usual case)
    // allocates nothing and rewrites hardly any memory. Records left over are freed at the end.
    LoadPart<T> near;
    near.records = list.takeAll();
    if (!file.open)
        openFile(file);
    if (!file.open)
        return;
    const QString path = DataDir() + QLatin1String(file.name);
    try {
        const qsizetype count =
            fileSize(file.fd, path) / Rec::Size; // a partial record at the end is left out
        near.end = count;
        LoadPart<T> far;
        if (count * Rec::Size >= kSplitFrom && near.records.size() >= std::size_t(count)) {
            far.first = near.end = count / 2;
            far.end = count;
            far.records.assign(std::make_move_iterator(near.records.begin() + far.first),
                               std::make_move_iterator(near.records.end()));
            near.records.resize(std::size_t(far.first));
            loadHalves<Rec>(file.fd, path, near, far);
        } else {
            loadPart<Rec>(file.fd, chunkBuffer(0), path, near);
        }
        for (std::size_t i = 0; i < near.loaded; ++i)
            list.append(std::move(near.records[i]));
        // A file that shrank while the near half was read has nothing beyond it.
        if (near.whole) {
            for (std::size_t i = 0; i < far.loaded; ++i)
                list.append(std::move(far.records[i]));
        }
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
