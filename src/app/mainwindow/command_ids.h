#pragma once
// The command ids of the main window's menus, toolbar and context menu. Every
// command reaches one dispatcher keyed by these numbers (a QAction's data is its
// id); language files and the maker's other programs know the same numbers.

namespace chronvale::cmd {

// Display switches.
inline constexpr int DayMap = 40005;
inline constexpr int NightMap = 40006;
inline constexpr int Clouds = 40004;
inline constexpr int SunShadow = 40016;
inline constexpr int TimeZones = 40007;
inline constexpr int AllCities = 40008;
inline constexpr int CityNames = 40017;
inline constexpr int Earthquakes = 40030;
inline constexpr int CitySelection = 40009;
inline constexpr int Grid = 40018;
inline constexpr int WallpaperMode = 40026;
inline constexpr int SunMoon = 40060;
inline constexpr int Twilight = 40061;
inline constexpr int CloudsWithShadow = 40068;

// View.
inline constexpr int ZoomIn = 40012;
inline constexpr int ZoomOut = 40013;
inline constexpr int ActualPixels = 40011;
inline constexpr int FitToScreen = 40028;
inline constexpr int Refresh = 40027;

// The shown instant: another time, steps of an hour and a day, and back to now.
inline constexpr int GoToTime = 40062;
inline constexpr int HourBack = 40063;
inline constexpr int HourForward = 40064;
inline constexpr int DayBack = 40065;
inline constexpr int DayForward = 40066;
inline constexpr int BackToNow = 40067;

// The Compare Times panel under the map, shown or hidden.
inline constexpr int CompareTimes = 40069;

// Cloud animation.
inline constexpr int NextFrame = 40019;
inline constexpr int PreviousFrame = 40020;
inline constexpr int Play = 40021;
inline constexpr int Stop = 40023;

// Cities and links.
inline constexpr int SelectCity = 40001;
inline constexpr int Properties = 40002;
inline constexpr int ClearCitySelection = 40031;
// Gives back the marks the last Clear City Selection removed.
inline constexpr int UndoClearCitySelection = 40070;
inline constexpr int SatelliteImage = 40029;
inline constexpr int Faq = 163;

// Program.
inline constexpr int Upgrade = 196;
inline constexpr int SaveMapAs = 40051; // the pane as it shows now, as a PNG file
inline constexpr int Quit = 414;
inline constexpr int Settings = 105;
inline constexpr int Manual = 106;
inline constexpr int About = 1110;
// A check item: the autostart entry that starts the program with the desktop.
inline constexpr int StartWithDesktop = 40050;

// Tray menu (handled by the tray icon).
inline constexpr int TrayRestore = 40033;
inline constexpr int TrayMinimize = 40034;

// The nearby cities of the context menu: the city right under the click, and
// slot i of the ten nearest as base + i in each list.
inline constexpr int NearestCityProperties = 18999;
inline constexpr int NearbyCityProperties = 19000;
inline constexpr int NearbyCityWeather = 20000;
inline constexpr int NearbyCityHotels = 21000;
inline constexpr int NearbyCityRange = 1000; // ids base ... base + 999 belong to a list

// Languages.
inline constexpr int English = 3033;

} // namespace chronvale::cmd
