#include "core/text_scan.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace chronvale {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Where the digits of a number begin after an optional sign, when a number
// starts at pos; npos otherwise. A leading "+" is left to the caller because
// std::from_chars does not accept it.
std::size_t numberBody(std::string_view text, std::size_t pos, bool allowPoint) {
    std::size_t body = pos;
    if (body < text.size() && (text[body] == '+' || text[body] == '-')) {
        ++body;
    }
    if (body >= text.size()) {
        return std::string_view::npos;
    }
    if (isDigit(text[body])) {
        return body;
    }
    if (allowPoint && text[body] == '.' && body + 1 < text.size() && isDigit(text[body + 1])) {
        return body;
    }
    return std::string_view::npos;
}

} // namespace

std::size_t skipFieldSpace(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isFieldSpace(text[pos])) {
        ++pos;
    }
    return pos < text.size() ? pos : text.size();
}

std::size_t findFrom(std::string_view text, char c, std::size_t pos) {
    return pos < text.size() ? text.find(c, pos) : std::string_view::npos;
}

std::string_view textUpTo(std::string_view text, char c, std::size_t pos) {
    if (pos >= text.size()) {
        return {};
    }
    std::size_t end = text.find(c, pos);
    return text.substr(pos, end == std::string_view::npos ? std::string_view::npos : end - pos);
}

double readDecimal(std::string_view text, std::size_t& pos) {
    std::size_t body = numberBody(text, pos, true);
    if (body == std::string_view::npos) {
        return 0.0;
    }
    // from_chars takes the "-" itself but not a "+".
    const char* first = text.data() + (text[pos] == '-' ? pos : body);
    const char* last = text.data() + text.size();
    double value = 0.0;
    auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::invalid_argument) {
        return 0.0;
    }
    pos = static_cast<std::size_t>(end - text.data());
    return error == std::errc::result_out_of_range ? 0.0 : value;
}

float readFloat(std::string_view text, std::size_t& pos) {
    double value = readDecimal(text, pos);
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        return 0.0f;
    }
    return static_cast<float>(value);
}

int readInteger(std::string_view text, std::size_t& pos) {
    std::size_t body = numberBody(text, pos, false);
    if (body == std::string_view::npos) {
        return 0;
    }
    bool negative = text[pos] == '-';
    const char* first = text.data() + body;
    const char* last = text.data() + text.size();
    long long magnitude = 0;
    auto [end, error] = std::from_chars(first, last, magnitude);
    pos = static_cast<std::size_t>(end - text.data());
    if (error == std::errc::result_out_of_range || magnitude > std::numeric_limits<int>::max()) {
        return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    }
    return negative ? -static_cast<int>(magnitude) : static_cast<int>(magnitude);
}

int truncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiUpper(a[i]) != asciiUpper(b[i])) {
            return false;
        }
    }
    return true;
}

bool moveAfterTab(std::string_view text, std::size_t& pos) {
    const std::size_t tab = findFrom(text, '\t', pos);
    if (tab == std::string_view::npos) {
        return false;
    }
    pos = skipFieldSpace(text, tab + 1);
    return true;
}

} // namespace chronvale
