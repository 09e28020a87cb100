#pragma once
// What the image server says about the data it serves, and how old that data
// is, in words for the map and the status bar.
//
// The server appends <source credit="..." problem="..." updated="T"/> to the
// frame list, the newest check and the earthquake list; clients that know only
// the image and QUAKE elements pass over it.

#include "net/net_texts.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

inline constexpr NetText kTextAgeHours{30170, "%s UTC, %s h ago"};
inline constexpr NetText kTextAgeMinutes{30171, "%s UTC, %s min ago"};
inline constexpr NetText kTextCloudsOld{30172, "Clouds %s h old."};
inline constexpr NetText kTextQuakesOld{30173, "Earthquakes %s h old."};
inline constexpr NetText kTextServerSays{30174, "Server: %s"};
inline constexpr NetText kTextCloudsMissing{30175, "No clouds yet."};
inline constexpr NetText kTextQuakesMissing{30176, "No earthquake list yet."};

// Data older than this is called old in the status bar.
inline constexpr std::time_t kOldDataSeconds = 6 * 3600;

struct DataSource {
    std::string credit;      // to be shown with the data ("Contains modified EUMETSAT data ...")
    std::string problem;     // why nothing newer came, in the server's words; empty: none
    std::time_t updated = 0; // when the server stored the data; 0: not said
};

// The first source element of a reply body; none when it has none.
std::optional<DataSource> readDataSource(std::string_view body);

// The UTC time of a frame time stamp YYYYMMDDHH[MM[SS]]; none when it is not one.
std::optional<std::time_t> frameTime(std::string_view timeStamp);

// "14:00 UTC, 3 h ago" (minutes below an hour); none for a bad time stamp.
std::optional<std::string> ageText(std::time_t when, std::time_t now, TextProvider& texts);

// The status text when data of `when` is more than kOldDataSeconds old:
// "Clouds 8 h old." and what the server said; none while it is newer. `oldText` is kTextCloudsOld
// or kTextQuakesOld.
std::optional<std::string> oldDataText(const NetText& oldText, std::time_t when,
                                       const std::string& problem, std::time_t now,
                                       TextProvider& texts);

// The status text when there is no data at all and the server says why ("No
// clouds yet." and what it said), so that a source failing from the first start
// is not silent; none when the server names no problem. `missingText` is
// kTextCloudsMissing or kTextQuakesMissing.
std::optional<std::string> missingDataText(const NetText& missingText, const std::string& problem,
                                           TextProvider& texts);

} // namespace chronvale
