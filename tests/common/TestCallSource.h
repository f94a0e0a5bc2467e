#pragma once

#include "telephony/CallSource.h"

namespace testsupport {

// A line that does what the test says: each call step is emitted at the test's word, and
// rejects are counted.
class TestCallSource : public telephony::CallSource
{
    Q_OBJECT
public:
    bool start() override { return m_monitoring = true; }
    void stop() override { m_monitoring = false; }
    bool isMonitoring() const override { return m_monitoring; }
    bool canReject() const override { return rejectable; }
    void reject() override { ++rejects; }

    void ring() { emit callOffered(); }
    void identify(const telephony::CallerId &caller) { emit callerKnown(caller); }
    void end() { emit callEnded(); }
    void lose() { emit lineLost(); }

    int rejects = 0;
    bool rejectable = true;

private:
    bool m_monitoring = false;
};

} // namespace testsupport
