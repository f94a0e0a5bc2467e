// The wave file header reader on arbitrary bytes: it must never read outside the data, and a
// layout it accepts must describe no more sound data than the bytes hold.
#include "platform/WaveFile.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const std::optional<WaveInfo> info = ReadWaveInfo(buffer);
    if (info && (info->dataBytes > size || info->bytesPerSecond == 0 || info->durationMs() < 0))
        std::abort();
    return 0;
}
