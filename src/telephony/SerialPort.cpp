#include "telephony/SerialPort.h"

#include "telephony/ModemLineParser.h"

#include <QElapsedTimer>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

namespace telephony::serial {

namespace {

constexpr int kSecondAnswerMs = 300;

speed_t speedFor(int baudRate)
{
    switch (baudRate) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 230400:
        return B230400;
    default:
        return B115200;
    }
}

// Reads what arrives within the time left, feeding the parser; stops at OK or ERROR.
ModemLine::Kind awaitFinal(int fd, ModemLineParser &parser, int timeoutMs, QByteArray *text)
{
    QElapsedTimer clock;
    clock.start();
    ModemLine::Kind final = ModemLine::Text;
    bool done = false;
    while (!done) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            break;
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, int(left));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0 || (p.revents & (POLLERR | POLLNVAL)))
            break;
        char buf[512];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        if (n <= 0)
            break;
        parser.feed(QByteArrayView(buf, n), [&](const ModemLine &line) {
            if (done)
                return;
            if (line.kind == ModemLine::Ok || line.kind == ModemLine::Error) {
                final = line.kind;
                done = true;
            } else if (line.kind == ModemLine::Text && text) {
                if (text->size() < 200)
                    *text += (text->isEmpty() ? "" : " ") + line.value;
            }
        });
    }
    return final;
}

} // namespace

int openPort(const QString &path, int baudRate)
{
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        ::close(fd);
        return -1;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~CRTSCTS;
    // VMIN 1 with O_NONBLOCK: no data reads as EAGAIN, a hung-up port as 0.
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speedFor(baudRate));
    ::cfsetospeed(&tio, speedFor(baudRate));
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        ::close(fd);
        return -1;
    }
    ::tcflush(fd, TCIOFLUSH);
    return fd;
}

void closePort(int fd)
{
    if (fd >= 0) {
        ::flock(fd, LOCK_UN);
        ::close(fd);
    }
}

bool writeAll(int fd, QByteArrayView bytes, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, size_t(bytes.size() - written));
        if (n > 0) {
            written += n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, int(left)) < 0 && errno != EINTR)
            return false;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL))
            return false;
    }
    return true;
}

ProbeResult probe(const QString &path, int baudRate, int timeoutMs)
{
    ProbeResult result;
    const int fd = openPort(path, baudRate);
    if (fd < 0)
        return result;
    ModemLineParser parser;
    // A lone CR first ends whatever half command the modem may still hold. "Q0" makes a modem
    // whose stored profile keeps it quiet answer too. A modem still resetting after power-on
    // answers late: it is asked once more, and the second answer is read away.
    ModemLine::Kind final = ModemLine::Text;
    int asked = 0;
    while (final == ModemLine::Text && asked < 2 && writeAll(fd, "\rATQ0\r", timeoutMs)) {
        ++asked;
        final = awaitFinal(fd, parser, timeoutMs, nullptr);
    }
    if (final == ModemLine::Ok && asked == 2)
        awaitFinal(fd, parser, kSecondAnswerMs, nullptr);
    if (final == ModemLine::Ok) {
        result.isModem = true;
        QByteArray info;
        if (writeAll(fd, "ATI\r", timeoutMs) && awaitFinal(fd, parser, timeoutMs, &info) == ModemLine::Ok)
            result.info = info;
    }
    closePort(fd);
    return result;
}

} // namespace telephony::serial
