#pragma once
// What the window says about the age and source of its online data: the credit
// line and the frame's age on the map, and a status text when the newest cloud
// frame or the earthquake list is more than six hours old (with the reason the
// image server gave).

#include "net/data_source.h"
#include "net/quake_feed.h"

#include <QString>
#include <ctime>
#include <optional>
#include <string>

namespace chronvale {

class CloudService;
class Language;
struct MapPaintInputs;

// The credit (translated when the language knows it) and, for the info text,
// the age of the frame inputs.cloudTimeStamp names.
void describeCloudFrame(MapPaintInputs& inputs, const DataSource& source, const Language& language,
                        std::time_t now);

// The status text for old data: the newest frame of the table (t of frame 0),
// when one is known, and the earthquake list, when one was received (updated
// said); empty when both are newer than six hours. With no frame, or no list,
// and a problem the server named: that there is none yet, and why.
QString oldDataStatus(const std::optional<std::string>& newestFrame, const DataSource& clouds,
                      const DataSource* quakes, std::time_t now, TextProvider& texts);

} // namespace chronvale
