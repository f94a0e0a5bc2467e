#include "telephony/ModemDevice.h"

#include "telephony/SerialPort.h"

#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace telephony {

namespace {

// Modems differ in the command that turns caller ID on; the first one accepted is kept.
const QByteArray kCallerIdCommands[] = {"AT+VCID=1", "AT#CID=1", "AT%CCID=1"};
constexpr int kMaxReadsPerWakeup = 16;

void later(QObject *context, std::function<void()> f)
{
    QTimer::singleShot(0, context, std::move(f));
}

} // namespace

ModemDevice::ModemDevice(QString portPath, QByteArray name, QByteArray info, const ModemConfig &config)
    : m_portPath(std::move(portPath)), m_name(std::move(name)), m_info(std::move(info)), m_config(config)
{
    m_commandTimer.setSingleShot(true);
    m_ringTimer.setSingleShot(true);
    m_settleTimer.setSingleShot(true);
    connect(&m_commandTimer, &QTimer::timeout, this, [this] { finishCommand(Final::Timeout); });
    connect(&m_ringTimer, &QTimer::timeout, this, &ModemDevice::endCall);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        if (m_callId && !m_cidDelivered && m_record.hasParty())
            deliverCallerId();
        else if (!m_callId)
            m_record.clear(); // a date and time that no number followed
    });
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &ModemDevice::keepAlive);
}

ModemDevice::~ModemDevice()
{
    delete m_notifier;
    serial::closePort(m_fd);
}

DWORD ModemDevice::callerIdCaps() const
{
    return LINECALLPARTYID_BLOCKED | LINECALLPARTYID_OUTOFAREA | LINECALLPARTYID_NAME |
           LINECALLPARTYID_ADDRESS | LINECALLPARTYID_UNKNOWN;
}

bool ModemDevice::startMonitoring()
{
    if (m_fd >= 0)
        return true;
    m_fd = serial::openPort(m_portPath, m_config.baudRate);
    if (m_fd < 0)
        return false;
    m_parser.reset();
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ModemDevice::readPort);
    initialise();
    if (m_config.keepAliveMs > 0)
        m_keepAliveTimer.start(m_config.keepAliveMs);
    return true;
}

void ModemDevice::stopMonitoring()
{
    if (m_fd < 0)
        return;
    // Closing must not leave the line off-hook (busy for every later caller) after an answer.
    if (m_callId && m_callState == LINECALLSTATE_CONNECTED)
        serial::writeAll(m_fd, "ATH0\r", m_config.commandTimeoutMs);
    m_keepAliveTimer.stop();
    m_commandTimer.stop();
    m_ringTimer.stop();
    m_settleTimer.stop();
    delete m_notifier;
    m_notifier = nullptr;
    serial::closePort(m_fd);
    m_fd = -1;
    const QQueue<Command> pending = std::exchange(m_queue, {});
    m_waiting = false;
    m_callId = 0;
    m_record.clear();
    for (const Command &c : pending) {
        if (c.done)
            c.done(Final::Timeout);
    }
}

void ModemDevice::initialise()
{
    // Every reset makes the modem forget caller ID, so it is always followed by the command.
    // The reset loads the modem's stored profile, which may keep it quiet (Q1) or slow to come
    // back: no answer to it is no loss. The next line sets the answers that everything after needs.
    send("ATZ", nullptr, true);
    send("ATE1 V1 Q0 S0=0", [this](Final r) {
        if (r != Final::Timeout)
            enableCallerId(0);
    });
}

void ModemDevice::enableCallerId(int attempt)
{
    if (attempt >= int(std::size(kCallerIdCommands))) {
        m_cidCommand.clear();
        return;
    }
    send(kCallerIdCommands[attempt], [this, attempt](Final r) {
        if (r == Final::Ok)
            m_cidCommand = kCallerIdCommands[attempt];
        else if (r == Final::Error)
            enableCallerId(attempt + 1);
    });
}

void ModemDevice::send(const QByteArray &command, std::function<void(Final)> done, bool maySilence)
{
    if (m_fd < 0) {
        if (done)
            done(Final::Timeout);
        return;
    }
    m_queue.enqueue({command, std::move(done), maySilence});
    if (!m_waiting)
        sendNext();
}

void ModemDevice::sendNext()
{
    if (m_fd < 0 || m_waiting || m_queue.isEmpty())
        return;
    if (!serial::writeAll(m_fd, m_queue.head().text + '\r', m_config.commandTimeoutMs)) {
        lose();
        return;
    }
    m_waiting = true;
    m_commandTimer.start(m_config.commandTimeoutMs);
}

void ModemDevice::finishCommand(Final result)
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_commandTimer.stop();
    const Command command = m_queue.dequeue();
    if (result == Final::Timeout && !command.maySilence) {
        // A modem that does not answer a command is gone, whatever the port says.
        if (command.done)
            command.done(result);
        lose();
        return;
    }
    if (command.done)
        command.done(result);
    sendNext();
}

