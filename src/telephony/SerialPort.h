#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Plain POSIX serial port access for the modem provider.
namespace telephony::serial {

// Opens a port raw (8N1, no flow control, no echo) and non-blocking, with an exclusive advisory
// lock so two programs never talk to one modem at once. Returns -1 when the port cannot be
// opened or is locked by someone else.
int openPort(const QString &path, int baudRate);
void closePort(int fd);

// Writes all bytes, waiting up to timeoutMs for room; false when the port failed.
bool writeAll(int fd, QByteArrayView bytes, int timeoutMs);

struct ProbeResult
{
    bool isModem = false;
    QByteArray info; // what ATI answered, lines joined by blanks
};

// Asks the device on the port for "ATQ0" -> "OK" (verbose or numeric), once more when it stays
// silent, and then for its ATI text. Blocks up to about three times timeoutMs.
ProbeResult probe(const QString &path, int baudRate, int timeoutMs);

} // namespace telephony::serial
