#pragma once
// Small things many tests make: a city record.

#include "geo/city.h"

#include <string>

namespace chronvale::test {

inline CityRecord city(const std::string& name, float latitude, float longitude) {
    CityRecord record;
    record.name = name;
    record.latitude = latitude;
    record.longitude = longitude;
    return record;
}

} // namespace chronvale::test
