#pragma once
// What a new user sees first: the values an installation writes for a user who
// has never run the program, taken from the [Defaults] group of the data
// folder's chronvale.ini (read with the other installation values, so keys
// arrive as "Defaults/<name>"). They apply only while the program's settings
// file does not exist yet; the Settings record keeps its own defaults otherwise.
//
//   [Defaults]
//   shadow=1                       a display switch by its stored name (0 off)
//   track=40                       City Names: the highlight radius
//   marks="London,0;Tokyo,139"     marked cities: name and whole degrees of longitude

#include "config/settings.h"
#include "geo/city.h"
#include "net/link_config.h"

#include <string_view>

namespace chronvale {

// The group of chronvale.ini that holds the first-start values.
inline constexpr std::string_view kFirstStartGroup = "Defaults";

// Sets the switch stored as `name` ("shadow", "cities", "marked", "track",
// "grid", "day", "night", "zones", "clouds", "quakes", "sunmoon", "twilight", "info", "loop") to
// value; false for any other name. The one place that knows where each switch lives.
bool setDefaultSwitch(Settings& settings, std::string_view name, int value);

// Applies every "Defaults/..." value of the installation: the switches through
// setDefaultSwitch and the marked cities of "marks" (entries "name,longitude"
// separated by ";": the first city of that whole name, ignoring case, whose
// longitude truncates toward zero to that number). Values that are not
// numbers, unknown names and cities that are not in the list are passed over.
// Returns how many cities were marked.
int applyFirstStartDefaults(const LinkConfig& installation, Settings& settings, CityList& cities);

} // namespace chronvale
