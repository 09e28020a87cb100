#pragma once
// The bodies the image server answers with: the frame list, the newest check,
// the server error element and the earthquake list, all in the server's markup.

#include "frame_folder.h"

#include <QByteArray>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace chronvale::imaged {

// Up to n frames (the list is newest first) as image elements with the
// attributes t, m, s (bytes) and q, and w="4096" when a 4096 x 2048 copy can
// be asked for (readers that do not know it pass over it). A note (such as that the frames are made
// up) goes into a comment before them, which readers of the list pass over.
std::string frameListMarkup(const std::vector<FrameFile>& frames, int n,
                            const std::string& note = {});

// One image element naming the newest frame; no element when there is none.
std::string newestMarkup(const std::vector<FrameFile>& frames);

// What the client may show about the data: <source credit="..." problem="..."
// updated="UNIX TIME"/>, appended after the frame list, the newest check and the
// earthquakes; readers that look for image or QUAKE elements pass over it.
// Empty attributes are left out, and so is the element when all are.
std::string sourceMarkup(const std::string& credit, const std::string& problem,
                         std::time_t updated = 0);

// The server error element: <ERROR n="N">text</ERROR>.
std::string errorMarkup(int n, const std::string& text);

// Earthquakes as QUAKE elements with lat, lon, m, depth (km), qt (UTC) and, when
// the feed names it, place, converted from a USGS GeoJSON feed (a
// FeatureCollection of Points [lon, lat, depth] with the properties mag, time and
// place). Features without a magnitude or position are left out. None when the
// text is not such a feed.
std::optional<std::string> quakeMarkupFromGeoJson(const QByteArray& json);

// The earthquake reply for a quake file: GeoJSON is converted, anything else is
// taken as QUAKE markup and served unchanged. None when the file is unreadable
// or holds broken GeoJSON.
std::optional<std::string> quakeReplyFromFile(const QString& path);

// Characters that would end an attribute value or element text are escaped.
std::string escapeMarkup(const std::string& text);

} // namespace chronvale::imaged
