#include "app/wallpaper/wallpaper_order.h"

#include "app/cli/folders.h"
#include "core/load_errors.h"
#include "geo/geo_tables.h"
#include "render/wallpaper_earth.h"

#include <QSettings>
#include <cmath>
#include <filesystem>

namespace chronvale {

namespace {

namespace fs = std::filesystem;

std::string cached(const std::string& cacheFolder, const std::string& name) {
    std::error_code error;
    const fs::path path = fs::path(cacheFolder) / name;
    return fs::is_regular_file(path, error) ? path.string() : std::string();
}

} // namespace

WallpaperLook wallpaperLookOf(const StoredSettings& settings, const WallpaperOverrides& overrides) {
    WallpaperLook look;
    look.placement =
        settings.wallpaperPlacement == 1 ? WallpaperPlacement::Fill : WallpaperPlacement::Fit;
    double centre = std::isfinite(settings.wallpaperCentre) ? settings.wallpaperCentre : 0.0;
    centre = std::fmod(centre + 180.0, 360.0);
    look.centreLongitude = (centre < 0.0 ? centre + 360.0 : centre) - 180.0;
    look.widthCap = std::max(0, settings.wallpaperWidth);
    if (overrides.placement) {
        look.placement = *overrides.placement;
    }
    if (overrides.widthCap) {
        look.widthCap = *overrides.widthCap;
    }
    return look;
}

std::optional<std::string> wallpaperCloudFrame(const CloudFrameTable& frames, int shown,
                                               const std::string& cacheFolder) {
    const auto usable = [&](const CloudFrame& frame) {
        return frame.t && isFrameTimeStamp(*frame.t) &&
               !cached(cacheFolder, *frame.t + ".jpg").empty();
    };
    if (shown >= 0 && shown < kCloudFrameCount && usable(frames[static_cast<std::size_t>(shown)])) {
        return frames[static_cast<std::size_t>(shown)].t;
    }
    for (const CloudFrame& frame : frames) {
        if (usable(frame)) {
            return frame.t;
        }
    }
    return std::nullopt;
}

WallpaperOrder buildWallpaperOrder(const StoredSettings& settings, const CityList& cities,
                                   const CloudFrameTable& frames, int shownFrame,
                                   std::vector<WallpaperScreen> screens,
                                   const WallpaperOverrides& overrides,
                                   const std::string& dataFolder, const std::string& cacheFolder,
                                   std::time_t now, const std::string& cloudCredit) {
    WallpaperOrder order;
    if (screens.empty()) {
        screens.push_back(defaultScreen());
    }
    order.request.screens = std::move(screens);
    order.request.look = wallpaperLookOf(settings, overrides);
    order.switches = wallpaperSwitches(settings.switches);
    order.now = now;
    order.dataFolder = dataFolder;
    if (order.switches.markedCities) {
        for (const CityRecord& city : cities) {
            if (city.marked) {
                order.marks.push_back(
                    {city.label.empty() ? city.name : city.label, city.longitude, city.latitude});
            }
        }
    }
    if (order.switches.clouds) {
        if (const auto t = wallpaperCloudFrame(frames, shownFrame, cacheFolder)) {
            order.cloudFile = cached(cacheFolder, *t + ".jpg");
            order.largeCloudFile = cached(cacheFolder, *t + "-4096.jpg");
            order.cloudCredit = cloudCredit.empty() ? kDefaultCloudCredit : cloudCredit;
        }
    }
    return order;
}

WallpaperOrder storedWallpaperOrder(
    const WallpaperOverrides& overrides, const Folders& folders, QSettings& program,
    std::vector<WallpaperScreen> screens, std::time_t now,
    const std::function<std::string(CloudFrameTable&, const StoredSettings&)>& freshenClouds) {
    Settings settings = defaultSettings(QRect());
    CityList cities;
    CloudFrameTable frames;
    const std::unique_ptr<QSettings> shared = openSharedSettings();
    SettingsStores stores{program, *shared, folders.user + QStringLiteral("/config.ini"), {}};
    loadSettings(stores, settings, cities, frames, std::nullopt);
    if (settings.switches.markedCities) {
        // The marks of config.ini name cities of the list: read them again with it.
        RecordingLoadErrorSink errors;
        cities = loadGeoTables(folders.data.toStdString(), errors).cities;
        loadSettings(stores, settings, cities, frames, std::nullopt);
    }
    std::string credit;
    if (freshenClouds && settings.switches.clouds) {
        credit = freshenClouds(frames, settings);
    }
    return buildWallpaperOrder(settings, cities, frames, 0, std::move(screens), overrides,
                               folders.data.toStdString(), folders.user.toStdString() + "/cache",
                               now, credit);
}

} // namespace chronvale
