#pragma once
// Demo content for a server without real data: procedural cloud frames and a
// small earthquake file. Both say plainly that they are made up.

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>
#include <ctime>
#include <functional>

namespace chronvale::imaged {

inline constexpr int kDemoFrameCount = 12;
inline constexpr int kDemoFrameHours = 3;
// Lists the demo frames of a folder, so a later --demo may renew them.
inline constexpr const char* kDemoMarker = "DEMO-FRAMES.txt";
// The earthquake file the server hands out: the mirrored feed, or demo events
// while the marker lists it.
inline constexpr const char* kQuakeFeedFile = "quakes.geojson";

// A 1024 x 512 cloud picture, white clouds on black, for the given hour
// (hours since 1970). Fractal value noise that wraps at the date line, weighted by
// latitude (more cloud near the equator and in the middle latitudes), drifting
// east and changing slowly from one hour to the next.
QImage demoCloudImage(long hoursSince1970, int width = 1024, int height = 512);

// Fills the folder with twelve demo frames three hours apart, the newest at the
// current UTC hour, and a demo earthquake file when it has none. A folder that
// holds frames of its own is left alone; demo frames of an earlier run are
// replaced. Progress and the demo notice go to `log`. False when a file cannot
// be written.
bool makeDemoContent(const QString& folder, std::time_t now,
                     const std::function<void(const QString&)>& log, int width = 1024,
                     int height = 512);

// The files of the folder that an earlier --demo made and that are still demo
// content, as named in its marker.
QStringList demoFiles(const QString& folder);

// Whether such a list holds demo cloud frames.
bool hasDemoFrames(const QStringList& demo);

// Real data has arrived: removes the demo frames (when `frames`) and forgets the
// demo earthquake file (when `quakes`; the real file takes its name). The marker
// goes when it lists nothing more. False when a file cannot be changed.
bool retireDemoContent(const QString& folder, bool frames, bool quakes);

// A USGS-style GeoJSON feed of made-up events during the seven days before now.
QByteArray demoQuakeGeoJson(std::time_t now);

} // namespace chronvale::imaged
