#include "speech/TMSpeech.h"

#include "platform/WaveFile.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <functional>

// eSpeak NG for real: its voices, the errors that reach the caller, wave files, and the sound
// output, with ALSA's default device pointed at a file through this test's own ~/.asoundrc.
// eSpeak starts once per process and the sound output is chosen once, so the runs without
// eSpeak's data and with the recording output are children of this test.
class TestTMSpeech : public QObject
{
    Q_OBJECT

private:
    const QString m_captured = QDir::homePath() + "/captured.raw";

    static void runChild(const char *function, const QString &variable, const QString &value)
    {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TST_TMSPEECH_CHILD", "1");
        env.insert(variable, value);
        child.setProcessEnvironment(env);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {function});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 0);
    }

    static QString errorOf(const std::function<void()> &action)
    {
        try {
            action();
        } catch (const EMSpeechException &e) {
            return e.message();
        }
        return {};
    }

    static void croatian(TMSpeech &s, TSpeechOutput output, const QStringList &text)
    {
        s.SelectEngine("Croatian");
        s.Output = output;
        s.Text = text;
    }

    // Renders TEXT into a wave file and returns its layout.
    static std::optional<WaveInfo> render(const QStringList &text, std::uint32_t *lastWord = nullptr)
    {
        TMSpeech s;
        croatian(s, TSpeechOutput::soFile, text);
        s.Filename = testsupport::testDataDir() + "speech.wav";
        QSignalSpy start(&s, &TMSpeech::OnStart);
        QSignalSpy stop(&s, &TMSpeech::OnStop);
        s.Speak();
        if (!stop.wait(10000) || start.count() != 1)
            return std::nullopt;
        if (lastWord)
            *lastWord = s.lastWordPosition();
        return ReadWaveInfo(s.Filename);
    }

