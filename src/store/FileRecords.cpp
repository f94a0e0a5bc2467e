#include "store/FileRecords.h"

#include "store/Cp1250.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

constexpr qint64 kMsPerDay = 86400000;
// Beyond this many days (about 2.7 million years) a value names no sensible date; the bound
// also keeps the double-to-integer conversions defined.
constexpr double kMaxDays = 1e9;

// Walks a record front to back so that the field order reads like the layout table.
class RecordWriter
{
public:
    explicit RecordWriter(char *out) : m_out(out) {}
    void text(int capacity, const QString &value)
    {
        WriteShortString(m_out + m_pos, capacity, value);
        m_pos += capacity + 1;
    }
    void boolean(bool value) { m_out[m_pos++] = value ? 1 : 0; }
    void int32(std::int32_t value)
    {
        auto u = std::uint32_t(value);
        for (int i = 0; i < 4; ++i, u >>= 8)
            m_out[m_pos++] = char(u & 0xFF);
    }
    void real(double value)
    {
        auto u = std::bit_cast<std::uint64_t>(value);
        for (int i = 0; i < 8; ++i, u >>= 8)
            m_out[m_pos++] = char(u & 0xFF);
    }
    void padding(int count)
    {
        std::memset(m_out + m_pos, 0, std::size_t(count));
        m_pos += count;
    }
    qsizetype position() const { return m_pos; }

private:
    char *m_out;
    qsizetype m_pos = 0;
};

class RecordReader
{
public:
    explicit RecordReader(const char *in) : m_in(in) {}
    void text(int capacity, QString &field)
    {
        ReadShortStringInto(m_in + m_pos, capacity, field);
        m_pos += capacity + 1;
    }
    bool boolean() { return m_in[m_pos++] != 0; }
    std::int32_t int32()
    {
        std::uint32_t u = 0;
        for (int i = 3; i >= 0; --i)
            u = (u << 8) | static_cast<unsigned char>(m_in[m_pos + i]);
        m_pos += 4;
        return std::int32_t(u);
    }
    double real()
    {
        std::uint64_t u = 0;
        for (int i = 7; i >= 0; --i)
            u = (u << 8) | static_cast<unsigned char>(m_in[m_pos + i]);
        m_pos += 8;
        return std::bit_cast<double>(u);
    }
    void skip(int count) { m_pos += count; }
    qsizetype position() const { return m_pos; }

private:
    const char *m_in;
    qsizetype m_pos = 0;
};

QDate epoch()
{
    return QDate(1899, 12, 30);
}

// Whether the length byte of the text at IN fits a field of CAPACITY.
bool fits(const char *in, int capacity)
{
    return static_cast<unsigned char>(in[0]) <= capacity;
}

bool empty(const char *in)
{
    return in[0] == 0;
}

} // namespace

void WriteShortString(char *out, int capacity, const QString &text)
{
    // A text the code page cannot hold is written as it is stored: Latin letters, never "?".
    // Most texts hold nothing the code page lacks: they are written at once, and checked only
    // when a "?" came out.
    qsizetype length = EncodeCp1250Into(text, out + 1, capacity);
    if (std::memchr(out + 1, '?', std::size_t(length)) && !FitsCp1250(text, capacity))
        length = EncodeCp1250Into(StoredText(text, capacity), out + 1, capacity);
    out[0] = char(static_cast<unsigned char>(length));
    std::memset(out + 1 + length, 0, std::size_t(capacity - length));
}

QString ReadShortString(const char *in, int capacity)
{
    QString text;
    ReadShortStringInto(in, capacity, text);
    return text;
}

void ReadShortStringInto(const char *in, int capacity, QString &field)
{
    // A damaged file may hold a length above the capacity; the field ends at its capacity.
    const int length = std::min(int(static_cast<unsigned char>(in[0])), capacity);
    if (!EqualsCp1250(field, in + 1, length))
        field = DecodeCp1250(in + 1, length);
}

// ---- Addressbook.dat ----

