#pragma once

#include "telephony/CallerId.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <functional>

namespace telephony {

// One line a modem sent, classified.
struct ModemLine
{
    enum Kind
    {
        Ok,
        Error,
        Ring,
        NoCarrier,
        Echo,     // a command the modem echoed back to us
        CallerId, // key = DATE, TIME, NMBR, NAME or MESG
        Text,     // anything else (ATI answers, unknown result codes)
    };
    Kind kind = Text;
    QByteArray key;
    QByteArray value; // CallerId: the value; Text and Echo: the whole line
};

// Splits the bytes from a serial port into lines and classifies them. Lines end at CR or LF;
// control bytes are dropped (8-bit bytes stay, for names); a line longer than kMaxLineLength is
// discarded up to its end, so noise never grows the buffer. A caller-ID line counts only when
// its values are well formed (a date, a time, a number, a name); anything else is Text.
class ModemLineParser
{
public:
    static constexpr qsizetype kMaxLineLength = 256;

    void feed(QByteArrayView bytes, const std::function<void(const ModemLine &)> &sink);
    void reset();
    qsizetype pendingBytes() const { return m_line.size(); }

    static ModemLine classify(QByteArrayView line);
    // As classify, but a compact record on one line gives one CallerId line per field.
    static QList<ModemLine> classifyAll(QByteArrayView line);

private:
    static QList<ModemLine> callerFields(const QByteArray &text);

    QByteArray m_line;
    bool m_overlong = false;
};

// The caller-ID record of one call, assembled from its DATE/TIME/NMBR/NAME/MESG lines.
class CallerIdRecord
{
public:
    static constexpr qsizetype kMaxValueLength = 64;

    void add(const QByteArray &key, const QByteArray &value);
    void clear() { *this = CallerIdRecord(); }

    bool isEmpty() const { return !m_hasNumber && !m_hasName && m_other.isEmpty(); }
    // Both number and name arrived; a record without a name completes by time-out instead.
    bool isComplete() const { return m_hasNumber && m_hasName; }
    // A number or a name (real or withheld) arrived.
    bool hasParty() const { return m_hasNumber || m_hasName; }

    // The caller: withheld (P, PRIVATE, ANONYMOUS) or unavailable (O, OUT-OF-AREA) as either
    // field says, the number and the name only when they were delivered.
    CallerId callerId() const;
    QByteArray number() const; // empty unless delivered
    // Empty unless delivered; UTF-8 when it is valid UTF-8, else Windows-1250, the code page of
    // the line's texts.
    QString name() const;
    QByteArray rawText() const; // the record as received, one "KEY=VALUE" per line

    // What a value sent in place of a number or a name stands for.
    enum class Marker
    {
        None, // a real text
        Withheld,
        Unavailable
    };
    static Marker markerOf(QByteArrayView value);

private:
    QByteArray m_number;
    QByteArray m_name;
    QByteArray m_other;
    bool m_hasNumber = false;
    bool m_hasName = false;
};

} // namespace telephony
