#include "store/CallLog.h"

#include "store/FileRecords.h"

#include <QHash>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <optional>
#include <utility>

namespace {

constexpr qint64 kMsPerDay = 86400000;

std::optional<qint64> callAgeMs(const ACalls &call, const QDateTime &now)
{
    const QDate date = DateFromTDateTime(call.CallDate);
    const QTime time = TimeFromTDateTime(call.CallTime);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return date.daysTo(now.date()) * kMsPerDay +
           (now.time().msecsSinceStartOfDay() - time.msecsSinceStartOfDay());
}

// What tells one logged call from another; the caller's name may change as contacts do.
QString callKey(const ACalls &call)
{
    return call.CallerNumber + QChar(0x1f) + call.CalledNumber + QChar(0x1f) +
           QString::number(call.CallDate, 'g', 17) + QChar(0x1f) + QString::number(call.CallTime, 'g', 17);
}

bool sameCall(const ACalls &a, const ACalls &b)
{
    return a.CallDate == b.CallDate && a.CallTime == b.CallTime && a.CallerNumber == b.CallerNumber &&
           a.CalledNumber == b.CalledNumber && a.CallerName == b.CallerName;
}

// Whether CALLS holds CALL; a ringing call stands at the end, where it is looked for first.
bool contains(const TCallList &calls, const ACalls &call)
{
    for (int i = calls.size() - 1; i >= 0; --i)
        if (sameCall(calls[i], call))
            return true;
    return false;
}

// CALL as the file gives it back: texts cut to their fields and in the file's characters.
ACalls asStored(const ACalls &call)
{
    char bytes[TCallFileRec::Size];
    TCallFileRec::encode(call, bytes);
    return TCallFileRec::decode(bytes);
}

bool newer(const ACalls &a, const ACalls &b)
{
    return a.CallDate + a.CallTime > b.CallDate + b.CallTime;
}

// Puts CALL where sorting the list newest first, equal times in their order, would put it when
// appended: after every call at least as new. A call that rang without a caller waited at the
// end, out of that order; it moves to its place on the way, as that sort would move it. A list
// that is out of order elsewhere (written by another program) is sorted whole.
void insertByTime(TCallList &calls, ACalls call)
{
    constexpr int kLongestTail = 32;
    calls.append(std::move(call));
    int sorted = 1;
    while (sorted < calls.size() && !newer(calls[sorted], calls[sorted - 1]))
        ++sorted;
    if (calls.size() - sorted > kLongestTail) {
        calls.stableSort(newer);
        return;
    }
    for (; sorted < calls.size(); ++sorted) {
        int at = 0;
        while (at < sorted && !newer(calls[sorted], calls[at]))
            ++at;
        if (at < sorted)
            calls.insert(at, calls.takeAt(sorted));
    }
}

} // namespace

CallLog::CallLog(const QString &dir, FileAccess access, QObject *parent)
    : QObject(parent), m_dir(dir), m_access(access), m_damage(dir + QLatin1String(kCallsFileName))
{
    connect(&m_savingWatcher, &QFutureWatcherBase::finished, this, &CallLog::backgroundSaveFinished);
}

CallLog::~CallLog()
{
    // Calls whose save failed get one more try.
    if (!m_unsaved.isEmpty())
        saveSoon();
    flush();
}

StoreResult CallLog::loadFile()
{
    // Taken before the read: a save by another program during it is seen at the next look.
    const FileStamp stamp = StampOf(m_dir + QLatin1String(kCallsFileName));
    const StoreResult loaded = LoadCalls(m_dir, m_calls, m_access);
    // A version that could not be read is not the one in memory: the next change reads it again
    // rather than save the list over it. The watch on the file does not ask again.
    if (loaded.kind == StoreResult::Kind::Failed) {
        m_unreadable = stamp;
        return loaded;
    }
    m_stamp = stamp;
    const StoreResult result = m_damage.loaded(loaded);
    // Calls not yet saved stay, also when another program's log is read: the completed ones at
    // their time, a ringing one at the end.
    for (const ACalls &call : std::as_const(m_unsaved))
        if (!contains(m_calls, call))
            insertByTime(m_calls, call);
    if (m_ringing && !contains(m_calls, *m_ringing))
        m_calls.append(*m_ringing);
    emit callsChanged();
    return result;
}

StoreResult CallLog::load()
{
    flush();
    return loadFile();
}

int CallLog::ringingAt(const TCallList &calls) const
{
    if (!m_ringing || calls.isEmpty())
        return -1;
    return sameCall(calls[calls.size() - 1], *m_ringing) ? calls.size() - 1 : -1;
}

void CallLog::BeginCall(ACalls call)
{
    // A ring before the previous call ended (a line lost meanwhile) leaves that call as it stands.
    if (ringingAt(m_calls) >= 0)
        CompleteCall({}, {}, {}, false);
    m_ringing = asStored(call);
    m_calls.append(*m_ringing);
}

StoreResult CallLog::reloadChanged()
{
    // A save of ours on its way changes the file too; its end tells what is on disk.
    if (m_saveInFlight)
        return {};
    const FileStamp stamp = StampOf(m_dir + QLatin1String(kCallsFileName));
    if (stamp == m_stamp || stamp == m_unreadable)
        return m_damage.unanswered();
    return loadFile();
}

void CallLog::answerDamaged(bool goOn)
{
    m_damage.answer(goOn);
    if (goOn && !m_unsaved.isEmpty())
        saveSoon();
}

StoreResult CallLog::readIfChanged()
{
    if (StampOf(m_dir + QLatin1String(kCallsFileName)) == m_stamp)
        return {};
    return loadFile();
}

