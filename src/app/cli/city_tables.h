#pragma once
// What `--city` and `--compare` read from the data folder to tell a city's local
// time: the four tables, then the clock over them (the time-zone image of the
// fall-back, the cities' and the map's zones, the system's time-zone database).
// Each file that cannot be loaded is named on the error stream, with the folder.

#include "geo/geo_tables.h"
#include "geo/system_zones.h"
#include "geo/zone_files.h"
#include "render/earth_image.h"
#include "render/local_clock.h"

#include <ostream>
#include <string>

namespace chronvale {

// The tables of the data folder; a table that cannot be loaded is left empty.
GeoTables loadCityTables(const std::string& dataFolder, std::ostream& err);

// The local clock of the command line over `tables`, which must outlive it.
// Without the time-zone image every standard offset of the fall-back is 0, as
// in the window. `systemZones` false: the shipped tables alone, as the user chose.
class CityClock {
public:
    CityClock(const GeoTables& tables, const std::string& dataFolder, std::ostream& err,
              bool systemZones);
    CityClock(const CityClock&) = delete;
    CityClock& operator=(const CityClock&) = delete;

    const LocalClock& clock() const { return clock_; }

private:
    ImagePtr zoneImage_;
    ZoneFiles zoneFiles_;
    SystemZones system_;
    LocalClock clock_;
};

} // namespace chronvale
