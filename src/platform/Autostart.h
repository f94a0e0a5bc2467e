#pragma once

#include <QString>

// Starting the program with the user's desktop session. On Linux this is an XDG autostart
// entry, $XDG_CONFIG_HOME/autostart/tellwise-monitor.desktop, that runs the program: by the
// command of its installed menu entry when that starts the same program, else by its path.
namespace Autostart {

// Where the entry lives.
QString entryPath();

// True when the entry exists.
bool isEnabled();

// Writes the entry so that the session starts programPath. False when it cannot be written.
bool enable(const QString &programPath);

// Removes the entry; true when it is gone afterwards (also when there was none).
bool disable();

// The command line of the entry for programPath, quoted as the desktop entry format wants it.
QString execLine(const QString &programPath);

} // namespace Autostart
