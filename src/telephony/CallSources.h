#pragma once

#include "telephony/CallSource.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace telephony {

// The two kinds of device the user chooses between; the values of the DeviceType setting. The
// modem kind holds the modems and the network lines.
enum class DeviceKind
{
    Modem = 0,
    Isdn = 1
};

struct CallSourceType;

// One line the program can watch, as the options window, tellwise-cli and the monitor list it.
struct LineInfo
{
    QString name; // as the DeviceName setting stores it
    DeviceKind kind = DeviceKind::Modem;
    QString kindText; // what carries the line: "AT modem", "NCID client (TCP)", ...
    QString identity; // the modem's answer to ATI
    QString port;     // the modem's serial port
    QString host;     // a network line's server
    quint16 tcpPort = 0;
    uint controller = 0; // the ISDN controller, from 1

    // What the line's caller display can show, and whether a call can be turned away.
    bool showsName = false;
    bool showsNumber = false;
    bool showsWithheld = false;
    bool showsUnavailable = false;
    bool canReject = false;

    const CallSourceType *type = nullptr; // the line type that listed it and creates its source
};

// A type of line: how to list the lines of that type present now, and how to watch one. A new
// type is one CallSource class and one row in the table of CallSources.cpp.
struct CallSourceType
{
    DeviceKind kind;
    QList<LineInfo> (*lines)();
    // rejectTimeOutSeconds: how long a line that leaves unanswered calls to the other
    // telephones waits before it does (ISDN).
    std::unique_ptr<CallSource> (*create)(const LineInfo &line, int rejectTimeOutSeconds);
};

// The lines of one kind present now, in a stable order. Modems are probed, except ports that a
// running source holds and ports that stayed silent a moment ago.
QList<LineInfo> ListLines(DeviceKind kind);
// The line stored under NAME (exactly), when it is present now.
std::optional<LineInfo> FindLine(DeviceKind kind, const QString &name);
// The source that watches LINE; not started yet. Null for a line no type listed.
std::unique_ptr<CallSource> CreateCallSource(const LineInfo &line, int rejectTimeOutSeconds = 10);

} // namespace telephony
