#pragma once
// `chronvale --info`: what the program finds and loads at start-up, as text.

#include <string>

namespace chronvale {

struct Folders;
struct GeoTables;
struct ZoneFiles;

struct InfoReport {
    std::string text;
    bool allLoaded = true; // every table and image was loaded
};

// Loads the four tables and the three earth images from the data folder in the
// start-up order and describes the folders, the counts, the image sizes and every
// file that could not be loaded ("Unable to load file '%s'"). A missing file is
// reported, not fatal: the program runs on with that table empty; allLoaded tells
// the caller, so that `--info` can exit non-zero. systemZones: the user's choice
// of local times (Preferences), which the lines about them follow.
InfoReport infoReport(const Folders& folders, bool systemZones = true);

// The lines about local times: how many cities carry a zone, the zone map, the
// system's zoneinfo folder and its version (tzdata.zi's "# version" line), and
// whether the times come from it or from the program's tables (and why).
std::string zoneDatabaseLines(const GeoTables& tables, const ZoneFiles& zoneFiles,
                              bool systemZones = true);

} // namespace chronvale
