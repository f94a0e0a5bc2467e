#pragma once

#include "app/LineState.h"
#include "settings/Settings.h"
#include "ui/TfrmMain.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class AddressBook;
class CallMonitor;
class CallNotifier;
class CallLog;
class LineMonitor;
class NewCallIndicators;
class QTimer;
class TCapiInfo;
class TfrmAbout;
class TfrmIncomingCall;
class TfrmNewCallMessage;
class TfrmOptions;
class TfrmSpeech;
class TrayController;
struct StoreResult;

// The hidden controller. It owns the tray, the new-call indicators, the popup menus of the main
// window, the call monitor with the line monitor that opens its line, and the CAPI information
// component; it loads the address book and the call log and watches their files; it carries out
// the tray's commands. The tray's switches live in the settings object. The window itself is
// never shown.
class TfrmStart : public QWidget
{
    Q_OBJECT

public:
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

    // The line's state; the line monitor alone changes it.
    LineState &line() const;
    // The calls of the monitored line, and the rules applied to them.
    CallMonitor &calls() const { return *m_calls; }
    // The popup menus the main window borrows.
    const MainWindowMenus &mainWindowMenus() const { return m_mainMenus; }

    // True when the desktop has a notification area; otherwise a small window stands in for it.
    static bool trayAvailable();
    // The welcome the program says at start: the user's own text, or the built-in one in the
    // language of the texts.
    static QString welcomeText(const Settings &settings);

    // Back to 0 (the calls have been seen) the new-call indicators stop.
    void setNewCallCount(int count);
    // The calls the user has not seen yet: the call log's new calls, the one count every text
    // and indicator shows.
    int freshCallCount() const;
    void ShowMainWindowPage(int page);
    void miOptionsClick();

    // The end of the session: back up the data files (when BackupRecords is set) and prune the
    // call log. Failures are reported to the warning log only: nobody is there to read a box.
    void BackupAndPrune();

signals:
    // The main window's new-calls label and its indicators.
    void newCallsTextChanged(const QString &text);
    void callsIndicatorChanged(int callsBlinkPhase);
    // The call windows load their caption bitmaps for this language (0 English, 1 Croatian).
    void languageBitmapsRequested(int languageIndex);
    // Page 1 of the main window was opened: the new call notice closes.
    void callsPageShown();

private:
    void createTray();
    // Rejects the call in progress through the line ("Odbij!").
    void RejectCurrentCall();
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

    // Tray and menu commands
    void miMonitorCallsClick();
    void miEnableSoundClick();
    void miDoNotDisturbClick();
    void miAutoHangUpClick();
    void miAboutClick();
    void miExportToCSVClick();
    void miExportToXMLClick();

    // A click on the icon: the main window, on the calls while there are new ones.
    void trayIconClick();
    // The blink is back from its frame: the line's state as the line monitor sees it.
    void blinkedBack();

    bool askForRules(const QString &caption, const QString &text, int optionsPage);
    // A call rang: the new-call count, the tray and the Scroll Lock light.
    void callCounted();
    // Shows the monitor's calls in the call windows once both exist.
    void connectCallWindows();
    int openOptions(int page);
    void exportContacts(bool csv);

    void onLoadedSettingsApplied();
    void onSavedSettingsApplied(bool deviceChanged);

    // A failed load or save shown as "Greška". A damaged data file's load asks whether to go on
    // with its readable records; ANSWERDAMAGED takes the answer to its owner.
    void showFailure(const StoreResult &result, const std::function<void(bool)> &answerDamaged = {});

    Settings &m_settings;
    AddressBook &m_book;
    CallLog &m_log;
    MainWindowMenus m_mainMenus;
    QTimer *m_watchTimer = nullptr;
    TCapiInfo *m_capiInfo = nullptr;
    CallMonitor *m_calls = nullptr;
    LineMonitor *m_lineMonitor = nullptr;
    LineState *m_line = nullptr;
    NewCallIndicators *m_newCalls = nullptr;
    TrayController *m_tray = nullptr;
    bool m_callWindowsConnected = false;
    QPointer<TfrmOptions> m_options;
    QPointer<TfrmSpeech> m_speech;
    QPointer<TfrmNewCallMessage> m_newCallMessage;
    QPointer<TfrmIncomingCall> m_incomingCall;
    QPointer<TfrmAbout> m_about;
    std::function<void(int)> m_openMainWindow;
    SaveFileFn m_saveFileDialog;
    CallNotifier *m_notifier = nullptr;
    std::function<void(const QString &, const QString &)> m_addToAddressbook;
};
