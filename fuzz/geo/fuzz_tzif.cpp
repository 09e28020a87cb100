// Any bytes as a compiled zone of the system's zoneinfo folder; a zone that
// parses is asked for its civil time and saving period at instants far apart.

#include "geo/tzif.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<chronvale::TzifZone> zone = chronvale::parseTzif(bytes);
    if (!zone) {
        return 0;
    }
    for (const std::int64_t t : {std::int64_t{-4000000000}, std::int64_t{0},
                                 std::int64_t{1800000000}, std::int64_t{4000000000}}) {
        const chronvale::ZoneTime local = chronvale::zoneTimeAt(*zone, t);
        if (zone->types.empty()) {
            __builtin_trap(); // a parsed zone always has a type
        }
        (void)local;
        (void)chronvale::savingPeriodAt(*zone, t);
    }
    return 0;
}
