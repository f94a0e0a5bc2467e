#include "settings/Settings.h"

#include "TestSupport.h"
#include "store/CallLog.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"

#include <QFile>
#include <QTest>

// Pruning the call log by age, checked on the call log file written afterwards.
namespace {

ACalls callAt(const QDateTime &when, const QString &name)
{
    ACalls call;
    call.CallerName = name;
    call.CallerNumber = QStringLiteral("0981234567");
    call.CalledNumber = QStringLiteral("015551234");
    call.CallDate = TDateFromQDate(when.date());
    call.CallTime = TTimeFromQTime(when.time());
    return call;
}

QStringList namesOnDisk()
{
    CallLog log(DataDir(), FileAccess::ReadOnly);
    log.load();
    QStringList names;
    for (const ACalls &call : log.calls())
        names << call.CallerName;
    return names;
}

// Writes the call log and prunes it with these settings.
void prune(const TCallList &calls, int keepCalls, int keepDays, const QDateTime &now)
{
    QVERIFY(SaveCalls(DataDir(), calls));
    CallLog log(DataDir());
    QVERIFY(log.load());
    Settings s;
    s.setNumber(Settings::KeepCalls, keepCalls);
    s.setNumber(Settings::KeepDays, keepDays);
    QVERIFY(s.PruneCallLog(log, now));
}

} // namespace

class TestPruneCallLog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QFile::remove(DataDir() + kCallsFileName);
        QFile::remove(DataDir() + QStringLiteral("Copy of ") + kCallsFileName);
    }

    void ageLimit_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<qint64>("ageMs");
        QTest::addColumn<int>("keepDays");
        QTest::addColumn<bool>("kept");

        const QDateTime noon(QDate(2026, 6, 15), QTime(12, 34, 56, 789));
        const qint64 day = 24 * 3600 * 1000LL;
        QTest::newRow("exactly 5 days: kept") << noon << 5 * day << 5 << true;
        QTest::newRow("5 days and 1 ms: removed") << noon << 5 * day + 1 << 5 << false;
        QTest::newRow("logged in the future: kept") << noon << -day << 5 << true;
        // Ages are counted on the clock on the wall, as the call list shows them; the clock
        // went back an hour on 25 October.
        QTest::newRow("5 wall-clock days over the autumn change: kept")
            << QDateTime(QDate(2026, 10, 27), QTime(12, 0)) << 5 * day << 5 << true;
        QTest::newRow("5 wall-clock days over the spring change: kept")
            << QDateTime(QDate(2026, 3, 31), QTime(12, 0)) << 5 * day << 5 << true;
    }

    void ageLimit()
    {
        QFETCH(QDateTime, now);
        QFETCH(qint64, ageMs);
        QFETCH(int, keepDays);
        QFETCH(bool, kept);

        // The call's wall-clock moment: now's date and time moved back by the age.
        const qint64 days = ageMs >= 0 ? ageMs / (24 * 3600 * 1000LL) : -1;
        const qint64 rest = ageMs - days * 24 * 3600 * 1000LL;
        QDate date = now.date().addDays(-days);
        qint64 ms = now.time().msecsSinceStartOfDay() - rest;
        if (ms < 0) {
            date = date.addDays(-1);
            ms += 24 * 3600 * 1000LL;
        }
        const QDateTime when(date, QTime::fromMSecsSinceStartOfDay(int(ms)));

        TCallList calls;
        calls.append(callAt(now, QStringLiteral("today")));
        calls.append(callAt(when, QStringLiteral("probe")));
        calls.append(callAt(now.addDays(-400), QStringLiteral("ancient")));
        prune(calls, Settings::kKeepOnly, keepDays, now);

        const QStringList expected = kept ? QStringList{"today", "probe"} : QStringList{"today"};
        QCOMPARE(namesOnDisk(), expected);
    }

    // Runs of old calls all go, the order stays, and a call whose date cannot be read stays.
    void consecutiveOldCallsGoUnreadableStays()
    {
        const QDateTime now(QDate(2026, 6, 15), QTime(9, 0));
        TCallList calls;
        for (const char *name : {"new1", "old1", "old2", "new2", "old3", "old4", "broken"}) {
            const bool old = QByteArray(name).startsWith("old");
            calls.append(callAt(now.addDays(old ? -30 : -1), QString::fromLatin1(name)));
        }
        calls[6].CallDate = std::numeric_limits<double>::quiet_NaN();
        prune(calls, Settings::kKeepOnly, 10, now);
        QCOMPARE(namesOnDisk(), (QStringList{"new1", "new2", "broken"}));

        // Keeping all removes nothing.
        calls.clear();
        calls.append(callAt(now.addDays(-100), QStringLiteral("old")));
        prune(calls, Settings::kKeepAll, 5, now);
        QCOMPARE(namesOnDisk(), QStringList{"old"});
    }
};

QTEST_GUILESS_MAIN(TestPruneCallLog)
#include "tst_prunecalllog.moc"
