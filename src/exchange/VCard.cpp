#include "exchange/VCard.h"

#include "exchange/VCardLines.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <numeric>
#include <optional>

namespace {

struct Property
{
    QByteArray group;  // upper case, as in "ITEM1.TEL"
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
    const QByteArray name = head.first().trimmed().toUpper();
    const qsizetype dot = name.lastIndexOf('.');
    p.group = name.left(std::max<qsizetype>(dot, 0));
    p.name = name.mid(dot + 1);
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

// Bytes to text: the named charset when Qt knows it (through ICU, any a phone writes:
// Windows-1251, Shift_JIS, ...); otherwise UTF-8, and when that is not valid UTF-8,
// Windows-1250, which is what a Croatian Windows program or phone writes without saying so.
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

struct Phone
{
    QString number;
    QString extension;
    QStringList types;
    int slot = -1;
    QByteArray group;
};

// The slot a phone of these types goes to: the first free one of its kind, then (when ANY) any
// free one, so that no number is lost.
int phoneSlot(const Phone &phone, const std::array<QString, 8> &numbers, bool any)
{
    auto has = [&](const char *t) { return phone.types.contains(QLatin1String(t)); };
    if (phone.slot >= 0 && numbers[std::size_t(phone.slot)].isEmpty())
        return phone.slot;
    QList<int> wanted;
    if (has("fax"))
        wanted = has("home") && !has("work") ? QList<int>{HomeFax, WorkFax} : QList<int>{WorkFax, HomeFax};
    else if (has("cell") || has("iphone"))
        wanted = {Cell};
    else if (has("main"))
        wanted = {CompanyMain};
    else if (has("work"))
        wanted = {Work, Work2, CompanyMain};
    else
        wanted = {Home, Home2};
    for (int s = 0; s < 8 && any; ++s)
        wanted << s;
    for (int s : wanted)
        if (numbers[std::size_t(s)].isEmpty())
            return s;
    return -1;
}

// Which numbers a full card keeps first: voice and mobile, then fax, then pager and the like.
int phoneRank(const Phone &phone)
{
    if (phone.types.contains(QLatin1String("fax")))
        return 1;
    static const QStringList others{QStringLiteral("pager"), QStringLiteral("modem"), QStringLiteral("bbs")};
    return std::any_of(others.begin(), others.end(),
                       [&](const QString &t) { return phone.types.contains(t); })
               ? 2
               : 0;
}

// The kinds of number a phone's location or label names, by its words in either language:
// what a user typed ("Mobitel", "Kod kuće", "Work fax") and Apple's own labels
// ("_$!<HomeFAX>!$_"). Empty when no word says a kind.
QStringList locationTypes(const QString &text)
{
    struct Word
    {
        const char *word;
        const char *types;
    };
    static constexpr Word words[] = {
        {"mobitel", "cell"},     {"mobilni", "cell"},  {"mobilna", "cell"},     {"mobilno", "cell"},
        {"mob", "cell"},         {"mobile", "cell"},   {"cell", "cell"},        {"cellular", "cell"},
        {"gsm", "cell"},         {"iphone", "cell"},   {"kuća", "home"},        {"kuca", "home"},
        {"kuće", "home"},        {"kuce", "home"},     {"kući", "home"},        {"kuci", "home"},
        {"kućni", "home"},       {"kucni", "home"},    {"home", "home"},        {"posao", "work"},
        {"poslovni", "work"},    {"poslovna", "work"}, {"ured", "work"},        {"office", "work"},
        {"work", "work"},        {"business", "work"}, {"tvrtka", "work main"}, {"company", "work main"},
        {"main", "main"},        {"central", "main"},  {"centrala", "main"},    {"fax", "fax"},
        {"faks", "fax"},         {"telefaks", "fax"},  {"telefax", "fax"},      {"homefax", "home fax"},
        {"workfax", "work fax"}, {"otherfax", "fax"},  {"pager", "pager"},
    };
    static const QHash<QString, QStringList> kinds = [] {
        QHash<QString, QStringList> table;
        for (const Word &w : words)
            table.insert(QString::fromUtf8(w.word), QString::fromLatin1(w.types).split(QLatin1Char(' ')));
        return table;
    }();
    static const QRegularExpression nonLetters(QStringLiteral("[^\\p{L}]+"));
    QStringList types;
    for (const QString &word : text.toLower().split(nonLetters, Qt::SkipEmptyParts))
        for (const QString &type : kinds.value(word))
            if (!types.contains(type))
                types << type;
    return types;
}

// A number as it is dialled: the line's number, then what is dialled once it answers (an
// extension after a pause or wait, "x" or "ext", a tel: URI's ext parameter). Only the line's
// number tells a caller, so it alone becomes the contact's number.
Phone splitNumber(QString value)
{
    Phone phone;
    if (value.startsWith(QLatin1String("tel:"), Qt::CaseInsensitive)) {
        const QStringList parts = value.mid(4).split(QLatin1Char(';'));
        value = parts.first();
        for (const QString &param : parts)
            if (param.startsWith(QLatin1String("ext="), Qt::CaseInsensitive))
                phone.extension = param.mid(4);
    }
    static const QRegularExpression extension(
        QStringLiteral("(?:[,;]|[pw](?=[\\d,;pw*#]|$)|(?:ext\\.?|x)\\s*\\d)"),
        QRegularExpression::CaseInsensitiveOption);
    bool digit = false;
    for (qsizetype i = 0; i < value.size(); ++i) {
        digit = digit || value[i].isDigit();
        if (digit && !value[i].isDigit() &&
            extension
                .match(value, i, QRegularExpression::NormalMatch,
                       QRegularExpression::AnchorAtOffsetMatchOption)
                .hasMatch()) {
            phone.extension += QString(value.mid(i)).remove(QRegularExpression(QStringLiteral("[^\\d*#]")));
            value.truncate(i);
            break;
        }
    }
    phone.number = value.trimmed();
    return phone;
}

// Where an ADR or URL goes: its type, else the home one when free, else the work one.
bool isWork(const Property &p, bool homeTaken)
{
    if (p.types.contains(QLatin1String("work")))
        return true;
    return !p.types.contains(QLatin1String("home")) && homeTaken;
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

QString firstOf(const auto &texts)
{
    const auto it = std::find_if(texts.begin(), texts.end(), [](const QString &t) { return !t.isEmpty(); });
    return it == texts.end() ? QString() : *it;
}

// Takes the logical lines of a file, card by card, into a reading.
class CardReader
{
public:
    void line(const QByteArray &line)
    {
        Property p;
        if (!parseLine(line, p))
            return;
        const QByteArray value = p.value.trimmed().toUpper();
        if (p.name == "BEGIN" && value == "VCARD") {
            // A card nested in another (2.1's AGENT) is skipped with its contents.
            if (m_depth++ == 0)
                start();
        } else if (p.name == "END" && value == "VCARD") {
            if (m_depth > 0 && --m_depth == 0)
                finish();
        } else if (m_depth == 1 && !m_leavingOut) {
            m_kept += p.value.size();
            add(p);
        }
    }

    TVCardReading result()
    {
        if (m_depth > 0)
            finish();
        m_depth = 0;
        return std::move(m_reading);
    }

private:
    void start()
    {
        ++m_reading.Found;
        m_leavingOut = m_reading.Cards.size() >= vcard::kMaxCards || m_kept >= vcard::kMaxKeptBytes;
        m_card = TVCard();
        m_isGroup = false;
        m_phones.clear();
        m_labels.clear();
        m_fileAs.clear();
    }

    void add(const Property &p);
    void placePhones();
    void finish();

    TVCardReading m_reading;
    qsizetype m_kept = 0;
    int m_depth = 0;
    bool m_leavingOut = false;
    TVCard m_card;
    bool m_isGroup = false;
    QList<Phone> m_phones;
    QHash<QByteArray, QString> m_labels;
    QString m_fileAs;
};

void CardReader::add(const Property &p)
{
    AListAddress &c = m_card.Contact;
    const QString text = rawText(p);
    const QStringList parts = components(text, p.name == "N" || p.name == "ADR" || p.name == "ORG");
    const QString value = parts.first();
    if (p.name == "FN")
        c.DisplayNameAs = vcard::nameWithoutControls(value).trimmed();
    else if (p.name == "N") {
        c.LastName = vcard::nameWithoutControls(parts.value(0));
        c.FirstName = vcard::nameWithoutControls(parts.value(1));
    } else if (p.name == "NICKNAME")
        c.NickName = vcard::nameWithoutControls(value);
    else if (p.name == "X-EVOLUTION-FILE-AS")
        m_fileAs = vcard::nameWithoutControls(value).trimmed();
    else if (p.name == "ORG") {
        c.CompanyName = parts.value(0);
        c.CompanyDepartment = parts.value(1);
        c.CompanyOffice = parts.value(2);
    } else if (p.name == "TITLE")
        c.CompanyJobTitle = value;
    else if (p.name == "NOTE")
        c.Notes = value;
    else if (p.name == "UID")
        m_card.Uid = value;
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
    } else if (p.name == "EMAIL" && !value.trimmed().isEmpty()) {
        // Our marker keeps each address in its own position; others take the first free one.
        if (p.slot >= 0 && p.slot < int(c.EMail.size()) && c.EMail[std::size_t(p.slot)].isEmpty())
            c.EMail[std::size_t(p.slot)] = value;
        else if (const auto free = std::find(c.EMail.begin(), c.EMail.end(), QString());
                 free != c.EMail.end())
            *free = value;
    } else if (p.name == "TEL" && !value.trimmed().isEmpty()) {
        // A card with hundreds of numbers keeps no more of them than a reasonable card has.
        if (m_phones.size() >= 64) {
            ++m_reading.NumbersLeftOut;
            return;
        }
        Phone phone = splitNumber(value);
        if (phone.number.isEmpty())
            return;
        phone.types = p.types;
        phone.slot = p.slot;
        phone.group = p.group;
        m_phones << phone;
    } else if (p.name == "X-ABLABEL" && !p.group.isEmpty())
        m_labels.insert(p.group, value);
    else if (p.name == "KIND" || p.name == "X-ADDRESSBOOKSERVER-KIND") {
        m_isGroup = value.trimmed().compare(QLatin1String("individual"), Qt::CaseInsensitive) != 0 &&
                    value.trimmed().compare(QLatin1String("org"), Qt::CaseInsensitive) != 0;
    }
}

void CardReader::placePhones()
{
    for (Phone &phone : m_phones)
        if (!phone.group.isEmpty())
            phone.types += locationTypes(m_labels.value(phone.group));
    // More numbers than slots: the voice and mobile numbers stay, fax and pager go first.
    QList<qsizetype> order(m_phones.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        return phoneRank(m_phones[a]) < phoneRank(m_phones[b]);
    });
    QList<bool> kept(m_phones.size(), false);
    for (qsizetype i = 0; i < std::min<qsizetype>(order.size(), 8); ++i)
        kept[order[i]] = true;
    m_reading.NumbersLeftOut += std::max<qsizetype>(m_phones.size() - 8, 0);

