#pragma once

#include "SimHost.h"

#include <QStringList>

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
