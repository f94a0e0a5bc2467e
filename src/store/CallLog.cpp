#include "store/CallLog.h"

#include "store/FileRecords.h"

#include <QHash>

#include <algorithm>
#include <optional>

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

} // namespace

CallLog::CallLog(const QString &dir, FileAccess access, QObject *parent)
    : QObject(parent), m_dir(dir), m_access(access)
{
}

StoreResult CallLog::loadFile()
{
    m_stamp = StampOf(m_dir + QLatin1String(kCallsFileName));
    const StoreResult result = LoadCalls(m_dir, m_calls, m_access);
    // A ringing call not yet saved stays at the end, also when another program's log is read.
    if (m_ringing && !contains(m_calls, *m_ringing))
        m_calls.append(*m_ringing);
    emit callsChanged();
    return result;
}

StoreResult CallLog::load()
{
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
    m_calls.append(call);
    m_ringing = std::move(call);
}

StoreResult CallLog::reloadChanged()
{
    if (StampOf(m_dir + QLatin1String(kCallsFileName)) == m_stamp)
        return {};
    return loadFile();
}

// CHANGE edits a copy of the list and says whether there is anything to save. A change that
// cannot be saved is dropped, but for a logged call (KEEP): that stays in memory, and the next
// save writes it.
template <typename Change> StoreResult CallLog::change(Change change, bool keep)
{
    const DataFolderLock lock(m_dir);
    if (const StoreResult fresh = reloadChanged(); !fresh)
        return fresh;
    TCallList next = m_calls.clone();
    if (!change(next))
        return {};
    const StoreResult saved = SaveCalls(m_dir, next);
    if (!saved) {
        if (keep) {
            m_calls.swap(next);
            emit callsChanged();
        }
        return saved;
    }
    return loadFile();
}

StoreResult CallLog::CompleteCall(const QString &name, const QString &number, const QString &calledNumber,
                                  bool discard)
{
    return change(
        [&](TCallList &calls) {
            const int at = ringingAt(calls);
            m_ringing.reset();
            if (at >= 0) {
                ACalls call = calls.takeAt(at);
                if (!discard) {
                    if (!name.isEmpty())
                        call.CallerName = name;
                    if (!number.isEmpty())
                        call.CallerNumber = number;
                    if (!calledNumber.isEmpty())
                        call.CalledNumber = calledNumber;
                    calls.append(std::move(call));
                    calls.stableSort([](const ACalls &a, const ACalls &b) {
                        return a.CallDate + a.CallTime > b.CallDate + b.CallTime;
                    });
                }
            }
            return true;
        },
        true);
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
        calls.markChanged();
        return anyNew;
    });
}

StoreResult CallLog::PruneOlderThan(int days, const QDateTime &now)
{
    return change([&](TCallList &calls) {
        const qint64 limit = qint64(days) * kMsPerDay;
        for (int i = calls.size() - 1; i >= 0; --i) {
            const std::optional<qint64> age = callAgeMs(calls[i], now);
            if (age && *age > limit)
                calls.removeAt(i);
        }
        return true;
    });
}

void CallLog::NameCaller(int row, const QString &name)
{
    if (row < 0 || row >= m_calls.size() || m_calls[row].CallerName == name)
        return;
    m_calls[row].CallerName = name;
    m_calls.markChanged();
}
