#include "exchange/ImportWabFunc.h"

#include "exchange/VCard.h"
#include "exchange/WabApi.h"
#include "exchange/WabIab.h"
#include "exchange/WabTags.h"
#include "store/AddressBook.h"

#include <QCollator>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

using namespace wab;

namespace {

struct FieldOf
{
    std::uint32_t tag;
    QString TWABRecord::*field;
};

// Where each known property goes; the e-mail list is handled on its own.
const FieldOf kFields[] = {
    {PR_GIVEN_NAME, &TWABRecord::GivenName},
    {PR_SURNAME, &TWABRecord::Surname},
    {PR_NICKNAME, &TWABRecord::NickName},
    {PR_DISPLAY_NAME, &TWABRecord::DisplayName},
    {PR_HOME_ADDRESS_STREET, &TWABRecord::HomeStreet},
    {PR_HOME_ADDRESS_CITY, &TWABRecord::HomeCity},
    {PR_HOME_ADDRESS_POSTAL_CODE, &TWABRecord::HomePostalCode},
    {PR_HOME_ADDRESS_COUNTRY, &TWABRecord::HomeCountry},
    {PR_PERSONAL_HOME_PAGE, &TWABRecord::PersonalHomePage},
    {PR_HOME_TELEPHONE_NUMBER, &TWABRecord::HomePhone},
    {PR_HOME_FAX_NUMBER, &TWABRecord::HomeFax},
    {PR_MOBILE_TELEPHONE_NUMBER, &TWABRecord::MobilePhone},
    {PR_COMPANY_NAME, &TWABRecord::Company},
    {PR_DEPARTMENT_NAME, &TWABRecord::Department},
    {PR_OFFICE_LOCATION, &TWABRecord::Office},
    {PR_TITLE, &TWABRecord::JobTitle},
    {PR_STREET_ADDRESS, &TWABRecord::BusinessStreet},
    {PR_LOCALITY, &TWABRecord::BusinessCity},
    {PR_POSTAL_CODE, &TWABRecord::BusinessPostalCode},
    {PR_COUNTRY, &TWABRecord::BusinessCountry},
    {PR_BUSINESS_HOME_PAGE, &TWABRecord::BusinessHomePage},
    {PR_BUSINESS_TELEPHONE_NUMBER, &TWABRecord::BusinessPhone},
    {PR_BUSINESS_FAX_NUMBER, &TWABRecord::BusinessFax},
    {PR_COMMENT, &TWABRecord::Comment},
};

// The texts of a value: one for a string of either width, a list for a multi-valued string,
// none for any other type.
QStringList textsOf(const SPropValue &value)
{
    switch (PropType(value.ulPropTag)) {
    case PT_STRING8:
    case PT_UNICODE:
        return {value.lpsz};
    case PT_MV_STRING8:
    case PT_MV_UNICODE:
        return value.MVsz;
    default:
        return {};
    }
}

void storeValue(TWABRecord &record, const SPropValue &value)
{
    const std::uint16_t id = PropId(value.ulPropTag);
    const QStringList texts = textsOf(value);
    if (id == PropId(PR_CONTACT_EMAIL_ADDRESSES)) {
        for (qsizetype i = 0; i < std::min<qsizetype>(4, texts.size()); ++i)
            record.EMail[std::size_t(i)] = texts[i];
        return;
    }
    if (id == PropId(PR_EMAIL_ADDRESS)) {
        record.EMail[0] = texts.value(0);
        return;
    }
    for (const FieldOf &f : kFields) {
        if (PropId(f.tag) == id) {
            record.*f.field = texts.value(0);
            return;
        }
    }
}

QString failure(HRESULT hr)
{
    return QCoreApplication::translate("ImportWab", "Poziv adresara nije uspio (kod 0x%1).")
        .arg(std::uint32_t(hr), 8, 16, QLatin1Char('0'));
}

bool readEntries(IAddrBook &book, IWABObject &wab, QList<TWABRecord> &list, QString *error, int *leftOut)
{
    if (leftOut)
        *leftOut = book.contactsLeftOut();
    std::uint32_t cb = 0;
    ENTRYID *pab = nullptr;
    std::unique_ptr<IMAPIProp> opened;
    std::uint32_t type = 0;
    HRESULT hr = book.GetPAB(&cb, &pab);
    if (!FAILED(hr))
        hr = book.OpenEntry(*pab, nullptr, 0, &type, opened);
    wab.FreeBuffer(pab);
    auto *container = dynamic_cast<IABContainer *>(opened.get());
    std::unique_ptr<IMAPITable> table;
    if (!FAILED(hr))
        hr = container ? container->GetContentsTable(0, table) : MAPI_E_NOT_FOUND;
    if (!FAILED(hr))
        hr = table->SetColumns({PR_ENTRYID, PR_OBJECT_TYPE}, 0);
    if (!FAILED(hr))
        hr = table->SeekRow(BOOKMARK_BEGINNING, 0, nullptr);
    while (!FAILED(hr)) {
        SRowSet *rows = nullptr;
        hr = table->QueryRows(1, 0, &rows);
        if (FAILED(hr) || rows->aRow.isEmpty()) {
            wab.FreeBuffer(rows);
            break;
        }
        const SRow &row = rows->aRow.first();
        if (row.lpProps.size() == 2 && row.lpProps[1].ulPropTag == PR_OBJECT_TYPE &&
            row.lpProps[1].l == MAPI_MAILUSER) {
            const ENTRYID id = row.lpProps[0].bin;
            std::unique_ptr<IMAPIProp> user;
            std::uint32_t count = 0;
            SPropValue *props = nullptr;
            hr = book.OpenEntry(id, nullptr, 0, &type, user);
            if (!FAILED(hr))
                hr = user->GetProps(nullptr, 0, &count, &props);
            if (!FAILED(hr)) {
                TWABRecord record;
                record.RecordNumber = std::int32_t(list.size());
                for (std::uint32_t i = 0; i < count; ++i)
                    storeValue(record, props[i]);
                for (QString *name :
                     {&record.GivenName, &record.Surname, &record.NickName, &record.DisplayName})
                    *name = vcard::nameWithoutControls(*name);
                list << std::move(record);
            }
            wab.FreeBuffer(props);
        }
        wab.FreeBuffer(rows);
    }
    if (FAILED(hr)) {
        list.clear();
        if (error)
            *error = failure(hr);
        return false;
    }
    return true;
}

} // namespace

