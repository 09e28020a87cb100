#include "geo/dst.h"

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "core/text_scan.h"
#include "geo/city.h"
#include "geo/time_zone.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace chronvale {

namespace {

// Reads weekday, day, month and offset of one line, starting at the weekday
// column. Fields read before a missing TAB are kept. On success pos is at the
// TAB after the offset.
bool readSwitch(std::string_view text, std::size_t& pos, DstSwitch& result) {
    result.weekday = readInteger(text, pos);
    if (!moveAfterTab(text, pos)) {
        return false;
    }
    result.day = readInteger(text, pos);
    if (!moveAfterTab(text, pos)) {
        return false;
    }
    result.month = readInteger(text, pos);
    if (!moveAfterTab(text, pos)) {
        return false;
    }
    constexpr int maxHours = std::numeric_limits<int>::max() / 60;
    int hours = std::clamp(truncateToInt(readDecimal(text, pos)), -maxHours, maxHours);
    result.offsetMinutes = hours * 60;
    pos = findFrom(text, '\t', pos);
    return pos != std::string_view::npos;
}

// Reads one line of a rule: the name, an ignored column, then the switch.
bool readRuleLine(std::string_view text, std::size_t& pos, DstRule& rule, DstSwitch& result) {
    std::string_view name = textUpTo(text, '\t', pos);
    rule.ruleName = name;
    pos += name.size();
    return moveAfterTab(text, pos) && moveAfterTab(text, pos) && readSwitch(text, pos, result);
}

// Days since 1970-01-01 of a proleptic Gregorian date (month 1-12; the day may
// run past the month's end).
std::int64_t daysFromCivil(std::int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468 + (day - 1);
}

// 0 = Sunday ... 6 = Saturday.
int weekdayOf(std::int64_t daysSince1970) {
    const std::int64_t weekday = (daysSince1970 + 4) % 7; // 1970-01-01 was a Thursday
    return static_cast<int>(weekday < 0 ? weekday + 7 : weekday);
}

int daysInMonth(std::int64_t year, int month) {
    return static_cast<int>(daysFromCivil(year + (month == 12 ? 1 : 0), month % 12 + 1, 1) -
                            daysFromCivil(year, month, 1));
}

bool inForce(const DstRule& rule, int startYear, int endYear, std::time_t now) {
    std::optional<std::time_t> start =
        dstSwitchTime(rule.start.weekday, rule.start.day, rule.start.month, startYear);
    std::optional<std::time_t> end =
        dstSwitchTime(rule.end.weekday, rule.end.day, rule.end.month, endYear);
    return start && end && *start <= now && now < *end;
}

} // namespace

DstRuleTable parseDstRules(std::string_view text) {
    DstRuleTable rules;
    std::size_t pos = 0;
    for (;;) {
        pos = skipFieldSpace(text, pos);
        if (pos >= text.size()) {
            break;
        }
        if (rules.size() > maxDstRules) {
            break; // the loader rejects the table
        }
        DstRule& rule = rules.emplace_back();
        if (!readRuleLine(text, pos, rule, rule.start)) {
            break;
        }
        pos = findFrom(text, '\n', pos);
        if (pos == std::string_view::npos) {
            break;
        }
        // A start line at the very end keeps its own name.
        pos = skipFieldSpace(text, pos);
        if (pos >= text.size()) {
            break;
        }
        if (!readRuleLine(text, pos, rule, rule.end)) {
            break;
        }
        pos = findFrom(text, '\n', pos);
        if (pos == std::string_view::npos) {
            break;
        }
    }
    return rules;
}

DstRuleTable loadDstRules(const std::string& path, LoadErrorSink& errors) {
    DstRuleTable rules = loadPackedTable(path, "tz_dst.dat", errors, &parseDstRules);
    if (rules.size() > maxDstRules) {
        errors.unableToLoad("tz_dst.dat");
        return {};
    }
    return rules;
}

const DstRule* dstRuleOfCity(const CityRecord& city, const ZoneTable& zones,
                             const DstRuleTable& rules) {
    const TimeZoneRecord* zone = zoneOfCity(city, zones);
    if (zone == nullptr || zone->ruleName.empty()) {
        return nullptr;
    }
    auto found = std::find_if(rules.begin(), rules.end(),
                              [&](const DstRule& rule) { return rule.ruleName == zone->ruleName; });
    return found == rules.end() ? nullptr : &*found;
}

std::optional<std::time_t> dstSwitchTime(int weekday, int day, int month, int year) {
    constexpr int minYear = std::numeric_limits<int>::min() + 1900;
    if (month < 1 || month > 12 || day < 0 || day > 31 || year < minYear) {
        return std::nullopt;
    }
    const bool weekdayGiven = weekday >= 0 && weekday <= 6;
    int switchDay = day;
    if (day == 0) {
        // The last such weekday: count down from the month's last day.
        switchDay = daysInMonth(year, month);
        if (weekdayGiven) {
            switchDay -= (weekdayOf(daysFromCivil(year, month, switchDay)) - weekday + 7) % 7;
        }
    } else if (weekdayGiven) {
        // The first such weekday on or after the day.
        switchDay += (weekday - weekdayOf(daysFromCivil(year, month, day)) + 7) % 7;
    }

    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = switchDay;
    local.tm_isdst = 0; // standard time, whatever is in force on that day
    std::time_t instant = std::mktime(&local);
    if (instant == static_cast<std::time_t>(-1)) {
        return std::nullopt;
    }
    return instant;
}

int dstOffsetMinutes(const CityRecord& city, const ZoneTable& zones, const DstRuleTable& rules,
                     std::time_t now) {
    const DstRule* rule = dstRuleOfCity(city, zones, rules);
    if (rule == nullptr) {
        return 0;
    }
    std::tm utc{};
    if (gmtime_r(&now, &utc) == nullptr || utc.tm_year > std::numeric_limits<int>::max() - 1901) {
        return 0;
    }
    const int year = utc.tm_year + 1900;
    bool active;
    if (rule->end.month < rule->start.month) {
        // Southern summer: last year's start to this year's end, and this year's
        // start to next year's end.
        active = inForce(*rule, year - 1, year, now) || inForce(*rule, year, year + 1, now);
    } else {
        active = inForce(*rule, year, year, now);
    }
    return active ? rule->start.offsetMinutes : 0;
}

} // namespace chronvale
