#include "telephony/SipAccount.h"

#include "telephony/ModemConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QSettings>

namespace telephony {

namespace {

bool validUser(const QString &user)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9._~!*'()&=+$%-]{1,64}$"));
    return re.match(user).hasMatch();
}

bool validHost(const QString &host)
{
    if (host.startsWith(QLatin1Char('[')))
        return host.endsWith(QLatin1Char(']')) &&
               QHostAddress(host.mid(1, host.size() - 2)).protocol() == QAbstractSocket::IPv6Protocol;
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9]([A-Za-z0-9.-]{0,252})$"));
    return re.match(host).hasMatch();
}

} // namespace

QString SipAccount::text() const
{
    QString text = user;
    if (authUser != user && !authUser.isEmpty())
        text += QLatin1Char(':') + authUser;
    text += QLatin1Char('@') + host;
    if (port)
        text += QLatin1Char(':') + QString::number(port);
    if (transport == Tcp)
        text += QStringLiteral(";transport=tcp");
    else if (transport == Tls)
        text += QStringLiteral(";transport=tls");
    return text;
}

QString SipAccount::lineName() const
{
    QString name = QStringLiteral("SIP %1@%2:%3").arg(user, host).arg(effectivePort());
    if (transport == Tcp)
        name += QStringLiteral(";transport=tcp");
    else if (transport == Tls)
        name += QStringLiteral(";transport=tls");
    return name;
}

QByteArray SipAccount::registrarUri() const
{
    QByteArray uri =
        (transport == Tls ? "sips:" : "sip:") + host.toLatin1() + ':' + QByteArray::number(effectivePort());
    if (transport == Tcp)
        uri += ";transport=tcp";
    return uri;
}

QByteArray SipAccount::addressOfRecord() const
{
    return (transport == Tls ? "sips:" : "sip:") + user.toLatin1() + '@' + host.toLatin1();
}

bool SipAccount::parse(const QString &text, SipAccount *account)
{
    QString rest = text.trimmed();
    SipAccount a;
    const qsizetype semicolon = rest.indexOf(QLatin1Char(';'));
    if (semicolon >= 0) {
        const QString param = rest.mid(semicolon + 1).toLower();
        rest.truncate(semicolon);
        if (param == QLatin1String("transport=udp"))
            a.transport = Udp;
        else if (param == QLatin1String("transport=tcp"))
            a.transport = Tcp;
        else if (param == QLatin1String("transport=tls"))
            a.transport = Tls;
        else
            return false;
    }
    const qsizetype at = rest.lastIndexOf(QLatin1Char('@'));
    if (at <= 0)
        return false;
    const QString users = rest.left(at);
    QString hostPort = rest.mid(at + 1);
    a.user = users.section(QLatin1Char(':'), 0, 0);
    a.authUser = users.contains(QLatin1Char(':')) ? users.section(QLatin1Char(':'), 1) : a.user;
    const qsizetype closing = hostPort.lastIndexOf(QLatin1Char(']'));
    const qsizetype colon = hostPort.lastIndexOf(QLatin1Char(':'));
    if (colon > closing) {
        bool ok = false;
        const uint port = hostPort.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535)
            return false;
        a.port = quint16(port);
        hostPort.truncate(colon);
    }
    a.host = hostPort.toLower();
    if (!validUser(a.user) || !validUser(a.authUser) || !validHost(a.host))
        return false;
    *account = a;
    return true;
}

SipConfig SipConfig::load()
{
    SipConfig c;
    if (!QFile::exists(ModemConfig::filePath()))
        return c;
    QSettings s(ModemConfig::filePath(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Network"));
    for (const QString &entry : s.value(QStringLiteral("Sip")).toStringList()) {
        SipAccount account;
        if (!SipAccount::parse(entry, &account))
            continue;
        bool duplicate = false;
        for (const SipAccount &known : std::as_const(c.accounts))
            duplicate = duplicate || known.lineName() == account.lineName();
        if (!duplicate)
            c.accounts.append(account);
    }
    c.passwordFile = s.value(QStringLiteral("SipPasswordFile")).toString();
    if (!c.passwordFile.isEmpty() && QFileInfo(c.passwordFile).isRelative())
        c.passwordFile =
            QFileInfo(ModemConfig::filePath()).absolutePath() + QLatin1Char('/') + c.passwordFile;
    bool ok = false;
    const int expires = s.value(QStringLiteral("SipExpires")).toInt(&ok);
    if (ok && expires >= 10)
        c.expires = expires;
    c.listen = s.value(QStringLiteral("SipListen")).toString();
    return c;
}

std::optional<SipAccount> SipConfig::findAccount(const QString &lineName)
{
    for (const SipAccount &account : load().accounts) {
        if (account.lineName() == lineName)
            return account;
    }
    return std::nullopt;
}

bool SipConfig::saveAccount(const QString &replacing, const std::optional<SipAccount> &account,
                            QString *error)
{
    QDir().mkpath(QFileInfo(ModemConfig::filePath()).absolutePath());
    QSettings s(ModemConfig::filePath(), QSettings::IniFormat);
    s.beginGroup(QStringLiteral("Network"));
    QStringList entries;
    bool replaced = false;
    for (const QString &entry : s.value(QStringLiteral("Sip")).toStringList()) {
        SipAccount known;
        if (!SipAccount::parse(entry, &known) || known.lineName() != replacing)
            entries << entry; // what we cannot read is the user's to mend, not ours to drop
        else if (account && !std::exchange(replaced, true))
            entries << account->text();
    }
    if (account && !replaced)
        entries << account->text();
    if (entries.isEmpty())
        s.remove(QStringLiteral("Sip"));
    else
        s.setValue(QStringLiteral("Sip"), entries);
    if (s.value(QStringLiteral("SipPasswordFile")).toString().isEmpty())
        s.setValue(QStringLiteral("SipPasswordFile"), QStringLiteral("sip-passwords"));
    s.sync();
    if (s.status() != QSettings::NoError) {
        *error = QStringLiteral("%1 cannot be written").arg(ModemConfig::filePath());
        return false;
    }
    return true;
}

} // namespace telephony
