#include "exchange/VCardCallerIndex.h"

#include "exchange/VCard.h"
#include "exchange/VCardFolders.h"
#include "exchange/VCardLines.h"
#include "platform/FolderWatch.h"
#include "store/Cp1250.h"
#include "store/FileRecords.h"
#include "store/Numbers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QtConcurrent/QtConcurrentMap>
#include <QtConcurrent/QtConcurrentRun>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace {

// What tells that a card file changed: a rename puts another inode in its place, a write in
// place changes its time or size.
struct FileStamp
{
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    qint64 changedNs = 0;
    bool operator==(const FileStamp &) const = default;
};

FileStamp stampOf(const struct stat &st)
{
    return {quint64(st.st_ino), qint64(st.st_size),
            qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
            qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

struct IndexedCard
{
    QString name;
    QString notes;
    QString book;
    std::array<QString, 8> numbers;
    std::array<QString, 8> locations;
};

// Opens FILE for reading only when it is a regular file of a card's size: a FIFO or a device
// named like a card would block the reader or never end.
bool openCard(const QString &path, QFile &file)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > VCardCallerIndex::kMaxCardBytes) {
        ::close(fd);
        return false;
    }
    return file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
}

bool readCard(const QString &path, TVCard &card)
{
    QFile file;
    if (!openCard(path, file))
        return false;
    const TVCardReading reading = ReadVCards(file);
    if (reading.Cards.isEmpty())
        return false;
    card = reading.Cards.first();
    return true;
}

// What the index keeps of the card in PATH; nothing for a card without a number.
std::optional<IndexedCard> indexedCard(const QString &path)
{
    TVCard card;
    if (!readCard(path, card))
        return std::nullopt;
    AListAddress &c = card.Contact;
    if (std::all_of(c.PhoneNumber.begin(), c.PhoneNumber.end(), [](const QString &n) { return n.isEmpty(); }))
        return std::nullopt;
    // A hostile folder could fill every text to the reader's line limit; the index keeps what a
    // call shows.
    for (QString &number : c.PhoneNumber)
        number.truncate(VCardCallerIndex::kMaxNumber);
    return IndexedCard{c.DisplayNameAs.left(VCardCallerIndex::kMaxName),
                       c.Notes.left(VCardCallerIndex::kMaxNotes), QString(), c.PhoneNumber, c.PhoneLocation};
}

// The address books of ROOT, as the exchange lays them out.
QStringList bookFolders(const QString &root)
{
    TVCardFolders folders;
    if (root.isEmpty() || !folders.logon(root))
        return {};
    const QString base = QFileInfo(root).absoluteFilePath();
    if (folders.isOneBook())
        return {base};
    QStringList books;
    for (const QString &name : folders.folderNames())
        if (QFileInfo(base + QLatin1Char('/') + name).isDir())
            books << base + QLatin1Char('/') + name;
    books.sort();
    return books;
}

QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QLatin1Char('/')));
}

} // namespace

struct VCardCallerIndex::Snapshot
{
    QString root;
    QStringList books;
    // Every card file seen, indexed or not, so that an unreadable one is read again only when
    // it changes.
    std::map<QString, FileStamp> stamps;
    std::map<QString, IndexedCard> cards; // by file, in path order
    ContactNumberIndex numbers;
    std::vector<QString> rows; // the file of each row of numbers

    // The card files of BOOK and their stamps.
    static std::map<QString, FileStamp> list(const QString &book);
    void read(const QString &book);
    void index();
};

std::map<QString, FileStamp> VCardCallerIndex::Snapshot::list(const QString &book)
{
    std::map<QString, FileStamp> files;
    DIR *dir = ::opendir(QFile::encodeName(book).constData());
    if (!dir)
        return files;
    while (const dirent *entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name.startsWith(QLatin1Char('.')) || !name.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive))
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            files.emplace(book + QLatin1Char('/') + name, stampOf(st));
    }
    ::closedir(dir);
    return files;
}

// Brings the cards of BOOK up to date, reading only the files that changed.
void VCardCallerIndex::Snapshot::read(const QString &book)
{
    const std::map<QString, FileStamp> now = list(book);
    for (auto it = stamps.lower_bound(book + QLatin1Char('/'));
         it != stamps.end() && folderOf(it->first) == book;) {
        if (now.count(it->first) == 0) {
            cards.erase(it->first);
            it = stamps.erase(it);
        } else {
            ++it;
        }
    }
    QStringList changed;
    for (const auto &[path, stamp] : now) {
        auto known = stamps.find(path);
        if (known != stamps.end() && known->second == stamp)
            continue;
        stamps[path] = stamp;
        cards.erase(path);
        changed << path;
    }
    // Parsing is the bulk of the work: the cards are read on every core.
    const QList<std::optional<IndexedCard>> read = QtConcurrent::blockingMapped(changed, indexedCard);
    const QString bookName = QFileInfo(book).fileName();
    for (qsizetype i = 0; i < changed.size(); ++i) {
        if (read[i]) {
            IndexedCard &card = cards[changed[i]] = *read[i];
            card.book = bookName;
        }
    }
}

