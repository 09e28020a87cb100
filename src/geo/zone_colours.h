#pragma once
// The colours of the time-zone image and the standard offsets they stand for.
//
// The offset at a map point is not computed from zone boundaries but read from
// the colour of the time-zone image there. The table is searched in order and the
// first row whose colour matches wins, so the grey 181,181,181 always means -12
// (row 2) and never +12 (row 26). Any colour not in the table, the ocean among
// them, means 0.
//
// Rows 1 to 38 are the colours every time-zone image uses. Rows 39 to 41 add the
// zones that those colours do not cover or cannot be read back:
//   row 39: 140, 70, 20 (dark brown)   +14    hours, Line Islands (Kiritimati)
//   row 40: 96, 96, 192 (slate blue)   +8.75  hours, Eucla (Western Australia)
//   row 41: 64, 160, 96 (sea green)    +12    hours, New Zealand, Fiji, Kamchatka
//           (row 26 gives +12 the grey of row 2, which always reads as -12)
// No other row uses these three colours.

#include <cstdint>
#include <span>

namespace chronvale {

struct ZoneColour {
    std::uint8_t red;
    std::uint8_t green;
    std::uint8_t blue;
    float hours; // standard offset, hours east of UTC
};

// All rows in search order.
std::span<const ZoneColour> zoneColourTable();

// Hours of the first row with exactly this colour; 0 when no row matches.
float zoneOffsetForColour(std::uint8_t red, std::uint8_t green, std::uint8_t blue);

} // namespace chronvale
