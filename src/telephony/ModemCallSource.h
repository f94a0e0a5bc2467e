#pragma once

#include "telephony/CallSources.h"
#include "telephony/ModemConfig.h"
#include "telephony/ModemLineParser.h"

#include <QQueue>
#include <QTimer>

#include <functional>

class QSocketNotifier;

namespace telephony {

// A caller-ID modem on a serial port. Sends the initialisation, turns caller ID on, follows RING
// and the caller records: a call is offered at the first ring or caller line, its caller is
// known when the record is complete (or has settled), and it ends when the rings stop. A modem
// that stops answering is lost.
class ModemCallSource : public CallSource
{
    Q_OBJECT
public:
    ModemCallSource(LineInfo line, const ModemConfig &config, QObject *parent = nullptr);
    ~ModemCallSource() override;

    bool start() override;
    void stop() override;
    bool isMonitoring() const override { return m_fd >= 0; }
    bool canReject() const override { return true; }
    // Answers the ringing call, holds it for kRejectHoldMs, then hangs up the call that is
    // current then.
    void reject() override;

    const LineInfo &line() const { return m_line; }

    // The modem lines present now (the modem line type).
    static QList<LineInfo> lines();
    static std::unique_ptr<CallSource> create(const LineInfo &line, int rejectTimeOutSeconds);
    // The running source that holds the port (canonical path) open, if any.
    static const ModemCallSource *holding(const QString &canonicalPort);

    static constexpr int kRejectHoldMs = 5000;

private:
    enum class Final
    {
        Ok,
        Error,
        Timeout
    };
    enum class CallState
    {
        Idle,
        Offered,
        Answered
    };
    struct Command
    {
        QByteArray text;
        std::function<void(Final)> done;
        bool maySilence = false; // no answer is no sign of a lost modem
    };

    void send(const QByteArray &command, std::function<void(Final)> done, bool maySilence = false);
    void sendNext();
    void initialise();
    void enableCallerId(int attempt);
    void readPort();
    void handleLine(const ModemLine &line);
    void finishCommand(Final result);
    void lose();
    void hangUp();

    void beginCall();
    void ring();
    void callerLine(const QByteArray &key, const QByteArray &value);
    void deliverCallerId();
    void endCall();
    void keepAlive();

    LineInfo m_line;
    ModemConfig m_config;
    int m_fd = -1;
    bool m_starting = false;
    QSocketNotifier *m_notifier = nullptr;
    ModemLineParser m_parser;
    QQueue<Command> m_queue;
    bool m_waiting = false;
    QTimer m_commandTimer;
    QTimer m_ringTimer;
    QTimer m_settleTimer;
    QTimer m_keepAliveTimer;
    QByteArray m_cidCommand;

    int m_callCounter = 0;
    int m_callId = 0; // 0 when no call is in progress
    CallState m_callState = CallState::Idle;
    bool m_cidDelivered = false;
    CallerIdRecord m_record;
    unsigned m_generation = 0; // bumped by stop(): a reject still holding leaves later calls alone
};

} // namespace telephony