namespace {

// The text fields of a contact record in file order, with their capacities.
template <typename Record, typename Visit> void forEachText(Record &r, Visit visit)
{
    using namespace capacity;
    visit(FirstName, r.FirstName);
    visit(LastName, r.LastName);
    visit(NickName, r.NickName);
    visit(DisplayNameAs, r.DisplayNameAs);
    visit(Group, r.Group);
    visit(HomeAddress, r.HomeAddress);
    visit(HomeCity, r.HomeCity);
    visit(HomePostNo, r.HomePostNo);
    visit(HomeCountry, r.HomeCountry);
    visit(HomeWebPage, r.HomeWebPage);
    visit(CompanyName, r.CompanyName);
    visit(CompanyDepartment, r.CompanyDepartment);
    visit(CompanyOffice, r.CompanyOffice);
    visit(CompanyJobTitle, r.CompanyJobTitle);
    visit(CompanyAddress, r.CompanyAddress);
    visit(CompanyCity, r.CompanyCity);
    visit(CompanyPostNo, r.CompanyPostNo);
    visit(CompanyCountry, r.CompanyCountry);
    visit(CompanyWebPage, r.CompanyWebPage);
    for (auto &location : r.PhoneLocation)
        visit(PhoneLocation, location);
    for (auto &number : r.PhoneNumber)
        visit(PhoneNumber, number);
    for (auto &mail : r.EMail)
        visit(EMail, mail);
    visit(Notes, r.Notes);
    visit(UseThisSound, r.UseThisSound);
    visit(Picture, r.Picture);
}

} // namespace

void TAddressFileRec::encode(const AListAddress &r, char *out)
{
    RecordWriter w(out);
    forEachText(r, [&w](int capacity, const QString &text) { w.text(capacity, text); });
    w.boolean(r.ActualDimensions);
    w.boolean(r.CenterPicture);
    w.padding(3);
    w.int32(r.SoundMode);
    w.boolean(r.BlackList);
    w.padding(3);
    Q_ASSERT(w.position() == Size);
}

AListAddress TAddressFileRec::decode(const char *in)
{
    AListAddress r;
    decodeInto(in, r);
    return r;
}

void TAddressFileRec::decodeInto(const char *in, AListAddress &r)
{
    RecordReader rd(in);
    forEachText(r, [&rd](int capacity, QString &text) { rd.text(capacity, text); });
    r.ActualDimensions = rd.boolean();
    r.CenterPicture = rd.boolean();
    rd.skip(3);
    r.SoundMode = rd.int32();
    r.BlackList = rd.boolean();
    rd.skip(3);
    Q_ASSERT(rd.position() == Size);
}

bool TAddressFileRec::plausible(const char *in)
{
    using namespace capacity;
    constexpr int kDisplayNameAt = (FirstName + 1) + (LastName + 1) + (NickName + 1);
    if (empty(in + kDisplayNameAt))
        return false;
    AListAddress layout; // walked for its field order only
    qsizetype at = 0;
    bool fit = true;
    forEachText(layout, [&](int capacity, const QString &) {
        fit = fit && fits(in + at, capacity);
        at += capacity + 1;
    });
    return fit;
}

// ---- Groups.dat ----

void TGroupFileRec::encode(const AGroups &r, char *out)
{
    RecordWriter w(out);
    w.text(capacity::GroupName, r.GroupName);
    w.text(capacity::GroupSound, r.GroupSound);
    Q_ASSERT(w.position() == Size);
}

AGroups TGroupFileRec::decode(const char *in)
{
    AGroups r;
    decodeInto(in, r);
    return r;
}

void TGroupFileRec::decodeInto(const char *in, AGroups &r)
{
    RecordReader rd(in);
    rd.text(capacity::GroupName, r.GroupName);
    rd.text(capacity::GroupSound, r.GroupSound);
    Q_ASSERT(rd.position() == Size);
}

bool TGroupFileRec::plausible(const char *in)
{
    return !empty(in) && fits(in, capacity::GroupName);
}

// ---- Calls.dat ----

void TCallFileRec::encode(const ACalls &r, char *out)
{
    RecordWriter w(out);
    w.text(capacity::CallerName, r.CallerName);
    w.text(capacity::CallerNumber, r.CallerNumber);
    w.text(capacity::CalledNumber, r.CalledNumber);
    w.real(r.CallDate);
    w.real(r.CallTime);
    w.boolean(r.IsNew);
    w.padding(7);
    Q_ASSERT(w.position() == Size);
}

