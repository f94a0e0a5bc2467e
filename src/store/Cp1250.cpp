#include "store/Cp1250.h"

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <array>
#include <memory>

namespace {

// Unicode code points of bytes 0x80..0xFF.
// clang-format off
constexpr std::array<char16_t, 128> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};
// clang-format on

struct ReverseTable
{
    std::array<unsigned char, 0x10000> bytes{}; // 0 = not representable (except U+0000)
    ReverseTable()
    {
        for (int i = 0; i < 0x80; ++i)
            bytes[std::size_t(i)] = static_cast<unsigned char>(i);
        for (std::size_t i = 0; i < kHigh.size(); ++i)
            bytes[kHigh[i]] = static_cast<unsigned char>(0x80 + i);
    }
};

// Every byte's character.
constexpr std::array<char16_t, 256> kChars = [] {
    std::array<char16_t, 256> chars{};
    for (std::size_t i = 0; i < 0x80; ++i)
        chars[i] = char16_t(i);
    for (std::size_t i = 0; i < kHigh.size(); ++i)
        chars[0x80 + i] = kHigh[i];
    return chars;
}();

const ReverseTable &reverseTable()
{
    static const ReverseTable table;
    return table;
}

bool holdable(char16_t c)
{
    return c == 0 || reverseTable().bytes[c] != 0;
}

// Cyrillic letters as a Croatian reader spells them (Serbian and Macedonian ones exactly as their
// Latin alphabets do); ICU's own scheme would give "Ûlíâ" for "Юлія".
// clang-format off
constexpr std::pair<const char16_t *, const char16_t *> kCyrillic[] = {
    {u"а", u"a"}, {u"б", u"b"}, {u"в", u"v"}, {u"г", u"g"}, {u"д", u"d"}, {u"е", u"e"},
    {u"ё", u"jo"}, {u"ж", u"ž"}, {u"з", u"z"}, {u"и", u"i"}, {u"й", u"j"}, {u"к", u"k"},
    {u"л", u"l"}, {u"м", u"m"}, {u"н", u"n"}, {u"о", u"o"}, {u"п", u"p"}, {u"р", u"r"},
    {u"с", u"s"}, {u"т", u"t"}, {u"у", u"u"}, {u"ф", u"f"}, {u"х", u"h"}, {u"ц", u"c"},
    {u"ч", u"č"}, {u"ш", u"š"}, {u"щ", u"šč"}, {u"ъ", u""}, {u"ы", u"y"}, {u"ь", u""},
    {u"э", u"e"}, {u"ю", u"ju"}, {u"я", u"ja"}, {u"є", u"je"}, {u"і", u"i"}, {u"ї", u"ji"},
    {u"ґ", u"g"}, {u"ў", u"u"}, {u"ђ", u"đ"}, {u"ћ", u"ć"}, {u"ј", u"j"}, {u"љ", u"lj"},
    {u"њ", u"nj"}, {u"џ", u"dž"}, {u"ѓ", u"gj"}, {u"ќ", u"kj"}, {u"ѕ", u"dz"},
};
// clang-format on

// Rules for the letters above, upper case as "Ju" in a word and "JU" in one written in
// capitals, then ICU's way to Latin for every other script.
QString latinRules()
{
    QString rules;
    for (const auto &[from, to] : kCyrillic) {
        const QString lower = QString::fromUtf16(from), latin = QString::fromUtf16(to);
        const QString upper = lower.toUpper();
        if (latin.size() > 1)
            rules += QStringLiteral("[:Lu:] { %1 > %2;\n%1 } [:Lu:] > %2;\n").arg(upper, latin.toUpper());
        rules += QStringLiteral("%1 > %2;\n%3 > %4;\n")
                     .arg(upper, latin.left(1).toUpper() + latin.mid(1), lower, latin);
    }
    return rules + QStringLiteral("::Any-Latin;\n");
}

icu::UnicodeString toIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

// ICU's transliterators are not to be shared between threads (the call log saves on its own),
// and building one takes milliseconds: one pair per thread, built when first needed.
class Transliterators
{
public:
    Transliterators()
    {
        UErrorCode status = U_ZERO_ERROR;
        UParseError where;
        m_latin.reset(icu::Transliterator::createFromRules(u"tellwise-latin", toIcu(latinRules()),
                                                           UTRANS_FORWARD, where, status));
        if (U_FAILURE(status))
            m_latin.reset();
        status = U_ZERO_ERROR;
        m_ascii.reset(icu::Transliterator::createInstance(u"Latin-ASCII", UTRANS_FORWARD, status));
        if (U_FAILURE(status))
            m_ascii.reset();
    }
    QString latin(const QString &text) const { return apply(m_latin.get(), text); }
    QString ascii(const QString &text) const
    {
        // Without ICU's data, letters at least lose their accents.
        return m_ascii ? apply(m_ascii.get(), text) : text.normalized(QString::NormalizationForm_KD);
    }

private:
    static QString apply(const icu::Transliterator *t, const QString &text)
    {
        if (!t)
            return text;
        icu::UnicodeString u = toIcu(text);
        t->transliterate(u);
        return fromIcu(u);
    }
    std::unique_ptr<icu::Transliterator> m_latin, m_ascii;
};

