#include "geo/zone_files.h"

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "geo/system_zones.h"

#include <charconv>

namespace chronvale {

namespace {

// Splits the text into lines at LF, each without its CR.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    std::optional<std::string_view> next() {
        if (pos_ >= text_.size()) {
            return std::nullopt;
        }
        std::size_t end = text_.find('\n', pos_);
        if (end == std::string_view::npos) {
            end = text_.size();
        }
        std::string_view line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }
    // Only empty lines are left.
    bool atEnd() {
        while (pos_ < text_.size()) {
            if (const auto line = next(); line && !line->empty()) {
                return false;
            }
        }
        return true;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<long> parseNumber(std::string_view text, long low, long high) {
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// The runs of one row, appended to cells; false when they do not cover the row.
bool parseRow(std::string_view row, int width, std::size_t nameCount,
              std::vector<std::uint16_t>& cells) {
    long covered = 0;
    std::size_t pos = 0;
    while (pos < row.size()) {
        std::size_t end = row.find(' ', pos);
        if (end == std::string_view::npos) {
            end = row.size();
        }
        const std::string_view run = row.substr(pos, end - pos);
        pos = end + 1;
        const std::size_t star = run.find('*');
        const auto index = parseNumber(run.substr(0, star), 0, static_cast<long>(nameCount) - 1);
        const auto length = star == std::string_view::npos
                                ? std::optional<long>(1)
                                : parseNumber(run.substr(star + 1), 1, width - covered);
        if (!index || !length) {
            return false;
        }
        cells.insert(cells.end(), static_cast<std::size_t>(*length),
                     static_cast<std::uint16_t>(*index));
        covered += *length;
    }
    return covered == width;
}

} // namespace

const std::string* ZoneRaster::zoneAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height || cells.empty()) {
        return nullptr;
    }
    const std::uint16_t index =
        cells[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
              static_cast<std::size_t>(x)];
    return index < names.size() ? &names[index] : nullptr;
}

std::optional<ZoneRaster> parseZoneRaster(std::string_view text) {
    Lines lines(text);
    const auto header = lines.next();
    if (!header) {
        return std::nullopt;
    }
    const std::size_t tab1 = header->find('\t');
    const std::size_t tab2 = tab1 == std::string_view::npos ? tab1 : header->find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos) {
        return std::nullopt;
    }
    const auto width = parseNumber(header->substr(0, tab1), 1, maxZoneRasterSide);
    const auto height =
        parseNumber(header->substr(tab1 + 1, tab2 - tab1 - 1), 1, maxZoneRasterSide);
    const auto count =
        parseNumber(header->substr(tab2 + 1), 1, static_cast<long>(maxZoneRasterNames));
    if (!width || !height || !count) {
        return std::nullopt;
    }
    ZoneRaster raster;
    raster.width = static_cast<int>(*width);
    raster.height = static_cast<int>(*height);
    for (long i = 0; i < *count; ++i) {
        const auto name = lines.next();
        if (!name || !isSafeZoneName(*name)) {
            return std::nullopt;
        }
        raster.names.emplace_back(*name);
    }
    for (long y = 0; y < *height; ++y) {
        const auto row = lines.next();
        if (!row || !parseRow(*row, raster.width, raster.names.size(), raster.cells)) {
            return std::nullopt;
        }
    }
    if (!lines.atEnd()) {
        return std::nullopt;
    }
    return raster;
}

std::optional<std::vector<std::string>> parseCityZones(std::string_view text,
                                                       const CityList& cities) {
    Lines lines(text);
    std::vector<std::string> zones;
    zones.reserve(cities.size());
    for (const CityRecord& city : cities) {
        const auto line = lines.next();
        if (!line) {
            return std::nullopt;
        }
        const std::size_t tab = line->find('\t');
        if (tab == std::string_view::npos) {
            return std::nullopt;
        }
        const std::string_view zone = line->substr(0, tab);
        const std::string_view field = line->substr(tab + 1);
        // The name as location.dat's parse splits it: before the last "(".
        const std::string_view name = field.substr(0, field.rfind('('));
        if (name != city.name || (!zone.empty() && !isSafeZoneName(zone))) {
            return std::nullopt;
        }
        zones.emplace_back(zone);
    }
    if (!lines.atEnd()) {
        return std::nullopt;
    }
    return zones;
}

std::string_view ZoneFiles::zoneOfCity(const CityRecord& city) const {
    if (cities == nullptr || cities->empty() || cityZones.size() != cities->size()) {
        return {};
    }
    const CityRecord* first = cities->data();
    if (&city < first || &city >= first + cities->size()) {
        return {};
    }
    return cityZones[static_cast<std::size_t>(&city - first)];
}

ZoneFiles loadZoneFiles(const std::string& dataFolder, const CityList& cities) {
    const std::string prefix = dataFolder.empty() ? std::string() : dataFolder + "/";
    ZoneFiles files;
    files.cities = &cities;
    const auto fail = [&](const char* name, const char* reason) {
        files.errors.push_back(unableToLoadText(name) + " (" + reason + ")");
    };
    if (const auto text = loadPackedTextFile(prefix + kCityZonesName); !text) {
        fail(kCityZonesName, "missing or not a packed file");
    } else if (auto zones = parseCityZones(*text, cities); !zones) {
        fail(kCityZonesName, "does not match location.dat");
    } else {
        files.cityZones = std::move(*zones);
    }
    if (const auto text = loadPackedTextFile(prefix + kZoneMapName); !text) {
        fail(kZoneMapName, "missing or not a packed file");
    } else if (auto parsed = parseZoneRaster(*text); !parsed) {
        fail(kZoneMapName, "malformed");
    } else {
        files.raster = std::move(*parsed);
    }
    return files;
}

} // namespace chronvale
