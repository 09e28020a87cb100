#pragma once
// The program's English texts, each under a fixed string id.
//
// Every text the user can see is here: the messages and status texts, the
// toolbar tips, the menu items and the texts of the dialogs. A language file
// translates them by their English text (language_file.h); the ids only pick the
// English text.
//
// Id ranges:
//   1000 - 1999   the string ids the program has always had (1423 "Unable to load
//                 file '%s'", 1391 "Zoom In" ...); language files and other
//                 programs of the maker refer to them, so they never change.
//   30000 - 30999 further texts of the string table (toolbar tips, messages).
//   31000 - 31999 items of the main menu 1008,
//   32000 - 32999 items of the map's context menu 102,
//   33000 - 33999 items of the tray menu 1009: the hundreds name the popup menu
//                 the item belongs to (31000 the menu bar, 31100 "&File" ...), so
//                 that accelerators can be checked per popup menu.
//   34000 - 34999 dialog texts, a block of a hundred per dialog: 34100 main window
//                 101, 34200 city selector 103, 34300 properties 104, 34400
//                 preferences 117, 34500 options page 4310, 34600 browser page
//                 8004, 34700 proxy page 4318, 34800 weather window 8003, 34900
//                 the about box (1110, the number of its command).
//   35000 - 35999 texts of later dialogs, a block of a hundred each: 35100 Go to
//                 Time 131.
//
// Texts of menus and dialogs carry the number of their menu or dialog: a language
// file translates them under that context (see translate()).

#include <span>
#include <string_view>

namespace chronvale {

namespace str {

enum Id : int {
    // The program's own string ids.
    WinsockError = 1041,
    ColumnCity = 1387,
    ColumnCountry = 1388,
    ColumnState = 1389,
    TipZoomIn = 1391,
    PageOptions = 1409,
    PageSettings = 1410,
    PageProxy = 1411,
    DownloadingSatelliteImage = 1417,
    UnableToConnect = 1418,
    Complete = 1419,
    ConnectingToSatelliteServer = 1420,
    CheckingForNewSatelliteData = 1421,
    DownloadingLatestSatelliteImage = 1422,
    UnableToLoadFile = 1423,
    FileNotFound = 1425,
    ServerErrorCaption = 1429,
    DownloadingEarthquakeData = 1433,
    TipEarthquakes = 1434,
    UnableToOpenBrowser = 1440,
    BrowserErrorCaption = 1442,

    // Toolbar tips.
    TipDayMap = 30001,
    TipNightMap = 30002,
    TipClouds = 30003,
    TipSunShadow = 30004,
    TipRefresh = 30005,
    TipTimeZones = 30006,
    TipGrid = 30007,
    TipAllCities = 30008,
    TipCitySelection = 30009,
    TipCityNames = 30010,
    TipPreviousFrame = 30011,
    TipPlay = 30012,
    TipStop = 30013,
    TipNextFrame = 30014,
    TipZoomOut = 30015,
    TipActualPixels = 30016,
    TipFitToScreen = 30017,
    TipSunMoon = 30050,
    TipTwilight = 30051,
    TipCompareTimes = 30052,

    // Messages.
    UnableToGetSocket = 30101,
    AddressTranslationError = 30102,
    HostNotFound = 30103,
    RequestSendFailed = 30104,      // the HTTP request
    SocksRequestSendFailed = 30105, // a SOCKS negotiation step
    OutOfMemory = 30106,
    ConfigIniError = 30107,
    EarthquakesRecorded = 30108,
    UnableToWriteFile = 30120, // %s: the file
    // Wallpaper Mode.
    WallpaperNoDesktop = 30150,       // no desktop interface found; %s: those looked for
    WallpaperNotReadBack = 30151,     // the desktop's own wallpaper cannot be restored
    WallpaperRefused = 30152,         // %s: the desktop interface that refused
    WallpaperStateUnreadable = 30153, // %s: the desktop interface
    WallpaperBusy = 30154,            // another process holds the wallpaper lock
    SaveMapFailed = 30160,
    BrowserAddress = 30161, // the address the browser was asked to open
    CopyAddress = 30162,
    // The age of the data shown and why it is old (net/data_source.h).
    AgeHours = 30170,      // %s: the UTC time (14:00), %s: hours
    AgeMinutes = 30171,    // %s: the UTC time, %s: minutes
    CloudsOld = 30172,     // %s: hours
    QuakesOld = 30173,     // %s: hours
    ServerSays = 30174,    // %s: the image server's own words (English)
    CloudsMissing = 30175, // no frame at all, and the server said why
    QuakesMissing = 30176, // no earthquake list at all, and the server said why

