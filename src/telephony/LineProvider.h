#pragma once

#include "telephony/Tapi.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QSharedPointer>

#include <functional>
#include <memory>

namespace telephony {

// What a provider knows about one call, turned into LINECALLINFO by the line service.
struct CallData
{
    DWORD callerIdFlags = 0; // LINECALLPARTYID_*
    QByteArray callerId;     // number, without terminating zero
    QByteArray callerIdName;
    QByteArray display;     // the raw caller record, for people reading dwDisplay
    QByteArray devSpecific; // anything else the provider wants to hand over
    QByteArray calledId;    // the number that was called, when the line tells
};

// One line device as its service provider presents it. Lives in the thread that enumerated it;
// its signals are emitted on that thread.
class LineDevice : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(LONG result)>;

    virtual QByteArray lineName() const = 0; // encoded as stringFormat() says, no terminating zero
    virtual QByteArray providerInfo() const = 0;
    virtual DWORD stringFormat() const { return STRINGFORMAT_ASCII; }
    virtual DWORD mediaModes() const { return LINEMEDIAMODE_DATAMODEM | LINEMEDIAMODE_INTERACTIVEVOICE; }
    virtual DWORD lowestApiVersion() const { return 0x00010003; }
    virtual DWORD highestApiVersion() const { return 0x00020000; }
    virtual DWORD callerIdCaps() const = 0; // the LINECALLPARTYID_* flags calls can carry
    virtual QByteArray devSpecific() const { return {}; }
    // LINECALLFEATURE_ANSWER and _DROP when calls can be answered and dropped on this line.
    virtual DWORD callFeatures() const { return LINECALLFEATURE_ANSWER | LINECALLFEATURE_DROP; }

    // Monitoring is started by the first open line and stopped after the last one closes.
    virtual bool startMonitoring() = 0;
    virtual void stopMonitoring() = 0;

    // Asynchronous: `done` runs later on the device's thread, exactly once.
    virtual void answerCall(int callId, Done done) = 0;
    virtual void dropCall(int callId, Done done) = 0;
    virtual CallData callData(int callId) const = 0;

signals:
    // The first state of a new callId announces the call.
    void callStateChanged(int callId, DWORD state, DWORD mode);
    void callInfoChanged(int callId, DWORD changedItems);
    // The device is gone or stopped answering; open lines are closed.
    void deviceLost();
};

// A source of line devices. devices() runs at every lineInitialize and returns the devices
// present now, in a stable order; an object that is still present is returned again.
class LineProvider
{
public:
    virtual ~LineProvider() = default;
    virtual QList<QSharedPointer<LineDevice>> devices() = 0;
};

// The providers the line service asks, in order. The AT modem provider is registered on first
// use unless the process registers its own list first (tests).
void RegisterLineProvider(std::shared_ptr<LineProvider> provider);
void UnregisterLineProvider(const std::shared_ptr<LineProvider> &provider);
// Replaces the default providers by none, so a test sees only the providers it registers.
void ClearLineProviders();

} // namespace telephony
