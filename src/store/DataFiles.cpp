#include "store/DataFiles.h"

#include "store/FileRecords.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A failure inside one operation, turned into the operation's result at its end.
struct FileFailure
{
    QString message;
};

QString tr(const char *text)
{
    return QCoreApplication::translate("DataFiles", text);
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

QString reason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

[[noreturn]] void fail(const char *what, const QString &path, int error)
{
    throw FileFailure{
        QStringLiteral("%1\n%2: %3").arg(tr(what), QDir::toNativeSeparators(path), reason(error))};
}

[[noreturn]] void failOpen(const QString &path, int error)
{
    fail(QT_TRANSLATE_NOOP("DataFiles", "Dogodila se greška prilikom otvaranja datoteke!"), path, error);
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

// Reads up to WANTED bytes into BUFFER; fewer only where the file ends.
qsizetype readSome(int fd, char *buffer, qsizetype wanted, const QString &path)
{
    qsizetype got = 0;
    while (got < wanted) {
        const ssize_t n = ::read(fd, buffer + got, std::size_t(wanted - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(QT_TRANSLATE_NOOP("DataFiles", "Čitanje datoteke nije uspjelo:"), path, errno);
        }
        if (n == 0)
            break;
        got += n;
    }
    return got;
}

class FileHandle
{
public:
    explicit FileHandle(int fd) : m_fd(fd) {}
    ~FileHandle()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileHandle(const FileHandle &) = delete;
    FileHandle &operator=(const FileHandle &) = delete;
    int fd() const { return m_fd; }
    // Closes now, so that a failing close is seen.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

constexpr char kTemporaryInfix[] = ".new-";

// Creates a new, empty file with a unique name beside TARGET; returns its descriptor and sets
// PATH, or -1 with errno set.
int createTemporary(const QString &target, QString &path)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        path = target + QLatin1String(kTemporaryInfix) +
               QStringLiteral("%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Removes what interrupted saves of NAME left in DIR: their temporary files and those of its
// safety copy. Only a writer holding the folder's lock calls this, so none of them is in use.
void removeStaleTemporaries(const QString &dir, const QString &name)
{
    const QStringList patterns = {name + QLatin1String(kTemporaryInfix) + QLatin1Char('*'),
                                  QLatin1String(kSafetyCopyPrefix) + name + QLatin1String(kTemporaryInfix) +
                                      QLatin1Char('*')};
    const QStringList stale = QDir(dir).entryList(patterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &file : stale)
        ::unlink(native(dir + file).constData());
}

// The same at a load, but only when no writer is at work in DIR: one that is may be writing its
// temporary file now, and clears the stale ones itself when it saves. The lock is only tried, so a
// load by a writer that holds it already does not wait for itself.
void removeStaleTemporariesWhenIdle(const QString &dir, const QString &name)
{
    FileHandle lock(
        ::open(native(dir + QLatin1String(kLockFileName)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666));
    if (lock.fd() >= 0 && ::flock(lock.fd(), LOCK_EX | LOCK_NB) == 0)
        removeStaleTemporaries(dir, name);
}

// Writes a new temporary file beside TARGET through FILL (which gets a function taking bytes)
// and flushes it to disk; returns its path. The file takes over the permissions of an existing
// TARGET, so that a replaced address book stays as private as it was.
template <typename Fill> QString writeTemporary(const QString &target, Fill fill)
{
    QString path;
    FileHandle file(createTemporary(target, path));
    if (file.fd() < 0)
        fail(QT_TRANSLATE_NOOP("DataFiles", "Dogodila se greška prilikom otvaranja datoteke!"), target,
             errno);
    struct stat st;
    if (::stat(native(target).constData(), &st) == 0)
        (void)::fchmod(file.fd(), st.st_mode & 07777);
    bool written = true;
    off_t offset = 0;
    try {
        fill([&](const char *data, qsizetype size) {
            written = written && writeAll(file.fd(), data, size);
            // The disk starts on what is written while the rest is made: the flush at the end
            // has little left to wait for.
            (void)::sync_file_range(file.fd(), offset, off_t(size), SYNC_FILE_RANGE_WRITE);
            offset += off_t(size);
        });
    } catch (const FileFailure &) {
        ::unlink(native(path).constData());
        throw;
    }
    if (!written || ::fsync(file.fd()) != 0 || !file.close()) {
        const int error = errno;
        ::unlink(native(path).constData());
        fail(QT_TRANSLATE_NOOP("DataFiles", "Pisanje datoteke nije uspjelo:"), target, error);
    }
    return path;
}

void replaceFile(const QString &from, const QString &to)
{
    if (::rename(native(from).constData(), native(to).constData()) != 0) {
        const int error = errno;
        ::unlink(native(from).constData());
        fail(QT_TRANSLATE_NOOP("DataFiles", "Zamjena datoteke nije uspjela:"), to, error);
    }
}

// Copies the file SOURCE into a new temporary file beside TARGET, a slice at a time, so that a
// file of any size costs no more memory; returns the copy's path.
QString copyToTemporary(const QString &source, const QString &target)
{
    FileHandle in(::open(native(source).constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd() < 0)
        failOpen(source, errno);
    QByteArray slice(qsizetype(1) << 20, Qt::Uninitialized);
    return writeTemporary(target, [&](auto write) {
        while (const qsizetype got = readSome(in.fd(), slice.data(), slice.size(), source))
            write(slice.constData(), got);
    });
}

void syncFolder(const QString &folder)
{
    FileHandle dir(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    // Some file systems cannot flush a folder (EINVAL); only a real I/O error matters.
    if (dir.fd() >= 0 && ::fsync(dir.fd()) != 0 && errno == EIO)
        fail(QT_TRANSLATE_NOOP("DataFiles", "Spremanje mape nije uspjelo:"), folder, EIO);
}

// Makes DATAPATH (as it is now) the safety copy COPYPATH without a moment in which either name
// is missing or half written: a hard link (or, where the file system has none, a flushed copy)
// under a temporary name, renamed over the old safety copy. Failures are not reported: like a
// failed rename of the data file they must not stop the save.
void makeSafetyCopy(const QString &dataPath, const QString &copyPath)
{
    try {
        QString linkPath = copyPath + QLatin1String(kTemporaryInfix) + QStringLiteral("link");
        ::unlink(native(linkPath).constData());
        if (::link(native(dataPath).constData(), native(linkPath).constData()) != 0)
            linkPath = copyToTemporary(dataPath, copyPath);
        if (::rename(native(linkPath).constData(), native(copyPath).constData()) != 0)
            ::unlink(native(linkPath).constData());
    } catch (const FileFailure &) {
    }
}

constexpr char kDamagedSuffix[] = ".damaged";

// The copy that a load kept of the damaged file PATH (identified by DATA) beside it, or empty;
// FREE gets the first name no copy has taken.
QString damagedCopyOf(const QString &path, const struct stat &data, QString *free = nullptr)
{
    for (int n = 1; n < 100; ++n) {
        const QString copy =
            path + QLatin1String(kDamagedSuffix) + (n > 1 ? QStringLiteral("-%1").arg(n) : QString());
        struct stat existing;
        if (::lstat(native(copy).constData(), &existing) != 0) {
            if (free)
                *free = copy;
            return {};
        }
        if (existing.st_dev == data.st_dev && existing.st_ino == data.st_ino)
            return copy;
    }
    return {};
}

// Keeps the damaged file PATH, open as FD, beside it as it is now, under a name no earlier copy
// has: a hard link (nothing is written, however large the file; saves never write into a data
// file, they put a new one in its place), or a copy where the file system has no links. The same
// file found damaged again keeps its first copy. Returns the copy's path, or empty when none
// could be made.
QString keepDamagedCopy(const QString &path, int fd)
{
    struct stat data;
    if (::fstat(fd, &data) != 0)
        return {};
    QString copy;
    // Another reader of the folder may take the free name meanwhile.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (const QString kept = damagedCopyOf(path, data, &copy); !kept.isEmpty() || copy.isEmpty())
            return kept;
        if (::link(native(path).constData(), native(copy).constData()) == 0)
            return copy;
        if (errno != EEXIST)
            return QFile::copy(path, copy) ? copy : QString();
    }
    return {};
}

// Whether the file PATH is one that a load kept as damaged.
bool keptAsDamaged(const QString &path)
{
    struct stat data;
    return ::stat(native(path).constData(), &data) == 0 && data.st_nlink > 1 &&
           !damagedCopyOf(path, data).isEmpty();
}

StoreResult damaged(const QString &path, const QString &copy, qsizetype readable, qsizetype implausible)
{
    QString message = QCoreApplication::translate(
                          "DataFiles", "Datoteka je oštećena: većinu njezinih zapisa nije moguće pročitati "
                                       "(ispravnih %1, neispravnih %2).\n%3")
                          .arg(readable)
                          .arg(implausible)
                          .arg(QDir::toNativeSeparators(path));
    message += QLatin1Char('\n');
    message += copy.isEmpty()
                   ? QCoreApplication::translate("DataFiles", "Kopiju datoteke nije bilo moguće spremiti.")
                   : QCoreApplication::translate("DataFiles", "Datoteka je sačuvana kakva jest kao:\n%1")
                         .arg(QDir::toNativeSeparators(copy));
    return StoreResult::damaged(message);
}

template <typename Rec> bool blank(const char *record)
{
    static constexpr char kZeros[Rec::Size] = {};
    return std::memcmp(record, kZeros, Rec::Size) == 0;
}

template <typename Rec, typename List>
StoreResult loadFile(const QString &dir, const char *name, List &list, FileAccess access)
{
    const QString path = dir + QLatin1String(name);
    try {
        int flags = O_RDONLY | O_CLOEXEC;
        if (access == FileAccess::CreateMissing) {
            flags |= O_CREAT;
            removeStaleTemporariesWhenIdle(dir, QLatin1String(name));
        }
        FileHandle file(::open(native(path).constData(), flags, 0666));
        if (file.fd() < 0) {
            if (errno == ENOENT && access == FileAccess::ReadOnly) {
                list.clear();
                return {};
            }
            failOpen(path, errno);
        }
        // A slice at a time, into a fresh list: memory follows the records kept, not the file,
        // and a failed read leaves LIST as it was.
        constexpr qsizetype kPerRead = std::max<qsizetype>(1, (qsizetype(1) << 20) / Rec::Size);
        QByteArray slice(Rec::Size * kPerRead, Qt::Uninitialized);
        List fresh;
        qsizetype implausible = 0;
        for (;;) {
            const qsizetype got = readSome(file.fd(), slice.data(), slice.size(), path);
            // Whole records only: a partial record at the end is left out. Zeros are no record
            // at all (a file padded or cleared by something else).
            for (qsizetype at = 0; at + Rec::Size <= got; at += Rec::Size) {
                const char *record = slice.constData() + at;
                if (blank<Rec>(record))
                    continue;
                if (Rec::plausible(record))
                    fresh.append(Rec::decode(record));
                else
                    ++implausible;
            }
            if (got < slice.size())
                break;
        }
        const qsizetype readable = fresh.size();
        list.swap(fresh);
        // A few records that cannot be are left out; a file made mostly of them is not the
        // user's data as it was, and its owner must not write over it unasked.
        if (implausible > readable)
            return damaged(path, keepDamagedCopy(path, file.fd()), readable, implausible);
        return {};
    } catch (const FileFailure &failure) {
        return StoreResult::failed(failure.message);
    }
}

// LIST is a RecordList or a plain container of records.
template <typename Rec, typename List>
StoreResult saveFile(const QString &dir, const char *name, const List &list)
{
    const QString dataPath = dir + QLatin1String(name);
    const QString copyPath = dir + QLatin1String(kSafetyCopyPrefix) + QLatin1String(name);
    try {
        removeStaleTemporaries(dir, QLatin1String(name));
        const QString newPath = writeTemporary(dataPath, [&list](auto write) {
            // Records go out 256 at a time, through one buffer.
            constexpr qsizetype kPerWrite = 256;
            QByteArray buffer(Rec::Size * kPerWrite, Qt::Uninitialized);
            qsizetype used = 0;
            for (const auto &record : list) {
                Rec::encode(record, buffer.data() + used);
                used += Rec::Size;
                if (used == buffer.size()) {
                    write(buffer.constData(), used);
                    used = 0;
                }
            }
            write(buffer.constData(), used);
        });
        // With no data file there is no previous version, and an empty one is none worth
        // keeping when a safety copy exists: that copy may be the only one of the user's data.
        // Nor is a damaged one, kept beside itself already: the safety copy may hold the data
        // from before the damage.
        const QFileInfo data(dataPath);
        if (data.exists() && (data.size() >= Rec::Size || !QFileInfo::exists(copyPath)) &&
            !keptAsDamaged(dataPath))
            makeSafetyCopy(dataPath, copyPath);
        replaceFile(newPath, dataPath);
        syncFolder(dir);
        return {};
    } catch (const FileFailure &failure) {
        return StoreResult::failed(failure.message);
    }
}

void backupOne(const QString &dir, const QString &backupDir, const QString &name)
{
    const QString source = dir + name;
    if (!QFileInfo::exists(source))
        return;
    const QString target = backupDir + QLatin1String(kSafetyCopyPrefix) + name;
    removeStaleTemporaries(backupDir, QLatin1String(kSafetyCopyPrefix) + name);
    replaceFile(copyToTemporary(source, target), target);
}

} // namespace

StoreResult LoadAddressbook(const QString &dir, TContactList &list, FileAccess access)
{
    return loadFile<TAddressFileRec>(dir, kAddressbookFileName, list, access);
}

StoreResult LoadGroups(const QString &dir, TGroupList &list, FileAccess access)
{
    return loadFile<TGroupFileRec>(dir, kGroupsFileName, list, access);
}

StoreResult LoadCalls(const QString &dir, TCallList &list, FileAccess access)
{
    return loadFile<TCallFileRec>(dir, kCallsFileName, list, access);
}

StoreResult SaveAddressbook(const QString &dir, const TContactList &list)
{
    return saveFile<TAddressFileRec>(dir, kAddressbookFileName, list);
}

StoreResult SaveGroups(const QString &dir, const TGroupList &list)
{
    return saveFile<TGroupFileRec>(dir, kGroupsFileName, list);
}

StoreResult SaveCalls(const QString &dir, const TCallList &list)
{
    return saveFile<TCallFileRec>(dir, kCallsFileName, list);
}

StoreResult SaveCalls(const QString &dir, const std::vector<ACalls> &list)
{
    return saveFile<TCallFileRec>(dir, kCallsFileName, list);
}

StoreResult BackupDataFiles(const QString &dir, bool backupRecords)
{
    if (!backupRecords)
        return {};
    const QString backupDir = dir + QLatin1String(kBackupFolderName) + QLatin1Char('/');
    if (!QFileInfo(backupDir).isDir())
        QDir().mkdir(backupDir);
    if (!QFileInfo(backupDir).isDir())
        return {};
    try {
        for (const char *name : {kAddressbookFileName, kGroupsFileName, kCallsFileName})
            backupOne(dir, backupDir, QLatin1String(name));
        return {};
    } catch (const FileFailure &failure) {
        return StoreResult::failed(failure.message);
    }
}

FileStamp StampOf(const QString &path)
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return {};
    return {true, std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::int64_t(st.st_size),
            std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

StoreResult DamagedFile::loaded(const StoreResult &result)
{
    if (result.kind == StoreResult::Kind::Failed)
        return result; // the version in memory is still the one read before
    m_state = result.kind == StoreResult::Kind::Damaged ? State::Asking : State::Sound;
    m_found = result;
    return result;
}

StoreResult DamagedFile::unanswered() const
{
    return m_state == State::Asking ? m_found : StoreResult{};
}

void DamagedFile::answer(bool goOn)
{
    if (m_state == State::Asking)
        m_state = goOn ? State::Sound : State::Kept;
}

StoreResult DamagedFile::mayWrite() const
{
    if (m_state == State::Sound)
        return {};
    return StoreResult::failed(
        QCoreApplication::translate("DataFiles",
                                    "Promjena nije spremljena: datoteka je oštećena i ostaje kakva jest.\n%1")
            .arg(QDir::toNativeSeparators(m_path)));
}

DataFolderLock::DataFolderLock(const QString &dir)
    : m_fd(::open(native(dir + QLatin1String(kLockFileName)).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
{
    if (m_fd < 0)
        m_fd = ::open(native(dir + QLatin1String(kLockFileName)).constData(), O_RDONLY | O_CLOEXEC);
    while (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

DataFolderLock::~DataFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}
