#include "ui/TfrmOptions.h"


#include "capi/CpInfo.h"
#include "exchange/VCardFolders.h"
#include "store/DataDir.h"
#include "store/Numbers.h"
#include "store/Records.h"
#include "ui/OptionsIcons.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TRunningLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TfrmOptions::TfrmOptions(Settings &settings, AddressBook &addressBook, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_book(addressBook),
      m_listModems([] { return telephony::ListLines(telephony::DeviceKind::Modem); }),
      m_speechAvailable([] { return false; })
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Opcije"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        setFont(QFont(QStringLiteral("Tahoma"), 8));

    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setUsesScrollButtons(false); // every page stays one click away
    PageControl->addTab(createBasicPage(), tr("Osnovno"));
    PageControl->addTab(createDevicesPage(), tr("Uređaji"));
    PageControl->addTab(createUnwantedPage(), tr("Nepoželjni pozivi"));
    PageControl->addTab(createCallsPage(), tr("Pozivi"));
    PageControl->addTab(createSoundPage(), tr("Zvuk"));
    PageControl->addTab(createFormatPage(), tr("Format"));
    PageControl->addTab(createLanguagePage(), tr("Jezik"));
    PageControl->addTab(createSharingPage(), tr("Dijeljenje poziva"));

    btnSave = new QPushButton(tr("Prihvati"));
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnSave->setDefault(true);
    btnCancel = new QPushButton(tr("Odustani"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(btnSave, QDialogButtonBox::AcceptRole);
    buttons->addButton(btnCancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(PageControl);
    layout->addWidget(buttons);

    // The object's state from the start, without asking the devices yet: start-up loads the
    // settings, which fills the device list once.
    lblPhoneRingSound->setText(m_settings.text(Settings::PhoneRingWave));
    btnTestSound->setEnabled(!lblPhoneRingSound->text().isEmpty());
    pbDevice->setPixmap(OptionsIcons::modemPicture());
    // The tray's sound item changes the same switch while the window may be open.
    connect(&m_settings, &Settings::valueChanged, this, [this](Settings::Key key) {
        if (key == Settings::EnableSound)
            chkEnableSound->setChecked(m_settings.flag(key));
    });

    const QSize hint = sizeHint();
    setFixedSize(qMax(hint.width(), 399), qMax(hint.height(), 353));
}

TfrmOptions::~TfrmOptions()
{
    if (m_ownsCapiInfo)
        delete m_capiInfo;
}

void TfrmOptions::setCapiInfo(TCapiInfo *info)
{
    if (m_ownsCapiInfo)
        delete m_capiInfo;
    m_ownsCapiInfo = false;
    m_capiInfo = info;
    if (info)
        connect(info, &TCapiInfo::OnSuppServInfoAvailable, this, &TfrmOptions::capiInfoSuppServInfoAvailable,
                Qt::UniqueConnection);
}

TCapiInfo *TfrmOptions::capiInfo()
{
    if (!m_capiInfo) {
        setCapiInfo(new TCapiInfo);
        m_ownsCapiInfo = true;
    }
    return m_capiInfo;
}

int TfrmOptions::showPage(Page page)
{
    PageControl->setCurrentIndex(page);
    return exec();
}

void TfrmOptions::setIsdnAvailable(bool available)
{
    m_isdnAvailable = available;
    rbISDN->setEnabled(available);
    if (fallBackToModem())
        settingsToControls();
}

bool TfrmOptions::fallBackToModem()
{
    if (m_isdnAvailable || m_settings.number(Settings::DeviceType) != Settings::kIsdn)
        return false;
    m_settings.setNumber(Settings::DeviceType, Settings::kModem);
    return true;
}

// --- Opening and closing -------------------------------------------------------------------

void TfrmOptions::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        FormShow();
    QDialog::showEvent(event);
}

void TfrmOptions::FormShow()
{
    // The object may have changed while the window was hidden (tray switches, another start).
    settingsToControls();
    m_deviceTypeAtShow = rbModem->isChecked();
    m_languageAtShow = cbLanguage->currentIndex();
    m_deviceNameAtShow = cbDevices->currentText();
    fillGroupSoundTree();
    cbFormat1Change();
}

void TfrmOptions::done(int result)
{
    if (result == QDialog::Accepted) {
        SaveSettings();
        ApplySavedSettings();
    } else {
        LoadSettings();
        ApplyLoadedSettings();
    }
    QDialog::done(result);

    // A switch without any rule to apply would silently do nothing: turn it off and say so.
    if (m_settings.flag(Settings::DoNotDisturb) && !chkOnlyShowAddressbook->isChecked() &&
        !chkDontShowBlackList->isChecked() && !chkDontShowBlocked->isChecked()) {
        m_settings.setFlag(Settings::DoNotDisturb, false);
        m_settings.SaveSettings();
        ShowMessageDialog(tr("Ne smetaj!"), tr("Opcija 'Ne smetaj!' je isključena!"),
                          QMessageBox::Information, QMessageBox::Ok, this);
    }
    if (m_settings.flag(Settings::AutoReject) && !chkRejectBlackList->isChecked() &&
        !chkRejectBlocked->isChecked()) {
        m_settings.setFlag(Settings::AutoReject, false);
        m_settings.SaveSettings();
        ShowMessageDialog(tr("Odbij!"), tr("Opcija 'Odbij!' je isključena!"), QMessageBox::Information,
                          QMessageBox::Ok, this);
    }
}

// --- Settings life cycle -------------------------------------------------------------------

void TfrmOptions::LoadSettings()
{
    m_settings.LoadSettings();
    fallBackToModem();
    settingsToControls();
    emit settingsLoaded();
}

void TfrmOptions::SaveSettings()
{
    controlsToSettings();
    emit aboutToSaveSettings();
    if (!m_settings.SaveSettings())
        ShowMessageDialog(tr("Greška"), tr("Postavke nije moguće spremiti!"), QMessageBox::Critical,
                          QMessageBox::Ok, this);
}

void TfrmOptions::ApplyLoadedSettings()
{
    sharingToControls();
    chkCIDCloseTimeClick();
    rbKeepAllClick();
    applySpeechAvailability();
    chkEnableSpeechClick();
    m_deviceTypeAtShow = rbModem->isChecked();
    m_deviceNameAtShow = cbDevices->currentText();
    emit loadedSettingsApplied();
}

void TfrmOptions::ApplySavedSettings()
{
    const bool deviceChanged =
        rbModem->isChecked() != m_deviceTypeAtShow || cbDevices->currentText() != m_deviceNameAtShow;
    emit savedSettingsApplied(deviceChanged);
    // The language in force changes at once (message box buttons, pictures). The settings object
    // takes it only from what it loads, and the file holds exactly what was just saved.
    if (m_settings.languageIndex() != cbLanguage->currentIndex())
        m_settings.LoadSettings();
    ApplyLanguageChange();
}

void TfrmOptions::ApplyLanguageChange()
{
    const int language = cbLanguage->currentIndex();
    if (m_languageAtShow == language)
        return;
    Settings::writeLanguageOverride(m_settings.programPath(),
                                    language == 0 ? QStringLiteral("ENU") : QString());
    ShowMessageDialog(
        tr("Informacija"),
        tr("Jezik je promijenjen!\n\nPotrebno je program zatvoriti, te ga ponovo pokrenuti. Tek će tada ova "
           "promjena imati učinka."),
        QMessageBox::Information, QMessageBox::Ok, this);
}

// The check boxes that hold a flag of the settings, in the settings' order.
std::array<std::pair<Settings::Key, QCheckBox *>, 22> TfrmOptions::flagControls() const
{
    return {{
        {Settings::RunOnStartup, chkWindowsStart},
        {Settings::HideInTray, chkSystemTray},
        {Settings::MonitorOnStartup, chkMonitorOnStart},
        {Settings::AutoCloseCID, chkCIDCloseTime},
        {Settings::AnimateCID, chkAnimateCIDWindow},
        {Settings::AnimateIcon, chkAnimateIcon},
        {Settings::ConfirmDelete, chkConfimDelete},
        {Settings::BackupRecords, chkBackupRecords},
        {Settings::DisplayOnlyAddressbook, chkOnlyShowAddressbook},
        {Settings::DontDisplayBlackList, chkDontShowBlackList},
        {Settings::DontDisplayBlocked, chkDontShowBlocked},
        {Settings::AutoRejectBlackList, chkRejectBlackList},
        {Settings::AutoRejectBlocked, chkRejectBlocked},
        {Settings::LogBlackList, chkLogBlackList},
        {Settings::LogBlocked, chkLogBlocked},
        {Settings::DisplayCIDWindow, chkShowCIDWindow},
        {Settings::DisplayCIDMessage, chkShowCIDMessage},
        {Settings::FlashScrollLock, chkFlashScrollLock},
        {Settings::EnableSound, chkEnableSound},
        {Settings::EnableSpeech, chkEnableSpeech},
        {Settings::DesktopNotification, chkDesktopNotification},
        {Settings::VCardCallers, chkVCardCallers},
    }};
}

void TfrmOptions::settingsToControls()
{
    const Settings &s = m_settings;
    for (const auto &[key, box] : flagControls())
        box->setChecked(s.flag(key));
    udCIDCloseTime->setValue(s.number(Settings::AutoCloseCIDValue));
    // Without a contacts folder there is nobody to name callers from.
    chkVCardCallers->setEnabled(IsOutlookInstalled(s));

    (s.number(Settings::DeviceType) == Settings::kIsdn ? rbISDN : rbModem)->setChecked(true);
    rbModemClick();
    // The list's own search ignores case; start-up compares the result exactly.
    cbDevices->setCurrentIndex(cbDevices->findText(s.text(Settings::DeviceName), Qt::MatchFixedString));
    cbDevicesChange();

    (s.number(Settings::KeepCalls) == Settings::kKeepOnly ? rbKeepOnly : rbKeepAll)->setChecked(true);
    udKeepCalls->setValue(s.number(Settings::KeepDays));
    cbHowToFormat->setCurrentIndex(s.number(Settings::HowToFormat));

    lblPhoneRingSound->setText(s.text(Settings::PhoneRingWave));
    btnTestSound->setEnabled(!lblPhoneRingSound->text().isEmpty());

    for (int i = 0; i < 9; ++i) {
        QComboBox *combo = cbFormat[std::size_t(i)];
        const QString pattern = s.text(Settings::Key(Settings::FormatString1 + i));
        const int item = combo->findText(pattern, Qt::MatchExactly | Qt::MatchCaseSensitive);
        combo->setCurrentIndex(item);
        if (item < 0) // a pattern of the user's own stays as typed
            combo->setEditText(pattern);
    }
    cbLanguage->setCurrentIndex(s.number(Settings::Language));

    chkCIDCloseTimeClick();
    rbKeepAllClick();
    applySpeechAvailability();
    chkEnableSpeechClick();
    cbFormat1Change();
}

void TfrmOptions::controlsToSettings()
{
    Settings &s = m_settings;
    for (const auto &[key, box] : flagControls())
        s.setFlag(key, box->isChecked());
    s.setNumber(Settings::AutoCloseCIDValue, udCIDCloseTime->value());
    if (rbModem->isChecked())
        s.setNumber(Settings::DeviceType, Settings::kModem);
    else if (rbISDN->isChecked())
        s.setNumber(Settings::DeviceType, Settings::kIsdn);
    s.setText(Settings::DeviceName, cbDevices->currentText());
    if (rbKeepAll->isChecked())
        s.setNumber(Settings::KeepCalls, Settings::kKeepAll);
    else if (rbKeepOnly->isChecked())
        s.setNumber(Settings::KeepCalls, Settings::kKeepOnly);
    s.setNumber(Settings::KeepDays, udKeepCalls->value());
    s.setNumber(Settings::HowToFormat, cbHowToFormat->currentIndex());
    s.setText(Settings::PhoneRingWave, lblPhoneRingSound->text());
    for (int i = 0; i < 9; ++i)
        s.setText(Settings::Key(Settings::FormatString1 + i), cbFormat[std::size_t(i)]->currentText());
    s.setNumber(Settings::Language, cbLanguage->currentIndex());
    controlsToSharing();
}

// --- Handlers ------------------------------------------------------------------------------

void TfrmOptions::chkCIDCloseTimeClick()
{
    udCIDCloseTime->setEnabled(chkCIDCloseTime->isChecked());
    editCIDCloseTime->setEnabled(chkCIDCloseTime->isChecked());
}

void TfrmOptions::rbKeepAllClick()
{
    udKeepCalls->setEnabled(rbKeepOnly->isChecked());
    editKeepCalls->setEnabled(rbKeepOnly->isChecked());
}

// The sound switch is live: the tray and the calls follow the box at once, and Cancel's reload
// takes it back.
void TfrmOptions::chkEnableSoundClick()
{
    m_settings.setFlag(Settings::EnableSound, chkEnableSound->isChecked());
}

void TfrmOptions::applySpeechAvailability()
{
    const bool available = m_speechAvailable && m_speechAvailable();
    if (!available)
        chkEnableSpeech->setChecked(false);
    chkEnableSpeech->setEnabled(available);
}

void TfrmOptions::showSpeechState(const QString &text)
{
    lblSpeechState->setText(text);
}

void TfrmOptions::chkEnableSpeechClick()
{
    btnSpeechEngine->setEnabled(chkEnableSpeech->isChecked());
}

void TfrmOptions::btnSpeechEngineClick()
{
    if (m_openSpeechWindow)
        m_openSpeechWindow();
}

void TfrmOptions::cbFormat1Change()
{
    const NumberFormatSettings format = formatFromCombos();
    for (int i = 0; i < 9; ++i)
        editFormated[std::size_t(i)]->setText(FormatByPattern(formatSamples()[std::size_t(i)], format));
}

NumberFormatSettings TfrmOptions::formatFromCombos() const
{
    NumberFormatSettings format;
    format.HowToFormat = 1;
    for (int i = 0; i < 9; ++i)
        format.FormatString[std::size_t(i)] = cbFormat[std::size_t(i)]->currentText();
    return format;
}

const std::array<QString, 9> &TfrmOptions::formatSamples()
{
    static const std::array<QString, 9> samples = {
        QStringLiteral("12345"),       QStringLiteral("123456"),       QStringLiteral("1234567"),
        QStringLiteral("12345678"),    QStringLiteral("123456789"),    QStringLiteral("1234567890"),
        QStringLiteral("12345678901"), QStringLiteral("123456789012"), QStringLiteral("1234567890123"),
    };
    return samples;
}
