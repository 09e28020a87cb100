#include "app/cli/compare_command.h"

#include "app/cli/city_tables.h"
#include "cityinfo/city_facts.h"
#include "cityinfo/city_search.h"
#include "cityinfo/overlap_search.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace chronvale {

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

const char* phaseText(SkyPhase phase) {
    switch (phase) {
    case SkyPhase::Day:
        return "day";
    case SkyPhase::Twilight:
        return "twilight";
    case SkyPhase::Night:
        return "night";
    case SkyPhase::Unknown:
        break;
    }
    return "-";
}

// "Wed 10 Mar 2027 12:00" (the year left out when withYear is false).
std::string clockLine(const ClockReading& clock, bool withYear) {
    const CalendarNames names;
    char time[8];
    std::snprintf(time, sizeof time, "%02d:%02d", clock.hour, clock.minute);
    return names.weekdays[clock.weekday] + " " + (clock.day < 10 ? " " : "") +
           std::to_string(clock.day) + " " + names.months[clock.month - 1] + " " +
           (withYear ? std::to_string(clock.year) + " " : "") + time;
}

// Width in characters, not bytes, so that "Zürich" lines up.
std::size_t characters(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string padded(std::string text, std::size_t width) {
    const std::size_t count = characters(text);
    if (count < width) {
        text.append(width - count, ' ');
    }
    return text;
}

std::string lengthText(int minutes) {
    if (minutes % 60 == 0) {
        return std::to_string(minutes / 60) + (minutes == 60 ? " hour" : " hours");
    }
    return std::to_string(minutes) + " minutes";
}

void printOverlap(const std::vector<CompareRow>& rows, const Overlap& overlap, std::size_t width,
                  std::ostream& out) {
    out << padded("UTC", width) << "  " << clockLine(clockReading(overlap.start, 0), true) << " - "
        << clockLine(clockReading(overlap.end, 0), true) << '\n';
    for (std::size_t i : overlap.rows) {
        const CompareRow& row = rows[i];
        out << padded(row.label, width) << "  "
            << clockLine(clockReading(overlap.start, row.offset(overlap.start)), true) << " - "
            << clockLine(clockReading(overlap.end, row.offset(overlap.end)), true) << '\n';
    }
}

} // namespace

std::optional<std::vector<std::string>> splitCityNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        std::string name =
            trimmed(text.substr(start, comma == std::string::npos ? text.npos : comma - start));
        if (name.empty()) {
            return std::nullopt;
        }
        names.push_back(std::move(name));
        if (comma == std::string::npos) {
            break;
        }
        start = comma + 1;
    }
    return names;
}

std::optional<int> overlapMinutesOf(const std::string& text) {
    double hours = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, hours);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(hours)) {
        return std::nullopt;
    }
    const long minutes = std::lround(hours * 60.0);
    if (minutes < 1 || minutes > 24 * 60) {
        return std::nullopt;
    }
    return static_cast<int>(minutes);
}

int runCompareCommand(const CompareOptions& options, std::time_t now, const std::string& dataFolder,
                      std::ostream& out, std::ostream& err, bool systemZones) {
    const GeoTables tables = loadCityTables(dataFolder, err);
    const CityClock clock(tables, dataFolder, err, systemZones);

    const CitySearch search(tables.cities);
    std::vector<CompareRow> rows;
    std::size_t width = 4;
    for (const std::string& name : options.names) {
        const std::vector<std::size_t> found = search.findBest(name);
        if (found.empty()) {
            err << "No city named '" << name << "'\n";
            return 1;
        }
        // Equally good matches: the first in file order, as the map marks it.
        const CityRecord& city = tables.cities[found.front()];
        CompareRow row;
        row.label = std::string(trimmedCityName(city.name));
        row.offset = cityUtcOffset(city, clock.clock());
        row.place = GroundPoint{city.latitude, city.longitude};
        row.hours = WorkingHours{};
        width = std::max(width, characters(row.label));
        rows.push_back(std::move(row));
    }

    const std::time_t instant = options.time.value_or(now);
    out << padded("City", width) << "  " << padded("Local time", 27) << "  UTC offset  Sun       "
        << "Working hours (09:00-17:00 Mon-Fri)\n";
    for (const CompareRow& row : rows) {
        const RowReading reading = readRow(row, instant, 0);
        std::string time = clockLine(reading.clock, true);
        if (reading.dateShift != 0) {
            time += " (" + dateShiftText(reading.dateShift) + ")";
        }
        out << padded(row.label, width) << "  " << padded(time, 27) << "  "
            << padded(offsetText(reading.offsetSeconds), 10) << "  "
            << padded(phaseText(reading.phase), 8) << "  " << (reading.working ? "in" : "out")
            << '\n';
    }
    if (!options.overlap) {
        return out.good() ? 0 : 1;
    }

    const std::optional<Overlap> found =
        findOverlap(rows, {instant, options.overlapMinutes * 60, 14 * 86400});
    out << '\n';
    const std::string length = lengthText(options.overlapMinutes);
    if (found && found->complete) {
        out << "Next overlap of at least " << length << ":\n";
        printOverlap(rows, *found, width, out);
    } else {
        out << "No overlap of at least " << length << " within 14 days.\n";
        if (found) {
            out << "Best partial overlap (" << found->rows.size() << " of " << rows.size()
                << " cities):\n";
            printOverlap(rows, *found, width, out);
        } else {
            out << "No two of the cities share working hours within 14 days.\n";
        }
    }
    return out.good() ? 0 : 1;
}

} // namespace chronvale
