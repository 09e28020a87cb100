#include "app/cli/city_tables.h"

#include "core/load_errors.h"
#include "render/compositor.h"

namespace chronvale {

GeoTables loadCityTables(const std::string& dataFolder, std::ostream& err) {
    RecordingLoadErrorSink errors;
    GeoTables tables = loadGeoTables(dataFolder, errors);
    for (const std::string& file : errors.files) {
        err << unableToLoadText(file) << " (data folder '" << dataFolder << "')\n";
    }
    return tables;
}

CityClock::CityClock(const GeoTables& tables, const std::string& dataFolder, std::ostream& err,
                     bool systemZones)
    : zoneImage_(loadImage(dataFolder + "/" + kTimeZoneImageName)),
      zoneFiles_(loadZoneFiles(dataFolder, tables.cities)), clock_(&tables, &zoneFiles_, &system_) {
    if (!zoneImage_) {
        err << unableToLoadText(kTimeZoneImageName) << " (data folder '" << dataFolder << "')\n";
    }
    clock_.setZoneImage(zoneImage_.get());
    clock_.setUseSystemDatabase(systemZones);
}

} // namespace chronvale
