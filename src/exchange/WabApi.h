#pragma once

#include "settings/Settings.h"

#include <QString>

namespace wab {
class IAddrBook;
class IWABObject;
} // namespace wab

// The address-book binding: one file is open at a time, between OpenWabFile and CloseWabFile.

// The file last chosen in the import window, trimmed; empty until one was chosen. Kept here, out
// of the reader, so that the reader alone can be built into a fuzz target.
inline QString GetDefaultWabFile(const Settings &settings)
{
    return settings.text(Settings::WabFileName).trimmed();
}
// Remembers FILENAME for the next opening of the import window.
inline void SetDefaultWabFile(Settings &settings, const QString &fileName)
{
    settings.setText(Settings::WabFileName, fileName);
    settings.SaveValue(Settings::WabFileName);
}

// Closes whatever is open, then opens FILENAME. False with ERROR saying why.
bool OpenWabFile(const QString &fileName, QString *error);
// The same over a file's bytes already read.
bool OpenWabBytes(const QByteArray &bytes, QString *error);
void CloseWabFile();

// The open file's interfaces; null when none is open.
wab::IAddrBook *OpenAddrBook();
wab::IWABObject *OpenWabObject();
