#include "store/DataDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &dataDirSlot()
{
    static QString dir;
    return dir;
}

QString withSlash(QString dir)
{
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Without an application object (early start, some tools) read the link ourselves.
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}

QString installShareDir()
{
    const QString exe = executableDir();
    if (QFileInfo(exe).fileName() != QLatin1String("bin"))
        return {};
    const QString share = QDir(exe).absoluteFilePath(QStringLiteral("../share/tellwise-monitor"));
    return QFileInfo(share).isDir() ? QDir::cleanPath(share) : QString();
}

} // namespace

QString DataDir()
{
    QString &dir = dataDirSlot();
    if (!dir.isEmpty())
        return dir;
    const QString fromEnv = qEnvironmentVariable("TELLWISE_DATA_DIR");
    if (!fromEnv.isEmpty()) {
        dir = withSlash(QDir(fromEnv).absolutePath());
    } else if (installShareDir().isEmpty()) {
        dir = withSlash(executableDir());
    } else {
        QString base = qEnvironmentVariable("XDG_DATA_HOME");
        if (base.isEmpty())
            base = QDir::homePath() + QStringLiteral("/.local/share");
        dir = withSlash(base + QStringLiteral("/Tellwise Monitor"));
        QDir().mkpath(dir);
    }
    return dir;
}

void SetDataDir(const QString &dir)
{
    dataDirSlot() = withSlash(QDir(dir).absolutePath());
}

QString SharedFilesDir()
{
    const QString share = installShareDir();
    return withSlash(share.isEmpty() ? executableDir() : share);
}

QString ShippedFile(const QString &name)
{
    const QString beside = DataDir() + name;
    if (QFileInfo::exists(beside))
        return beside;
    return SharedFilesDir() + name;
}
