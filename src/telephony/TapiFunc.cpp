#include "telephony/TapiFunc.h"

#include "store/CallPlaceholders.h"
#include "telephony/CallSources.h"

bool TapiLineOpen = false;
bool CallerBlocked = false;
bool CallerOutOfArea = false;

std::function<void()> OnTapiRing;
std::function<void(const QString &, const QString &, const QString &, bool)> OnTapiCallerIdentified;
std::function<void()> OnTapiCallEnded;
std::function<void()> OnTapiLineFailed;
std::function<bool()> TapiDeviceIsModem = [] { return true; };

namespace {

std::unique_ptr<telephony::CallSource> g_source;

void callerKnown(const telephony::CallerId &caller)
{
    if (TapiDeviceIsModem && !TapiDeviceIsModem())
        return;
    CallerBlocked = caller.withheld;
    CallerOutOfArea = caller.unavailable;
    const bool untold = caller.withheld || caller.unavailable;
    const QString name = untold && caller.name.isEmpty() ? PlaceholderUnknown() : caller.name;
    const QString number = !untold || !caller.number.isEmpty() ? caller.number
                           : caller.unavailable              ? PlaceholderUnidentified()
                                                             : PlaceholderBlocked();
    if (OnTapiCallerIdentified)
        OnTapiCallerIdentified(name, number, caller.calledNumber, true);
}

} // namespace

void StartTapiMonitor(const QString &deviceName)
{
    StopTapiMonitor();
    const std::optional<telephony::LineInfo> line = telephony::FindLine(telephony::DeviceKind::Modem, deviceName);
    g_source = line ? telephony::CreateCallSource(*line) : nullptr;
    if (!g_source)
        return;
    using telephony::CallSource;
    QObject::connect(g_source.get(), &CallSource::callOffered, [] {
        if (OnTapiRing)
            OnTapiRing();
    });
    QObject::connect(g_source.get(), &CallSource::callerKnown, &callerKnown);
    QObject::connect(g_source.get(), &CallSource::callEnded, [] {
        if (OnTapiCallEnded)
            OnTapiCallEnded();
    });
    QObject::connect(g_source.get(), &CallSource::lineLost, [] {
        TapiLineOpen = false;
        if (OnTapiLineFailed)
            OnTapiLineFailed();
    });
    TapiLineOpen = g_source->start();
}

void StopTapiMonitor()
{
    if (g_source)
        g_source->disconnect();
    g_source.reset();
    TapiLineOpen = false;
}
