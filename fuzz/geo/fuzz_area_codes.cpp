// Any text as areacode.dat, then both lookups for every entry.

#include "geo/area_codes.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    chronvale::AreaCodeTable table = chronvale::parseAreaCodes(text);
    if (table.size() > 64) {
        table.resize(64); // the lookups are linear; keep each run quick
    }
    for (const chronvale::AreaCodeRecord& record : table) {
        std::string country =
            chronvale::areaCodeText(table, record.country, "", chronvale::AreaCodeMode::country);
        std::string cities = chronvale::areaCodeText(
            table, record.country, record.city.value_or(""), chronvale::AreaCodeMode::city);
        if (record.city && cities.empty()) {
            __builtin_trap(); // a city line always finds itself
        }
        (void)country;
    }
    return 0;
}
