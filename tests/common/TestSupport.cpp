#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace testsupport {

QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QString toolPath(const QString &name)
{
    return QStringLiteral(TELLWISE_BINARY_DIR "/bin/") + name;
}

QString testDataDir()
{
    QString dir = qEnvironmentVariable("TELLWISE_DATA_DIR");
    if (dir.isEmpty())
        qFatal("TELLWISE_DATA_DIR is not set; run the test through ctest");
    QDir().mkpath(dir);
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

} // namespace testsupport
