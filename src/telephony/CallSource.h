#pragma once

#include "telephony/CallerId.h"

#include <QObject>

namespace telephony {

// One telephone line the program watches, whatever carries it. A call goes callOffered, then
// callerKnown (at most once, possibly never), then callEnded (exactly once); a caller-ID message
// without a ring first may bring callerKnown alone. Every signal comes on the thread that owns
// the source, and none from inside start().
class CallSource : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Starts watching the line; true when it is watched now.
    virtual bool start() = 0;
    // Stops watching and leaves no call off the hook; harmless when not started.
    virtual void stop() = 0;
    virtual bool isMonitoring() const = 0;

    // Whether reject() can turn a caller away on this line.
    virtual bool canReject() const { return false; }
    // Turns the call in progress away; nothing when there is none.
    virtual void reject() {}

    // How soon a lost line is worth starting again, in milliseconds; 0 for the caller's growing
    // pause between tries.
    virtual int retryIntervalMs() const { return 0; }

signals:
    void callOffered();
    void callerKnown(const telephony::CallerId &caller);
    void callEnded();
    // The line stopped answering and is no longer watched.
    void lineLost();
};

} // namespace telephony
