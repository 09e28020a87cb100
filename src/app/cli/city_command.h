#pragma once
// `chronvale --city NAME [--time T]`: the properties of a city as the city
// properties dialog shows them, one field per line, without a window.

#include "cityinfo/city_facts.h"

#include <ctime>
#include <ostream>
#include <string>

namespace chronvale {

// The lines of one city's fields: "City: …", "Country: …", "Dialling code: …",
// "Tel: …", "Local Time: …", "Sunrise: …", "Sunset: …", "Latitude: …",
// "Longitude: …", "Started: …", "Ends: …" (a label alone when its field is empty).
std::string cityFactsLines(const CityFacts& facts);

// Loads the tables and the time-zone image from the data folder and prints the
// cities that NAME stands for (the best matches of the city search, in file
// order, a blank line between them) to out. Returns 0; 1 after "No city named
// 'NAME'" (or a table that cannot be loaded) on err.
int runCityCommand(const std::string& name, std::time_t instant, const std::string& dataFolder,
                   std::ostream& out, std::ostream& err);

} // namespace chronvale
