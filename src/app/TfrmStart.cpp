#include "app/TfrmStart.h"
#include "app/CallMonitor.h"
#include "app/CallWindows.h"
#include "app/LineMonitor.h"
#include "app/NewCallIndicators.h"
#include "platform/CallNotifier.h"

#include "app/SoundPlay.h"
#include "app/TfrmAbout.h"
#include "app/TrayController.h"
#include "capi/CpInfo.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/DataDir.h"
#include "store/Exports.h"
#include "store/Numbers.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "ui/TfrmOptions.h"
#include "ui/TfrmSpeech.h"
#include "widgets/ShowMessageDialog.h"

#include <QAction>
#include <QCursor>
#include <QDBusConnection>
#include <QDir>
#include <QMenu>
#include <QTimer>

namespace {

constexpr int kWatchInterval = 500;

} // namespace

TfrmStart::TfrmStart(Settings &settings, AddressBook &addressBook, CallLog &callLog, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_book(addressBook), m_log(callLog)
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Tellwise Monitor"));
    move(-10000, 0);

    // Message box buttons speak the language of the texts, which is loaded at start: a language
    // chosen in the options reaches both at the next start, never the buttons of one box alone.
    const int textLanguage = Settings::overrideSelectsEnglish(m_settings.programPath()) ? 0 : 1;
    SetMessageDialogLanguage([textLanguage] { return textLanguage; });
    // A first start in a fresh per-user folder: every save would fail without it.
    QDir().mkpath(m_book.folder());

    // What cannot be read is reported; the program goes on with what it has.
    const auto answerBook = [this](bool goOn) { m_book.answerDamaged(goOn); };
    const auto answerLog = [this](bool goOn) { m_log.answerDamaged(goOn); };
    showFailure(m_book.load(), answerBook);
    showFailure(m_log.load(), answerLog);
    // A file another program wrote (tellwise-cli, a copy put in place) is read within a second.
    m_watchTimer = new QTimer(this);
    m_watchTimer->setObjectName(QStringLiteral("watchTimer"));
    m_watchTimer->setInterval(kWatchInterval);
    connect(m_watchTimer, &QTimer::timeout, this, [this, answerBook, answerLog] {
        showFailure(m_book.reloadChanged(), answerBook);
        showFailure(m_log.reloadChanged(), answerLog);
    });
    m_watchTimer->start();
    OwnAreaCode = ReadTelephonyAreaCode();

    m_newCalls = new NewCallIndicators(this);
    connect(m_newCalls, &NewCallIndicators::textChanged, this, [this](const QString &text) {
        emit newCallsTextChanged(text);
        if (m_newCallMessage)
            m_newCallMessage->setTotalCallsText(text);
    });
    connect(m_newCalls, &NewCallIndicators::callsIndicatorChanged, this, &TfrmStart::callsIndicatorChanged);

    m_notifier = new CallNotifier(QDBusConnection::sessionBus(), this);
    connect(m_notifier, &CallNotifier::rejectRequested, this, &TfrmStart::RejectCurrentCall);
    connect(m_notifier, &CallNotifier::callsPageRequested, this, [this] { ShowMainWindowPage(1); });
    connect(m_notifier, &CallNotifier::addToAddressbookRequested, this,
            [this](const QString &name, const QString &number) {
                if (m_addToAddressbook)
                    m_addToAddressbook(name, number);
            });

    m_calls = new CallMonitor(m_settings, m_book, m_log, this);
    m_calls->setObjectName(QStringLiteral("callMonitor"));
    connect(m_calls, &CallMonitor::callCounted, this, &TfrmStart::callCounted);
    connect(m_calls, &CallMonitor::speechRequested, this,
            [this](const QString &text) { SpeakText(text, false); });

    m_lineMonitor = new LineMonitor(
        m_settings, *m_calls, [this] { return m_newCalls->count() > 0; }, this);
    m_line = &m_lineMonitor->state();

    m_capiInfo = new TCapiInfo(this);
    m_capiInfo->setObjectName(QStringLiteral("capiInfo"));

    createTray();
    // Every change of the log (a call logged or discarded, calls seen, another program's file)
    // gives the count again, so the header, the tray and the calls page never disagree.
    setNewCallCount(freshCallCount());
    connect(&m_log, &CallLog::callsChanged, this, [this] { setNewCallCount(freshCallCount()); });
    // The main window's menus; it connects their items to its own commands, the exports stay here.
    m_mainMenus = CreateMainWindowMenus(this);
    connect(m_mainMenus.miExportToCSV, &QAction::triggered, this, &TfrmStart::miExportToCSVClick);
    connect(m_mainMenus.miExportToXML, &QAction::triggered, this, &TfrmStart::miExportToXMLClick);
}

