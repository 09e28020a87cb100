#pragma once
// `chronvale --city NAME [--time T]`: the properties of a city as the city
// properties dialog shows them, one field per line, without a window. The local
// times come from the system's time-zone database where it has the city's zone.
// `--city @FILE` does the same for every name of FILE, one a line; `--time @FILE`
// for every instant of FILE in turn; `--fields A,B` prints only those fields, a
// line a city, for scripts that check many cities at many instants.

#include "cityinfo/city_facts.h"

#include <ctime>
#include <ostream>
#include <string>
#include <vector>

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

struct CityQuery {
    std::string name;                // NAME or @FILE
    std::time_t instant = 0;         // without an instants file
    std::string instantsFile;        // one UTC instant a line (as --time); empty: `instant`
    std::vector<std::string> fields; // labels without the colon, any case; empty: all
    bool systemZones = true;         // false: the shipped tables' local times
};

// As above for each instant of the file in turn (every city at the first, then
// every city at the next ...). With fields, each city is one line: the values of
// those fields in the order given, separated by tabs; only the name, position
// and clock are computed when those are all the fields asked for. An instant
// that is no UTC time or a label that names no field: said on err, status 1,
// nothing printed.
int runCityCommand(const CityQuery& query, const std::string& dataFolder, std::ostream& out,
                   std::ostream& err);

} // namespace chronvale
