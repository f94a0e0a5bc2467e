#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QFutureWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

#include <memory>
#include <optional>

class FolderWatch;

// A caller found among the cards of the contacts folder: what the call shows of the card. The
// rest of the card (its picture, addresses, e-mail) is read again from its file when needed.
struct VCardCaller
{
    QString name;
    QString notes;
    QString location; // of the number that matched, as the reader names its slot
    QString book;     // the address book's folder name
    QString file;     // the card's file
};

// A card's picture: the bytes it carries (embedded, or a data: address) or a file on disk it
// links to. Both empty when it has none.
struct VCardPicture
{
    QByteArray bytes;
    QString file;
};

// The numbers of every card under a vCard contacts root, for naming callers the address book
// does not know. The root is laid out as the exchange reads it: a root that holds cards is one
// address book, otherwise each sub-folder is one. Cards are matched by the address book's own
// number rules; when two cards share a number, the first in path order names the caller.
//
// The index is built on a worker thread and follows the folders while the program runs: a
// change notice re-reads only the cards whose file changed (written in place, replaced through a
// rename, deleted), a burst of notices at once. Cards that cannot be read, or that are not regular files,
// are left out; the rest are indexed.
class VCardCallerIndex : public QObject
{
    Q_OBJECT
public:
    explicit VCardCallerIndex(QObject *parent = nullptr);
    ~VCardCallerIndex() override;

    // Indexes ROOT on a worker and watches it (a missing ROOT from when it appears); an empty ROOT
    // drops the index.
    void setRoot(const QString &root);
    // Indexes ROOT on the calling thread, without watching it (one-off look-ups).
    void indexNow(const QString &root);
    QString root() const { return m_root; }
    // Whether the index of the current root is built.
    bool isReady() const;
    qsizetype cardCount() const;

    std::optional<VCardCaller> find(const QString &callerNumber) const;
    // The whole contact of the card that names the caller NAME at NUMBER (a logged call), read
    // again from its file; nothing when no card, or another one, names that caller.
    std::optional<AListAddress> contactOf(const QString &name, const QString &number) const;

    // How long the notices of one burst are gathered before the folders are read again.
    static constexpr int kSettleMs = 150;
    // Card files larger than this are no contact and are not read.
    static constexpr qint64 kMaxCardBytes = 16 * 1024 * 1024;
    // What the index keeps of a card's texts; the card keeps the rest.
    static constexpr qsizetype kMaxNotes = 2000;
    static constexpr qsizetype kMaxName = 200;
    static constexpr qsizetype kMaxNumber = 64;

    struct Snapshot;

signals:
    // An indexing or an update of the current root finished.
    void updated();

private:
    void watchRoot();
    void noticed(const QString &path);
    void startUpdate();
    void updateFinished();

    QString m_root;
    std::shared_ptr<const Snapshot> m_snapshot;
    FolderWatch *m_watcher = nullptr;
    QFutureWatcher<std::shared_ptr<const Snapshot>> m_work;
    QTimer m_settle;
    QString m_waitingAt;     // the parent watched while the root is missing
    QSet<QString> m_changed; // folders noticed since the last update began
    bool m_rescanAll = false;
};

// The picture of the card in FILE; a linked file is named only when it exists on this machine.
VCardPicture ReadVCardPicture(const QString &file);
// The contact of the card in FILE; false when it holds none or cannot be read.
bool ReadVCardContact(const QString &file, AListAddress &contact);
