#include "telephony/SipStack.h"

#include "telephony/ModemConfig.h"
#include "telephony/SipCallSource.h"

#include <sofia-sip/nta_tag.h>
#include <sofia-sip/nua_tag.h>
#include <sofia-sip/sip_header.h>
#include <sofia-sip/sip_status.h>
#include <sofia-sip/su_glib.h>

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

namespace telephony {

namespace {

// Bounds on what a peer can make the stack hold: no SIP message we need comes near 64 KiB, a
// transaction nobody answers is over after 8 s, and requests beyond a few dozen at once are
// refused by the stack itself.
constexpr usize_t kMaxMessageSize = 16 * 1024;
constexpr usize_t kMaxProceeding = 64;
constexpr unsigned kTransactionTimeoutMs = 8000;
// Where Qt does not run on the GLib main loop (QT_NO_GLIB), the loop is turned this often.
constexpr int kPollIntervalMs = 20;

SipStack *g_stack = nullptr;

// The stack's own diagnostics would go to the error output, where they are noise for a user,
// unless asked for through their environment variables. Set before su_init(), which reads them.
void silence()
{
    for (const char *name :
         {"SOFIA_DEBUG", "NUA_DEBUG", "NTA_DEBUG", "TPORT_DEBUG", "SU_DEBUG", "SOA_DEBUG"}) {
        if (!qEnvironmentVariableIsSet(name))
            qputenv(name, "0");
    }
}

bool qtRunsGLib()
{
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance();
    return dispatcher && dispatcher->inherits("QEventDispatcherGlib");
}

} // namespace

SipStack *SipStack::instance(const QString &listen, QString *error)
{
    if (g_stack) {
        if (error && g_stack->m_listen != listen)
            *error = QStringLiteral("the SIP stack already listens on %1").arg(g_stack->m_listen);
        return g_stack;
    }
    auto *stack = new SipStack;
    if (!stack->create(listen, error)) {
        delete stack;
        return nullptr;
    }
    g_stack = stack; // lives as long as the program: registrations are refreshed by it
    return g_stack;
}

bool SipStack::create(const QString &listen, QString *error)
{
    static const bool initialised = [] {
        silence();
        su_init();
        // P-Asserted-Identity and Remote-Party-ID are parsed like From.
        sip_update_default_mclass(sip_extend_mclass(nullptr));
        return true;
    }();
    Q_UNUSED(initialised);
    m_root = su_glib_root_create(nullptr);
    if (!m_root) {
        if (error)
            *error = QStringLiteral("the SIP stack cannot start");
        return false;
    }
    g_source_attach(su_glib_root_gsource(m_root), g_main_context_default());
    if (!qtRunsGLib()) {
        auto *timer = new QTimer(QCoreApplication::instance());
        QObject::connect(timer, &QTimer::timeout, [] {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
        });
        timer->start(kPollIntervalMs);
    }
    m_listen = listen;
    const QString host = listen.isEmpty() ? QStringLiteral("*") : listen;
    const bool hasPort = host.contains(QRegularExpression(QStringLiteral(":[0-9*]+$")));
    const QByteArray url = "sip:" + host.toLatin1() + (hasPort ? "" : ":*");
    // TLS needs the stack's own certificate (agent.pem), which the user puts in the folder.
    const QByteArray certificates = QFile::encodeName(tlsFolder());
    m_tls = QFile::exists(tlsFolder() + QStringLiteral("/agent.pem"));
    const QByteArray sipsUrl = m_tls ? "sips:" + host.toLatin1() + ":*" : QByteArray();
    m_nua = nua_create(m_root, &SipStack::callback, reinterpret_cast<nua_magic_t *>(this),
                       NUTAG_URL(url.constData()), TAG_IF(m_tls, NUTAG_SIPS_URL(sipsUrl.constData())),
                       TAG_IF(m_tls, NUTAG_CERTIFICATE_DIR(certificates.constData())), NUTAG_MEDIA_ENABLE(0),
                       NUTAG_AUTOALERT(0), NUTAG_AUTOANSWER(0), NUTAG_ENABLEMESSAGE(0),
                       NUTAG_ALLOW("INVITE, ACK, BYE, CANCEL, OPTIONS"), NUTAG_APPL_METHOD(""),
                       NTATAG_MAXSIZE(kMaxMessageSize), NTATAG_MAX_PROCEEDING(kMaxProceeding),
                       NTATAG_SIP_T1X64(kTransactionTimeoutMs), SIPTAG_USER_AGENT_STR("Tellwise Monitor"),
                       TAG_END());
    if (!m_nua) {
        if (error)
            *error = QStringLiteral("no SIP port can be opened on %1").arg(host);
        su_root_destroy(m_root);
        m_root = nullptr;
        return false;
    }
    return true;
}

QString SipStack::tlsFolder()
{
    return QFileInfo(ModemConfig::filePath()).absolutePath() + QStringLiteral("/sip-tls");
}

void SipStack::attach(SipCallSource *line)
{
    if (!m_lines.contains(line))
        m_lines.append(line);
}

void SipStack::detach(SipCallSource *line)
{
    m_lines.removeAll(line);
}

void SipStack::orphan(nua_handle_t *nh)
{
    ++m_orphans;
    nua_handle_bind(nh, reinterpret_cast<nua_hmagic_t *>(this));
}

void SipStack::callback(nua_event_t event, int status, char const *phrase, nua_t *, nua_magic_t *magic,
                        nua_handle_t *nh, nua_hmagic_t *hmagic, sip_t const *sip, tagi_t tags[])
{
    auto *stack = reinterpret_cast<SipStack *>(magic);
    if (!nh)
        return;
    int state = nua_callstate_init;
    if (event == nua_i_state)
        tl_gets(tags, NUTAG_CALLSTATE_REF(state), TAG_END());
    if (hmagic == reinterpret_cast<nua_hmagic_t *>(stack))
        stack->orphanEvent(event, status, nh, state);
    else if (hmagic)
        reinterpret_cast<SipCallSource *>(hmagic)->sipEvent(event, status, phrase, nh, sip, state);
    else
        stack->event(event, status, phrase, nh, sip);
}

void SipStack::event(nua_event_t event, int status, char const *phrase, nua_handle_t *nh, sip_t const *sip)
{
    if (event != nua_i_invite) {
        // Requests the stack answered itself (OPTIONS) or that need no one.
        nua_handle_destroy(nh);
        return;
    }
    if (m_orphans >= kMaxOrphans) {
        nua_handle_destroy(nh);
        return;
    }
    SipCallSource *target = m_lines.size() == 1 ? m_lines.first() : nullptr;
    for (SipCallSource *line : std::as_const(m_lines)) {
        if (line->isAddressedBy(sip)) {
            target = line;
            break;
        }
    }
    if (!target) {
        nua_respond(nh, SIP_404_NOT_FOUND, TAG_END());
        orphan(nh);
        return;
    }
    target->sipEvent(event, status, phrase, nh, sip, nua_callstate_init);
}

void SipStack::orphanEvent(nua_event_t event, int status, nua_handle_t *nh, int callState)
{
    const bool over = ((event == nua_r_unregister || event == nua_r_register) && status >= 200) ||
                      (event == nua_i_state && callState == nua_callstate_terminated);
    if (over) {
        --m_orphans;
        nua_handle_destroy(nh);
    }
}

} // namespace telephony
