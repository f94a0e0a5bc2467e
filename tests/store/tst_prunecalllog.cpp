#include "store/CallLog.h"

#include "TestSupport.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QThreadPool>

#include <sys/fsuid.h>
#include <sys/stat.h>

// Pruning the call log by age, and its reloads, checked on the call log file written afterwards.
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

// Writes the call log and prunes it to KEEPDAYS.
void prune(const TCallList &calls, std::optional<int> keepDays, const QDateTime &now)
{
    QVERIFY(SaveCalls(DataDir(), calls));
    CallLog log(DataDir());
    QVERIFY(log.load());
    QVERIFY(log.Prune(keepDays, now));
}

} // namespace

class TestPruneCallLog : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        for (const QString &file : QDir(DataDir()).entryList({"*Calls.dat*"}))
            QFile::remove(DataDir() + file);
    }

    // Ages are counted on the clock on the wall, as the call list shows them.
    void ageLimit_data()
    {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QDateTime>("call");
        QTest::addColumn<bool>("kept");
        const QDateTime noon(QDate(2026, 6, 15), QTime(12, 34, 56, 789));
        QTest::newRow("exactly 5 days: kept") << noon << noon.addDays(-5) << true;
        QTest::newRow("5 days and 1 ms: removed") << noon << noon.addDays(-5).addMSecs(-1) << false;
        QTest::newRow("logged in the future: kept") << noon << noon.addDays(1) << true;
        // The clock went back an hour on 25 October and forward on 29 March.
        const QDateTime autumn(QDate(2026, 10, 27), QTime(12, 0)), spring(QDate(2026, 3, 31), QTime(12, 0));
        QTest::newRow("5 wall-clock days over the autumn change: kept")
            << autumn << autumn.addDays(-5) << true;
        QTest::newRow("5 wall-clock days over the spring change: kept")
            << spring << spring.addDays(-5) << true;
    }

    void ageLimit()
    {
        QFETCH(QDateTime, now);
        QFETCH(QDateTime, call);
        QFETCH(bool, kept);
        TCallList calls;
        calls.append(callAt(now, QStringLiteral("today")));
        calls.append(callAt(call, QStringLiteral("probe")));
        calls.append(callAt(now.addDays(-400), QStringLiteral("ancient")));
        prune(calls, 5, now);
        QCOMPARE(namesOnDisk(), kept ? QStringList({"today", "probe"}) : QStringList{"today"});
    }

    // Runs of old calls all go, and the order stays.
    void consecutiveOldCallsGo()
    {
        const QDateTime now(QDate(2026, 6, 15), QTime(9, 0));
        TCallList calls;
        for (const char *name : {"new1", "old1", "old2", "new2", "old3", "old4"}) {
            const bool old = QByteArray(name).startsWith("old");
            calls.append(callAt(now.addDays(old ? -30 : -1), QString::fromLatin1(name)));
        }
        prune(calls, 10, now);
        QCOMPARE(namesOnDisk(), (QStringList{"new1", "new2"}));

        // Keeping all removes nothing.
        calls.clear();
        calls.append(callAt(now.addDays(-100), QStringLiteral("old")));
        prune(calls, std::nullopt, now);
        QCOMPARE(namesOnDisk(), QStringList{"old"});
    }

    // Another program's log meets calls in memory: a ring whose call never ended (the line was
    // lost) and a completed call whose save found that log. When it cannot be read just now, the
    // next save reads it rather than save over it, at the latest when the log is closed.
    void reloadKeepsCallsInMemory()
    {
        const QDateTime now = QDateTime::currentDateTime();
        const QByteArray path = QFile::encodeName(DataDir() + kCallsFileName);
        auto log = std::make_unique<CallLog>(DataDir());
        QVERIFY(log->load());
        TCallList calls;
        calls.append(callAt(now.addDays(-1), QStringLiteral("theirs")));
        QVERIFY(SaveCalls(DataDir(), calls));
        QVERIFY(::chmod(path, 0) == 0);
        ::setfsuid(65534); // unreadable to this thread, also as the superuser
        log->BeginCall(callAt(now.addSecs(-60), QStringLiteral("lost")));
        log->BeginCall(callAt(now, QStringLiteral("ringing")));
        log->CompleteCall(QStringLiteral("Ana"), QString(), QString(), false);
        const bool saved = bool(log->flush());
        ::setfsuid(::geteuid());
        QThreadPool::globalInstance()->waitForDone(); // the saver's thread took this thread's identity
        QVERIFY(::chmod(path, 0644) == 0 && !saved);
        log.reset();
        QCOMPARE(namesOnDisk(), (QStringList{"Ana", "lost", "theirs"}));
    }

    // A damaged log is kept beside itself, next to an earlier copy, and not written over until
    // the user chooses to go on with the calls that could be read.
    void damagedLogIsKeptUntilTheUserChooses()
    {
        const QString path = DataDir() + kCallsFileName;
        const QByteArray bytes =
            EncodeFileRec(callAt(QDateTime::currentDateTime().addDays(-1), QStringLiteral("real"))) +
            QByteArray(2 * 152, char(0xFF));
        testsupport::writeFile(path, bytes);
        testsupport::writeFile(path + ".damaged", "earlier");
        testsupport::writeFile(DataDir() + "Copy of Calls.dat", "safety copy");
        for (const bool goOn : {false, true}) {
            CallLog log(DataDir());
            const StoreResult loaded = log.load();
            QVERIFY(loaded.kind == StoreResult::Kind::Damaged &&
                    loaded.message.contains(path + ".damaged-2"));
            log.BeginCall(callAt(QDateTime::currentDateTime(), QStringLiteral("Ana")));
            log.CompleteCall({}, {}, {}, false);
            QVERIFY(!log.flush());
            QCOMPARE(log.reloadChanged().kind, StoreResult::Kind::Damaged);
            log.answerDamaged(goOn);
            QCOMPARE(bool(log.flush()), goOn);
            QCOMPARE(testsupport::readFile(path) == bytes, !goOn);
        }
        QCOMPARE(namesOnDisk(), (QStringList{"Ana", "real"}));
        QCOMPARE(testsupport::readFile(path + ".damaged") + testsupport::readFile(path + ".damaged-2"),
                 "earlier" + bytes);
        QVERIFY(!QFile::exists(path + ".damaged-3"));
        QCOMPARE(testsupport::readFile(DataDir() + "Copy of Calls.dat"), "safety copy");
    }
};

QTEST_GUILESS_MAIN(TestPruneCallLog)
#include "tst_prunecalllog.moc"
