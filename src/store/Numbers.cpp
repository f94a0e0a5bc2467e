#include "store/Numbers.h"

#include "store/Records.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

QString OwnAreaCode;

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Leading zeros carry the trunk and international prefixes, which the comparison ignores.
QStringView withoutLeadingZeros(QStringView digits)
{
    qsizetype i = 0;
    while (i < digits.size() && digits[i] == QLatin1Char('0'))
        ++i;
    return digits.mid(i);
}

// The caller look-up compares one number against up to 800 000 stored ones while a call rings.
// Each stored number is kept as its digits without leading zeros, plus a 32-bit key holding its
// last eight digits as 4-bit nibbles (digit + 1; 0 where the number is shorter). A caller's
// number can only match a stored one whose key agrees on the caller's last min(8, length)
// digits, so a masked compare over a flat array rules out almost every number; candidates get
// the exact test. The keys lie in list order, contact by contact, PhoneNumber1..8, so the first
// key that passes the exact test is the first match in list order.
constexpr int kNumbersPerContact = 8;
constexpr int kKeyDigits = 8;

// Key of the last min(kKeyDigits, length) characters of ASCII digits.
std::uint32_t keyOf(const char *digits, std::size_t length)
{
    std::uint32_t key = 0;
    const std::size_t n = std::min<std::size_t>(length, kKeyDigits);
    for (std::size_t p = 0; p < n; ++p)
        key |= std::uint32_t(digits[length - 1 - p] - '0' + 1) << (4 * p);
    return key;
}

void appendSignificantDigits(std::string &out, const QString &text)
{
    bool leading = true;
    for (const QChar c : text) {
        if (!isDigit(c))
            continue;
        if (leading && c == QLatin1Char('0'))
            continue;
        leading = false;
        out.push_back(char(c.unicode()));
    }
}

// Index of the first stored number that the caller's significant digits match, or -1.
qsizetype firstMatchingNumber(const std::vector<std::uint32_t> &keyList,
                              const std::vector<std::uint32_t> &offsets, const std::string &digits,
                              const std::string &caller)
{
    const std::uint32_t callerKey = keyOf(caller.data(), caller.size());
    const int keyDigits = int(std::min<std::size_t>(caller.size(), kKeyDigits));
    const std::uint32_t mask = keyDigits == kKeyDigits ? 0xFFFFFFFFu : (1u << (4 * keyDigits)) - 1;
    const std::uint32_t *keys = keyList.data();
    const std::size_t count = keyList.size();
    for (std::size_t base = 0; base < count; base += kNumbersPerContact) {
        // Branch-free over one contact's eight keys, so the compiler can vectorise the scan.
        unsigned hits = 0;
        for (int k = 0; k < kNumbersPerContact; ++k)
            hits |= unsigned((keys[base + std::size_t(k)] & mask) == callerKey) << k;
        while (hits != 0) {
            const int k = __builtin_ctz(hits);
            hits &= hits - 1;
            const std::size_t i = base + std::size_t(k);
            const std::size_t begin = offsets[i];
            const std::size_t length = offsets[i + 1] - begin;
            if (length >= caller.size() &&
                digits.compare(begin + length - caller.size(), caller.size(), caller) == 0)
                return qsizetype(i);
        }
    }
    return -1;
}

} // namespace

QString DigitsOnly(const QString &text)
{
    QString digits;
    digits.reserve(text.size());
    for (const QChar c : text) {
        if (isDigit(c))
            digits.append(c);
    }
    return digits;
}

QString PhoneCharsOnly(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (isDigit(c) || c == QLatin1Char('+') || c == QLatin1Char('-'))
            result.append(c);
    }
    return result;
}

bool NumbersMatch(const QString &callerDigits, const QString &storedDigits)
{
    const QStringView a = withoutLeadingZeros(QStringView(callerDigits).trimmed());
    QStringView b = withoutLeadingZeros(QStringView(storedDigits).trimmed());
    // A number of zeros alone says nothing about the caller; as an empty tail it would match
    // every stored number.
    if (a.isEmpty() || b.isEmpty())
        return false;
    if (b.size() >= a.size())
        b = b.right(a.size());
    return a == b;
}

