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

// The URL that the Location header of a redirect response names, or none. Only the
// header lines are searched (up to the first blank line, or the first zero byte), for
// a line that begins with "Location:" without regard to case; the body is never read.
// An absolute location (it begins with a scheme such as "http:") is taken as it is,
// scheme included, and "//host/path" gets "http:" in front; a relative one is joined
// to `currentUrl` (a leading "/" replaces the path, anything else replaces the last
// part of it). At most 2047 characters; trailing CR, LF and blanks are removed. A URL
// equal to `currentUrl` is no redirect.
std::optional<std::string> redirectUrl(std::string_view response, std::string_view currentUrl);

// The scheme of an absolute URL in lower case ("http", "https", "ftp"), or empty when
// the text does not begin with one (letters, digits, "+", "-", "." up to a ":").
std::string urlScheme(std::string_view url);

} // namespace chronvale
