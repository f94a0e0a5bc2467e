#pragma once

#include <QIcon>
#include <QPixmap>

// The small pictures of the options window, drawn by the program itself so that they look the
// same on every desktop theme.
namespace OptionsIcons {

// 32 x 32 picture of the chosen kind of call device.
QPixmap modemPicture();
QPixmap isdnPicture();

// Marks of the device feature tree.
QIcon infoNode(); // a node that only names something
QIcon featurePresent();
QIcon featureAbsent();

QIcon group();
QPixmap speaker();

// The speech window: its 32 x 32 picture, and the mark of every entry of its voice list.
QPixmap speechPicture();
QPixmap voice();

} // namespace OptionsIcons
