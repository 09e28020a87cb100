#include "geo/time_zone.h"

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "core/text_scan.h"
#include "geo/city.h"

namespace chronvale {

ZoneTable parseTimeZoneTable(std::string_view text) {
    ZoneTable zones;
    // The first line is a header.
    std::size_t pos = text.find('\n');
    if (pos == std::string_view::npos) {
        return zones;
    }
    for (;;) {
        pos = skipFieldSpace(text, pos);
        if (pos >= text.size()) {
            break;
        }
        if (zones.size() > maxZoneRecords) {
            break; // the loader rejects the table
        }
        TimeZoneRecord& zone = zones.emplace_back();

        zone.country = textUpTo(text, '\t', pos);
        pos += zone.country.size();

        pos = skipFieldSpace(text, pos);
        zone.firstNumber = readFloat(text, pos);
        if (!moveAfterTab(text, pos)) {
            break;
        }
        zone.secondNumber = readFloat(text, pos);
        if (!moveAfterTab(text, pos)) {
            break;
        }

        // Column 4 is an area/place name; only the place is the key.
        std::string_view zoneName = textUpTo(text, '\t', pos);
        std::size_t slash = zoneName.rfind('/');
        zone.zoneKey = slash == std::string_view::npos ? zoneName : zoneName.substr(slash + 1);
        pos += zoneName.size();

        // Columns 5 and 6 are ignored; column 7 is the rule name.
        if (!moveAfterTab(text, pos) || !moveAfterTab(text, pos) || !moveAfterTab(text, pos)) {
            break;
        }
        zone.ruleName = textUpTo(text, '\t', pos);
        pos = findFrom(text, '\n', pos);
        if (pos == std::string_view::npos) {
            break;
        }
    }
    return zones;
}

ZoneTable loadTimeZoneTable(const std::string& path, LoadErrorSink& errors) {
    ZoneTable zones = loadPackedTable(path, "tz_data.dat", errors, &parseTimeZoneTable);
    if (zones.size() > maxZoneRecords) {
        errors.unableToLoad("tz_data.dat");
        return {};
    }
    return zones;
}

const TimeZoneRecord* zoneOfCity(const CityRecord& city, const ZoneTable& zones) {
    if (city.zoneKey.empty()) {
        return nullptr;
    }
    // The first letters are compared before the whole key, which passes over
    // most zones with one compare.
    const char first = asciiUpper(city.zoneKey.front());
    for (const TimeZoneRecord& zone : zones) {
        if (!zone.zoneKey.empty() && asciiUpper(zone.zoneKey.front()) == first &&
            equalsIgnoringCase(zone.zoneKey, city.zoneKey)) {
            return &zone;
        }
    }
    return nullptr;
}

std::optional<std::string> countryOfCity(const CityRecord& city, const ZoneTable& zones) {
    const TimeZoneRecord* zone = zoneOfCity(city, zones);
    if (zone == nullptr) {
        return std::nullopt;
    }
    return zone->country;
}

} // namespace chronvale