void VCardCallerIndex::Snapshot::index()
{
    numbers = ContactNumberIndex();
    rows.clear();
    rows.reserve(cards.size());
    for (const auto &[path, card] : cards) {
        numbers.addRow(card.numbers);
        rows.push_back(path);
    }
}

namespace {

using Snapshot = VCardCallerIndex::Snapshot;

// The index of ROOT after the folders CHANGED changed (every folder when ALL), built from
// PREVIOUS where it indexed the same root.
std::shared_ptr<const Snapshot> reindexed(std::shared_ptr<const Snapshot> previous, const QString &root,
                                          const QSet<QString> &changed, bool all)
{
    auto next = std::make_shared<Snapshot>();
    next->root = root;
    next->books = bookFolders(root);
    if (previous && previous->root == root) {
        next->stamps = previous->stamps;
        next->cards = previous->cards;
    } else {
        all = true;
    }
    // The cards of an address book that went are gone with it.
    for (auto it = next->stamps.begin(); it != next->stamps.end();) {
        if (next->books.contains(folderOf(it->first))) {
            ++it;
        } else {
            next->cards.erase(it->first);
            it = next->stamps.erase(it);
        }
    }
    for (const QString &book : std::as_const(next->books))
        if (all || changed.contains(book) || (previous && !previous->books.contains(book)))
            next->read(book);
    next->index();
    return next;
}

} // namespace

VCardCallerIndex::VCardCallerIndex(QObject *parent) : QObject(parent)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &VCardCallerIndex::startUpdate);
    connect(&m_work, &QFutureWatcherBase::finished, this, &VCardCallerIndex::updateFinished);
}

VCardCallerIndex::~VCardCallerIndex()
{
    m_work.waitForFinished();
}

void VCardCallerIndex::setRoot(const QString &root)
{
    const QString absolute = root.isEmpty() ? QString() : QFileInfo(root).absoluteFilePath();
    if (absolute == m_root && (m_watcher || absolute.isEmpty()))
        return;
    m_root = absolute;
    m_snapshot.reset();
    delete m_watcher;
    m_watcher = nullptr;
    m_waitingAt.clear();
    m_changed.clear();
    if (m_root.isEmpty())
        return;
    m_watcher = new FolderWatch(this);
    connect(m_watcher, &FolderWatch::directoryChanged, this, &VCardCallerIndex::noticed);
    watchRoot();
}

// Watches the root; while it is missing (vdirsyncer makes it at its first sync), its nearest
// existing parent instead, until it is there, and then indexes it.
void VCardCallerIndex::watchRoot()
{
    const auto nearest = [this] {
        QString folder = m_root;
        while (!QFileInfo(folder).isDir() && folder.size() > 1)
            folder = QFileInfo(folder).path();
        return folder;
    };
    // A folder made between the look and the watch would tell nothing: look again.
    for (QString folder = nearest();;) {
        if (!m_waitingAt.isEmpty())
            m_watcher->removePath(m_waitingAt);
        m_watcher->addPath(folder);
        m_waitingAt = folder == m_root ? QString() : folder;
        const QString now = nearest();
        if (now == folder)
            break;
        folder = now;
    }
    if (m_waitingAt.isEmpty()) {
        m_rescanAll = true;
        startUpdate();
    }
}

void VCardCallerIndex::indexNow(const QString &root)
{
    m_work.waitForFinished();
    delete m_watcher;
    m_watcher = nullptr;
    m_waitingAt.clear();
    m_root = root.isEmpty() ? QString() : QFileInfo(root).absoluteFilePath();
    m_snapshot = m_root.isEmpty() ? nullptr : reindexed(nullptr, m_root, {}, true);
}

bool VCardCallerIndex::isReady() const
{
    return m_snapshot != nullptr;
}

qsizetype VCardCallerIndex::cardCount() const
{
    return m_snapshot ? qsizetype(m_snapshot->cards.size()) : 0;
}

std::optional<VCardCaller> VCardCallerIndex::find(const QString &callerNumber) const
{
    if (!m_snapshot)
        return std::nullopt;
    int slot = -1;
    const int row = m_snapshot->numbers.findRow(callerNumber, &slot);
    if (row < 0)
        return std::nullopt;
    const QString &file = m_snapshot->rows[std::size_t(row)];
    const IndexedCard &card = m_snapshot->cards.at(file);
    return VCardCaller{card.name, card.notes, card.locations[std::size_t(slot)], card.book, file};
}

