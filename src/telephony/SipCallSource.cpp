#include "telephony/SipCallSource.h"

#include "telephony/SipIdentity.h"
#include "telephony/SipStack.h"

#include <sofia-sip/msg_header.h>
#include <sofia-sip/nua_tag.h>
#include <sofia-sip/sip_header.h>
#include <sofia-sip/sip_status.h>

namespace telephony {

namespace {

// A registrar that has not answered after this long (the stack's own time-outs included) loses
// the line.
constexpr int kRegisterTimeoutMs = 20000;
// A call that no CANCEL, BYE or final response ended (a proxy that forgot us) is over after this.
constexpr int kRingLimitMs = 3 * 60 * 1000;
// A challenge after our answer to one means the password is wrong, unless it only says that our
// answer came late (a stale nonce).
constexpr int kMaxAuthTries = 1;
constexpr int kNoMatchingChallenge = 904; // the stack's own: the credentials were refused already

QByteArray realmOf(const msg_auth_t *auth)
{
    const char *realm = auth ? msg_params_find(auth->au_params, "realm=") : nullptr;
    return realm ? QByteArray(realm) : QByteArray();
}

} // namespace

SipCallSource::SipCallSource(const SipAccount &account, const SipConfig &config, QObject *parent)
    : CallSource(parent), m_account(account), m_config(config)
{
    m_registerTimer.setSingleShot(true);
    m_ringTimer.setSingleShot(true);
    connect(&m_registerTimer, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("the registrar %1 does not answer").arg(m_account.host)); });
    connect(&m_ringTimer, &QTimer::timeout, this, [this] { endCall(SIP_480_TEMPORARILY_UNAVAILABLE); });
}

SipCallSource::~SipCallSource()
{
    stop();
    if (m_stack)
        m_stack->detach(this);
}

QList<LineInfo> SipCallSource::lines()
{
    QList<LineInfo> result;
    for (const SipAccount &account : SipConfig::load().accounts) {
        LineInfo line;
        line.name = account.lineName();
        line.kindText = QStringLiteral("SIP");
        line.host = account.host;
        line.tcpPort = account.effectivePort();
        line.identity = account.key(); // what tellwise-cli lists
        line.showsName = line.showsNumber = line.showsWithheld = line.showsUnavailable = true;
        line.canReject = true;
        result.append(line);
    }
    return result;
}

std::unique_ptr<CallSource> SipCallSource::create(const LineInfo &line, int)
{
    const std::optional<SipAccount> account = SipConfig::findAccount(line.name);
    return account ? std::make_unique<SipCallSource>(*account, SipConfig::load()) : nullptr;
}

bool SipCallSource::start()
{
    if (m_monitoring)
        return true;
    switch (m_state) {
    case Idle:
        registerAccount();
        break;
    case Registered:
        break;
    case Registering:
        return false;
    case Failed:
        registerAccount();
        return false;
    }
    m_monitoring = true;
    return true;
}

void SipCallSource::stop()
{
    endCall(SIP_480_TEMPORARILY_UNAVAILABLE);
    m_monitoring = false;
    dropRegistration();
    m_state = Idle;
}

void SipCallSource::reject()
{
    if (m_call)
        nua_respond(m_call, SIP_603_DECLINE, TAG_END());
}

void SipCallSource::registerAccount()
{
    dropRegistration();
    m_error.clear();
    m_authTries = 0;
    m_state = Registering;
    m_registerTimer.start(kRegisterTimeoutMs);
    // Every try takes the account and its password as stored now: a correction in the options
    // window or the files needs no restart.
    const SipConfig now = SipConfig::load();
    m_config.passwordFile = now.passwordFile;
    m_config.expires = now.expires;
    for (const SipAccount &account : now.accounts) {
        if (account.lineName() == m_account.lineName())
            m_account = account;
    }
    QString error;
    m_stack = SipStack::instance(m_config.listen, &error);
    if (!m_stack) {
        // Never inside start(): the line is lost once the caller has its answer.
        QTimer::singleShot(0, this, [this, error] { fail(error); });
        return;
    }
    m_stack->attach(this);
    if (m_account.transport == SipAccount::Tls && !m_stack->hasTls()) {
        QTimer::singleShot(0, this, [this] {
            fail(QStringLiteral("TLS needs a certificate (agent.pem) in %1").arg(SipStack::tlsFolder()));
        });
        return;
    }
    // The keyring answers later; the registration goes out once the password is known.
    const int attempt = ++m_attempt;
    m_config.passwords().read(m_account.key(), this, [this, attempt](const LinePasswords::Answer &answer) {
        if (attempt != m_attempt || m_state != Registering)
            return;
        m_password = answer.password;
        if (!answer.error.isEmpty())
            qWarning("SIP %s: %s", qPrintable(m_account.key()), qPrintable(answer.error));
        sendRegister();
    });
}