void TfrmStart::createTray()
{
    m_tray = new TrayController(m_settings, *m_line, *m_newCalls, this);
    connect(m_lineMonitor, &LineMonitor::monitoringStarted, m_tray,
            [this] { m_tray->setBlinking(m_settings.flag(Settings::AnimateIcon)); });
    connect(m_lineMonitor, &LineMonitor::monitoringStopped, m_tray, [this] { m_tray->setBlinking(false); });
    connect(m_tray, &TrayController::blinkedBack, this, &TfrmStart::blinkedBack);
    connect(m_tray, &TrayController::iconClicked, this, &TfrmStart::trayIconClick);
    connect(m_tray, &TrayController::pageRequested, this, &TfrmStart::ShowMainWindowPage);
    connect(m_tray, &TrayController::monitorCallsToggled, this, &TfrmStart::miMonitorCallsClick);
    connect(m_tray, &TrayController::soundToggled, this, &TfrmStart::miEnableSoundClick);
    connect(m_tray, &TrayController::doNotDisturbToggled, this, &TfrmStart::miDoNotDisturbClick);
    connect(m_tray, &TrayController::autoRejectToggled, this, &TfrmStart::miAutoHangUpClick);
    connect(m_tray, &TrayController::optionsRequested, this, &TfrmStart::miOptionsClick);
    connect(m_tray, &TrayController::aboutRequested, this, &TfrmStart::miAboutClick);
}

TfrmStart::~TfrmStart()
{
    m_calls->setSource(nullptr);
    SetMessageDialogLanguage(nullptr);
}

