#pragma once
// The pieces of an "http://" URL that the client needs: the host to reach, the
// port, the Host header and the request target.
//
// The client never parses a URL fully; it cuts the text at fixed characters, so
// these functions accept anything and never read past the text.

#include <string>
#include <string_view>

namespace chronvale {

// The text after the first "//", or the whole URL when there is none.
std::string_view urlAfterScheme(std::string_view url);

// The host of the URL: after "//", a user-name part up to an "@" before the first
// "/" skipped, cut at the first "&", "/", "?", "\" or "#" and then as hostOfHostPort
// cuts it. At most 1023 characters.
std::string urlHost(std::string_view url);

// The host of "host", "host:port", "[IPv6]" or "[IPv6]:port" (without the brackets);
// a text of two or more colons, hexadecimal digits and dots is an IPv6 address as
// it stands.
// At most 1023 characters.
std::string hostOfHostPort(std::string_view hostAndPort);

// The port named after the host (after the "]" of an IPv6 address), or 80 when there is none, it
// reads as 0 or it is larger than 65535.
int urlPort(std::string_view url);

// A host of digits and dots only (IPv4), or of hexadecimal digits, colons and dots
// with at least one colon (IPv6), is an address that needs no lookup.
bool isNumericHost(std::string_view host);

// The request target. The fragment (from the first "#") is dropped first. Without a
// proxy the target is the path from the first "/" after the host ("/" when there is
// none), cut at its first ":"; through a proxy it is the whole URL, with a "/" added
// when it has no path.
std::string requestTarget(std::string_view url, bool viaProxy);

} // namespace chronvale
