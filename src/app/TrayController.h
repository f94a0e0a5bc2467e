#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

class LineState;
class NewCallIndicators;
class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class Settings;
class StatusNotifierItem;
class TrayFallbackWindow;

// The program on the desktop: Qt's tray icon, our StatusNotifierItem for a notification area
// that came after the start, or a stand-in window where there is none; the tray menu with its
// switches; the icon's blink. It shows the line's state and the new calls, and passes on what
// the user chooses as signals. The switches live in the settings object; the items show them.
class TrayController : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        NotActive,
        Active,
        ActiveMonitor,
        NewCall,
        Error
    };
    Q_ENUM(State)

    // parent: the hidden controller window; the menu is its child too.
    TrayController(Settings &settings, const LineState &line, NewCallIndicators &newCalls, QWidget *parent);
    ~TrayController() override;

    static QIcon icon(State state);
    // True when the desktop has a notification area; otherwise a small window stands in for it.
    static bool available();

    State state() const { return m_state; }
    QString toolTip() const { return m_toolTip; }
    QRect iconGeometry() const;
    QMenu *menu() const { return m_menu; }
    TrayFallbackWindow *fallbackWindow() const { return m_fallback; }

    // The picture of the line's state; again when the count of new calls changed.
    void paint();
    // The address book and calls items, which need a main window to open.
    void setWindowItemsEnabled(bool enabled);
    // The icon blinks while the line is watched, when the settings ask for it.
    void setBlinking(bool on);
    // One frame of the blink: the "active" picture, then the line's state again.
    void blink();
    // The start has decided what the desktop offers; from now on the program stays reachable
    // whatever comes and goes.
    void started();

signals:
    void stateChanged(TrayController::State state);
    // The blink is back from its "active" frame: the line's state may be looked at again.
    void blinkedBack();
    void iconClicked();
    // 0 the address book, 1 the calls.
    void pageRequested(int page);
    void monitorCallsToggled();
    void soundToggled();
    void doNotDisturbToggled();
    void autoRejectToggled();
    void optionsRequested();
    void aboutRequested();

private slots:
    // An X11 tray manager came or went: Qt docks its icon again by itself, the stand-in follows.
    void xembedTrayChanged();

private:
    void createMenu(QWidget *owner);
    QAction *addSwitch(const char *name, const QString &caption);
    static void showSwitch(QAction *item, bool on);
    void showSwitches();
    void show(State state);
    // A notification area's watcher came onto the session bus or left it, after start.
    void trayHostChanged(bool present);

    Settings &m_settings;
    const LineState &m_line;
    NewCallIndicators &m_newCalls;
    QSystemTrayIcon *m_icon = nullptr;
    QMenu *m_menu = nullptr;
    QAction *m_addressbookItem = nullptr;
    QAction *m_callsItem = nullptr;
    QAction *m_monitorCallsItem = nullptr;
    QAction *m_soundItem = nullptr;
    QAction *m_doNotDisturbItem = nullptr;
    QAction *m_autoRejectItem = nullptr;
    QTimer *m_blinkTimer = nullptr;
    bool m_blinkFrame = false;
    TrayFallbackWindow *m_fallback = nullptr;
    // The tray icon offered to a watcher that came later; null while Qt's icon serves the tray.
    StatusNotifierItem *m_lateTray = nullptr;
    bool m_lateTrayRegistered = false;
    bool m_trayFromStart = true;
    bool m_started = false;
    State m_state = State::NotActive;
    QString m_toolTip;
};
