#pragma once

class CallMonitor;
class CallNotifier;
class Settings;
class TfrmIncomingCall;
class TfrmNewCallMessage;

// Shows every call the monitor presents: the call window or, kept quiet, only the new-call
// notice, and a desktop notification when the options ask for one (NOTIFIER may be null). The
// window closes and the notification goes when the call ends or is rejected.
void ConnectCallWindows(CallMonitor &monitor, const Settings &settings, TfrmIncomingCall &window,
                        TfrmNewCallMessage &message, CallNotifier *notifier);
