#include "telephony/CapiCallSource.h"

#include "capi/CpInfo.h"
#include "capi/CpMoni.h"
#include "store/Numbers.h"

#include <utility>

namespace telephony {

CapiCallSource::CapiCallSource(uint controller, int rejectTimeOutSeconds, QObject *parent)
    : CallSource(parent), m_monitor(new TCapiMonitor(this))
{
    m_monitor->setObjectName(QStringLiteral("capiMonitor"));
    m_monitor->setController(controller);
    m_monitor->setRejectTimeOut(rejectTimeOutSeconds);
    connect(m_monitor, &TCapiMonitor::OnIncomingCall, this, [this](const QString &calling, const QString &called) {
        m_inCall = true;
        emit callOffered();
        CallerId caller;
        caller.number = calling;
        caller.calledNumber = StripOwnAreaCode(called);
        caller.withheld = calling.isEmpty();
        emit callerKnown(caller);
    });
    connect(m_monitor, &TCapiMonitor::OnDisconnectInfo, this, [this] {
        if (!std::exchange(m_inCall, false))
            return;
        emit callEnded();
    });
    connect(m_monitor, &TCapiMonitor::OnLineLost, this, [this] {
        if (std::exchange(m_inCall, false))
            emit callEnded();
        emit lineLost();
    });
}

CapiCallSource::~CapiCallSource() = default;

QList<LineInfo> CapiCallSource::lines()
{
    TCapiInfo info;
    const int count = info.CapiLoaded() ? info.ControllerCount() : 0;
    QList<LineInfo> result;
    for (int i = 1; i <= count; ++i) {
        LineInfo line;
        line.name = QStringLiteral("ISDN Adapter #%1").arg(i);
        line.kindText = QStringLiteral("ISDN (CAPI 2.0)");
        line.controller = uint(i);
        line.showsNumber = line.showsWithheld = line.canReject = true;
        result.append(line);
    }
    return result;
}

std::unique_ptr<CallSource> CapiCallSource::create(const LineInfo &line, int rejectTimeOutSeconds)
{
    return std::make_unique<CapiCallSource>(line.controller, rejectTimeOutSeconds);
}

bool CapiCallSource::start()
{
    m_monitor->setActive(true);
    return m_monitor->Active();
}

void CapiCallSource::stop()
{
    if (m_monitor->Active())
        m_monitor->setActive(false);
    if (std::exchange(m_inCall, false))
        emit callEnded();
}

bool CapiCallSource::isMonitoring() const
{
    return m_monitor->Active();
}

void CapiCallSource::reject()
{
    if (m_inCall)
        m_monitor->HangUpCall();
}

} // namespace telephony
