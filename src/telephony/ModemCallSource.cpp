#include "telephony/ModemCallSource.h"

#include "telephony/ModemProvider.h"
#include "telephony/SerialPort.h"

#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace telephony {

namespace {

// Modems differ in the command that turns caller ID on; the first one accepted is kept.
const QByteArray kCallerIdCommands[] = {"AT+VCID=1", "AT#CID=1", "AT%CCID=1"};
constexpr int kMaxReadsPerWakeup = 16;

// Every modem source of the process, so listing the lines leaves the ports they hold alone.
QList<ModemCallSource *> &liveSources()
{
    static QList<ModemCallSource *> sources;
    return sources;
}

} // namespace

ModemCallSource::ModemCallSource(LineInfo line, const ModemConfig &config, QObject *parent)
    : CallSource(parent), m_line(std::move(line)), m_config(config)
{
    m_commandTimer.setSingleShot(true);
    m_ringTimer.setSingleShot(true);
    m_settleTimer.setSingleShot(true);
    connect(&m_commandTimer, &QTimer::timeout, this, [this] { finishCommand(Final::Timeout); });
    connect(&m_ringTimer, &QTimer::timeout, this, &ModemCallSource::endCall);
    connect(&m_settleTimer, &QTimer::timeout, this, [this] {
        if (m_callId && !m_cidDelivered && m_record.hasParty())
            deliverCallerId();
        else if (!m_callId)
            m_record.clear(); // a date and time that no number followed
    });
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &ModemCallSource::keepAlive);
    liveSources().append(this);
}

ModemCallSource::~ModemCallSource()
{
    liveSources().removeOne(this);
    stop();
}

QList<LineInfo> ModemCallSource::lines()
{
    static ModemProvider provider; // remembers the silent ports between listings
    return provider.lines();
}

std::unique_ptr<CallSource> ModemCallSource::create(const LineInfo &line, int)
{
    return std::make_unique<ModemCallSource>(line, ModemConfig::load());
}

const ModemCallSource *ModemCallSource::holding(const QString &canonicalPort)
{
    for (const ModemCallSource *source : std::as_const(liveSources())) {
        if (source->isMonitoring() && QFileInfo(source->m_line.port).canonicalFilePath() == canonicalPort)
            return source;
    }
    return nullptr;
}

bool ModemCallSource::start()
{
    if (m_fd >= 0)
        return true;
    m_fd = serial::openPort(m_line.port, m_config.baudRate);
    if (m_fd < 0)
        return false;
    m_parser.reset();
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ModemCallSource::readPort);
    // A modem lost this early is no line; nobody hears of it from inside the start.
    m_starting = true;
    initialise();
    m_starting = false;
    if (m_fd >= 0 && m_config.keepAliveMs > 0)
        m_keepAliveTimer.start(m_config.keepAliveMs);
    return m_fd >= 0;
}

void ModemCallSource::stop()
{
    if (m_fd < 0)
        return;
    // Closing must not leave the line off-hook (busy for every later caller) after an answer.
    if (m_callId && m_callState == CallState::Answered)
        serial::writeAll(m_fd, "ATH0\r", m_config.commandTimeoutMs);
    ++m_generation;
    m_keepAliveTimer.stop();
    m_commandTimer.stop();
    m_ringTimer.stop();
    m_settleTimer.stop();
    // Stopping may come from a handler of a call's signal, inside the notifier's own signal.
    m_notifier->setEnabled(false);
    m_notifier->deleteLater();
    m_notifier = nullptr;
    serial::closePort(m_fd);
    m_fd = -1;
    const QQueue<Command> pending = std::exchange(m_queue, {});
    m_waiting = false;
    const bool inCall = std::exchange(m_callId, 0) != 0;
    m_callState = CallState::Idle;
    m_record.clear();
    for (const Command &c : pending) {
        if (c.done)
            c.done(Final::Timeout);
    }
    if (inCall)
        emit callEnded();
}

void ModemCallSource::initialise()
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

void ModemCallSource::enableCallerId(int attempt)
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

void ModemCallSource::send(const QByteArray &command, std::function<void(Final)> done, bool maySilence)
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

void ModemCallSource::sendNext()
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

void ModemCallSource::finishCommand(Final result)
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

void ModemCallSource::readPort()
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

void ModemCallSource::handleLine(const ModemLine &line)
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
        if (m_callId && m_callState == CallState::Answered)
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

void ModemCallSource::lose()
{
    if (m_fd < 0)
        return;
    stop();
    if (!m_starting)
        emit lineLost();
}

void ModemCallSource::beginCall()
{
    // The record is kept: its date and time may have come before the number that began the call.
    m_callId = ++m_callCounter;
    m_callState = CallState::Offered;
    m_cidDelivered = false;
    m_ringTimer.start(m_config.ringTimeoutMs);
    emit callOffered();
}

void ModemCallSource::ring()
{
    if (!m_callId)
        beginCall();
    if (m_callState == CallState::Offered)
        m_ringTimer.start(m_config.ringTimeoutMs);
}

void ModemCallSource::callerLine(const QByteArray &key, const QByteArray &value)
{
    if (m_callId && (m_callState != CallState::Offered || m_cidDelivered))
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

void ModemCallSource::deliverCallerId()
{
    m_settleTimer.stop();
    m_cidDelivered = true;
    emit callerKnown(m_record.callerId());
}

void ModemCallSource::endCall()
{
    if (!m_callId)
        return;
    if (!m_cidDelivered && m_record.hasParty())
        deliverCallerId();
    m_ringTimer.stop();
    m_settleTimer.stop();
    m_record.clear();
    m_callId = 0;
    m_callState = CallState::Idle;
    emit callEnded();
}

void ModemCallSource::keepAlive()
{
    if (m_fd >= 0 && !m_callId && !m_waiting && m_queue.isEmpty())
        send("AT", nullptr);
}

void ModemCallSource::reject()
{
    if (!m_callId || m_callState != CallState::Offered)
        return;
    const int callId = m_callId;
    send("ATH1", [this, callId](Final r) {
        if (r != Final::Ok)
            return;
        if (callId == m_callId) {
            m_callState = CallState::Answered;
            m_ringTimer.stop();
        } else {
            send("ATH0", nullptr); // the call ended before the answer: the line goes back on hook
        }
    });
    // A timer instead of a nested message loop: the program stays responsive, and the hang-up
    // goes to the call that is current when the time is up. A precise timer: a coarse one may
    // fire up to 5 % early.
    const unsigned generation = m_generation;
    QTimer::singleShot(kRejectHoldMs, Qt::PreciseTimer, this, [this, generation] {
        if (generation == m_generation && m_callId)
            hangUp();
    });
}

void ModemCallSource::hangUp()
{
    const int callId = m_callId;
    send("ATH0", [this, callId](Final r) {
        if (r != Final::Timeout && callId == m_callId)
            endCall();
    });
}

} // namespace telephony
