#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

// The largest JPEG the picture loader decodes, in pixels of decoded output; anything larger
// would only cost memory for a 160 x 120 picture.
constexpr qint64 kMaxJpegPixels = 40'000'000;

// Decodes a JPEG file's bytes with libjpeg into an RGB32 image. Returns a null image for
// anything that is not a readable JPEG: corrupt, truncated past its header, too large, or an
// unsupported colour model. When ATLEAST is given, the decoder may shrink the picture by 1/2,
// 1/4 or 1/8 as long as the result still covers that size, which keeps large photos cheap.
QImage DecodeJpeg(const QByteArray &bytes, QSize atLeast = {}, qint64 maxPixels = kMaxJpegPixels);
