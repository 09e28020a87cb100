// Any bytes as config.ini: the marked-city and cloud-frame lines are read into a
// small city list and a frame table; what is read is written and read again, and
// must come back the same (a config.ini the program writes is one it can read).

#include "config/config_file.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

chronvale::CityList someCities() {
    chronvale::CityList cities(4);
    const char* names[] = {"Paris", "Springfield", "São Paulo", "Paris"};
    const float longitudes[] = {2.35f, -89.6f, -46.6f, -95.5f};
    for (std::size_t i = 0; i < cities.size(); ++i) {
        cities[i].name = names[i];
        cities[i].longitude = longitudes[i];
    }
    return cities;
}

bool sameMarks(const chronvale::CityList& a, const chronvale::CityList& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].marked != b[i].marked) {
            return false;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    chronvale::CityList cities = someCities();
    chronvale::CloudFrameTable frames;
    chronvale::readConfigFile(text, cities, frames);

    const std::string written = chronvale::formatConfigFile(cities, frames);
    chronvale::CityList again = someCities();
    chronvale::CloudFrameTable framesAgain;
    chronvale::readConfigFile(written, again, framesAgain);
    if (!sameMarks(cities, again) || chronvale::formatConfigFile(again, framesAgain) != written) {
        __builtin_trap();
    }
    return 0;
}
