#pragma once

#include "telephony/CallSources.h"
#include "telephony/SipAccount.h"

#include <QTimer>

struct nua_handle_s;
struct sip_s;

namespace telephony {

class SipStack;

// A SIP account the monitor registers as one more device of. An incoming call rings here with
// 180 Ringing and is never answered: the telephone answers. Reject declines it (603), which
// ends every branch of a forked call; a second call while one rings is busy (486) on our
// branch only.
//
// A refused or unanswered registration loses the line. From then on a start succeeds only on a
// registration that is up: a start that fails registers again (with the password as stored now)
// when no try is under way, and the start after the registrar accepted takes the line.
class SipCallSource : public CallSource
{
    Q_OBJECT
public:
    SipCallSource(const SipAccount &account, const SipConfig &config, QObject *parent = nullptr);
    ~SipCallSource() override;

    bool start() override;
    void stop() override;
    bool isMonitoring() const override { return m_monitoring; }
    bool canReject() const override { return true; }
    void reject() override;

    bool isRegistered() const { return m_state == Registered; }
    // Why the line was lost last, for the log and the tests.
    QString lastError() const { return m_error; }

    static QList<LineInfo> lines();
    static std::unique_ptr<CallSource> create(const LineInfo &line, int rejectTimeOutSeconds);

    // From the stack: events of this line's handles, and the choice of the line an INVITE is for.
    // callState: the call state an nua_i_state event reports.
    void sipEvent(int event, int status, const char *phrase, nua_handle_s *nh, const sip_s *sip,
                  int callState);
    bool isAddressedBy(const sip_s *sip) const;

private:
    enum State
    {
        Idle,
        Registering,
        Registered,
        Failed
    };
    void registerAccount();
    void sendRegister();
    void registerEvent(int status, const char *phrase, const sip_s *sip);
    bool authenticate(const sip_s *sip);
    void fail(const QString &why);
    void dropRegistration();
    void incomingCall(nua_handle_s *nh, const sip_s *sip);
    void endCall(int status = 0, const char *phrase = nullptr);

    SipAccount m_account;
    SipConfig m_config;
    SipStack *m_stack = nullptr;
    nua_handle_s *m_register = nullptr;
    nua_handle_s *m_call = nullptr;
    State m_state = Idle;
    bool m_monitoring = false;
    int m_authTries = 0;
    int m_attempt = 0; // counts the registrations begun, so a late password finds its own
    QString m_password;
    QString m_error;
    QTimer m_registerTimer;
    QTimer m_ringTimer;
};

} // namespace telephony
