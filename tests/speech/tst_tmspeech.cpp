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

    static bool isChild() { return qEnvironmentVariableIsSet("TST_TMSPEECH_CHILD"); }

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

    static TMSpeech *croatian(TMSpeech &s, TSpeechOutput output, const QStringList &text)
    {
        s.SelectEngine("Croatian");
        s.Output = output;
        s.Text = text;
        return &s;
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
        testsupport::writeFile(
            QDir::homePath() + "/.asoundrc",
            QStringLiteral("pcm.!default {\n type file\n slave.pcm \"null\"\n file \"%1\"\n"
                           " format \"raw\"\n}\n")
                .arg(m_captured)
                .toUtf8());
    }

    void voicesAndSelection()
    {
        TMSpeech s;
        QVERIFY(s.initialized());
        QVERIFY(s.engines().contains("Croatian"));
        s.SelectEngine("cROATIAN");
        QVERIFY(s.engineSelected());
        QCOMPARE(s.engineInfo().ModeName, "Croatian");
        QCOMPARE(s.engineInfo().Dialect, "hr");
        QCOMPARE(s.engineInfo().ModeID, "{zls/hr}");
        QCOMPARE(s.engineInfo().Gender, "MALE");
    }

    void errors_data()
    {
        QTest::addColumn<std::function<void(TMSpeech &)>>("action");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown voice")
            << std::function<void(TMSpeech &)>([](TMSpeech &s) { s.SelectEngine("Croatian2"); })
            << "Specified Speech Engine not found";
        QTest::newRow("speak unselected") << std::function<void(TMSpeech &)>([](TMSpeech &s) { s.Speak(); })
                                          << "Speech Engine not selected";
    }

    void errors()
    {
        QFETCH(std::function<void(TMSpeech &)>, action);
        QFETCH(QString, message);
        TMSpeech s;
        try {
            action(s);
            QFAIL("no exception");
        } catch (const EMSpeechException &e) {
            QCOMPARE(e.message(), message);
        }
    }

    void withoutEspeak()
    {
        if (!isChild())
            return runChild("withoutEspeak", "ESPEAK_DATA_PATH", testsupport::testDataDir());
        TMSpeech s;
        QVERIFY(!s.initialized());
        QVERIFY(s.engines().isEmpty());
        QVERIFY_THROWS_EXCEPTION(EMSpeechException, s.SelectEngine("Croatian"));
        try {
            s.Speak();
            QFAIL("no exception");
        } catch (const EMSpeechException &e) {
            QCOMPARE(e.message(), "Speech Engine not initialized");
        }
    }

    void waveFiles()
    {
        std::uint32_t lastWord = 0;
        const auto empty = render({});
        const auto word = render({"Zove"});
        const auto name = render({"Zove Kovač d.o.o."}, &lastWord);
        QVERIFY(empty && word && name);
        QCOMPARE(name->formatTag, 1);
        QCOMPARE(name->channels, 1);
        QCOMPARE(name->bitsPerSample, 16);
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
        QTest::newRow("a folder") << testsupport::testDataDir();
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
        const QString file = testsupport::testDataDir() + "speech.wav";
        QVERIFY(render({"Zove Kovač d.o.o."}));
        const QByteArray wave = testsupport::readFile(file);
        QFile::remove(m_captured);

        TMSpeech s;
        croatian(s, TSpeechOutput::soGeneral, {"Zove Kovač d.o.o."});
        QSignalSpy start(&s, &TMSpeech::OnStart);
        QSignalSpy stop(&s, &TMSpeech::OnStop);
        QSignalSpy visual(&s, &TMSpeech::OnVisual);
        s.Speak();
        QVERIFY(stop.wait(10000));
        QCOMPARE(start.count(), 1);
        QVERIFY(visual.count() > 5);
        // eSpeak's output varies a little from one rendering to the next within a process.
        const qsizetype samples = wave.size() - 44;
        QVERIFY(qAbs(testsupport::readFile(m_captured).size() - samples) < samples / 50);
    }

    void recordingSinkNotesTheText()
    {
        const QString log = testsupport::testDataDir() + "sounds.log";
        if (!isChild())
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