bool ReadWabContacts(QList<TWABRecord> &list, QString *error, int *leftOut)
{
    if (leftOut)
        *leftOut = 0;
    list.clear();
    IAddrBook *book = OpenAddrBook();
    IWABObject *wab = OpenWabObject();
    bool ok = false;
    if (book && wab)
        ok = readEntries(*book, *wab, list, error, leftOut);
    else if (error)
        *error = failure(MAPI_E_INVALID_PARAMETER);
    CloseWabFile();
    return ok;
}

bool ReadWabFile(const QString &fileName, QList<TWABRecord> &list, QString *error, int *leftOut)
{
    list.clear();
    if (leftOut)
        *leftOut = 0;
    return OpenWabFile(fileName, error) && ReadWabContacts(list, error, leftOut);
}

bool IsVCardFile(const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    return suffix == QLatin1String("vcf") || suffix == QLatin1String("vcard");
}

bool ReadContactFile(const QString &fileName, QList<TWABRecord> &list, QString *error, int *leftOut,
                     QString *notice)
{
    list.clear();
    if (notice)
        notice->clear();
    if (!IsVCardFile(fileName)) {
        int wabLeftOut = 0;
        const bool ok = ReadWabFile(fileName, list, error, &wabLeftOut);
        if (leftOut)
            *leftOut = wabLeftOut;
        if (notice && wabLeftOut > 0)
            *notice = LeftOutMessage(wabLeftOut);
        return ok;
    }
    TVCardReading reading;
    if (!ReadVCardFile(fileName, reading, error))
        return false;
    for (const TVCard &card : std::as_const(reading.Cards)) {
        list << VCardRecord(card.Contact);
        list.last().RecordNumber = std::int32_t(list.size() - 1);
    }
    if (leftOut)
        *leftOut = int(reading.LeftOut);
    if (notice)
        *notice = vcard::readingNotice(reading);
    return true;
}

