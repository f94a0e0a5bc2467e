#pragma once

#include <QString>

// One running monitor per user. The lock is held on an open file, so the operating system
// drops it when the process ends in any way; a crashed instance never blocks the next start.
class SingleInstance
{
public:
    // name: the lock's name, one lock per name (the program uses the default).
    explicit SingleInstance(const QString &name = QStringLiteral("tellwise-monitor"));
    ~SingleInstance();

    SingleInstance(const SingleInstance &) = delete;
    SingleInstance &operator=(const SingleInstance &) = delete;

    // False only when another live process holds the lock. When the lock file cannot be
    // made at all the answer is true, because refusing to start would be worse than a
    // second instance. The lock is kept until this object is destroyed.
    bool acquire();

private:
    QString m_path;
    int m_fd = -1;
};
