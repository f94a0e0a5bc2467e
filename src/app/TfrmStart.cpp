#include "app/TfrmStart.h"
#include "app/CallMonitor.h"
#include "app/CallNotifier.h"
#include "app/CallWindows.h"
#include "app/LineMonitor.h"
#include "app/NewCallIndicators.h"

#include "app/SoundPlay.h"
#include "app/StatusNotifierItem.h"
#include "app/SvgIcon.h"
#include "app/TfrmAbout.h"
#include "app/TrayFallbackWindow.h"
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
#include <QApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

namespace {

constexpr int kTrayInterval = 1500;
constexpr int kTrayIntervalNewCalls = 750;
constexpr int kWatchInterval = 500;

} // namespace

TfrmStart::TfrmStart(Settings &settings, AddressBook &addressBook, CallLog &callLog, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_book(addressBook), m_log(callLog)
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QStringLiteral("Tellwise Monitor"));
    move(-10000, 0);

    SetMessageDialogLanguage([this] { return m_settings.languageIndex(); });
    // A first start in a fresh per-user folder: every save would fail without it.
    QDir().mkpath(m_book.folder());

    // What cannot be read is reported; the program goes on with what it has.
    showFailure(m_book.load());
    showFailure(m_log.load());
    // A file another program wrote (tellwise-cli, a copy put in place) is read within a second.
    watchTimer = new QTimer(this);
    watchTimer->setObjectName(QStringLiteral("watchTimer"));
    watchTimer->setInterval(kWatchInterval);
    connect(watchTimer, &QTimer::timeout, this, [this] {
        showFailure(m_book.reloadChanged());
        showFailure(m_log.reloadChanged());
    });
    watchTimer->start();
    OwnAreaCode = ReadTelephonyAreaCode();

    TrayTimer = new QTimer(this);
    TrayTimer->setObjectName(QStringLiteral("TrayTimer"));
    TrayTimer->setInterval(kTrayInterval);
    connect(TrayTimer, &QTimer::timeout, this, &TfrmStart::TrayTimerTimer);
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
    connect(m_calls, &CallMonitor::speechRequested, this, [this](const QString &text) { SpeakText(text, false); });

    m_lineMonitor = new LineMonitor(m_settings, *m_calls, [this] { return m_newCalls->count() > 0; }, this);
    m_line = &m_lineMonitor->state();
    connect(m_line, &LineState::stateChanged, this, &TfrmStart::paintTray);
    connect(m_lineMonitor, &LineMonitor::monitoringStarted, this, [this] {
        if (m_settings.flag(Settings::AnimateIcon))
            TrayTimer->start();
    });
    connect(m_lineMonitor, &LineMonitor::monitoringStopped, TrayTimer, &QTimer::stop);
    capiInfo = new TCapiInfo(this);
    capiInfo->setObjectName(QStringLiteral("capiInfo"));

    createMenus();

    TrayIcon = new QSystemTrayIcon(this);
    TrayIcon->setObjectName(QStringLiteral("TrayIcon"));
    TrayIcon->setContextMenu(pmTrayIcon);
    connect(TrayIcon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            TrayIconClick();
    });

    m_fallback = new TrayFallbackWindow(this);
    // The panel may come up after the program (autostart) or restart: the tray is watched for
    // the whole session, not only at start.
    auto *trayWatch = new QDBusServiceWatcher(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(trayWatch, &QDBusServiceWatcher::serviceRegistered, this, [this] { trayHostChanged(true); });
    connect(trayWatch, &QDBusServiceWatcher::serviceUnregistered, this, [this] { trayHostChanged(false); });

    connect(&m_settings, &Settings::valueChanged, this, &TfrmStart::showSwitches);
    connect(&m_settings, &Settings::monitorCallsChanged, this, &TfrmStart::showSwitches);

    // On X11 Qt docks its icon whenever a tray manager (the panel) takes the tray, also one that
    // comes after the start, as long as the icon is shown; its xcb plugin announces the change
    // through its native interface, a QObject whose class is private to Qt.
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    if (xcb)
        connect(reinterpret_cast<QObject *>(QGuiApplication::platformNativeInterface()),
                SIGNAL(systemTrayWindowChanged(QScreen *)), this, SLOT(xembedTrayChanged()));

    paintTray();
    TrayIcon->setVisible(xcb || trayAvailable());
}

