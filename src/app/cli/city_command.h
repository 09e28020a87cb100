#pragma once
// `chronvale --city NAME [--time T]`: the properties of a city as the city
// properties dialog shows them, one field per line, without a window. The local
// times come from the system's time-zone database where it has the city's zone.
// `--city @FILE` does the same for every name of FILE, one a line.

#include "cityinfo/city_facts.h"

#include <ctime>
#include <ostream>
#include <string>

namespace chronvale {

// The lines of one city's fields: "City: …", "Country: …", "Dialling code: …",
// "Tel: …", "Local Time: …", "Time zone: …" (IANA zone, abbreviation, offset;
// the offset and ", from the program's tables" on the fall-back), "Sunrise: …", "Sunset: …",
// "Latitude: …", "Longitude: …", "Started: …", "Ends: …" (a label alone when its field is empty).
std::string cityFactsLines(const CityFacts& facts);

// Loads the tables and the time-zone image from the data folder and prints the
// cities that NAME stands for (the best matches of the city search, in file
// order, a blank line between them) to out. Returns 0; 1 after "No city named
// 'NAME'" (or a table that cannot be loaded) on err. A NAME "@FILE" stands for
// each line of FILE in turn (blank lines passed over); a name not found is
// reported and the others still printed, and the status is 1. systemZones false
// takes every local time from the shipped tables (the user's choice in Preferences).
int runCityCommand(const std::string& name, std::time_t instant, const std::string& dataFolder,
                   std::ostream& out, std::ostream& err, bool systemZones = true);

} // namespace chronvale
