#include "exchange/VCard.h"

#include <QCoreApplication>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace {

struct Property
{
    QByteArray name;   // upper case, group prefix removed
    QStringList types; // lower case, from TYPE= and 2.1's bare parameters
    QByteArray encoding;
    QByteArray charset;
    int slot = -1; // our own slot marker, 0-based
    QByteArray value;
};

// ---- reading ------------------------------------------------------------------------------

// Splits at the separator outside double quotes.
QList<QByteArray> splitOutsideQuotes(const QByteArray &text, char sep)
{
    QList<QByteArray> parts;
    bool quoted = false;
    qsizetype from = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '"')
            quoted = !quoted;
        else if (text[i] == sep && !quoted) {
            parts << text.mid(from, i - from);
            from = i + 1;
        }
    }
    parts << text.mid(from);
    return parts;
}

QByteArray unquote(QByteArray v)
{
    v = v.trimmed();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.mid(1, v.size() - 2);
    return v;
}

bool parseLine(const QByteArray &line, Property &p)
{
    // The value starts after the first colon that is not inside a quoted parameter.
    qsizetype colon = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size() && colon < 0; ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (line[i] == ':' && !quoted)
            colon = i;
    }
    if (colon <= 0)
        return false;
    p.value = line.mid(colon + 1);
    const QList<QByteArray> head = splitOutsideQuotes(line.left(colon), ';');
    p.name = head.first().trimmed().toUpper();
    p.name = p.name.mid(p.name.lastIndexOf('.') + 1);
    for (qsizetype i = 1; i < head.size(); ++i) {
        const qsizetype eq = head[i].indexOf('=');
        const QByteArray key = (eq < 0 ? QByteArray("TYPE") : head[i].left(eq).trimmed().toUpper());
        const QByteArray value = unquote(eq < 0 ? head[i] : head[i].mid(eq + 1));
        const QByteArray bare = value.toUpper();
        if (key == "ENCODING" || (eq < 0 && (bare == "QUOTED-PRINTABLE" || bare == "BASE64" || bare == "B")))
            p.encoding = bare;
        else if (key == "CHARSET")
            p.charset = value;
        else if (key == "X-TELLWISE-SLOT") {
            bool ok = false;
            const int slot = value.toInt(&ok);
            p.slot = ok && slot >= 1 && slot <= 8 ? slot - 1 : -1;
        } else if (key == "TYPE") {
            for (const QByteArray &t : splitOutsideQuotes(value, ','))
                p.types << QString::fromLatin1(unquote(t)).toLower();
        }
    }
    return true;
}

QByteArray decodeQuotedPrintable(const QByteArray &in)
{
    auto hex = [](char c) {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        if (in[i] == '=' && i + 2 < in.size() && hex(in[i + 1]) >= 0 && hex(in[i + 2]) >= 0) {
            out += char(hex(in[i + 1]) * 16 + hex(in[i + 2]));
            i += 2;
        } else {
            out += in[i];
        }
    }
    return out;
}

// Bytes to text: the named charset when Qt knows it; otherwise UTF-8, and when that is not
// valid UTF-8, Windows-1250 (what a Croatian phone or program most likely wrote).
QString decodeText(const QByteArray &bytes, const QByteArray &charset)
{
    if (!charset.isEmpty()) {
        QStringDecoder named(charset.constData());
        if (named.isValid())
            return named.decode(bytes);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder cp1250("windows-1250");
    return cp1250.isValid() ? QString(cp1250.decode(bytes)) : QString::fromLatin1(bytes);
}

// Splits a structured value at unescaped semicolons and removes the escapes of each part.
QStringList components(const QString &value, bool structured)
{
    QStringList parts{QString()};
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == QLatin1Char('\\') && i + 1 < value.size()) {
            const QChar n = value[++i];
            parts.last() += (n == QLatin1Char('n') || n == QLatin1Char('N')) ? QChar(u'\n') : n;
        } else if (c == QLatin1Char(';') && structured) {
            parts << QString();
        } else {
            parts.last() += c;
        }
    }
    return parts;
}

QString rawText(const Property &p)
{
    QByteArray bytes = p.value;
    if (p.encoding == "QUOTED-PRINTABLE")
        bytes = decodeQuotedPrintable(bytes);
    else if (p.encoding == "BASE64" || p.encoding == "B")
        bytes = QByteArray::fromBase64(bytes);
    return decodeText(bytes, p.charset);
}

