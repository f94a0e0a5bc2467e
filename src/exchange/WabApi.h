#pragma once

#include <QString>

class Settings;

namespace wab {
class IAddrBook;
class IWABObject;
} // namespace wab

// The address-book binding: the reader is built in, so the "library" is always there. One file
// is open at a time, between OpenWabFile and CloseWabFile.
bool LoadWabLibrary();
bool UnloadWabLibrary();

// The file last chosen in the import window, trimmed; empty until one was chosen.
QString GetDefaultWabFile(const Settings &settings);
// Remembers FILENAME for the next opening of the import window.
void SetDefaultWabFile(Settings &settings, const QString &fileName);

// Closes whatever is open, then opens FILENAME. False with ERROR saying why.
bool OpenWabFile(const QString &fileName, QString *error);
void CloseWabFile();

// The open file's interfaces; null when none is open.
wab::IAddrBook *OpenAddrBook();
wab::IWABObject *OpenWabObject();