std::optional<AListAddress> VCardCallerIndex::contactOf(const QString &name, const QString &number) const
{
    const std::optional<VCardCaller> card = find(number);
    AListAddress contact;
    // The call log keeps the name as its field holds it: shortened, other scripts in Latin letters.
    const auto logged = [](const QString &text) { return StoredText(text, capacity::CallerName); };
    if (!card || logged(card->name) != logged(name) || !ReadVCardContact(card->file, contact))
        return std::nullopt;
    return contact;
}

void VCardCallerIndex::noticed(const QString &path)
{
    if (!m_waitingAt.isEmpty())
        return watchRoot();
    if (path == m_root)
        m_rescanAll = true;
    else
        m_changed.insert(path);
    if (!m_settle.isActive())
        m_settle.start();
}

void VCardCallerIndex::startUpdate()
{
    if (m_work.isRunning() || m_root.isEmpty())
        return;
    const bool all = std::exchange(m_rescanAll, false);
    m_work.setFuture(
        QtConcurrent::run(reindexed, m_snapshot, m_root, std::exchange(m_changed, {}), all || !m_snapshot));
}

void VCardCallerIndex::updateFinished()
{
    std::shared_ptr<const Snapshot> result = m_work.result();
    if (!result || result->root != m_root || !m_watcher) {
        // The root changed while the worker read the old one.
        if (m_watcher)
            startUpdate();
        return;
    }
    const QStringList before = m_snapshot ? m_snapshot->books : QStringList();
    m_snapshot = std::move(result);
    // A book that appeared is watched from now on, and read once more: a card written into it
    // before the watch began would otherwise wait for the next notice.
    QStringList watched = m_watcher->directories();
    for (const QString &book : m_snapshot->books) {
        if (book != m_root && !watched.contains(book)) {
            m_watcher->addPath(book);
            if (!before.contains(book))
                m_changed.insert(book);
        }
    }
    for (const QString &dir : watched)
        if (dir != m_root && !m_snapshot->books.contains(dir))
            m_watcher->removePath(dir);
    emit updated();
    if (!QFileInfo(m_root).isDir())
        watchRoot(); // the root went: wait for it to come back
    else if (!m_changed.isEmpty() || m_rescanAll)
        m_settle.start();
}

// ---- one card read again ------------------------------------------------------------------

namespace {

VCardPicture pictureOf(const QByteArray &line)
{
    VCardPicture picture;
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size() && colon < 0; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            colon = i;
    }
    if (colon < 0)
        return picture;
    const QByteArray head = line.left(colon).toUpper();
    // Some writers escape a data address's separators as if it were text.
    const QByteArray value = line.mid(colon + 1).trimmed().replace("\\;", ";").replace("\\,", ",");
    if (head.contains("ENCODING=B") || head.contains(";BASE64")) {
        picture.bytes = QByteArray::fromBase64(value);
    } else if (value.left(5).toLower() == "data:") {
        const qsizetype comma = value.indexOf(',');
        if (comma > 0)
            picture.bytes = value.left(comma).toLower().endsWith(";base64")
                                ? QByteArray::fromBase64(value.mid(comma + 1))
                                : QByteArray::fromPercentEncoding(value.mid(comma + 1));
    } else {
        const QUrl url(QString::fromUtf8(value));
        const QString path = url.isLocalFile()       ? url.toLocalFile()
                             : value.startsWith('/') ? QString::fromUtf8(value)
                                                     : QString();
        if (!path.isEmpty() && QFileInfo(path).isFile())
            picture.file = path;
    }
    return picture;
}

} // namespace

VCardPicture ReadVCardPicture(const QString &file)
{
    QFile in;
    if (!openCard(file, in))
        return {};
    VCardPicture picture;
    int depth = 0;
    bool found = false;
    vcard::LineReader lines(
        [&](const QByteArray &line) {
            const QByteArray upper = line.left(12).toUpper();
            if (upper.startsWith("BEGIN:VCARD"))
                ++depth;
            else if (upper.startsWith("END:VCARD"))
                --depth;
            // Only the card's own picture: a card nested in it has one of its own.
            else if (depth == 1 && !found && (upper.startsWith("PHOTO;") || upper.startsWith("PHOTO:"))) {
                picture = pictureOf(line);
                found = true;
            }
        },
        true);
    for (QByteArray chunk; !found && !(chunk = in.read(64 * 1024)).isEmpty();)
        lines.feed(chunk);
    lines.finish();
    return picture;
}

bool ReadVCardContact(const QString &file, AListAddress &contact)
{
    TVCard card;
    if (!readCard(file, card))
        return false;
    contact = card.Contact;
    return true;
}
