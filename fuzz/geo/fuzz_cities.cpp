// Any text as location.dat.

#include "geo/city.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    chronvale::CityList cities = chronvale::parseCityDatabase(text);
    // Every record starts at a non-blank character, so there are never more
    // records than characters.
    if (cities.size() > size) {
        __builtin_trap();
    }
    return 0;
}
