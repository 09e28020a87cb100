#include "net/http_response.h"

#include <algorithm>
#include <cctype>

namespace chronvale {

namespace {

constexpr std::size_t maxUrlLength = 2047;

char lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::size_t findNoCase(std::string_view text, std::string_view what) {
    const auto it = std::search(text.begin(), text.end(), what.begin(), what.end(),
                                [](char a, char b) { return lower(a) == lower(b); });
    return it == text.end() ? std::string_view::npos : static_cast<std::size_t>(it - text.begin());
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && findNoCase(text.substr(0, prefix.size()), prefix) == 0;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The text up to the next LF, at most `maxUrlLength` characters.
std::string_view toLineEnd(std::string_view text) {
    text = text.substr(0, text.find('\n'));
    return text.substr(0, maxUrlLength);
}

// The current URL joined with a location that has no scheme.
std::string joinRelative(std::string_view currentUrl, std::string_view location) {
    std::string base(currentUrl.substr(0, findNoCase(currentUrl, "HTTP/1")));
    std::erase(base, ' ');
    const std::size_t slashes = base.find("//");
    const std::size_t hostStart = slashes == std::string::npos ? 0 : slashes + 2;
    if (location.front() == '/') {
        const std::size_t pathStart = base.find('/', hostStart);
        if (pathStart != std::string::npos) {
            base.resize(pathStart);
        }
    } else {
        const std::size_t lastSlash = base.rfind('/');
        if (lastSlash != std::string::npos && lastSlash >= hostStart) {
            base.resize(lastSlash);
        }
        base += '/';
    }
    base += toLineEnd(location);
    return base;
}

} // namespace

std::optional<std::size_t> findHeaderEnd(std::string_view response, std::size_t searchedUpTo) {
    // A blank line that was not in the text searched before must end in the new bytes.
    const std::size_t crlf = response.find("\r\n\r\n", searchedUpTo > 3 ? searchedUpTo - 3 : 0);
    const std::size_t lf = response.find("\n\n", searchedUpTo > 1 ? searchedUpTo - 1 : 0);
    if (crlf == std::string_view::npos && lf == std::string_view::npos) {
        return std::nullopt;
    }
    // The first blank line ends the headers, whichever form it takes.
    if (lf == std::string_view::npos || (crlf != std::string_view::npos && crlf < lf)) {
        return crlf + 4;
    }
    return lf + 2;
}

int parseStatus(std::string_view response) {
    std::size_t i = 0;
    const std::size_t n = response.size();
    while (i < n && response[i] != ' ' && response[i] != '\0' && response[i] != '\t' &&
           response[i] != '\n' && response[i] != '\r') {
        ++i;
    }
    while (i < n && isSpace(response[i])) {
        ++i;
    }
    while (i < n && response[i] != '\0' && (response[i] < '0' || response[i] > '9')) {
        ++i;
    }
    int status = 0;
    for (; i < n && response[i] >= '0' && response[i] <= '9'; ++i) {
        status = status * 10 + (response[i] - '0');
        if (status > 99999) {
            return 0;
        }
    }
    return status;
}

std::optional<std::string> redirectUrl(std::string_view response, std::string_view currentUrl) {
    response = response.substr(0, response.find('\0'));
    if (const auto end = findHeaderEnd(response)) {
        response = response.substr(0, *end);
    }
    // The status line is no header; each header line starts after an LF.
    std::optional<std::string_view> location;
    for (std::size_t lineStart = response.find('\n'); lineStart != std::string_view::npos;
         lineStart = response.find('\n', lineStart)) {
        ++lineStart;
        const std::string_view line = response.substr(lineStart);
        if (startsWithNoCase(line, "Location:")) {
            location = line.substr(9);
            break;
        }
    }
    if (!location) {
        return std::nullopt;
    }
    std::string_view value = *location;
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) {
        value.remove_prefix(1);
    }
    value = toLineEnd(value);
    while (!value.empty() && isSpace(value.back())) {
        value.remove_suffix(1);
    }
    if (value.empty()) {
        return std::nullopt;
    }
    std::string url;
    if (!urlScheme(value).empty()) {
        url = value;
    } else if (value.starts_with("//")) {
        url = "http:" + std::string(value);
    } else {
        url = joinRelative(currentUrl, value);
    }
    url.resize(std::min(url.size(), maxUrlLength));
    while (!url.empty() && isSpace(url.back())) {
        url.pop_back();
    }
    if (url.empty() || url == currentUrl) {
        return std::nullopt;
    }
    return url;
}

std::string urlScheme(std::string_view url) {
    std::size_t i = 0;
    while (i < url.size() && (std::isalnum(static_cast<unsigned char>(url[i])) || url[i] == '+' ||
                              url[i] == '-' || url[i] == '.')) {
        ++i;
    }
    if (i == 0 || i >= url.size() || url[i] != ':' ||
        !std::isalpha(static_cast<unsigned char>(url[0]))) {
        return {};
    }
    std::string scheme(url.substr(0, i));
    for (char& c : scheme) {
        c = lower(c);
    }
    return scheme;
}

} // namespace chronvale
