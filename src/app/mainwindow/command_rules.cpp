#include "app/mainwindow/command_rules.h"

#include "app/mainwindow/command_ids.h"

namespace chronvale {

bool isSwitchOn(const DisplaySwitches& s, int command) {
    switch (command) {
    case cmd::DayMap:
        return s.dayMap;
    case cmd::NightMap:
        return s.nightMap;
    case cmd::Clouds:
        return s.clouds;
    case cmd::SunShadow:
        return s.sunShadow;
    case cmd::TimeZones:
        return s.timeZones;
    case cmd::AllCities:
        return s.allCities;
    case cmd::CityNames:
        return s.cityNames != 0;
    case cmd::Earthquakes:
        return s.earthquakes;
    case cmd::CitySelection:
        return s.markedCities;
    case cmd::Grid:
        return s.grid;
    case cmd::SunMoon:
        return s.sunMoon;
    case cmd::Twilight:
        return s.twilight;
    default:
        return false;
    }
}

SwitchOutcome applySwitchCommand(const DisplaySwitches& current, int command,
                                 const CommandContext& context) {
    SwitchOutcome out;
    out.handled = true;
    out.switches = current;
    DisplaySwitches& s = out.switches;
    switch (command) {
    case cmd::DayMap:
        s.dayMap = !s.dayMap;
        s.nightMap = false;
        out.effects = EffectRebuild | EffectSync | EffectUpdateAnimation;
        break;
    case cmd::NightMap:
        s.dayMap = false;
        s.nightMap = !s.nightMap;
        // The sync also greys Sun Shadow while the night map shows.
        out.effects = EffectRebuild | EffectSync;
        break;
    case cmd::Clouds:
        if (s.clouds) {
            s.clouds = false;
            out.effects = EffectRebuild | EffectSync;
            if (context.animationRunning) {
                out.effects |= EffectStopAnimation;
            }
        } else {
            s.clouds = true;
            // The shadow goes off before the composition, so that the map never
            // shows a shadow the switch says is off.
            s.sunShadow = false;
            out.effects = EffectShowNewestFrame | EffectSync;
            if (context.newestFrameCached) {
                out.effects |= EffectRebuild;
            }
        }
        break;
    case cmd::SunShadow:
        s.sunShadow = !s.sunShadow;
        out.effects = EffectRebuild | EffectSync;
        break;
    case cmd::TimeZones:
        s.timeZones = !s.timeZones;
        s.nightMap = false;
        s.clouds = false;
        out.effects = EffectRebuild | EffectSync;
        if (context.animationRunning) {
            out.effects |= EffectStopAnimation; // the clouds it animated are off
        }
        break;
    case cmd::AllCities:
        s.allCities = !s.allCities;
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::CityNames:
        s.cityNames = s.cityNames < 1 ? kNamesOn : 0;
        // The hover marks belong to the kept base layer: draw it again.
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::Earthquakes:
        s.earthquakes = !s.earthquakes;
        // The list is fetched once, when the display first goes on.
        out.effects =
            (s.earthquakes && !context.quakesLoaded ? EffectRequestQuakes : EffectRepaint) |
            EffectSync;
        break;
    case cmd::CitySelection:
        s.markedCities = !s.markedCities;
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::Grid:
        s.grid = !s.grid;
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::SunMoon:
        s.sunMoon = !s.sunMoon;
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::Twilight:
        s.twilight = !s.twilight;
        out.effects = EffectRepaint | EffectSync;
        break;
    default:
        return SwitchOutcome{false, current, EffectNone};
    }
    return out;
}

} // namespace chronvale
