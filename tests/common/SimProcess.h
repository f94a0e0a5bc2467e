#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QProcess>
#include <QStringList>

// The two simulators as child processes of a test, stopped when the object goes.
namespace testsupport {

// tellwise-modem-sim: prints its pseudo-terminal first, takes control lines ("call ...",
// "mute on") on its standard input and prints every command it receives with a time stamp.
class ModemEmulator
{
public:
    ~ModemEmulator();
    bool start(const QStringList &args = {});
    void send(const QByteArray &line);
    void kill();
    // Commands received so far, oldest first.
    QStringList commands();
    // Milliseconds of the day at which COMMAND last arrived, or -1.
    int timeOf(const QString &command);
    // Waits until a received command contains TEXT (caller ID switched on means an open line).
    bool waitForCommand(const QString &text, int timeoutMs);

private:
    void readAvailable();
    QProcess m_process;
    QList<QPair<int, QString>> m_commands;
};

// tellwise-isdn-sim: prints its TCP port, then that its control socket is up. start() points the
// real libcapi20 at it through $HOME/.capi20rc, which the destructor removes again.
class IsdnSimulatorProcess
{
public:
    ~IsdnSimulatorProcess();
    bool start(const QStringList &args = {});
    int port() const { return m_port; }
    // Everything the simulator printed so far.
    QByteArray output();
    bool stop();

private:
    QProcess m_process;
    QByteArray m_output;
    int m_port = 0;
};

// tellwise-net-sim: prints its two servers ("callmonitor 127.0.0.1:PORT", "ncid ..."), takes
// control lines on its standard input and notes every client that connects on its error output.
class NetSimulator
{
public:
    ~NetSimulator();
    bool start(const QStringList &args = {});
    void send(const QByteArray &line);
    QString callMonitor() const { return m_callMonitor; } // "127.0.0.1:PORT"
    QString ncid() const { return m_ncid; }
    int connections(); // clients accepted so far

private:
    QProcess m_process;
    QString m_callMonitor;
    QString m_ncid;
    QByteArray m_notes;
};

} // namespace testsupport