ContactNumberIndex::ContactNumberIndex(const TContactList &contacts)
{
    m_keys.reserve(std::size_t(contacts.size()) * kNumbersPerContact);
    m_offsets.reserve(std::size_t(contacts.size()) * kNumbersPerContact + 1);
    for (const AListAddress &contact : contacts)
        addRow(contact.PhoneNumber);
}

void ContactNumberIndex::addRow(const std::array<QString, 8> &numbers)
{
    for (const QString &number : numbers) {
        const std::size_t start = m_digits.size();
        appendSignificantDigits(m_digits, number);
        m_keys.push_back(keyOf(m_digits.data() + start, m_digits.size() - start));
        m_offsets.push_back(std::uint32_t(m_digits.size()));
    }
}

ContactMatch FindContactByNumber(const TContactList &contacts, const QString &callerNumber)
{
    return ContactNumberIndex(contacts).find(contacts, callerNumber);
}

int ContactNumberIndex::findRow(const QString &callerNumber, int *slot) const
{
    std::string caller;
    appendSignificantDigits(caller, DigitsOnly(callerNumber));
    const qsizetype i = caller.empty() ? -1 : firstMatchingNumber(m_keys, m_offsets, m_digits, caller);
    if (slot)
        *slot = i < 0 ? -1 : int(i % kNumbersPerContact);
    return i < 0 ? -1 : int(i / kNumbersPerContact);
}

ContactMatch ContactNumberIndex::find(const TContactList &contacts, const QString &callerNumber) const
{
    ContactMatch match;
    int slot = -1;
    match.index = findRow(callerNumber, &slot);
    if (match.index >= 0)
        match.location = contacts[match.index].PhoneLocation[std::size_t(slot)];
    return match;
}

QStringList TelephonyLocationFiles()
{
    const QString name = QStringLiteral("/Kavelink/telephony-locations.ini");
    QStringList files;
    QString systemDirs = qEnvironmentVariable("XDG_CONFIG_DIRS");
    if (systemDirs.isEmpty())
        systemDirs = QStringLiteral("/etc/xdg");
    // The first system folder is the most important, so it comes last among them.
    const QStringList dirs = systemDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (auto it = dirs.crbegin(); it != dirs.crend(); ++it)
        files.append(*it + name);
    QString userDir = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (userDir.isEmpty())
        userDir = QDir::homePath() + QStringLiteral("/.config");
    files.append(userDir + name);
    return files;
}

QString ReadTelephonyAreaCode(const QStringList &files)
{
    // Later files override earlier ones key by key, as a user's value overrides the system's.
    // Without a CurrentID the location number is empty and the group is plain [Location], as
    // with the registry keys; a CurrentID that is not an integer gives no area code.
    QString currentId;
    bool badCurrentId = false;
    std::vector<std::unique_ptr<QSettings>> settings;
    for (const QString &file : files) {
        if (!QFileInfo(file).isFile())
            continue;
        settings.push_back(std::make_unique<QSettings>(file, QSettings::IniFormat));
        const QVariant id = settings.back()->value(QStringLiteral("Locations/CurrentID"));
        if (id.isValid()) {
            bool ok = false;
            const int n = id.toString().trimmed().toInt(&ok);
            currentId = ok ? QString::number(n) : QString();
            badCurrentId = !ok;
        }
    }
    if (badCurrentId)
        return {};
    QString areaCode;
    const QString key = QStringLiteral("Location%1/AreaCode").arg(currentId);
    for (const auto &s : settings) {
        const QVariant value = s->value(key);
        if (value.isValid())
            areaCode = value.toString();
    }
    return areaCode;
}

QString ReadTelephonyAreaCode()
{
    return ReadTelephonyAreaCode(TelephonyLocationFiles());
}

