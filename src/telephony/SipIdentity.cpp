#include "telephony/SipIdentity.h"

#include "telephony/ModemLineParser.h"

#include <sofia-sip/sip_extra.h>
#include <sofia-sip/sip_header.h>
#include <sofia-sip/url.h>

#include <QUrl>

#include <optional>

namespace telephony {

namespace {

constexpr qsizetype kMaxNumberLength = 32;

bool isDialChar(char c)
{
    return (c >= '0' && c <= '9') || c == '*' || c == '#';
}

// The number in a URI's user part ("+385-91-234-5678", "0912345678;phone-context=..."): an
// optional +, dial characters and the visual separators of tel URIs. Anything else is no number.
std::optional<QByteArray> phoneNumber(QByteArray text)
{
    const qsizetype parameters = text.indexOf(';');
    text = QByteArray::fromPercentEncoding(parameters < 0 ? text : text.left(parameters));
    QByteArray out;
    qsizetype i = 0;
    if (text.startsWith('+'))
        out.append(text[i++]);
    for (; i < text.size(); ++i) {
        if (isDialChar(text[i]))
            out.append(text[i]);
        else if (!QByteArrayView(" -.()").contains(text[i]))
            return std::nullopt;
    }
    if (out.size() <= (out.startsWith('+') ? 1 : 0) || out.size() > kMaxNumberLength)
        return std::nullopt;
    return out;
}

// The part of a URI that carries the party: the user of sip:/sips:, the number of tel:.
QByteArray partyOf(const url_t *url)
{
    if (!url)
        return {};
    const char *party = url->url_user;
    if (!party && url->url_type == url_tel)
        party = url->url_host;
    return party ? QByteArray(party) : QByteArray();
}

QString displayText(const char *display)
{
    if (!display)
        return {};
    QByteArray text = QByteArray(display).trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"')) {
        QByteArray plain;
        for (qsizetype i = 1; i + 1 < text.size(); ++i) {
            if (text[i] == '\\' && i + 2 < text.size())
                ++i;
            plain.append(text[i]);
        }
        text = plain;
    }
    return QString::fromUtf8(text.left(CallerIdRecord::kMaxValueLength)).simplified();
}

bool isAnonymous(const url_t *url, const QString &display)
{
    const QByteArray party = partyOf(url).toLower();
    const QByteArray host = url && url->url_host ? QByteArray(url->url_host).toLower() : QByteArray();
    return party == "anonymous" || party == "restricted" || host == "anonymous.invalid" ||
           display.compare(QLatin1String("anonymous"), Qt::CaseInsensitive) == 0;
}

bool privacyAsked(const sip_t *sip)
{
    const sip_privacy_t *privacy = sip_privacy(sip);
    for (const msg_param_t *v = privacy ? privacy->priv_values : nullptr; v && *v; ++v) {
        if (QByteArrayView(*v).compare("id", Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

} // namespace

CallerId sipCallerOf(const sip_t *sip)
{
    CallerId caller;
    if (!sip)
        return caller;
    const url_t *url = nullptr;
    const char *display = nullptr;
    bool withheld = privacyAsked(sip);
    if (const sip_p_asserted_identity_t *paid = sip_p_asserted_identity(sip)) {
        url = paid->paid_url;
        display = paid->paid_display;
    } else if (const sip_remote_party_id_t *rpid = sip_remote_party_id(sip)) {
        url = rpid->rpid_url;
        display = rpid->rpid_display;
        const QByteArrayView hide = rpid->rpid_privacy ? QByteArrayView(rpid->rpid_privacy) : QByteArrayView();
        withheld = withheld || hide.compare("full", Qt::CaseInsensitive) == 0 ||
                   hide.compare("uri", Qt::CaseInsensitive) == 0;
    } else if (sip->sip_from) {
        url = sip->sip_from->a_url;
        display = sip->sip_from->a_display;
    }
    const QString name = displayText(display);
    if (withheld || isAnonymous(url, name)) {
        caller.withheld = true;
    } else {
        const QByteArray party = partyOf(url);
        if (const std::optional<QByteArray> number = phoneNumber(party)) {
            caller.number = QString::fromLatin1(*number);
            caller.name = name;
        } else {
            caller.unavailable = true;
            caller.name = name.isEmpty() ? QString::fromUtf8(QByteArray::fromPercentEncoding(party))
                                               .left(CallerIdRecord::kMaxValueLength)
                                         : name;
        }
    }
    std::optional<QByteArray> called;
    if (sip->sip_request)
        called = phoneNumber(partyOf(sip->sip_request->rq_url));
    if (!called && sip->sip_to)
        called = phoneNumber(partyOf(sip->sip_to->a_url));
    caller.calledNumber = QString::fromLatin1(called.value_or(QByteArray()));
    return caller;
}

} // namespace telephony
