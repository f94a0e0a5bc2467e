#pragma once

#include "telephony/CallSources.h"
#include "telephony/ModemConfig.h"

#include <QDeadlineTimer>
#include <QHash>

namespace telephony {

// Finds caller-ID modems: the ports named in the configuration file, or else the USB and ACM
// serial ports and the modem emulator's link. A port is a line only when a modem on it answers
// "AT" with "OK". A port that a running source holds open is listed without asking it again.
class ModemProvider
{
public:
    QList<LineInfo> lines();

    struct Candidate
    {
        QString path;
        QByteArray name;
    };
    // The ports to test, in a stable order, without duplicates of one device.
    static QList<Candidate> candidates(const ModemConfig &config);
    // A stable readable line name for a port.
    static QByteArray lineNameFor(const QString &path);

private:
    // Ports where no modem answered, left alone for a while: asking a silent port blocks for
    // the whole probe time, and the options window enumerates several times in a row.
    QHash<QString, QDeadlineTimer> m_silent;
};

} // namespace telephony
