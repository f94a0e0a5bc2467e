#pragma once

#include "CpHand.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>

class QTimer;

// Watches one ISDN controller for incoming calls: reports each call, asks whether to reject it,
// lets it ring for RejectTimeOut seconds and then leaves it to the other terminals on the line.
// It can also hang a ringing call up (answer it and clear it at once).
class TCapiMonitor : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int RejectTimeOut READ RejectTimeOut WRITE setRejectTimeOut)
    Q_PROPERTY(uint Controller READ Controller WRITE setController)
    Q_PROPERTY(uint Error READ Error)
    Q_PROPERTY(QString ErrorString READ ErrorString)
    Q_PROPERTY(bool NoDisturbMode READ NoDisturbMode WRITE setNoDisturbMode)
    Q_PROPERTY(ushort LastRejectCause READ LastRejectCause)
    Q_PROPERTY(bool Active READ Active WRITE setActive)

public:
    explicit TCapiMonitor(QObject *parent = nullptr);
    ~TCapiMonitor() override;

    int RejectTimeOut() const { return m_rejectTimeOut; }
    void setRejectTimeOut(int seconds) { m_rejectTimeOut = seconds; }
    uint32_t Controller() const { return m_controller; }
    void setController(uint32_t controller) { m_controller = controller; }
    uint32_t Error() const { return m_error; }
    QString ErrorString() const { return m_errorString; }
    // The monitor cannot watch the line: the library, the engine or a request failed. How a
    // call ended (a protocol layer's or the network's clearing cause, kept in Error until the
    // next message) is no failure.
    bool Failed() const;
    bool NoDisturbMode() const { return m_noDisturbMode; }
    void setNoDisturbMode(bool on) { m_noDisturbMode = on; }
    uint16_t LastRejectCause() const { return m_lastRejectCause; }
    bool Active() const { return m_active; }
    // Reopens the engine and listens with all CIP values (true) or none (false).
    void setActive(bool active);

    void HangUpCall() { RespondToCall(0); }
    // Answers the offered call: 0 accept (and clear), 1 ignore, otherwise a reject value.
    void RespondToCall(uint16_t rejectValue);

    // The engine, for inspection; none before the first activation.
    TCapi *engine() const { return m_capi.get(); }

    static constexpr uint32_t kListenAllCip = 0x1FFF03FE;
    static constexpr int kKeepAliveMs = 2500;

signals:
    // Handlers connected directly may set aRejectCause to reject the call at once.
    void OnRejectCallQuestion(const QString &CallingPartyNumber, const QString &CalledPartyNumber,
                              uint16_t CipValue, uint16_t &aRejectCause);
    void OnIncomingCall(const QString &CallingPartyNumber, const QString &CalledPartyNumber,
                        uint16_t CipValue, const QString &CipValueString);
    void OnStateChange(bool bUserCanReject, bool bUserCanCangeNoDisturbMode);
    void OnDisconnectInfo(uint16_t aRejectCause, uint16_t aDisconnectReason);
    void OnDoResetCapi(QObject *sender);
    // The controller stopped answering (the CAPI peer went away): the monitor no longer listens.
    void OnLineLost();

private:
    bool open();
    bool listen();
    void updateErrorState();
    void handleMessage(TConnection *connection, TCapiMessage &message, bool &respond);
    void handleConnectInd(TConnection *connection, TConnectInd &message);
    void timerTick();
    void keepAliveTick();
    void stopCountdown();

    int m_rejectTimeOut = 10;
    uint32_t m_controller = 1;
    uint32_t m_error = 0;
    QString m_errorString;
    bool m_noDisturbMode = false;
    uint16_t m_lastRejectCause = 0xFFFF;
    bool m_active = false;
    uint32_t m_cipMask = 0;
    int m_remainingSeconds = 0;
    std::unique_ptr<TCapi> m_capi;
    QTimer *m_timer = nullptr;
    // While listening, the listen request is repeated now and then; a peer that does not confirm
    // it by the next time is gone.
    QTimer *m_keepAlive = nullptr;
    bool m_listenConfirmed = false;
};
