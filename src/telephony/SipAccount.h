#pragma once

#include "telephony/LinePasswords.h"

#include <QList>
#include <QString>

#include <optional>

namespace telephony {

// One SIP account the monitor registers as a device of: "USER[:AUTHUSER]@HOST[:PORT]" with an
// optional ";transport=udp|tcp|tls".
struct SipAccount
{
    enum Transport
    {
        Udp,
        Tcp,
        Tls
    };
    QString user;
    QString authUser; // the user when not given
    QString host;
    quint16 port = 0; // 0: the transport's default (5060, TLS 5061)
    Transport transport = Udp;

    // The account as the configuration writes it: "USER[:AUTHUSER]@HOST[:PORT][;transport=…]".
    QString text() const;
    // "SIP alice@pbx.example:5060", with ";transport=tcp" for TCP and TLS: the DeviceName.
    QString lineName() const;
    // "alice@pbx.example": the key of the password store.
    QString key() const { return user + QLatin1Char('@') + host; }
    quint16 effectivePort() const { return port ? port : (transport == Tls ? 5061 : 5060); }
    // The registrar's URI for the SIP stack.
    QByteArray registrarUri() const;
    QByteArray addressOfRecord() const; // "sip:alice@pbx.example"

    // False for anything else than the form above (spaces, an empty part, a bad port or
    // transport, characters that have no place in a SIP URI).
    static bool parse(const QString &text, SipAccount *account);
};

// Group [Network] of the modem configuration file: Sip (comma-separated accounts),
// SipPasswordFile (one "USER@HOST PASSWORD" a line), SipExpires (seconds a registration is asked
// for), SipListen (the local SIP address, HOST[:PORT], "*" for all).
struct SipConfig
{
    QList<SipAccount> accounts;
    QString passwordFile;
    int expires = 600;
    QString listen;

    static SipConfig load();
    // The configured account whose line is called NAME.
    static std::optional<SipAccount> findAccount(const QString &lineName);
    // The accounts' passwords: the keyring, else the file.
    LinePasswords passwords() const { return LinePasswords(LinePasswords::Sip, passwordFile); }

    // Writes ACCOUNT in place of the account whose line is called REPLACING (added when none is),
    // or with no ACCOUNT removes that one. Without a password file yet, names one beside the
    // configuration file, where a password goes when no keyring runs.
    static bool saveAccount(const QString &replacing, const std::optional<SipAccount> &account,
                            QString *error);
};

} // namespace telephony
