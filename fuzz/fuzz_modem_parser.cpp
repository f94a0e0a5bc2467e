// Arbitrary bytes from a serial port through the line splitter and the caller record.

#include "telephony/ModemLineParser.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace telephony;
    ModemLineParser parser;
    CallerIdRecord record;
    // Feed in uneven pieces, as reads from a port arrive.
    std::size_t pos = 0;
    std::size_t piece = 1;
    while (pos < size) {
        const std::size_t n = std::min(piece, size - pos);
        parser.feed(QByteArrayView(reinterpret_cast<const char *>(data) + pos, qsizetype(n)),
                    [&](const ModemLine &line) {
                        if (line.value.size() > ModemLineParser::kMaxLineLength)
                            std::abort();
                        if (line.kind == ModemLine::CallerId)
                            record.add(line.key, line.value);
                        else if (line.kind == ModemLine::Ring && record.isComplete())
                            record.clear();
                    });
        if (parser.pendingBytes() > ModemLineParser::kMaxLineLength)
            std::abort();
        pos += n;
        piece = piece * 3 % 97 + 1;
    }
    const CallerId caller = record.callerId();
    if (record.number().size() > CallerIdRecord::kMaxValueLength ||
        record.name().size() > CallerIdRecord::kMaxValueLength || record.rawText().size() > 1024)
        std::abort();
    // A delivered number is never a withheld or unavailable marker.
    if (CallerIdRecord::markerOf(caller.number.toLatin1()) != CallerIdRecord::Marker::None)
        std::abort();
    return 0;
}
