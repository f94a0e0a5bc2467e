#pragma once

#include "telephony/CallerId.h"

struct sip_s;

namespace telephony {

// The caller of an INVITE: P-Asserted-Identity, else Remote-Party-ID, else From; the display
// name and the number in the user part of a sip: or tel: URI. The number is withheld when the
// identity is anonymous or privacy asks for it (Privacy: id, RPID privacy=full|uri); an
// identity that holds no number (sip:alice@host) leaves it unavailable, its user as the name
// when there is no display name. The called number comes from the request URI, else To.
CallerId sipCallerOf(const sip_s *sip);

} // namespace telephony
