#pragma once
// The user's choices between runs: the display switches, the view, the
// wallpaper state and the language, kept in the program's settings file
// (QUILLMAR/Chronvale, every value a string), the language in the shared file
// (QUILLMAR/Common), and the marked cities and cloud frames in config.ini.
//
// Read once at start-up, after the city list (loadSettings), and written once when
// the main window goes (saveSettings); meanwhile the one Settings record is read
// by every part of the program.

#include "config/compare_settings.h"
#include "config/config_file.h"
#include "geo/city.h"
#include "net/proxy_settings.h"
#include "render/display_switches.h"

#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QSettings;

namespace chronvale {

struct Settings {
    std::optional<std::string> browser;  // program that opens links; not stored
    std::optional<std::string> language; // interface language code; none for English
    int help = 1;                        // written from the tip switch, which stays off
    int view = 247;                      // read and written back; no other use
    int refresh = 10;                    // minutes between shadow updates
    int wallpaperWidth = 0;              // width of the wallpaper image; not stored
    // The display switches, stored as shadow, cities, marked, track (the names'
    // radius), grid, day, night, zones, clouds, quakes, sunmoon and twilight (0 off,
    // anything else on); an absent value keeps the switch as it was (the sky
    // overlays are off by default).
    DisplaySwitches switches;
    int info = 0;        // scale text and cloud date
    int loop = 0;        // the cloud animation starts again after the newest frame
    ProxySettings proxy; // of every transfer; stored by loadProxySettings/saveProxySettings
    int wallpaper = 0;
    // The desktop's wallpaper state before wallpaper mode was turned on.
    std::optional<std::string> wallpaperfile;
    std::optional<std::string> wallpapertile;
    std::optional<std::string> wallpaperstyle;
    QRect desktop; // taken when the record is built; not stored
    // The map view's pan (map pixels) and scale: MapView::restore(cx, cy, zoom) takes
    // them at start, and they are copied back from panX, panY and scale before saving.
    int cx = 0;
    int cy = 0;
    float zoom = 1.0f;
    // The Compare Times panel, kept in config.ini.
    CompareSettings compare;
};

// The record with its defaults; wallpaperWidth is the desktop's width.
Settings defaultSettings(const QRect& desktop);

// The settings file shared by the maker's programs, beside the program's own
// (config/program_settings.h): ~/.config/QUILLMAR/Common.ini.
std::unique_ptr<QSettings> openSharedSettings();

// Where loadSettings and saveSettings keep things.
struct SettingsStores {
    QSettings& program;
    QSettings& shared;
    QString configFile; // config.ini in the user folder
    // Runs between writing config.ini.tmp and renaming it over config.ini; false
    // makes the save fail there. For tests.
    std::function<bool()> beforeConfigRename;
};

// Reads the proxy (loadProxySettings), the stored values into settings (absent
// values leave the defaults) and the language, falling back to systemLanguage;
// then config.ini, which marks cities and fills the frames. False when config.ini could not be read
// (the other values are read in any case).
bool loadSettings(SettingsStores& stores, Settings& settings, CityList& cities,
                  CloudFrameTable& frames, const std::optional<std::string>& systemLanguage);

// Writes the proxy (saveProxySettings), every stored value and the language, then
// replaces config.ini. False when config.ini could not be replaced (the old one is
// kept); the caller tells the user.
bool saveSettings(SettingsStores& stores, Settings& settings, const CityList& cities,
                  const CloudFrameTable& frames);

} // namespace chronvale
