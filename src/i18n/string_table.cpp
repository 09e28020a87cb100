#include "i18n/string_table.h"

#include <algorithm>
#include <array>

namespace chronvale {

namespace {

using namespace str;

constexpr int menu = mainMenuContext;
constexpr int popup = contextMenuContext;
constexpr int tray = trayMenuContext;

// Ordered by id; findString() searches it by halves.
constexpr std::array entries{
    StringEntry{WinsockError, 0, "Winsock Error"},
    StringEntry{ColumnCity, 0, "City"},
    StringEntry{ColumnCountry, 0, "Country"},
    StringEntry{ColumnState, 0, "State"},
    StringEntry{TipZoomIn, 0, "Zoom In"},
    StringEntry{PageOptions, 0, "Options"},
    StringEntry{PageSettings, 0, "Settings"},
    StringEntry{PageProxy, 0, "Proxy/Firewall"},
    StringEntry{DownloadingSatelliteImage, 0, "Downloading satellite image"},
    StringEntry{UnableToConnect, 0,
                "Unable to connect. Check your internet connection and proxy settings in "
                "preferences."},
    StringEntry{Complete, 0, "Complete"},
    StringEntry{ConnectingToSatelliteServer, 0, "Connecting to satellite server..."},
    StringEntry{CheckingForNewSatelliteData, 0, "Checking for new satellite data..."},
    StringEntry{DownloadingLatestSatelliteImage, 0, "Downloading latest satellite image..."},
    StringEntry{UnableToLoadFile, 0, "Unable to load file '%s'"},
    StringEntry{FileNotFound, 0, "File Not Found (%s)"},
    StringEntry{ServerErrorCaption, 0, "Error"},
    StringEntry{DownloadingEarthquakeData, 0, "Downloading Earthquake data..."},
    StringEntry{TipEarthquakes, 0, "View world earthquakes in the past 7 days."},
    StringEntry{UnableToOpenBrowser, 0,
                "Unable to open the specified Browser. Please check the preference settings."},
    StringEntry{BrowserErrorCaption, 0, "Browser Error"},

    StringEntry{TipDayMap, 0, "Show Day Map"},
    StringEntry{TipNightMap, 0, "Show Night Map"},
    StringEntry{TipClouds, 0, "Show Clouds"},
    StringEntry{TipSunShadow, 0, "Show Sun Shadow"},
    StringEntry{TipRefresh, 0, "Refresh"},
    StringEntry{TipTimeZones, 0, "Show Timezones"},
    StringEntry{TipGrid, 0, "Show Latitude/Longitude Grid"},
    StringEntry{TipAllCities, 0, "Show All Cities"},
    StringEntry{TipCitySelection, 0, "Show City Selection"},
    StringEntry{TipCityNames, 0, "Show City Names"},
    StringEntry{TipPreviousFrame, 0, "Show Previous Frame"},
    StringEntry{TipPlay, 0, "Play Clouds Animation"},
    StringEntry{TipStop, 0, "Stop Animation"},
    StringEntry{TipNextFrame, 0, "Show Next Frame"},
    StringEntry{TipZoomOut, 0, "Zoom Out"},
    StringEntry{TipActualPixels, 0, "Actual Pixels"},
    StringEntry{TipFitToScreen, 0, "Fit to Screen"},
    StringEntry{TipSunMoon, 0, "Show Sun and Moon"},
    StringEntry{TipTwilight, 0, "Show Twilight Lines"},

    StringEntry{UnableToGetSocket, 0, "Unable to get socket."},
    StringEntry{AddressTranslationError, 0, "Address Translation Error"},
    StringEntry{HostNotFound, 0, "Host Not Found"},
    StringEntry{RequestSendFailed, 0, "Request Send failed (%i)"},
    StringEntry{SocksRequestSendFailed, 0, "Request send Failed (%i)"},
    StringEntry{OutOfMemory, 0, "Error QH112: Out of memory"},
    StringEntry{ConfigIniError, 0, "ERROR C114: Unable to open file 'config.ini'"},
    StringEntry{EarthquakesRecorded, 0, "%i earthquake events recorded in the past 7 days"},
    StringEntry{UnableToWriteFile, 0, "Unable to write file '%s'"},
    StringEntry{WallpaperNoDesktop, 0,
                "Wallpaper Mode needs a desktop whose wallpaper it can set, and none was found.\n"
                "Looked for: %s"},
    StringEntry{WallpaperNotReadBack, 0,
                "The desktop cannot tell its own wallpaper: switching Wallpaper Mode off will "
                "not bring it back."},
    StringEntry{WallpaperRefused, 0, "The desktop did not take the wallpaper (%s)."},
    StringEntry{WallpaperStateUnreadable, 0,
                "The desktop's own wallpaper could not be read (%s). Wallpaper Mode stays off, "
                "so that it is not lost."},
    StringEntry{WallpaperBusy, 0,
                "Another Chronvale is changing the wallpaper. Try again in a moment."},
    StringEntry{SaveMapFailed, 0, "Unable to save the map to '%s': %s"},
    StringEntry{BrowserAddress, 0, "Address: %s"},
    StringEntry{CopyAddress, 0, "&Copy Address"},
    StringEntry{AgeHours, 0, "%s UTC, %s h ago"},
    StringEntry{AgeMinutes, 0, "%s UTC, %s min ago"},
    StringEntry{CloudsOld, 0, "Clouds %s h old."},
    StringEntry{QuakesOld, 0, "Earthquakes %s h old."},
    StringEntry{ServerSays, 0, "Server: %s"},

    StringEntry{QuakeLegendCaption, 0, "Magnitude"},

    StringEntry{MenuFile, menu, "&File"},
    StringEntry{MenuView, menu, "&View"},
    StringEntry{MenuAnimation, menu, "&Animation"},
    StringEntry{MenuOptions, menu, "&Options"},
    StringEntry{MenuHelp, menu, "&Help"},
    StringEntry{MenuUpgrade, menu, "&Upgrade"},
    StringEntry{MenuQuit, menu, "&Quit\tALT+F4"},
    StringEntry{MenuSaveMapAs, menu, "Save Map &As…"},
    StringEntry{MenuZoomIn, menu, "Zoom &In"},
    StringEntry{MenuZoomOut, menu, "Zoom &Out"},
    StringEntry{MenuActualPixels, menu, "&Actual Pixels"},
    StringEntry{MenuFitToScreen, menu, "&Fit to Screen"},
    StringEntry{MenuDayMap, menu, "&Day Map"},
    StringEntry{MenuNightMap, menu, "&Night Map"},
    StringEntry{MenuClouds, menu, "&Clouds"},
    StringEntry{MenuSunShadow, menu, "Sun Shadow"},
    StringEntry{MenuTimeZones, menu, "Time &Zones"},
    StringEntry{MenuAllCities, menu, "All Cities"},
    StringEntry{MenuCityNames, menu, "City Names"},
    StringEntry{MenuEarthquakes, menu, "&Earthquakes"},
    StringEntry{MenuCitySelection, menu, "City &Selection"},
    StringEntry{MenuGrid, menu, "&Grid"},
    StringEntry{MenuRefresh, menu, "&Refresh"},
    StringEntry{MenuSunMoon, menu, "Sun and Moon"},
    StringEntry{MenuTwilight, menu, "Twilight Lines"},
    StringEntry{MenuGoToTime, menu, "Go to Time…"},
    StringEntry{MenuHourBack, menu, "One Hour Back"},
    StringEntry{MenuHourForward, menu, "One Hour Forward"},
    StringEntry{MenuDayBack, menu, "One Day Back"},
    StringEntry{MenuDayForward, menu, "One Day Forward"},
    StringEntry{MenuNow, menu, "Now"},
    StringEntry{MenuNext, menu, "&Next"},
    StringEntry{MenuPrevious, menu, "P&revious"},
    StringEntry{MenuPlay, menu, "&Play"},
    StringEntry{MenuStop, menu, "&Stop"},
    StringEntry{MenuLanguage, menu, "&Language"},
    StringEntry{MenuSelectCity, menu, "&Select City"},
    StringEntry{MenuClearCitySelection, menu, "&Clear City Selection"},
    StringEntry{MenuWallpaperMode, menu, "&Wallpaper Mode"},
    StringEntry{MenuSettings, menu, "&Settings"},
    StringEntry{MenuStartWithDesktop, menu, "Start with the &desktop"},
    StringEntry{MenuEnglish, menu, "&English"},
    StringEntry{MenuArabic, menu, "&Arabic"},
    StringEntry{MenuChineseSimplified, menu, "Chinese (Simplified)"},
    StringEntry{MenuChineseTraditional, menu, "Chinese (Traditional)"},
    StringEntry{MenuCzech, menu, "&Czech"},
    StringEntry{MenuDutch, menu, "&Dutch"},
    StringEntry{MenuFrench, menu, "&French"},
    StringEntry{MenuGerman, menu, "&German"},
    StringEntry{MenuGreek, menu, "Greek"},
    StringEntry{MenuItalian, menu, "&Italian"},
    StringEntry{MenuJapanese, menu, "&Japanese"},
    StringEntry{MenuKorean, menu, "&Korean"},
    StringEntry{MenuPortuguese, menu, "&Portuguese"},
    StringEntry{MenuSpanish, menu, "&Spanish"},
    StringEntry{MenuSwedish, menu, "Swedish"},
    StringEntry{MenuAbout, menu, "&About"},
    StringEntry{MenuManual, menu, "&Manual"},
    StringEntry{MenuFaq, menu, "&FAQ"},

    StringEntry{ContextOptions, popup, "Options"},
    StringEntry{ContextSelect, popup, "&Select"},
    StringEntry{ContextView, popup, "View"},
    StringEntry{ContextWeather, popup, "Weather"},
    StringEntry{ContextHotels, popup, "Hotels"},
    StringEntry{ContextSatelliteImage, popup, "Satellite &Image"},
    StringEntry{ContextZoomIn, popup, "Zoom &In"},
    StringEntry{ContextZoomOut, popup, "Zoom &Out"},
    StringEntry{ContextFitToScreen, popup, "&Fit to Screen"},
    StringEntry{ContextActualPixels, popup, "&Actual Pixels"},
    StringEntry{ContextProperties, popup, "&Properties"},
    StringEntry{ContextDayMap, popup, "&Day Map"},
    StringEntry{ContextNightMap, popup, "&Night Map"},
    StringEntry{ContextClouds, popup, "&Clouds"},
    StringEntry{ContextSunShadow, popup, "Sun Shadow"},
    StringEntry{ContextTimeZones, popup, "Time &Zones"},
    StringEntry{ContextAllCities, popup, "All Cities"},
    StringEntry{ContextCityNames, popup, "City Names"},
    StringEntry{ContextEarthquakes, popup, "&Earthquakes"},
    StringEntry{ContextCitySelection, popup, "City &Selection"},
    StringEntry{ContextGrid, popup, "&Grid"},
    StringEntry{ContextSunMoon, popup, "Sun and Moon"},
    StringEntry{ContextTwilight, popup, "Twilight Lines"},

    StringEntry{TrayOptions, tray, "Options"},
    StringEntry{TrayRestore, tray, "&Restore"},
    StringEntry{TrayMinimize, tray, "&Minimize"},
    StringEntry{TrayExit, tray, "&Exit"},

    StringEntry{StatusLoading, 101, "Loading..."},
    StringEntry{StatusCalculatingShadow, 101, "Calculating Shadow..."},
    StringEntry{MapScale, 101, "Scale: %0.2f km"},
    StringEntry{MapImageDate, 101, "Image Date:"},
    StringEntry{StatusShowingInstant, 101, "Showing %s — press Ctrl+0 for now"},
    StringEntry{LegendCivilTwilight, 101, "Civil twilight"},
    StringEntry{LegendNauticalTwilight, 101, "Nautical twilight"},
    StringEntry{LegendAstronomicalTwilight, 101, "Astronomical twilight"},
    StringEntry{SaveMapTitle, 101, "Save Map As"},
    StringEntry{SaveMapFilter, 101, "PNG images (*.png)"},
    StringEntry{StatusMapSaved, 101, "Map saved to '%s'"},
    StringEntry{QuakeMagnitude, 101, "Magnitude %s"},
    StringEntry{QuakeLocalTime, 101, "Local time: %s"},
    StringEntry{QuakeUtcTime, 101, "UTC: %s"},
    StringEntry{QuakeDepth, 101, "Depth: %s km"},

    StringEntry{SelectorTitle, 103, "City Selector"},
    StringEntry{SelectorOk, 103, "OK"},
    StringEntry{SelectorCancel, 103, "Cancel"},
    StringEntry{SelectorSearch, 103, "Search:"},

    StringEntry{PropertiesTitle, 104, "Properties"},
    StringEntry{PropertiesCity, 104, "City:"},
    StringEntry{PropertiesCountry, 104, "Country"},
    StringEntry{PropertiesTel, 104, "Tel:"},
    StringEntry{PropertiesLocalTime, 104, "Local Time:"},
    StringEntry{PropertiesSunrise, 104, "Sunrise:"},
    StringEntry{PropertiesSunset, 104, "Sunset:"},
    StringEntry{PropertiesLatitude, 104, "Latitude:"},
    StringEntry{PropertiesLongitude, 104, "Longitude:"},
    StringEntry{PropertiesDaylightSavings, 104, "Daylight Savings"},
    StringEntry{PropertiesStarted, 104, "Started:"},
    StringEntry{PropertiesEnds, 104, "Ends:"},
    StringEntry{PropertiesOk, 104, "OK"},
    StringEntry{PropertiesMark, 104, "Mark"},
    StringEntry{PropertiesHotels, 104, "&Hotels"},
    StringEntry{PropertiesWeather, 104, "Weather"},
    StringEntry{PropertiesBooks, 104, "Books"},
    StringEntry{PropertiesTerra, 104, "Terra"},
    StringEntry{PropertiesPolarDay, 104, "Polar day"},
    StringEntry{PropertiesPolarNight, 104, "Polar night"},

    StringEntry{PreferencesTitle, 117, "Preferences"},
    StringEntry{PreferencesOk, 117, "OK"},
    StringEntry{PreferencesCancel, 117, "Cancel"},

    StringEntry{OptionsGroup, 4310, "Options"},
    StringEntry{OptionsShadowUpdate, 4310, "Automatic shadow update:"},
    StringEntry{OptionsShadowUpdateUnit, 4310, "(In minutes, 0=no updates)"},
    StringEntry{OptionsWallpaperWidth, 4310, "Wallpaper width: "},
    StringEntry{OptionsWallpaperWidthUnit, 4310, "(in pixels)"},
    StringEntry{OptionsScaleInfo, 4310, "Display Scale && Cloud Date Info"},
    StringEntry{OptionsLoopAnimation, 4310, "Loop Cloud Animation"},
    StringEntry{OptionsRefreshRefused, 4310, "Enter 0 or more minutes."},
    StringEntry{OptionsWidthRefused, 4310, "Enter a width from 64 to 16384 pixels."},

    StringEntry{BrowserGroup, 8004, "Settings"},
    StringEntry{BrowserLabel, 8004, "Browser:"},
    StringEntry{BrowserNewWindow, 8004, "Open in new browser window"},

    StringEntry{ProxyTypeGroup, 4318, "Type"},
    StringEntry{ProxySettingsGroup, 4318, "Settings"},
    StringEntry{ProxyNone, 4318, "None"},
    StringEntry{ProxyServer, 4318, "Proxy Server"},
    StringEntry{ProxySocks4, 4318, "Socks4"},
    StringEntry{ProxySocks5, 4318, "Socks5"},
    StringEntry{ProxyHost, 4318, "Host:"},
    StringEntry{ProxyPort, 4318, "Port:"},
    StringEntry{ProxyUserName, 4318, "Username:"},
    StringEntry{ProxyPassword, 4318, "Password:"},
    StringEntry{ProxyPortRefused, 4318, "Enter a port from 1 to 65535."},

    StringEntry{WeatherTitle, 8003, "Weather Forecast"},
    StringEntry{WeatherClose, 8003, "&Close"},
    StringEntry{WeatherLoading, 8003, "Loading..."},

    StringEntry{AboutTitle, 1110, "About %s"},
    StringEntry{AboutVersion, 1110, "Version %s"},
    StringEntry{AboutBuild, 1110, "Build %s"},
    StringEntry{AboutOperatingSystem, 1110, "Operating system:"},
    StringEntry{AboutMemory, 1110, "Memory:"},
    StringEntry{AboutFreeMemory, 1110, "Free memory:"},
    StringEntry{AboutMegabytes, 1110, "%s MB"},
    StringEntry{AboutUnknown, 1110, "unknown"},
    StringEntry{AboutHome, 1110, "Home page"},
    StringEntry{AboutSupport, 1110, "Support"},
    StringEntry{AboutCredits, 1110, "Credits"},
    StringEntry{AboutLicence, 1110, "Licence: %s"},
    StringEntry{AboutOk, 1110, "OK"},

    StringEntry{GoToTimeTitle, 131, "Go to Time"},
    StringEntry{GoToTimeLocal, 131, "Local time:"},
    StringEntry{GoToTimeUtc, 131, "UTC:"},
    StringEntry{GoToTimeOk, 131, "OK"},
    StringEntry{GoToTimeCancel, 131, "Cancel"},
};

constexpr bool strictlyOrdered() {
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (entries[i - 1].id >= entries[i].id) {
            return false;
        }
    }
    return true;
}
static_assert(strictlyOrdered(), "string ids must be unique and in ascending order");

} // namespace

std::span<const StringEntry> stringTable() {
    return entries;
}

const StringEntry* findString(int id) {
    const auto* found =
        std::lower_bound(entries.begin(), entries.end(), id,
                         [](const StringEntry& entry, int wanted) { return entry.id < wanted; });
    return found != entries.end() && found->id == id ? &*found : nullptr;
}

} // namespace chronvale
