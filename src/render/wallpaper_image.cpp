#include "render/wallpaper_image.h"

#include "render/jpeg_writer.h"
#include "render/wallpaper_screens.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace chronvale {

namespace fs = std::filesystem;

namespace {

// The names of earlier versions, which wrote one bitmap.
constexpr const char* kOldNames[] = {"Wallpaper-a.bmp", "Wallpaper-b.bmp"};

std::vector<std::string> namesUnder(char letter) {
    std::vector<std::string> names{wallpaperFileName(letter, 0, 1)};
    for (std::size_t i = 0; i < kMaxScreens; ++i) {
        names.push_back(wallpaperFileName(letter, i, kMaxScreens));
    }
    return names;
}

} // namespace

std::string wallpaperFileName(char letter, std::size_t index, std::size_t count) {
    std::string name = "Wallpaper-";
    name += letter;
    if (count > 1) {
        name += "-" + std::to_string(index + 1);
    }
    return name + ".jpg";
}

std::vector<std::string> ownWallpaperPaths(const std::string& folder) {
    const fs::path base = fs::absolute(fs::path(folder)).lexically_normal();
    std::vector<std::string> paths;
    for (const char letter : {'a', 'b'}) {
        for (const std::string& name : namesUnder(letter)) {
            paths.push_back((base / name).string());
        }
    }
    for (const char* name : kOldNames) {
        paths.push_back((base / name).string());
    }
    return paths;
}

bool isOwnWallpaperFile(const std::string& path, const std::string& folder) {
    if (path.empty()) {
        return false;
    }
    const std::string normal = fs::absolute(fs::path(path)).lexically_normal().string();
    const std::vector<std::string> own = ownWallpaperPaths(folder);
    return std::find(own.begin(), own.end(), normal) != own.end();
}

char nextWallpaperLetter(const std::string& folder) {
    std::error_code error;
    for (const std::string& name : namesUnder('a')) {
        if (fs::exists(fs::path(folder) / name, error)) {
            return 'b';
        }
    }
    return 'a';
}

void removeWallpaperFiles(const std::string& folder, std::optional<char> keep) {
    std::error_code error;
    for (const char letter : {'a', 'b'}) {
        if (keep == letter) {
            continue;
        }
        for (const std::string& name : namesUnder(letter)) {
            fs::remove(fs::path(folder) / name, error);
        }
    }
    for (const char* name : kOldNames) {
        fs::remove(fs::path(folder) / name, error);
    }
}

WallpaperWrite writeWallpaperFiles(const std::vector<ImagePtr>& images, std::size_t count,
                                   const std::string& folder) {
    WallpaperWrite result;
    const char letter = nextWallpaperLetter(folder);
    // Leftovers of a failed set under this letter would read as its pictures.
    removeWallpaperFiles(folder, letter == 'a' ? 'b' : 'a');
    result.written = !images.empty() && images.size() == count;
    for (std::size_t i = 0; i < count; ++i) {
        result.paths.push_back((fs::path(folder) / wallpaperFileName(letter, i, count)).string());
        if (result.written) {
            result.written =
                saveJpegFile(images[i].get(), result.paths.back(), kWallpaperJpegQuality);
        }
    }
    removeWallpaperFiles(folder, result.written ? std::optional<char>(letter)
                                                : std::optional<char>(letter == 'a' ? 'b' : 'a'));
    return result;
}

} // namespace chronvale
