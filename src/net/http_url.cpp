#include "net/http_url.h"

#include <algorithm>
#include <cctype>

namespace chronvale {

namespace {

constexpr std::size_t maxHostLength = 1023;

// The host and port part after "//": the user-name part skipped, cut where the path
// or the query begins.
std::string_view authority(std::string_view url) {
    std::string_view rest = urlAfterScheme(url);
    const std::size_t at = rest.find('@');
    if (at != std::string_view::npos && at < rest.find('/')) {
        rest.remove_prefix(at + 1);
    }
    return rest.substr(0, rest.find_first_of("&/?\\#"));
}

} // namespace

std::string_view urlAfterScheme(std::string_view url) {
    const std::size_t slashes = url.find("//");
    return slashes == std::string_view::npos ? url : url.substr(slashes + 2);
}

std::string hostOfHostPort(std::string_view hostAndPort) {
    std::string_view host = hostAndPort;
    if (host.starts_with('[')) {
        // An IPv6 address in brackets; its colons are not the port's.
        host = host.substr(1, host.find(']') == std::string_view::npos ? host.npos
                                                                       : host.find(']') - 1);
    } else if (std::count(host.begin(), host.end(), ':') < 2 ||
               !std::all_of(host.begin(), host.end(), [](char c) {
                   return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
               })) {
        host = host.substr(0, host.find(':'));
    }
    return std::string(host.substr(0, maxHostLength));
}

std::string urlHost(std::string_view url) {
    return hostOfHostPort(authority(url));
}

int urlPort(std::string_view url) {
    std::string_view hostPart = authority(url);
    if (hostPart.starts_with('[')) {
        const std::size_t close = hostPart.find(']');
        hostPart = close == std::string_view::npos ? std::string_view{} : hostPart.substr(close);
    }
    const std::size_t colon = hostPart.find(':');
    if (colon == std::string_view::npos) {
        return 80;
    }
    long port = 0;
    for (std::size_t i = colon + 1; i < hostPart.size(); ++i) {
        const char c = hostPart[i];
        if (c < '0' || c > '9') {
            break;
        }
        port = port * 10 + (c - '0');
        if (port > 65535) {
            return 80;
        }
    }
    return port == 0 ? 80 : static_cast<int>(port);
}

bool isNumericHost(std::string_view host) {
    if (host.find(':') != std::string_view::npos) {
        return std::all_of(host.begin(), host.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) || c == ':' || c == '.';
        });
    }
    return !host.empty() && std::all_of(host.begin(), host.end(),
                                        [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

std::string requestTarget(std::string_view url, bool viaProxy) {
    // A fragment belongs to the reader of the page, never to the server.
    url = url.substr(0, url.find('#'));
    const std::string_view rest = urlAfterScheme(url);
    const std::size_t slash = rest.find('/');
    if (viaProxy) {
        std::string target(url);
        if (slash == std::string_view::npos) {
            target += '/';
        }
        return target;
    }
    if (slash == std::string_view::npos) {
        return "/";
    }
    std::string_view path = rest.substr(slash);
    path = path.substr(0, path.find(':'));
    return std::string(path);
}

} // namespace chronvale
