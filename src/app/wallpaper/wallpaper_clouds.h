#pragma once
// The cloud frame of `chronvale --wallpaper`, got as the window gets it: when the
// configured image server is this computer and nothing answers, it is started
// (once per user, under the launcher's lock); then the server is asked for its
// newest frame, which is loaded from the cache or downloaded into it, with its
// 4096 x 2048 copy for pictures larger than the 1024 x 512 map. Every wait is
// bounded; a server that does not answer leaves the frames as they were.

#include "net/cloud_frame.h"
#include "net/link_config.h"

#include <QSettings>
#include <string>

namespace chronvale {

// Refreshes frame 0 of `frames` (as config.ini left them) from the server of
// `installation`; `large` also fetches its 4096 copy when the cache lacks it.
// `credit` (when given) gets the credit the server sent with the frame (empty
// when it named none or did not answer). Returns whether a newest frame is
// known afterwards. Needs a QCoreApplication; runs an event
// loop of its own for at most `boundMs` in all.
bool fetchNewestWallpaperClouds(const LinkConfig& installation, QSettings& program,
                                CloudFrameTable& frames, bool large, int boundMs = 30000,
                                std::string* credit = nullptr);

} // namespace chronvale
