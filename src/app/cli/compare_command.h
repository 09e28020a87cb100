#pragma once
// `chronvale --compare "London,New York,Tokyo" [--time T] [--overlap [--hours H]]`:
// the cities side by side at an instant (local date and time, offset from UTC,
// day or night, in or out of working hours) and, with --overlap, the next
// stretch when all of them are at work, without a window.

#include <ctime>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace chronvale {

struct CompareOptions {
    std::vector<std::string> names;  // as typed, blanks around each removed
    std::optional<std::time_t> time; // none: now
    bool overlap = false;
    int overlapMinutes = 60; // --hours, 1 minute ... 24 hours
};

// The city names of "London, New York,Tokyo"; none when the text holds no name
// or an empty one ("London,,Tokyo").
std::optional<std::vector<std::string>> splitCityNames(const std::string& text);

// The minutes of an --hours value ("1", "1.5", "0.25"); none outside 1 minute
// ... 24 hours or for anything that is not a decimal number.
std::optional<int> overlapMinutesOf(const std::string& text);

// Loads the tables and the time-zone image from the data folder and prints the
// rows (and the overlap) to out. Returns 0; 1 after "No city named 'NAME'" (or a
// table that cannot be loaded) on err. systemZones false takes every local time
// from the shipped tables (the user's choice in Preferences).
int runCompareCommand(const CompareOptions& options, std::time_t now, const std::string& dataFolder,
                      std::ostream& out, std::ostream& err, bool systemZones = true);

} // namespace chronvale
