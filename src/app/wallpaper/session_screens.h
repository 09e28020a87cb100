#pragma once
// The monitors a wallpaper is made for, as the session has them: each of
// QGuiApplication's screens at its place and size in device pixels (its logical
// geometry times its device pixel ratio), the primary screen first.

#include "render/wallpaper_screens.h"

#include <optional>
#include <vector>

class QSettings;

namespace chronvale {

// The session's screens; none without a QGuiApplication.
std::vector<WallpaperScreen> sessionScreens();

// The screens `chronvale --wallpaper` makes pictures for: those it was told
// (--screens), else the session's (not those a platform that shows nothing,
// offscreen or minimal, makes up), else those the window saw last (stored in
// `program`), else the 1920 x 1080 default.
std::vector<WallpaperScreen> commandScreens(const std::optional<std::vector<WallpaperScreen>>& told,
                                            const QSettings& program);

} // namespace chronvale
