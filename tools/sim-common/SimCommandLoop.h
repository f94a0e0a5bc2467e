#pragma once

#include <QString>

#include <cstdio>
#include <functional>

class QLocalServer;

// The control side shared by the line simulators.
namespace simcommon {

// Writes one line and flushes it, so a reader of a pipe sees it at once.
void printLine(FILE *stream, const QString &text);

// The time of day, to the millisecond, for the simulators' logs.
QString timeStamp();

// Runs the event loop, serving control commands: lines from standard input (each answer goes to
// standard error with a time stamp) and from the clients of `server` (one answer line each);
// "quit" ends the loop, as SIGINT, SIGTERM and SIGHUP do. Returns the loop's exit code.
int runCommandLoop(QLocalServer &server, const std::function<QString(const QString &)> &execute);

} // namespace simcommon
