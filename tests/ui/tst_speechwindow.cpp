// The speech window with the real eSpeak NG voices and no Speech Dispatcher daemon (the test
// environment points the library at a dead socket). What is spoken is read from the recording
// sound sink's "speak:" lines; what is stored from the settings file.

#include "TestProfile.h"
#include "TestSupport.h"

#include "speech/TMSpeech.h"
#include "store/AddressBook.h"
#include "ui/DialogSeams.h"
#include "ui/TfrmOptions.h"
#include "ui/TfrmSpeech.h"
#include "widgets/ShowMessageDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestSpeechWindow : public QObject
{
    Q_OBJECT

    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<TfrmOptions> m_options;
    std::unique_ptr<TfrmSpeech> m_speech;
    QStringList m_voices;

    template <typename T> T *control(const char *name)
    {
        return m_speech->findChild<T *>(QLatin1String(name));
    }

    // The two windows as start-up makes them: the stored VALUES loaded and applied, and (with
    // INIT) the engines prepared.
    void start(const testsupport::SettingValues &values, bool init = true)
    {
        m_speech.reset();
        m_options.reset();
        QVERIFY(testsupport::writeSettings(values));
        m_settings = std::make_unique<Settings>();
        m_book = std::make_unique<AddressBook>(testsupport::testDataDir());
        m_options = std::make_unique<TfrmOptions>(*m_settings, *m_book);
        m_speech = std::make_unique<TfrmSpeech>(*m_settings);
        m_speech->bindToOptions(m_options.get());
        m_options->LoadSettings();
        m_options->ApplyLoadedSettings();
        if (init)
            m_speech->InitSpeech();
        m_voices = m_speech->SpeechSapi4->engines();
        QVERIFY2(m_voices.size() >= 2, "eSpeak NG lists fewer than two voices");
    }

    static bool spoken(const QString &text)
    {
        const QString log = qEnvironmentVariable("TELLWISE_SOUND_SINK").mid(7);
        return testsupport::readFile(log).contains("speak: " + text.toUtf8() + '\n');
    }

private slots:
    void speakTextFollowsTheSwitches_data()
    {
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("speech");
        QTest::addColumn<bool>("ignoreSoundSwitch");
        QTest::addColumn<bool>("heard");
        QTest::newRow("call") << true << true << false << true;
        QTest::newRow("call, sound off") << false << true << false << false;
        QTest::newRow("editor's test, sound off") << false << true << true << true;
        QTest::newRow("call, speech off") << true << false << false << false;
        QTest::newRow("editor's test, speech off") << true << false << true << false;
    }

    void speakTextFollowsTheSwitches()
    {
        QFETCH(bool, sound);
        QFETCH(bool, speech);
        QFETCH(bool, ignoreSoundSwitch);
        QFETCH(bool, heard);
        start({{Settings::EnableSound, sound}, {Settings::EnableSpeech, speech}});
        const QString tag = QString::fromLatin1(QTest::currentDataTag());
        const QString text = u"Zove "_s + tag;
        m_speech->SpeakText(text, ignoreSoundSwitch);
        // The window's test button knows no switches: once its text is recorded, so would be
        // the one before it.
        control<QLineEdit>("editText")->setText(u"Kraj "_s + tag);
        QTest::mouseClick(control<QPushButton>("btnTest"), Qt::LeftButton);
        QTRY_VERIFY(spoken(u"Kraj "_s + tag));
        QCOMPARE(spoken(text), heard);
    }

    // Speech Dispatcher chosen but not there: eSpeak NG speaks in its place, and says so.
    void missingDaemonLeavesTheCallToEspeak()
    {
        start({{Settings::SapiVersion, 1}, {Settings::EnableSpeech, true}});
        m_speech->SpeakText(u"Zove drugi"_s, true);
        QTRY_VERIFY(spoken(u"Zove drugi"_s));
        QCOMPARE(m_options->findChild<QLabel *>(u"lblSpeechState"_s)->text(),
                 u"Speech Dispatcher se ne odaziva, pa govori eSpeak NG."_s);
    }

    // The list shows the stored voice, else the interface language's; what is stored stays
    // until the user chooses, whatever engine was missing.
    void storedChoiceMeetsTheEngines_data()
    {
        QTest::addColumn<int>("version");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("shown");
        QTest::newRow("stored voice, other case") << 0 << u"cROATIAN"_s << 0 << u"Croatian"_s;
        QTest::newRow("none stored, Croatian") << 0 << QString() << 1 << u"Croatian"_s;
        QTest::newRow("none stored, English") << 0 << QString() << 0 << u"English (Great Britain)"_s;
        QTest::newRow("unknown voice") << 0 << u"no such voice"_s << 1 << u"Croatian"_s;
        QTest::newRow("second generation without a daemon")
            << 1 << u"English (en-GB)"_s << 1 << u"Croatian"_s;
    }

    void storedChoiceMeetsTheEngines()
    {
        QFETCH(int, version);
        QFETCH(QString, stored);
        QFETCH(int, language);
        QFETCH(QString, shown);
        start({{Settings::SapiVersion, version},
               {Settings::SapiVoiceName, stored},
               {Settings::Language, language}});
        QVERIFY(control<QRadioButton>("rbSAPI4")->isChecked());
        QVERIFY(!control<QRadioButton>("rbSAPI5")->isEnabled());
        QVERIFY(m_options->findChild<QCheckBox *>(u"chkEnableSpeech"_s)->isEnabled());
        QCOMPARE(control<QComboBox>("cbVoices")->currentText(), shown);
        QCOMPARE(m_speech->SpeechSapi4->engineInfo().ModeName, shown);
        m_options->SaveSettings();
        const QSettings file(u"Kavelink"_s, u"Tellwise Monitor"_s);
        QCOMPARE(file.value(u"Settings/SapiVersion"_s).toInt(), version);
        QCOMPARE(file.value(u"Settings/SapiVoiceName"_s).toString(), stored);
    }

    // A click on the generation already chosen changes nothing: not the list, not the voice.
    void clickOnTheChosenGenerationKeepsTheVoice()
    {
        start({{Settings::SapiVersion, 0}, {Settings::SapiVoiceName, u"Croatian"_s}});
        auto *voices = control<QComboBox>("cbVoices");
        const int croatian = voices->currentIndex();
        QTest::keyClick(voices, Qt::Key_Up);
        QTest::mouseClick(control<QRadioButton>("rbSAPI4"), Qt::LeftButton, {}, QPoint(6, 6));
        QCOMPARE(voices->currentIndex(), croatian - 1);
        QCOMPARE(m_speech->SpeechSapi4->engineInfo().ModeName, m_voices[croatian - 1]);
    }

    void closingPutsBackTheFiveStatesUnlessOk_data()
    {
        QTest::addColumn<bool>("switchGeneration"); // else another voice is chosen
        QTest::addColumn<bool>("ok");
        QTest::newRow("other generation, cancel") << true << false;
        QTest::newRow("other voice, cancel") << false << false;
        QTest::newRow("other generation, ok") << true << true;
    }

    void closingPutsBackTheFiveStatesUnlessOk()
    {
        QFETCH(bool, switchGeneration);
        QFETCH(bool, ok);
        start({{Settings::SapiVersion, 0}}, false);
        start({{Settings::SapiVersion, 0}, {Settings::SapiVoiceName, m_voices[1]}}, false);
        ModalDialogHook::pushNext([&](QDialog &dialog) {
            // The second generation has no daemon to list voices from.
            if (switchGeneration)
                QTest::mouseClick(control<QRadioButton>("rbSAPI5"), Qt::LeftButton, {}, QPoint(6, 6));
            else
                QTest::keyClick(control<QComboBox>("cbVoices"), Qt::Key_Up);
            QCOMPARE(control<QComboBox>("cbVoices")->currentIndex(), switchGeneration ? -1 : 0);
            control<QCheckBox>("chkSpeakWelcome")->setChecked(false);
            control<QLineEdit>("editText")->setText(u"Drugi tekst"_s);
            if (ok)
                QTest::mouseClick(dialog.findChild<QPushButton *>(u"Button1"_s), Qt::LeftButton);
        });
        QCOMPARE(m_speech->ShowModal(), ok ? QDialog::Accepted : QDialog::Rejected);
        QCOMPARE(m_settings->number(Settings::SapiVersion), ok ? 1 : 0);

        QCOMPARE(control<QRadioButton>("rbSAPI4")->isChecked(), !ok);
        QCOMPARE(control<QRadioButton>("rbSAPI5")->isChecked(), ok);
        QCOMPARE(control<QComboBox>("cbVoices")->count(), ok ? 0 : m_voices.size());
        QCOMPARE(control<QComboBox>("cbVoices")->currentIndex(), ok ? -1 : 1);
        QCOMPARE(control<QCheckBox>("chkSpeakWelcome")->isChecked(), !ok);
        QCOMPARE(control<QLineEdit>("editText")->text(),
                 ok ? u"Drugi tekst"_s : u"Dobro doshlee oo Tellwise Monitor"_s);
    }

    // The stored choice of a daemon that answers late comes back with it: list, voice and the
    // options window's word. (Last: the other cases have no daemon.)
    void lateDaemonGetsTheStoredChoiceBack()
    {
        start({{Settings::SapiVersion, 1}, {Settings::SapiVoiceName, u"Croatian (hr)"_s}});
        QVERIFY(control<QRadioButton>("rbSAPI4")->isChecked());
        const QString home = QDir::homePath();
        QDir().mkpath(home + "/speechd");
        testsupport::writeFile(home + "/speechd/speechd.conf",
                               "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"
                               "DefaultModule espeak-ng\n");
        QProcess daemon;
        daemon.start("speech-dispatcher", {"-s", "-t", "5", "-C", home + "/speechd", "-c", "unix_socket",
                                           "-S", home + "/run/no-speechd.sock", "-L", home + "/speechd"});
        QTRY_VERIFY_WITH_TIMEOUT(control<QRadioButton>("rbSAPI5")->isChecked(), 20000);
        QCOMPARE(control<QComboBox>("cbVoices")->currentText(), u"Croatian (hr)"_s);
        QCOMPARE(m_options->findChild<QLabel *>(u"lblSpeechState"_s)->text(), u"Govori Speech Dispatcher."_s);
        // A voice the stalled daemon does not take is reported.
        ::kill(pid_t(daemon.processId()), SIGSTOP);
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        QTest::keyClick(control<QComboBox>("cbVoices"), Qt::Key_Up);
        const auto shown = MessageDialogHook::takeAnswered();
        QCOMPARE(shown.value(0).text, u"Speech Dispatcher se ne odaziva, pa glas nije promijenjen."_s);
        daemon.kill();
        daemon.waitForFinished();
    }
};

QTEST_MAIN(TestSpeechWindow)
#include "tst_speechwindow.moc"
