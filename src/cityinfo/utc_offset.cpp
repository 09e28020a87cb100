#include "cityinfo/utc_offset.h"

#include "render/local_clock.h"

namespace chronvale {

UtcOffsetAt cityUtcOffset(const CityRecord& city, const LocalClock& clock) {
    return [&city, &clock](std::time_t instant) {
        return static_cast<int>(clock.cityTime(city, instant).offsetSeconds);
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
