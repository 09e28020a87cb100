#include "app/cli/info_report.h"

#include "app/cli/folders.h"
#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "render/detailed_earth.h"
#include "render/earth_image.h"
#include "render/local_clock.h"

#include <array>
#include <cstdio>
#include <optional>

namespace chronvale {

namespace {

std::string line(const char* format, auto... args) {
    std::array<char, 512> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, args...);
    return buffer.data();
}

} // namespace

std::string zoneDatabaseLines(const GeoTables& tables, const ZoneFiles& zoneFiles,
                              bool systemZones) {
    SystemZones system;
    LocalClock clock(&tables, &zoneFiles, &system);
    clock.setUseSystemDatabase(systemZones);
    std::string report;
    std::size_t cityZones = 0;
    std::size_t missing = 0;
    for (const CityRecord& city : tables.cities) {
        if (const std::string_view zone = zoneFiles.zoneOfCity(city); !zone.empty()) {
            ++cityZones;
            if (system.zone(zone) == nullptr) {
                ++missing;
            }
        }
    }
    report += line("City zones: %zu of %zu cities\n", cityZones, tables.cities.size());
    if (zoneFiles.raster.empty()) {
        report += "Zone map: none\n";
    } else {
        report += line("Zone map: %dx%d, %zu zones\n", zoneFiles.raster.width,
                       zoneFiles.raster.height, zoneFiles.raster.names.size());
    }
    const std::optional<std::string> version = system.version();
    report += line("Time-zone database: %s (%s)\n", system.folder().c_str(),
                   version ? ("version " + *version).c_str() : "no tzdata.zi version");
    switch (clock.source()) {
    case ClockSource::System:
        report += line("Local times: from the system's time-zone database (the program's tables "
                       "for %zu cities whose zone it lacks)\n",
                       missing);
        break;
    case ClockSource::SwitchedOff:
        report += "Local times: from the program's tables (the system database switched off)\n";
        break;
    case ClockSource::NoDatabase:
        report += "Local times: from the program's tables (fall-back: no time-zone database)\n";
        break;
    case ClockSource::NoZoneFiles:
        report += "Local times: from the program's tables (fall-back: the zone files did not "
                  "load)\n";
        break;
    }
    return report;
}

InfoReport infoReport(const Folders& folders, bool systemZones) {
    const std::string data = folders.data.toStdString();
    std::string report;
    report += line("Data folder: %s\n", data.c_str());
    report += line("User folder: %s%s\n", folders.user.toStdString().c_str(),
                   folders.portable ? " (portable)" : "");

    RecordingLoadErrorSink errors;
    const GeoTables tables = loadGeoTables(data, errors);
    report += line("Cities: %zu\n", tables.cities.size());
    report += line("Time zones: %zu\n", tables.zones.size());
    report += line("Daylight-saving rules: %zu\n", tables.rules.size());
    report += line("Area codes: %zu\n", tables.areaCodes.size());

    for (const char* name :
         {"images/earth_day.bmp", "images/earth_night.bmp", "images/earth_tz.bmp"}) {
        const ImagePtr image = loadImage(data + "/" + name);
        if (image) {
            report += line("Image %s: %dx%d, %d bits\n", name, image->width(), image->height(),
                           image->bitsPerPixel());
        } else {
            errors.unableToLoad(name);
        }
    }
    const ZoneFiles zoneFiles = loadZoneFiles(data, tables.cities);
    report += zoneDatabaseLines(tables, zoneFiles, systemZones);
    // The high-resolution images: a missing, broken or wrongly sized one is a load
    // error too (the window then uses the 1024 x 512 image).
    for (const char* name : {kDetailedDayImageName, kDetailedNightImageName}) {
        if (loadDetailedImage(data + "/" + name)) {
            report += line("Image %s: %dx%d\n", name, kDetailedWidth, kDetailedHeight);
        } else {
            errors.unableToLoad(name);
        }
    }
    for (const std::string& file : errors.files) {
        report += unableToLoadText(file) + "\n";
    }
    // The zone files' failures do not fail --info: the program falls back.
    for (const std::string& error : zoneFiles.errors) {
        report += error + "\n";
    }
    return {report, errors.files.empty()};
}

} // namespace chronvale
