#include "platform/SoundPlayer.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QtEndian>

// The system sound output, with ALSA's default device pointed (through this test's own
// ~/.asoundrc) at a file: the samples that reach ALSA are the ones in the wave file.
class TestSoundSystem : public QObject
{
    Q_OBJECT

private:
    QString m_captured;

    static QByteArray wave(const QByteArray &samples)
    {
        auto le32 = [](quint32 v) {
            QByteArray b(4, '\0');
            qToLittleEndian(v, b.data());
            return b;
        };
        auto le16 = [](quint16 v) {
            QByteArray b(2, '\0');
            qToLittleEndian(v, b.data());
            return b;
        };
        // 16-bit mono at 8000 Hz
        const QByteArray fmt =
            "fmt " + le32(16) + le16(1) + le16(1) + le32(8000) + le32(16000) + le16(2) + le16(16);
        const QByteArray data = "data" + le32(quint32(samples.size())) + samples;
        return "RIFF" + le32(quint32(4 + fmt.size() + data.size())) + "WAVE" + fmt + data;
    }

private slots:
    void initTestCase()
    {
        if (!qEnvironmentVariableIsEmpty("TELLWISE_SOUND_SINK"))
            QSKIP("another sound output is chosen");
        m_captured = QDir::homePath() + "/captured.raw";
        testsupport::writeFile(QDir::homePath() + "/.asoundrc", QStringLiteral("pcm.!default {\n"
                                                                               "    type file\n"
                                                                               "    slave.pcm \"null\"\n"
                                                                               "    file \"%1\"\n"
                                                                               "    format \"raw\"\n"
                                                                               "}\n")
                                                                    .arg(m_captured)
                                                                    .toUtf8());
    }

    void samplesReachTheSoundOutput()
    {
        QByteArray samples;
        for (int i = 0; i < 4000; ++i) {
            QByteArray s(2, '\0');
            qToLittleEndian(qint16((i * 37) % 20000 - 10000), s.data());
            samples += s;
        }
        const QString file = testsupport::testDataDir() + "tone.wav";
        testsupport::writeFile(file, wave(samples));
        QVERIFY(SoundPlayer::play(file));
        QCOMPARE(testsupport::readFile(m_captured), samples);
    }
};

QTEST_GUILESS_MAIN(TestSoundSystem)
#include "tst_soundsystem.moc"
