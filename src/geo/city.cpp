#include "geo/city.h"

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "core/text_scan.h"

namespace chronvale {

namespace {

// Splits the name field: the name is everything before its last "(", the state
// the text after its first "(" up to the next ")" (or the end of the field).
void splitNameAndState(std::string_view field, CityRecord& city) {
    std::size_t firstParen = field.find('(');
    if (firstParen == std::string_view::npos) {
        city.name = field;
        return;
    }
    std::string_view afterParen = field.substr(firstParen + 1);
    city.state = std::string(afterParen.substr(0, afterParen.find(')')));
    city.name = field.substr(0, field.rfind('('));
}

} // namespace

CityList parseCityDatabase(std::string_view text) {
    CityList cities;
    std::size_t pos = 0;
    for (;;) {
        pos = skipFieldSpace(text, pos);
        if (pos >= text.size()) {
            break;
        }
        if (cities.size() > maxCityRecords) {
            break; // the loader rejects the table
        }
        CityRecord& city = cities.emplace_back();

        // Zone key: up to the next TAB, or the rest of the text without one.
        city.zoneKey = textUpTo(text, '\t', pos);
        pos += city.zoneKey.size();

        // Latitude and longitude; each is followed by a TAB, searched across
        // line ends. Without one the parse ends, keeping this partial record.
        pos = skipFieldSpace(text, pos);
        city.latitude = readFloat(text, pos);
        pos = findFrom(text, '\t', pos);
        if (pos == std::string_view::npos) {
            break;
        }
        pos = skipFieldSpace(text, pos);
        city.longitude = readFloat(text, pos);
        pos = findFrom(text, '\t', pos);
        if (pos == std::string_view::npos) {
            break;
        }

        // Name field: up to the next CR. The next record starts after the first
        // LF that follows the start of this field.
        pos = skipFieldSpace(text, pos);
        splitNameAndState(textUpTo(text, '\r', pos), city);
        pos = findFrom(text, '\n', pos);
        if (pos == std::string_view::npos) {
            break;
        }
    }
    return cities;
}

CityList loadCityDatabase(const std::string& path, LoadErrorSink& errors) {
    CityList cities = loadPackedTable(path, "location.dat", errors, &parseCityDatabase);
    if (cities.size() > maxCityRecords) {
        errors.unableToLoad("location.dat");
        return {};
    }
    return cities;
}

} // namespace chronvale
