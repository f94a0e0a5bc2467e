#pragma once

#include "settings/Settings.h"
#include "telephony/CallSources.h"

#include <QDialog>
#include <QPointer>
#include <QStringList>

#include <array>
#include <functional>
#include <utility>

class AddressBook;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;
class TCapiInfo;
class TRunningLabel;

// The options window: every user setting on seven pages, bound to the settings object. Each
// opening shows the object's values; OK writes the controls into the object, saves and applies
// them; Cancel (or closing the window) reloads the stored settings, so every control returns to
// what is stored. Group sounds are the exception: they go to the groups file the moment they
// change. Created once at start-up and reused; opened modally.
//
// What the window cannot decide itself (tray, monitoring, speech window, message boxes, file
// dialogs, sound output) reaches it through the setters below, so the controller can connect its
// own parts and tests can answer dialogs without a user.
class TfrmOptions : public QDialog
{
    Q_OBJECT

public:
    // PageControl's pages; other windows open the window on one of them.
    enum Page
    {
        PageBasic,
        PageDevices,
        PageUnwanted,
        PageCalls,
        PageSound,
        PageFormat,
        PageLanguage,
        PageSharing
    };

    // An open dialog: caption, starting folder, filter; the chosen file or empty on cancel.
    using OpenFileFn =
        std::function<QString(const QString &caption, const QString &folder, const QString &filter)>;
    using PlaySoundFn = std::function<void(const QString &fileName)>;

    TfrmOptions(Settings &settings, AddressBook &addressBook, QWidget *parent = nullptr);
    ~TfrmOptions() override;

    // Defaults: Qt's open dialog; no sound (the controller connects its sound threads); the modem
    // and network lines present now; no speech engine.
    void setOpenFileDialog(OpenFileFn fn) { m_openFileDialog = std::move(fn); }
    void setSoundPlayer(PlaySoundFn fn) { m_playSound = std::move(fn); }
    void setModemLister(std::function<QList<telephony::LineInfo>()> fn) { m_listModems = std::move(fn); }
    void setSpeechAvailable(std::function<bool()> fn) { m_speechAvailable = std::move(fn); }
    void setSpeechWindowOpener(std::function<void()> fn) { m_openSpeechWindow = std::move(fn); }
    // The speech page's line saying which engine speaks now.
    void showSpeechState(const QString &text);

    // The controller's CAPI information component; the window connects its supplementary
    // services event. Without one the window makes its own on first use.
    void setCapiInfo(TCapiInfo *info);

    // Opens the window modally on a page; returns the dialog result.
    int showPage(Page page);

    // ISDN can be chosen only while a CAPI library with a controller answers. Without one, an
    // ISDN choice becomes the modem, in the window and in the settings object, and stays so
    // through every reload.
    void setIsdnAvailable(bool available);

    // Settings life cycle, called by the controller at start-up and by the window itself when
    // it closes.
    void LoadSettings(); // stored settings -> object -> controls
    void SaveSettings(); // controls -> object -> stored settings
    void ApplyLoadedSettings();
    void ApplySavedSettings();
    void ApplyLanguageChange();

    // Noted at every opening; LanguageAtShow is -1 until the first one.
    int languageAtShow() const { return m_languageAtShow; }
    void setLanguageAtShow(int index) { m_languageAtShow = index; }

    // Handlers, public so the controller can run them as start-up and the tray require.
    void rbModemClick();
    void cbDevicesChange();
    void chkCIDCloseTimeClick();
    void rbKeepAllClick();
    void cbFormat1Change();
    void chkEnableSoundClick();
    void btnChooseSoundClick();
    void btnTestSoundClick();
    void tvGroupSoundChange();
    void btnChooseGroupSoundClick();
    void btnDeleteGroupSoundClick();
    void btnTestGroupSoundClick();
    void chkEnableSpeechClick();
    void btnSpeechEngineClick();
    // Adds the supplementary services to the adapter's capabilities once they are known.
    void capiInfoSuppServInfoAvailable();

    // The text the modem information names as the modem driver.
    static QString modemDriverText();

    // The sample numbers the format page lays out, 5 to 13 digits.
    static const std::array<QString, 9> &formatSamples();

signals:
    // The window's part of applying is done; the controller updates the tray menu, the device
    // label, DeviceFound, monitoring and the language bitmaps.
    void loadedSettingsApplied();
    void savedSettingsApplied(bool deviceChanged);
    // The stored settings were loaded into the object and the window; the values another window
    // holds (speech) are read now. And: the window's values are in the object and about to be
    // stored; another window's go in now.
    void settingsLoaded();
    void aboutToSaveSettings();

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    // Pages, built once.
    QWidget *createBasicPage();
    QWidget *createDevicesPage();
    QWidget *createUnwantedPage();
    QWidget *createCallsPage();
    QWidget *createSoundPage();
    QWidget *createFormatPage();
    QWidget *createLanguagePage();
    QWidget *createSharingPage();
    void sharingToControls();
    void controlsToSharing();
    void chkMqttPublishClick();
    void showMqttPasswordPlace();
    void saveMqttPassword();

