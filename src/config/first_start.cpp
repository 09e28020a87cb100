#include "config/first_start.h"

#include "core/text_scan.h"

#include <string>

namespace chronvale {

namespace {

// Text with the blanks at both ends removed.
std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// The whole text as a decimal integer (optional sign, digits); none otherwise.
std::optional<int> wholeInteger(std::string_view text) {
    text = trimmed(text);
    std::size_t pos = 0;
    const int value = readInteger(text, pos);
    if (pos == 0 || pos != text.size()) {
        return std::nullopt;
    }
    return value;
}

// The first city whose name (blanks at its ends aside, which the table keeps
// before the state) equals `name` ignoring case and whose longitude truncates to
// `longitude`.
CityRecord* findCity(CityList& cities, std::string_view name, int longitude) {
    for (CityRecord& city : cities) {
        if (truncateToInt(city.longitude) == longitude &&
            equalsIgnoringCase(trimmed(city.name), name)) {
            return &city;
        }
    }
    return nullptr;
}

// An entry "name,longitude": the city it names, or none.
CityRecord* findMarkEntry(CityList& cities, std::string_view entry) {
    const std::size_t comma = entry.rfind(',');
    if (comma == std::string_view::npos) {
        return nullptr;
    }
    const std::optional<int> longitude = wholeInteger(entry.substr(comma + 1));
    const std::string_view name = trimmed(entry.substr(0, comma));
    if (!longitude || name.empty()) {
        return nullptr;
    }
    return findCity(cities, name, *longitude);
}

} // namespace

bool setDefaultSwitch(Settings& settings, std::string_view name, int value) {
    struct Switch {
        std::string_view name;
        bool DisplaySwitches::*field;
    };
    static constexpr Switch switches[] = {
        {"shadow", &DisplaySwitches::sunShadow},    {"cities", &DisplaySwitches::allCities},
        {"marked", &DisplaySwitches::markedCities}, {"grid", &DisplaySwitches::grid},
        {"day", &DisplaySwitches::dayMap},          {"night", &DisplaySwitches::nightMap},
        {"zones", &DisplaySwitches::timeZones},     {"clouds", &DisplaySwitches::clouds},
        {"quakes", &DisplaySwitches::earthquakes},  {"sunmoon", &DisplaySwitches::sunMoon},
        {"twilight", &DisplaySwitches::twilight},
    };
    for (const Switch& s : switches) {
        if (s.name == name) {
            settings.switches.*s.field = value != 0;
            return true;
        }
    }
    if (name == "track") {
        settings.switches.cityNames = value;
        return true;
    }
    if (name == "info" || name == "loop") {
        (name == "info" ? settings.showInfo : settings.loopClouds) = value != 0;
        return true;
    }
    return false;
}

int applyFirstStartDefaults(const LinkConfig& installation, Settings& settings, CityList& cities) {
    const std::string prefix = std::string(kFirstStartGroup) + "/";
    int marked = 0;
    for (const auto& [key, value] : installation.values) {
        if (key.size() <= prefix.size() || key.compare(0, prefix.size(), prefix) != 0) {
            continue;
        }
        const std::string_view name = std::string_view(key).substr(prefix.size());
        if (name == "marks") {
            std::string_view rest = value;
            while (!rest.empty()) {
                const std::size_t end = rest.find(';');
                const std::string_view entry = trimmed(rest.substr(0, end));
                rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
                if (CityRecord* city = findMarkEntry(cities, entry);
                    city != nullptr && !city->marked) {
                    city->marked = true;
                    ++marked;
                }
            }
            continue;
        }
        if (const std::optional<int> number = wholeInteger(value)) {
            setDefaultSwitch(settings, name, *number);
        }
    }
    return marked;
}

} // namespace chronvale
