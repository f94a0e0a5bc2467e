#include "platform/SoundPlayer.h"
#include "platform/WaveFile.h"

#include "TestSupport.h"

#include <QElapsedTimer>
#include <QTest>
#include <QtEndian>

// Wave files as the player reads them, and files it refuses, through the recording output
// (TELLWISE_SOUND_SINK=record:<log>, set by CMake). Playing to the end and a newer sound
// cutting the older one short are checked through the sound threads in the app tests.
namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray le16(quint16 v)
{
    QByteArray b(2, '\0');
    qToLittleEndian(v, b.data());
    return b;
}

QByteArray chunk(const char *id, const QByteArray &body, quint32 declared = 0xffffffffu)
{
    QByteArray c = QByteArray(id, 4) + le32(declared == 0xffffffffu ? quint32(body.size()) : declared) + body;
    if (body.size() % 2)
        c += '\0';
    return c;
}

// PCM, mono, 8 bits: 8000 bytes a second.
QByteArray formatChunk(quint32 rate = 8000, quint16 channels = 1, quint16 bits = 8)
{
    const quint16 align = quint16(channels * bits / 8);
    return chunk("fmt ",
                 le16(1) + le16(channels) + le32(rate) + le32(rate * align) + le16(align) + le16(bits));
}

QByteArray riff(const QByteArray &chunks)
{
    return "RIFF" + le32(quint32(4 + chunks.size())) + "WAVE" + chunks;
}

QByteArray wave(int milliseconds)
{
    return riff(formatChunk() + chunk("data", QByteArray(8 * milliseconds, '\x80')));
}

QStringList playedFiles()
{
    const QString log = qEnvironmentVariable("TELLWISE_SOUND_SINK").mid(7);
    QFile f(log);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

void clearLog()
{
    QFile::remove(qEnvironmentVariable("TELLWISE_SOUND_SINK").mid(7));
}

} // namespace

class TestSoundPlayer : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearLog(); }

    void waveLayout_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("durationMs");
        QTest::addColumn<int>("channels");

        QTest::newRow("half a second") << wave(500) << true << qint64(500) << 1;
        QTest::newRow("list chunk before the data")
            << riff(formatChunk() + chunk("LIST", "INFOabc") + chunk("data", QByteArray(800, '\0'))) << true
            << qint64(100) << 1;
        QTest::newRow("odd chunk padded")
            << riff(formatChunk() + chunk("junk", "x") + chunk("data", QByteArray(1600, '\0'))) << true
            << qint64(200) << 1;
        QTest::newRow("data cut off: plays what is there")
            << riff(formatChunk() + chunk("data", QByteArray(400, '\0'), 80000)) << true << qint64(50) << 1;
        QTest::newRow("no format chunk")
            << riff(chunk("data", QByteArray(800, '\0'))) << false << qint64(0) << 0;
        QTest::newRow("format chunk too short")
            << riff(chunk("fmt ", QByteArray(8, '\1')) + chunk("data", "ab")) << false << qint64(0) << 0;
        QTest::newRow("not RIFF") << QByteArray("RIFX\0\0\0\0WAVE", 12) << false << qint64(0) << 0;
    }

    void waveLayout()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, valid);
        QFETCH(qint64, durationMs);
        QFETCH(int, channels);
        const QString path = testsupport::testDataDir() + "layout.wav";
        testsupport::writeFile(path, bytes);
        const std::optional<WaveInfo> info = ReadWaveInfo(path);
        QCOMPARE(info.has_value(), valid);
        if (valid) {
            QCOMPARE(info->durationMs(), durationMs);
            QCOMPARE(info->channels, channels);
        }
    }

    void unplayableFilesPlayNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("name");
        QTest::newRow("missing") << QByteArray() << "missing.wav";
        QTest::newRow("not a wave file") << QByteArray("just some text\n") << "text.wav";
    }

    void unplayableFilesPlayNothing()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, name);
        const QString path = testsupport::testDataDir() + name;
        if (!bytes.isEmpty())
            testsupport::writeFile(path, bytes);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SoundPlayer::play(path));
        QVERIFY(timer.elapsed() < 1000);
        QVERIFY(playedFiles().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestSoundPlayer)
#include "tst_soundplayer.moc"
