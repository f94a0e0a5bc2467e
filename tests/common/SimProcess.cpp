#include "SimProcess.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTime>

namespace testsupport {

namespace {

QString capiConfigPath()
{
    return QDir::homePath() + QStringLiteral("/.capi20rc");
}

void stopProcess(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

ModemEmulator::~ModemEmulator()
{
    kill();
}

bool ModemEmulator::start(const QStringList &args)
{
    m_process.setProgram(toolPath(QStringLiteral("tellwise-modem-sim")));
    m_process.setArguments(args);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    return m_process.waitForStarted(5000) &&
           QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000) &&
           m_process.readLine().startsWith("/dev/");
}

void ModemEmulator::send(const QByteArray &line)
{
    m_process.write(line + '\n');
}

void ModemEmulator::kill()
{
    stopProcess(m_process);
}

void ModemEmulator::readAvailable()
{
    while (m_process.canReadLine()) {
        const QString line = QString::fromUtf8(m_process.readLine()).trimmed();
        const QTime t = QTime::fromString(line.left(12), QStringLiteral("hh:mm:ss.zzz"));
        if (t.isValid())
            m_commands.append({t.msecsSinceStartOfDay(), line.mid(13)});
    }
}

QStringList ModemEmulator::commands()
{
    readAvailable();
    QStringList list;
    for (const auto &c : std::as_const(m_commands))
        list.append(c.second);
    return list;
}

int ModemEmulator::timeOf(const QString &command)
{
    readAvailable();
    for (auto it = m_commands.crbegin(); it != m_commands.crend(); ++it) {
        if (it->second == command)
            return it->first;
    }
    return -1;
}

bool ModemEmulator::waitForCommand(const QString &text, int timeoutMs)
{
    return QTest::qWaitFor([&] { return commands().join(QLatin1Char(' ')).contains(text); }, timeoutMs);
}

IsdnSimulatorProcess::~IsdnSimulatorProcess()
{
    stopProcess(m_process);
    if (m_port > 0)
        QFile::remove(capiConfigPath());
}

bool IsdnSimulatorProcess::start(const QStringList &args)
{
    m_process.start(toolPath(QStringLiteral("tellwise-isdn-sim")), args);
    if (!m_process.waitForStarted(5000) || !QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000))
        return false;
    m_port = m_process.readLine().trimmed().toInt();
    // The second line: the control socket is up.
    if (m_port <= 0 || !QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000))
        return false;
    qunsetenv("TELLWISE_CAPI_REMOTE");
    writeFile(capiConfigPath(), QStringLiteral("REMOTE fritzbox 127.0.0.1 %1\n").arg(m_port).toLatin1());
    return true;
}

QByteArray IsdnSimulatorProcess::output()
{
    m_output += m_process.readAllStandardOutput();
    return m_output;
}

bool IsdnSimulatorProcess::stop()
{
    m_process.terminate();
    return m_process.waitForFinished(5000);
}

NetSimulator::~NetSimulator()
{
    stopProcess(m_process);
}

bool NetSimulator::start(const QStringList &args)
{
    m_process.start(toolPath(QStringLiteral("tellwise-net-sim")), args);
    const auto server = [this](const char *kind) {
        if (!QTest::qWaitFor([this] { return m_process.canReadLine(); }, 5000))
            return QString();
        const QString line = QString::fromLatin1(m_process.readLine()).trimmed();
        return line.startsWith(QLatin1String(kind)) ? line.section(QLatin1Char(' '), 1) : QString();
    };
    m_callMonitor = server("callmonitor ");
    m_ncid = server("ncid ");
    return !m_callMonitor.isEmpty() && !m_ncid.isEmpty();
}

void NetSimulator::send(const QByteArray &line)
{
    m_process.write(line + '\n');
}

int NetSimulator::connections()
{
    m_notes += m_process.readAllStandardError();
    return int(m_notes.count("client connected"));
}

} // namespace testsupport
