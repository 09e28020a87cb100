#pragma once
// The wallpaper mode's values in the program's settings file: the switch, and the
// desktop's own wallpaper state saved when the mode went on, with the interface
// that saved it. The settings record and the wallpaper mode (which writes them the
// moment it is switched on) read and write them under these names.

#include <cstddef>

namespace chronvale {

inline constexpr const char* kWallpaperSwitchKey = "wallpaper";
inline constexpr const char* kWallpaperFileKey = "wallpaperfile";
inline constexpr const char* kWallpaperTileKey = "wallpapertile";
inline constexpr const char* kWallpaperStyleKey = "wallpaperstyle";
// The desktop interface that saved the state; absent in states saved before it was kept.
inline constexpr const char* kWallpaperBackendKey = "wallpaperbackend";

// A saved state holds a line per desktop, monitor or workspace and can outgrow the
// 999 bytes read back of other texts; cut to empty, it would lose the user's own
// wallpaper. Up to this size it is read back whole.
inline constexpr std::size_t kMaxWallpaperStateText = 64 * 1024;

} // namespace chronvale
