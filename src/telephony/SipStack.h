#pragma once

// The one SIP user agent of the program, shared by every SIP line.
//
// The stack is Sofia-SIP (Debian's libsofia-sip-ua-glib). It was chosen over libre, baresip's
// library, because Sofia can run on the GLib main loop, which is the main loop Qt's event
// dispatcher runs on Linux: its sockets and timers are served by our own main thread, so its
// events reach the lines without a second thread, queued signals or locks. libre brings its
// own blocking loop (re_main) that would need a thread of its own and a hand-over of every
// event. Sofia also parses the identity headers we need (P-Asserted-Identity, Remote-Party-ID,
// Privacy) and bounds what a peer can make it hold (message size, open transactions).

#include <sofia-sip/nua.h>
#include <sofia-sip/sip.h>

#include <QList>
#include <QString>

namespace telephony {

class SipCallSource;

class SipStack
{
public:
    // The stack listening on LISTEN ("HOST" or "HOST:PORT"; "" or "*" for every local address;
    // without a port, one the system chooses); created at the first call and kept, whatever
    // later calls ask for. Null when it cannot start, with the reason in error.
    static SipStack *instance(const QString &listen, QString *error = nullptr);

    nua_t *nua() const { return m_nua; }
    // Whether TLS accounts can register: only with a certificate in tlsFolder().
    bool hasTls() const { return m_tls; }
    static QString tlsFolder();

    // Lines that take incoming calls addressed to their account.
    void attach(SipCallSource *line);
    void detach(SipCallSource *line);

    // Handles nobody owns any more: destroyed once their transaction is over, and counted, so a
    // flood of requests cannot pile them up.
    void orphan(nua_handle_t *nh);
    static constexpr int kMaxOrphans = 256;

private:
    SipStack() = default;
    bool create(const QString &listen, QString *error);
    static void callback(nua_event_t event, int status, char const *phrase, nua_t *nua, nua_magic_t *magic,
                         nua_handle_t *nh, nua_hmagic_t *hmagic, sip_t const *sip, tagi_t tags[]);
    void event(nua_event_t event, int status, char const *phrase, nua_handle_t *nh, sip_t const *sip);
    void orphanEvent(nua_event_t event, int status, nua_handle_t *nh, int callState);

    su_root_t *m_root = nullptr;
    nua_t *m_nua = nullptr;
    QString m_listen;
    bool m_tls = false;
    QList<SipCallSource *> m_lines;
    int m_orphans = 0;
};

} // namespace telephony
