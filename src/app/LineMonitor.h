#pragma once

#include "app/LineState.h"

#include <QObject>

#include <functional>

class CallMonitor;
class QTimer;
class Settings;

// Opens the line the settings name (device type and device name) as the call monitor's source,
// closes it, and opens a lost line again until it answers. It decides the line's state from the
// settings and the source alone.
class LineMonitor : public QObject
{
    Q_OBJECT

public:
    // newCallsPending: whether the user has calls not seen yet; a line that opens shows them.
    LineMonitor(Settings &settings, CallMonitor &calls, std::function<bool()> newCallsPending,
                QObject *parent = nullptr);

    LineState &state() const { return *m_state; }

    // Looks for the line the settings name among the lines present now.
    bool findDevice();
    bool deviceFound() const { return m_deviceFound; }
    // The latest open of the line failed, or the open line was lost.
    bool failed() const { return m_failed; }
    bool active() const;

    // Opens the line when monitoring is on and the chosen device is there; a line that does
    // not open is tried again.
    void start();
    // The line goes off whatever the device list shows: switching off needs no device.
    void stop();

    // The line's state looked at again (by the tray's blink). While the options window is open
    // the device may be half chosen; a failed line is not shown as an error then.
    void showState(bool optionsOpen);

    // A call was counted (pending), or the new calls were seen: the line shows them, or stops.
    void showNewCalls(bool pending);

    // The options window showed the stored settings, or saved its own.
    void settingsLoaded();
    void settingsSaved(bool deviceChanged);

signals:
    // The line is being watched now; the tray may animate.
    void monitoringStarted();
    // The line is not watched now (off, not opened or lost); the tray stops animating.
    void monitoringStopped();

private:
    void openLine();
    void lineLost();
    void scheduleRetry();
    void retry();
    void showOpen();
    void showNoDevice();

    Settings &m_settings;
    CallMonitor &m_calls;
    std::function<bool()> m_newCallsPending;
    LineState *m_state = nullptr;
    QTimer *m_retryTimer = nullptr;
    int m_retryDelay;
    bool m_failed = false;
    bool m_deviceFound = false;
};
