#include "platform/WaveFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cstring>

namespace {

std::uint32_t le32(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return std::uint32_t(u[0]) | std::uint32_t(u[1]) << 8 | std::uint32_t(u[2]) << 16 |
           std::uint32_t(u[3]) << 24;
}

int le16(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return int(u[0]) | int(u[1]) << 8;
}

} // namespace

bool IsWaveFile(const QString &fileName)
{
    // Only a lower-case ".wav" counts, as on the system the program came from; "RING.WAV" is
    // refused even though the file would play.
    return fileName.endsWith(QLatin1String(".wav"), Qt::CaseSensitive) && QFileInfo(fileName).isFile();
}

std::int64_t WaveInfo::durationMs() const
{
    if (bytesPerSecond == 0)
        return 0;
    return std::int64_t(dataBytes) * 1000 / bytesPerSecond;
}

std::optional<WaveInfo> ReadWaveInfo(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ReadWaveInfo(file);
}

std::optional<WaveInfo> ReadWaveInfo(QIODevice &file)
{
    char head[12];
    if (file.read(head, 12) != 12 || memcmp(head, "RIFF", 4) != 0 || memcmp(head + 8, "WAVE", 4) != 0)
        return std::nullopt;

    WaveInfo info;
    bool haveFormat = false;
    const qint64 size = file.size();
    qint64 pos = 12;
    // Chunks follow one another, each padded to an even length; unknown ones are skipped.
    while (pos + 8 <= size) {
        char chunk[8];
        if (!file.seek(pos) || file.read(chunk, 8) != 8)
            return std::nullopt;
        const std::uint32_t length = le32(chunk + 4);
        const qint64 body = pos + 8;
        if (memcmp(chunk, "fmt ", 4) == 0) {
            char fmt[16];
            if (length < 16 || file.read(fmt, 16) != 16)
                return std::nullopt;
            info.formatTag = le16(fmt);
            info.channels = le16(fmt + 2);
            info.sampleRate = le32(fmt + 4);
            info.bytesPerSecond = le32(fmt + 8);
            info.bitsPerSample = le16(fmt + 14);
            haveFormat = true;
        } else if (memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat || info.channels == 0 || info.bytesPerSecond == 0)
                return std::nullopt;
            // A header that promises more than the file holds (a cut-off copy, or a stream
            // written with an unknown length) plays what is there.
            info.dataBytes = std::uint32_t(std::min<qint64>(length, size - body));
            return info;
        }
        pos = body + qint64(length) + (length & 1);
    }
    return std::nullopt;
}
