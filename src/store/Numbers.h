#pragma once

#include "store/Records.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Telephone numbers: reducing them to comparable digits, finding the contact a caller's number
// belongs to, the user's own area code, and laying numbers out for display.
// Everything here runs on the main thread.

// The text with every character other than "0".."9" removed.
QString DigitsOnly(const QString &text);

// The text with every character other than "+", "-" and "0".."9" removed.
QString PhoneCharsOnly(const QString &text);

// Whether the caller's digits identify the stored digits: without their leading zeros, the
// caller's number must equal the end of the stored number. Empty input never matches, and
// neither does a number made only of zeros.
bool NumbersMatch(const QString &callerDigits, const QString &storedDigits);

// The result of a caller look-up: the matched contact's index in the contact list (-1 for none)
// and the phone location label of the number that matched (empty for none).
struct ContactMatch
{
    int index = -1;
    QString location;

    bool found() const { return index >= 0; }
    bool operator==(const ContactMatch &) const = default;
};

// The stored numbers of a contact list reduced for the caller look-up, built once and kept by
// the list's owner until the list changes.
class ContactNumberIndex
{
public:
    ContactNumberIndex() = default;
    explicit ContactNumberIndex(const TContactList &contacts);

    // Adds a row of numbers that is not a contact of the list (a card of the contacts folder);
    // rows count from 0 in the order they were added.
    void addRow(const std::array<QString, 8> &numbers);
    // The first row (and the slot in it) whose stored number the caller's number matches, by
    // the same rules as find; -1 for none.
    int findRow(const QString &callerNumber, int *slot = nullptr) const;

    // Finds the first contact of CONTACTS (in list order, then PhoneNumber1..8) whose stored
    // number the caller's number matches (NumbersMatch). CONTACTS is the list the index was
    // built from, unchanged since.
    ContactMatch find(const TContactList &contacts, const QString &callerNumber) const;

private:
    std::vector<std::uint32_t> m_keys;       // eight per contact
    std::vector<std::uint32_t> m_offsets{0}; // into m_digits; one more than m_keys
    std::string m_digits;                    // every stored number's significant digits, ASCII
};

// The same look-up once, without keeping the index.
ContactMatch FindContactByNumber(const TContactList &contacts, const QString &callerNumber);

// The user's own area code, read once at start-up (ReadTelephonyAreaCode); StripOwnAreaCode may
// drop its leading "0" for the rest of the session.
extern QString OwnAreaCode;

// The INI files that hold the telephony locations, lowest priority first: each
// $XDG_CONFIG_DIRS entry (default /etc/xdg) + "/Kavelink/telephony-locations.ini", then
// $XDG_CONFIG_HOME (default ~/.config) + "/Kavelink/telephony-locations.ini". A key in a later
// file overrides the same key in an earlier one.
QStringList TelephonyLocationFiles();

// The area code of the current telephony location: [Locations] CurrentID=N selects the group
// [Location<N>], whose AreaCode is the result. Empty when anything is missing; never an error.
QString ReadTelephonyAreaCode();
QString ReadTelephonyAreaCode(const QStringList &files);

// The number without a leading OwnAreaCode. When the area code starts with "0" and the number
// does not, the area code loses its "0" for good first (the line reports numbers without the
// trunk prefix). An empty number changes nothing.
QString StripOwnAreaCode(const QString &number);

// How numbers are laid out for display. HowToFormat: 0 as they are, 1 by the patterns,
// 2 by the home numbering rules. FormatString[i] is the pattern for numbers of i + 5 digits;
// each "x" takes the next digit, every other character is copied.
struct NumberFormatSettings
{
    int HowToFormat = 2;
    std::array<QString, 9> FormatString = {
        QStringLiteral("xx-xxx"),
        QStringLiteral("xxx-xxx"),
        QStringLiteral("xxx-xxxx"),
        QStringLiteral("xxxx-xxxx"),
        QStringLiteral("(xx) xxx-xxxx"),
        QStringLiteral("(xxx) xxx-xxxx"),
        QStringLiteral("(xxx) xxxx-xxxx"),
        QStringLiteral("+xxx (xx) xxx-xxxx"),
        QStringLiteral("(xxx) xxx-xxxxxxx"),
    };

    bool operator==(const NumberFormatSettings &) const = default;
};

// The text shown for a number, by settings.HowToFormat.
QString FormatPhoneNumber(const QString &number, const NumberFormatSettings &settings);

// The number laid out by the pattern for its length; a leading "00" becomes "+".
QString FormatByPattern(const QString &number, const NumberFormatSettings &settings);

// The number laid out by the home numbering plan ("0" trunk prefix, "01" a two-digit area code,
// service prefixes such as "0800" and "060" a group of their own); falls back to FormatByPattern
// when no rule applies.
QString FormatAutomatically(const QString &number, const NumberFormatSettings &settings);
