#include "app/LineMonitor.h"
#include "app/CallMonitor.h"
#include "settings/Settings.h"
#include "telephony/CallSources.h"

#include <QTimer>

namespace {

// A lost line is tried again after 2 s, then after twice as long each time, up to a minute,
// unless the line itself asks to be tried more often (a network line).
constexpr int kFirstRetry = 2000;
constexpr int kLastRetry = 60000;

telephony::DeviceKind chosenKind(const Settings &settings)
{
    return settings.number(Settings::DeviceType) == Settings::kModem ? telephony::DeviceKind::Modem
                                                                     : telephony::DeviceKind::Isdn;
}

} // namespace

LineMonitor::LineMonitor(Settings &settings, CallMonitor &calls, std::function<bool()> newCallsPending,
                         QObject *parent)
    : QObject(parent), m_settings(settings), m_calls(calls), m_newCallsPending(std::move(newCallsPending)),
      m_retryDelay(kFirstRetry)
{
    setObjectName(QStringLiteral("lineMonitor"));
    m_state = new LineState(this);
    m_retryTimer = new QTimer(this);
    m_retryTimer->setObjectName(QStringLiteral("retryTimer"));
    m_retryTimer->setSingleShot(true);
    connect(m_retryTimer, &QTimer::timeout, this, &LineMonitor::retry);
    connect(&m_calls, &CallMonitor::lineLost, this, &LineMonitor::lineLost);
}

bool LineMonitor::findDevice()
{
    const QString name = m_settings.currentDeviceName();
    m_deviceFound = !name.isEmpty() && telephony::FindLine(chosenKind(m_settings), name).has_value();
    return m_deviceFound;
}

bool LineMonitor::active() const
{
    return m_calls.source() && m_calls.source()->isMonitoring();
}

void LineMonitor::start()
{
    if (!m_settings.monitorCalls() || !m_settings.monitorCallsEnabled() ||
        m_settings.currentDeviceName().isEmpty() || !m_deviceFound)
        return;
    if (telephony::CallSource *lost = m_calls.source())
        m_failed = !lost->start(); // a network line takes the connection its server answered on
    else
        openLine();

    if (active()) {
        m_retryDelay = kFirstRetry;
        showOpen();
        emit monitoringStarted();
    } else {
        emit monitoringStopped();
        m_state->setState(m_failed ? LineState::Error : LineState::Off);
        if (m_failed)
            scheduleRetry();
    }
}

void LineMonitor::stop()
{
    m_calls.setSource(nullptr);
    m_failed = false;
    emit monitoringStopped();
    m_retryTimer->stop();
    m_state->setState(LineState::Off);
}

void LineMonitor::openLine()
{
    const std::optional<telephony::LineInfo> line =
        telephony::FindLine(chosenKind(m_settings), m_settings.currentDeviceName());
    m_calls.setSource(
        line ? telephony::CreateCallSource(*line, m_settings.number(Settings::AutoCloseCIDValue)) : nullptr);
    m_failed = !m_calls.source() || !m_calls.source()->start();
}

void LineMonitor::lineLost()
{
    // A line that died must not look monitored, not even between two animation frames. It is
    // tried again until it answers, as long as monitoring stays on.
    m_failed = true;
    emit monitoringStopped();
    m_state->setState(LineState::Error);
    if (m_settings.monitorCalls())
        scheduleRetry();
}

void LineMonitor::scheduleRetry()
{
    if (m_retryTimer->isActive())
        return;
    if (const int interval = m_calls.source() ? m_calls.source()->retryIntervalMs() : 0) {
        m_retryTimer->start(interval);
        return;
    }
    m_retryTimer->start(m_retryDelay);
    m_retryDelay = qMin(2 * m_retryDelay, kLastRetry);
}

void LineMonitor::retry()
{
    if (!m_settings.monitorCalls() || (active() && !m_failed))
        return;
    start();
}

void LineMonitor::showOpen()
{
    m_state->setState(m_newCallsPending() ? LineState::NewCall : LineState::Monitoring);
}

void LineMonitor::showState(bool optionsOpen)
{
    if (!m_deviceFound)
        m_state->setState(LineState::NoDevice);
    else if (m_failed && !optionsOpen)
        m_state->setState(LineState::Error);
    else
        showOpen();
}

void LineMonitor::showNewCalls(bool pending)
{
    if (pending)
        m_state->setState(LineState::NewCall);
    else if (m_state->state() == LineState::NewCall)
        m_state->setState(LineState::Monitoring);
}

void LineMonitor::showNoDevice()
{
    m_settings.setMonitorCalls(false, false);
    emit monitoringStopped();
    m_state->setState(LineState::NoDevice);
}

void LineMonitor::settingsLoaded()
{
    if (m_settings.currentDeviceName().isEmpty() || !m_deviceFound)
        showNoDevice();
    else
        m_settings.setMonitorCalls(m_settings.monitorCalls(), true);
}

void LineMonitor::settingsSaved(bool deviceChanged)
{
    if (m_settings.currentDeviceName().isEmpty()) {
        stop();
        showNoDevice();
        return;
    }
    // The options window listed the lines present a moment ago; the one saved is taken as found.
    m_deviceFound = true;
    m_settings.setMonitorCalls(m_settings.monitorCalls(), true);
    if (!m_settings.monitorCalls()) {
        m_state->setState(LineState::Off);
    } else if (deviceChanged) {
        stop();
        start();
    } else if (active()) {
        showOpen();
    } else {
        // The switch is on but the line is not open: saying "monitoring" would be a lie.
        m_state->setState(LineState::Error);
    }
}