QString LeftOutMessage(int leftOut)
{
    return QCoreApplication::translate(
               "ImportWab", "Datoteka ima više osoba nego što se odjednom može učitati: učitano ih "
                            "je prvih %1, a %2 nije učitano.")
        .arg(kMaxContacts)
        .arg(leftOut);
}

TWABRecord VCardRecord(const AListAddress &c)
{
    TWABRecord r;
    r.VCard = true;
    r.GivenName = c.FirstName;
    r.Surname = c.LastName;
    r.NickName = c.NickName;
    r.DisplayName = c.DisplayNameAs;
    r.HomeStreet = c.HomeAddress;
    r.HomeCity = c.HomeCity;
    r.HomePostalCode = c.HomePostNo;
    r.HomeCountry = c.HomeCountry;
    r.PersonalHomePage = c.HomeWebPage;
    r.Company = c.CompanyName;
    r.Department = c.CompanyDepartment;
    r.Office = c.CompanyOffice;
    r.JobTitle = c.CompanyJobTitle;
    r.BusinessStreet = c.CompanyAddress;
    r.BusinessCity = c.CompanyCity;
    r.BusinessPostalCode = c.CompanyPostNo;
    r.BusinessCountry = c.CompanyCountry;
    r.BusinessHomePage = c.CompanyWebPage;
    r.HomePhone = c.PhoneNumber[0];
    r.Home2Phone = c.PhoneNumber[1];
    r.MobilePhone = c.PhoneNumber[2];
    r.CompanyMainPhone = c.PhoneNumber[3];
    r.BusinessPhone = c.PhoneNumber[4];
    r.Business2Phone = c.PhoneNumber[5];
    r.BusinessFax = c.PhoneNumber[6];
    r.HomeFax = c.PhoneNumber[7];
    r.EMail = c.EMail;
    r.Comment = c.Notes;
    return r;
}

void SortWabRecords(QList<TWABRecord> &list)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(list.begin(), list.end(), [&](const TWABRecord &a, const TWABRecord &b) {
        return collator.compare(a.DisplayName, b.DisplayName) < 0;
    });
}

void SortContactsByName(QList<AListAddress> &list)
{
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::stable_sort(list.begin(), list.end(), [&](const AListAddress &a, const AListAddress &b) {
        return collator.compare(a.DisplayNameAs, b.DisplayNameAs) < 0;
    });
}

