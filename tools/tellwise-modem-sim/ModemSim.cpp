#include "ModemSim.h"

#include <QDateTime>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qsizetype kMaxCommandLength = 512;

QByteArray cidLine(const char *key, const QByteArray &value, bool compact)
{
    return QByteArray(key) + (compact ? "=" : " = ") + value + "\r\n";
}

bool matchesCallerIdCommand(const QByteArray &upper, QByteArray *which, bool *on)
{
    for (const char *c : {"+VCID", "#CID", "%CCID"}) {
        const QByteArray name(c);
        if (upper.startsWith(name + '=')) {
            *which = name;
            *on = upper.mid(name.size() + 1).toInt() != 0;
            return true;
        }
    }
    return false;
}

} // namespace

ModemSim::ModemSim(const Options &options, QObject *parent) : QObject(parent), m_options(options)
{
    m_ringTimer.setSingleShot(true);
    m_cidTimer.setSingleShot(true);
    connect(&m_ringTimer, &QTimer::timeout, this, &ModemSim::ringOnce);
    connect(&m_cidTimer, &QTimer::timeout, this, &ModemSim::sendCallerId);
}

ModemSim::~ModemSim()
{
    delete m_notifier;
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
}

bool ModemSim::open(QString *error)
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        *error =
            QStringLiteral("cannot open a pseudo-terminal: %1").arg(QString::fromLocal8Bit(strerror(errno)));
        return false;
    }
    const char *name = ::ptsname(m_master);
    if (!name) {
        *error = QStringLiteral("no pseudo-terminal name");
        return false;
    }
    m_ptyPath = QString::fromLocal8Bit(name);
    // Holding the terminal side open keeps the pseudo-terminal alive while programs open and
    // close it; raw mode so that the line discipline neither echoes nor translates.
    m_slave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_slave < 0) {
        *error = QStringLiteral("cannot open %1").arg(m_ptyPath);
        return false;
    }
    termios tio{};
    ::tcgetattr(m_slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_slave, TCSANOW, &tio);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_notifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &ModemSim::readMaster);
    return true;
}

void ModemSim::readMaster()
{
    char buf[1024];
    const ssize_t n = ::read(m_master, buf, sizeof buf);
    if (n <= 0)
        return;
    for (ssize_t i = 0; i < n; ++i) {
        const char c = buf[i];
        if (m_echo && !m_muted)
            send(QByteArray(1, c));
        if (c == '\r') {
            const QByteArray line = m_input.trimmed();
            m_input.clear();
            if (!line.isEmpty())
                handleCommand(line);
        } else if (c != '\n' && m_input.size() < kMaxCommandLength) {
            m_input.append(c);
        }
    }
}

void ModemSim::handleCommand(const QByteArray &line)
{
    emit commandReceived(line);
    if (m_muted)
        return;
    if (line.size() < 2 || line.left(2).toUpper() != "AT")
        return; // modems ignore what does not start with AT
    respond(runAt(line.mid(2).trimmed()));
}

QByteArray ModemSim::runAt(const QByteArray &body)
{
    const QByteArray upper = body.toUpper();
    if (upper.isEmpty())
        return "OK";
    if (upper == "Z" || upper == "Z0") {
        m_echo = true;
        m_callerIdOn = false;
        m_offHook = false;
        return "OK";
    }
    if (QRegularExpression(QStringLiteral("^I[0-9]?$")).match(QString::fromLatin1(upper)).hasMatch()) {
        send("\r\n" + m_options.info + "\r\n");
        return "OK";
    }
    QByteArray which;
    bool on = false;
    if (matchesCallerIdCommand(upper, &which, &on)) {
        if (!m_options.cidCommand.isEmpty() && m_options.cidCommand.toUpper() != which)
            return "ERROR";
        m_callerIdOn = on;
        return "OK";
    }
    if (upper == "H1" || upper == "A") {
        m_offHook = true;
        if (m_calling) {
            m_ringTimer.stop();
            m_cidTimer.stop();
        }
        return "OK";
    }
    if (upper == "H" || upper == "H0") {
        m_offHook = false;
        m_calling = false;
        m_ringTimer.stop();
        m_cidTimer.stop();
        return "OK";
    }
    // Settings such as "E1 V1 Q0 S0=0": accepted when every part is a known setting.
    static const QRegularExpression settings(QStringLiteral("^(\\s*([EVQMLX&][0-9]?|S[0-9]+=[0-9]+))+\\s*$"));
    if (!settings.match(QString::fromLatin1(upper)).hasMatch())
        return "ERROR";
    static const QRegularExpression echoSetting(QStringLiteral("E([01])"));
    for (auto it = echoSetting.globalMatch(QString::fromLatin1(upper)); it.hasNext();)
        m_echo = it.next().captured(1) == QLatin1String("1");
    return "OK";
}

void ModemSim::send(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0)
            done += n;
        else if (n < 0 && errno != EAGAIN && errno != EINTR)
            return;
        else if (n < 0 && errno == EAGAIN)
            ::usleep(1000);
    }
}

