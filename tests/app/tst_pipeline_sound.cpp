#include "PipelineTestHost.h"

#include "platform/WaveFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTest>

// The sound threads against the recording sound sink, which takes as long as each wave file
// would play and is cut short by a newer sound, as a sound card is.
class TestPipelineSound : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void isWaveFile_data();
    void isWaveFile();
    void threadEndsWithItsSoundOrWhenStopped();
    void newerSoundCutsOlder();
    void unplayableFileLeavesSoundPlaying();
    void laterStartWinsEvenWhenScheduledFirst();
    void shippedRingSound();

private:
    QString wave(const QString &name, int ms);

    QString m_dir;
    QString m_log;
};

void TestPipelineSound::initTestCase()
{
    m_dir = testsupport::testDataDir();
    m_log = m_dir + QStringLiteral("sounds.log");
    qputenv("TELLWISE_SOUND_SINK", ("record:" + m_log).toUtf8());
}

void TestPipelineSound::init()
{
    QFile::remove(m_log);
}

void TestPipelineSound::cleanup()
{
    QVERIFY(TSoundPlay::stopAll());
    // Let the finished threads delete themselves.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString TestPipelineSound::wave(const QString &name, int ms)
{
    const QString path = m_dir + name;
    writeSilentWave(path, ms);
    return path;
}

void TestPipelineSound::isWaveFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("wave");
    QTest::newRow("lower-case .wav") << "a.wav" << true << true;
    QTest::newRow("upper-case .WAV") << "b.WAV" << true << false;
    QTest::newRow(".wav inside the name") << "e.wav.bak" << true << false;
    QTest::newRow("missing file") << "missing.wav" << false << false;
}

void TestPipelineSound::isWaveFile()
{
    QFETCH(QString, name);
    QFETCH(bool, create);
    QFETCH(bool, wave);
    const QString path = m_dir + name;
    if (create)
        writeSilentWave(path, 50);
    QCOMPARE(IsWaveFile(path), wave);

    // Only a file IsWaveFile accepts reaches the sound output.
    TSoundPlay::start(path);
    QTRY_COMPARE(TSoundPlay::runningCount(), 0);
    QCOMPARE(recordedSounds(m_log), wave ? QStringList{path} : QStringList{});
}

void TestPipelineSound::threadEndsWithItsSoundOrWhenStopped()
{
    const QString file = wave(QStringLiteral("short.wav"), 400);
    QElapsedTimer clock;
    clock.start();
    TSoundPlay::start(file);
    QCOMPARE(TSoundPlay::runningCount(), 1); // the caller did not wait
    QVERIFY(clock.elapsed() < 200);
    QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 3000);
    QVERIFY2(clock.elapsed() >= 350, "the thread ended before its sound");
    QCOMPARE(recordedSounds(m_log), QStringList{file});

    // Stopping ends every thread at once, long sounds or not.
    const QString longer = wave(QStringLiteral("a.wav"), 5000);
    TSoundPlay::start(longer);
    TSoundPlay::start(longer);
    clock.restart();
    QVERIFY(TSoundPlay::stopAll(3000));
    QCOMPARE(TSoundPlay::runningCount(), 0);
    QVERIFY(clock.elapsed() < 3000);
}

void TestPipelineSound::newerSoundCutsOlder()
{
    const QString ring = wave(QStringLiteral("ring-long.wav"), 4000);
    const QString own = wave(QStringLiteral("own.wav"), 200);
    QElapsedTimer clock;
    clock.start();
    TSoundPlay::start(ring);
    QTRY_COMPARE(recordedSounds(m_log), QStringList{ring});
    TSoundPlay::start(own);
    QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 3000);
    QVERIFY2(clock.elapsed() < 2500, "the ring played on under the caller's sound");
    QCOMPARE(recordedSounds(m_log), (QStringList{ring, own}));
}

void TestPipelineSound::unplayableFileLeavesSoundPlaying()
{
    const QString ring = wave(QStringLiteral("ring.wav"), 600);
    const QString upper = wave(QStringLiteral("LOUD.WAV"), 100);
    QElapsedTimer clock;
    clock.start();
    TSoundPlay::start(ring);
    QTRY_COMPARE(recordedSounds(m_log), QStringList{ring});
    TSoundPlay::start(upper);
    TSoundPlay::start(m_dir + QStringLiteral("gone.wav"));
    TSoundPlay::start(QString());
    QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 3000);
    QVERIFY2(clock.elapsed() >= 550, "a file that plays nothing cut the ring short");
    QCOMPARE(recordedSounds(m_log), QStringList{ring});
}

void TestPipelineSound::laterStartWinsEvenWhenScheduledFirst()
{
    // The ring and the caller's sound of an ISDN call start back to back; whichever thread
    // the system runs first, the caller's sound is the one left playing.
    const QString ring = wave(QStringLiteral("ring.wav"), 150);
    const QString own = wave(QStringLiteral("own.wav"), 30);
    for (int round = 0; round < 20; ++round) {
        QFile::remove(m_log);
        TSoundPlay::start(ring);
        TSoundPlay::start(own);
        QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 3000);
        const QStringList played = recordedSounds(m_log);
        QVERIFY(!played.isEmpty());
        QCOMPARE(played.last(), own);
    }
}

void TestPipelineSound::shippedRingSound()
{
    // The build copies our ring sound beside the programs, where a build tree finds it.
    const QString ring = QStringLiteral(TELLWISE_BINARY_DIR "/bin/Sound/ring1.wav");
    QVERIFY2(IsWaveFile(ring), qPrintable(ring));
    const std::optional<WaveInfo> info = ReadWaveInfo(ring);
    QVERIFY(info);
    QCOMPARE(info->formatTag, 1);
    QVERIFY(info->durationMs() >= 500 && info->durationMs() <= 5000);
    QCOMPARE(testsupport::readFile(ring),
             testsupport::readFile(QStringLiteral(TELLWISE_SOURCE_DIR "/resources/Sound/ring1.wav")));
}

QTEST_GUILESS_MAIN(TestPipelineSound)
#include "tst_pipeline_sound.moc"
