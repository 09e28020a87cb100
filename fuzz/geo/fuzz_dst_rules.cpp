// Any text as tz_dst.dat, then every rule placed in a few years, so that
// nonsense weekdays, days, months and offsets go through the calendar code.

#include "geo/city.h"
#include "geo/dst.h"
#include "geo/local_time.h"
#include "geo/time_zone.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool utcZone = [] {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
        return true;
    }();
    (void)utcZone;

    std::string_view text(reinterpret_cast<const char*>(data), size);
    chronvale::DstRuleTable rules = chronvale::parseDstRules(text);
    if (rules.size() > 64) {
        rules.resize(64); // keep each run quick
    }
    for (const chronvale::DstRule& rule : rules) {
        for (int year : {1969, 2024, 2038}) {
            (void)chronvale::dstSwitchTime(rule.start.weekday, rule.start.day, rule.start.month,
                                           year);
            (void)chronvale::dstSwitchTime(rule.end.weekday, rule.end.day, rule.end.month, year);
        }
        chronvale::ZoneTable zones(1);
        zones[0].zoneKey = "Here";
        zones[0].ruleName = rule.ruleName;
        chronvale::CityRecord city;
        city.zoneKey = "Here";
        for (std::time_t now : {std::time_t{0}, std::time_t{1718452800}, std::time_t{-1}}) {
            (void)chronvale::localTimeText(city, 13.0f, zones, rules, now);
        }
    }
    return 0;
}
