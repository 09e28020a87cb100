// Any text as zone_map.dat; a raster that parses covers its width and height.

#include "geo/zone_files.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<chronvale::ZoneRaster> raster = chronvale::parseZoneRaster(text);
    if (raster && (raster->cells.size() != static_cast<std::size_t>(raster->width) *
                                               static_cast<std::size_t>(raster->height) ||
                   raster->zoneAt(raster->width - 1, raster->height - 1) == nullptr)) {
        __builtin_trap();
    }
    return 0;
}