void ModemSim::respond(const QByteArray &result)
{
    send("\r\n" + result + "\r\n");
}

QString ModemSim::execute(const QString &commandLine)
{
    QStringList args = QProcess::splitCommand(commandLine);
    if (args.isEmpty())
        return QStringLiteral("ERROR: empty command");
    const QString verb = args.takeFirst().toLower();
    if (verb == QLatin1String("call")) {
        Call call;
        QStringList rest;
        for (const QString &a : args) {
            if (a == QLatin1String("--private"))
                call.kind = Call::Private;
            else if (a == QLatin1String("--out-of-area"))
                call.kind = Call::OutOfArea;
            else if (a == QLatin1String("--cid-first"))
                call.cidFirst = true;
            else if (a == QLatin1String("--compact"))
                call.compact = true;
            else if (a.startsWith(QLatin1String("--rings=")))
                call.rings = a.mid(8).toInt();
            else if (a.startsWith(QLatin1String("--")))
                return QStringLiteral("ERROR: unknown option %1").arg(a);
            else
                rest.append(a);
        }
        if (rest.isEmpty() && call.kind == Call::Normal)
            return QStringLiteral("ERROR: call needs a number");
        if (!rest.isEmpty())
            call.number = rest.takeFirst().toLatin1();
        call.name = rest.join(QLatin1Char(' ')).toLatin1();
        if (m_calling)
            return QStringLiteral("ERROR: a call is in progress");
        startCall(call);
        return QStringLiteral("OK");
    }
    if (verb == QLatin1String("hangup")) {
        callerHangsUp();
        return QStringLiteral("OK");
    }
    if (verb == QLatin1String("raw")) {
        send(args.join(QLatin1Char(' ')).toLatin1() + "\r\n");
        return QStringLiteral("OK");
    }
    if (verb == QLatin1String("noise")) {
        const int count = args.isEmpty() ? 256 : qBound(1, args.first().toInt(), 1 << 22);
        QByteArray bytes(count, '\0');
        QRandomGenerator rng{quint32(count)};
        for (char &b : bytes)
            b = char(rng.bounded(256));
        send(bytes);
        return QStringLiteral("OK");
    }
    if (verb == QLatin1String("mute")) {
        m_muted = args.value(0) != QLatin1String("off");
        return QStringLiteral("OK");
    }
    return QStringLiteral("ERROR: unknown command %1").arg(verb);
}

void ModemSim::startCall(const Call &call)
{
    m_call = call;
    m_calling = true;
    m_cidSent = false;
    m_ringsDone = 0;
    emit note(QStringLiteral("call from %1").arg(QString::fromLatin1(call.number)));
    if (call.cidFirst) {
        sendCallerId();
        m_ringTimer.start(std::max(1, m_options.ringPeriodMs / 4));
    } else {
        ringOnce();
    }
}

void ModemSim::ringOnce()
{
    if (!m_calling || m_offHook)
        return;
    const int rings = m_call.rings > 0 ? m_call.rings : m_options.rings;
    if (m_ringsDone >= rings) {
        emit note(QStringLiteral("caller gave up"));
        m_calling = false;
        return;
    }
    ++m_ringsDone;
    if (!m_muted)
        respond("RING");
    // North American caller ID comes between the first and the second ring.
    if (!m_cidSent && m_ringsDone == 1)
        m_cidTimer.start(std::max(1, m_options.ringPeriodMs / 2));
    m_ringTimer.start(m_options.ringPeriodMs);
}

void ModemSim::sendCallerId()
{
    if (!m_calling || m_cidSent)
        return;
    m_cidSent = true;
    if (!m_callerIdOn || m_muted)
        return; // the modem was never told to pass caller ID on
    const QDateTime now = QDateTime::currentDateTime();
    const bool compact = m_call.compact;
    QByteArray record = "\r\n";
    record += cidLine("DATE", now.toString(QStringLiteral("MMdd")).toLatin1(), compact);
    record += cidLine("TIME", now.toString(QStringLiteral("hhmm")).toLatin1(), compact);
    switch (m_call.kind) {
    case Call::Private:
        record += cidLine("NMBR", "P", compact);
        record += cidLine("NAME", "P", compact);
        break;
    case Call::OutOfArea:
        record += cidLine("NMBR", "O", compact);
        record += cidLine("NAME", "O", compact);
        break;
    case Call::Normal:
        record += cidLine("NMBR", m_call.number, compact);
        if (!m_call.name.isEmpty())
            record += cidLine("NAME", m_call.name, compact);
        break;
    }
    send(record + "\r\n");
}

void ModemSim::callerHangsUp()
{
    if (!m_calling)
        return;
    m_calling = false;
    m_ringTimer.stop();
    m_cidTimer.stop();
    if (m_offHook) {
        m_offHook = false;
        if (!m_muted)
            respond("NO CARRIER");
    }
    emit note(QStringLiteral("caller hung up"));
}
