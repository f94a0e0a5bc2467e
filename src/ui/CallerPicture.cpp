#include "CallerPicture.h"

#include "widgets/Skin.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <array>

namespace {

// A picture file larger than this is not a contact picture; refuse it before reading it.
constexpr qint64 kMaxPictureFileBytes = 64 * 1024 * 1024;
// How many pixels each corner row loses, counted from the side edge, rows 0 to 8 counted
// from the corner's outer edge.
constexpr std::array<int, 9> kCornerRow{9, 6, 4, 3, 2, 2, 1, 1, 1};

enum class PictureKind
{
    None,
    Jpeg,
    Png,
    Bmp
};

// Cameras and phones name their files ".JPG", ".jpeg" or nothing useful at all, and a picture
// saved under the wrong extension is still that picture: the first bytes decide.
PictureKind pictureKind(const QByteArray &head)
{
    if (head.startsWith("\xff\xd8\xff"))
        return PictureKind::Jpeg;
    if (head.startsWith("\x89PNG\r\n\x1a\n"))
        return PictureKind::Png;
    if (head.startsWith("BM"))
        return PictureKind::Bmp;
    return PictureKind::None;
}

// PNG and BMP headers state their size: one that would not fit the JPEG limit is refused
// before any pixel memory is taken.
QImage readThroughQt(QByteArray bytes, const char *format)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > kMaxJpegPixels)
        return {};
    return reader.read();
}

QImage readPicture(const QByteArray &bytes, bool actualSize)
{
    switch (pictureKind(bytes)) {
    case PictureKind::Jpeg:
        // A picture shown at its own size is cropped by the frame, so only a stretched one may
        // be decoded smaller.
        return DecodeJpeg(bytes, actualSize ? QSize() : QSize(kCallerPictureWidth, kCallerPictureHeight));
    case PictureKind::Png:
        return readThroughQt(bytes, "PNG");
    case PictureKind::Bmp:
        return readThroughQt(bytes, "BMP");
    case PictureKind::None:
        break;
    }
    return {};
}

QImage readPicture(const QString &file, bool actualSize)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly) || in.size() > kMaxPictureFileBytes)
        return {};
    return readPicture(in.readAll(), actualSize);
}

QImage framed(QImage picture, bool actualSize, bool center, int languageIndex);

} // namespace

bool IsCallerPictureCorner(int x, int y)
{
    if (x < 0 || y < 0 || x >= kCallerPictureWidth || y >= kCallerPictureHeight)
        return false;
    const int row = qMin(y, kCallerPictureHeight - 1 - y);
    const int column = qMin(x, kCallerPictureWidth - 1 - x);
    return row < int(kCornerRow.size()) && column < kCornerRow[size_t(row)];
}

QImage LoadCallerPicture(const QString &file, bool actualSize, bool center, int languageIndex)
{
    QImage picture;
    if (!file.isEmpty() && QFile::exists(file))
        picture = readPicture(file, actualSize);
    return framed(picture, actualSize, center, languageIndex);
}

QImage LoadCallerPicture(const QByteArray &bytes, bool actualSize, bool center, int languageIndex)
{
    return framed(bytes.size() > kMaxPictureFileBytes ? QImage() : readPicture(bytes, actualSize), actualSize,
                  center, languageIndex);
}

namespace {

QImage framed(QImage picture, bool actualSize, bool center, int languageIndex)
{
    if (picture.isNull())
        picture = skin::image(skin::languagePrefix(languageIndex) + QStringLiteral("NoPicture"));

    QImage result(kCallerPictureWidth, kCallerPictureHeight, QImage::Format_ARGB32);
    result.fill(Qt::black);
    {
        QPainter painter(&result);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!actualSize)
            painter.drawImage(result.rect(), picture);
        else if (center)
            painter.drawImage((kCallerPictureWidth - picture.width()) / 2,
                              (kCallerPictureHeight - picture.height()) / 2, picture);
        else
            painter.drawImage(0, 0, picture);
    }

    // Round the corners. Each corner row loses its pixels from the side edge inward.
    for (size_t row = 0; row < kCornerRow.size(); ++row) {
        const int top = int(row);
        const int bottom = kCallerPictureHeight - 1 - int(row);
        for (int i = 0; i < kCornerRow[row]; ++i) {
            const int left = i;
            const int right = kCallerPictureWidth - 1 - i;
            result.setPixel(left, top, 0);
            result.setPixel(right, top, 0);
            result.setPixel(right, bottom, 0);
            result.setPixel(left, bottom, 0);
        }
    }
    return result;
}

} // namespace
