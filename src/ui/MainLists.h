#pragma once

#include <QPixmap>
#include <QString>

// What the main window's lists and the other windows' lists share.

// The main window's list pictures by their image-list index (2, 9, 22 ... 26).
QPixmap MainListImage(int index);

// The texts the call log holds instead of a name or number ("< Nepoznat >", "< Sakriven >",
// "< Neidentificiran >"), in whichever language they were written: the log keeps them as they
// are, other programs read it. IsCallPlaceholder tells one; ShownCallText gives it in the
// interface language and any other text unchanged.
bool IsCallPlaceholder(const QString &text);
QString ShownCallText(const QString &stored);
