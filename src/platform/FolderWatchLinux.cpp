#include "platform/FolderWatch.h"

#include <QFile>
#include <QSocketNotifier>

#include <sys/inotify.h>
#include <unistd.h>

#include <cstring>

FolderWatch::FolderWatch(QObject *parent) : QObject(parent)
{
    m_fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return;
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatch::readEvents);
}

FolderWatch::~FolderWatch()
{
    delete m_notifier;
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FolderWatch::addPath(const QString &folder)
{
    constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                               IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    const int wd = m_fd < 0 ? -1 : inotify_add_watch(m_fd, QFile::encodeName(folder).constData(), kMask);
    if (wd >= 0)
        m_folders.insert(wd, folder);
    return wd >= 0;
}

void FolderWatch::removePath(const QString &folder)
{
    const int wd = m_folders.key(folder, -1);
    if (wd >= 0) {
        inotify_rm_watch(m_fd, wd);
        m_folders.remove(wd);
    }
}

void FolderWatch::readEvents()
{
    alignas(inotify_event) char buffer[16384];
    QStringList changed;
    for (ssize_t n; (n = ::read(m_fd, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < n;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            at += ssize_t(sizeof event) + event.len;
            const QString folder = m_folders.value(event.wd);
            if (event.mask & IN_IGNORED)
                m_folders.remove(event.wd); // the folder went
            if (!folder.isEmpty() && !changed.contains(folder))
                changed << folder;
        }
    }
    for (const QString &folder : std::as_const(changed))
        emit directoryChanged(folder);
}
