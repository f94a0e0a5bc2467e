#pragma once

#include "telephony/LineProvider.h"
#include "telephony/ModemConfig.h"
#include "telephony/ModemLineParser.h"

#include <QQueue>
#include <QTimer>

class QSocketNotifier;

namespace telephony {

// A caller-ID modem on a serial port, as a line device. Sends the initialisation, turns caller
// ID on, follows RING and the caller records, and turns them into call states: OFFERING at the
// first ring or caller line, the caller item when the record is complete, DISCONNECTED and IDLE
// when the rings stop.
class ModemDevice : public LineDevice
{
    Q_OBJECT
public:
    ModemDevice(QString portPath, QByteArray name, QByteArray info, const ModemConfig &config);
    ~ModemDevice() override;

    QString portPath() const { return m_portPath; }
    bool isOpen() const { return m_fd >= 0; }
    void setInfo(const QByteArray &info) { m_info = info; }
    void setConfig(const ModemConfig &config) { m_config = config; }

    QByteArray lineName() const override { return m_name; }
    QByteArray providerInfo() const override { return m_info; }
    DWORD callerIdCaps() const override;

    bool startMonitoring() override;
    void stopMonitoring() override;
    void answerCall(int callId, Done done) override;
    void dropCall(int callId, Done done) override;
    CallData callData(int callId) const override;

    // The caller-ID command that the modem accepted, empty when none did (yet).
    QByteArray callerIdCommand() const { return m_cidCommand; }

private:
    enum class Final
    {
        Ok,
        Error,
        Timeout
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

    void beginCall();
    void ring();
    void callerLine(const QByteArray &key, const QByteArray &value);
    void deliverCallerId();
    void endCall();
    void keepAlive();

    QString m_portPath;
    QByteArray m_name;
    QByteArray m_info;
    ModemConfig m_config;
    int m_fd = -1;
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
    DWORD m_callState = 0;
    bool m_cidDelivered = false;
    CallerIdRecord m_record;
    int m_dataCallId = 0; // the call m_callData describes; kept after IDLE for late readers
    CallData m_callData;
};

} // namespace telephony
