#pragma once
// The positions in the program's icon strip. The toolbar, the menus and the list
// views name an icon by its position, so the numbers below are fixed: code uses
// these names, never bare numbers.

namespace chronvale {

enum IconIndex : int {
    // Menus and lists
    IconUpgrade = 0,        // File > Upgrade
    IconNearbyCity = 1,     // a nearby city in the map's context menu; an unmarked city in a list
    IconProgram = 2,        // the program: a lit globe with a clock hand (window and tray)
    IconProperties = 3,     // city properties
    IconNearestCity = 4,    // the city right under the click (context menu item 18999)
    IconCitySelection = 5,  // toolbar "Show City Selection"; a marked city in a list
    IconZoomIn = 6,         // toolbar and menu "Zoom In"
    IconZoomOut = 7,        // toolbar and menu "Zoom Out"
    IconGrid = 8,           // toolbar "Show Latitude/Longitude Grid"
    IconTimeZones = 9,      // toolbar "Show Timezones"
    IconNextFrame = 10,     // toolbar and menu "Show Next Frame"
    IconSelectCity = 11,    // Options > Select City (the city selector)
    IconPlay = 12,          // toolbar and menu "Play Clouds Animation"
    IconStop = 13,          // toolbar and menu "Stop Animation"
    IconPreviousFrame = 14, // toolbar and menu "Show Previous Frame"
    IconAllCities = 15,     // toolbar "Show All Cities"
    IconActualPixels = 16,  // toolbar and menu "Actual Pixels"
    IconClouds = 17,        // toolbar "Show Clouds"
    IconCityNames = 18,     // toolbar "Show City Names"
    IconSunShadow = 19,     // toolbar "Show Sun Shadow"
    IconDayMap = 20,        // toolbar "Show Day Map"
    IconNightMap = 21,      // toolbar "Show Night Map"
    IconSettings = 22,      // Options > Settings
    IconAbout = 23,         // Help > About
    IconManual = 24,        // Help > Manual

    // Language flags (and a few more commands between them)
    IconFlagPortugal = 25,      // Portuguese
    IconFlagJordan = 26,        // Arabic
    IconFlagChina = 27,         // Chinese (Simplified)
    IconFlagCzechia = 28,       // Czech
    IconFlagSweden = 29,        // Swedish
    IconFaq = 30,               // Help > FAQ
    IconFlagFrance = 31,        // French
    IconFlagGermany = 32,       // German
    IconFlagItaly = 33,         // Italian
    IconFlagJapan = 34,         // Japanese
    IconFlagKorea = 35,         // Korean
    IconFlagNetherlands = 36,   // Dutch
    IconSatelliteImage = 37,    // "Satellite Image" link
    IconWeather = 38,           // "Weather" links
    IconFlagSpain = 39,         // Spanish
    IconHotels = 40,            // "Hotels" links
    IconBooks = 41,             // "Books" link
    IconFlagUnitedKingdom = 42, // English
    IconWallpaperMode = 43,     // Options > Wallpaper Mode
    IconQuit = 44,              // File > Quit, tray Exit
    IconRestore = 45,           // tray Restore
    IconMinimize = 46,          // tray Minimize
    IconFlagGreece = 47,        // Greek
    IconClearSelection = 48,    // Options > Clear City Selection
    IconFlagTaiwan = 49,        // Chinese (Traditional)
    IconLanguage = 50,          // Options > Language
    IconWebLink = 51,           // a web address (about box, link buttons)
    IconBlank = 52,             // fully transparent: keeps text aligned where an item has no icon

    // Toolbar
    IconRefresh = 53,      // toolbar and menu "Refresh"
    IconFitToScreen = 54,  // toolbar and menu "Fit to Screen"
    IconEarthquakes = 55,  // toolbar "View world earthquakes in the past 7 days."
    IconSunMoon = 56,      // toolbar "Show Sun and Moon"
    IconTwilight = 57,     // toolbar "Show Twilight Lines"
    IconCompareTimes = 58, // toolbar and View > "Compare Times"

    IconCount = 59
};

} // namespace chronvale