    // Texts drawn on the map.
    QuakeLegendCaption = 30201, // the earthquake legend's caption

    // Main menu 1008: the menu bar.
    MenuFile = 31001,
    MenuView = 31002,
    MenuAnimation = 31003,
    MenuOptions = 31004,
    MenuHelp = 31005,
    // "&File"
    MenuUpgrade = 31101,
    MenuQuit = 31102,
    MenuSaveMapAs = 31110,
    // "&View"
    MenuZoomIn = 31201,
    MenuZoomOut = 31202,
    MenuActualPixels = 31203,
    MenuFitToScreen = 31204,
    MenuDayMap = 31205,
    MenuNightMap = 31206,
    MenuClouds = 31207,
    MenuSunShadow = 31208,
    MenuTimeZones = 31209,
    MenuAllCities = 31210,
    MenuCityNames = 31211,
    MenuEarthquakes = 31212,
    MenuCitySelection = 31213,
    MenuGrid = 31214,
    MenuRefresh = 31215,
    MenuSunMoon = 31250,
    MenuTwilight = 31251,
    MenuGoToTime = 31252,
    MenuHourBack = 31253,
    MenuHourForward = 31254,
    MenuDayBack = 31255,
    MenuDayForward = 31256,
    MenuNow = 31257,
    MenuCloudsWithShadow = 31258,
    MenuCompareTimes = 31259,
    // "&Animation"
    MenuNext = 31301,
    MenuPrevious = 31302,
    MenuPlay = 31303,
    MenuStop = 31304,
    // "&Options"
    MenuLanguage = 31401,
    MenuSelectCity = 31402,
    MenuClearCitySelection = 31403,
    MenuWallpaperMode = 31404,
    MenuSettings = 31405,
    MenuUndoClearCitySelection = 31406,
    MenuStartWithDesktop = 31410,
    // "&Language"
    MenuEnglish = 31501,
    MenuArabic = 31502,
    MenuChineseSimplified = 31503,
    MenuChineseTraditional = 31504,
    MenuCzech = 31505,
    MenuDutch = 31506,
    MenuFrench = 31507,
    MenuGerman = 31508,
    MenuGreek = 31509,
    MenuItalian = 31510,
    MenuJapanese = 31511,
    MenuKorean = 31512,
    MenuPortuguese = 31513,
    MenuSpanish = 31514,
    MenuSwedish = 31515,
    // "&Help"
    MenuAbout = 31601,
    MenuManual = 31602,
    MenuFaq = 31603,

    // Context menu 102: its one popup, "Options", holds the items below.
    ContextOptions = 32001,
    ContextSelect = 32101,
    ContextView = 32102,
    ContextWeather = 32103,
    ContextHotels = 32104,
    ContextSatelliteImage = 32105,
    ContextZoomIn = 32106,
    ContextZoomOut = 32107,
    ContextFitToScreen = 32108,
    ContextActualPixels = 32109,
    ContextProperties = 32110,
    // its "View" submenu
    ContextDayMap = 32201,
    ContextNightMap = 32202,
    ContextClouds = 32203,
    ContextSunShadow = 32204,
    ContextTimeZones = 32205,
    ContextAllCities = 32206,
    ContextCityNames = 32207,
    ContextEarthquakes = 32208,
    ContextCitySelection = 32209,
    ContextGrid = 32210,
    ContextSunMoon = 32250,
    ContextTwilight = 32251,

    // Tray menu 1009: its one popup, "Options".
    TrayOptions = 33001,
    TrayRestore = 33101,
    TrayMinimize = 33102,
    TrayExit = 33103,

    // Main window 101: status and map texts.
    StatusLoading = 34101,
    StatusCalculatingShadow = 34102,
    MapScale = 34103,
    MapImageDate = 34104,
    StatusShowingInstant = 34150, // the map shows another instant than now
    LegendCivilTwilight = 34151,
    LegendNauticalTwilight = 34152,
    LegendAstronomicalTwilight = 34153,
    SaveMapTitle = 34160,
    SaveMapFilter = 34161,
    StatusMapSaved = 34162,
    QuakeMagnitude = 34163, // the earthquake marker's tooltip
    QuakeLocalTime = 34164,
    QuakeUtcTime = 34165,
    QuakeDepth = 34166,
    StatusMarksCleared = 34167, // Clear City Selection: how many, and the Undo key
    StatusMarksRestored = 34168,

    // City selector 103.
    SelectorTitle = 34201,
    SelectorOk = 34202,
    SelectorCancel = 34203,
    SelectorSearch = 34204,

