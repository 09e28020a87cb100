#include "app/cli/city_command.h"

#include "app/cli/city_tables.h"
#include "cityinfo/city_search.h"
#include "core/file_io.h"
#include "render/render_command.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace chronvale {

namespace {

// A batch file of names or instants: a few thousand lines at most in practice.
constexpr std::size_t kMaxBatchBytes = 4 * 1024 * 1024;

// The lines of a batch file, one name or instant a line (CR LF or LF, blank lines
// passed over).
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

constexpr std::size_t kFieldCount = 12;
using FieldValues = std::array<std::pair<const char*, std::string>, kFieldCount>;

// The labels (without the colon) and texts of a city's fields, in print order.
FieldValues fieldValues(const CityFacts& facts) {
    std::string zone = facts.zoneName;
    if (!facts.abbreviation.empty()) {
        zone += (zone.empty() ? "" : ", ") + facts.abbreviation;
    }
    zone = zone.empty() ? facts.utcOffset : zone + " (" + facts.utcOffset + ")";
    if (!zone.empty() && !facts.fromSystem) {
        zone += ", from the program's tables";
    }
    return {{
        {"City", facts.name},
        {"Country", facts.country},
        {"Dialling code", facts.diallingCode},
        {"Tel", facts.areaCodes},
        {"Local Time", facts.localTime},
        {"Time zone", zone},
        {"Sunrise", facts.sunrise},
        {"Sunset", facts.sunset},
        {"Latitude", facts.latitude},
        {"Longitude", facts.longitude},
        {"Started", facts.dstStarted},
        {"Ends", facts.dstEnds},
    }};
}

// Whether every field asked for is one cityClockFacts fills (City, Local Time,
// Time zone, Latitude, Longitude: their places in fieldValues).
bool clockFieldsOnly(const std::vector<std::size_t>& fields) {
    static constexpr std::array<std::size_t, 5> kClock{0, 4, 5, 8, 9};
    return std::all_of(fields.begin(), fields.end(), [](std::size_t field) {
        return std::find(kClock.begin(), kClock.end(), field) != kClock.end();
    });
}

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string cityFactsLines(const CityFacts& facts) {
    std::string lines;
    for (const auto& [label, value] : fieldValues(facts)) {
        lines += label;
        lines += ':';
        if (!value.empty()) {
            lines += ' ';
            lines += value;
        }
        lines += '\n';
    }
    return lines;
}

int runCityCommand(const std::string& name, std::time_t instant, const std::string& dataFolder,
                   std::ostream& out, std::ostream& err, bool systemZones) {
    return runCityCommand(CityQuery{name, instant, {}, {}, systemZones}, dataFolder, out, err);
}

int runCityCommand(const CityQuery& query, const std::string& dataFolder, std::ostream& out,
                   std::ostream& err) {
    std::vector<std::size_t> fields;
    const FieldValues labels = fieldValues(CityFacts{});
    for (const std::string& wanted : query.fields) {
        const auto found = std::find_if(labels.begin(), labels.end(), [&](const auto& field) {
            return sameIgnoringCase(field.first, wanted);
        });
        if (found == labels.end()) {
            err << "No field named '" << wanted << "'; the fields are:";
            for (const auto& field : labels) {
                err << ' ' << '\'' << field.first << '\'';
            }
            err << '\n';
            return 1;
        }
        fields.push_back(static_cast<std::size_t>(found - labels.begin()));
    }
    std::vector<std::time_t> instants{query.instant};
    if (!query.instantsFile.empty()) {
        const std::optional<std::string> text = readFileBytes(query.instantsFile, kMaxBatchBytes);
        if (!text) {
            err << "Cannot read the list of instants '" << query.instantsFile << "'\n";
            return 1;
        }
        instants.clear();
        for (const std::string& line : batchNames(*text)) {
            const std::optional<std::time_t> at = parseUtcTime(line);
            if (!at) {
                err << "Invalid time '" << line << "' in '" << query.instantsFile
                    << "': expected UTC as YYYY-MM-DDTHH:MM:SSZ\n";
                return 1;
            }
            instants.push_back(*at);
        }
    }
    const std::string& name = query.name;
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
        err << "No city named '" << (names.empty() ? name : names.front()) << "'\n";
        return 1;
    }
    const CityClock clock(tables, dataFolder, err, query.systemZones);

    // Each name is looked up once, whatever the number of instants.
    const CitySearch search(tables.cities);
    std::vector<std::size_t> cities;
    int status = 0;
    for (const std::string& wanted : names) {
        const std::vector<std::size_t> found = search.findBest(wanted);
        if (found.empty()) {
            err << "No city named '" << wanted << "'\n";
            status = 1;
        }
        cities.insert(cities.end(), found.begin(), found.end());
    }
    const bool clockOnly = !fields.empty() && clockFieldsOnly(fields);
    bool first = true;
    std::string line;
    for (const std::time_t at : instants) {
        for (const std::size_t index : cities) {
            const CityRecord& city = tables.cities[index];
            const CityFacts facts = clockOnly ? cityClockFacts(city, clock.clock(), at)
                                              : cityFacts(city, tables, clock.clock(), at);
            if (fields.empty()) {
                out << (first ? "" : "\n") << cityFactsLines(facts);
                first = false;
                continue;
            }
            const FieldValues values = fieldValues(facts);
            line.clear();
            for (std::size_t i = 0; i < fields.size(); ++i) {
                line += i == 0 ? "" : "\t";
                line += values[fields[i]].second;
            }
            line += '\n';
            out << line;
        }
    }
    return status;
}

} // namespace chronvale