AListAddress WabRecordToContact(const TWABRecord &r)
{
    AListAddress c;
    c.FirstName = r.GivenName;
    c.LastName = r.Surname;
    c.NickName = r.NickName;
    c.DisplayNameAs = r.DisplayName;
    c.HomeAddress = r.HomeStreet;
    c.HomeCity = r.HomeCity;
    c.HomePostNo = r.HomePostalCode;
    c.HomeCountry = r.HomeCountry;
    c.HomeWebPage = r.PersonalHomePage;
    c.CompanyName = r.Company;
    c.CompanyDepartment = r.Department;
    c.CompanyOffice = r.Office;
    c.CompanyJobTitle = r.JobTitle;
    c.CompanyAddress = r.BusinessStreet;
    c.CompanyCity = r.BusinessCity;
    c.CompanyPostNo = r.BusinessPostalCode;
    c.CompanyCountry = r.BusinessCountry;
    c.CompanyWebPage = r.BusinessHomePage;
    // Each phone keeps its own slot, filled or not.
    if (r.VCard) {
        const QString *vcardPhones[8] = {&r.HomePhone,        &r.Home2Phone,    &r.MobilePhone,
                                         &r.CompanyMainPhone, &r.BusinessPhone, &r.Business2Phone,
                                         &r.BusinessFax,      &r.HomeFax};
        for (std::size_t i = 0; i < 8; ++i) {
            if (vcardPhones[i]->isEmpty())
                continue;
            c.PhoneLocation[i] = vcard::phoneLocation(int(i));
            c.PhoneNumber[i] = *vcardPhones[i];
        }
        c.EMail = r.EMail;
        c.Notes = r.Comment;
        return c;
    }
    const std::pair<const char *, const QString *> phones[5] = {
        {QT_TRANSLATE_NOOP("ImportWab", "Kuća"), &r.HomePhone},
        {QT_TRANSLATE_NOOP("ImportWab", "Mobitel"), &r.MobilePhone},
        {QT_TRANSLATE_NOOP("ImportWab", "Tvrtka"), &r.BusinessPhone},
        {QT_TRANSLATE_NOOP("ImportWab", "Kuća (FAX)"), &r.HomeFax},
        {QT_TRANSLATE_NOOP("ImportWab", "Posao (FAX)"), &r.BusinessFax},
    };
    for (std::size_t i = 0; i < 5; ++i) {
        if (phones[i].second->isEmpty())
            continue;
        c.PhoneLocation[i] = QCoreApplication::translate("ImportWab", phones[i].first);
        c.PhoneNumber[i] = *phones[i].second;
    }
    c.EMail = r.EMail;
    c.Notes = r.Comment;
    return c;
}

const QString kWabImportGroup = QStringLiteral("Windows Adresar");
const QString kVCardImportGroup = QStringLiteral("vCard Adresar");

QString ImportGroupOf(const QString &fileName)
{
    return IsVCardFile(fileName) ? kVCardImportGroup : kWabImportGroup;
}

QList<AListAddress> WabContactsOfRows(const QList<TWABRecord> &list, const QList<int> &rows)
{
    QHash<QString, qsizetype> first;
    for (qsizetype i = list.size() - 1; i >= 0; --i)
        first.insert(list[i].DisplayName, i);
    QList<AListAddress> contacts;
    for (int row : rows)
        if (row >= 0 && row < list.size())
            contacts << WabRecordToContact(list[first.value(list[row].DisplayName)]);
    return contacts;
}

int ContactsAnImportAdds(const AddressBook &book, const QList<AListAddress> &contacts)
{
    QSet<QString> names;
    for (const AListAddress &c : contacts)
        if (!c.DisplayNameAs.isEmpty() && !book.ContactExists(c.DisplayNameAs))
            names.insert(c.DisplayNameAs);
    return int(names.size());
}

bool ImportAsksFirst(int adding, int holding)
{
    constexpr int kFew = 500;
    constexpr int kTimes = 4;
    return adding > kFew && qint64(adding) > qint64(kTimes) * holding;
}

QString ImportQuestion(int adding, int holding, const QString &option)
{
    const QString growth = QCoreApplication::translate(
                               "ImportWab", "Uvoz bi adresaru koji sada ima %1 osoba dodao još %2 osoba.")
                               .arg(holding)
                               .arg(adding);
    if (!option.isEmpty())
        return growth + QLatin1Char(' ') +
               QCoreApplication::translate("ImportWab", "Za takav uvoz navedite %1.").arg(option);
    return growth + QStringLiteral("\n\n") +
           QCoreApplication::translate("ImportWab", "Želite li ih doista dodati?");
}

