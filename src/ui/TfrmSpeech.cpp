#include "ui/TfrmSpeech.h"

#include "speech/TMSpeech.h"
#include "ui/DialogSeams.h"
#include "ui/OptionsIcons.h"
#include "ui/PictureItemDelegate.h"
#include "ui/TfrmOptions.h"
#include "widgets/ShowMessageDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include <climits>

namespace {

// Every entry of the voice list shows the voice picture (the closed box too), without a
// picture stored in each of the daemon's thousands of entries.
class VoiceListModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role == Qt::DecorationRole)
            return m_picture;
        return QStandardItemModel::data(index, role);
    }

private:
    QIcon m_picture{OptionsIcons::voice()};
};

} // namespace

TfrmSpeech::TfrmSpeech(Settings &settings, QWidget *parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(QStringLiteral("frmSpeech"));
    setWindowTitle(tr("Opcije govora"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        setFont(QFont(QStringLiteral("Tahoma"), 8));

    // The first generation lists its voices now; the second connects to the daemon once.
    SpeechSapi4 = new TMSpeech(this);
    SpeechSapi4->Output = TSpeechOutput::soGeneral;
    SpeechSapi5 = new TSpVoice(this);
    SpeechSapi5->Connect();
    connect(SpeechSapi5, &TSpVoice::connectedChanged, this, &TfrmSpeech::dispatcherChanged,
            Qt::QueuedConnection);
    connect(SpeechSapi4, &TMSpeech::failed, this, [this](quint64 number) {
        if (number == m_testNumber)
            showError(tr("Tekst nije izgovoren: nema glasa ili zvučnog izlaza."));
    });

    auto *GroupBox1 = new QGroupBox(tr(" Koristi ovu verziju:"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Image1 = new QLabel;
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(OptionsIcons::speechPicture());
    Image1->setFixedSize(32, 32);
    // The engines' own names: the same in every language.
    rbSAPI4 = new QRadioButton(QStringLiteral(" eSpeak NG"));
    rbSAPI4->setObjectName(QStringLiteral("rbSAPI4"));
    rbSAPI5 = new QRadioButton(QStringLiteral(" Speech Dispatcher"));
    rbSAPI5->setObjectName(QStringLiteral("rbSAPI5"));
    auto *radios = new QVBoxLayout;
    radios->setSpacing(4);
    radios->addWidget(rbSAPI4);
    radios->addWidget(rbSAPI5);
    auto *generation = new QHBoxLayout(GroupBox1);
    generation->setSpacing(12);
    generation->addWidget(Image1, 0, Qt::AlignTop);
    generation->addLayout(radios);
    generation->addStretch();

    auto *GroupBox2 = new QGroupBox(tr(" Osnovne postavke:"));
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *Label1 = new QLabel(tr("Koristi ovaj glas:"));
    Label1->setObjectName(QStringLiteral("Label1"));
    cbVoices = new QComboBox;
    cbVoices->setObjectName(QStringLiteral("cbVoices"));
    cbVoices->setModel(new VoiceListModel(cbVoices));
    cbVoices->setItemDelegate(new TPictureItemDelegate(OptionsIcons::voice(), cbVoices));
    cbVoices->setIconSize(QSize(16, 16));
    cbVoices->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbVoices->setMinimumContentsLength(8);
    // eSpeak NG brings a hundred voices: a scrolling list below the box rather than a menu
    // over the whole screen.
    cbVoices->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    cbVoices->setMaxVisibleItems(12);
    if (auto *list = qobject_cast<QListView *>(cbVoices->view()))
        list->setUniformItemSizes(true);
    Label1->setBuddy(cbVoices);
    auto *Label2 = new QLabel(tr("Test tekst:"));
    Label2->setObjectName(QStringLiteral("Label2"));
    editText = new QLineEdit(m_settings.text(Settings::WelcomeMessage));
    editText->setObjectName(QStringLiteral("editText"));
    Label2->setBuddy(editText);
    btnTest = new QPushButton(tr("Test"));
    btnTest->setObjectName(QStringLiteral("btnTest"));
    btnTest->setAutoDefault(false);
    auto *testRow = new QHBoxLayout;
    testRow->addWidget(editText, 1);
    testRow->addWidget(btnTest);
    auto *Bevel1 = new QFrame;
    Bevel1->setObjectName(QStringLiteral("Bevel1"));
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);
    chkSpeakWelcome = new QCheckBox(tr(" Izgovori poruku dobrodošlice pri startu programa"));
    chkSpeakWelcome->setObjectName(QStringLiteral("chkSpeakWelcome"));
    chkSpeakWelcome->setChecked(m_settings.flag(Settings::SpeakWelcomeMessage));
    auto *basic = new QVBoxLayout(GroupBox2);
    basic->setSpacing(4);
    basic->addWidget(Label1);
    basic->addWidget(cbVoices);
    basic->addSpacing(4);
    basic->addWidget(Label2);
    basic->addLayout(testRow);
    basic->addSpacing(4);
    basic->addWidget(Bevel1);
    basic->addSpacing(4);
    basic->addWidget(chkSpeakWelcome);
    basic->addStretch();

    Button1 = new QPushButton(tr("U redu"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = new QPushButton(tr("Odustani"));
    Button2->setObjectName(QStringLiteral("Button2"));
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(Button1, QDialogButtonBox::AcceptRole);
    buttons->addButton(Button2, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(GroupBox1);
    layout->addWidget(GroupBox2, 1);
    layout->addWidget(buttons);
    Button1->setDefault(true);

    setTabOrder(rbSAPI4, rbSAPI5);
    setTabOrder(rbSAPI5, cbVoices);
    setTabOrder(cbVoices, editText);
    setTabOrder(editText, btnTest);
    setTabOrder(btnTest, chkSpeakWelcome);
    setTabOrder(chkSpeakWelcome, Button1);
    setTabOrder(Button1, Button2);

    connect(rbSAPI4, &QRadioButton::clicked, this, &TfrmSpeech::rbSAPI4Click);
    connect(rbSAPI5, &QRadioButton::clicked, this, &TfrmSpeech::rbSAPI4Click);
    // Only the user's choice applies a voice; an index set in code does not.
    connect(cbVoices, &QComboBox::activated, this, &TfrmSpeech::cbVoicesChange);
    connect(editText, &QLineEdit::textChanged, this, &TfrmSpeech::editTextChange);
    connect(btnTest, &QPushButton::clicked, this, &TfrmSpeech::btnTestClick);
    editTextChange();

    const QSize hint = sizeHint();
    setFixedSize(qMax(hint.width(), 351), qMax(hint.height(), 312));
}

TfrmSpeech::~TfrmSpeech() = default;

void TfrmSpeech::bindToOptions(TfrmOptions *options)
{
    m_options = options;
    options->setSpeechAvailable([this] { return IsSapiAvailable(4) || IsSapiAvailable(5); });
    options->setSpeechWindowOpener([this] { ShowModal(); });
    connect(options, &TfrmOptions::settingsLoaded, this, &TfrmSpeech::LoadSettings);
    connect(options, &TfrmOptions::aboutToSaveSettings, this, &TfrmSpeech::SaveSettings);
    showState();
}

// --- Speaking ------------------------------------------------------------------------------

void TfrmSpeech::SpeakText(const QString &text, bool ignoreSoundSwitch)
{
    if (!ignoreSoundSwitch && !m_settings.flag(Settings::EnableSound))
        return;
    if (!m_settings.flag(Settings::EnableSpeech))
        return;
    try {
        speak(text);
    } catch (...) {
        // An announcement that cannot be spoken is simply not heard.
    }
}

// Speech Dispatcher speaks when the settings choose it (or eSpeak NG has no voice); when it
// cannot be reached, eSpeak NG speaks in its place, so that no caller goes unannounced.
// Returns eSpeak's number for the text, 0 when the daemon took it. Throws eSpeak's errors.
quint64 TfrmSpeech::speak(const QString &text)
{
    if ((!firstGeneration() || !IsSapiAvailable(4)) && SpeechSapi5->Speak(text, TSpVoice::SVSFlagsAsync))
        return 0;
    if (!SpeechSapi4->engineSelected() && SpeechSapi4->initialized()) {
        // Standing in for the daemon: its voice's language, else the interface's.
        const QString language = VoiceToken.language.section(QLatin1Char('-'), 0, 0);
        QString voice = SpeechSapi4->voiceForLanguage(language.isEmpty() ? interfaceLanguage() : language);
        if (voice.isEmpty())
            voice = SpeechSapi4->voiceForLanguage(interfaceLanguage());
        SpeechSapi4->SelectEngine(voice.isEmpty() ? SpeechSapi4->engines().value(0) : voice);
    }
    SpeechSapi4->Text.clear();
    SpeechSapi4->Text.append(text);
    return SpeechSapi4->Speak();
}

void TfrmSpeech::btnTestClick()
{
    try {
        m_testNumber = speak(editText->text());
    } catch (const EMSpeechException &e) {
        showError(e.message());
    }
}

void TfrmSpeech::showError(const QString &text)
{
    ShowMessageDialog(tr("Greška"), text, QMessageBox::Critical, QMessageBox::Ok, this);
}

// The settings choose the generation that speaks; the window's buttons only show and edit it.
bool TfrmSpeech::firstGeneration() const
{
    return m_settings.number(Settings::SapiVersion) == 0;
}

QString TfrmSpeech::interfaceLanguage() const
{
    return m_settings.languageIndex() == 0 ? QStringLiteral("en") : QStringLiteral("hr");
}

// --- Engines and voices --------------------------------------------------------------------

bool TfrmSpeech::IsSapiAvailable(int version) const
{
    try {
        if (version == 4)
            return !SpeechSapi4->engines().isEmpty();
        if (version == 5)
            return SpeechSapi5->connected();
    } catch (...) {
    }
    return false;
}

// The generation whose voices the window shows: the stored choice while its engine is there,
// else the other. The stored choice itself stays until the user changes it.
int TfrmSpeech::shownGeneration() const
{
    const bool dispatcher = IsSapiAvailable(5);
    if (!firstGeneration() && dispatcher)
        return 1;
    if (IsSapiAvailable(4))
        return 0;
    return dispatcher || !firstGeneration() ? 1 : 0;
}

void TfrmSpeech::showGeneration(int generation)
{
    radioFor(generation)->setChecked(true); // the click handler runs for the user's clicks only
    if (generation == m_listGeneration)
        return;
    if (generation == 0)
        LoadSapi4Voices();
    else
        LoadSapi5Voices();
}

void TfrmSpeech::InitSpeech()
{
    rbSAPI4->setEnabled(IsSapiAvailable(4));
    rbSAPI5->setEnabled(IsSapiAvailable(5));
    // Without either generation the options window switches speech off by itself: it asks the
    // same question when its settings are applied.
    for (QRadioButton *button : {rbSAPI4, rbSAPI5})
        if (!button->isEnabled())
            uncheckRadio(button);
    showState();
    const int generation = shownGeneration();
    if (generation != m_listGeneration) {
        showGeneration(generation);
    } else if (cbVoices->count() > 0) {
        radioFor(generation)->setChecked(true);
        selectRemembered();
    }
}

QRadioButton *TfrmSpeech::radioFor(int generation) const
{
    return generation == 0 ? rbSAPI4 : rbSAPI5;
}

void TfrmSpeech::LoadSapi4Voices()
{
    cbVoices->clear();
    m_listGeneration = 0;
    try {
        cbVoices->addItems(SpeechSapi4->engines());
        selectRemembered();
    } catch (...) {
    }
}

void TfrmSpeech::LoadSapi5Voices()
{
    cbVoices->clear();
    VoiceTokens.clear();
    m_listGeneration = 1;
    try {
        SpeechSapi5->setEventInterests(TSpVoice::SVEAllEvents);
        VoiceTokens = SpeechSapi5->GetVoices();
        QStringList descriptions;
        descriptions.reserve(VoiceTokens.size());
        for (const SpVoiceToken &token : VoiceTokens) {
            VoiceToken = token;
            descriptions.append(token.GetDescription());
        }
        cbVoices->addItems(descriptions);
        selectRemembered();
    } catch (...) {
    }
}

// The remembered voice, else the voice of the interface's language, applied. The remembered
// name stays: a voice missing now (a daemon that answered late) may be back next time.
void TfrmSpeech::selectRemembered()
{
    if (cbVoices->count() == 0)
        return;
    const int remembered = cbVoices->findText(SelectedVoiceName, Qt::MatchFixedString);
    cbVoices->setCurrentIndex(remembered >= 0 ? remembered : languageVoiceIndex());
    applyVoice();
}

// eSpeak's choice among its voices; among the daemon's, the language itself before its
// varieties ("en" before "en-GB", the shortest first), a voice before its variants.
int TfrmSpeech::languageVoiceIndex() const
{
    const QString language = interfaceLanguage();
    if (m_listGeneration == 0)
        return qMax(0, cbVoices->findText(SpeechSapi4->voiceForLanguage(language), Qt::MatchFixedString));
    int best = 0;
    std::pair<qsizetype, bool> bestRank{LLONG_MAX, true};
    for (int i = 0; i < VoiceTokens.size(); ++i) {
        const SpVoiceToken &t = VoiceTokens[i];
        if (t.language.compare(language, Qt::CaseInsensitive) != 0 &&
            !t.language.startsWith(language + QLatin1Char('-'), Qt::CaseInsensitive))
            continue;
        const std::pair rank{t.language.size(), !t.variant.isEmpty() && t.variant != QLatin1String("none")};
        if (rank < bestRank) {
            best = i;
            bestRank = rank;
        }
    }
    return best;
}

// The selected entry becomes the engine's voice. Throws the first generation's errors; false
// when the daemon did not take it.
bool TfrmSpeech::applyVoice()
{
    if (m_listGeneration == 0) {
        SpeechSapi4->SelectEngine(cbVoices->currentText());
        return true;
    }
    const int index = cbVoices->currentIndex();
    if (index < 0 || index >= VoiceTokens.size())
        return false;
    VoiceToken = VoiceTokens[index];
    return SpeechSapi5->setVoice(VoiceToken);
}

// The daemon came back or went away: the window follows, and the stored choice, shown in the
// other generation's list meanwhile, comes back with its daemon.
void TfrmSpeech::dispatcherChanged()
{
    rbSAPI5->setEnabled(IsSapiAvailable(5));
    if (IsSapiAvailable(5) && !firstGeneration() && !isVisible()) {
        if (m_listGeneration == 1 && cbVoices->count() == 0)
            m_listGeneration = -1; // the list came back empty from a daemon that was slow
        showGeneration(1);
    }
    showState();
}

// What speaks now, for the options window.
void TfrmSpeech::showState()
{
    if (!m_options)
        return;
    QString state = tr("Govor nije dostupan.");
    if (IsSapiAvailable(4) && firstGeneration())
        state = tr("Govori eSpeak NG.");
    else if (IsSapiAvailable(5))
        state = tr("Govori Speech Dispatcher.");
    else if (IsSapiAvailable(4))
        state = tr("Speech Dispatcher se ne odaziva, pa govori eSpeak NG.");
    m_options->showSpeechState(state);
}

// --- Handlers ------------------------------------------------------------------------------

// The user's click on a generation. One on the button already checked changes nothing.
void TfrmSpeech::rbSAPI4Click()
{
    const int chosen = rbSAPI4->isChecked() ? 0 : 1;
    const bool changed = chosen != m_settings.number(Settings::SapiVersion);
    if (!changed && chosen == m_listGeneration)
        return;
    m_settings.setNumber(Settings::SapiVersion, chosen);
    showGeneration(chosen);
    if (cbVoices->count() > 0)
        SelectedVoiceName = cbVoices->currentText();
    showState();
}

void TfrmSpeech::cbVoicesChange()
{
    SelectedVoiceName = cbVoices->currentText();
    try {
        if (!applyVoice())
            showError(tr("Speech Dispatcher se ne odaziva, pa glas nije promijenjen."));
    } catch (const EMSpeechException &e) {
        showError(e.message());
    }
}

void TfrmSpeech::editTextChange()
{
    btnTest->setEnabled(!editText->text().isEmpty());
}

void TfrmSpeech::uncheckRadio(QRadioButton *button)
{
    // The group lets no button go by itself.
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(true);
}

// --- Settings and the options window -------------------------------------------------------

void TfrmSpeech::LoadSettings()
{
    SelectedVoiceName = m_settings.text(Settings::SapiVoiceName);
    editText->setText(m_settings.text(Settings::WelcomeMessage));
    chkSpeakWelcome->setChecked(m_settings.flag(Settings::SpeakWelcomeMessage));
    showGeneration(shownGeneration());

    // A list that stayed (same generation) still shows the voice stored, and speaks with it.
    const int stored = cbVoices->findText(SelectedVoiceName, Qt::MatchFixedString);
    if (stored >= 0 && stored != cbVoices->currentIndex()) {
        cbVoices->setCurrentIndex(stored);
        try {
            applyVoice();
        } catch (...) {
        }
    }
}

void TfrmSpeech::SaveSettings()
{
    // The generation is there already: the buttons write it when they change it. The voice is
    // the user's choice, never one the window fell back to because an engine was missing.
    Settings &s = m_settings;
    s.setText(Settings::SapiVoiceName, SelectedVoiceName);
    s.setText(Settings::WelcomeMessage, editText->text());
    s.setFlag(Settings::SpeakWelcomeMessage, chkSpeakWelcome->isChecked());
}

int TfrmSpeech::ShowModal()
{
    const bool sapi4 = rbSAPI4->isChecked();
    const bool sapi5 = rbSAPI5->isChecked();
    const int version = m_settings.number(Settings::SapiVersion);
    const int listGeneration = m_listGeneration;
    const QString voiceName = SelectedVoiceName;
    const bool speakWelcome = chkSpeakWelcome->isChecked();
    const int voiceIndex = cbVoices->currentIndex();
    const QString text = editText->text();

    const int result = RunModalDialog(*this);
    if (result != QDialog::Accepted) {
        // The generation first, so that one checked again reloads its list with the voice
        // remembered before; a voice chosen and cancelled is taken back from the engine too.
        m_settings.setNumber(Settings::SapiVersion, version);
        SelectedVoiceName = voiceName;
        if (listGeneration >= 0)
            showGeneration(listGeneration);
        for (auto [radio, on] : {std::pair{rbSAPI4, sapi4}, std::pair{rbSAPI5, sapi5}})
            if (!on)
                uncheckRadio(radio);
        chkSpeakWelcome->setChecked(speakWelcome);
        if (cbVoices->currentIndex() != voiceIndex) {
            cbVoices->setCurrentIndex(voiceIndex);
            try {
                applyVoice();
            } catch (...) {
            }
        }
        editText->setText(text);
        showState();
    }
    return result;
}
