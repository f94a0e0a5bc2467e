#pragma once

#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "store/StoreResult.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// Shared by the data file fuzzers: the input becomes a data file in a private folder, the
// store loads it, and every loaded record must survive a write and a read unchanged.
namespace storefuzz {

inline const QString &dataDir()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        if (!dir.isValid())
            std::abort();
        SetDataDir(dir.path());
        return DataDir();
    }();
    return path;
}

inline void writeDataFile(const char *name, const uint8_t *data, size_t size)
{
    QFile file(dataDir() + QLatin1String(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
}

// A load of any bytes reads the file: its records, or the readable ones of a damaged file.
inline void checkLoaded(const StoreResult &result)
{
    if (!result && result.kind != StoreResult::Kind::Damaged)
        std::abort();
}

template <typename Rec, typename T> void checkRoundTrip(const T &record)
{
    QByteArray bytes(Rec::Size, Qt::Uninitialized);
    Rec::encode(record, bytes.data());
    if (!(Rec::decode(bytes.constData()) == record))
        std::abort();
}

} // namespace storefuzz
