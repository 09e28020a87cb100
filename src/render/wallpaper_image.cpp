#include "render/wallpaper_image.h"

#include <filesystem>
#include <system_error>

namespace chronvale {

namespace fs = std::filesystem;

std::optional<ImageSize> wallpaperImageSize(int mapWidth, int mapHeight, int wallpaperWidth,
                                            int desktopWidth) {
    if (wallpaperWidth == desktopWidth && mapWidth > 0 && mapHeight > 0) {
        return ImageSize{mapWidth, mapHeight};
    }
    if (wallpaperWidth <= 0 || desktopWidth <= 0 || mapWidth <= 0) {
        return std::nullopt;
    }
    const long long height = static_cast<long long>(mapWidth) * wallpaperWidth / desktopWidth;
    if (height <= 0 || height > 65535) {
        return std::nullopt;
    }
    return ImageSize{wallpaperWidth, static_cast<int>(height)};
}

std::string nextWallpaperPath(const std::string& folder) {
    const fs::path base(folder);
    std::error_code error;
    const bool haveA = fs::exists(base / kWallpaperNameA, error);
    const bool haveB = fs::exists(base / kWallpaperNameB, error);
    return (base / (haveA && !haveB ? kWallpaperNameB : kWallpaperNameA)).string();
}

WallpaperWrite writeWallpaperFile(const EarthImage* litMap, int wallpaperWidth, int desktopWidth,
                                  const std::string& folder) {
    return writeWallpaperFile(
        litMap,
        litMap != nullptr
            ? wallpaperImageSize(litMap->width(), litMap->height(), wallpaperWidth, desktopWidth)
            : std::nullopt,
        folder);
}

WallpaperWrite writeWallpaperFile(const EarthImage* litMap, const std::optional<ImageSize>& size,
                                  const std::string& folder) {
    WallpaperWrite result;
    result.path = nextWallpaperPath(folder);
    std::error_code error;
    if (litMap != nullptr) {
        if (!size || (size->width == litMap->width() && size->height == litMap->height())) {
            result.written = saveBmpFile(litMap, result.path);
        } else {
            const ImagePtr copy = resampleImage(litMap, size->width, size->height);
            result.written = copy && saveBmpFile(copy.get(), result.path);
        }
    }
    if (!result.written) {
        fs::remove(result.path, error);
        return result;
    }
    const fs::path other =
        fs::path(folder) /
        (fs::path(result.path).filename() == kWallpaperNameA ? kWallpaperNameB : kWallpaperNameA);
    fs::remove(other, error);
    return result;
}

} // namespace chronvale