    AListAddress &c = m_card.Contact;
    // Our own slot markers first, then the others in the file's order: each in a slot of its
    // kind while there is one, what is left in any free one.
    for (int pass = 0; pass < 3; ++pass)
        for (qsizetype i = 0; i < m_phones.size(); ++i) {
            const Phone &phone = m_phones[i];
            const int slot = phoneSlot(phone, c.PhoneNumber, pass == 2);
            if (!kept[i] || (pass == 0 && phone.slot < 0) || slot < 0)
                continue;
            kept[i] = false;
            c.PhoneNumber[std::size_t(slot)] = phone.number;
            c.PhoneLocation[std::size_t(slot)] = vcard::phoneLocation(slot);
            if (!phone.extension.isEmpty())
                c.Notes += (c.Notes.isEmpty() ? QString() : QStringLiteral("\n")) +
                           QCoreApplication::translate("VCard", "%1: kućni broj %2")
                               .arg(phone.number, phone.extension);
        }
}

void CardReader::finish()
{
    if (m_leavingOut) {
        ++m_reading.LeftOut;
        return;
    }
    placePhones();
    AListAddress &c = m_card.Contact;
    // Many cards carry no FN, or an empty one: the contact is named as people read it.
    if (c.DisplayNameAs.isEmpty())
        c.DisplayNameAs = vcard::nameWithoutControls(firstOf(QStringList{
            QStringList{c.FirstName, c.LastName}.join(QLatin1Char(' ')).trimmed(), c.CompanyName.trimmed(),
            m_fileAs, firstOf(c.EMail).trimmed(), firstOf(c.PhoneNumber)}));
    if (m_isGroup || isEmptyContact(c))
        ++m_reading.Skipped;
    else
        m_reading.Cards << m_card;
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

// A slot's TEL types: what its location says, the slot's own kind when the location names none
// (a name, a note, a blank). A number the user called "Mobitel" is a mobile, whichever slot
// holds it.
QByteArray telTypes(const QString &location, int slot)
{
    static const char *const bySlot[8] = {"home,voice", "home,voice", "cell,voice", "work,main",
                                          "work,voice", "work,voice", "work,fax",   "home,fax"};
    const QStringList types = locationTypes(location);
    if (types.isEmpty())
        return bySlot[slot];
    QByteArrayList out;
    for (const char *type : {"home", "work", "main", "cell", "pager", "fax"})
        if (types.contains(QLatin1String(type)))
            out << type;
    if (!types.contains(QLatin1String("fax")) && !types.contains(QLatin1String("pager")) &&
        !types.contains(QLatin1String("main")))
        out << "voice";
    return out.join(',');
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

QString readingNotice(const TVCardReading &reading)
{
    QStringList lines;
    if (reading.LeftOut > 0)
        lines << QCoreApplication::translate("VCard",
                                             "Datoteka ima više kartica nego što se odjednom može uvesti: "
                                             "izostavljeno je %1 od %2 kartica.")
                     .arg(reading.LeftOut)
                     .arg(reading.Found);
    if (reading.Skipped > 0)
        lines << QCoreApplication::translate("VCard",
                                             "Preskočeno je kartica koje nisu kontakti ili se ne mogu "
                                             "pročitati: %1.")
                     .arg(reading.Skipped);
    if (reading.NumbersLeftOut > 0)
        lines << QCoreApplication::translate("VCard",
                                             "Izostavljeno je telefonskih brojeva preko osam po kontaktu: "
                                             "%1 (zadržani su najprije glasovni i mobilni brojevi).")
                     .arg(reading.NumbersLeftOut);
    return lines.join(QLatin1Char('\n'));
}

} // namespace vcard

TVCardReading ReadVCards(QIODevice &in)
{
    CardReader cards;
    vcard::LineReader lines([&cards](const QByteArray &line) { cards.line(line); });
    for (QByteArray chunk; !(chunk = in.read(64 * 1024)).isEmpty();)
        lines.feed(chunk);
    lines.finish();
    return cards.result();
}

QList<TVCard> ReadVCards(const QByteArray &data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return ReadVCards(buffer).Cards;
}

bool ReadVCardFile(const QString &fileName, TVCardReading &reading, QString *error)
{
    QFile file(fileName);
    QString failure;
    if (!file.open(QIODevice::ReadOnly))
        failure = QCoreApplication::translate("VCard", "Datoteka %1 se ne može otvoriti: %2")
                      .arg(fileName, file.errorString());
    else if ((reading = ReadVCards(file)).Found == 0)
        failure = QCoreApplication::translate("VCard", "Datoteka nije vCard datoteka.");
    if (failure.isEmpty())
        return true;
    reading = TVCardReading();
    if (error)
        *error = failure;
    return false;
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
    for (int k = 0; k < int(c.EMail.size()); ++k)
        if (!c.EMail[std::size_t(k)].isEmpty())
            appendLine(out, "EMAIL;TYPE=internet;X-TELLWISE-SLOT=" + QByteArray::number(k + 1),
                       escaped(c.EMail[std::size_t(k)]));
    for (int s = 0; s < 8; ++s)
        if (!c.PhoneNumber[std::size_t(s)].isEmpty())
            appendLine(out,
                       "TEL;TYPE=" + telTypes(c.PhoneLocation[std::size_t(s)], s) +
                           ";X-TELLWISE-SLOT=" + QByteArray::number(s + 1),
                       escaped(c.PhoneNumber[std::size_t(s)]));
    if (!c.Notes.isEmpty())
        appendLine(out, "NOTE", escaped(c.Notes));
    out += "END:VCARD\r\n";
    return out;
}
