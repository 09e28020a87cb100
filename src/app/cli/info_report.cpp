#include "app/cli/info_report.h"

#include "app/cli/folders.h"
#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "render/detailed_earth.h"
#include "render/earth_image.h"

#include <array>
#include <cstdio>

namespace chronvale {

namespace {

std::string line(const char* format, auto... args) {
    std::array<char, 512> buffer{};
    std::snprintf(buffer.data(), buffer.size(), format, args...);
    return buffer.data();
}

} // namespace

InfoReport infoReport(const Folders& folders) {
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
    return {report, errors.files.empty()};
}

} // namespace chronvale
