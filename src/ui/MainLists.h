#pragma once

#include <QPixmap>

// What the main window's lists and the other windows' lists share.

// The main window's list pictures by their image-list index (2, 9, 22 ... 26).
QPixmap MainListImage(int index);
