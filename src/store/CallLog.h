#pragma once

#include "store/DataFiles.h"
#include "store/Records.h"
#include "store/StoreResult.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

// The call log of one data folder, newest first, and every rule that changes it. The call
// pipeline, the windows and tellwise-cli read the list and change it only through these methods.
// Changes hold the folder's lock, first read again a file that another program replaced, then
// rewrite the file and read it back; callsChanged() announces them.
class CallLog : public QObject
{
    Q_OBJECT

public:
    explicit CallLog(const QString &dir, FileAccess access = FileAccess::CreateMissing,
                     QObject *parent = nullptr);

    const QString &folder() const { return m_dir; }
    const TCallList &calls() const { return m_calls; }

    StoreResult load();
    // Reads the file again when it changed on disk since this object last read or wrote it.
    StoreResult reloadChanged();

    // A ringing call: CALL (its placeholder) goes to the end of the list, in memory only; the
    // next save writes it, as the record of a call whose caller never became known.
    void BeginCall(ACalls call);
    // The ringing call, when it is still the last record, takes the texts given (empty ones keep
    // theirs) and its place by time, or is dropped with DISCARD; then the log is saved.
    StoreResult CompleteCall(const QString &name, const QString &number, const QString &calledNumber,
                             bool discard);
    // Removes each of CHOSEN's calls, found by number, called number and time, once.
    StoreResult DeleteCalls(const QList<ACalls> &chosen);
    // Every call is seen; saves only when one was new.
    StoreResult MarkAllSeen();
    // Removes the calls older than DAYS days before NOW (a call whose date cannot be read stays).
    StoreResult PruneOlderThan(int days, const QDateTime &now);
    // A number that has found its contact since the call shows the contact's name; it reaches
    // the file with the next save.
    void NameCaller(int row, const QString &name);

signals:
    void callsChanged();

private:
    template <typename Change> StoreResult change(Change change, bool keep = false);
    StoreResult loadFile();
    // Where the ringing call stands in CALLS: the last record, or -1.
    int ringingAt(const TCallList &calls) const;

    QString m_dir;
    FileAccess m_access;
    TCallList m_calls;
    FileStamp m_stamp;
    std::optional<ACalls> m_ringing;
};
