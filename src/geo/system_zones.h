#pragma once
// The system's time-zone database: the zoneinfo folder the C library reads
// ($TZDIR, else /usr/share/zoneinfo), its compiled zones loaded on first use and
// kept, and the version of the database it holds.

#include "geo/tzif.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

// The folder the C library takes: TZDIR when set and not empty, else
// /usr/share/zoneinfo.
std::string systemZoneinfoFolder();

// A zone name safe to join to the folder: "Area/Place" of letters, digits and
// "_+-", no empty part, no "." or ".." part, at most 255 bytes.
bool isSafeZoneName(std::string_view name);

// The "# version 2026f" line of tzdata.zi's text; none without one.
std::optional<std::string> tzdataVersionOf(std::string_view text);

class SystemZones {
public:
    // The folder is read lazily; nothing is checked here.
    explicit SystemZones(std::string folder = systemZoneinfoFolder());

    const std::string& folder() const { return folder_; }

    // The zone of that name, loaded on first use; nullptr when the name is not
    // safe, or the file is missing, too large or not a valid TZif file (the
    // answer is kept either way).
    const TzifZone* zone(std::string_view name);

    // The database's version from tzdata.zi; none when it has no such file.
    std::optional<std::string> version() const;

    // Whether the folder holds a readable UTC zone: false means no database.
    bool available();

private:
    std::string folder_;
    std::map<std::string, std::unique_ptr<TzifZone>, std::less<>> zones_;
};

} // namespace chronvale
