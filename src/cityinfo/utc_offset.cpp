#include "cityinfo/utc_offset.h"

#include "geo/dst.h"
#include "geo/geo_tables.h"

#include <cmath>

namespace chronvale {

UtcOffsetAt cityUtcOffset(const CityRecord& city, const GeoTables& tables, float zoneHours) {
    const int standard = static_cast<int>(std::lround(zoneHours * 3600.0f));
    return [&city, &tables, standard](std::time_t instant) {
        return standard + dstOffsetMinutes(city, tables.zones, tables.rules, instant) * 60;
    };
}

UtcOffsetAt systemUtcOffset() {
    return [](std::time_t instant) {
        std::tm local{};
        if (localtime_r(&instant, &local) == nullptr) {
            return 0;
        }
        return static_cast<int>(local.tm_gmtoff);
    };
}

UtcOffsetAt fixedUtcOffset(int seconds) {
    return [seconds](std::time_t) { return seconds; };
}

} // namespace chronvale
