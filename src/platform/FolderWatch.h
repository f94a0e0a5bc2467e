#pragma once

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

class QSocketNotifier;

// Tells when the files directly in a watched folder change: one is created, deleted, renamed in
// or out, or written and closed. Unlike QFileSystemWatcher on a folder, a file rewritten in place
// (an editor's save) is a change too.
class FolderWatch : public QObject
{
    Q_OBJECT
public:
    explicit FolderWatch(QObject *parent = nullptr);
    ~FolderWatch() override;

    bool addPath(const QString &folder);
    void removePath(const QString &folder);
    QStringList directories() const { return m_folders.values(); }

signals:
    void directoryChanged(const QString &folder);

private:
    void readEvents();

    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
    QHash<int, QString> m_folders; // by watch descriptor
};
