#include "config/compare_settings.h"

#include "config/config_file.h"
#include "core/text_scan.h"

#include <charconv>
#include <optional>

namespace chronvale {

namespace {

// The comma-separated whole numbers of text, none when any is not one.
std::optional<std::vector<int>> numbers(std::string_view text) {
    std::vector<int> values;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        int value = 0;
        const char* first = text.data() + start;
        const char* last = text.data() + comma;
        const auto [end, error] = std::from_chars(first, last, value);
        if (first == last || error != std::errc() || end != last) {
            return std::nullopt;
        }
        values.push_back(value);
        start = comma + 1;
    }
    return values;
}

std::optional<std::uint8_t> days(std::string_view text) {
    if (text.size() != 7) {
        return std::nullopt;
    }
    std::uint8_t bits = 0;
    for (std::size_t d = 0; d < 7; ++d) {
        if (text[d] != '0' && text[d] != '1') {
            return std::nullopt;
        }
        bits = static_cast<std::uint8_t>(bits | (text[d] == '1' ? 1u << d : 0u));
    }
    return bits;
}

void readRowLine(std::string_view text, const CityList& cities, CompareSettings& settings) {
    const std::size_t tab = text.find('\t');
    const std::size_t secondTab = text.find('\t', tab + 1);
    if (tab == std::string_view::npos || secondTab == std::string_view::npos) {
        return;
    }
    const CityRecord* city = findMarkedCity(cities, text.substr(0, tab));
    const auto hours = numbers(text.substr(tab + 1, secondTab - tab - 1));
    const auto workingDays = days(text.substr(secondTab + 1));
    if (city == nullptr || !hours || hours->size() != 2 || !workingDays) {
        return;
    }
    const int start = (*hours)[0];
    const int end = (*hours)[1];
    if (start < 0 || start >= 1440 || end < 0 || end >= 1440) {
        return;
    }
    const std::size_t index = static_cast<std::size_t>(city - cities.data());
    for (const CompareRowSetting& row : settings.rows) {
        if (row.city == index) {
            return; // a city has one row
        }
    }
    settings.rows.push_back({index, start, end, *workingDays});
}

void readPanelLine(std::string_view text, CompareSettings& settings) {
    const auto values = numbers(text);
    if (!values || values->size() != 4 || (*values)[3] < 1 || (*values)[3] > 1440) {
        return;
    }
    settings.shown = (*values)[0] != 0;
    settings.utcRow = (*values)[1] != 0;
    settings.hereRow = (*values)[2] != 0;
    settings.overlapMinutes = (*values)[3];
}

} // namespace

std::string formatCompareLines(const CityList& cities, const CompareSettings& settings) {
    std::string text;
    // A panel never changed from its defaults adds nothing to the file.
    const CompareSettings defaults;
    if (settings.shown != defaults.shown || settings.utcRow != defaults.utcRow ||
        settings.hereRow != defaults.hereRow ||
        settings.overlapMinutes != defaults.overlapMinutes) {
        text = "P=" + std::to_string(settings.shown ? 1 : 0) + "," +
               std::to_string(settings.utcRow ? 1 : 0) + "," +
               std::to_string(settings.hereRow ? 1 : 0) + "," +
               std::to_string(settings.overlapMinutes) + "\n";
    }
    for (const CompareRowSetting& row : settings.rows) {
        if (row.city >= cities.size() || !cities[row.city].marked) {
            continue;
        }
        const CityRecord& city = cities[row.city];
        std::string dayDigits(7, '0');
        for (std::size_t d = 0; d < 7; ++d) {
            dayDigits[d] = (row.days & (1u << d)) != 0 ? '1' : '0';
        }
        text += "R=" + city.name + "," + std::to_string(truncateToInt(city.longitude)) + "\t" +
                std::to_string(row.startMinute) + "," + std::to_string(row.endMinute) + "\t" +
                dayDigits + "\n";
    }
    return text;
}

void readCompareLines(std::string_view text, const CityList& cities, CompareSettings& settings) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) {
            line.remove_suffix(1);
        }
        if (line.size() < 2 || line[1] != '=') {
            continue;
        }
        if (line[0] == 'P') {
            readPanelLine(line.substr(2), settings);
        } else if (line[0] == 'R') {
            readRowLine(line.substr(2), cities, settings);
        }
    }
}

} // namespace chronvale
