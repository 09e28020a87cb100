#include "app/cli/city_command.h"

#include "app/cli/city_tables.h"
#include "cityinfo/city_search.h"
#include "core/file_io.h"

#include <array>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace chronvale {

namespace {

// A batch file of names: a few thousand lines at most in practice.
constexpr std::size_t kMaxBatchBytes = 4 * 1024 * 1024;

// The names of a batch file, one a line (CR LF or LF, blank lines passed over).
std::vector<std::string> batchNames(std::string_view text) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(pos, end - pos);
        pos = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (!line.empty()) {
            names.emplace_back(line);
        }
    }
    return names;
}

} // namespace

std::string cityFactsLines(const CityFacts& facts) {
    std::string zone = facts.zoneName;
    if (!facts.abbreviation.empty()) {
        zone += (zone.empty() ? "" : ", ") + facts.abbreviation;
    }
    zone = zone.empty() ? facts.utcOffset : zone + " (" + facts.utcOffset + ")";
    if (!zone.empty() && !facts.fromSystem) {
        zone += ", from the program's tables";
    }
    const std::array<std::pair<const char*, const std::string*>, 12> fields{{
        {"City:", &facts.name},
        {"Country:", &facts.country},
        {"Dialling code:", &facts.diallingCode},
        {"Tel:", &facts.areaCodes},
        {"Local Time:", &facts.localTime},
        {"Time zone:", &zone},
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
                   std::ostream& out, std::ostream& err, bool systemZones) {
    std::vector<std::string> names{name};
    if (!name.empty() && name.front() == '@') {
        const std::string path = name.substr(1);
        const std::optional<std::string> text = readFileBytes(path, kMaxBatchBytes);
        if (!text) {
            err << "Cannot read the list of cities '" << path << "'\n";
            return 1;
        }
        names = batchNames(*text);
    }
    const GeoTables tables = loadCityTables(dataFolder, err);
    if (tables.cities.empty()) {
        err << "No city named '" << names.front() << "'\n";
        return 1;
    }
    const CityClock clock(tables, dataFolder, err, systemZones);

    const CitySearch search(tables.cities);
    bool first = true;
    int status = 0;
    for (const std::string& wanted : names) {
        const std::vector<std::size_t> found = search.findBest(wanted);
        if (found.empty()) {
            err << "No city named '" << wanted << "'\n";
            status = 1;
            continue;
        }
        for (std::size_t index : found) {
            if (!first) {
                out << '\n';
            }
            first = false;
            out << cityFactsLines(cityFacts(tables.cities[index], tables, clock.clock(), instant));
        }
    }
    return status;
}

} // namespace chronvale
