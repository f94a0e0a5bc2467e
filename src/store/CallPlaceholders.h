#pragma once

#include <QString>

// The texts that stand in for what the line did not tell: an unknown name, a withheld number,
// and a number (or a whole call record) not identified yet. The call log stores them as they were
// written, in whichever language that was: other programs read the file.
QString PlaceholderUnknown();      // "< Nepoznat >"
QString PlaceholderBlocked();      // "< Sakriven >"
QString PlaceholderUnidentified(); // "< Neidentificiran >"

// Whether TEXT is one of them, in Croatian or English.
bool IsCallPlaceholder(const QString &text);
// A stored text for the lists: a placeholder in the interface language, any other text as it is.
QString ShownCallText(const QString &stored);
