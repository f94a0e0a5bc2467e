#include "store/CallLog.h"

#include "TestSupport.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/fsuid.h>
#include <sys/stat.h>

// Pruning the call log by age, and the calls another program's save meets in memory, checked on
// the call log file written afterwards.
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

QStringList names(const TCallList &calls)
{
    QStringList names;
    for (const ACalls &call : calls)
        names << call.CallerName;
    return names;
}

QStringList namesOnDisk()
{
    CallLog log(DataDir(), FileAccess::ReadOnly);
    log.load();
    return names(log.calls());
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

    // A call that rang while an earlier one never ended keeps that one: another program's log,
    // read meanwhile, gets both back.
    void reloadKeepsEveryRingingCall()
    {
        const QDateTime now = QDateTime::currentDateTime();
        CallLog log(DataDir());
        QVERIFY(log.load());
        log.BeginCall(callAt(now.addSecs(-60), QStringLiteral("first ring")));
        log.BeginCall(callAt(now, QStringLiteral("second ring")));
        TCallList theirs;
        theirs.append(callAt(now.addDays(-1), QStringLiteral("theirs")));
        QVERIFY(SaveCalls(DataDir(), theirs));
        QVERIFY(log.reloadChanged());
        QCOMPARE(names(log.calls()), (QStringList{"first ring", "theirs", "second ring"}));
    }

    // Another program's log that cannot be read just now: the completed call stays in memory, and
    // the next change reads that log first instead of saving over it.
    void unreadableLogIsReadBeforeTheNextSave()
    {
        const QDateTime now = QDateTime::currentDateTime();
        const QString path = DataDir() + kCallsFileName;
        TCallList calls;
        calls.append(callAt(now.addDays(-2), QStringLiteral("old")));
        QVERIFY(SaveCalls(DataDir(), calls));
        CallLog log(DataDir());
        QVERIFY(log.load());
        calls.insert(0, callAt(now.addDays(-1), QStringLiteral("theirs")));
        QVERIFY(SaveCalls(DataDir(), calls));
        // Unreadable to this thread only; the superuser reads anything.
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0) == 0);
        ::setfsuid(65534);
        ACalls ringing = callAt(now, QStringLiteral("ringing"));
        ringing.IsNew = true;
        log.BeginCall(ringing);
        log.CompleteCall(QStringLiteral("Ana"), QStringLiteral("091"), QString(), false);
        const bool saved = bool(log.flush());
        ::setfsuid(::geteuid());
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        QVERIFY(!saved);
        QCOMPARE(names(log.calls()), (QStringList{"Ana", "old"}));
        QVERIFY(log.MarkAllSeen());
        QCOMPARE(namesOnDisk(), (QStringList{"Ana", "theirs", "old"}));
    }

    // A damaged log is kept beside itself, next to an earlier copy, and never written over until
    // the user chooses to go on with the calls that could be read.
    void damagedLogIsKeptUntilTheUserChooses()
    {
        const QString path = DataDir() + kCallsFileName;
        QByteArray bytes =
            EncodeFileRec(callAt(QDateTime::currentDateTime().addDays(-1), QStringLiteral("real")));
        for (char c : QByteArrayLiteral("\xff\x01 junk"))
            bytes += QByteArray(152, c);
        testsupport::writeFile(path, bytes);
        testsupport::writeFile(path + ".damaged", "earlier");
        for (const bool goOn : {false, true}) {
            CallLog log(DataDir());
            const StoreResult loaded = log.load();
            QCOMPARE(loaded.kind, StoreResult::Kind::Damaged);
            QVERIFY(loaded.message.contains(path + ".damaged-2"));
            QCOMPARE(names(log.calls()), QStringList{"real"});
            log.BeginCall(callAt(QDateTime::currentDateTime(), QStringLiteral("ringing")));
            log.CompleteCall(QStringLiteral("Ana"), QStringLiteral("091"), QString(), false);
            QVERIFY(!log.flush());
            QCOMPARE(log.reloadChanged().kind, StoreResult::Kind::Damaged);
            log.answerDamaged(goOn);
            QVERIFY(log.reloadChanged());
            QCOMPARE(bool(log.flush()), goOn);
            QCOMPARE(testsupport::readFile(path) == bytes, !goOn);
        }
        QCOMPARE(namesOnDisk(), (QStringList{"Ana", "real"}));
        QCOMPARE(testsupport::readFile(path + ".damaged"), QByteArray("earlier"));
        QCOMPARE(testsupport::readFile(path + ".damaged-2"), bytes);
        QVERIFY(!QFile::exists(path + ".damaged-3"));
    }
};

QTEST_GUILESS_MAIN(TestPruneCallLog)
#include "tst_prunecalllog.moc"