void TfrmStart::showFailure(const StoreResult &result, const std::function<void(bool)> &answerDamaged)
{
    if (result.ok())
        return;
    // A box raised by the watch timer must not let the timer raise another behind it.
    const bool watching = m_watchTimer && m_watchTimer->isActive();
    if (m_watchTimer)
        m_watchTimer->stop();
    if (result.kind == StoreResult::Kind::Damaged && answerDamaged) {
        const QString question =
            tr("Nastaviti s ispravnim zapisima? Datoteka će se tada pri sljedećoj promjeni prepisati njima.\n"
               "Ako odaberete Ne, datoteka ostaje kakva jest, a promjene se u nju ne spremaju do ponovnog "
               "pokretanja programa.");
        answerDamaged(ShowMessageDialog(tr("Greška"), result.message + QStringLiteral("\n\n") + question,
                                        QMessageBox::Critical,
                                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes);
    } else {
        ShowMessageDialog(tr("Greška"), result.message, QMessageBox::Critical, QMessageBox::Ok);
    }
    if (watching)
        m_watchTimer->start();
}

// --- Windows ---------------------------------------------------------------------------------

void TfrmStart::setSpeechWindow(TfrmSpeech *speech)
{
    m_speech = speech;
}

void TfrmStart::SpeakText(const QString &text, bool ignoreSoundSwitch)
{
    if (m_speech)
        m_speech->SpeakText(text, ignoreSoundSwitch);
}

void TfrmStart::setOptionsWindow(TfrmOptions *options)
{
    m_options = options;
    if (!options)
        return;
    options->setSoundPlayer(TSoundPlay::start);
    options->setCapiInfo(m_capiInfo);
    connect(options, &TfrmOptions::loadedSettingsApplied, this, &TfrmStart::onLoadedSettingsApplied);
    connect(options, &TfrmOptions::savedSettingsApplied, this, &TfrmStart::onSavedSettingsApplied);
}

void TfrmStart::setNewCallMessage(TfrmNewCallMessage *message)
{
    m_newCallMessage = message;
    if (message)
        message->setKeepClearOf([this] { return m_tray->iconGeometry(); });
    if (message)
        message->setTotalCallsText(m_newCalls->text());
    connectCallWindows();
}

void TfrmStart::setIncomingCallWindow(TfrmIncomingCall *window)
{
    m_incomingCall = window;
    if (window)
        connect(window, &TfrmIncomingCall::rejectRequested, this, &TfrmStart::RejectCurrentCall);
    connectCallWindows();
}

void TfrmStart::connectCallWindows()
{
    if (m_callWindowsConnected || !m_incomingCall || !m_newCallMessage)
        return;
    m_callWindowsConnected = true;
    ConnectCallWindows(*m_calls, m_settings, *m_incomingCall, *m_newCallMessage, m_notifier);
}

void TfrmStart::setAboutWindow(TfrmAbout *about)
{
    m_about = about;
}

void TfrmStart::setMainWindowOpener(std::function<void(int)> opener)
{
    m_openMainWindow = std::move(opener);
    m_tray->setWindowItemsEnabled(bool(m_openMainWindow));
}

// --- Start-up ----------------------------------------------------------------------------------

LineState &TfrmStart::line() const
{
    return *m_line;
}

void TfrmStart::Startup()
{
    Q_ASSERT(m_options);
    m_settings.SyncLanguageValue();
    const bool firstStart = !m_settings.keyExists();
    m_options->LoadSettings();

    const QString device = m_settings.currentDeviceName();
    const bool deviceFound = m_lineMonitor->findDevice();

    m_options->setLanguageAtShow(-1);
    m_options->ApplyLoadedSettings();

    // Speech is a nicety: nothing that goes wrong with it may stop the start.
    if (m_speech) {
        try {
            m_speech->InitSpeech();
            if (m_settings.flag(Settings::SpeakWelcomeMessage) && m_settings.flag(Settings::EnableSound))
                m_speech->SpeakText(welcomeText(m_settings), false);
        } catch (...) {
        }
    }

    m_options->setIsdnAvailable(m_capiInfo->CapiLoaded() && m_capiInfo->ControllerCount() != 0);

    // Without a notification area the window is the only way in, so it shows at start.
    if (!m_settings.flag(Settings::HideInTray) || !trayAvailable())
        ShowMainWindowPage(0);

    SetMonitorMenu(m_settings.flag(Settings::MonitorOnStartup), true);

    m_tray->started();
    // On an empty desktop the first start would show nothing but an icon: say once where to look.
    if (firstStart && trayAvailable())
        m_notifier->showNotice(tr("Tellwise Monitor prati telefonsku liniju"),
                               tr("Naći ćete ga kao ikonu u području obavijesti: klik otvara adresar i "
                                  "pozive, desni klik izbornik s opcijama."));

    if (!deviceFound) {
        SetMonitorMenu(false, false);
        const QString text = device.isEmpty() ? tr("Nije izabran niti jedan uređaj!\n\nOtvorite Opcije | "
                                                   "Uređaji, te izaberite vrstu uređaja i "
                                                   "uređaj koji želite.")
                                              : tr("Ne mogu pronaći prethodno izabrani uređaj!\n\nOtvorite "
                                                   "Opcije | Uređaji, te izaberite vrstu "
                                                   "uređaja\ni uređaj koji želite.");
        ShowMessageDialog(QStringLiteral("Tellwise Monitor"), text, QMessageBox::Information,
                          QMessageBox::Ok);
        openOptions(TfrmOptions::PageDevices);
    } else {
        m_lineMonitor->start();
    }
}

// --- Tray ----------------------------------------------------------------------------------------

bool TfrmStart::trayAvailable()
{
    return TrayController::available();
}

void TfrmStart::blinkedBack()
{
    // While the options window is open the device may be half chosen; its state is not an error.
    m_lineMonitor->showState(m_options && m_options->isVisible());
}

QString TfrmStart::welcomeText(const Settings &settings)
{
    const QString stored = settings.text(Settings::WelcomeMessage);
    if (stored != settings.defaultValue(Settings::WelcomeMessage).toString())
        return stored;
    return tr("Dobrodošli u Tellwise Monitor");
}

int TfrmStart::freshCallCount() const
{
    int fresh = 0;
    for (const ACalls &call : m_log.calls())
        fresh += call.IsNew ? 1 : 0;
    return fresh;
}

void TfrmStart::setNewCallCount(int count)
{
    const bool seen = m_newCalls->count() > 0 && count == 0;
    m_newCalls->setCount(count);
    // Seen calls end the new-call state whatever the line does.
    if (seen)
        m_lineMonitor->showNewCalls(false);
    // The tool tip and the new-call texts follow the count at once.
    m_tray->paint();
}

void TfrmStart::trayIconClick()
{
    if (m_openMainWindow) {
        ShowMainWindowPage(m_newCalls->count() > 0 ? 1 : 0);
        return;
    }
    // Without a main window a click would do nothing; offer the menu instead.
    m_tray->menu()->popup(QCursor::pos());
}

void TfrmStart::ShowMainWindowPage(int page)
{
    if (!m_openMainWindow)
        return;
    if (page == 1) {
        if (m_newCallMessage)
            m_newCallMessage->closeMessage();
        emit callsPageShown();
    }
    m_openMainWindow(page);
}

// --- Monitoring ----------------------------------------------------------------------------------

void TfrmStart::RejectCurrentCall()
{
    m_calls->reject();
}

void TfrmStart::callCounted()
{
    // The call goes into the log right after this, as a new one.
    setNewCallCount(freshCallCount() + 1);
    // An animated icon shows the new call at its next tick.
    if (!m_settings.flag(Settings::AnimateIcon)) {
        m_lineMonitor->showNewCalls(true);
        // One more call: the count in the tool tip and the texts changes.
        m_tray->paint();
    }
    if (m_settings.flag(Settings::FlashScrollLock))
        m_newCalls->startScrollLockFlashing();
}

void TfrmStart::onLoadedSettingsApplied()
{
    m_lineMonitor->settingsLoaded();
    if (m_options && m_options->languageAtShow() != m_settings.languageIndex())
        emit languageBitmapsRequested(m_settings.languageIndex());
}

void TfrmStart::onSavedSettingsApplied(bool deviceChanged)
{
    if (IsMonitoringOn())
        m_tray->setBlinking(m_settings.flag(Settings::AnimateIcon));
    m_lineMonitor->settingsSaved(deviceChanged);
}

// --- Session end ---------------------------------------------------------------------------------

void TfrmStart::BackupAndPrune()
{
    if (const StoreResult backup = BackupDataFiles(m_book.folder(), m_settings.flag(Settings::BackupRecords));
        !backup)
        qWarning("backup of the data files failed: %s", qPrintable(backup.message));
    if (const StoreResult pruned = m_log.Prune(m_settings.callDaysKept()); !pruned)
        qWarning("pruning the call log failed: %s", qPrintable(pruned.message));
}
