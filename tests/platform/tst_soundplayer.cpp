#include "platform/SoundPlayer.h"
#include "platform/WaveFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QtEndian>

// Wave files as the player reads them, and the system sound output for real, with ALSA's
// default device pointed (through this test's own ~/.asoundrc) at a file: the samples that reach
// ALSA are the ones in the wave file. Playing to the end and a newer sound cutting the older one
// short are checked through the sound threads in the app tests.
namespace {

template <typename T> QByteArray le(T v)
{
    QByteArray b(sizeof v, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char *id, const QByteArray &body, quint32 declared = 0xffffffffu)
{
    QByteArray c = QByteArray(id, 4) + le(declared == 0xffffffffu ? quint32(body.size()) : declared) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

// PCM; mono 8 bits is 8000 bytes a second.
QByteArray formatChunk(quint16 bits = 8)
{
    const quint16 align = bits / 8;
    return chunk("fmt ", le<quint16>(1) + le<quint16>(1) + le<quint32>(8000) + le<quint32>(8000 * align) +
                             le(align) + le(bits));
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

} // namespace

class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        testsupport::writeFile(QDir::homePath() + "/.asoundrc",
                               QStringLiteral("pcm.!default {\n type file\n slave.pcm \"null\"\n"
                                              " file \"%1/captured.raw\"\n format \"raw\"\n}\n")
                                   .arg(QDir::homePath())
                                   .toUtf8());
    }

    void waveLayout_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("durationMs");

        QTest::newRow("list chunk before the data")
            << riff(formatChunk() + chunk("LIST", "INFOabc") + chunk("data", QByteArray(800, '\0'))) << true
            << qint64(100);
        QTest::newRow("odd chunk padded")
            << riff(formatChunk() + chunk("junk", "x") + chunk("data", QByteArray(1600, '\0'))) << true
            << qint64(200);
        QTest::newRow("data cut off: plays what is there")
            << riff(formatChunk() + chunk("data", QByteArray(400, '\0'), 80000)) << true << qint64(50);
        QTest::newRow("no format chunk") << riff(chunk("data", QByteArray(800, '\0'))) << false << qint64(0);
        QTest::newRow("format chunk too short")
            << riff(chunk("fmt ", QByteArray(8, '\1')) + chunk("data", "ab")) << false << qint64(0);
        QTest::newRow("not RIFF") << QByteArray("RIFX\0\0\0\0WAVE", 12) << false << qint64(0);
    }

    void waveLayout()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(qint64, durationMs);
        const QString path = testsupport::testDataDir() + "layout.wav";
        testsupport::writeFile(path, bytes);
        const std::optional<WaveInfo> info = ReadWaveInfo(path);
        QCOMPARE(info.has_value(), valid);
        if (valid)
            QCOMPARE(info->durationMs(), durationMs);
    }

    // A missing file or one that is no wave file plays nothing and fails at once.
    void samplesReachTheSoundOutput()
    {
        if (!qEnvironmentVariableIsEmpty("TELLWISE_SOUND_SINK"))
            QSKIP("another sound output is chosen");
        const QString text = testsupport::testDataDir() + "text.wav";
        testsupport::writeFile(text, "just some text\n");
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SoundPlayer::play(testsupport::testDataDir() + "missing.wav"));
        QVERIFY(!SoundPlayer::play(text));
        QVERIFY(timer.elapsed() < 1000);
        const QString captured = QDir::homePath() + "/captured.raw";
        QVERIFY(!QFileInfo::exists(captured));

        QByteArray samples;
        for (int i = 0; i < 4000; ++i)
            samples += le(qint16((i * 37) % 20000 - 10000));
        const QString file = testsupport::testDataDir() + "tone.wav";
        testsupport::writeFile(file, riff(formatChunk(16) + chunk("data", samples)));
        QVERIFY(SoundPlayer::play(file));
        QCOMPARE(testsupport::readFile(captured), samples);
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
