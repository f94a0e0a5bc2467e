#pragma once

#include "telephony/Tapi.h"

#include <QString>
#include <QStringList>

#include <functional>

// The modem line monitor: watches one telephony line for incoming calls and hands ring, caller
// and end-of-call notifications to the application. A module of free functions over module
// state; there is at most one monitored line in the process. Everything runs on the thread that
// called StartTapiMonitor.

// What the caller display of a line can show.
struct TCallerDisplayCaps
{
    bool name = false;
    bool number = false;
    bool blocked = false;
    bool outOfArea = false;
    bool reject = false; // calls can be answered and dropped (the "Odbij!" switch works)
};

// Module state, read by the controller and the call pipeline.
extern DWORD TapiApiVersion;     // high word major, low word minor
extern QString TapiProviderInfo; // of the device FindTapiDevice examined last
extern bool TapiLineOpen;        // the line is open and monitored
extern bool TapiLineFailed;      // the latest start failed, or the open line was lost
extern bool CallerBlocked;       // the current caller withheld the number
extern bool CallerOutOfArea;     // the current caller's number is unavailable

// Buffer sizes the variable-size structures are first read with.
constexpr DWORD kDevCapsBufferSize = 1276;
constexpr DWORD kAddressCapsBufferSize = 1252;
constexpr DWORD kCallInfoBufferSize = 1348;

// The changed-items mask that carries the caller, alone.
constexpr DWORD kCallerItemMask = LINECALLINFOSTATE_CALLERID;

// Outgoing calls, connected by the application (all on the monitor's thread).
// Ring: a new call is offered (the pipeline's LogCall).
extern std::function<void()> OnTapiRing;
// Caller identified: (caller name, caller number, called number, hand on); the pipeline's
// caller entry, which matches the number (FindContactByNumber) and hands the call on.
extern std::function<void(const QString &name, const QString &number, const QString &called, bool handOn)>
    OnTapiCallerIdentified;
// Call ended: the incoming call window closes.
extern std::function<void()> OnTapiCallEnded;
// The monitored line was closed under us (modem unplugged or silent): TapiLineOpen is now false
// and TapiLineFailed true, so the tray can show its error state.
extern std::function<void()> OnTapiLineFailed;
// Whether the modem is still the chosen device type; caller messages are ignored otherwise.
extern std::function<bool()> TapiDeviceIsModem;

void StartTapiMonitor(const QString &deviceName);
void StopTapiMonitor();
void ListTapiDevices(QStringList &list);
int FindTapiDevice(const QString &name);
// On any failure the result keeps the values `caps` came in with.
TCallerDisplayCaps GetCallerDisplayCaps(DWORD deviceId, TCallerDisplayCaps caps = {});
// Answers the current call, keeps the program running for five seconds, then drops the call
// that is current then.
void RejectTapiCall();

void CALLBACK LineCallback(DWORD hDevice, DWORD dwMessage, DWORD_PTR dwCallbackInstance, DWORD_PTR dwParam1,
                           DWORD_PTR dwParam2, DWORD_PTR dwParam3);
// Reads the caller from a LINECALLINFO and calls OnTapiCallerIdentified.
void ReadCallerInfo(const LINECALLINFO *info);

// The delay between answer and drop in RejectTapiCall, in milliseconds.
constexpr int kRejectHoldMs = 5000;