// Hands each logical line of DATA to USE, one at a time: folded lines joined, and 2.1's
// quoted-printable soft breaks too. Blank lines and lines longer than the limit are dropped.
template <typename Use> void forEachLogicalLine(const QByteArray &data, Use use)
{
    QByteArray current;
    bool dropping = false;
    auto isQuotedPrintable = [](const QByteArray &line) {
        const qsizetype colon = line.indexOf(':');
        return colon > 0 && line.left(colon).toUpper().contains("QUOTED-PRINTABLE");
    };
    auto flush = [&] {
        if (!current.isEmpty())
            use(current);
        current.clear();
    };
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype end = pos;
        while (end < data.size() && data[end] != '\n' && data[end] != '\r')
            ++end;
        const QByteArray physical = data.mid(pos, end - pos);
        pos = end;
        if (pos < data.size() && data[pos] == '\r')
            ++pos;
        if (pos < data.size() && data[pos] == '\n')
            ++pos;
        const bool folded = !physical.isEmpty() && (physical[0] == ' ' || physical[0] == '\t');
        const bool softBreak = current.endsWith('=') && isQuotedPrintable(current);
        if (folded || softBreak) {
            if (dropping || current.isEmpty())
                continue;
            if (softBreak && !folded)
                current.chop(1);
            current += folded ? physical.mid(1) : physical;
            if (current.size() > vcard::kMaxLineSize) {
                // Too long to be a field we keep (a photo at most): drop it whole.
                current.clear();
                dropping = true;
            }
            continue;
        }
        flush();
        dropping = physical.size() > vcard::kMaxLineSize;
        if (!dropping && !physical.trimmed().isEmpty())
            current = physical;
    }
    flush();
}

enum Slot
{
    Home,
    Home2,
    Cell,
    CompanyMain,
    Work,
    Work2,
    WorkFax,
    HomeFax
};

// The slot a phone of these types goes to: the first free one of its kind, then any free one,
// so that no number is lost.
int phoneSlot(const Property &p, const std::array<QString, 8> &numbers)
{
    auto has = [&](const char *t) { return p.types.contains(QLatin1String(t)); };
    if (p.slot >= 0 && numbers[std::size_t(p.slot)].isEmpty())
        return p.slot;
    QList<int> wanted;
    if (has("fax"))
        wanted = has("home") && !has("work") ? QList<int>{HomeFax, WorkFax} : QList<int>{WorkFax, HomeFax};
    else if (has("cell"))
        wanted = {Cell};
    else if (has("main"))
        wanted = {CompanyMain};
    else if (has("work"))
        wanted = {Work, Work2, CompanyMain};
    else
        wanted = {Home, Home2};
    for (int s = 0; s < 8; ++s)
        wanted << s;
    for (int s : wanted)
        if (numbers[std::size_t(s)].isEmpty())
            return s;
    return -1;
}

// Where an ADR or URL goes: its type, else the home one when free, else the work one.
bool isWork(const Property &p, bool homeTaken)
{
    if (p.types.contains(QLatin1String("work")))
        return true;
    return !p.types.contains(QLatin1String("home")) && homeTaken;
}

