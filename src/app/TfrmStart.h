#pragma once

#include "app/LineState.h"
#include "settings/Settings.h"
#include "ui/TfrmMain.h"

#include <QIcon>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class AddressBook;
class CallMonitor;
class CallNotifier;
class CallLog;
class QAction;
class QMenu;
class QSystemTrayIcon;
class StatusNotifierItem;
class LineMonitor;
class NewCallIndicators;
class QTimer;
class TCapiInfo;
class TfrmAbout;
class TfrmIncomingCall;
class TfrmNewCallMessage;
class TfrmOptions;
class TfrmSpeech;
class TrayFallbackWindow;
struct StoreResult;

// The hidden controller. It owns the tray icon and its menu, the popup menus of the main
// window, the animation timers, the call monitor with the line it watches and the CAPI
// information component; it loads the address book and the call log and watches their files;
// it switches monitoring on and off and decides the line's state, which the tray shows. The
// tray's switches live in the settings object. The window itself is never shown.
class TfrmStart : public QWidget
{
    Q_OBJECT

public:
    enum class TrayState
    {
        NotActive,
        Active,
        ActiveMonitor,
        NewCall,
        Error
    };
    Q_ENUM(TrayState)

    // Loads the address book and the call log, watches their files for other programs' changes,
    // and reads the own area code.
    TfrmStart(Settings &settings, AddressBook &addressBook, CallLog &callLog, QWidget *parent = nullptr);
    ~TfrmStart() override;

    // The windows the controller works with; set before Startup.
    void setOptionsWindow(TfrmOptions *options);
    // The speech window: the announcements go through it, and start-up prepares its engines.
    void setSpeechWindow(TfrmSpeech *speech);
    void setNewCallMessage(TfrmNewCallMessage *message);
    void setIncomingCallWindow(TfrmIncomingCall *window);
    void setAboutWindow(TfrmAbout *about);
    // The main window's page opener (0 address book, 1 calls). Until one is set, the tray's
    // address book and calls items are disabled.
    void setMainWindowOpener(std::function<void(int page)> opener);
    // The save dialog of the exports: title, folder, suggested name, filter; empty on cancel.
    using SaveFileFn = std::function<QString(const QString &title, const QString &folder, const QString &name,
                                             const QString &filter)>;
    void setSaveFileDialog(SaveFileFn fn) { m_saveFileDialog = std::move(fn); }
    // The contact editor for a caller not in the address book (name, number), as the call
    // list's add opens it; the desktop notification's "Dodaj u adresar" calls it.
    void setAddToAddressbook(std::function<void(const QString &, const QString &)> fn)
    {
        m_addToAddressbook = std::move(fn);
    }

    // The start-up steps after the windows exist: settings, device check, CAPI availability,
    // monitoring, and the messages for a missing device.
    void Startup();

    // The line's state; the controller alone changes it.
    LineState &line() const;

    // Tray: the picture of the line's state, or the blink frame of the animation.
    void SetTrayState(TrayState state);
    TrayState trayState() const { return m_trayState; }
    QString toolTip() const { return m_toolTip; }
    static QIcon trayIcon(TrayState state);
    // True when the desktop has a notification area; otherwise a small window stands in for it.
    static bool trayAvailable();

    // Monitoring
    void StartMonitoring();
    void StopMonitoring();
    // Rejects the call in progress through the line ("Odbij!").
    void RejectCurrentCall();

    // The calls of the monitored line, and the rules applied to them.
    CallMonitor &calls() const { return *m_calls; }
    // Back to 0 (the calls have been seen) the new-call indicators stop.
    void setNewCallCount(int count);
    void SetTrayStateNewCall();
    TfrmIncomingCall &IncomingCallWindow();
    TfrmNewCallMessage &NewCallMessageWindow();
    // Through the speech window; silent without one.
    void SpeakText(const QString &text, bool ignoreSoundSwitch);

    // The tray switches, held by the settings object; the menu items show them.
    void SetMonitorMenu(bool on, bool enabled);
    bool IsMonitoringOn() const;
    void SetSoundMenu(bool on);
    bool IsSoundOn() const;
    void SetDoNotDisturbMenu(bool on);
    bool IsDoNotDisturbOn() const;
    void SetAutoRejectMenu(bool on);
    bool IsAutoRejectOn() const;

