#pragma once

#include <QString>

// The program folder that holds the data files, with a trailing slash. Determined on first use:
// TELLWISE_DATA_DIR when set; else the executable's folder when the program runs from its own
// folder (a build tree or an unpacked portable folder); else, for an installed program
// (…/bin beside …/share/tellwise-monitor), the per-user "$XDG_DATA_HOME/Tellwise Monitor/".
QString DataDir();

// Fixes the data folder explicitly (tellwise-cli --data-dir, tests). A trailing slash is added.
void SetDataDir(const QString &dir);

// The folder of shipped read-only files (CountryList.dat, Sound/ring1.wav) when they are not
// beside the data: the install's share folder, or the executable's folder. Trailing slash.
QString SharedFilesDir();

// A shipped file: DataDir() + name when it exists there, else SharedFilesDir() + name.
QString ShippedFile(const QString &name);
