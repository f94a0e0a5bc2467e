#pragma once

#include "settings/Settings.h"
#include "speech/TSpVoice.h"

#include <QDialog>
#include <QList>
#include <QPointer>
#include <QString>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TMSpeech;
class TfrmOptions;

// The speech window, and the program's one road to spoken output. It holds both engines side
// by side: the first generation (eSpeak NG voices) and the second (the user's Speech
// Dispatcher), and lets the user choose the generation, the voice, the welcome text and whether
// it is spoken at start. The settings object owns the values: the window reads them when the
// stored settings are loaded and writes them back when the options are saved; the generation,
// which decides the engine that speaks, it writes as soon as a button changes it. Created once
// at start-up, opened modally from the options window.
class TfrmSpeech : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmSpeech(Settings &settings, QWidget *parent = nullptr);
    ~TfrmSpeech() override;

    // Joins the options window: its speech controls follow the engines' availability, its
    // speech button opens this window, and its loading and saving carry this window's values.
    void bindToOptions(TfrmOptions *options);

    // Speaks TEXT with the generation the settings choose (eSpeak NG when Speech Dispatcher
    // cannot be reached), when sound is on (unless IGNORESOUNDSWITCH) and speech is on. Returns
    // at once; never reports a failure.
    void SpeakText(const QString &text, bool ignoreSoundSwitch);

    // Start-up: enables the generations that exist, shows one that does, and applies the
    // remembered voice. A failure of the engine while applying it is thrown. The stored choice
    // stays as it is.
    void InitSpeech();

    // 4: the first generation found a voice; 5: the second is connected to its daemon.
    bool IsSapiAvailable(int version) const;

    // Fill the voice list with one generation's voices, select the remembered voice (else the
    // voice of the interface's language) and apply it. Failures end the fill quietly.
    void LoadSapi4Voices();
    void LoadSapi5Voices();

    // Stored settings -> window (when the options load them); window -> settings object (when
    // the options save).
    void LoadSettings();
    void SaveSettings();

    // Opens the window modally. Anything but OK puts back the generation (reloading its list),
    // the welcome check box, the voice's place in the list and the text.
    int ShowModal();

    // Handlers
    void rbSAPI4Click();
    void cbVoicesChange();
    void editTextChange();
    void btnTestClick();

    // The voice to select when a list is filled: the stored name, or the one the user chose
    // since. Only the user's choice changes it.
    QString SelectedVoiceName;

    // The engines.
    TMSpeech *SpeechSapi4 = nullptr;
    TSpVoice *SpeechSapi5 = nullptr;
    // The second generation's voices as last listed (entry i of the list is voice i), and the
    // one last applied.
    QList<SpVoiceToken> VoiceTokens;
    SpVoiceToken VoiceToken;

private:
    bool firstGeneration() const;
    QString interfaceLanguage() const;
    quint64 speak(const QString &text);
    int shownGeneration() const;
    void showGeneration(int generation);
    QRadioButton *radioFor(int generation) const;
    bool applyVoice();
    static void uncheckRadio(QRadioButton *button);
    void selectRemembered();
    int languageVoiceIndex() const;
    void dispatcherChanged();
    void showState();
    void showError(const QString &text);

    Settings &m_settings;
    QPointer<TfrmOptions> m_options;
    // The generation whose voices the list holds (-1: none yet).
    int m_listGeneration = -1;
    // The test button's last text given to eSpeak NG.
    quint64 m_testNumber = 0;

    QLabel *Image1 = nullptr;
    QRadioButton *rbSAPI4 = nullptr;
    QRadioButton *rbSAPI5 = nullptr;
    QComboBox *cbVoices = nullptr;
    QLineEdit *editText = nullptr;
    QPushButton *btnTest = nullptr;
    QCheckBox *chkSpeakWelcome = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
};
