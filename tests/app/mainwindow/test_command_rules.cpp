// The display switch rules and the command tables the menus and toolbar are
// built from.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/command_rules.h"
#include "app/mainwindow/menu_table.h"
#include "i18n/string_table.h"
#include "ui/icon_index.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <set>
#include <vector>

namespace chronvale {
namespace {

SwitchOutcome run(const DisplaySwitches& s, int command, CommandContext context = {}) {
    return applySwitchCommand(s, command, context);
}

TEST(SwitchRules, DayAndNightExcludeEachOther) {
    DisplaySwitches s;
    s.nightMap = 1;
    SwitchOutcome out = run(s, cmd::DayMap);
    EXPECT_EQ(out.switches.dayMap, 1);
    EXPECT_EQ(out.switches.nightMap, 0);
    EXPECT_EQ(out.effects, EffectRebuild | EffectSync | EffectUpdateAnimation);

    out = run(out.switches, cmd::NightMap);
    EXPECT_EQ(out.switches.dayMap, 0);
    EXPECT_EQ(out.switches.nightMap, 1);
    EXPECT_EQ(out.effects, EffectRebuild | EffectSync);

    // Toggling again turns the night off without turning the day on.
    out = run(out.switches, cmd::NightMap);
    EXPECT_EQ(out.switches.dayMap, 0);
    EXPECT_EQ(out.switches.nightMap, 0);
}

TEST(SwitchRules, TimeZonesTurnNightAndCloudsOff) {
    DisplaySwitches s;
    s.nightMap = 1;
    s.clouds = 1;
    s.sunShadow = 1;
    SwitchOutcome out = run(s, cmd::TimeZones);
    EXPECT_EQ(out.switches.timeZones, 1);
    EXPECT_EQ(out.switches.nightMap, 0);
    EXPECT_EQ(out.switches.clouds, 0);
    EXPECT_EQ(out.switches.sunShadow, 1);
    EXPECT_EQ(out.effects & EffectRebuild, EffectRebuild);
    EXPECT_EQ(out.effects & EffectStopAnimation, 0u);

    // A running animation would show the clouds again: it stops.
    out = run(s, cmd::TimeZones, CommandContext{false, false, true});
    EXPECT_NE(out.effects & EffectStopAnimation, 0u);
}

TEST(SwitchRules, CloudsOnTurnTheShadowOffAndShowTheNewestFrame) {
    DisplaySwitches s;
    s.sunShadow = 1;
    SwitchOutcome out = run(s, cmd::Clouds);
    EXPECT_EQ(out.switches.clouds, 1);
    EXPECT_EQ(out.switches.sunShadow, 0);
    EXPECT_EQ(out.effects, EffectShowNewestFrame | EffectSync); // nothing cached: no rebuild

    out = run(s, cmd::Clouds, CommandContext{true, false, false});
    EXPECT_EQ(out.effects, EffectRebuild | EffectShowNewestFrame | EffectSync);
}

TEST(SwitchRules, CloudsWithSunShadowKeepsTheShadowAndRebuilds) {
    DisplaySwitches s;
    s.sunShadow = 1;
    SwitchOutcome out = run(s, cmd::CloudsWithShadow);
    EXPECT_TRUE(out.switches.cloudsWithShadow);
    EXPECT_TRUE(isSwitchOn(out.switches, cmd::CloudsWithShadow));
    EXPECT_EQ(out.effects, EffectRebuild | EffectSync);
    out = run(out.switches, cmd::Clouds);
    EXPECT_TRUE(out.switches.clouds);
    EXPECT_TRUE(out.switches.sunShadow) << "the shadow stays with the clouds";
    out = run(out.switches, cmd::CloudsWithShadow);
    EXPECT_FALSE(out.switches.cloudsWithShadow);
}

TEST(SwitchRules, CloudsOffStopTheAnimationOnlyWhenItRuns) {
    DisplaySwitches s;
    s.clouds = 1;
    SwitchOutcome out = run(s, cmd::Clouds);
    EXPECT_EQ(out.switches.clouds, 0);
    EXPECT_EQ(out.effects, EffectRebuild | EffectSync);

    out = run(s, cmd::Clouds, CommandContext{false, false, true});
    EXPECT_EQ(out.effects, EffectStopAnimation | EffectRebuild | EffectSync);
}

TEST(SwitchRules, OverlaySwitchesRepaintWithoutRebuilding) {
    for (int command : {cmd::AllCities, cmd::CitySelection, cmd::Grid, cmd::CityNames, cmd::SunMoon,
                        cmd::Twilight}) {
        const SwitchOutcome on = run(DisplaySwitches{}, command);
        EXPECT_TRUE(on.handled);
        EXPECT_EQ(on.effects, EffectRepaint | EffectSync) << command;
        const SwitchOutcome off = run(on.switches, command);
        EXPECT_EQ(off.switches, DisplaySwitches{}) << command;
    }
}

TEST(SwitchRules, CityNamesIsZeroOrForty) {
    DisplaySwitches s;
    s.cityNames = 7; // any stored value counts as on
    EXPECT_EQ(run(s, cmd::CityNames).switches.cityNames, 0);
    s.cityNames = -3;
    EXPECT_EQ(run(s, cmd::CityNames).switches.cityNames, kNamesOn);
}

TEST(SwitchRules, EarthquakesDownloadOnceWhenSwitchedOn) {
    SwitchOutcome out = run(DisplaySwitches{}, cmd::Earthquakes);
    EXPECT_EQ(out.switches.earthquakes, 1);
    EXPECT_EQ(out.effects, EffectRequestQuakes | EffectSync);

    out = run(DisplaySwitches{}, cmd::Earthquakes, CommandContext{false, true, false});
    EXPECT_EQ(out.effects, EffectRepaint | EffectSync);

    // Switching off never downloads.
    DisplaySwitches on;
    on.earthquakes = 1;
    out = run(on, cmd::Earthquakes);
    EXPECT_EQ(out.switches.earthquakes, 0);
    EXPECT_EQ(out.effects, EffectRepaint | EffectSync);
}

TEST(SwitchRules, OtherCommandsAreNotSwitches) {
    DisplaySwitches s;
    s.grid = 1;
    for (int command : {cmd::ZoomIn, cmd::Play, cmd::Quit, 0, cmd::WallpaperMode, cmd::GoToTime,
                        cmd::HourForward, cmd::BackToNow}) {
        const SwitchOutcome out = run(s, command);
        EXPECT_FALSE(out.handled) << command;
        EXPECT_EQ(out.switches, s);
        EXPECT_EQ(out.effects, EffectNone);
    }
}

// Every command id in a menu table, recursively.
void collect(std::span<const MenuItem> items, std::vector<int>& commands) {
    for (const MenuItem& item : items) {
        if (item.kind == MenuItemKind::Command) {
            commands.push_back(item.command);
        } else if (item.kind == MenuItemKind::Submenu) {
            collect(item.items, commands);
        }
    }
}

// The nineteen buttons of old and, after Earthquakes, Sun and Moon and Twilight Lines.
TEST(CommandTables, ToolbarHasTwentyTwoButtonsInThreeSeparatedGroups) {
    const auto buttons = toolbarTable();
    int count = 0;
    std::vector<int> separators;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        if (buttons[i].command == 0) {
            separators.push_back(static_cast<int>(i));
        } else {
            ++count;
            EXPECT_NE(findString(buttons[i].tipId), nullptr) << buttons[i].command;
            EXPECT_GE(buttons[i].icon, 0);
            EXPECT_LT(buttons[i].icon, IconCount);
        }
    }
    EXPECT_EQ(count, 22);
    EXPECT_EQ(separators, (std::vector<int>{5, 15, 20}));
    EXPECT_EQ(buttons[0].command, cmd::DayMap);
    EXPECT_EQ(buttons[0].icon, 20);
    EXPECT_EQ(findString(buttons[10].tipId)->text, "Show City Names");
    EXPECT_EQ(buttons[11].command, cmd::Earthquakes);
    EXPECT_EQ(buttons[11].icon, 55);
    EXPECT_EQ(findString(buttons[11].tipId)->text, "View world earthquakes in the past 7 days.");
    EXPECT_EQ(buttons[12].command, cmd::SunMoon);
    EXPECT_EQ(buttons[12].icon, IconSunMoon);
    EXPECT_EQ(findString(buttons[12].tipId)->text, "Show Sun and Moon");
    EXPECT_EQ(buttons[13].command, cmd::Twilight);
    EXPECT_EQ(buttons[13].icon, IconTwilight);
    EXPECT_EQ(findString(buttons[13].tipId)->text, "Show Twilight Lines");
    EXPECT_EQ(buttons[14].command, cmd::CompareTimes);
    EXPECT_EQ(buttons[14].icon, IconCompareTimes);
    EXPECT_EQ(findString(buttons[14].tipId)->text, "Compare Times");
    EXPECT_EQ(buttons[24].command, cmd::FitToScreen);
    EXPECT_EQ(buttons[24].icon, 54);
}

TEST(CommandTables, MenusShowOnlyCommandsThatWork) {
    std::vector<int> commands;
    collect(mainMenuTable(), commands);
    collect(contextMenuTable(), commands);
    EXPECT_EQ(std::count(commands.begin(), commands.end(), cmd::WallpaperMode), 1);
    for (int shown : {cmd::Upgrade, cmd::Quit, cmd::Refresh, cmd::Play, cmd::Stop, cmd::Manual,
                      cmd::Faq, cmd::ClearCitySelection, cmd::SatelliteImage, cmd::SelectCity,
                      cmd::Properties, cmd::Settings, cmd::About}) {
        EXPECT_GE(std::count(commands.begin(), commands.end(), shown), 1) << shown;
    }
}

TEST(CommandTables, TheShownInstantHasItsKeys) {
    EXPECT_EQ(menuShortcutOf(cmd::HourBack), "Ctrl+Left");
    EXPECT_EQ(menuShortcutOf(cmd::HourForward), "Ctrl+Right");
    EXPECT_EQ(menuShortcutOf(cmd::DayBack), "Ctrl+Shift+Left");
    EXPECT_EQ(menuShortcutOf(cmd::DayForward), "Ctrl+Shift+Right");
    EXPECT_EQ(menuShortcutOf(cmd::BackToNow), "Ctrl+0");
    EXPECT_FALSE(menuShortcutOf(cmd::GoToTime));
    EXPECT_TRUE(isCheckableCommand(cmd::SunMoon));
    EXPECT_TRUE(isCheckableCommand(cmd::Twilight));
    EXPECT_FALSE(isCheckableCommand(cmd::HourForward));
}

TEST(CommandTables, MenuTextsComeFromTheirMenusContext) {
    // Each item's text id names an entry of its own menu, so a language file
    // translates it under that menu's number.
    const auto check = [](std::span<const MenuItem> items, int context, auto& self) -> void {
        for (const MenuItem& item : items) {
            if (item.kind == MenuItemKind::Command || item.kind == MenuItemKind::Submenu) {
                const StringEntry* entry = findString(item.textId);
                ASSERT_NE(entry, nullptr) << item.command;
                EXPECT_EQ(entry->context, context) << entry->text;
            }
            if (item.kind == MenuItemKind::Submenu) {
                self(item.items, context, self);
            }
        }
    };
    check(mainMenuTable(), mainMenuContext, check);
    check(contextMenuTable(), contextMenuContext, check);
}

TEST(CommandTables, LanguagesAndTheirIcons) {
    const auto languages = languageItems();
    ASSERT_EQ(languages.size(), 15u);
    EXPECT_EQ(languages[0].command, cmd::English);
    EXPECT_TRUE(languages[0].code.empty());
    std::set<std::string_view> codes;
    for (const LanguageItem& language : languages) {
        codes.insert(language.code);
    }
    EXPECT_EQ(codes.size(), 15u);
    EXPECT_EQ(findLanguageItem(1193)->code, "de");
    EXPECT_EQ(findLanguageItem(2362)->code, "jo");
    EXPECT_EQ(findLanguageItem(40005), nullptr);

    EXPECT_EQ(menuIconOf(1193), IconFlagGermany);
    EXPECT_EQ(menuIconOf(cmd::English), 42);
    // Every language of the menu shows a flag, each its own.
    std::set<int> flags;
    for (const LanguageItem& language : languages) {
        const std::optional<int> icon = menuIconOf(language.command);
        ASSERT_TRUE(icon.has_value()) << language.code;
        flags.insert(*icon);
    }
    EXPECT_EQ(flags.size(), languages.size());
    EXPECT_EQ(menuIconOf(2362), IconFlagJordan);
    EXPECT_EQ(menuIconOf(2399), IconFlagSweden);
    EXPECT_EQ(menuIconOf(cmd::NearestCityProperties), 4);
    EXPECT_EQ(menuIconOf(cmd::NearbyCityWeather + 3), 1);
    EXPECT_EQ(menuIconOf(cmd::NearbyCityHotels), 1);
    EXPECT_EQ(menuIconOf(cmd::Upgrade), 0);
    EXPECT_EQ(menuIconOf(cmd::DayMap), std::nullopt);
}

} // namespace
} // namespace chronvale
