#pragma once
// The longitudes the Preferences dialog offers for the middle of the wallpaper:
// Greenwich, the date line and each marked city, and which of them a stored
// longitude stands for.

#include "geo/city.h"

#include <optional>
#include <string>
#include <vector>

namespace chronvale {

struct CentreChoice {
    enum class Kind { Greenwich, DateLine, City, Other };
    Kind kind = Kind::Greenwich;
    std::string name;       // the city's name as the lists show it ("Paris (Ile-de-France)")
    float longitude = 0.0f; // degrees east
};

// Greenwich (0), the date line (180), then the marked cities in list order.
std::vector<CentreChoice> centreChoices(const CityList& cities);

// The choice a stored longitude stands for: exactly 0 is Greenwich, 180 or -180
// the date line, a marked city's longitude (to the four decimals the settings
// file keeps) that city, the first in list order. Any other longitude (a city
// that is no longer marked, a value written by hand) is kept as it is: none, and
// the dialog shows it as a choice of its own rather than move the picture.
std::optional<std::size_t> centreChoiceOf(float longitude,
                                          const std::vector<CentreChoice>& choices);

} // namespace chronvale
