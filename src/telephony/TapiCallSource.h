#pragma once

#include "telephony/CallSource.h"

namespace telephony {

// The modem and network lines of the line service as a call source, over the modem line
// monitor's callbacks. One at a time: the monitor watches one line for the whole process.
class TapiCallSource : public CallSource
{
    Q_OBJECT
public:
    explicit TapiCallSource(QString lineName, QObject *parent = nullptr);
    ~TapiCallSource() override;

    bool start() override;
    void stop() override;
    bool isMonitoring() const override;
    bool canReject() const override { return true; }
    // Answers the call, holds it for five seconds, then hangs up.
    void reject() override;

private:
    QString m_lineName;
};

} // namespace telephony