TfrmStart::~TfrmStart()
{
    m_calls->setSource(nullptr);
    SetMessageDialogLanguage(nullptr);
    delete m_fallback;
}

void TfrmStart::showFailure(const StoreResult &result)
{
    if (result.ok())
        return;
    // A box raised by the watch timer must not let the timer raise another behind it.
    const bool watching = watchTimer && watchTimer->isActive();
    if (watchTimer)
        watchTimer->stop();
    ShowMessageDialog(tr("Greška"), result.message, QMessageBox::Critical, QMessageBox::Ok);
    if (watching)
        watchTimer->start();
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
    options->setCapiInfo(capiInfo);
    connect(options, &TfrmOptions::loadedSettingsApplied, this, &TfrmStart::onLoadedSettingsApplied);
    connect(options, &TfrmOptions::savedSettingsApplied, this, &TfrmStart::onSavedSettingsApplied);
}

void TfrmStart::setNewCallMessage(TfrmNewCallMessage *message)
{
    m_newCallMessage = message;
    if (message)
        message->setKeepClearOf([this] { return TrayIcon ? TrayIcon->geometry() : QRect(); });
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

TfrmIncomingCall &TfrmStart::IncomingCallWindow()
{
    Q_ASSERT(m_incomingCall);
    return *m_incomingCall;
}

TfrmNewCallMessage &TfrmStart::NewCallMessageWindow()
{
    Q_ASSERT(m_newCallMessage);
    return *m_newCallMessage;
}

void TfrmStart::setAboutWindow(TfrmAbout *about)
{
    m_about = about;
}

void TfrmStart::setMainWindowOpener(std::function<void(int)> opener)
{
    m_openMainWindow = std::move(opener);
    miAddressbook->setEnabled(bool(m_openMainWindow));
    miCalls->setEnabled(bool(m_openMainWindow));
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
                m_speech->SpeakText(m_settings.text(Settings::WelcomeMessage), false);
        } catch (...) {
        }
    }

    m_options->setIsdnAvailable(capiInfo->CapiLoaded() && capiInfo->ControllerCount() != 0);

    // Without a notification area the window is the only way in, so it shows at start.
    if (!m_settings.flag(Settings::HideInTray) || !trayAvailable())
        ShowMainWindowPage(0);

    SetMonitorMenu(m_settings.flag(Settings::MonitorOnStartup), true);

    m_started = true;
    m_trayFromStart = trayAvailable();
    if (!m_trayFromStart) {
        // Qt saw no tray, yet a watcher may be there already (Qt decides on its own terms).
        QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        trayHostChanged(bus && bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }

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
        StartMonitoring();
    }
}

// --- Tray ----------------------------------------------------------------------------------------

QIcon TfrmStart::trayIcon(TrayState state)
{
    static const std::array<QIcon, 5> icons = [] {
        std::array<QIcon, 5> all;
        const char *names[] = {"trayNotActive", "trayActive", "trayActiveMonitor", "trayNewCall",
                               "trayError"};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = SvgIcon(QStringLiteral(":/app/%1.svg").arg(QLatin1String(names[i])),
                             {16, 22, 24, 32, 48, 64});
        return all;
    }();
    return icons[std::size_t(state)];
}

void TfrmStart::trayHostChanged(bool present)
{
    if (!m_started || m_trayFromStart)
        return;
    if (!present) {
        m_lateTrayRegistered = false;
        if (!trayAvailable())
            m_fallback->show();
        return;
    }
    if (!m_lateTray) {
        m_lateTray = new StatusNotifierItem(this);
        connect(m_lateTray, &StatusNotifierItem::activated, this, &TfrmStart::TrayIconClick);
        connect(m_lateTray, &StatusNotifierItem::contextMenuRequested, this,
                [this](const QPoint &position) { pmTrayIcon->popup(position); });
        m_lateTray->setMenu(pmTrayIcon);
        m_lateTray->setToolTip(m_toolTip);
        connect(this, &TfrmStart::trayStateChanged, m_lateTray,
                [this](TrayState state) { m_lateTray->setIcon(trayIcon(state)); });
        m_lateTray->setIcon(trayIcon(m_trayState));
    }
    // A watcher that restarted forgets its items: each new one is told again.
    // Not offered (the bus refused): the window stays, the only way in.
    if (m_lateTray->registerWithWatcher()) {
        m_lateTrayRegistered = true;
        m_fallback->hide();
    }
}