ACalls TCallFileRec::decode(const char *in)
{
    ACalls r;
    decodeInto(in, r);
    return r;
}

void TCallFileRec::decodeInto(const char *in, ACalls &r)
{
    RecordReader rd(in);
    rd.text(capacity::CallerName, r.CallerName);
    rd.text(capacity::CallerNumber, r.CallerNumber);
    rd.text(capacity::CalledNumber, r.CalledNumber);
    r.CallDate = rd.real();
    r.CallTime = rd.real();
    r.IsNew = rd.boolean();
    rd.skip(7);
    Q_ASSERT(rd.position() == Size);
}

bool TCallFileRec::plausible(const char *in)
{
    using namespace capacity;
    // The calendar ends on 31 December 9999, day 2958465 of the stored count.
    constexpr double kLastDay = 2958465;
    constexpr int kNumberAt = CallerName + 1;
    constexpr int kCalledAt = kNumberAt + CallerNumber + 1;
    constexpr int kDateAt = kCalledAt + CalledNumber + 1;
    RecordReader rd(in + kDateAt);
    const double date = rd.real();
    const double time = rd.real();
    // Comparisons with NaN are false: such a value fails too.
    return fits(in, CallerName) && fits(in + kNumberAt, CallerNumber) && fits(in + kCalledAt, CalledNumber) &&
           date >= 0 && date <= kLastDay && date == std::trunc(date) && time >= 0 && time < 1;
}

QByteArray EncodeFileRec(const AListAddress &record)
{
    QByteArray bytes(TAddressFileRec::Size, Qt::Uninitialized);
    TAddressFileRec::encode(record, bytes.data());
    return bytes;
}

QByteArray EncodeFileRec(const AGroups &record)
{
    QByteArray bytes(TGroupFileRec::Size, Qt::Uninitialized);
    TGroupFileRec::encode(record, bytes.data());
    return bytes;
}

QByteArray EncodeFileRec(const ACalls &record)
{
    QByteArray bytes(TCallFileRec::Size, Qt::Uninitialized);
    TCallFileRec::encode(record, bytes.data());
    return bytes;
}

// ---- dates and times ----

namespace {

// Splits a stored value into whole days and milliseconds of the day (0 .. kMsPerDay), or
// returns false for a value that names no moment.
bool splitTDateTime(double value, qint64 &days, qint64 &ms)
{
    if (!std::isfinite(value) || std::fabs(value) > kMaxDays)
        return false;
    const double whole = std::trunc(value);
    days = qint64(whole);
    ms = std::llround(std::fabs(value - whole) * double(kMsPerDay));
    return true;
}

} // namespace

QDate DateFromTDateTime(double value)
{
    qint64 days = 0;
    qint64 ms = 0;
    if (!splitTDateTime(value, days, ms))
        return QDate();
    return epoch().addDays(days);
}

QTime TimeFromTDateTime(double value)
{
    qint64 days = 0;
    qint64 ms = 0;
    if (!splitTDateTime(value, days, ms))
        return QTime();
    // A time alone cannot carry into the next day; a hair before midnight stays on this day.
    return QTime::fromMSecsSinceStartOfDay(int(std::min(ms, kMsPerDay - 1)));
}

QDateTime DateTimeFromTDateTime(double value)
{
    qint64 days = 0;
    qint64 ms = 0;
    if (!splitTDateTime(value, days, ms))
        return QDateTime();
    if (ms == kMsPerDay) {
        ++days;
        ms = 0;
    }
    return QDateTime(epoch().addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms)));
}

double TDateFromQDate(const QDate &date)
{
    return date.isValid() ? double(epoch().daysTo(date)) : 0.0;
}

double TTimeFromQTime(const QTime &time)
{
    return time.isValid() ? double(time.msecsSinceStartOfDay()) / double(kMsPerDay) : 0.0;
}

double TDateTimeFromQDateTime(const QDateTime &dateTime)
{
    if (!dateTime.isValid())
        return 0.0;
    const double days = TDateFromQDate(dateTime.date());
    const double fraction = TTimeFromQTime(dateTime.time());
    // Before the epoch the day counts down while the time of day still counts up.
    return days < 0 ? days - fraction : days + fraction;
}
