#pragma once

#include <QString>

namespace telephony {

// Who is calling, as the line told it. Texts are the line's own: a withheld or unavailable
// number leaves `number` empty and says so in the flags; nothing here is a text for the user.
struct CallerId
{
    QString name;         // empty when the line sent none
    QString number;       // digits (and + * #) as the line sent them
    QString calledNumber; // the number that was called, when the line tells
    bool withheld = false;    // the caller withheld the number
    bool unavailable = false; // the network could not tell the number

    bool operator==(const CallerId &) const = default;
};

} // namespace telephony
