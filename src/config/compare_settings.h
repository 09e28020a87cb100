#pragma once
// What the Compare Times panel keeps between runs, in config.ini beside the
// marks, on keys of their own that older versions pass over:
//
//   P=1,0,1,60                       shown, UTC row, Here row, least overlap in minutes
//   R=Springfield,-89<TAB>540,1020,0111110
//                                    one per compared city, in the panel's order:
//                                    the city as in "M=", then its working hours
//                                    (start and end in minutes after midnight, the
//                                    working days from Sunday)

#include "geo/city.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

struct CompareRowSetting {
    std::size_t city = 0; // index into the city list
    int startMinute = 9 * 60;
    int endMinute = 17 * 60;  // at or before the start: the next day
    std::uint8_t days = 0x3E; // bit d: weekday d (0 = Sunday) is a working day
};

struct CompareSettings {
    bool shown = false;
    bool utcRow = false;
    bool hereRow = true;
    int overlapMinutes = 60;
    std::vector<CompareRowSetting> rows; // in the panel's order
};

// The "P=" line (none while every value is the default) and an "R=" line per row
// whose city is still marked.
std::string formatCompareLines(const CityList& cities, const CompareSettings& settings);

// Reads the "P=" and "R=" lines of config.ini's text into settings; a line that
// does not parse, or names no city, is passed over (the defaults stay).
void readCompareLines(std::string_view text, const CityList& cities, CompareSettings& settings);

} // namespace chronvale
