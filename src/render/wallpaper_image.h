#pragma once
// The wallpaper files: one JPEG picture per image of the layout, in the user
// folder. Desktops cache a picture by its name, so each renewal writes its set
// under the other of two letters ("Wallpaper-a.jpg", or "Wallpaper-a-1.jpg",
// "Wallpaper-a-2.jpg" … with a picture per monitor) and then removes the set
// shown before.

#include "render/earth_image.h"

#include <optional>
#include <string>
#include <vector>

namespace chronvale {

// The file of a single image (one monitor, or all of them spanned) under
// `letter`, or that of the index-th of several (counted from 1 in the name).
std::string wallpaperFileName(char letter, std::size_t index, std::size_t count);

// Whether `path` is one of the program's own wallpaper files in `folder`: either
// letter, any monitor, and the Wallpaper-a/b.bmp of earlier versions. Whole paths
// are compared, so a picture of the user's that happens to share a name is not ours.
bool isOwnWallpaperFile(const std::string& path, const std::string& folder);
// Every path isOwnWallpaperFile accepts.
std::vector<std::string> ownWallpaperPaths(const std::string& folder);

// The letter the next renewal writes under: 'b' when the last set is under 'a'.
char nextWallpaperLetter(const std::string& folder);

// Removes the program's wallpaper files from `folder`, except those under `keep`.
void removeWallpaperFiles(const std::string& folder, std::optional<char> keep = std::nullopt);

struct WallpaperWrite {
    std::vector<std::string> paths; // the files the desktop is to show, one per image
    bool written = false;           // all of them
};

// Writes each image under the next letter and, once all are written, removes the
// set shown before. When one cannot be written (no image, a full disk), none of the
// new set is left; the paths are returned all the same, so that the desktop is
// pointed at them and shows no stale picture.
WallpaperWrite writeWallpaperFiles(const std::vector<ImagePtr>& images, std::size_t count,
                                   const std::string& folder);

} // namespace chronvale
