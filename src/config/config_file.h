#pragma once
// config.ini in the user folder: the marked cities and the cached cloud frames.
//
//   version=2.00.001
//   product=Quillmar Chronvale
//   M=Springfield,-89          one line per marked city: name, whole degrees of longitude
//   L=Springfield,-89<TAB>Mum  the user's label of a city, after its "M=" line
//   C=path,m,t,s,q             one line per cloud frame that has a time stamp t
//
// Lines end in LF; reading also accepts CR LF and ignores every other line.

#include "geo/city.h"
#include "net/cloud_frame.h"

#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace chronvale {

// The whole file: version and product lines, then the marked cities in list
// order, then the frames 0 to 11 that have a time stamp.
std::string formatConfigFile(const CityList& cities, const CloudFrameTable& frames);

// "M=name,longitude" with the longitude truncated toward zero.
std::string formatMarkedCityLine(const CityRecord& city);

// "L=name,longitude<TAB>label"; empty for a city without a label. A program that
// does not know the key passes the line over and keeps reading the marks.
std::string formatCityLabelLine(const CityRecord& city);

// The label as it is kept: control characters (TAB, CR, LF among them) removed,
// blanks at either end trimmed, at most kMaxCityLabelBytes bytes of UTF-8 cut at a
// character's start.
inline constexpr std::size_t kMaxCityLabelBytes = 100;
std::string storableCityLabel(std::string_view text);

// "C=path,m,t,s,q"; a missing path or m is written empty. The frame's failures are
// not kept.
std::string formatFrameLine(const CloudFrame& frame);

// Marks the cities of the "M=" lines, labels those of the "L=" lines, and fills the frames, from
// frame 0 on, with the first twelve "C=" lines. Lines longer than 999 characters are read in pieces
// of 999, each handled as a line.
void readConfigFile(std::string_view text, CityList& cities, CloudFrameTable& frames);

// The city an "M=" line names (text: what follows "M="): the first in list order
// whose longitude truncates to the number after the line's last comma and whose
// whole name, ignoring case, starts the text. None when no city matches.
CityRecord* findMarkedCity(CityList& cities, std::string_view text);
const CityRecord* findMarkedCity(const CityList& cities, std::string_view text);

// The frame of a "C=" line (text: what follows "C="). An empty field reads as none,
// and so does a time stamp that is not one (it names a file in the cache folder).
CloudFrame parseFrameLine(std::string_view text);

// Replaces the file at path by bytes without a moment in which neither the old
// nor the new file is complete: writes path + ".tmp", flushes it to disk and
// renames it over path. beforeRename, when given, runs between the two and can
// refuse (tests use it to fail there). False on failure; the old file is then
// untouched and the temporary file removed.
bool replaceFileAtomically(const QString& path, std::string_view bytes,
                           const std::function<bool()>& beforeRename = {});

} // namespace chronvale
