#pragma once
// The bytes of a GET request as the client sends them, and the Basic token of
// proxy authentication.

#include <cstddef>
#include <string>
#include <string_view>

namespace chronvale {

struct HttpRequestText {
    std::string text;         // request line, headers and the blank line, CR LF each
    std::size_t headerOffset; // where "HTTP/1.0" begins: the header text shown to the owner

    std::string_view headerText() const { return std::string_view(text).substr(headerOffset); }
};

// "GET <target> HTTP/1.0" and the headers in a fixed order: Accept, Accept-Charset,
// "Connection: close" when a proxy is used, User-Agent when `userAgent` is not empty,
// Host when the URL has "//" (the URL's host, never its port), and
// Proxy-Authorization when `basicToken` is not empty.
HttpRequestText buildRequestText(std::string_view url, bool viaProxy, std::string_view userAgent,
                                 std::string_view basicToken);

// Base64 of "user:password", the whole at most 99 characters before encoding.
std::string basicToken(std::string_view userName, std::string_view password);

} // namespace chronvale
