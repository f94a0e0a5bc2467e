// tellwise-cli commands on the address book, the groups and the call log: look-up, number
// formatting, listings, exports and adding contacts and groups. Everything goes through the
// store's operations, so a file is only ever replaced whole, as the program itself does.

#include "CliCommand.h"
#include "CliFormatSettings.h"

#include "exchange/ImportWabFunc.h"
#include "exchange/VCardCallerIndex.h"
#include "exchange/VCardFolders.h"

#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/Cp1250.h"
#include "store/DataDir.h"
#include "store/Exports.h"
#include "store/FileRecords.h"
#include "store/Numbers.h"

#include "settings/Settings.h"

#include <QCoreApplication>

#include <numeric>

namespace {

using cli::Failure;
using cli::UsageError;

// A store failure ends the command with exit code 2, a refusal (a name that is taken) with 3.
void check(const StoreResult &result)
{
    // A damaged data file is not listed as if it were whole.
    if (result.kind == StoreResult::Kind::Failed || result.kind == StoreResult::Kind::Damaged)
        throw Failure{
            QCoreApplication::translate("AddressBook", "Greška") + QStringLiteral(": ") + result.message, 2};
    if (result.kind == StoreResult::Kind::Refused)
        throw Failure{result.message, 3};
}

QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        default:
            // Any other control character (a NUL from a vCard, an escape that would drive the
            // terminal) is written as \xHH; all of them lie below U+00A0.
            if (c.category() == QChar::Other_Control)
                out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out;
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

void printRow(const QStringList &fields)
{
    QStringList cells;
    cells.reserve(fields.size());
    for (const QString &f : fields)
        cells << escaped(f);
    cli::out(cells.join(QLatin1Char('\t')));
}

void expectArgs(const QStringList &args, int count, const QString &what)
{
    if (args.size() < count)
        throw UsageError{QStringLiteral("missing argument: %1").arg(what)};
    if (args.size() > count)
        throw UsageError{QStringLiteral("unexpected argument: %1").arg(args.at(count))};
}

int lookup(const QStringList &args)
{
    expectArgs(args, 1, QStringLiteral("NUMBER"));
    AddressBook book(DataDir(), FileAccess::ReadOnly);
    check(book.load());
    const ContactMatch match = book.FindContactByNumber(args.at(0));
    if (match.found()) {
        cli::out(book.contacts()[match.index].DisplayNameAs + QLatin1Char('\t') + match.location);
        return 0;
    }
    // Then the contacts folder, as the monitor looks callers up; the answer says which book.
    Settings settings;
    if (settings.keyExists())
        settings.LoadSettings();
    if (!settings.flag(Settings::VCardCallers) || !IsOutlookInstalled(settings))
        return 1;
    VCardCallerIndex cards;
    cards.indexNow(TVCardFolders::rootPath(settings.text(Settings::ContactsRoot)));
    const std::optional<VCardCaller> card = cards.find(args.at(0));
    if (!card)
        return 1;
    printRow({card->name, card->location, QStringLiteral("vcard:") + card->book});
    return 0;
}

int format(const QStringList &argsIn)
{
    QStringList args = argsIn;
    NumberFormatSettings settings = cli::CurrentNumberFormat();
    const int how = args.indexOf(QStringLiteral("--how"));
    if (how >= 0) {
        if (how + 1 >= args.size())
            throw UsageError{QStringLiteral("--how needs 0, 1 or 2")};
        const QString value = args.at(how + 1);
        if (value != QLatin1String("0") && value != QLatin1String("1") && value != QLatin1String("2"))
            throw UsageError{QStringLiteral("--how must be 0, 1 or 2, not %1").arg(value)};
        settings.HowToFormat = value.toInt();
        args.remove(how, 2);
    }
    expectArgs(args, 1, QStringLiteral("NUMBER"));
    cli::out(FormatPhoneNumber(DigitsOnly(args.at(0)), settings));
    return 0;
}

int contacts(const QStringList &args)
{
    expectArgs(args, 0, {});
    AddressBook book(DataDir(), FileAccess::ReadOnly);
    check(book.load());
    for (const AListAddress &c : book.contacts()) {
        QStringList row{c.FirstName,     c.LastName,        c.NickName,       c.DisplayNameAs,
                        c.Group,         c.HomeAddress,     c.HomeCity,       c.HomePostNo,
                        c.HomeCountry,   c.HomeWebPage,     c.CompanyName,    c.CompanyDepartment,
                        c.CompanyOffice, c.CompanyJobTitle, c.CompanyAddress, c.CompanyCity,
                        c.CompanyPostNo, c.CompanyCountry,  c.CompanyWebPage};
        for (const QString &s : c.PhoneLocation)
            row << s;
        for (const QString &s : c.PhoneNumber)
            row << s;
        for (const QString &s : c.EMail)
            row << s;
        row << c.Notes << c.UseThisSound << c.Picture << flag(c.ActualDimensions) << flag(c.CenterPicture)
            << QString::number(c.SoundMode) << flag(c.BlackList);
        printRow(row);
    }
    return 0;
}

int groups(const QStringList &args)
{
    expectArgs(args, 0, {});
    AddressBook book(DataDir(), FileAccess::ReadOnly);
    check(book.load());
    for (const AGroups &g : book.groups())
        printRow({g.GroupName, g.GroupSound});
    return 0;
}

int calls(const QStringList &args)
{
    expectArgs(args, 0, {});
    CallLog log(DataDir(), FileAccess::ReadOnly);
    check(log.load());
    for (const ACalls &c : log.calls()) {
        const QDate date = DateFromTDateTime(c.CallDate);
        const QTime time = TimeFromTDateTime(c.CallTime);
        printRow({c.CallerName, c.CallerNumber, c.CalledNumber,
                  date.isValid() ? date.toString(Qt::ISODate) : QString::number(c.CallDate),
                  time.isValid() ? time.toString(QStringLiteral("HH:mm:ss")) : QString::number(c.CallTime),
                  flag(c.IsNew)});
    }
    return 0;
}

int exportFile(const QStringList &args)
{
    expectArgs(args, 2, args.isEmpty() ? QStringLiteral("csv|xml|calls") : QStringLiteral("FILE"));
    const QString kind = args.at(0);
    AddressBook book(DataDir(), FileAccess::ReadOnly);
    CallLog log(DataDir(), FileAccess::ReadOnly);
    if (kind == QLatin1String("csv")) {
        check(book.load());
        check(ExportContactsCsv(book.contacts(), WithExportExtension(args.at(1), QStringLiteral(".csv"))));
    } else if (kind == QLatin1String("xml")) {
        check(book.load());
        check(ExportContactsXml(book.contacts(), WithExportExtension(args.at(1), QStringLiteral(".xml"))));
    } else if (kind == QLatin1String("calls")) {
        check(log.load());
        check(ExportCallsHtml(log.calls(), WithExportExtension(args.at(1), QStringLiteral(".htm"))));
    } else {
        throw UsageError{QStringLiteral("export what? csv, xml or calls, not %1").arg(kind)};
    }
    return 0;
}

// A value in letters the data files' code page cannot hold is stored in Latin letters; once the
// command is sure to go ahead, the script learns on stderr what the file will hold.
QStringList storedOtherwise;

void tellStoredForms()
{
    for (const QString &line : std::as_const(storedOtherwise))
        cli::err(line);
}

// Text limits of the editors, so that nothing given on the command line is cut silently.
void checkLength(const QString &option, const QString &value, int capacity)
{
    if (value.size() > capacity)
        throw UsageError{QStringLiteral("%1 is longer than %2 characters").arg(option).arg(capacity)};
    if (const QString stored = StoredText(value, capacity); stored != value)
        storedOtherwise << QStringLiteral("%1 is stored as: %2").arg(option, stored);
}

int addContact(const QStringList &argsIn)
{
    QStringList args = argsIn;
    AListAddress contact;
    bool haveDisplayName = false;
    int phones = 0;
    auto value = [&](const QString &option) {
        if (args.isEmpty())
            throw UsageError{QStringLiteral("%1 needs a value").arg(option)};
        // Composed form, so that a letter typed as base and accent still fits the code page.
        return args.takeFirst().normalized(QString::NormalizationForm_C);
    };
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--display-name")) {
            contact.DisplayNameAs = value(option);
            checkLength(option, contact.DisplayNameAs, capacity::DisplayNameAs);
            haveDisplayName = true;
        } else if (option == QLatin1String("--first")) {
            contact.FirstName = value(option);
            checkLength(option, contact.FirstName, capacity::FirstName);
        } else if (option == QLatin1String("--last")) {
            contact.LastName = value(option);
            checkLength(option, contact.LastName, capacity::LastName);
        } else if (option == QLatin1String("--company")) {
            contact.CompanyName = value(option);
            checkLength(option, contact.CompanyName, capacity::CompanyName);
        } else if (option == QLatin1String("--group")) {
            contact.Group = value(option);
            checkLength(option, contact.Group, capacity::Group);
        } else if (option == QLatin1String("--notes")) {
            contact.Notes = value(option);
            checkLength(option, contact.Notes, capacity::Notes);
        } else if (option == QLatin1String("--black-list")) {
            contact.BlackList = true;
        } else if (option == QLatin1String("--picture")) {
            contact.Picture = value(option);
            checkLength(option, contact.Picture, capacity::Picture);
        } else if (option == QLatin1String("--sound")) {
            contact.UseThisSound = value(option);
            contact.SoundMode = 1;
            checkLength(option, contact.UseThisSound, capacity::UseThisSound);
        } else if (option == QLatin1String("--speak")) {
            contact.UseThisSound = value(option);
            contact.SoundMode = 2;
            checkLength(option, contact.UseThisSound, capacity::UseThisSound);
        } else if (option == QLatin1String("--phone")) {
            const QString phone = value(option);
            const qsizetype eq = phone.indexOf(QLatin1Char('='));
            if (eq < 0)
                throw UsageError{QStringLiteral("--phone takes LOCATION=NUMBER, not %1").arg(phone)};
            if (phones == 8)
                throw UsageError{QStringLiteral("a contact holds at most 8 phone numbers")};
            contact.PhoneLocation[std::size_t(phones)] = phone.left(eq);
            contact.PhoneNumber[std::size_t(phones)] = phone.mid(eq + 1);
            checkLength(QStringLiteral("--phone location"), contact.PhoneLocation[std::size_t(phones)],
                        capacity::PhoneLocation);
            checkLength(QStringLiteral("--phone number"), contact.PhoneNumber[std::size_t(phones)],
                        capacity::PhoneNumber);
            ++phones;
        } else {
            throw UsageError{QStringLiteral("unknown option for add-contact: %1").arg(option)};
        }
    }
    // A name of emoji only has no letters left in the file.
    if (!haveDisplayName || StoredText(contact.DisplayNameAs, capacity::DisplayNameAs).trimmed().isEmpty())
        throw UsageError{QStringLiteral("add-contact needs --display-name NAME")};

    AddressBook book(DataDir());
    check(book.load());
    if (contact.Group.isEmpty())
        contact.Group = AddressBook::kNoGroup;
    else if (contact.Group != AddressBook::kNoGroup && !book.GroupExists(contact.Group))
        throw UsageError{
            QStringLiteral("no group named %1 (add it first with add-group)").arg(contact.Group)};
    tellStoredForms();
    check(book.AddContact(std::move(contact)));
    return 0;
}

