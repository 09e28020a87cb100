#pragma once
// The wallpaper file: the lit map as a BMP file for the desktop, unscaled when the
// wallpaper is as wide as the desktop, else resampled to the wallpaper width with
// the height in the desktop's proportion (map width × wallpaper width / desktop
// width). Desktops cache a picture by its name, so each renewal writes the file
// under the other of two names and removes the one shown before.

#include "render/earth_image.h"

#include <optional>
#include <string>

namespace chronvale {

inline constexpr const char* kWallpaperNameA = "Wallpaper-a.bmp";
inline constexpr const char* kWallpaperNameB = "Wallpaper-b.bmp";

struct ImageSize {
    int width = 0;
    int height = 0;
    bool operator==(const ImageSize&) const = default;
};

// The size of the wallpaper image for a lit map `mapWidth` × `mapHeight`: the
// map's own size when wallpaperWidth equals desktopWidth; else wallpaperWidth ×
// mapWidth·wallpaperWidth/desktopWidth (integer division). None when no image can
// be made (a width of 0 or less, or no desktop width).
std::optional<ImageSize> wallpaperImageSize(int mapWidth, int mapHeight, int wallpaperWidth,
                                            int desktopWidth);

// The path the next renewal writes in `folder`: Wallpaper-a.bmp unless that one
// is there and Wallpaper-b.bmp is not.
std::string nextWallpaperPath(const std::string& folder);

struct WallpaperWrite {
    std::string path; // the file the desktop is to show
    bool written = false;
};

// Writes the lit map (resampled when its size says so; unscaled when no size can be
// made, rather than leaving the desktop without a picture) to nextWallpaperPath
// and, once it is written, removes the other name. When no file can be written (no map,
// no size, a full disk) nothing is left under the new name; the path is returned
// all the same, so that the desktop is pointed at it and shows no stale picture.
WallpaperWrite writeWallpaperFile(const EarthImage* litMap, int wallpaperWidth, int desktopWidth,
                                  const std::string& folder);
// The same with the image's size given; none: the map unscaled.
WallpaperWrite writeWallpaperFile(const EarthImage* litMap, const std::optional<ImageSize>& size,
                                  const std::string& folder);

} // namespace chronvale