void TfrmStart::xembedTrayChanged()
{
    // Before the start has decided, the start shows what is needed.
    if (!m_started)
        return;
    if (trayAvailable())
        m_fallback->hide();
    else if (!m_lateTrayRegistered)
        m_fallback->show();
}

bool TfrmStart::trayAvailable()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

TfrmStart::TrayState TfrmStart::trayStateFor(LineState::State state)
{
    switch (state) {
    case LineState::Off:
        return TrayState::NotActive;
    case LineState::Monitoring:
        return TrayState::ActiveMonitor;
    case LineState::NewCall:
        return TrayState::NewCall;
    case LineState::Error:
    case LineState::NoDevice:
        break;
    }
    return TrayState::Error;
}

void TfrmStart::paintTray()
{
    SetTrayState(trayStateFor(m_line->state()));
}

void TfrmStart::SetTrayState(TrayState state)
{
    QString tip = QStringLiteral("Tellwise Monitor  (%1)").arg(LineState::statusWord(m_line->state()));

    m_trayState = state;
    TrayIcon->setIcon(trayIcon(state));
    ConnectionImage = (state == TrayState::NotActive || state == TrayState::Error) ? 0 : 1;

    if (m_newCalls->count() > 0)
        tip += QLatin1Char('\n') + m_newCalls->text();
    m_newCalls->show();

    if (tip != m_toolTip) {
        m_toolTip = tip;
        TrayIcon->setToolTip(tip);
        if (m_lateTray)
            m_lateTray->setToolTip(tip);
    }
    emit trayStateChanged(state);
}

void TfrmStart::TrayTimerTimer()
{
    if (TrayBlinkPhase == 0) {
        TrayBlinkPhase = 1;
        SetTrayState(TrayState::Active);
        return;
    }
    TrayBlinkPhase = 0;
    // While the options window is open the device may be half chosen; its state is not an error.
    const bool error = !(m_options && m_options->isVisible()) && m_lineMonitor->failed();
    if (!m_lineMonitor->deviceFound()) {
        m_line->setState(LineState::NoDevice);
    } else if (error) {
        m_line->setState(LineState::Error);
    } else if (m_newCalls->count() == 0) {
        TrayTimer->setInterval(kTrayInterval);
        m_line->setState(LineState::Monitoring);
    } else {
        TrayTimer->setInterval(kTrayIntervalNewCalls);
        m_line->setState(LineState::NewCall);
    }
    // Back from the blink frame even when the line's state stayed.
    paintTray();
}

void TfrmStart::setNewCallCount(int count)
{
    const bool seen = m_newCalls->count() > 0 && count == 0;
    m_newCalls->setCount(count);
    if (!seen)
        return;
    if (m_line->state() == LineState::NewCall)
        m_line->setState(LineState::Monitoring);
    // The new-call texts and indicators go, whatever the line does.
    paintTray();
}

void TfrmStart::SetTrayStateNewCall()
{
    m_line->setState(LineState::NewCall);
    // One more call: the count in the tool tip and the texts changes.
    paintTray();
}

void TfrmStart::TrayIconClick()
{
    if (m_openMainWindow) {
        ShowMainWindowPage(m_newCalls->count() > 0 ? 1 : 0);
        return;
    }
    // Without a main window a click would do nothing; offer the menu instead.
    pmTrayIcon->popup(QCursor::pos());
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

void TfrmStart::StartMonitoring()
{
    m_lineMonitor->start();
}

void TfrmStart::StopMonitoring()
{
    m_lineMonitor->stop();
}

void TfrmStart::RejectCurrentCall()
{
    m_calls->reject();
}

void TfrmStart::callCounted()
{
    setNewCallCount(m_newCalls->count() + 1);
    // An animated icon shows the new call at its next tick.
    if (!m_settings.flag(Settings::AnimateIcon))
        SetTrayStateNewCall();
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
    if (IsMonitoringOn()) {
        if (m_settings.flag(Settings::AnimateIcon))
            TrayTimer->start();
        else
            TrayTimer->stop();
    }
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
