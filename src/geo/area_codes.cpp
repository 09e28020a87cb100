#include "geo/area_codes.h"

#include "core/load_errors.h"
#include "core/packed_file.h"
#include "core/text_scan.h"

namespace chronvale {

namespace {

// The text up to the next comma and the cursor moved past it and the field
// spaces after it; false when no comma is left (the text then runs to the end).
bool readCommaField(std::string_view text, std::size_t& pos, std::string& field) {
    field = textUpTo(text, ',', pos);
    std::size_t comma = findFrom(text, ',', pos);
    if (comma == std::string_view::npos) {
        return false;
    }
    pos = skipFieldSpace(text, comma + 1);
    return true;
}

} // namespace

AreaCodeTable parseAreaCodes(std::string_view text) {
    AreaCodeTable table;
    std::string currentCountry;
    std::size_t pos = 0;
    for (;;) {
        pos = skipFieldSpace(text, pos);
        if (pos >= text.size()) {
            break;
        }
        if (table.size() > maxAreaCodeRecords) {
            break; // the loader rejects the table
        }
        AreaCodeRecord& record = table.emplace_back();
        if (!readCommaField(text, pos, record.country)) {
            break;
        }
        if (record.country.starts_with('*') || record.country.starts_with('+')) {
            record.country = currentCountry;
            std::string& city = record.city.emplace();
            if (!readCommaField(text, pos, city)) {
                break;
            }
        } else {
            currentCountry = record.country;
        }
        // The code runs to the CR; a trailing comma (or anything after the last
        // comma) is cut off.
        std::string_view code = textUpTo(text, '\r', pos);
        std::size_t lastComma = code.rfind(',');
        record.code = lastComma == std::string_view::npos ? code : code.substr(0, lastComma);
        pos = findFrom(text, '\n', pos);
        if (pos == std::string_view::npos) {
            break;
        }
    }
    return table;
}

AreaCodeTable loadAreaCodes(const std::string& path, LoadErrorSink& errors) {
    AreaCodeTable table = loadPackedTable(path, "areacode.dat", errors, &parseAreaCodes);
    if (table.size() > maxAreaCodeRecords) {
        errors.unableToLoad("areacode.dat");
        return {};
    }
    return table;
}

std::string areaCodeText(const AreaCodeTable& table, std::string_view country,
                         std::string_view city, AreaCodeMode mode) {
    std::string result;
    for (const AreaCodeRecord& record : table) {
        if (!equalsIgnoringCase(record.country, country)) {
            continue;
        }
        if (mode == AreaCodeMode::country) {
            if (!record.city) {
                result += record.code;
            }
        } else if (record.city && equalsIgnoringCase(*record.city, city)) {
            result += result.empty() ? " " : ", ";
            result += record.code;
        }
    }
    return result;
}

} // namespace chronvale
