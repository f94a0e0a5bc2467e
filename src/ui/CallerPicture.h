#pragma once

#include "JpegDecoder.h"

#include <QImage>
#include <QString>

constexpr int kCallerPictureWidth = 160;
constexpr int kCallerPictureHeight = 120;

// The caller picture shown by the incoming call window, the main window and the contact
// editor: 160 x 120 on black, with rounded corners (29 transparent pixels in each corner).
// FILE is loaded when it holds a JPEG (through libjpeg), PNG or BMP picture, whatever its name;
// otherwise, or when it cannot be read, the language's no-picture bitmap is used.
// ACTUALSIZE false stretches the picture over the frame; true draws it at its own size,
// centred when CENTER is set, else from the top left corner.
QImage LoadCallerPicture(const QString &file, bool actualSize, bool center, int languageIndex);
// The same from a picture's bytes (one carried in a vCard).
QImage LoadCallerPicture(const QByteArray &bytes, bool actualSize, bool center, int languageIndex);

// True for the 116 corner pixels that LoadCallerPicture makes transparent.
bool IsCallerPictureCorner(int x, int y);
