// Arbitrary bytes from a network caller-ID server through the line reader and both protocols.

#include "telephony/NetworkLineParser.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace telephony;
    BoundedLineReader reader;
    const auto check = [](const NetworkEvent &e) {
        if (e.connection.size() > 4 || e.called.size() > 32 ||
            e.caller.number().size() > CallerIdRecord::kMaxValueLength ||
            e.caller.name().size() > CallerIdRecord::kMaxValueLength)
            std::abort();
        if (e.kind != NetworkEvent::Offer && e.caller.hasParty())
            std::abort();
        // Nothing but a number is offered as one: a + in front, then digits, * and #.
        const QByteArray number = e.caller.number();
        for (qsizetype i = 0; i < number.size(); ++i) {
            if (!(std::isdigit(uchar(number[i])) || number[i] == '*' || number[i] == '#' ||
                  (i == 0 && number[i] == '+')))
                std::abort();
        }
    };
    // Feed in uneven pieces, as reads from a socket arrive.
    std::size_t pos = 0;
    std::size_t piece = 1;
    while (pos < size) {
        const std::size_t n = std::min(piece, size - pos);
        reader.feed(QByteArrayView(reinterpret_cast<const char *>(data) + pos, qsizetype(n)),
                    [&](const QByteArray &line) {
                        if (line.size() > BoundedLineReader::kMaxLineLength)
                            std::abort();
                        check(parseCallMonitorLine(line));
                        check(parseNcidLine(line));
                    });
        if (reader.pendingBytes() > BoundedLineReader::kMaxLineLength)
            std::abort();
        pos += n;
        piece = piece * 3 % 97 + 1;
    }
    return 0;
}