void addProperty(TVCard &card, bool &isGroup, const Property &p)
{
    AListAddress &c = card.Contact;
    const QString text = rawText(p);
    const QStringList parts = components(text, p.name == "N" || p.name == "ADR" || p.name == "ORG");
    const QString value = parts.first();
    if (p.name == "FN")
        c.DisplayNameAs = vcard::nameWithoutControls(value);
    else if (p.name == "N") {
        c.LastName = vcard::nameWithoutControls(parts.value(0));
        c.FirstName = vcard::nameWithoutControls(parts.value(1));
    } else if (p.name == "NICKNAME")
        c.NickName = vcard::nameWithoutControls(value);
    else if (p.name == "ORG") {
        c.CompanyName = parts.value(0);
        c.CompanyDepartment = parts.value(1);
        c.CompanyOffice = parts.value(2);
    } else if (p.name == "TITLE")
        c.CompanyJobTitle = value;
    else if (p.name == "NOTE")
        c.Notes = value;
    else if (p.name == "UID")
        card.Uid = value;
    else if (p.name == "ADR") {
        const bool homeTaken = !(c.HomeAddress + c.HomeCity + c.HomePostNo + c.HomeCountry).isEmpty();
        const bool work = isWork(p, homeTaken);
        (work ? c.CompanyAddress : c.HomeAddress) = parts.value(2);
        (work ? c.CompanyCity : c.HomeCity) = parts.value(3);
        (work ? c.CompanyPostNo : c.HomePostNo) = parts.value(5);
        (work ? c.CompanyCountry : c.HomeCountry) = parts.value(6);
    } else if (p.name == "URL") {
        // A URL is not escaped text; take it as written, on one line.
        (isWork(p, !c.HomeWebPage.isEmpty()) ? c.CompanyWebPage : c.HomeWebPage) =
            QString(text).remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    } else if (p.name == "EMAIL") {
        for (QString &e : c.EMail)
            if (e.isEmpty()) {
                e = value;
                break;
            }
    } else if (p.name == "TEL" && !value.isEmpty()) {
        // 4.0 writes numbers as "tel:" URIs.
        const bool uri = value.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive) && value.size() > 4;
        const int slot = phoneSlot(p, c.PhoneNumber);
        if (slot >= 0) {
            c.PhoneNumber[std::size_t(slot)] = uri ? value.mid(4) : value;
            c.PhoneLocation[std::size_t(slot)] = vcard::phoneLocation(slot);
        }
    } else if (p.name == "KIND" || p.name == "X-ADDRESSBOOKSERVER-KIND") {
        isGroup = value.trimmed().compare(QLatin1String("individual"), Qt::CaseInsensitive) != 0 &&
                  value.trimmed().compare(QLatin1String("org"), Qt::CaseInsensitive) != 0;
    }
}

bool isEmptyContact(const AListAddress &c)
{
    if (!(c.DisplayNameAs + c.FirstName + c.LastName + c.CompanyName).isEmpty())
        return false;
    for (const QString &n : c.PhoneNumber)
        if (!n.isEmpty())
            return false;
    for (const QString &e : c.EMail)
        if (!e.isEmpty())
            return false;
    return true;
}

void finish(TVCard &card, bool isGroup, QList<TVCard> &cards)
{
    AListAddress &c = card.Contact;
    // 2.1 cards often carry no FN: name the contact as people read it.
    if (c.DisplayNameAs.trimmed().isEmpty())
        c.DisplayNameAs = QStringList{c.FirstName, c.LastName}.join(QLatin1Char(' ')).trimmed();
    if (c.DisplayNameAs.isEmpty())
        c.DisplayNameAs = c.CompanyName;
    if (!isGroup && !isEmptyContact(c))
        cards << card;
}

// ---- writing ------------------------------------------------------------------------------

QString escaped(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString out;
    out.reserve(text.size());
    for (const QChar c : std::as_const(text)) {
        if (c == QLatin1Char('\n'))
            out += QLatin1String("\\n");
        else if (c == QLatin1Char('\\') || c == QLatin1Char(',') || c == QLatin1Char(';'))
            out += QLatin1Char('\\') + c;
        else
            out += c;
    }
    return out;
}

// Folds at 75 octets, never inside a UTF-8 sequence.
void appendLine(QByteArray &out, const QByteArray &name, const QString &value)
{
    const QByteArray line = name + ':' + value.toUtf8();
    qsizetype from = 0;
    qsizetype room = 75;
    while (line.size() - from > room) {
        qsizetype cut = from + room;
        while (cut > from && (uchar(line[cut]) & 0xC0) == 0x80)
            --cut;
        out += line.mid(from, cut - from) + "\r\n ";
        from = cut;
        room = 74;
    }
    out += line.mid(from) + "\r\n";
}

void appendStructured(QByteArray &out, const QByteArray &name, const QStringList &parts)
{
    bool any = false;
    QStringList values;
    for (const QString &p : parts) {
        any = any || !p.isEmpty();
        values << escaped(p);
    }
    if (any)
        appendLine(out, name, values.join(QLatin1Char(';')));
}

} // namespace