    std::array<std::pair<Settings::Key, QCheckBox *>, 22> flagControls() const;

    void FormShow();
    void settingsToControls();
    void controlsToSettings();
    void applySpeechAvailability();
    bool fallBackToModem();

    void fillModemFeatures();
    // The SIP accounts, added, changed and removed from the devices page.
    QWidget *createSipAccountButtons();
    void editSipAccount(bool add);
    void btnSipRemoveClick();
    void fillIsdnFeatures();
    TCapiInfo *capiInfo();

    void fillGroupSoundTree(const QString &select = {});
    void storeGroupSound(const QString &group, const QString &sound);
    QString chooseWaveFile(const QString &present);
    NumberFormatSettings formatFromCombos() const;

    Settings &m_settings;
    AddressBook &m_book;

    OpenFileFn m_openFileDialog;
    PlaySoundFn m_playSound;
    std::function<QList<telephony::LineInfo>()> m_listModems;
    QList<telephony::LineInfo> m_lines; // the device list's entries
    std::function<bool()> m_speechAvailable;
    std::function<void()> m_openSpeechWindow;
    QPointer<TCapiInfo> m_capiInfo;
    bool m_ownsCapiInfo = false;

    bool m_isdnAvailable = true;
    int m_languageAtShow = -1;
    bool m_deviceTypeAtShow = true;
    QString m_deviceNameAtShow;

    QTabWidget *PageControl = nullptr;
    QCheckBox *chkMqttPublish = nullptr;
    QLineEdit *edtMqttBroker = nullptr;
    QLineEdit *edtMqttUser = nullptr;
    QLineEdit *edtMqttPrefix = nullptr;
    QCheckBox *chkMqttTls = nullptr;
    QLineEdit *edtMqttCaFile = nullptr;
    QLineEdit *edtMqttClientCert = nullptr;
    QCheckBox *chkMqttNumberOnly = nullptr;
    QLineEdit *edtMqttPassword = nullptr;
    QLabel *lblMqttPassword = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;

    // Basic
    QCheckBox *chkWindowsStart = nullptr;
    QCheckBox *chkSystemTray = nullptr;
    QCheckBox *chkMonitorOnStart = nullptr;
    QCheckBox *chkCIDCloseTime = nullptr;
    QSpinBox *udCIDCloseTime = nullptr;
    QLineEdit *editCIDCloseTime = nullptr;
    QCheckBox *chkAnimateCIDWindow = nullptr;
    QCheckBox *chkAnimateIcon = nullptr;
    QCheckBox *chkConfimDelete = nullptr;
    QCheckBox *chkBackupRecords = nullptr;

    // Devices
    QRadioButton *rbModem = nullptr;
    QRadioButton *rbISDN = nullptr;
    QLabel *pbDevice = nullptr;
    QComboBox *cbDevices = nullptr;
    QTreeWidget *tvFeatures = nullptr;
    QWidget *pnlSipAccount = nullptr;
    QPushButton *btnSipAdd = nullptr;
    QPushButton *btnSipEdit = nullptr;
    QPushButton *btnSipRemove = nullptr;

    // Unwanted calls
    QCheckBox *chkOnlyShowAddressbook = nullptr;
    QCheckBox *chkDontShowBlackList = nullptr;
    QCheckBox *chkDontShowBlocked = nullptr;
    QCheckBox *chkRejectBlackList = nullptr;
    QCheckBox *chkRejectBlocked = nullptr;
    QCheckBox *chkLogBlackList = nullptr;
    QCheckBox *chkLogBlocked = nullptr;

    // Calls
    QCheckBox *chkShowCIDWindow = nullptr;
    QCheckBox *chkShowCIDMessage = nullptr;
    QCheckBox *chkFlashScrollLock = nullptr;
    QCheckBox *chkDesktopNotification = nullptr;
    QCheckBox *chkVCardCallers = nullptr;
    QRadioButton *rbKeepAll = nullptr;
    QRadioButton *rbKeepOnly = nullptr;
    QSpinBox *udKeepCalls = nullptr;
    QLineEdit *editKeepCalls = nullptr;
    QComboBox *cbHowToFormat = nullptr;

    // Sound
    QCheckBox *chkEnableSound = nullptr;
    QPushButton *btnChooseSound = nullptr;
    QPushButton *btnTestSound = nullptr;
    TRunningLabel *lblPhoneRingSound = nullptr;
    QTreeWidget *tvGroupSound = nullptr;
    QPushButton *btnChooseGroupSound = nullptr;
    QPushButton *btnDeleteGroupSound = nullptr;
    QPushButton *btnTestGroupSound = nullptr;
    TRunningLabel *lblGroupSound = nullptr;
    QCheckBox *chkEnableSpeech = nullptr;
    QPushButton *btnSpeechEngine = nullptr;
    QLabel *lblSpeechState = nullptr;

    // Format
    std::array<QComboBox *, 9> cbFormat = {};
    std::array<QLineEdit *, 9> editFormated = {};

    // Language
    QComboBox *cbLanguage = nullptr;
};
