#include "CrashVersions.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

// A saver killed at any moment must leave Addressbook.dat whole: exactly the old or the new
// version, never missing, empty or mixed.
class TestSaveCrash : public QObject
{
    Q_OBJECT
private slots:
    void killedSaverLeavesWholeFile()
    {
        QTemporaryDir dir(testsupport::testDataDir() + QStringLiteral("crash-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString path = dir.path() + QLatin1Char('/');
        const QByteArray versionA = CrashVersionBytes(false);
        const QByteArray versionB = CrashVersionBytes(true);
        testsupport::writeFile(path + QStringLiteral("Addressbook.dat"), versionA);
        QRandomGenerator random(20260612);
        int seenA = 0;
        int seenB = 0;
        QElapsedTimer clock;
        clock.start();
        for (int round = 0; round < 80 && clock.elapsed() < 25000; ++round) {
            QProcess child;
            child.start(QStringLiteral(STORE_CRASH_CHILD), {path});
            QVERIFY(child.waitForStarted());
            QThread::usleep(random.bounded(2000, 120000));
            child.kill(); // SIGKILL: no clean-up runs
            QVERIFY(child.waitForFinished());
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            const QByteArray data = testsupport::readFile(path + QStringLiteral("Addressbook.dat"));
            QVERIFY2(data == versionA || data == versionB,
                     qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(data.size())));
            (data == versionA ? seenA : seenB)++;

            const QString copy = path + QStringLiteral("Copy of Addressbook.dat");
            if (QFileInfo::exists(copy)) {
                const QByteArray copyBytes = testsupport::readFile(copy);
                QVERIFY(copyBytes == versionA || copyBytes == versionB);
            }
            // Each save clears what the killed ones before it left: at most the last one's
            // temporary file and its safety copy's remain.
            QVERIFY(QDir(path).entryList({QStringLiteral("*.new-*")}, QDir::Files).size() <= 2);
        }
        qInfo("after kills: %d times the first version, %d times the second", seenA, seenB);
        // The child must have got through saves, or the kills proved nothing.
        QVERIFY(seenB > 0);
    }
};

QTEST_GUILESS_MAIN(TestSaveCrash)
#include "tst_savecrash.moc"
