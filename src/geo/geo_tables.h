#pragma once
// The four data tables of the installation, loaded together in their fixed order.

#include "geo/area_codes.h"
#include "geo/city.h"
#include "geo/dst.h"
#include "geo/time_zone.h"

#include <string>

namespace chronvale {

class LoadErrorSink;

struct GeoTables {
    CityList cities;
    ZoneTable zones;
    DstRuleTable rules;
    AreaCodeTable areaCodes;
};

// Loads location.dat, tz_data.dat, tz_dst.dat and areacode.dat from the data folder,
// in that order: the city list first, because everything after it may refer to
// cities. A table whose file cannot be read is reported to the sink and stays empty.
GeoTables loadGeoTables(const std::string& dataFolder, LoadErrorSink& errors);

} // namespace chronvale
