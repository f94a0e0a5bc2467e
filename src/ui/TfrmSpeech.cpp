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
    options->setSpeechAvailable([this] { return IsSapiAvailable(4) || IsSapiAvailable(5); });
    options->setSpeechWindowOpener([this] { ShowModal(); });
    connect(options, &TfrmOptions::settingsLoaded, this, &TfrmSpeech::LoadSettings);
    connect(options, &TfrmOptions::aboutToSaveSettings, this, &TfrmSpeech::SaveSettings);
}

// --- Speaking ------------------------------------------------------------------------------

void TfrmSpeech::SpeakText(const QString &text, bool ignoreSoundSwitch)
{
    if (!ignoreSoundSwitch && !m_settings.flag(Settings::EnableSound))
        return;
    if (!m_settings.flag(Settings::EnableSpeech))
        return;
    try {
        if (firstGeneration()) {
            SpeechSapi4->Text.clear();
            SpeechSapi4->Text.append(text);
            SpeechSapi4->Speak();
        } else {
            SpeechSapi5->Speak(text, TSpVoice::SVSFlagsAsync);
        }
    } catch (...) {
        // An announcement that cannot be spoken is simply not heard.
    }
}

void TfrmSpeech::btnTestClick()
{
    const QString text = editText->text();
    if (firstGeneration()) {
        try {
            SpeechSapi4->Text.clear();
            SpeechSapi4->Text.append(text);
            SpeechSapi4->Speak();
        } catch (const EMSpeechException &e) {
            showError(e.message());
        }
    } else if (!SpeechSapi5->Speak(text, TSpVoice::SVSFlagsAsync)) {
        showError(tr("Speech Dispatcher se ne odaziva, pa tekst nije izgovoren."));
    }
}

void TfrmSpeech::showError(const QString &text)
{
    ShowMessageDialog(tr("Greška"), text, QMessageBox::Critical, QMessageBox::Ok);
}

// The settings choose the generation that speaks; the window's buttons only show and edit it.
bool TfrmSpeech::firstGeneration() const
{
    return m_settings.number(Settings::SapiVersion) == 0;
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

void TfrmSpeech::InitSpeech()
{
    rbSAPI4->setEnabled(IsSapiAvailable(4));
    rbSAPI5->setEnabled(IsSapiAvailable(5));
    // Without either generation the options window switches speech off by itself: it asks the
    // same question when its settings are applied.
    for (QRadioButton *button : {rbSAPI4, rbSAPI5})
        if (!button->isEnabled())
            uncheckRadio(button);

    if (!rbSAPI4->isChecked() && !rbSAPI5->isChecked()) {
        checkRadio(rbSAPI4);
        if (cbVoices->currentIndex() < 0) {
            checkRadio(rbSAPI5);
            if (cbVoices->currentIndex() < 0)
                return;
        }
    } else if (rbSAPI4->isChecked()) {
        LoadSapi4Voices();
    } else {
        LoadSapi5Voices();
    }

    if (cbVoices->count() > 0) {
        cbVoices->setCurrentIndex(cbVoices->findText(SelectedVoiceName, Qt::MatchFixedString));
        applyVoice();
    }
}

void TfrmSpeech::LoadSapi4Voices()
{
    cbVoices->clear();
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
    try {
        if (!SpeechSapi5->connected())
            return;
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

// The remembered voice, else the first (which is remembered from now on), applied.
void TfrmSpeech::selectRemembered()
{
    cbVoices->setCurrentIndex(cbVoices->findText(SelectedVoiceName, Qt::MatchFixedString));
    if (cbVoices->count() == 0)
        return;
    if (cbVoices->currentIndex() < 0) {
        cbVoices->setCurrentIndex(0);
        SelectedVoiceName = cbVoices->itemText(0);
    }
    applyVoice();
}

// The selected entry becomes the engine's voice. Throws the first generation's errors.
void TfrmSpeech::applyVoice()
{
    if (firstGeneration()) {
        SpeechSapi4->SelectEngine(cbVoices->currentText());
        return;
    }
    const int index = cbVoices->currentIndex();
    if (index < 0 || index >= VoiceTokens.size())
        return;
    VoiceToken = VoiceTokens[index];
    SpeechSapi5->setVoice(VoiceToken);
}

// --- Handlers ------------------------------------------------------------------------------

// The buttons edit the setting: the engine that speaks follows it at once.
void TfrmSpeech::rbSAPI4Click()
{
    m_settings.setNumber(Settings::SapiVersion, rbSAPI4->isChecked() ? 0 : 1);
    if (rbSAPI4->isChecked())
        LoadSapi4Voices();
    else
        LoadSapi5Voices();
}

void TfrmSpeech::cbVoicesChange()
{
    try {
        applyVoice();
    } catch (const EMSpeechException &e) {
        showError(e.message());
    }
}

void TfrmSpeech::editTextChange()
{
    btnTest->setEnabled(!editText->text().isEmpty());
}

// Checking a radio button in code does what the user's click does: the list is filled anew.
// A button already checked stays as it is.
void TfrmSpeech::checkRadio(QRadioButton *button)
{
    if (button->isChecked())
        return;
    button->setChecked(true);
    rbSAPI4Click();
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
    const int version = m_settings.number(Settings::SapiVersion);
    if (version == 0)
        checkRadio(rbSAPI4);
    else if (version == 1)
        checkRadio(rbSAPI5);
    SelectedVoiceName = m_settings.text(Settings::SapiVoiceName);
    editText->setText(m_settings.text(Settings::WelcomeMessage));
    chkSpeakWelcome->setChecked(m_settings.flag(Settings::SpeakWelcomeMessage));

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
    // The generation is there already: the buttons write it when they change it.
    Settings &s = m_settings;
    // An empty list (no engine answered this time) keeps the voice the user chose earlier.
    s.setText(Settings::SapiVoiceName, cbVoices->count() > 0 ? cbVoices->currentText() : SelectedVoiceName);
    s.setText(Settings::WelcomeMessage, editText->text());
    s.setFlag(Settings::SpeakWelcomeMessage, chkSpeakWelcome->isChecked());
}

int TfrmSpeech::ShowModal()
{
    const bool sapi4 = rbSAPI4->isChecked();
    const bool sapi5 = rbSAPI5->isChecked();
    const int version = m_settings.number(Settings::SapiVersion);
    const bool speakWelcome = chkSpeakWelcome->isChecked();
    const int voiceIndex = cbVoices->currentIndex();
    const QString text = editText->text();

    const int result = RunModalDialog(*this);
    if (result != QDialog::Accepted) {
        // The generation first, so that one checked again reloads its list; the voice that was
        // last applied stays with the engine.
        for (auto [button, on] : {std::pair{rbSAPI4, sapi4}, std::pair{rbSAPI5, sapi5}}) {
            if (on)
                checkRadio(button);
            else
                uncheckRadio(button);
        }
        m_settings.setNumber(Settings::SapiVersion, version);
        chkSpeakWelcome->setChecked(speakWelcome);
        cbVoices->setCurrentIndex(voiceIndex);
        editText->setText(text);
    }
    return result;
}
