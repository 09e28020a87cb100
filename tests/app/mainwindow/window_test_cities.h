#pragma once
// Cities placed on exact map pixels, for the window's tests.

#include "geo/city.h"

#include <string>

namespace chronvale::test {

// A city whose map pixel (at scale 1, no pan) is (mx, my): the half-pixel
// centre keeps the projection's truncation away from the pixel's edge.
inline CityRecord cityAtPixel(const std::string& name, int mx, int my,
                              const std::string& zoneKey = {}) {
    CityRecord city;
    city.name = name;
    city.zoneKey = zoneKey;
    city.longitude = (static_cast<float>(mx) + 0.5f) * 360.0f / 1024.0f - 180.0f;
    city.latitude = (512.0f - static_cast<float>(my) + 0.5f) * 180.0f / 512.0f - 90.0f;
    return city;
}

} // namespace chronvale::test