private slots:
    void initTestCase()
    {
        const QString alsa =
            "pcm.!default {\n type file\n slave.pcm \"null\"\n file \"%1\"\n format \"raw\"\n}\n";
        testsupport::writeFile(QDir::homePath() + "/.asoundrc", alsa.arg(m_captured).toUtf8());
    }

    void selectionAndErrors()
    {
        TMSpeech s;
        QVERIFY(s.initialized());
        QCOMPARE(errorOf([&] { s.Speak(); }), "Speech Engine not selected");
        QCOMPARE(errorOf([&] { s.SelectEngine("Croatian2"); }), "Specified Speech Engine not found");
        s.SelectEngine("cROATIAN");
        QVERIFY(s.engineSelected());
        QCOMPARE(s.engineInfo().ModeName, "Croatian");
        QCOMPARE(s.engineInfo().Dialect, "hr");
        QCOMPARE(s.engineInfo().Gender, "MALE");
    }

    void withoutEspeak()
    {
        if (!qEnvironmentVariableIsSet("TST_TMSPEECH_CHILD"))
            return runChild("withoutEspeak", "ESPEAK_DATA_PATH", testsupport::testDataDir());
        TMSpeech s;
        QVERIFY(!s.initialized());
        QVERIFY(s.engines().isEmpty());
        QCOMPARE(errorOf([&] { s.SelectEngine("Croatian"); }), "Speech Engine not initialized");
        QCOMPARE(errorOf([&] { s.Speak(); }), "Speech Engine not initialized");
    }

    void waveFiles()
    {
        std::uint32_t lastWord = 0;
        const auto empty = render({});
        const auto word = render({"Zove"});
        const auto name = render({"Zove Kovač d.o.o."}, &lastWord);
        QVERIFY(empty && word && name);
        QVERIFY(name->formatTag == 1 && name->channels == 1 && name->bitsPerSample == 16);
        QCOMPARE(name->sampleRate, 22050u);
        QVERIFY(empty->durationMs() < word->durationMs());
        QVERIFY(word->durationMs() < name->durationMs());
        QCOMPARE(lastWord, 11u); // "d.o.o."
    }

    void unwritableFileSpeaksNothing_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("no name") << QString();
        QTest::newRow("missing folder") << testsupport::testDataDir() + "missing/speech.wav";
    }

    void unwritableFileSpeaksNothing()
    {
        QFETCH(QString, file);
        TMSpeech s;
        croatian(s, TSpeechOutput::soFile, {"Zove"});
        s.Filename = file;
        QSignalSpy start(&s, &TMSpeech::OnStart);
        s.Speak();
        QVERIFY(!start.wait(300));
        QVERIFY(!QFileInfo::exists(testsupport::testDataDir() + "missing"));
    }

    void soundOutputPlaysTheRenderedSamples()
    {
        const auto rendered = render({"Zove Kovač d.o.o."});
        QVERIFY(rendered);
        QFile::remove(m_captured);

        TMSpeech s;
        croatian(s, TSpeechOutput::soGeneral, {"Zove Kovač d.o.o."});
        QSignalSpy stop(&s, &TMSpeech::OnStop);
        QSignalSpy visual(&s, &TMSpeech::OnVisual);
        s.Speak();
        QVERIFY(stop.wait(10000));
        QVERIFY(visual.count() > 5);
        // eSpeak's output varies a little from one rendering to the next within a process.
        const qint64 bytes = rendered->dataBytes;
        QVERIFY(qAbs(QFileInfo(m_captured).size() - bytes) < bytes / 50);
    }

    // A newer text waits for the one being spoken instead of cutting it short.
    void textsAreQueued()
    {
        TMSpeech s;
        croatian(s, TSpeechOutput::soGeneral, {"Zove Kovač d.o.o."});
        QSignalSpy start(&s, &TMSpeech::OnStart);
        QSignalSpy stop(&s, &TMSpeech::OnStop);
        s.Speak();
        s.Text = QStringList{"Zove Ana"};
        s.Speak();
        QTRY_COMPARE_WITH_TIMEOUT(stop.count(), 2, 10000);
        QCOMPARE(start.count(), 2);
    }

    void unplayableTextIsReported()
    {
        if (!qEnvironmentVariableIsSet("TST_TMSPEECH_CHILD"))
            return runChild("unplayableTextIsReported", "TELLWISE_SOUND_SINK", "none");
        TMSpeech s;
        croatian(s, TSpeechOutput::soGeneral, {"Zove"});
        QSignalSpy failed(&s, &TMSpeech::failed);
        const quint64 number = s.Speak();
        QVERIFY(failed.wait(10000));
        QCOMPARE(failed.at(0).at(0).toULongLong(), number);
    }

    // The last component to go, even while it speaks, takes the engine's two threads with it.
    void lastComponentGoneWhileSpeaking()
    {
        const auto threads = [] {
            return QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size();
        };
        qsizetype speaking = 0;
        {
            TMSpeech s;
            croatian(s, TSpeechOutput::soGeneral, {"Zove Kovač d.o.o. iz Zagreba, Ilica sto dvadeset tri"});
            QSignalSpy start(&s, &TMSpeech::OnStart);
            s.Speak();
            QVERIFY(start.wait(10000));
            speaking = threads();
        }
        QTRY_VERIFY(threads() <= speaking - 2);
    }

    void recordingSinkNotesTheText()
    {
        const QString log = testsupport::testDataDir() + "sounds.log";
        if (!qEnvironmentVariableIsSet("TST_TMSPEECH_CHILD"))
            return runChild("recordingSinkNotesTheText", "TELLWISE_SOUND_SINK", "record:" + log);
        TMSpeech s;
        croatian(s, TSpeechOutput::soGeneral, {"Zove Kovač", "d.o.o. \\ Zagreb"});
        QSignalSpy start(&s, &TMSpeech::OnStart);
        s.Speak();
        QCOMPARE(testsupport::readFile(log), "speak: Zove Kovač\\r\\nd.o.o. \\\\ Zagreb\n");
        QVERIFY(!start.wait(300));
    }
};

QTEST_GUILESS_MAIN(TestTMSpeech)
#include "tst_tmspeech.moc"
