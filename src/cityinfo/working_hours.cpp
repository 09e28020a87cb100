#include "cityinfo/working_hours.h"

#include <cstdio>

namespace chronvale {

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

} // namespace

int shiftMinutes(const WorkingHours& hours) {
    const int length = hours.endMinute - hours.startMinute;
    return length > 0 ? length : length + 1440;
}

int weekdayOfDay(std::int64_t day) {
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((day % 7) + 7 + 4) % 7);
}

std::int64_t dayOfLocalSeconds(std::int64_t localSeconds) {
    std::int64_t day = localSeconds / kSecondsPerDay;
    if (localSeconds % kSecondsPerDay < 0) {
        --day;
    }
    return day;
}

bool isWorkingAt(const WorkingHours& hours, std::int64_t localSeconds) {
    const std::int64_t day = dayOfLocalSeconds(localSeconds);
    const std::int64_t minute = (localSeconds - day * kSecondsPerDay) / 60;
    // A shift of this day, or one of yesterday that runs into it.
    for (const std::int64_t startDay : {day, day - 1}) {
        if ((hours.days & (1u << weekdayOfDay(startDay))) == 0) {
            continue;
        }
        const std::int64_t from = (startDay - day) * 1440 + hours.startMinute;
        if (minute >= from && minute < from + shiftMinutes(hours)) {
            return true;
        }
    }
    return false;
}

std::optional<int> parseClockTime(std::string_view text) {
    text = trimmed(text);
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon > 2 || text.size() != colon + 3) {
        return std::nullopt;
    }
    int value[2] = {0, 0};
    const std::string_view parts[2] = {text.substr(0, colon), text.substr(colon + 1)};
    for (int i = 0; i < 2; ++i) {
        for (char c : parts[i]) {
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value[i] = value[i] * 10 + (c - '0');
        }
    }
    if (value[0] > 23 || value[1] > 59) {
        return std::nullopt;
    }
    return value[0] * 60 + value[1];
}

std::string clockText(int minutes) {
    minutes = ((minutes % 1440) + 1440) % 1440;
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

bool parseShift(std::string_view text, WorkingHours& hours) {
    static constexpr std::string_view kEnDash = "\xE2\x80\x93";
    std::size_t cut = text.find(kEnDash);
    std::size_t skip = kEnDash.size();
    if (cut == std::string_view::npos) {
        cut = text.find('-');
        skip = 1;
    }
    if (cut == std::string_view::npos) {
        return false;
    }
    const std::optional<int> start = parseClockTime(text.substr(0, cut));
    const std::optional<int> end = parseClockTime(text.substr(cut + skip));
    if (!start || !end) {
        return false;
    }
    hours.startMinute = *start;
    hours.endMinute = *end;
    return true;
}

std::string daysText(std::uint8_t days) {
    std::string text(7, '0');
    for (int d = 0; d < 7; ++d) {
        if ((days & (1u << d)) != 0) {
            text[static_cast<std::size_t>(d)] = '1';
        }
    }
    return text;
}

std::optional<std::uint8_t> parseDays(std::string_view text) {
    if (text.size() != 7) {
        return std::nullopt;
    }
    std::uint8_t days = 0;
    for (int d = 0; d < 7; ++d) {
        const char c = text[static_cast<std::size_t>(d)];
        if (c != '0' && c != '1') {
            return std::nullopt;
        }
        if (c == '1') {
            days = static_cast<std::uint8_t>(days | (1u << d));
        }
    }
    return days;
}

} // namespace chronvale