QString StripOwnAreaCode(const QString &number)
{
    // A call without a called number says nothing about the trunk prefix; letting it shorten
    // the area code would stop the stripping for every later call of the session.
    if (number.isEmpty())
        return number;
    if (OwnAreaCode.startsWith(QLatin1Char('0')) && !number.startsWith(QLatin1Char('0')))
        OwnAreaCode.remove(0, 1);
    if (number.startsWith(OwnAreaCode))
        return number.mid(OwnAreaCode.size());
    return number;
}

QString FormatPhoneNumber(const QString &number, const NumberFormatSettings &settings)
{
    switch (settings.HowToFormat) {
    case 1:
        return FormatByPattern(number, settings);
    case 2:
        return FormatAutomatically(number, settings);
    default:
        return number;
    }
}

namespace {

QString applyPattern(QStringView pattern, QStringView digits)
{
    QString result;
    result.reserve(pattern.size());
    qsizetype next = 0;
    for (const QChar c : pattern) {
        if (c == QLatin1Char('x')) {
            if (next < digits.size())
                result.append(digits[next++]);
        } else {
            result.append(c);
        }
    }
    return result;
}

} // namespace

QString FormatByPattern(const QString &number, const NumberFormatSettings &settings)
{
    QString prefix;
    QStringView rest(number);
    if (rest.startsWith(QLatin1String("00"))) {
        prefix = QStringLiteral("+");
        rest = rest.mid(2);
    }
    const qsizetype n = rest.size();
    QString result;
    if (n >= 14) {
        result = rest.toString();
    } else if (n <= 4) {
        result = prefix + applyPattern(QString(n, QLatin1Char('x')), rest);
    } else {
        result = prefix + applyPattern(settings.FormatString[std::size_t(n - 5)], rest);
    }
    if (result.startsWith(QLatin1String("++")))
        result.remove(0, 1);
    return result;
}

QString FormatAutomatically(const QString &number, const NumberFormatSettings &settings)
{
    // Toll-free, shared-cost and premium numbers have no area code: their service prefix is a
    // group of its own, the rest follows in threes ("0800 123 456", "060 123 456").
    static const QLatin1String kServicePrefixes[] = {
        QLatin1String("0800"), QLatin1String("0801"), QLatin1String("060"), QLatin1String("061"),
        QLatin1String("064"),  QLatin1String("065"),  QLatin1String("069")};
    for (const QLatin1String prefix : kServicePrefixes) {
        const qsizetype rest = number.size() - prefix.size();
        if (!number.startsWith(prefix) || rest < 4 || rest > 7 || DigitsOnly(number) != number)
            continue;
        const QString tail = number.mid(prefix.size());
        return prefix + QLatin1Char(' ') + (rest == 4 ? tail : tail.left(3) + QLatin1Char(' ') + tail.mid(3));
    }
    const qsizetype n = number.size();
    QString pattern;
    if (!number.startsWith(QLatin1Char('0'))) {
        switch (n) {
        case 5:
            pattern = QStringLiteral("xx-xxx");
            break;
        case 6:
            pattern = QStringLiteral("xxx-xxx");
            break;
        case 7:
            pattern = QStringLiteral("xxx-xxxx");
            break;
        case 8:
            pattern = QStringLiteral("xxxx-xxxx");
            break;
        default:
            break;
        }
    } else if (number.size() >= 2 && number[1] == QLatin1Char('1')) {
        switch (n) {
        case 8:
            pattern = QStringLiteral("(xx) xxx-xxx");
            break;
        case 9:
            pattern = QStringLiteral("(xx) xxx-xxxx");
            break;
        case 10:
            pattern = QStringLiteral("(xx) xxxx-xxxx");
            break;
        default:
            break;
        }
    } else {
        switch (n) {
        case 8:
            pattern = QStringLiteral("(xxx) xx-xxx");
            break;
        case 9:
            pattern = QStringLiteral("(xxx) xxx-xxx");
            break;
        case 10:
            pattern = QStringLiteral("(xxx) xxx-xxxx");
            break;
        default:
            break;
        }
    }
    const QString result = pattern.isEmpty() ? number : applyPattern(pattern, number);
    if (result == number)
        return FormatByPattern(number, settings);
    return result;
}
