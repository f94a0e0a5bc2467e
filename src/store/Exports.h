#pragma once

#include "store/Records.h"
#include "store/StoreResult.h"

#include <QString>

// One-way exports of the in-memory lists: contacts as CSV and XML, the call log as an HTML
// page. Windows-1250, every line ending in CR LF. Each file is written
// whole or not at all (the old file stays until the new one is complete); a failure is returned.
//
// Values are escaped so that the files read back as what was stored: XML and HTML escape
// "&", "<", ">" and '"' (XML also a carriage return, characters XML cannot hold become "?",
// and characters the code page cannot hold become character references); a CSV field holding
// ";", '"', CR or LF is quoted with its quotes doubled, and one beginning with "=", "+", "-", "@",
// a TAB or a CR gets a leading apostrophe so that a spreadsheet shows it as text. Other scripts
// are written in Latin letters in CSV, as the data files hold them.

StoreResult ExportContactsCsv(const TContactList &contacts, const QString &fileName);
StoreResult ExportContactsXml(const TContactList &contacts, const QString &fileName);
StoreResult ExportCallsHtml(const TCallList &calls, const QString &fileName);

// The save dialogs' rule: the extension (".csv", ".xml", ".htm") is appended unless the name's
// own extension, in lower case, already equals it.
QString WithExportExtension(const QString &fileName, const QString &extension);
