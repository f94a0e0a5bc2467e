// The country list parser over arbitrary bytes: the three look-ups through the real file, and
// the properties every parse must keep.

#include "store/CountryList.h"
#include "store/DataDir.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstdlib>

namespace {

void writeCountryFile(const uint8_t *data, size_t size)
{
    static const bool ready = [] {
        SetDataDir(QDir::tempPath() +
                   QStringLiteral("/tellwise-fuzz-countrylist-%1").arg(QCoreApplication::applicationPid()));
        return QDir().mkpath(DataDir());
    }();
    if (!ready)
        std::abort();
    QFile file(DataDir() + QStringLiteral("CountryList.dat"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    writeCountryFile(data, size);
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const QStringList names = LoadCountryNames();
    if (names != CountryNamesIn(bytes) || names.size() > bytes.count(']'))
        std::abort();
    // Each look-up reads the file again; a few names are enough to exercise them.
    for (const QString &name : names.mid(0, 16)) {
        // A name never reaches past its line's first "]".
        if (name.contains(QLatin1Char(']')) || name.contains(QLatin1Char('\n')) ||
            name.contains(QLatin1Char('\r')))
            std::abort();
        const QString code = CountryCodeOf(name);
        if (code.contains(QLatin1Char('\n')) || code.contains(QLatin1Char('\r')))
            std::abort();
        // The country found for a code has that code or shares the name of an earlier line.
        if (!code.isEmpty() && !names.contains(CountryNameOf(code)))
            std::abort();
    }
    CountryNameOf(QString::fromLatin1(bytes.left(8)));
    return 0;
}
