#pragma once
// The tooltip of an earthquake marker: which marker lies under the pointer, and
// what the reply told about that event.

#include "net/quake_feed.h"
#include "render/map_view.h"

#include <QString>
#include <cstddef>
#include <optional>
#include <span>

namespace chronvale {

class Language;

// The earthquake whose marker covers pane position `at` (the marker of the later
// event in the list, drawn over the earlier ones, wins); none off every marker.
std::optional<std::size_t> quakeAt(const MapView& view, std::span<const QuakeRecord> quakes,
                                   Point at);

// Magnitude, place, time (local and UTC) and depth, one a line, each only when the
// reply carried it. A time the server wrote as "YYYY-MM-DD HH:MM:SS" is UTC and is
// also shown in the computer's time zone; any other time text is shown as it came.
QString quakeTooltip(const QuakeRecord& quake, const Language& language);

} // namespace chronvale
