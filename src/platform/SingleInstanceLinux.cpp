#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace {

QString lockFolder()
{
    // The runtime folder is per user and emptied at log-out; without one, a per-user name in
    // the temporary folder keeps users apart.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    return QDir::tempPath();
}

} // namespace

SingleInstance::SingleInstance(const QString &name)
{
    const QString folder = lockFolder();
    m_path = folder == QDir::tempPath() ? QStringLiteral("%1/%2-%3.lock").arg(folder, name).arg(getuid())
                                        : QStringLiteral("%1/%2.lock").arg(folder, name);
}

SingleInstance::~SingleInstance()
{
    if (m_fd >= 0)
        ::close(m_fd); // closing drops the lock; the file stays for the next start
}

bool SingleInstance::acquire()
{
    if (m_fd >= 0)
        return true;
    // O_CLOEXEC: a program started by the monitor must not inherit the lock and keep it
    // after the monitor has gone.
    const QByteArray path = QFile::encodeName(m_path);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        qWarning("cannot open the instance lock %s: %s", path.constData(), strerror(errno));
        return true;
    }
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return false;
        qWarning("cannot lock %s: %s", path.constData(), strerror(error));
        return true;
    }
    m_fd = fd;
    // The holder's process id, for whoever looks at the file.
    const std::string pid = std::to_string(::getpid()) + '\n';
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
    }
    return true;
}
