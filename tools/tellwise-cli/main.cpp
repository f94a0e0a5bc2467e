#include "CliCommand.h"

#include "store/DataDir.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <exception>

namespace cli {

namespace {
QList<Command> &registry()
{
    static QList<Command> list;
    return list;
}

void write(FILE *stream, const QString &line)
{
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

void printUsage(FILE *stream)
{
    write(stream, QStringLiteral("usage: tellwise-cli [--data-dir DIR] COMMAND [ARGS...]"));
    write(stream, QStringLiteral("commands:"));
    for (const Command &c : registry())
        write(stream, QStringLiteral("  ") + c.usage);
}
} // namespace

void registerCommand(Command command)
{
    registry().append(std::move(command));
}

const QList<Command> &commands()
{
    return registry();
}

void out(const QString &line)
{
    write(stdout, line);
}

void err(const QString &line)
{
    write(stderr, line);
}

} // namespace cli

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);

    try {
        while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
            const QString option = args.takeFirst();
            if (option == QLatin1String("--help")) {
                cli::printUsage(stdout);
                return 0;
            }
            if (option == QLatin1String("--data-dir")) {
                if (args.isEmpty())
                    throw cli::UsageError{QStringLiteral("--data-dir needs a folder")};
                const QString dir = args.takeFirst();
                if (!QFileInfo(dir).isDir())
                    throw cli::UsageError{QStringLiteral("not a folder: %1").arg(dir)};
                SetDataDir(dir);
                continue;
            }
            throw cli::UsageError{QStringLiteral("unknown option: %1").arg(option)};
        }
        if (args.isEmpty())
            throw cli::UsageError{QStringLiteral("no command given")};
        const QString name = args.takeFirst();
        for (const cli::Command &c : cli::commands()) {
            if (c.name == name)
                return c.run(args);
        }
        throw cli::UsageError{QStringLiteral("unknown command: %1").arg(name)};
    } catch (const cli::UsageError &e) {
        cli::err(QStringLiteral("tellwise-cli: ") + e.message);
        cli::err(QStringLiteral("try 'tellwise-cli --help' for usage"));
        return 2;
    } catch (const cli::Failure &e) {
        cli::err(QStringLiteral("tellwise-cli: ") + e.message);
        return e.exitCode;
    } catch (const std::exception &e) {
        cli::err(QStringLiteral("tellwise-cli: ") + QString::fromLocal8Bit(e.what()));
        return 2;
    }
}
