#include "platform/Autostart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

// Characters that force an argument of an Exec key into double quotes.
bool needsQuotes(const QString &arg)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    if (arg.isEmpty())
        return true;
    for (QChar c : arg) {
        if (reserved.contains(c))
            return true;
    }
    return false;
}

// The general escapes of a string value, applied after the quoting of arguments.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    return out;
}

// The command of the menu entry installed with the program (PREFIX/share/applications beside
// PREFIX/bin), when that command starts this very program; empty for a build tree, a portable
// folder, or a command that would find another copy on the PATH.
QString installedCommand(const QString &programPath)
{
    const QFileInfo program(programPath);
    QFile entry(program.absolutePath() + QStringLiteral("/../share/applications/tellwise-monitor.desktop"));
    if (!entry.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    bool mainGroup = false;
    while (!entry.atEnd()) {
        const QString line = QString::fromUtf8(entry.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            mainGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        if (!mainGroup || !line.startsWith(QLatin1String("Exec=")))
            continue;
        // Only a bare command: one with arguments, quotes or field codes is not ours to copy.
        static const QRegularExpression plain(QStringLiteral("^[^\\s\"'\\\\%$`]+$"));
        const QString command = line.mid(5).trimmed();
        if (!plain.match(command).hasMatch())
            return {};
        const QString found =
            command.contains(QLatin1Char('/')) ? command : QStandardPaths::findExecutable(command);
        const QString self = program.canonicalFilePath();
        return !found.isEmpty() && !self.isEmpty() && QFileInfo(found).canonicalFilePath() == self
                   ? command
                   : QString();
    }
    return {};
}

} // namespace

namespace Autostart {

QString entryPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/autostart/tellwise-monitor.desktop");
}

bool isEnabled()
{
    return QFileInfo::exists(entryPath());
}

QString execLine(const QString &programPath)
{
    // "%" introduces a field code, so a literal one is doubled whether quoted or not.
    QString arg = programPath;
    arg.replace(QLatin1Char('%'), QLatin1String("%%"));
    if (needsQuotes(arg)) {
        QString quoted;
        for (QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                quoted += QLatin1Char('\\');
            quoted += c;
        }
        arg = QLatin1Char('"') + quoted + QLatin1Char('"');
    }
    return escapeValue(arg);
}

bool enable(const QString &programPath)
{
    const QString path = entryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // An installed program starts the way its menu entry starts it.
    const QString installed = installedCommand(programPath);
    const QString text = QStringLiteral("[Desktop Entry]\n"
                                        "Type=Application\n"
                                        "Name=Tellwise Monitor\n"
                                        "Exec=%1\n"
                                        "Terminal=false\n"
                                        "X-GNOME-Autostart-enabled=true\n")
                             .arg(installed.isEmpty() ? execLine(programPath) : installed);
    file.write(text.toUtf8());
    return file.commit();
}

bool disable()
{
    const QString path = entryPath();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    return QFile::remove(path);
}

} // namespace Autostart
