#pragma once
// The program's process-wide objects, made once by start-up and passed to the
// main window and through it to every part that needs them: the data tables, the
// settings, the language, the icon strip, the installation values, the cloud
// frames restored from config.ini, the HTTP client and the compositor with its
// images. Nothing of this is a global.
//
// Making a World runs the start-up steps that come before the main window, in
// their fixed order; destroying it frees everything in the reverse order (the
// images first, the tables last).

#include "app/cli/folders.h"
#include "config/config_file.h"
#include "config/settings.h"
#include "config/switch_board.h"
#include "geo/geo_tables.h"
#include "i18n/language.h"
#include "i18n/messages.h"
#include "net/http_client.h"
#include "net/link_config.h"
#include "render/compositor.h"
#include "ui/icon_strip.h"

#include <QSettings>
#include <QString>
#include <limits>
#include <memory>

namespace chronvale {

inline constexpr int kMillisecondsPerMinute = 60000;
// The refresh timer counts milliseconds in an int.
inline constexpr int kMaxRefreshMinutes = std::numeric_limits<int>::max() / kMillisecondsPerMinute;

// Minutes between shadow updates as start-up takes them from the settings: a
// stored 0 (or a value below 1) becomes 10, and a value whose milliseconds would
// not fit a timer is capped.
int startupRefreshMinutes(int stored);

// The primary screen's geometry, or 0,0 1024x768 without a screen (or without a
// QGuiApplication).
QRect primaryDesktopRect();

class World {
public:
    // Runs, in this order: makes the user folder the current folder and creates
    // "cache" in it (failure ignored); reads the installation values
    // (chronvale.ini); loads the icon strip; loads location.dat, tz_data.dat,
    // tz_dst.dat and areacode.dat; loads the settings, which mark the cities
    // listed in config.ini and so need the city list; when the program's
    // settings file did not exist, applies the installation's first-start values
    // ([Defaults] of chronvale.ini); makes a refresh of 0 ten minutes. A file that cannot be loaded
    // shows "Unable to load file '%s'" (caption "Error") through `messages`, and start-up goes on
    // with the table empty. Needs a QGuiApplication (the icons); `messages` must outlive the World.
    World(Folders folders, MessageSink& messages);
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    // Where loadSettings read and saveSettings writes.
    SettingsStores settingsStores();
    // Writes the settings, the marked cities and the frames (the main window does
    // this when it is destroyed). False when config.ini could not be written (the
    // user has been told).
    bool saveAll();

    // The tables as loaded. Of all their fields only the cities' marks and the
    // context menu's pick flags change, through markCity, clearMarks and
    // citiesToPick.
    const GeoTables& tables() const { return tables_; }
    // Marks or unmarks city `index` of the list; an index outside it does nothing.
    void markCity(std::size_t index, bool marked);
    void clearMarks();
    // The city list for the context menu's nearest-city pick, which sets the
    // records' pick flags.
    CityList& citiesToPick() { return tables_.cities; }

    const Folders folders;
    MessageSink& messages;
    // The loaders' "Unable to load file" boxes in the current language.
    Language language;
    MessageLoadErrorSink loadErrors{language, messages};
    LinkConfig installation; // chronvale.ini of the data folder, with system overrides
    std::unique_ptr<IconStrip> icons;

private:
    GeoTables tables_;

public:
    std::unique_ptr<QSettings> programSettings;
    std::unique_ptr<QSettings> sharedSettings;
    Settings settings;
    // Every change of settings.switches after start-up goes through here.
    SwitchBoard switchBoard{settings.switches};
    CloudFrameTable frames; // the cloud frames of config.ini, for the cloud service
    bool configRead = false;
    bool firstStart = false; // the program's settings file did not exist yet
    HttpClient http;
    Compositor compositor;
};

} // namespace chronvale