int addGroup(const QStringList &args)
{
    expectArgs(args, 1, QStringLiteral("NAME"));
    const QString name = args.at(0).trimmed().normalized(QString::NormalizationForm_C);
    if (StoredText(name, capacity::GroupName).trimmed().isEmpty())
        throw UsageError{QStringLiteral("a group needs a name")};
    checkLength(QStringLiteral("NAME"), name, capacity::GroupName);
    AddressBook book(DataDir());
    check(book.load());
    tellStoredForms();
    check(book.AddGroup(name));
    return 0;
}

// Lists or imports the contacts of an address-book file, in the import window's order and with
// its rules: all of them are marked. An import that would grow the address book several times over
// is refused unless --all says so, as the window asks first.
int importFile(const QStringList &argsIn)
{
    QStringList args = argsIn;
    const bool list = args.removeAll(QStringLiteral("--list")) > 0;
    const bool all = args.removeAll(QStringLiteral("--all")) > 0;
    expectArgs(args, 1, QStringLiteral("FILE"));
    QList<TWABRecord> records;
    QString error;
    QString notice;
    if (!ReadContactFile(args.at(0), records, &error, nullptr, &notice))
        throw Failure{QCoreApplication::translate("AddressBook", "Greška") + QStringLiteral(": ") + error, 2};
    if (!notice.isEmpty())
        cli::err(notice);
    SortWabRecords(records);
    if (list) {
        for (const TWABRecord &r : std::as_const(records))
            printRow(WabRecordFields(r));
        return 0;
    }
    if (records.isEmpty())
        throw Failure{QCoreApplication::translate("TfrmWab", "Izabrana datoteka je prazna!"), 1};
    QList<int> rows(records.size());
    std::iota(rows.begin(), rows.end(), 0);
    AddressBook book(DataDir());
    check(book.load());
    QList<AListAddress> contacts = WabContactsOfRows(records, rows);
    const int adding = ContactsAnImportAdds(book, contacts);
    const int holding = int(book.contacts().size());
    if (!all && ImportAsksFirst(adding, holding))
        throw Failure{ImportQuestion(adding, holding, QStringLiteral("--all")), 3};
    ImportCounts counts;
    QString group;
    check(book.ImportContacts(ImportGroupOf(args.at(0)), std::move(contacts), &counts, &group));
    printRow({WabImportMessage(group, int(records.size()), counts.imported, counts.fitted)});
    return 0;
}

