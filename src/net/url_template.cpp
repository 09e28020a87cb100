#include "net/url_template.h"

#include "geo/city.h"

#include <charconv>
#include <cstdlib>

namespace chronvale {

namespace {

std::string fixed(float value, int decimals) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                      std::chars_format::fixed, decimals);
    return std::string(text, result.ptr);
}

// A cookie that is missing, empty or reads as the number 1000 means "no partner".
bool hasPartnerCookie(const std::optional<std::string>& cookie) {
    if (!cookie || cookie->empty()) {
        return false;
    }
    return std::strtol(cookie->c_str(), nullptr, 10) != 1000;
}

} // namespace

std::string replaceAll(std::string_view text, std::string_view placeholder,
                       std::string_view value) {
    if (placeholder.empty()) {
        return std::string(text);
    }
    std::string out;
    size_t pos = 0;
    for (size_t found = text.find(placeholder); found != std::string_view::npos;
         found = text.find(placeholder, pos)) {
        out.append(text.substr(pos, found - pos));
        out.append(value);
        pos = found + placeholder.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string urlEncode(std::string_view text) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        const bool keep = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                          (byte >= '0' && byte <= '9') || byte == ' ' || byte == '*' ||
                          byte == '-' || byte == '.' || byte == '_';
        if (keep) {
            out += byte == ' ' ? '+' : c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string expandUrlTemplate(std::string_view text, const CityRecord* city, std::time_t now,
                              const UrlContext& context) {
    std::string out(text);
    if (context.languageCode.empty()) {
        out = replaceAll(out, "/%LANG%", "");
    }
    out = replaceAll(out, "%LANG%", context.languageCode);
    if (hasPartnerCookie(context.cookie)) {
        out = replaceAll(out, "%ID%", *context.cookie);
    } else {
        out = replaceAll(out, "?id=%ID%", "");
    }

    const std::string country =
        city && context.countryOfCity ? context.countryOfCity(*city) : std::string();
    out = replaceAll(out, "%CITY%", city ? urlEncode(city->name) : std::string());
    out = replaceAll(out, "%COUNTRY%", urlEncode(country));
    out = replaceAll(out, "%LAT%",
                     city ? fixed(city->latitude, 4) : fixed(context.fallbackLatitude, 2));
    out = replaceAll(out, "%LONG%",
                     city ? fixed(city->longitude, 4) : fixed(context.fallbackLongitude, 2));
    const float zoom = context.zoom > 0.0f ? context.zoom : 1.0f;
    const float scale = 40075.16f / (zoom * 1024.0f);
    out = replaceAll(out, "%SCALE%", fixed(scale, 2));

    std::tm utc{};
    gmtime_r(&now, &utc);
    out = replaceAll(out, "$YYYY", std::to_string(utc.tm_year + 1900));
    out = replaceAll(out, "$MM", std::to_string(utc.tm_mon + 1));
    out = replaceAll(out, "$DD", std::to_string(utc.tm_mday));
    out = replaceAll(out, "$HH", std::to_string(utc.tm_hour + 1));
    out = replaceAll(out, "$ID", context.clientId);
    out = replaceAll(out, "$MID", context.machineId);
    out = replaceAll(out, "$QUERY",
                     urlEncode(country) + "%20Travel%20" + (city ? city->name : std::string()));
    return out;
}

} // namespace chronvale
