#pragma once
// One renewal of the wallpaper as the window and `chronvale --wallpaper` both
// make it: built by one function from the same stored settings, so that the two
// give the same files for the same monitors and instant, whichever of them (the
// window's shadow timer or a systemd timer) renews the desktop.
//
//   the look       placement, centre longitude and width cap of the settings
//                  (the command's options win where given)
//   what is shown  wallpaperSwitches of the stored switches, the marked cities
//   the sources    the data folder's earth images and the shown cloud frame's
//                  cache file (its 4096 copy too, when the cache holds one)
//   the credit     what the cloud source asks to be shown with its frames

#include "config/settings.h"
#include "desktop/wallpaper/wallpaper_mode.h"
#include "net/cloud_frame.h"
#include "render/display_switches.h"
#include "render/qt/wallpaper_overlays.h"

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QSettings;

namespace chronvale {

struct Folders;

// What `chronvale --wallpaper` was told on its command line; none: as stored.
struct WallpaperOverrides {
    std::optional<int> widthCap;
    std::optional<WallpaperPlacement> placement;
};

struct WallpaperOrder {
    WallpaperRequest request;
    DisplaySwitches switches; // wallpaperSwitches of the stored ones
    std::vector<WallpaperMark> marks;
    std::time_t now = 0;
    std::string dataFolder;
    std::string cloudFile;      // the shown frame's cache file; empty: no clouds
    std::string largeCloudFile; // its 4096 x 2048 copy; empty when not cached
    std::string cloudCredit;    // drawn in each picture's corner; empty: no clouds
};

// The credit of the cloud maps when the image server has not named its source
// (an older server, or none asked yet).
inline constexpr const char* kDefaultCloudCredit = "Contains modified EUMETSAT data";

// The look of the stored settings: placement 1 is Fill, anything else Fit; the
// centre is taken into -180 to 180; a negative cap is none.
WallpaperLook wallpaperLookOf(const StoredSettings& settings, const WallpaperOverrides& overrides);

// The cloud frame the wallpaper shows: `shown` when its image is in the cache,
// else the newest frame (index 0 first) whose image is; none when none is.
std::optional<std::string> wallpaperCloudFrame(const CloudFrameTable& frames, int shown,
                                               const std::string& cacheFolder);

// The order for `screens` (none: the 1920 x 1080 default) at `now`. The cache
// files are looked for in `cacheFolder` (the user folder's cache/). `cloudCredit`
// is the credit the server sent with its frames; empty: kDefaultCloudCredit.
WallpaperOrder buildWallpaperOrder(const StoredSettings& settings, const CityList& cities,
                                   const CloudFrameTable& frames, int shownFrame,
                                   std::vector<WallpaperScreen> screens,
                                   const WallpaperOverrides& overrides,
                                   const std::string& dataFolder, const std::string& cacheFolder,
                                   std::time_t now, const std::string& cloudCredit = {});

// The order as `chronvale --wallpaper` makes it, from the files alone: the stored
// settings of `program`, the marks and cloud frames of config.ini in the user
// folder (the newest frame is shown), the earth images of the data folder.
// `freshenClouds` (when given) gets the frames before they are used, when the
// clouds are shown: the command asks the server for the newest one there, and
// returns the credit the server sent with it (empty: none known).
WallpaperOrder storedWallpaperOrder(
    const WallpaperOverrides& overrides, const Folders& folders, QSettings& program,
    std::vector<WallpaperScreen> screens, std::time_t now,
    const std::function<std::string(CloudFrameTable&, const StoredSettings&)>& freshenClouds = {});

} // namespace chronvale
