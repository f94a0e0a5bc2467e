#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// tellwise-cli's commands. Each command file registers its commands with a static
// CliRegistration; main() parses the global options and dispatches.
//
// Exit codes: 0 success, 1 "not found" answers (lookup without a match), 2 usage errors and
// unreadable input, 3 refusals by the program's rules (duplicates); a command may define more.
namespace cli {

struct Command
{
    QString name;
    QString usage; // one line, after "tellwise-cli [--data-dir DIR] "
    std::function<int(const QStringList &args)> run;
};

// Thrown by commands for a usage error: main prints the message and the usage hint, exits 2.
struct UsageError
{
    QString message;
};

// Thrown by commands for any other failure with its own exit code; main prints the message.
struct Failure
{
    QString message;
    int exitCode = 2;
};

void registerCommand(Command command);
const QList<Command> &commands();

// Output in UTF-8, whatever the locale.
void out(const QString &line); // adds a line break
void err(const QString &line);

struct CliRegistration
{
    explicit CliRegistration(Command command) { registerCommand(std::move(command)); }
};

} // namespace cli
