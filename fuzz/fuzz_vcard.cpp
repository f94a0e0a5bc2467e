// The vCard reader over arbitrary bytes: it never fails, and what it reads, once written and read
// again, stays the same through any further round.

#include "exchange/VCard.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>
#include <cstdlib>

namespace {

TVCard roundTrip(const TVCard &card)
{
    const QList<TVCard> again = ReadVCards(WriteVCard(card.Contact, card.Uid));
    if (again.size() != 1)
        std::abort();
    return again.first();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    const TVCardReading reading = ReadVCards(buffer);
    const QList<TVCard> &cards = reading.Cards;
    // A card takes at least "BEGIN:VCARD\n" and one property; every card found is accounted for.
    if (qsizetype(size) < cards.size() * 14 ||
        reading.Found != cards.size() + reading.Skipped + reading.LeftOut)
        std::abort();
    for (const TVCard &card : cards) {
        const TVCard once = roundTrip(card);
        const TVCard twice = roundTrip(once);
        if (twice.Contact != once.Contact || twice.Uid != once.Uid)
            std::abort();
        for (int s = 0; s < 8; ++s)
            if (once.Contact.PhoneNumber[std::size_t(s)].isEmpty() !=
                once.Contact.PhoneLocation[std::size_t(s)].isEmpty())
                std::abort();
    }
    return 0;
}
