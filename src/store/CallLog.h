#pragma once

#include "store/DataFiles.h"
#include "store/Records.h"
#include "store/StoreResult.h"

#include <QDateTime>
#include <QFuture>
#include <QFutureWatcher>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>
#include <vector>

// The call log of one data folder, newest first, and every rule that changes it. The call
// pipeline, the windows and tellwise-cli read the list and change it only through these methods.
// Changes hold the folder's lock, first read again a file that another program replaced, then
// rewrite the file and read it back; callsChanged() announces them.
//
// A completed call is the exception, so that the call window never waits for the disk: it
// changes the list at once, and a worker thread writes the file after it, under the lock. When
// another program replaced the file meanwhile, the worker writes nothing; the log reads that file,
// puts back the calls it has not saved yet and saves again. Calls completed while a save runs
// go out together with the next one.
class CallLog : public QObject
{
    Q_OBJECT

public:
    explicit CallLog(const QString &dir, FileAccess access = FileAccess::CreateMissing,
                     QObject *parent = nullptr);
    // Waits for the saves still to come, and tries once more those that failed: no logged call is
    // lost when the program ends.
    ~CallLog() override;

    const QString &folder() const { return m_dir; }
    const TCallList &calls() const { return m_calls; }

    StoreResult load();
    // Reads the file again when it changed on disk since this object last read or wrote it
    // (never while a save of its own is on its way). A version whose read failed is not tried
    // again here; the next change tries it before it saves.
    StoreResult reloadChanged();
    // The user's answer when a load or reload found Calls.dat damaged: go on with the calls that
    // could be read, or leave the file as it is. Until the answer, reloadChanged() returns that
    // result again and nothing is saved; logged calls stay in memory.
    void answerDamaged(bool goOn);
    // Waits until every completed call is saved, or its save failed; returns the last save's result.
    StoreResult flush();

    // A ringing call: CALL (its placeholder) goes to the end of the list, in memory only; the
    // next save writes it, as the record of a call whose caller never became known.
    void BeginCall(ACalls call);
    // The ringing call, when it is still the last record, takes the texts given (empty ones keep
    // theirs, all as the file will hold them) and its place by time, or is dropped with DISCARD;
    // the save follows in the background. Returns the failure of the last save when that failed:
    // the calls stay in memory, and this call's save tries them again.
    StoreResult CompleteCall(const QString &name, const QString &number, const QString &calledNumber,
                             bool discard);
    // Removes each of CHOSEN's calls, found by number, called number and time, once.
    StoreResult DeleteCalls(const QList<ACalls> &chosen);
    // Every call is seen; saves only when one was new.
    StoreResult MarkAllSeen();
    // Removes the calls older than KEEPDAYS days before NOW (a call whose date cannot be read
    // stays) and saves; with no KEEPDAYS every call stays.
    StoreResult Prune(std::optional<int> keepDays, const QDateTime &now = QDateTime::currentDateTime());
    // Callers whose number has found its contact since the call take the contact's name, given
    // by row as the call list shows them; the names reach the file with the next save.
    void NameCallers(const QHash<int, QString> &names);

signals:
    void callsChanged();

private:
    // What a background save did: STALE when another program had replaced the file, so that
    // nothing was written; else its result and the stamp of the file it left.
    struct Written
    {
        StoreResult result;
        FileStamp stamp;
        bool stale = false;
    };
    static Written writeUnlessReplaced(const QString &dir, const std::vector<ACalls> &calls,
                                       const FileStamp &expected);

    template <typename Change> StoreResult change(Change change);
    StoreResult loadFile();
    // Reads the file when it is not the version in memory, also one that could not be read before.
    StoreResult readIfChanged();
    // Where the ringing call stands in CALLS: the last record, or -1.
    int ringingAt(const TCallList &calls) const;
    // Starts the save when the event loop next runs: the call window paints first.
    void saveSoon();
    void startQueuedSave();
    void saveInBackground();
    void backgroundSaveFinished();

    QString m_dir;
    FileAccess m_access;
    TCallList m_calls;
    FileStamp m_stamp;      // the version in memory
    FileStamp m_unreadable; // the version whose read failed last
    DamagedFile m_damage;
    std::optional<ACalls> m_ringing;
    // Completed calls that are not in the file yet, oldest first; a reload puts them back.
    QList<ACalls> m_unsaved;

    QFuture<Written> m_saving;
    QFutureWatcher<Written> m_savingWatcher;
    bool m_saveQueued = false;
    bool m_saveInFlight = false;   // m_saving's result is still to be taken
    qsizetype m_savingUnsaved = 0; // how many of m_unsaved the save in flight holds
    bool m_saveAgain = false;      // the list changed after the save in flight took its copy
    StoreResult m_lastSave;
};
