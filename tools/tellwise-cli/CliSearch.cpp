// tellwise-cli search: the contacts the search window would find, with the same rules and the
// same field choices, one display name a line in list order.

#include "CliCommand.h"

#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "store/SearchContact.h"

#include <QCoreApplication>

namespace {

using cli::Failure;
using cli::UsageError;

SearchCriteria parseSearch(const QStringList &args)
{
    SearchCriteria criteria;
    bool haveText = false;
    bool optionsEnd = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsEnd || !arg.startsWith(QLatin1String("--"))) {
            if (haveText)
                throw UsageError{QStringLiteral("unexpected argument: %1").arg(arg)};
            criteria.text = arg;
            haveText = true;
        } else if (arg == QLatin1String("--")) {
            optionsEnd = true;
        } else if (arg == QLatin1String("--identical")) {
            criteria.identical = true;
        } else if (arg == QLatin1String("--match-case")) {
            criteria.matchCase = true;
        } else if (arg == QLatin1String("--field")) {
            bool number = false;
            const int field = i + 1 < args.size() ? args.at(i + 1).toInt(&number) : -1;
            if (!number || field < 0 || field >= kSearchFieldCount)
                throw UsageError{
                    QStringLiteral("--field needs a number from 0 to %1").arg(kSearchFieldCount - 1)};
            criteria.field = field;
            ++i;
        } else {
            throw UsageError{QStringLiteral("unknown option: %1").arg(arg)};
        }
    }
    if (!haveText)
        throw UsageError{QStringLiteral("missing argument: TEXT")};
    // The window offers no search for a text of blanks; a text with blanks around is searched as given.
    if (criteria.text.trimmed().isEmpty())
        throw UsageError{QStringLiteral("the search text is empty")};
    return criteria;
}

int search(const QStringList &args)
{
    const SearchCriteria criteria = parseSearch(args);
    AddressBook book(DataDir(), FileAccess::ReadOnly);
    const StoreResult loaded = book.load();
    if (!loaded)
        throw Failure{
            QCoreApplication::translate("AddressBook", "Greška") + QStringLiteral(": ") + loaded.message, 2};
    const QList<FoundContact> found = SearchContacts(book.contacts(), criteria);
    for (const FoundContact &f : found)
        cli::out(f.name);
    return found.isEmpty() ? 1 : 0;
}

const cli::CliRegistration
    kSearch({QStringLiteral("search"),
             QStringLiteral("search TEXT [--field 0..23] [--identical] [--match-case]"), search});

} // namespace
