#pragma once

#include <QString>

#include <functional>

// The modem line monitor's old entry points over the call sources, kept only until the call
// pipeline and the pipeline benchmark that still use them are gone. At most one line.
extern bool TapiLineOpen;    // the line is open and monitored
extern bool CallerBlocked;   // the current caller withheld the number
extern bool CallerOutOfArea; // the current caller's number is unavailable

extern std::function<void()> OnTapiRing;
// (caller name, caller number, called number, hand on); placeholders stand in for what the line
// did not tell.
extern std::function<void(const QString &name, const QString &number, const QString &called, bool handOn)>
    OnTapiCallerIdentified;
extern std::function<void()> OnTapiCallEnded;
extern std::function<void()> OnTapiLineFailed;
extern std::function<bool()> TapiDeviceIsModem;

void StartTapiMonitor(const QString &deviceName);
void StopTapiMonitor();
