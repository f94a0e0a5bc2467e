#pragma once

#include "telephony/CallSources.h"

class TCapiMonitor;

namespace telephony {

// An ISDN controller through CAPI as a call source. The monitor keeps its own rules (how long a
// call rings before it is left to the other terminals, how it is hung up); this turns its events
// into a call's steps. The called number loses the user's own area code, as the other lines
// report it.
class CapiCallSource : public CallSource
{
    Q_OBJECT
public:
    CapiCallSource(uint controller, int rejectTimeOutSeconds, QObject *parent = nullptr);
    ~CapiCallSource() override;

    bool start() override;
    void stop() override;
    bool isMonitoring() const override;
    bool canReject() const override { return true; }
    // Answers the ringing call and clears it at once.
    void reject() override;

    // The controllers CAPI reports now (the ISDN line type).
    static QList<LineInfo> lines();
    static std::unique_ptr<CallSource> create(const LineInfo &line, int rejectTimeOutSeconds);

    // The monitor itself, for what only ISDN shows (its error text, its do-not-disturb mode).
    TCapiMonitor &monitor() const { return *m_monitor; }

private:
    TCapiMonitor *m_monitor;
    bool m_inCall = false;
};

} // namespace telephony