void ModemDevice::readPort()
{
    for (int i = 0; i < kMaxReadsPerWakeup && m_fd >= 0; ++i) {
        char buf[4096];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            m_parser.feed(QByteArrayView(buf, n), [this](const ModemLine &line) { handleLine(line); });
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        // 0 is a hung-up port (unplugged); EIO is a pseudo-terminal whose other side closed.
        lose();
        return;
    }
}

void ModemDevice::handleLine(const ModemLine &line)
{
    if (m_fd < 0)
        return;
    switch (line.kind) {
    case ModemLine::Ok:
        finishCommand(Final::Ok);
        break;
    case ModemLine::Error:
        finishCommand(Final::Error);
        break;
    case ModemLine::Ring:
        ring();
        break;
    case ModemLine::NoCarrier:
        if (m_callId && m_callState == LINECALLSTATE_CONNECTED)
            endCall();
        break;
    case ModemLine::CallerId:
        callerLine(line.key, line.value);
        break;
    case ModemLine::Echo:
    case ModemLine::Text:
        break;
    }
}

void ModemDevice::lose()
{
    if (m_fd < 0)
        return;
    stopMonitoring();
    emit deviceLost();
}

void ModemDevice::beginCall()
{
    // The record is kept: its date and time may have come before the number that began the call.
    m_callId = ++m_callCounter;
    m_callState = LINECALLSTATE_OFFERING;
    m_cidDelivered = false;
    m_dataCallId = m_callId;
    m_callData = CallData();
    m_ringTimer.start(m_config.ringTimeoutMs);
    emit callStateChanged(m_callId, LINECALLSTATE_OFFERING, LINEOFFERINGMODE_ACTIVE);
}

void ModemDevice::ring()
{
    if (!m_callId)
        beginCall();
    if (m_callState == LINECALLSTATE_OFFERING)
        m_ringTimer.start(m_config.ringTimeoutMs);
}

void ModemDevice::callerLine(const QByteArray &key, const QByteArray &value)
{
    if (m_callId && (m_callState != LINECALLSTATE_OFFERING || m_cidDelivered))
        return;
    m_record.add(key, value);
    if (!m_callId) {
        // Caller ID before the first ring (Europe) starts the call, so OFFERING still comes
        // first; but only a number or a name does, never a date and time alone.
        if (!m_record.hasParty()) {
            m_settleTimer.start(m_config.settleTimeMs);
            return;
        }
        beginCall();
    }
    m_ringTimer.start(m_config.ringTimeoutMs);
    if (m_record.isComplete())
        deliverCallerId();
    else
        m_settleTimer.start(m_config.settleTimeMs);
}

void ModemDevice::deliverCallerId()
{
    m_settleTimer.stop();
    m_cidDelivered = true;
    m_callData.callerIdFlags = m_record.callerIdFlags();
    m_callData.callerId = m_record.number();
    m_callData.callerIdName = m_record.name();
    m_callData.display = m_record.rawText();
    emit callInfoChanged(m_callId, LINECALLINFOSTATE_CALLERID);
}

void ModemDevice::endCall()
{
    if (!m_callId)
        return;
    if (!m_cidDelivered && m_record.hasParty())
        deliverCallerId();
    m_ringTimer.stop();
    m_settleTimer.stop();
    m_record.clear();
    const int id = m_callId;
    m_callId = 0;
    m_callState = LINECALLSTATE_IDLE;
    emit callStateChanged(id, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
    emit callStateChanged(id, LINECALLSTATE_IDLE, 0);
}

void ModemDevice::keepAlive()
{
    if (m_fd >= 0 && !m_callId && !m_waiting && m_queue.isEmpty())
        send("AT", nullptr);
}

void ModemDevice::answerCall(int callId, Done done)
{
    if (callId != m_callId || m_callState != LINECALLSTATE_OFFERING) {
        later(this, [done] { done(LONG(LINEERR_INVALCALLSTATE)); });
        return;
    }
    send("ATH1", [this, callId, done](Final r) {
        if (r == Final::Ok && callId == m_callId) {
            m_callState = LINECALLSTATE_CONNECTED;
            m_ringTimer.stop();
            emit callStateChanged(callId, LINECALLSTATE_CONNECTED, LINECONNECTEDMODE_ACTIVE);
        }
        done(r == Final::Ok ? 0 : LONG(LINEERR_OPERATIONFAILED));
    });
}

void ModemDevice::dropCall(int callId, Done done)
{
    if (callId != m_callId) {
        later(this, [done] { done(LONG(LINEERR_INVALCALLSTATE)); });
        return;
    }
    send("ATH0", [this, callId, done](Final r) {
        if (r != Final::Timeout && callId == m_callId)
            endCall();
        done(r == Final::Ok ? 0 : LONG(LINEERR_OPERATIONFAILED));
    });
}

CallData ModemDevice::callData(int callId) const
{
    return callId == m_dataCallId ? m_callData : CallData();
}

} // namespace telephony
