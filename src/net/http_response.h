#pragma once
// Reading a response: where the headers end, the status code, and the URL that a
// redirect names.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

// The offset of the body after the first blank line: 4 bytes after a CR LF CR LF, 2
// bytes after an LF LF, whichever comes first. `searchedUpTo` is how much of
// `response` was already searched without success, so that a response arriving in
// many blocks is not searched again from the start; the result is the same as a
// search of the whole text.
std::optional<std::size_t> findHeaderEnd(std::string_view response, std::size_t searchedUpTo = 0);

// The number after the first blank of the status line ("HTTP/1.0 200 OK" gives 200);
// non-digits before it are skipped. 0 when there is none.
int parseStatus(std::string_view response);

// The URL a redirect response names, or none. The response text (up to its first zero
// byte) is searched without regard to case for "Location: ", failing that for "http:",
// failing that for "https:". An absolute location is taken as it is; a relative one
// is joined to `currentUrl` (a leading "/" replaces the path, anything else replaces
// the last part of it). Trailing CR, LF and blanks are removed; a URL equal to
// `currentUrl` is no redirect.
std::optional<std::string> redirectUrl(std::string_view response, std::string_view currentUrl);

} // namespace chronvale
