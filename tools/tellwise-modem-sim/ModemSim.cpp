#include "ModemSim.h"

#include "store/Cp1250.h"

#include <QDateTime>
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

// A modem that hears nothing after ATA gives up this much later (its S7 wait, shortened).
constexpr int kAnswerWaitMs = 1000;

AtInterpreter::Identity identityOf(const ModemSim::Options &options)
{
    return {options.info, "Tellwise", "Tellwise Voice 56K", "1.0", options.cidCommand};
}

} // namespace

ModemSim::ModemSim(const Options &options, QObject *parent)
    : QObject(parent), m_options(options), m_at(identityOf(options))
{
    m_ringTimer.setSingleShot(true);
    m_cidTimer.setSingleShot(true);
    m_pauseTimer.setSingleShot(true);
    m_answerTimer.setSingleShot(true);
    connect(&m_pauseTimer, &QTimer::timeout, this, &ModemSim::finishPause);
    connect(&m_answerTimer, &QTimer::timeout, this, &ModemSim::answerEnds);
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
    if (m_at.run(m_options.profile).error) {
        *error = QStringLiteral("the stored profile is no valid command line");
        return false;
    }
    m_at.storeProfile();
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
        if (m_answerTimer.isActive()) {
            // Any character gives up the answer at once, as V.250 has it.
            m_answerTimer.stop();
            answerEnds();
            continue;
        }
        const ModemSettings &settings = m_at.settings();
        if (settings.echo && !m_muted)
            send(QByteArray(1, c));
        if (c == char(settings.s[3])) {
            const QByteArray line = m_input.trimmed();
            m_input.clear();
            if (!line.isEmpty())
                handleCommand(line);
        } else if (c == char(settings.s[5])) {
            m_input.chop(1);
        } else if (c == '/' && m_input.trimmed().toUpper() == "A") {
            // "A/" runs the last command line again, without waiting for the end of the line.
            m_input.clear();
            if (!m_lastLine.isEmpty())
                handleCommand(m_lastLine);
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
    m_lastLine = line;
    if (m_pauseTimer.isActive())
        m_waitingLines.append(line);
    else
        runLine(line);
}

void ModemSim::runLine(const QByteArray &line)
{
    const AtOutcome outcome = m_at.run(QByteArrayView(line).sliced(2));
    if (outcome.error) {
        respond(ResultCode::Error);
        return;
    }
    if (outcome.offHook)
        setOffHook(*outcome.offHook);
    const bool pause = m_options.resetPauseMs > 0 && (outcome.reset || m_firstCommand);
    m_firstCommand = false;
    if (outcome.answer) {
        // Off hook and waiting for a carrier; a voice caller never sends one.
        setOffHook(true);
        m_answerTimer.start(kAnswerWaitMs);
        return;
    }
    const QByteArray answer = infoText(outcome.info) + resultText(ResultCode::Ok);
    if (pause) {
        m_pausedAnswer = answer;
        m_pauseTimer.start(m_options.resetPauseMs);
    } else {
        send(answer);
    }
}

void ModemSim::finishPause()
{
    send(std::exchange(m_pausedAnswer, {}));
    while (!m_waitingLines.isEmpty() && !m_pauseTimer.isActive())
        runLine(m_waitingLines.takeFirst());
}

void ModemSim::answerEnds()
{
    setOffHook(false);
    m_calling = false;
    respond(ResultCode::NoCarrier);
}

void ModemSim::setOffHook(bool offHook)
{
    m_offHook = offHook;
    if (m_calling) {
        m_ringTimer.stop();
        m_cidTimer.stop();
        // Going back on hook ends the call.
        m_calling = offHook;
    }
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

// Information text and result codes framed as V.250 has it: verbose with CR LF before and
// after, numeric with CR LF after text and a bare CR after the code; none at all when quiet.
QByteArray ModemSim::infoText(const QList<QByteArray> &lines) const
{
    const ModemSettings &s = m_at.settings();
    const QByteArray end = QByteArray(1, char(s.s[3])) + char(s.s[4]);
    QByteArray text;
    for (const QByteArray &line : lines)
        text += (s.verbose ? end : QByteArray()) + line + end;
    return text;
}

QByteArray ModemSim::resultText(ResultCode code) const
{
    const ModemSettings &s = m_at.settings();
    if (s.quiet)
        return {};
    const QByteArray cr(1, char(s.s[3]));
    if (!s.verbose)
        return QByteArray::number(int(code)) + cr;
    static const char *const kWords[] = {"OK", "CONNECT",     "RING", "NO CARRIER", "ERROR",
                                         "",   "NO DIALTONE", "BUSY", "NO ANSWER"};
    return cr + char(s.s[4]) + kWords[int(code)] + cr + char(s.s[4]);
}

void ModemSim::respond(ResultCode code)
{
    send(resultText(code));
}

QByteArray ModemSim::nameBytes() const
{
    return m_options.utf8Names ? m_call.name.toUtf8() : EncodeCp1250(m_call.name);
}

QString ModemSim::execute(const QString &commandLine)
{
    QStringList args = commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (args.isEmpty())
        return QStringLiteral("ERROR: empty command");
    const QString verb = args.takeFirst().toLower();
    if (verb == QLatin1String("call")) {
        // The name is taken as written, quotes and all: only the option words are cut out.
        Call call;
        qsizetype nameStart = -1;
        qsizetype nameEnd = -1;
        static const QRegularExpression word(QStringLiteral("\\S+"));
        for (auto it = word.globalMatch(commandLine); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString a = m.captured();
            if (m.capturedStart() == 0)
                continue; // the verb
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
            else if (call.number.isEmpty() && nameStart < 0)
                call.number = a.toLatin1();
            else {
                if (nameStart < 0)
                    nameStart = m.capturedStart();
                nameEnd = m.capturedEnd();
            }
        }
        if (call.number.isEmpty() && call.kind == Call::Normal)
            return QStringLiteral("ERROR: call needs a number");
        if (nameStart >= 0)
            call.name = commandLine.mid(nameStart, nameEnd - nameStart);
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
        const qsizetype blank = commandLine.indexOf(QLatin1Char(' '));
        send((blank < 0 ? QString() : commandLine.mid(blank + 1)).toUtf8() + "\r\n");
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
        respond(ResultCode::Ring);
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
    if (m_at.settings().callerId == 0 || m_muted)
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
            record += cidLine("NAME", nameBytes(), compact);
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
            respond(ResultCode::NoCarrier);
    }
    emit note(QStringLiteral("caller hung up"));
}
