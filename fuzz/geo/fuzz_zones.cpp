// Any text as tz_data.dat, then a lookup of every zone's own key.

#include "geo/city.h"
#include "geo/time_zone.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    chronvale::ZoneTable zones = chronvale::parseTimeZoneTable(text);
    chronvale::CityRecord city;
    for (const chronvale::TimeZoneRecord& zone : zones) {
        city.zoneKey = zone.zoneKey;
        const chronvale::TimeZoneRecord* found = chronvale::zoneOfCity(city, zones);
        if (!zone.zoneKey.empty() && found == nullptr) {
            __builtin_trap(); // a zone's own key always finds a zone
        }
    }
    return 0;
}