// CHANGE edits a copy of the list and says whether there is anything to save. A change that
// cannot be saved is dropped.
template <typename Change> StoreResult CallLog::change(Change change)
{
    flush();
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = readIfChanged(); fresh.kind == StoreResult::Kind::Failed)
        return fresh;
    if (const StoreResult writable = m_damage.mayWrite(); !writable)
        return writable;
    TCallList next = m_calls.clone();
    if (!change(next))
        return {};
    const StoreResult saved = SaveCalls(m_dir, next);
    if (!saved)
        return saved;
    // Everything in memory is on disk now.
    m_unsaved.clear();
    m_lastSave = {};
    return loadFile();
}

StoreResult CallLog::CompleteCall(const QString &name, const QString &number, const QString &calledNumber,
                                  bool discard)
{
    const int at = ringingAt(m_calls);
    m_ringing.reset();
    if (at < 0)
        return m_lastSave;
    ACalls call = m_calls.takeAt(at);
    if (!discard) {
        if (!name.isEmpty())
            call.CallerName = name;
        if (!number.isEmpty())
            call.CallerNumber = number;
        if (!calledNumber.isEmpty())
            call.CalledNumber = calledNumber;
        call = asStored(call);
        m_unsaved.append(call);
        insertByTime(m_calls, std::move(call));
    }
    emit callsChanged();
    saveSoon();
    return m_lastSave;
}

CallLog::Written CallLog::writeUnlessReplaced(const QString &dir, const std::vector<ACalls> &calls,
                                              const FileStamp &expected)
{
    const DataFolderLock lock(dir);
    const QString path = dir + QLatin1String(kCallsFileName);
    if (StampOf(path) != expected)
        return {{}, {}, true};
    const StoreResult saved = SaveCalls(dir, calls);
    return {saved, StampOf(path), false};
}

void CallLog::saveSoon()
{
    if (!std::exchange(m_saveQueued, true))
        QMetaObject::invokeMethod(this, &CallLog::startQueuedSave, Qt::QueuedConnection);
}

void CallLog::startQueuedSave()
{
    if (std::exchange(m_saveQueued, false))
        saveInBackground();
}

void CallLog::saveInBackground()
{
    if (m_saveInFlight) {
        m_saveAgain = true;
        return;
    }
    if (const StoreResult writable = m_damage.mayWrite(); !writable) {
        m_lastSave = writable;
        return;
    }
    // The worker gets a copy: the list may change while it writes. The texts are shared, so
    // the copy costs little.
    std::vector<ACalls> copy;
    copy.reserve(std::size_t(m_calls.size()));
    for (const ACalls &call : m_calls)
        copy.push_back(call);
    m_saveInFlight = true;
    m_saveAgain = false;
    m_savingUnsaved = m_unsaved.size();
    m_saving = QtConcurrent::run(&CallLog::writeUnlessReplaced, m_dir, std::move(copy), m_stamp);
    m_savingWatcher.setFuture(m_saving);
}

void CallLog::backgroundSaveFinished()
{
    // flush() may have taken this result already, or a newer save may be running.
    if (!m_saveInFlight || !m_saving.isFinished())
        return;
    m_saveInFlight = false;
    const Written written = m_saving.result();
    if (written.stale) {
        // Another program's change is kept: read it, with our calls put back, and save that.
        if (const StoreResult loaded = loadFile(); !loaded) {
            m_lastSave = loaded;
            return;
        }
        saveInBackground();
        return;
    }
    m_lastSave = written.result;
    if (written.result) {
        m_stamp = written.stamp;
        m_unsaved.remove(0, m_savingUnsaved);
    }
    if (m_saveAgain)
        saveInBackground();
}

StoreResult CallLog::flush()
{
    startQueuedSave();
    while (m_saveInFlight) {
        m_saving.waitForFinished();
        backgroundSaveFinished();
    }
    return m_lastSave;
}

StoreResult CallLog::DeleteCalls(const QList<ACalls> &chosen)
{
    return change([&](TCallList &calls) {
        QHash<QString, QList<int>> byKey;
        for (int i = calls.size() - 1; i >= 0; --i)
            byKey[callKey(calls[i])].append(i);
        QList<int> found;
        for (const ACalls &call : chosen) {
            QList<int> &candidates = byKey[callKey(call)];
            if (!candidates.isEmpty())
                found << candidates.takeLast();
        }
        std::sort(found.begin(), found.end(), std::greater<int>());
        for (int at : found) {
            if (at == ringingAt(calls))
                m_ringing.reset(); // the user deleted it
            calls.removeAt(at);
        }
        return true;
    });
}

StoreResult CallLog::MarkAllSeen()
{
    return change([](TCallList &calls) {
        bool anyNew = false;
        for (int i = 0; i < calls.size(); ++i) {
            anyNew = anyNew || calls[i].IsNew;
            calls[i].IsNew = false;
        }
        return anyNew;
    });
}

StoreResult CallLog::Prune(std::optional<int> keepDays, const QDateTime &now)
{
    if (!keepDays)
        return {};
    return change([&](TCallList &calls) {
        const qint64 limit = qint64(*keepDays) * kMsPerDay;
        for (int i = calls.size() - 1; i >= 0; --i) {
            const std::optional<qint64> age = callAgeMs(calls[i], now);
            if (age && *age > limit)
                calls.removeAt(i);
        }
        return true;
    });
}

void CallLog::NameCallers(const QHash<int, QString> &names)
{
    for (auto it = names.begin(); it != names.end(); ++it)
        if (it.key() >= 0 && it.key() < m_calls.size())
            m_calls[it.key()].CallerName = it.value();
}
