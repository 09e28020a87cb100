#pragma once
// The image server may answer any request with an error element,
// <ERROR n="N">message</ERROR>, instead of what was asked for.

#include "net/service_owner.h"

#include <string_view>

namespace chronvale {

// Looks for the error element in a reply body. For each one it reports the
// error to the owner and shows the text that follows the element in an "Error"
// box. Returns its number n; 0 when there is no error element or its n
// is 0 or missing. A non-zero result means the reply must not be used.
int serverErrorCheck(std::string_view body, ServiceOwner& owner);

// A decimal integer with optional blanks and sign in front; trailing text is
// ignored and anything unreadable gives 0 (as C's atoi, without its overflow).
int parseDecimal(std::string_view text);

} // namespace chronvale
