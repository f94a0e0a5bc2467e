#include "PipelineTestHost.h"

#include "platform/WaveFile.h"

#include <QElapsedTimer>
#include <QTest>

// The sound threads against the recording sound sink, which takes as long as each wave file
// would play and is cut short by a newer sound, as a sound card is.
class TestPipelineSound : public QObject
{
    Q_OBJECT

    QString m_dir = testsupport::testDataDir();
    QString m_log = m_dir + QStringLiteral("sounds.log");

    QString wave(const char *name, int ms)
    {
        const QString path = m_dir + QLatin1String(name);
        writeSilentWave(path, ms);
        return path;
    }

private slots:
    void initTestCase() { qputenv("TELLWISE_SOUND_SINK", ("record:" + m_log).toUtf8()); }
    void init() { QFile::remove(m_log); }

    void cleanup()
    {
        QVERIFY(TSoundPlay::stopAll());
        // Let the finished threads delete themselves.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Only an existing file named *.wav, in lower case, is a sound; the others neither play nor
    // cut the ring short.
    void unplayableFileLeavesSoundPlaying()
    {
        const QString ring = wave("ring.wav", 600);
        QVERIFY(IsWaveFile(ring));
        QElapsedTimer clock;
        clock.start();
        TSoundPlay::start(ring);
        QCOMPARE(TSoundPlay::runningCount(), 1); // the caller did not wait
        QTRY_COMPARE(recordedSounds(m_log), QStringList{ring});
        for (const QString &file :
             {wave("LOUD.WAV", 100), wave("e.wav.bak", 100), m_dir + QStringLiteral("gone.wav"), QString()}) {
            QVERIFY2(!IsWaveFile(file), qPrintable(file));
            TSoundPlay::start(file);
        }
        QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 3000);
        QVERIFY2(clock.elapsed() >= 550, "a file that plays nothing cut the ring short");
        QCOMPARE(recordedSounds(m_log), QStringList{ring});
    }

    // The ring and the caller's sound of an ISDN call start back to back; whichever thread the
    // system runs first, the caller's sound is the one left playing, and the long ring is cut
    // short rather than played on after it. Stopping ends every sound at once.
    void laterStartWinsEvenWhenScheduledFirst()
    {
        const QString ring = wave("ring-long.wav", 4000);
        const QString own = wave("own.wav", 30);
        for (int round = 0; round < 20; ++round) {
            QFile::remove(m_log);
            TSoundPlay::start(ring);
            TSoundPlay::start(own);
            QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 2000);
            const QStringList played = recordedSounds(m_log);
            QVERIFY(!played.isEmpty());
            QCOMPARE(played.last(), own);
        }
        TSoundPlay::start(ring);
        TSoundPlay::start(ring);
        QVERIFY(TSoundPlay::stopAll(2000));
    }
};

QTEST_GUILESS_MAIN(TestPipelineSound)
#include "tst_pipeline_sound.moc"
