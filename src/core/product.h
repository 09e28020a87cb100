#pragma once
// The product's identity: its name and version as every part of the program
// shows them, and the names under which it keeps its settings and finds its
// running instance.

#include <string_view>

namespace chronvale {

// Never translated: the window title, the tray tip, the "product=" line of
// config.ini and the replacement of "%PRODUCT%" in language files.
inline constexpr std::string_view applicationName = "Quillmar Chronvale";

// "Major.Middle.Minor" with at least two and three digits (2.00.001), from the
// project version in CMake.
inline constexpr std::string_view versionText = CHRONVALE_VERSION_TEXT;

// The reverse-DNS name of the desktop entry (share/applications/<id>.desktop),
// which the window names as its own and the autostart entry copies. The build
// reads it from this line for the installed files' names.
inline constexpr std::string_view desktopId = "net.chronvale.Chronvale";

// The settings files: <config>/QUILLMAR/Chronvale.ini for the program's own
// values (also the application name the folders are named after) and
// <config>/QUILLMAR/Common.ini shared with the maker's other programs.
inline constexpr char organisationName[] = "QUILLMAR";
inline constexpr char settingsApplication[] = "Chronvale";
inline constexpr char sharedSettingsApplication[] = "Common";

// The local socket of the running instance is this prefix and the user's name.
inline constexpr char singleInstancePrefix[] = "Globarin2-";

} // namespace chronvale