    void ShowMainWindowPage(int page);

    // The end of the session: back up the data files (when BackupRecords is set) and prune the
    // call log. Failures are reported to the warning log only: nobody is there to read a box.
    void BackupAndPrune();

    // Handlers
    void miMonitorCallsClick();
    void miEnableSoundClick();
    void miDoNotDisturbClick();
    void miAutoHangUpClick();
    void miOptionsClick();
    void miAboutClick();
    void miCloseClick();
    void miExportToCSVClick();
    void miExportToXMLClick();
    void TrayTimerTimer();
    void TrayIconClick();

    int TrayBlinkPhase = 0;
    int ConnectionImage = 0;

    // Components, created with the window.
    QSystemTrayIcon *TrayIcon = nullptr;
    QMenu *pmTrayIcon = nullptr;
    // The popup menus the main window borrows.
    MainWindowMenus mainMenus;
    QTimer *TrayTimer = nullptr;
    QTimer *watchTimer = nullptr;
    TCapiInfo *capiInfo = nullptr;

    QAction *miAddressbook = nullptr;
    QAction *miCalls = nullptr;
    QAction *miMonitorCalls = nullptr;
    QAction *miEnableSound = nullptr;
    QAction *miDoNotDisturb = nullptr;
    QAction *miAutoHangUp = nullptr;
    QAction *miOptions = nullptr;
    QAction *miAbout = nullptr;
    QAction *miClose = nullptr;

    TrayFallbackWindow *fallbackWindow() const { return m_fallback; }
    Settings &settings() const { return m_settings; }

signals:
    void trayStateChanged(TfrmStart::TrayState state);
    // The main window's new-calls label and its indicators.
    void newCallsTextChanged(const QString &text);
    void callsIndicatorChanged(int callsBlinkPhase);
    // The call windows load their caption bitmaps for this language (0 English, 1 Croatian).
    void languageBitmapsRequested(int languageIndex);
    // Page 1 of the main window was opened: the new call notice closes.
    void callsPageShown();

private slots:
    // An X11 tray manager came or went: Qt docks its icon again by itself, the stand-in follows.
    void xembedTrayChanged();

private:
    void createMenus();
    QAction *addSwitch(QMenu *menu, const char *name, const QString &caption);
    static void showSwitch(QAction *item, bool on);
    void showSwitches();

    static TrayState trayStateFor(LineState::State state);
    void paintTray();

    bool askForRules(const QString &caption, const QString &text, int optionsPage);
    // A call rang: the new-call count, the tray and the Scroll Lock light.
    void callCounted();
    // Shows the monitor's calls in the call windows once both exist.
    void connectCallWindows();
    int openOptions(int page);
    void exportContacts(bool csv);

    void onLoadedSettingsApplied();
    void onSavedSettingsApplied(bool deviceChanged);

    // A failed load or save shown as "Greška".
    void showFailure(const StoreResult &result);

    // A notification area's watcher came onto the session bus or left it, after start.
    void trayHostChanged(bool present);

    Settings &m_settings;
    AddressBook &m_book;
    CallLog &m_log;
    CallMonitor *m_calls = nullptr;
    LineMonitor *m_lineMonitor = nullptr;
    LineState *m_line = nullptr;
    NewCallIndicators *m_newCalls = nullptr;
    bool m_callWindowsConnected = false;
    QPointer<TfrmOptions> m_options;
    QPointer<TfrmSpeech> m_speech;
    QPointer<TfrmNewCallMessage> m_newCallMessage;
    QPointer<TfrmIncomingCall> m_incomingCall;
    QPointer<TfrmAbout> m_about;
    TrayFallbackWindow *m_fallback = nullptr;
    // The tray icon offered to a watcher that came later; null while Qt's icon serves the tray.
    StatusNotifierItem *m_lateTray = nullptr;
    bool m_lateTrayRegistered = false;
    bool m_trayFromStart = true;
    bool m_started = false;
    std::function<void(int)> m_openMainWindow;
    SaveFileFn m_saveFileDialog;
    CallNotifier *m_notifier = nullptr;
    std::function<void(const QString &, const QString &)> m_addToAddressbook;

    TrayState m_trayState = TrayState::NotActive;
    QString m_toolTip;
};
