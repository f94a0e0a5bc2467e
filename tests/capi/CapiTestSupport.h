#pragma once

#include "SimHost.h"
#include "capi/CpMoni.h"

#include <QStringList>

// Records every event of a monitor as one line of text, in order.
class MonitorRecorder : public QObject
{
public:
    explicit MonitorRecorder(TCapiMonitor *monitor) : m_monitor(monitor)
    {
        connect(monitor, &TCapiMonitor::OnRejectCallQuestion, this,
                [this](const QString &calling, const QString &called, uint16_t cip, uint16_t &cause) {
                    lines << QStringLiteral("question %1 %2 %3").arg(calling, called).arg(cip);
                    if (answer != 0xFFFF)
                        cause = answer;
                });
        connect(monitor, &TCapiMonitor::OnIncomingCall, this,
                [this](const QString &calling, const QString &called, uint16_t cip, const QString &text) {
                    lines << QStringLiteral("incoming %1 %2 %3 %4 last=%5")
                                 .arg(calling, called)
                                 .arg(cip)
                                 .arg(text)
                                 .arg(m_monitor->LastRejectCause());
                });
        connect(monitor, &TCapiMonitor::OnStateChange, this, [this](bool canReject, bool canChange) {
            lines << QStringLiteral("state %1 %2").arg(int(canReject)).arg(int(canChange));
        });
        connect(monitor, &TCapiMonitor::OnDisconnectInfo, this, [this](uint16_t cause, uint16_t reason) {
            lines << QStringLiteral("disconnect %1 %2").arg(cause).arg(reason, 4, 16, QLatin1Char('0'));
            errorAtDisconnect = m_monitor->ErrorString();
            failedAtDisconnect = m_monitor->Failed();
        });
        connect(monitor, &TCapiMonitor::OnDoResetCapi, this, [this](QObject *sender) {
            lines << QStringLiteral("reset %1").arg(sender == m_monitor ? "self" : "other");
        });
    }

    int count(const QString &prefix) const
    {
        int n = 0;
        for (const QString &l : lines)
            n += l.startsWith(prefix) ? 1 : 0;
        return n;
    }
    QString first(const QString &prefix) const
    {
        for (const QString &l : lines)
            if (l.startsWith(prefix))
                return l;
        return {};
    }

    QStringList lines;
    uint16_t answer = 0xFFFF; // what OnRejectCallQuestion answers
    QString errorAtDisconnect;
    bool failedAtDisconnect = true;

private:
    TCapiMonitor *m_monitor;
};

// The messages one application sent to the simulator, as "COMMAND value" lines.
inline QStringList sentBy(const IsdnSimulator *sim, uint16_t applId, QList<SimObservation> *records = nullptr)
{
    QStringList lines;
    if (records)
        records->clear();
    for (const SimObservation &o : sim->observations()) {
        if (o.applId != applId)
            continue;
        if (records)
            records->append(o);
        lines << QStringLiteral("%1 %2").arg(o.command, 4, 16, QLatin1Char('0')).arg(o.value, 0, 16);
    }
    return lines;
}
