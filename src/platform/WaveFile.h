#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The layout of a RIFF wave file, read from its chunk headers.
struct WaveInfo
{
    int formatTag = 0; // 1 = PCM
    int channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t bytesPerSecond = 0;
    int bitsPerSample = 0;
    std::uint32_t dataBytes = 0; // as far as the file really holds them

    // How long the data plays, in milliseconds.
    std::int64_t durationMs() const;
};

class QIODevice;

// True when FILENAME ends in exactly ".wav" (lower case) and the file exists: the only sound
// files the program plays or lets the user choose.
bool IsWaveFile(const QString &fileName);

// Nothing when the file cannot be read or is not a wave file with a format and a data chunk.
std::optional<WaveInfo> ReadWaveInfo(const QString &fileName);
// The same from an open, seekable device.
std::optional<WaveInfo> ReadWaveInfo(QIODevice &file);
