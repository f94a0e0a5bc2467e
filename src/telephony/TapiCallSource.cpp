#include "telephony/TapiCallSource.h"

#include "store/Numbers.h"
#include "telephony/TapiFunc.h"

namespace telephony {

TapiCallSource::TapiCallSource(QString lineName, QObject *parent) : CallSource(parent), m_lineName(std::move(lineName))
{
}

TapiCallSource::~TapiCallSource()
{
    stop();
}

bool TapiCallSource::start()
{
    OnTapiRing = [this] { emit callOffered(); };
    OnTapiCallerIdentified = [this](const QString &name, const QString &number, const QString &called, bool) {
        CallerId caller;
        caller.withheld = CallerBlocked;
        caller.unavailable = CallerOutOfArea;
        caller.name = name;
        // The monitor writes its own texts in for a number the line did not tell; they hold no
        // digit, a number always does.
        if (!DigitsOnly(number).isEmpty())
            caller.number = number;
        caller.calledNumber = called;
        emit callerKnown(caller);
    };
    OnTapiCallEnded = [this] { emit callEnded(); };
    OnTapiLineFailed = [this] { emit lineLost(); };
    StartTapiMonitor(m_lineName);
    return TapiLineOpen;
}

void TapiCallSource::stop()
{
    if (TapiLineOpen)
        StopTapiMonitor();
    OnTapiRing = nullptr;
    OnTapiCallerIdentified = nullptr;
    OnTapiCallEnded = nullptr;
    OnTapiLineFailed = nullptr;
}

bool TapiCallSource::isMonitoring() const
{
    return TapiLineOpen;
}

void TapiCallSource::reject()
{
    RejectTapiCall();
}

} // namespace telephony
