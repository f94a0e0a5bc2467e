#pragma once

#include "store/CallPlaceholders.h"

#include <QString>

#include <cstdint>

class AddressBook;
class CallLog;
class Settings;
class TCapiMonitor;
class TfrmIncomingCall;
class TfrmNewCallMessage;
struct CallNotice;

// What the call pipeline needs from the controller: the tray, the new-calls counter, the
// Scroll Lock flashing, the call windows, the tray switches and the reject command.
// TfrmStart implements it; tests implement it over real windows.
class CallPipelineHost
{
public:
    virtual ~CallPipelineHost() = default;

    // The live settings: the display, log and reject rules, sound, formatting, language.
    virtual const Settings &pipelineSettings() const = 0;

    // The tray switches "Ne smetaj!" and "Odbij!".
    virtual bool IsDoNotDisturbOn() const = 0;
    virtual bool IsAutoRejectOn() const = 0;

    virtual int newCallCount() const = 0;
    virtual void setNewCallCount(int count) = 0;
    // SetTrayState(NewCall): the new-call icon, the new-calls tool tip and texts, timerCalls.
    virtual void SetTrayStateNewCall() = 0;
    // Starts timerScrlFlash, which flashes the Scroll Lock light until the calls are seen.
    virtual void StartScrollLockFlashing() = 0;

    virtual TfrmIncomingCall &IncomingCallWindow() = 0;
    virtual TfrmNewCallMessage &NewCallMessageWindow() = 0;

    // Rejects the call in progress through the active source (modem: answer, hold, drop;
    // ISDN: the monitor hangs the call up).
    virtual void RejectCurrentCall() = 0;

    // Speaks a text; failures are absorbed. A host without speech does nothing.
    virtual void SpeakText(const QString &text, bool ignoreSoundSwitch) = 0;

    // The call's desktop notification, and its withdrawal when the call ends. A host without
    // notifications does nothing.
    virtual void NotifyCall(const CallNotice &call) { Q_UNUSED(call); }
    virtual void CallEnded() {}

    // The contacts the caller is looked up in, and the log the call goes to.
    virtual AddressBook &addressBook() = 0;
    virtual CallLog &callLog() = 0;
};

// The controller the pipeline reports to; null detaches it (calls are then ignored).
void SetCallPipelineHost(CallPipelineHost *host);
CallPipelineHost *CallPipelineHostInstance();

// Connects both call sources to the pipeline: the modem monitor's ring, caller and end
// callbacks, the incoming call window's close (which lets go
// of the caller's withheld and unavailable flags) and, when given, the ISDN monitor's
// incoming-call and disconnect events. Call once, after SetCallPipelineHost.
void ConnectCallSources(TCapiMonitor *capiMonitor);

// The ring step (identified false): count the call, tray, Scroll Lock, default ring sound, a
// placeholder record, the ringing call of the call log. The identified step (identified true):
// the placeholder becomes the call's record (or is dropped when DISCARD), then the call log is
// saved and reloaded.
void LogCall(const QString &name, const QString &number, const QString &calledNumber, bool discard,
             bool identified);

// Looks the caller's number up in the address book and hands the call on to
// HandleIdentifiedCall, matched or not, with both numbers reduced to digits.
void IdentifyCaller(const QString &name, const QString &number, const QString &calledNumber);

// The caller is known: fill the call windows, log the call, show the window or the notice,
// reject the call or play the contact's sound. NUMBER and CALLEDNUMBER are digit strings;
// INDEX is the matched contact in the address book or -1.
void HandleIdentifiedCall(const QString &name, const QString &number, const QString &calledNumber, int index,
                          const QString &location);

// The ISDN monitor's events.
void capiMonitorIncomingCall(const QString &CallingPartyNumber, const QString &CalledPartyNumber,
                             uint16_t CipValue, const QString &CipValueString);
void capiMonitorDisconnectInfo(uint16_t aRejectCause, uint16_t aDisconnectReason);

// TEXT with its first "<NAME>" replaced by NAME.
QString ReplaceNameTag(const QString &text, const QString &name);