const cli::CliRegistration registrations[] = {
    cli::CliRegistration({QStringLiteral("lookup"), QStringLiteral("lookup NUMBER"), lookup}),
    cli::CliRegistration({QStringLiteral("format"), QStringLiteral("format NUMBER [--how 0|1|2]"), format}),
    cli::CliRegistration({QStringLiteral("contacts"), QStringLiteral("contacts"), contacts}),
    cli::CliRegistration({QStringLiteral("groups"), QStringLiteral("groups"), groups}),
    cli::CliRegistration({QStringLiteral("calls"), QStringLiteral("calls"), calls}),
    cli::CliRegistration({QStringLiteral("export"), QStringLiteral("export csv|xml|calls FILE"), exportFile}),
    cli::CliRegistration(
        {QStringLiteral("add-contact"),
         QStringLiteral(
             "add-contact --display-name NAME [--first ..] [--last ..] [--company ..] "
             "[--group ..] [--phone LOCATION=NUMBER]... [--notes ..] [--black-list] [--picture FILE] "
             "[--sound WAVFILE | --speak TEXT]"),
         addContact}),
    cli::CliRegistration({QStringLiteral("add-group"), QStringLiteral("add-group NAME"), addGroup}),
    cli::CliRegistration(
        {QStringLiteral("import"), QStringLiteral("import FILE.wab|FILE.vcf [--list] [--all]"), importFile}),
};

} // namespace