const Transliterators &transliterators()
{
    thread_local const Transliterators t;
    return t;
}

// TEXT with every run of characters the code page cannot hold replaced by CONVERT(run).
template <typename Convert> QString replaceUnholdable(const QString &text, Convert convert)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        qsizetype end = i;
        while (end < text.size() && holdable(text[end].unicode()))
            ++end;
        out += QStringView(text).sliced(i, end - i);
        i = end;
        while (end < text.size() && !holdable(text[end].unicode()))
            ++end;
        if (end > i)
            out += convert(text.sliced(i, end - i));
        i = end;
    }
    return out;
}

// A script without capital letters (Chinese, Japanese, Arabic, ...) gives lower-case Latin, and
// its tone marks and the like mean nothing to a reader of Latin: a plain word with a capital.
bool caseless(const QString &run)
{
    const char32_t first = run.size() > 1 && run[0].isHighSurrogate() && run[1].isLowSurrogate()
                               ? QChar::surrogateToUcs4(run[0], run[1])
                               : run[0].unicode();
    return QChar::category(first) == QChar::Letter_Other;
}

QString storedChunk(const QString &chunk)
{
    const Transliterators &t = transliterators();
    return replaceUnholdable(chunk, [&t](const QString &run) {
        QString latin = t.latin(run);
        if (caseless(run)) {
            latin = t.ascii(latin);
            if (!latin.isEmpty())
                latin[0] = latin[0].toUpper();
        }
        return replaceUnholdable(latin, [&t](const QString &rest) {
            QString plain = t.ascii(rest);
            plain.removeIf([](QChar c) { return !holdable(c.unicode()); });
            return plain;
        });
    });
}

} // namespace

QString DecodeCp1250(const char *bytes, qsizetype length)
{
    if (length == 0)
        return QString();
    QString text(length, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < length; ++i)
        out[i] = QChar(kChars[static_cast<unsigned char>(bytes[i])]);
    return text;
}

bool EqualsCp1250(const QString &text, const char *bytes, qsizetype length)
{
    if (text.size() != length)
        return false;
    const QChar *chars = text.constData();
    for (qsizetype i = 0; i < length; ++i)
        if (chars[i].unicode() != kChars[static_cast<unsigned char>(bytes[i])])
            return false;
    return true;
}

QByteArray EncodeCp1250(const QString &text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    bytes.truncate(EncodeCp1250Into(text, bytes.data(), text.size()));
    return bytes;
}

qsizetype EncodeCp1250Into(const QString &text, char *out, qsizetype maxChars)
{
    const auto &table = reverseTable();
    const QChar *in = text.constData();
    const qsizetype size = text.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size && written < maxChars; ++i) {
        const char16_t c = in[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(in[i + 1].unicode())) {
            out[written++] = '?';
            ++i;
            continue;
        }
        const unsigned char b = table.bytes[c];
        out[written++] = b != 0 || c == 0 ? char(b) : '?';
    }
    return written;
}

bool FitsCp1250(const QString &text, qsizetype maxChars)
{
    const qsizetype end = std::min(text.size(), maxChars);
    const QChar *chars = text.constData();
    for (qsizetype i = 0; i < end; ++i)
        if (!holdable(chars[i].unicode()))
            return false;
    return true;
}

QString StoredText(const QString &text, int capacity)
{
    if (FitsCp1250(text, capacity))
        return text.left(capacity);
    qsizetype fit = 0;
    while (holdable(text[fit].unicode()))
        ++fit;
    // A combining accent joins the letter before it ("s" and a caron are "š").
    if (fit > 0 && text[fit].isMark())
        --fit;
    QString out = text.left(fit);
    // Only as much as the field can take is converted, a few characters at a time, so that a
    // huge text costs no more than a short one; a chunk ends between two characters or runs.
    for (qsizetype pos = fit; out.size() < capacity && pos < text.size();) {
        qsizetype end = std::min(text.size(), pos + capacity - out.size() + 16);
        const qsizetype runLimit = std::min(text.size(), end + 256);
        while (end < runLimit && !holdable(text[end].unicode()))
            ++end;
        if (end < text.size() && text[end].isLowSurrogate())
            ++end;
        out += storedChunk(text.sliced(pos, end - pos).normalized(QString::NormalizationForm_C));
        pos = end;
    }
    out.truncate(capacity);
    return out;
}