void SipCallSource::sendRegister()
{
    const QByteArray aor = m_account.addressOfRecord();
    const QByteArray registrar = m_account.registrarUri();
    const QByteArray user = m_account.user.toUtf8();
    const QByteArray expires = QByteArray::number(m_config.expires);
    m_register = nua_handle(m_stack->nua(), reinterpret_cast<nua_hmagic_t *>(this),
                            SIPTAG_TO_STR(aor.constData()), SIPTAG_FROM_STR(aor.constData()), TAG_END());
    nua_register(m_register, NUTAG_REGISTRAR(registrar.constData()), NUTAG_M_USERNAME(user.constData()),
                 SIPTAG_EXPIRES_STR(expires.constData()), NUTAG_OUTBOUND("no-options-keepalive"), TAG_END());
}

void SipCallSource::dropRegistration()
{
    ++m_attempt; // a password still on its way is for no registration
    m_registerTimer.stop();
    if (!m_register)
        return;
    nua_handle_s *nh = std::exchange(m_register, nullptr);
    if (m_state == Registered) {
        nua_unregister(nh, TAG_END());
        m_stack->orphan(nh);
    } else {
        nua_handle_destroy(nh);
    }
}

void SipCallSource::fail(const QString &why)
{
    m_error = why;
    m_state = Failed; // nothing to unregister
    dropRegistration();
    if (!m_monitoring)
        return;
    endCall(SIP_480_TEMPORARILY_UNAVAILABLE);
    m_monitoring = false;
    emit lineLost();
}

void SipCallSource::sipEvent(int event, int status, const char *phrase, nua_handle_s *nh, const sip_s *sip,
                             int callState)
{
    if (nh == m_register) {
        if (event == nua_r_register)
            registerEvent(status, phrase, sip);
        return;
    }
    switch (event) {
    case nua_i_invite:
        incomingCall(nh, sip);
        break;
    case nua_i_cancel:
    case nua_i_bye:
        if (nh == m_call)
            endCall();
        break;
    case nua_i_state:
        if (callState == nua_callstate_terminated && nh == m_call) {
            m_call = nullptr;
            m_ringTimer.stop();
            nua_handle_destroy(nh);
            emit callEnded();
        }
        break;
    default:
        break;
    }
}

void SipCallSource::registerEvent(int status, const char *phrase, const sip_s *sip)
{
    if (status < 200)
        return;
    if (status == 401 || status == 407 || status == kNoMatchingChallenge) {
        if (authenticate(sip))
            return;
        fail(QStringLiteral("the registrar refuses the password of %1").arg(m_account.key()));
        return;
    }
    if (status >= 300) {
        fail(QStringLiteral("the registrar answers %1 %2").arg(status).arg(QString::fromUtf8(phrase)));
        return;
    }
    m_registerTimer.stop();
    m_authTries = 0;
    m_state = Registered;
}

bool SipCallSource::authenticate(const sip_s *sip)
{
    const msg_auth_t *challenge = !sip                        ? nullptr
                                  : sip->sip_www_authenticate ? sip->sip_www_authenticate
                                                              : sip->sip_proxy_authenticate;
    const char *stale = challenge ? msg_params_find(challenge->au_params, "stale=") : nullptr;
    if (!challenge || (++m_authTries > kMaxAuthTries &&
                       !(stale && QByteArrayView(stale).compare("true", Qt::CaseInsensitive) == 0)))
        return false;
    const QByteArray realm = realmOf(challenge);
    if (realm.isEmpty() || m_password.isEmpty())
        return false;
    const QByteArray credentials = QByteArray(challenge->au_scheme) + ':' + realm + ':' +
                                   m_account.authUser.toUtf8() + ':' + m_password.toUtf8();
    nua_authenticate(m_register, NUTAG_AUTH(credentials.constData()), TAG_END());
    return true;
}

bool SipCallSource::isAddressedBy(const sip_s *sip) const
{
    const QByteArray user = m_account.user.toUtf8();
    const auto userOf = [](const url_t *url) {
        return url && url->url_user ? QByteArray(url->url_user) : QByteArray();
    };
    return (sip->sip_request && userOf(sip->sip_request->rq_url) == user) ||
           (sip->sip_to && userOf(sip->sip_to->a_url) == user);
}

void SipCallSource::incomingCall(nua_handle_s *nh, const sip_s *sip)
{
    if (!m_monitoring || m_call) {
        // One call at a time; the others are busy from our branch, not for the caller's other
        // telephones.
        nua_respond(nh, m_call ? 486 : 480, m_call ? sip_486_Busy_here : sip_480_Temporarily_unavailable,
                    TAG_END());
        m_stack->orphan(nh);
        return;
    }
    m_call = nh;
    nua_handle_bind(nh, reinterpret_cast<nua_hmagic_t *>(this));
    nua_respond(nh, SIP_180_RINGING, TAG_END());
    m_ringTimer.start(kRingLimitMs);
    const CallerId caller = sipCallerOf(sip);
    emit callOffered();
    if (m_call == nh) // not ended by whoever heard of the call
        emit callerKnown(caller);
}

void SipCallSource::endCall(int status, const char *phrase)
{
    if (!m_call)
        return;
    nua_handle_s *nh = std::exchange(m_call, nullptr);
    m_ringTimer.stop();
    // A call still ringing is given up by our branch alone; the stack ends its transaction.
    if (status)
        nua_respond(nh, status, phrase, TAG_END());
    m_stack->orphan(nh);
    emit callEnded();
}

} // namespace telephony
