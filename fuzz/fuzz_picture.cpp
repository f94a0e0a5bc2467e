#include "ui/JpegDecoder.h"

#include <cstddef>
#include <cstdint>

// Any bytes named ".jpg" reach the decoder; it must return a picture or nothing, and never
// read or write outside its buffers. The pixel limit keeps huge claimed sizes quick.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const QImage whole = DecodeJpeg(bytes, {}, 1 << 20);
    if (!whole.isNull() && (whole.width() <= 0 || whole.height() <= 0))
        __builtin_trap();
    const QImage shrunk = DecodeJpeg(bytes, {160, 120}, 1 << 20);
    if (!shrunk.isNull() && !whole.isNull() && shrunk.width() > whole.width())
        __builtin_trap();
    return 0;
}
