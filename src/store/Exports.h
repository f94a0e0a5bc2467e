#pragma once

#include <QString>

// One-way exports of the in-memory lists: contacts (ContactList) as CSV and XML, the call log
// (CallList) as an HTML page. Windows-1250, every line ending in CR LF. Each file is written
// whole or not at all (the old file stays until the new one is complete); a failure throws
// StoreError.
//
// Values are escaped so that the files read back as what was stored: XML and HTML escape
// "&", "<", ">" and '"' (XML also a carriage return, characters XML cannot hold become "?",
// and characters the code page cannot hold become character references); a CSV field holding
// ";", '"', CR or LF is quoted with its quotes doubled, and one beginning with "=" or "@" gets a
// leading apostrophe so that a spreadsheet shows it as text.

// The maker's address in the call-log page's footer.
inline constexpr char kMakerWebAddress[] = "https://tellwise.example/";

void ExportContactsCsv(const QString &fileName);
void ExportContactsXml(const QString &fileName);
void ExportCallsHtml(const QString &fileName);

// The save dialogs' rule: the extension (".csv", ".xml", ".htm") is appended unless the name's
// own extension, in lower case, already equals it.
QString WithExportExtension(const QString &fileName, const QString &extension);
