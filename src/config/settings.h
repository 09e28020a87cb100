#pragma once
// The user's choices between runs: the display switches, the view and the
// language, kept in the program's settings file (QUILLMAR/Chronvale, every value
// a string), the language in the shared file (QUILLMAR/Common), and the marked
// cities and cloud frames in config.ini. The wallpaper mode keeps its own values
// (desktop/wallpaper/wallpaper_store.h).
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

// What is kept between runs: in the program's settings file, one value a key
// (settings.cpp holds the table of keys, their types and defaults), the
// language in the shared file and the proxy by loadProxySettings/saveProxySettings.
struct StoredSettings {
    StoredSettings(); // every value at its default

    std::optional<std::string> language; // interface language code; none for English
    int refresh;                         // minutes between shadow updates ("refresh")
    // The display switches, stored as shadow, cities, marked, track (the names'
    // radius), grid, day, night, zones, clouds, quakes, sunmoon and twilight (0 off,
    // anything else on); an absent value keeps the switch as it was.
    DisplaySwitches switches;
    bool showInfo;       // scale text and cloud date ("info")
    bool loopClouds;     // the cloud animation starts again after the newest frame ("loop")
    ProxySettings proxy; // of every transfer
    // The map view's pan (map pixels) and scale ("cx", "cy", "zoom"):
    // MapView::restore takes them at start, and they are copied back from panX,
    // panY and scale before saving.
    int panX;
    int panY;
    float zoom;
    // The Compare Times panel, kept in config.ini.
    CompareSettings compare;
    // Local times from the system's time-zone database rather than the shipped
    // tables ("systemzones").
    bool systemZones;
    // The wallpaper's look: placement (0 fit, 1 fill: "wallpaperplacement"), the
    // longitude in its middle ("wallpapercentre") and the cap on each picture's
    // width in pixels, 0 for none ("wallpaperwidth").
    int wallpaperPlacement;
    float wallpaperCentre;
    int wallpaperWidth;
    std::optional<std::string> browser; // program that opens links ("browser"); none: the system's
};

// What this session knows besides, never stored.
struct SessionSettings {
    QRect desktop; // taken when the record is built
};

// The one record every part of the program reads.
struct Settings : StoredSettings, SessionSettings {};

// The record with its defaults.
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
// or unreadable values leave what the record holds) and the language, falling back to
// systemLanguage; then config.ini, which marks cities and fills the frames. False when config.ini
// could not be read (the other values are read in any case).
bool loadSettings(SettingsStores& stores, Settings& settings, CityList& cities,
                  CloudFrameTable& frames, const std::optional<std::string>& systemLanguage);

// Whether the program's settings file holds every value a save writes: only such
// a file was written by a whole save. A file with fewer (say, only a value other
// parts of the window wrote before the first save ever ran) counts as never
// written, so that the first-start values still apply.
bool holdsStoredSettings(const QSettings& program);

// Puts every stored value of settings into the program's store (not synced).
void writeStoredSettings(QSettings& program, const StoredSettings& settings);

// Writes the proxy (saveProxySettings), every stored value and the language (keys
// of the file that the table does not name are left as they are), then
// replaces config.ini. Each file is replaced whole (QSettings writes a temporary
// file and renames it), never left half written. False when a file could not be
// written (config.ini: the old one is kept); the caller tells the user.
bool saveSettings(SettingsStores& stores, const Settings& settings, const CityList& cities,
                  const CloudFrameTable& frames);

} // namespace chronvale
