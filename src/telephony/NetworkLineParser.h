#pragma once

#include "telephony/ModemLineParser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <functional>

namespace telephony {

// What one line from a network caller-ID source means for the call on that line.
struct NetworkEvent
{
    enum Kind
    {
        None,  // nothing for us: outgoing calls, history, greetings, noise
        Offer, // a new incoming call, with its caller
        Alive, // the call is still ringing
        End,   // the call was answered or the caller gave up
    };
    Kind kind = None;
    QByteArray connection; // the router's connection ID; empty for NCID (one call at a time)
    CallerIdRecord caller;
    QByteArray called; // the number that was called, when the source tells
};

// Splits a TCP stream into lines ending at LF (a CR before it is dropped). A line holding any
// other control byte but TAB is thrown away whole; 8-bit bytes are kept for names. A line longer
// than kMaxLineLength is thrown away up to its end, so an endless line never grows the buffer.
class BoundedLineReader
{
public:
    static constexpr qsizetype kMaxLineLength = 1024;

    void feed(QByteArrayView bytes, const std::function<void(const QByteArray &)> &sink);
    void reset();
    qsizetype pendingBytes() const { return m_line.size(); }

private:
    QByteArray m_line;
    bool m_overlong = false;
    bool m_junk = false;
    bool m_carriageReturn = false; // the byte before was a CR
};

// The router's call monitor (TCP 1012): "DD.MM.YY HH:MM:SS;RING;id;caller;called;line;" and the
// CALL, CONNECT and DISCONNECT lines. Outgoing CALLs and their connections are no incoming calls,
// and neither is a line without its time stamp or a caller that is no number (an empty one is
// withheld).
NetworkEvent parseCallMonitorLine(QByteArrayView line);

// An NCID server (TCP 3333): "CID: *DATE*..*TIME*..*LINE*..*NMBR*..*MESG*..*NAME*..*" offers a
// call unless its number is neither a number nor a withheld or unavailable marker; CIDINFO ring
// counts keep it alive or end it, END: ends it. The *LOG lines a server sends at connect are
// history and never calls.
NetworkEvent parseNcidLine(QByteArrayView line);

// One configured source.
struct NetworkSource
{
    enum Protocol
    {
        CallMonitor,
        Ncid
    };
    Protocol protocol = CallMonitor;
    QString host;
    quint16 port = 0;
    QByteArray lineName; // "Call monitor 192.168.178.1:1012", "NCID 192.168.1.5:3333"

    static constexpr quint16 defaultPort(Protocol p) { return p == CallMonitor ? 1012 : 3333; }
    // "HOST", "HOST:PORT", "[v6 address]:PORT"; false for an empty host or a bad port.
    static bool parse(Protocol protocol, const QString &text, NetworkSource *source);
};

// Group [Network] of the modem configuration file: CallMonitor and Ncid, comma-separated
// HOST[:PORT] lists; ConnectTimeoutMs.
struct NetworkConfig
{
    QList<NetworkSource> sources;
    int connectTimeoutMs = 5000;
    int ringTimeoutMs = 8000; // from [Modems] RingTimeoutMs: NCID calls without ring news end after it

    static NetworkConfig load();
};

// Where the network simulator publishes its control socket in the user's runtime folder.
namespace netsim {
QString socketPath();
} // namespace netsim

} // namespace telephony