    // City properties 104.
    PropertiesTitle = 34301,
    PropertiesCity = 34302,
    PropertiesCountry = 34303,
    PropertiesTel = 34304,
    PropertiesLocalTime = 34305,
    PropertiesSunrise = 34306,
    PropertiesSunset = 34307,
    PropertiesLatitude = 34308,
    PropertiesLongitude = 34309,
    PropertiesDaylightSavings = 34310,
    PropertiesStarted = 34311,
    PropertiesEnds = 34312,
    PropertiesOk = 34313,
    PropertiesMark = 34314,
    PropertiesHotels = 34315,
    PropertiesWeather = 34316,
    PropertiesBooks = 34317,
    PropertiesTerra = 34318,
    PropertiesPolarDay = 34319,   // sunrise and sunset when the sun does not set
    PropertiesPolarNight = 34320, // ... and when it does not rise
    PropertiesTimeZone = 34321,   // the city's IANA zone, abbreviation and offset

    // Preferences 117.
    PreferencesTitle = 34401,
    PreferencesOk = 34402,
    PreferencesCancel = 34403,

    // Options page 4310.
    OptionsGroup = 34501,
    OptionsShadowUpdate = 34502,
    OptionsShadowUpdateUnit = 34503,
    OptionsWallpaperWidthUnit = 34505,
    OptionsScaleInfo = 34506,
    OptionsLoopAnimation = 34507,
    OptionsRefreshRefused = 34508,
    OptionsWidthRefused = 34509,
    OptionsWallpaperGroup = 34510,
    OptionsWidthCap = 34511, // check box before the width cap's edit
    OptionsPlacement = 34512,
    OptionsPlacementFit = 34513,
    OptionsPlacementFill = 34514,
    OptionsCentre = 34515,
    OptionsCentreGreenwich = 34516,
    OptionsCentreDateLine = 34517,
    OptionsSystemZones = 34518,

    // Browser page 8004.
    BrowserGroup = 34601,
    BrowserLabel = 34602,
    BrowserNewWindow = 34603,

    // Proxy page 4318.
    ProxyTypeGroup = 34701,
    ProxySettingsGroup = 34702,
    ProxyNone = 34703,
    ProxyServer = 34704,
    ProxySocks4 = 34705,
    ProxySocks5 = 34706,
    ProxyHost = 34707,
    ProxyPort = 34708,
    ProxyUserName = 34709,
    ProxyPassword = 34710,
    ProxyPortRefused = 34711,

    // Weather window 8003.
    WeatherTitle = 34801,
    WeatherClose = 34802,
    WeatherLoading = 34803,

    // About box (shown by the About command 1110, translated under 1110).
    AboutTitle = 34901,
    AboutVersion = 34902,
    AboutBuild = 34903,
    AboutOperatingSystem = 34904,
    AboutMemory = 34905,
    AboutFreeMemory = 34906,
    AboutMegabytes = 34907,
    AboutUnknown = 34908,
    AboutHome = 34909,
    AboutSupport = 34910,
    AboutCredits = 34911,
    AboutLicence = 34912,
    AboutOk = 34913,

    // Go to Time 131.
    GoToTimeTitle = 35101,
    GoToTimeLocal = 35102,
    GoToTimeUtc = 35103,
    GoToTimeOk = 35104,
    GoToTimeCancel = 35105,

    // The Compare Times panel 132.
    CompareTitle = 35201,
    CompareNow = 35202,
    CompareNextOverlap = 35203,
    CompareCopy = 35204,
    CompareUtc = 35205,
    CompareHere = 35206,
    CompareNoCities = 35207,
    CompareBadTime = 35208,
    CompareOverlap = 35209,
    ComparePartial = 35210,
    CompareNoOverlap = 35211,
    CompareWorkingHours = 35212,
    CompareLabel = 35213,
    CompareHoursPrompt = 35214,
    CompareLabelPrompt = 35215,
    CompareMinimum = 35216,
};

} // namespace str

// The menus and dialogs whose texts a language file translates under their number.
inline constexpr int mainMenuContext = 1008;
inline constexpr int contextMenuContext = 102;
inline constexpr int trayMenuContext = 1009;

// True for the three menus: their items are translated only under "text:menu".
constexpr bool isMenuContext(int context) {
    return context == mainMenuContext || context == contextMenuContext ||
           context == trayMenuContext;
}

struct StringEntry {
    int id;
    int context; // 0 for the string table proper, else the menu or dialog number
    std::string_view text;
};

// Every entry, ordered by id.
std::span<const StringEntry> stringTable();

// The entry with that id, or none.
const StringEntry* findString(int id);

} // namespace chronvale
