#include "geo/geo_tables.h"

namespace chronvale {

GeoTables loadGeoTables(const std::string& dataFolder, LoadErrorSink& errors) {
    const std::string prefix = dataFolder.empty() ? std::string() : dataFolder + "/";
    GeoTables tables;
    tables.cities = loadCityDatabase(prefix + "location.dat", errors);
    tables.zones = loadTimeZoneTable(prefix + "tz_data.dat", errors);
    tables.rules = loadDstRules(prefix + "tz_dst.dat", errors);
    tables.areaCodes = loadAreaCodes(prefix + "areacode.dat", errors);
    return tables;
}

} // namespace chronvale
