#include "app/cli/city_command.h"

#include "cityinfo/city_search.h"
#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "render/compositor.h"
#include "render/earth_image.h"

#include <array>
#include <utility>

namespace chronvale {

std::string cityFactsLines(const CityFacts& facts) {
    const std::array<std::pair<const char*, const std::string*>, 11> fields{{
        {"City:", &facts.name},
        {"Country:", &facts.country},
        {"Dialling code:", &facts.diallingCode},
        {"Tel:", &facts.areaCodes},
        {"Local Time:", &facts.localTime},
        {"Sunrise:", &facts.sunrise},
        {"Sunset:", &facts.sunset},
        {"Latitude:", &facts.latitude},
        {"Longitude:", &facts.longitude},
        {"Started:", &facts.dstStarted},
        {"Ends:", &facts.dstEnds},
    }};
    std::string lines;
    for (const auto& [label, value] : fields) {
        lines += label;
        if (!value->empty()) {
            lines += ' ';
            lines += *value;
        }
        lines += '\n';
    }
    return lines;
}

int runCityCommand(const std::string& name, std::time_t instant, const std::string& dataFolder,
                   std::ostream& out, std::ostream& err) {
    RecordingLoadErrorSink errors;
    const GeoTables tables = loadGeoTables(dataFolder, errors);
    for (const std::string& file : errors.files) {
        err << unableToLoadText(file) << " (data folder '" << dataFolder << "')\n";
    }
    if (tables.cities.empty()) {
        err << "No city named '" << name << "'\n";
        return 1;
    }
    // Without the image every standard offset is 0, as in the window.
    const ImagePtr zoneImage = loadImage(dataFolder + "/" + kTimeZoneImageName);
    if (!zoneImage) {
        err << unableToLoadText(kTimeZoneImageName) << " (data folder '" << dataFolder << "')\n";
    }

    const CitySearch search(tables.cities);
    const std::vector<std::size_t> found = search.findBest(name);
    if (found.empty()) {
        err << "No city named '" << name << "'\n";
        return 1;
    }
    bool first = true;
    for (std::size_t index : found) {
        const CityRecord& city = tables.cities[index];
        if (!first) {
            out << '\n';
        }
        first = false;
        out << cityFactsLines(
            cityFacts(city, tables, zoneHoursOfCity(city, zoneImage.get()), instant));
    }
    return 0;
}

} // namespace chronvale