QString ContactInfoTip(const QString &name, const QString &company, const QStringList &phones,
                       const QStringList &eMails, const QStringList &webPages)
{
    const QString cr = QStringLiteral("\r");
    const QString indent = QStringLiteral("   ");
    QString tip = QCoreApplication::translate("ImportWab", "Naziv osobe:  ") + name;
    if (!company.isEmpty())
        tip += cr + QCoreApplication::translate("ImportWab", "Tvrtka:  ") + company;
    auto section = [&](const QString &heading, const QStringList &lines) {
        QStringList filled;
        for (const QString &l : lines)
            if (!l.isEmpty())
                filled << l;
        if (filled.isEmpty())
            return;
        tip += cr + cr + heading;
        for (const QString &l : filled)
            tip += cr + indent + l;
    };
    section(QCoreApplication::translate("ImportWab", "Telefonski brojevi:"), phones);
    section(QCoreApplication::translate("ImportWab", "E-mail adrese:"), eMails);
    section(QCoreApplication::translate("ImportWab", "Internet adrese:"), webPages);
    return tip;
}

QString WabInfoTip(const TWABRecord &r)
{
    return ContactInfoTip(r.DisplayName, r.Company,
                          r.VCard ? QStringList{r.HomePhone, r.Home2Phone, r.MobilePhone, r.CompanyMainPhone,
                                                r.BusinessPhone, r.Business2Phone, r.BusinessFax, r.HomeFax}
                                  : QStringList{r.HomePhone, r.MobilePhone, r.BusinessPhone},
                          {r.EMail[0], r.EMail[1], r.EMail[2], r.EMail[3]},
                          {r.PersonalHomePage, r.BusinessHomePage});
}

QString ContactInfoTip(const AListAddress &c)
{
    return ContactInfoTip(c.DisplayNameAs, c.CompanyName,
                          QStringList(c.PhoneNumber.begin(), c.PhoneNumber.end()),
                          QStringList(c.EMail.begin(), c.EMail.end()), {c.HomeWebPage, c.CompanyWebPage});
}

int FindNameRow(int count, const std::function<QString(int)> &nameAt, const QString &text, int start,
                bool wrap)
{
    if (text.isEmpty() || count <= 0)
        return -1;
    start = std::clamp(start, 0, count - 1);
    const QString wanted = text.toUpper();
    for (int k = 0; k < count; ++k) {
        const int row = start + k;
        if (row >= count && !wrap)
            break;
        if (nameAt(row % count).toUpper().startsWith(wanted))
            return row % count;
    }
    return -1;
}

int FindWabRow(const QList<TWABRecord> &list, const QString &text, int start, bool wrap)
{
    return FindNameRow(
        int(list.size()), [&](int row) { return list[row].DisplayName; }, text, start, wrap);
}

QString WabImportMessage(const QString &group, int selected, int imported, int fitted)
{
    if (imported == 0)
        return QCoreApplication::translate(
            "ImportWab",
            "Nije snimljen niti jedan podatak, jer podaci označeni\nza uvoz već postoje u adresaru!");
    QString text = QCoreApplication::translate("ImportWab", "Podaci su snimljeni u grupu \"%1\"!").arg(group);
    if (selected > imported)
        text += QCoreApplication::translate("ImportWab", "\n\nOd ukupno %1 označenih podataka snimljeno je "
                                                         "%2. Nisu\nupisani podaci koji već postoje u "
                                                         "adresaru.")
                    .arg(selected)
                    .arg(imported);
    if (fitted > 0)
        text += QCoreApplication::translate("ImportWab",
                                            "\n\nImena zapisana latinicom (datoteka adresara ne može "
                                            "zapisati njihova slova):  %1")
                    .arg(fitted);
    return text;
}

QStringList WabRecordFields(const TWABRecord &r)
{
    QStringList fields{r.DisplayName};
    for (const FieldOf &f : kFields)
        if (f.field != &TWABRecord::DisplayName)
            fields << r.*f.field;
    for (const QString &e : r.EMail)
        fields << e;
    if (r.VCard)
        fields << r.Home2Phone << r.CompanyMainPhone << r.Business2Phone;
    return fields;
}
