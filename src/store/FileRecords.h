#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The on-disk forms of the three record types: fixed-size little-endian records, text as
// length-prefixed Windows-1250 strings of fixed capacity. Encoding writes every byte of the
// record (unused string bytes and padding as zeros); decoding never reads outside the record,
// and a length byte above the field's capacity (a damaged file) counts as the capacity.

// Text capacities of the record fields, in characters (one Windows-1250 byte each; a field takes
// one byte more for its length). The record layout, the editors and tellwise-cli all take their
// limits from this table.
namespace capacity {
// Addressbook.dat, in file order.
inline constexpr int FirstName = 25;
inline constexpr int LastName = 25;
inline constexpr int NickName = 25;
inline constexpr int DisplayNameAs = 65;
inline constexpr int Group = 40;
inline constexpr int HomeAddress = 50;
inline constexpr int HomeCity = 50;
inline constexpr int HomePostNo = 50;
inline constexpr int HomeCountry = 50;
inline constexpr int HomeWebPage = 50;
inline constexpr int CompanyName = 50;
inline constexpr int CompanyDepartment = 50;
inline constexpr int CompanyOffice = 50;
inline constexpr int CompanyJobTitle = 50;
inline constexpr int CompanyAddress = 50;
inline constexpr int CompanyCity = 50;
inline constexpr int CompanyPostNo = 50;
inline constexpr int CompanyCountry = 50;
inline constexpr int CompanyWebPage = 50;
inline constexpr int PhoneLocation = 30; // each of the eight
inline constexpr int PhoneNumber = 30;   // each of the eight
inline constexpr int EMail = 30;         // each of the four
inline constexpr int Notes = 255;
inline constexpr int UseThisSound = 255;
inline constexpr int Picture = 255;
// Groups.dat
inline constexpr int GroupName = 40;
inline constexpr int GroupSound = 255;
// Calls.dat
inline constexpr int CallerName = 65;
inline constexpr int CallerNumber = 30;
inline constexpr int CalledNumber = 30;
} // namespace capacity

// Short strings: one length byte, then `capacity` bytes. A longer text is cut to its first
// `capacity` characters.
void WriteShortString(char *out, int capacity, const QString &text);
QString ReadShortString(const char *in, int capacity);
// The same into a field that may hold the text already; an equal text is kept as it is.
void ReadShortStringInto(const char *in, int capacity, QString &field);

// Each record type also tells whether SIZE bytes can be a record that a writer of the format
// made (plausible): no length beyond its field, a key where the record has one, and for a call a
// whole day and a time of day that name a moment. Records of a damaged file fail it.

// Contact record of Addressbook.dat.
struct TAddressFileRec
{
    static constexpr qsizetype Size = 2300;

    static void encode(const AListAddress &record, char *out);    // writes exactly Size bytes
    static AListAddress decode(const char *in);                   // reads exactly Size bytes
    static void decodeInto(const char *in, AListAddress &record); // keeps equal texts
    static bool plausible(const char *in);
};

// Group record of Groups.dat.
struct TGroupFileRec
{
    static constexpr qsizetype Size = 297;

    static void encode(const AGroups &record, char *out);
    static AGroups decode(const char *in);
    static void decodeInto(const char *in, AGroups &record); // keeps equal texts
    static bool plausible(const char *in);
};

// Call record of Calls.dat.
struct TCallFileRec
{
    static constexpr qsizetype Size = 152;

    static void encode(const ACalls &record, char *out);
    static ACalls decode(const char *in);
    static void decodeInto(const char *in, ACalls &record); // keeps equal texts
    static bool plausible(const char *in);
};

// One record as a byte array of exactly its size.
QByteArray EncodeFileRec(const AListAddress &record);
QByteArray EncodeFileRec(const AGroups &record);
QByteArray EncodeFileRec(const ACalls &record);

// Dates and times as stored: days since 1899-12-30 00:00, the fraction being the time of day.
// A negative value keeps its day in the integral part and its time in the absolute fraction
// (-1.25 is 29 Dec 1899, 06:00). Values that name no representable moment (NaN, infinities,
// beyond the calendar) give an invalid QDate/QTime/QDateTime. Times are rounded to the
// millisecond. The QDateTime forms are local time.
QDate DateFromTDateTime(double value);
QTime TimeFromTDateTime(double value);
QDateTime DateTimeFromTDateTime(double value);
double TDateFromQDate(const QDate &date); // integral days; 0.0 for an invalid date
double TTimeFromQTime(const QTime &time); // fraction of a day; 0.0 for an invalid time
double TDateTimeFromQDateTime(const QDateTime &dateTime);