namespace vcard {

QString phoneLocation(int slot)
{
    static const char *const names[8] = {
        QT_TRANSLATE_NOOP("VCard", "Kuća"),        QT_TRANSLATE_NOOP("VCard", "Kuća 2"),
        QT_TRANSLATE_NOOP("VCard", "Mobitel"),     QT_TRANSLATE_NOOP("VCard", "Tvrtka"),
        QT_TRANSLATE_NOOP("VCard", "Posao"),       QT_TRANSLATE_NOOP("VCard", "Posao 2"),
        QT_TRANSLATE_NOOP("VCard", "Posao (FAX)"), QT_TRANSLATE_NOOP("VCard", "Kuća (FAX)"),
    };
    return slot >= 0 && slot < 8 ? QCoreApplication::translate("VCard", names[slot]) : QString();
}

QString nameWithoutControls(const QString &name)
{
    if (std::none_of(name.begin(), name.end(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return name;
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        if (c.category() != QChar::Other_Control)
            out += c;
        else if (c.isSpace())
            out += QLatin1Char(' ');
    }
    return out.simplified();
}

} // namespace vcard

QList<TVCard> ReadVCards(const QByteArray &data)
{
    QList<TVCard> cards;
    if (data.size() > vcard::kMaxFileSize)
        return cards;
    int depth = 0;
    TVCard card;
    bool isGroup = false;
    forEachLogicalLine(data, [&](const QByteArray &line) {
        Property p;
        if (cards.size() >= vcard::kMaxCards || !parseLine(line, p))
            return;
        const QByteArray value = p.value.trimmed().toUpper();
        if (p.name == "BEGIN" && value == "VCARD") {
            // A card nested in another (2.1's AGENT) is skipped with its contents.
            if (depth++ == 0) {
                card = TVCard();
                isGroup = false;
            }
        } else if (p.name == "END" && value == "VCARD") {
            if (depth > 0 && --depth == 0)
                finish(card, isGroup, cards);
        } else if (depth == 1) {
            addProperty(card, isGroup, p);
        }
    });
    if (depth > 0 && cards.size() < vcard::kMaxCards)
        finish(card, isGroup, cards);
    return cards;
}

QByteArray WriteVCard(const AListAddress &c, const QString &uid)
{
    QByteArray out = "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    if (!uid.isEmpty())
        appendLine(out, "UID", escaped(uid));
    appendLine(out, "N",
               escaped(c.LastName) + QLatin1Char(';') + escaped(c.FirstName) + QLatin1String(";;;"));
    appendLine(out, "FN", escaped(c.DisplayNameAs));
    if (!c.NickName.isEmpty())
        appendLine(out, "NICKNAME", escaped(c.NickName));
    appendStructured(out, "ORG", {c.CompanyName, c.CompanyDepartment, c.CompanyOffice});
    if (!c.CompanyJobTitle.isEmpty())
        appendLine(out, "TITLE", escaped(c.CompanyJobTitle));
    appendStructured(
        out, "ADR;TYPE=home",
        {QString(), QString(), c.HomeAddress, c.HomeCity, QString(), c.HomePostNo, c.HomeCountry});
    appendStructured(out, "ADR;TYPE=work",
                     {QString(), QString(), c.CompanyAddress, c.CompanyCity, QString(), c.CompanyPostNo,
                      c.CompanyCountry});
    // A URL is written as it is; only line breaks, which would end the line, are dropped.
    auto url = [](QString u) { return u.remove(QLatin1Char('\r')).remove(QLatin1Char('\n')); };
    if (!c.HomeWebPage.isEmpty())
        appendLine(out, "URL;TYPE=home", url(c.HomeWebPage));
    if (!c.CompanyWebPage.isEmpty())
        appendLine(out, "URL;TYPE=work", url(c.CompanyWebPage));
    for (const QString &e : c.EMail)
        if (!e.isEmpty())
            appendLine(out, "EMAIL;TYPE=internet", escaped(e));
    static const char *const telTypes[8] = {"home,voice", "home,voice", "cell,voice", "work,main",
                                            "work,voice", "work,voice", "work,fax",   "home,fax"};
    for (int s = 0; s < 8; ++s)
        if (!c.PhoneNumber[std::size_t(s)].isEmpty())
            appendLine(
                out, "TEL;TYPE=" + QByteArray(telTypes[s]) + ";X-TELLWISE-SLOT=" + QByteArray::number(s + 1),
                escaped(c.PhoneNumber[std::size_t(s)]));
    if (!c.Notes.isEmpty())
        appendLine(out, "NOTE", escaped(c.Notes));
    out += "END:VCARD\r\n";
    return out;
}
