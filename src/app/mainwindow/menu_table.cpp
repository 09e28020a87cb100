#include "app/mainwindow/menu_table.h"

#include "app/mainwindow/command_ids.h"
#include "i18n/string_table.h"
#include "ui/icon_index.h"

#include <array>

namespace chronvale {

namespace {

using K = MenuItemKind;

constexpr MenuItem item(int command, int textId) {
    return MenuItem{K::Command, command, textId, {}};
}
constexpr MenuItem separator() {
    return MenuItem{K::Separator, 0, 0, {}};
}
constexpr MenuItem submenu(int textId, std::span<const MenuItem> items) {
    return MenuItem{K::Submenu, 0, textId, items};
}

constexpr std::array fileMenu{
    item(cmd::SaveMapAs, str::MenuSaveMapAs), separator(),
    item(cmd::Upgrade, str::MenuUpgrade),     separator(),
    item(cmd::Quit, str::MenuQuit),
};

constexpr std::array viewMenu{
    item(cmd::ZoomIn, str::MenuZoomIn),
    item(cmd::ZoomOut, str::MenuZoomOut),
    item(cmd::ActualPixels, str::MenuActualPixels),
    item(cmd::FitToScreen, str::MenuFitToScreen),
    separator(),
    item(cmd::DayMap, str::MenuDayMap),
    item(cmd::NightMap, str::MenuNightMap),
    item(cmd::Clouds, str::MenuClouds),
    item(cmd::SunShadow, str::MenuSunShadow),
    item(cmd::CloudsWithShadow, str::MenuCloudsWithShadow),
    item(cmd::TimeZones, str::MenuTimeZones),
    separator(),
    item(cmd::AllCities, str::MenuAllCities),
    item(cmd::CityNames, str::MenuCityNames),
    item(cmd::Earthquakes, str::MenuEarthquakes),
    separator(),
    item(cmd::CitySelection, str::MenuCitySelection),
    item(cmd::Grid, str::MenuGrid),
    item(cmd::SunMoon, str::MenuSunMoon),
    item(cmd::Twilight, str::MenuTwilight),
    separator(),
    item(cmd::GoToTime, str::MenuGoToTime),
    item(cmd::HourBack, str::MenuHourBack),
    item(cmd::HourForward, str::MenuHourForward),
    item(cmd::DayBack, str::MenuDayBack),
    item(cmd::DayForward, str::MenuDayForward),
    item(cmd::BackToNow, str::MenuNow),
    item(cmd::CompareTimes, str::MenuCompareTimes),
    separator(),
    item(cmd::Refresh, str::MenuRefresh),
};

constexpr std::array animationMenu{
    item(cmd::NextFrame, str::MenuNext),
    item(cmd::PreviousFrame, str::MenuPrevious),
    separator(),
    item(cmd::Play, str::MenuPlay),
    item(cmd::Stop, str::MenuStop),
};

constexpr std::array languageMenu{
    MenuItem{K::Languages, 0, 0, {}},
};

constexpr std::array optionsMenu{
    submenu(str::MenuLanguage, languageMenu),
    separator(),
    item(cmd::SelectCity, str::MenuSelectCity),
    item(cmd::ClearCitySelection, str::MenuClearCitySelection),
    item(cmd::UndoClearCitySelection, str::MenuUndoClearCitySelection),
    item(cmd::WallpaperMode, str::MenuWallpaperMode),
    separator(),
    item(cmd::Settings, str::MenuSettings),
    item(cmd::StartWithDesktop, str::MenuStartWithDesktop),
};

constexpr std::array helpMenu{
    item(cmd::About, str::MenuAbout),
    separator(),
    item(cmd::Manual, str::MenuManual),
    item(cmd::Faq, str::MenuFaq),
};

constexpr std::array mainMenu{
    submenu(str::MenuFile, fileMenu),           submenu(str::MenuView, viewMenu),
    submenu(str::MenuAnimation, animationMenu), submenu(str::MenuOptions, optionsMenu),
    submenu(str::MenuHelp, helpMenu),
};

constexpr std::array contextViewMenu{
    item(cmd::DayMap, str::ContextDayMap),
    item(cmd::NightMap, str::ContextNightMap),
    item(cmd::Clouds, str::ContextClouds),
    item(cmd::SunShadow, str::ContextSunShadow),
    item(cmd::TimeZones, str::ContextTimeZones),
    separator(),
    item(cmd::AllCities, str::ContextAllCities),
    item(cmd::CityNames, str::ContextCityNames),
    item(cmd::Earthquakes, str::ContextEarthquakes),
    separator(),
    item(cmd::CitySelection, str::ContextCitySelection),
    separator(),
    item(cmd::Grid, str::ContextGrid),
    item(cmd::SunMoon, str::ContextSunMoon),
    item(cmd::Twilight, str::ContextTwilight),
};

constexpr std::array contextWeatherMenu{
    MenuItem{K::NearbyCities, cmd::NearbyCityWeather, 0, {}},
};

constexpr std::array contextHotelsMenu{
    MenuItem{K::NearbyCities, cmd::NearbyCityHotels, 0, {}},
};

constexpr std::array contextMenu{
    item(cmd::SelectCity, str::ContextSelect),
    submenu(str::ContextView, contextViewMenu),
    separator(),
    submenu(str::ContextWeather, contextWeatherMenu),
    submenu(str::ContextHotels, contextHotelsMenu),
    item(cmd::SatelliteImage, str::ContextSatelliteImage),
    separator(),
    item(cmd::ZoomIn, str::ContextZoomIn),
    item(cmd::ZoomOut, str::ContextZoomOut),
    item(cmd::FitToScreen, str::ContextFitToScreen),
    item(cmd::ActualPixels, str::ContextActualPixels),
    separator(),
    MenuItem{K::NearbyCities, cmd::NearbyCityProperties, 0, {}},
    separator(),
    item(cmd::Properties, str::ContextProperties),
};

constexpr std::array toolbar{
    ToolbarButton{cmd::DayMap, IconDayMap, str::TipDayMap},
    ToolbarButton{cmd::NightMap, IconNightMap, str::TipNightMap},
    ToolbarButton{cmd::Clouds, IconClouds, str::TipClouds},
    ToolbarButton{cmd::SunShadow, IconSunShadow, str::TipSunShadow},
    ToolbarButton{cmd::Refresh, IconRefresh, str::TipRefresh},
    ToolbarButton{},
    ToolbarButton{cmd::TimeZones, IconTimeZones, str::TipTimeZones},
    ToolbarButton{cmd::Grid, IconGrid, str::TipGrid},
    ToolbarButton{cmd::AllCities, IconAllCities, str::TipAllCities},
    ToolbarButton{cmd::CitySelection, IconCitySelection, str::TipCitySelection},
    ToolbarButton{cmd::CityNames, IconCityNames, str::TipCityNames},
    ToolbarButton{cmd::Earthquakes, IconEarthquakes, str::TipEarthquakes},
    ToolbarButton{cmd::SunMoon, IconSunMoon, str::TipSunMoon},
    ToolbarButton{cmd::Twilight, IconTwilight, str::TipTwilight},
    ToolbarButton{cmd::CompareTimes, IconCompareTimes, str::TipCompareTimes},
    ToolbarButton{},
    ToolbarButton{cmd::PreviousFrame, IconPreviousFrame, str::TipPreviousFrame},
    ToolbarButton{cmd::Play, IconPlay, str::TipPlay},
    ToolbarButton{cmd::Stop, IconStop, str::TipStop},
    ToolbarButton{cmd::NextFrame, IconNextFrame, str::TipNextFrame},
    ToolbarButton{},
    ToolbarButton{cmd::ZoomIn, IconZoomIn, str::TipZoomIn},
    ToolbarButton{cmd::ZoomOut, IconZoomOut, str::TipZoomOut},
    ToolbarButton{cmd::ActualPixels, IconActualPixels, str::TipActualPixels},
    ToolbarButton{cmd::FitToScreen, IconFitToScreen, str::TipFitToScreen},
};

constexpr std::array languages{
    LanguageItem{cmd::English, "", str::MenuEnglish},
    LanguageItem{2362, "jo", str::MenuArabic},
    LanguageItem{3060, "cn", str::MenuChineseSimplified},
    LanguageItem{3061, "b5", str::MenuChineseTraditional},
    LanguageItem{537, "cz", str::MenuCzech},
    LanguageItem{1192, "nl", str::MenuDutch},
    LanguageItem{3032, "fr", str::MenuFrench},
    LanguageItem{1193, "de", str::MenuGerman},
    LanguageItem{538, "gr", str::MenuGreek},
    LanguageItem{1194, "it", str::MenuItalian},
    LanguageItem{3035, "jp", str::MenuJapanese},
    LanguageItem{3036, "kr", str::MenuKorean},
    LanguageItem{2365, "pt", str::MenuPortuguese},
    LanguageItem{2366, "sp", str::MenuSpanish},
    LanguageItem{2399, "se", str::MenuSwedish},
};

struct MenuIcon {
    int command;
    int icon;
};

constexpr std::array menuIcons{
    MenuIcon{cmd::ActualPixels, IconActualPixels},
    MenuIcon{cmd::ZoomIn, IconZoomIn},
    MenuIcon{cmd::ZoomOut, IconZoomOut},
    MenuIcon{cmd::NextFrame, IconNextFrame},
    MenuIcon{cmd::PreviousFrame, IconPreviousFrame},
    MenuIcon{cmd::Play, IconPlay},
    MenuIcon{cmd::Stop, IconStop},
    MenuIcon{cmd::Refresh, IconRefresh},
    MenuIcon{cmd::FitToScreen, IconFitToScreen},
    MenuIcon{cmd::Upgrade, IconUpgrade},
    MenuIcon{cmd::NearestCityProperties, IconNearestCity},
    MenuIcon{cmd::CompareTimes, IconCompareTimes},
    // Languages: their flags.
    MenuIcon{537, IconFlagCzechia},
    MenuIcon{538, IconFlagGreece},
    MenuIcon{1192, IconFlagNetherlands},
    MenuIcon{1193, IconFlagGermany},
    MenuIcon{1194, IconFlagItaly},
    MenuIcon{2365, IconFlagPortugal},
    MenuIcon{2366, IconFlagSpain},
    MenuIcon{2362, IconFlagJordan},
    MenuIcon{2399, IconFlagSweden},
    MenuIcon{3032, IconFlagFrance},
    MenuIcon{cmd::English, IconFlagUnitedKingdom},
    MenuIcon{3035, IconFlagJapan},
    MenuIcon{3036, IconFlagKorea},
    MenuIcon{3060, IconFlagChina},
    MenuIcon{3061, IconFlagTaiwan},
};

constexpr std::array checkable{
    cmd::DayMap,        cmd::NightMap,  cmd::Clouds,      cmd::SunShadow,        cmd::TimeZones,
    cmd::AllCities,     cmd::CityNames, cmd::Earthquakes, cmd::CitySelection,    cmd::Grid,
    cmd::WallpaperMode, cmd::SunMoon,   cmd::Twilight,    cmd::CloudsWithShadow,
};

struct MenuShortcut {
    int command;
    std::string_view keys;
};

constexpr std::array menuShortcuts{
    MenuShortcut{cmd::HourBack, "Ctrl+Left"},
    MenuShortcut{cmd::HourForward, "Ctrl+Right"},
    MenuShortcut{cmd::DayBack, "Ctrl+Shift+Left"},
    MenuShortcut{cmd::DayForward, "Ctrl+Shift+Right"},
    MenuShortcut{cmd::BackToNow, "Ctrl+0"},
    MenuShortcut{cmd::UndoClearCitySelection, "Ctrl+Z"},
    MenuShortcut{cmd::CompareTimes, "Ctrl+T"},
};

} // namespace

std::span<const MenuItem> mainMenuTable() {
    return mainMenu;
}

std::span<const MenuItem> contextMenuTable() {
    return contextMenu;
}

std::span<const ToolbarButton> toolbarTable() {
    return toolbar;
}

std::span<const LanguageItem> languageItems() {
    return languages;
}

const LanguageItem* findLanguageItem(int command) {
    for (const LanguageItem& language : languages) {
        if (language.command == command) {
            return &language;
        }
    }
    return nullptr;
}

std::optional<int> menuIconOf(int command) {
    if (command >= cmd::NearbyCityProperties &&
        command <= cmd::NearbyCityProperties + 3 * cmd::NearbyCityRange) {
        return IconNearbyCity; // every nearby city of the three lists
    }
    for (const MenuIcon& icon : menuIcons) {
        if (icon.command == command) {
            return icon.icon;
        }
    }
    return std::nullopt;
}

std::optional<std::string_view> menuShortcutOf(int command) {
    for (const MenuShortcut& shortcut : menuShortcuts) {
        if (shortcut.command == command) {
            return shortcut.keys;
        }
    }
    return std::nullopt;
}

bool isCheckableCommand(int command) {
    for (int id : checkable) {
        if (id == command) {
            return true;
        }
    }
    return false;
}

} // namespace chronvale
