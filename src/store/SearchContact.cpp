#include "store/SearchContact.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

namespace {

using Getter = const QString &(*)(const AListAddress &);

// A searched field; a phone number is compared by its digits when the search text is a number.
struct Field
{
    Field(Getter g, bool isNumber = false) : get(g), number(isNumber) {}
    Getter get;
    bool number;
};

#define FIELD(member) +[](const AListAddress &c) -> const QString & { return c.member; }

template <std::size_t K> const QString &phoneLocation(const AListAddress &c)
{
    return c.PhoneLocation[K];
}
template <std::size_t K> const QString &phoneNumber(const AListAddress &c)
{
    return c.PhoneNumber[K];
}
template <std::size_t K> const QString &eMail(const AListAddress &c)
{
    return c.EMail[K];
}

const std::vector<Field> kPhoneLocations = {{phoneLocation<0>}, {phoneLocation<1>}, {phoneLocation<2>},
                                            {phoneLocation<3>}, {phoneLocation<4>}, {phoneLocation<5>},
                                            {phoneLocation<6>}, {phoneLocation<7>}};
const std::vector<Field> kPhoneNumbers = {
    {phoneNumber<0>, true}, {phoneNumber<1>, true}, {phoneNumber<2>, true}, {phoneNumber<3>, true},
    {phoneNumber<4>, true}, {phoneNumber<5>, true}, {phoneNumber<6>, true}, {phoneNumber<7>, true}};
const std::vector<Field> kEMails = {{eMail<0>}, {eMail<1>}, {eMail<2>}, {eMail<3>}};

// Every text field in record order; the picture and the sound are not searched.
std::vector<Field> allFields()
{
    std::vector<Field> all = {
        FIELD(FirstName),     FIELD(LastName),        FIELD(NickName),       FIELD(DisplayNameAs),
        FIELD(Group),         FIELD(HomeAddress),     FIELD(HomeCity),       FIELD(HomePostNo),
        FIELD(HomeCountry),   FIELD(HomeWebPage),     FIELD(CompanyName),    FIELD(CompanyDepartment),
        FIELD(CompanyOffice), FIELD(CompanyJobTitle), FIELD(CompanyAddress), FIELD(CompanyCity),
        FIELD(CompanyPostNo), FIELD(CompanyCountry),  FIELD(CompanyWebPage)};
    all.insert(all.end(), kPhoneLocations.begin(), kPhoneLocations.end());
    all.insert(all.end(), kPhoneNumbers.begin(), kPhoneNumbers.end());
    all.insert(all.end(), kEMails.begin(), kEMails.end());
    all.push_back({FIELD(Notes)});
    return all;
}

struct FieldChoice
{
    const char *caption;
    std::vector<Field> fields; // tried in this order; the first match decides
};

const std::array<FieldChoice, kSearchFieldCount> &fieldChoices()
{
    static const std::array<FieldChoice, kSearchFieldCount> choices = {{
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Sva polja"), allFields()},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Naziv osobe"), {{FIELD(DisplayNameAs)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Prezime"), {{FIELD(LastName)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Ime"), {{FIELD(FirstName)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Nadimak"), {{FIELD(NickName)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Grupa"), {{FIELD(Group)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Kuća:  Ulica"), {{FIELD(HomeAddress)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Kuća:  Poštanski broj"), {{FIELD(HomePostNo)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Kuća:  Grad"), {{FIELD(HomeCity)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Kuća:  Država"), {{FIELD(HomeCountry)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Naziv tvrtke"), {{FIELD(CompanyName)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Odjel"), {{FIELD(CompanyDepartment)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Ured"), {{FIELD(CompanyOffice)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Naziv posla"), {{FIELD(CompanyJobTitle)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Posao:  Ulica"), {{FIELD(CompanyAddress)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Posao:  Poštanski broj"), {{FIELD(CompanyPostNo)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Posao:  Grad"), {{FIELD(CompanyCity)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Posao:  Država"), {{FIELD(CompanyCountry)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Telefonske lokacije"), kPhoneLocations},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Telefonski brojevi"), kPhoneNumbers},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "E-mail adrese"), kEMails},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Osobna Internet stranica"), {{FIELD(HomeWebPage)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Internet stranica tvrtke"), {{FIELD(CompanyWebPage)}}},
        {QT_TRANSLATE_NOOP("TfrmFindContact", "Napomena"), {{FIELD(Notes)}}},
    }};
    return choices;
}

#undef FIELD

// The digits of a search text written as a telephone number ("(091) 234-5678", "+385 91"), or
// nothing for any other text.
QString numberDigits(const QString &text)
{
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit() && c.unicode() < 0x80)
            digits += c;
        else if (!QStringLiteral(" +-/().").contains(c))
            return {};
    }
    return digits;
}

// The search text prepared once per search: lowered already unless the case counts.
struct Needle
{
    explicit Needle(const SearchCriteria &criteria)
        : text(criteria.matchCase ? criteria.text : criteria.text.toLower()),
          digits(numberDigits(criteria.text)), matchCase(criteria.matchCase), identical(criteria.identical)
    {
    }

    bool matches(const Field &field, const AListAddress &contact) const
    {
        const QString &value = field.get(contact);
        if (!field.number || digits.isEmpty())
            return matches(value);
        // A number the program shows as "091 234 5678" is found as "0912345678" or "(091) 234-5678".
        QVarLengthArray<char16_t, 64> valueDigits;
        for (const QChar c : value)
            if (c.isDigit() && c.unicode() < 0x80)
                valueDigits.append(c.unicode());
        const QStringView found(valueDigits.constData(), valueDigits.size());
        return identical ? found == QStringView(digits) : found.contains(QStringView(digits));
    }

    bool matches(const QString &value) const
    {
        if (text.isEmpty() || value.isEmpty())
            return false;
        if (matchCase)
            return identical ? value == text : value.contains(text);
        // Lowered into a buffer on the stack one character at a time, as QString::toLower()
        // lowers them, but without a new string for every field of every contact. Characters
        // whose lower case is longer or lies outside the basic plane take the slow way.
        QVarLengthArray<char16_t, 256> lowered(value.size());
        const QChar *in = value.constData();
        for (qsizetype i = 0; i < value.size(); ++i) {
            const char16_t c = in[i].unicode();
            if (c < 0x80) {
                lowered[i] = c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
                continue;
            }
            const char32_t lower = QChar::toLower(char32_t(c));
            if (QChar::isSurrogate(c) || c == 0x130 || lower > 0xFFFF)
                return compare(value.toLower());
            lowered[i] = char16_t(lower);
        }
        return compare(QStringView(lowered.constData(), lowered.size()));
    }
    bool compare(QStringView lowered) const
    {
        return identical ? lowered == QStringView(text) : lowered.contains(QStringView(text));
    }

    QString text;
    QString digits;
    bool matchCase;
    bool identical;
};

bool contactMatches(const AListAddress &contact, const std::vector<Field> &fields, const Needle &needle)
{
    for (const Field &field : fields)
        if (needle.matches(field, contact))
            return true;
    return false;
}

const std::vector<Field> &fieldsOf(int index)
{
    static const std::vector<Field> none;
    if (index < 0 || index >= kSearchFieldCount)
        return none;
    return fieldChoices()[std::size_t(index)].fields;
}

} // namespace

QString SearchFieldName(int index)
{
    if (index < 0 || index >= kSearchFieldCount)
        return {};
    return QCoreApplication::translate("TfrmFindContact", fieldChoices()[std::size_t(index)].caption);
}

bool MatchText(const QString &searchText, const QString &value, bool matchCase, bool identical)
{
    return Needle(SearchCriteria{searchText, 0, matchCase, identical}).matches(value);
}

bool ContactMatches(const AListAddress &contact, const SearchCriteria &criteria)
{
    return contactMatches(contact, fieldsOf(criteria.field), Needle(criteria));
}

QList<FoundContact> SearchContacts(const TContactList &contacts, const SearchCriteria &criteria)
{
    const Needle needle(criteria);
    const std::vector<Field> &fields = fieldsOf(criteria.field);
    QList<FoundContact> found;
    for (const AListAddress &c : contacts)
        if (contactMatches(c, fields, needle))
            found.append({c.DisplayNameAs, c.CompanyName});
    return found;
}

TSearchContact::TSearchContact(TContactList snapshot, SearchCriteria criteria, QObject *parent)
    : QThread(parent), m_contacts(std::move(snapshot)), m_total(m_contacts.size()),
      m_criteria(std::move(criteria))
{
    qRegisterMetaType<QList<FoundContact>>();
}

TSearchContact::~TSearchContact()
{
    requestStop();
    wait();
}

void TSearchContact::run()
{
    const Needle needle(m_criteria);
    const std::vector<Field> &fields = fieldsOf(m_criteria.field);
    QList<FoundContact> batch;
    QElapsedTimer sinceBatch;
    sinceBatch.start();
    int tested = 0;
    bool stopped = false;
    for (const AListAddress &c : m_contacts) {
        if (m_stop.load(std::memory_order_relaxed)) {
            stopped = true;
            break;
        }
        if (contactMatches(c, fields, needle))
            batch.append({c.DisplayNameAs, c.CompanyName});
        ++tested;
        // The clock is read only now and then: it costs more than testing a short contact.
        if ((tested & 63) == 0 && sinceBatch.elapsed() >= m_batchMs) {
            emit progressed(batch, tested);
            batch.clear();
            sinceBatch.restart();
        }
    }
    emit progressed(batch, tested);
    m_contacts.clear();
    emit searchDone(tested, stopped);
}
