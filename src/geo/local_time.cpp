#include "geo/local_time.h"

#include "geo/date_pattern.h"
#include "geo/dst.h"

#include <cmath>
#include <cstdio>

namespace chronvale {

namespace {

constexpr std::size_t maxSeparatorBytes = 7;

// At most 7 bytes of the separator, not cutting a UTF-8 character in two.
std::string_view boundedSeparator(std::string_view separator) {
    if (separator.empty()) {
        return "/";
    }
    if (separator.size() <= maxSeparatorBytes) {
        return separator;
    }
    std::size_t size = maxSeparatorBytes;
    while (size > 0 && (static_cast<unsigned char>(separator[size]) & 0xC0u) == 0x80u) {
        --size;
    }
    return separator.substr(0, size);
}

} // namespace

std::string formatUtcDateTime(std::time_t instant, int order, std::string_view separator) {
    std::tm utc{};
    int year = 0;
    if (instant != 0 && gmtime_r(&instant, &utc) != nullptr) {
        year = utc.tm_year > 99 ? utc.tm_year - 100 : utc.tm_year;
        utc.tm_mon += 1;
    } else {
        utc = std::tm{};
    }
    int first = utc.tm_mon;
    int second = utc.tm_mday;
    int third = year;
    if (order == dayMonthYear) {
        first = utc.tm_mday;
        second = utc.tm_mon;
    } else if (order == yearMonthDay) {
        first = year;
        second = utc.tm_mon;
        third = utc.tm_mday;
    }
    const std::string sep(boundedSeparator(separator));
    char text[96];
    std::snprintf(text, sizeof text, "%02i%s%02i%s%02i %02i:%02i:%02i", first, sep.c_str(), second,
                  sep.c_str(), third, utc.tm_hour, utc.tm_min, utc.tm_sec);
    return text;
}

namespace {

// The city's local time as an instant whose UTC fields are the local ones; 0
// (no time) far outside the calendar, where only a nonsense offset gets.
std::time_t shiftedLocalTime(const CityRecord& city, float zoneHours, const ZoneTable& zones,
                             const DstRuleTable& rules, std::time_t now) {
    const double seconds = static_cast<double>(now) + static_cast<double>(zoneHours) * 3600.0 +
                           static_cast<double>(dstOffsetMinutes(city, zones, rules, now)) * 60.0;
    if (!(std::fabs(seconds) < 1.0e18)) {
        return 0;
    }
    return static_cast<std::time_t>(std::trunc(seconds));
}

} // namespace

std::string localTimeText(const CityRecord& city, float zoneHours, const ZoneTable& zones,
                          const DstRuleTable& rules, std::time_t now, std::string_view separator) {
    return formatUtcDateTime(shiftedLocalTime(city, zoneHours, zones, rules, now), monthDayYear,
                             separator);
}

std::string localDateTimeText(const CityRecord& city, float zoneHours, const ZoneTable& zones,
                              const DstRuleTable& rules, std::time_t now,
                              std::string_view datePattern) {
    return formatUtcDateTimeIn(shiftedLocalTime(city, zoneHours, zones, rules, now), datePattern);
}

} // namespace chronvale
