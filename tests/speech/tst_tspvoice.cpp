#include "speech/TSpVoice.h"

#include "TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <csignal>

// A real Speech Dispatcher, started by the test on a private socket with its own configuration:
// the eSpeak NG module, and ALSA's default device pointed at a file (this test's ~/.asoundrc),
// so what the daemon speaks can be measured. "-t 5" ends it by itself should the test die.
class TestTSpVoice : public QObject
{
    Q_OBJECT

private:
    const QString m_home = QDir::homePath();
    const QString m_captured = m_home + "/captured.raw";
    const QString m_socket = m_home + "/run/speechd.sock";
    QProcess m_daemon;

    static qint64 msTaken(const std::function<void()> &f)
    {
        QElapsedTimer clock;
        clock.start();
        f();
        return clock.elapsed();
    }

    static void verifyUnavailable(TSpVoice &voice)
    {
        QVERIFY(!voice.connected());
        QVERIFY(msTaken([&] {
                    QVERIFY(voice.GetVoices().isEmpty());
                    QVERIFY(!voice.Speak("Zove Kovač d.o.o.", TSpVoice::SVSFlagsAsync));
                }) < 200);
    }

    void startDaemon()
    {
        QFile::remove(m_socket);
        m_daemon.start();
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY(QFileInfo::exists(m_socket));
    }

private slots:
    void initTestCase()
    {
        qputenv("TELLWISE_SPEECHD_AUTOSPAWN", "0");
        QDir().mkpath(m_home + "/speechd");
        testsupport::writeFile(m_home + "/speechd/speechd.conf",
                               "AudioOutputMethod \"alsa\"\n"
                               "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                               "DefaultModule espeak-ng\n");
        const QString alsa =
            "pcm.!default {\n type file\n slave.pcm \"null\"\n file \"%1\"\n format \"raw\"\n}\n";
        testsupport::writeFile(m_home + "/.asoundrc", alsa.arg(m_captured).toUtf8());
        m_daemon.setProgram("speech-dispatcher");
        m_daemon.setArguments({"-s", "-t", "5", "-C", m_home + "/speechd", "-c", "unix_socket", "-S",
                               m_socket, "-L", m_home + "/speechd", "-P", m_home + "/speechd/pid"});
        m_daemon.setStandardOutputFile(QProcess::nullDevice());
        m_daemon.setStandardErrorFile(QProcess::nullDevice());
        startDaemon();
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + m_socket.toUtf8());
    }

    void cleanupTestCase()
    {
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    void noDaemonIsUnavailable()
    {
        const QByteArray running = qgetenv("SPEECHD_ADDRESS");
        qputenv("SPEECHD_ADDRESS", "unix_socket:" + QFile::encodeName(m_home) + "/run/nobody.sock");
        TSpVoice voice;
        QVERIFY(msTaken([&] { QVERIFY(!voice.Connect()); }) < 200);
        verifyUnavailable(voice);
        qputenv("SPEECHD_ADDRESS", running);
    }

    void speaksWithTheChosenVoice()
    {
        TSpVoice voice;
        QVERIFY(voice.Connect());
        const QList<SpVoiceToken> voices = voice.GetVoices();
        const auto croatian = std::find_if(voices.begin(), voices.end(),
                                           [](const SpVoiceToken &t) { return t.name == "Croatian"; });
        QVERIFY(croatian != voices.end());
        QCOMPARE(croatian->GetDescription(), "Croatian (hr)");
        QVERIFY(voice.setVoice(*croatian));
        QVERIFY(msTaken([&] { QVERIFY(voice.Speak("Zove Kovač d.o.o.", TSpVoice::SVSFlagsAsync)); }) < 500);
        // About a second of 16-bit samples at 22050 Hz.
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(m_captured).size() > 30000, 10000);
        QVERIFY(voice.connected());
    }

    // Stopped, the daemon holds its answer: the caller waits a bounded time, tries once more to
    // open, and then does not wait for that opening again. Restarted, the daemon gets the next
    // text, and the stalled connection comes back by itself.
    void stalledOrRestartedDaemonIsReconnected()
    {
        TSpVoice hung, restarted;
        QVERIFY(hung.Connect() && restarted.Connect());
        ::kill(pid_t(m_daemon.processId()), SIGSTOP);
        for (int i = 0; i < 2; ++i) {
            const qint64 ms = msTaken([&] { QVERIFY(!hung.Speak("Zove", TSpVoice::SVSFlagsAsync)); });
            QVERIFY2(ms > 1000 && ms < 2500, qPrintable(QString::number(ms)));
        }
        verifyUnavailable(hung);
        m_daemon.kill();
        QVERIFY(m_daemon.waitForFinished());
        startDaemon();
        QVERIFY(restarted.connected());
        QVERIFY(restarted.Speak("Zove", TSpVoice::SVSFlagsAsync));
        QTRY_VERIFY_WITH_TIMEOUT(hung.connected(), 5000);
    }
};

QTEST_GUILESS_MAIN(TestTSpVoice)
#include "tst_tspvoice.moc"
