#include "app/mainwindow/command_rules.h"

#include "app/mainwindow/command_ids.h"
#include "config/settings.h"

namespace chronvale {

namespace {

int toggled(int flag) {
    return flag == 0 ? 1 : 0;
}

} // namespace

Switches switchesOf(const Settings& settings) {
    Switches s;
    s.day = settings.day;
    s.night = settings.night;
    s.clouds = settings.clouds;
    s.shadow = settings.shadow;
    s.zones = settings.zones;
    s.cities = settings.cities;
    s.names = settings.track;
    s.marked = settings.marked;
    s.grid = settings.grid;
    s.quakes = settings.quakes;
    return s;
}

void storeSwitches(const Switches& switches, Settings& settings) {
    settings.day = switches.day;
    settings.night = switches.night;
    settings.clouds = switches.clouds;
    settings.shadow = switches.shadow;
    settings.zones = switches.zones;
    settings.cities = switches.cities;
    settings.track = switches.names;
    settings.marked = switches.marked;
    settings.grid = switches.grid;
    settings.quakes = switches.quakes;
}

bool isSwitchOn(const Switches& s, int command) {
    switch (command) {
    case cmd::DayMap:
        return s.day != 0;
    case cmd::NightMap:
        return s.night != 0;
    case cmd::Clouds:
        return s.clouds != 0;
    case cmd::SunShadow:
        return s.shadow != 0;
    case cmd::TimeZones:
        return s.zones != 0;
    case cmd::AllCities:
        return s.cities != 0;
    case cmd::CityNames:
        return s.names != 0;
    case cmd::Earthquakes:
        return s.quakes != 0;
    case cmd::CitySelection:
        return s.marked != 0;
    case cmd::Grid:
        return s.grid != 0;
    default:
        return false;
    }
}

SwitchOutcome applySwitchCommand(const Switches& current, int command,
                                 const CommandContext& context) {
    SwitchOutcome out;
    out.handled = true;
    out.switches = current;
    Switches& s = out.switches;
    switch (command) {
    case cmd::DayMap:
        s.day = toggled(s.day);
        s.night = 0;
        out.effects = EffectRebuild | EffectSync | EffectUpdateAnimation;
        break;
    case cmd::NightMap:
        s.day = 0;
        s.night = toggled(s.night);
        // The sync also greys Sun Shadow while the night map shows.
        out.effects = EffectRebuild | EffectSync;
        break;
    case cmd::Clouds:
        if (s.clouds != 0) {
            s.clouds = 0;
            out.effects = EffectRebuild | EffectSync;
            if (context.animationRunning) {
                out.effects |= EffectStopAnimation;
            }
        } else {
            s.clouds = 1;
            // The shadow goes off before the composition, so that the map never
            // shows a shadow the switch says is off.
            s.shadow = 0;
            out.effects = EffectShowNewestFrame | EffectSync;
            if (context.newestFrameCached) {
                out.effects |= EffectRebuild;
            }
        }
        break;
    case cmd::SunShadow:
        s.shadow = toggled(s.shadow);
        out.effects = EffectRebuild | EffectSync;
        break;
    case cmd::TimeZones:
        s.zones = toggled(s.zones);
        s.night = 0;
        s.clouds = 0;
        out.effects = EffectRebuild | EffectSync;
        if (context.animationRunning) {
            out.effects |= EffectStopAnimation; // the clouds it animated are off
        }
        break;
    case cmd::AllCities:
        s.cities = toggled(s.cities);
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::CityNames:
        s.names = s.names < 1 ? kNamesOn : 0;
        // The hover marks belong to the kept base layer: draw it again.
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::Earthquakes:
        s.quakes = toggled(s.quakes);
        // The list is fetched once, when the display first goes on.
        out.effects =
            (s.quakes != 0 && !context.quakesLoaded ? EffectRequestQuakes : EffectRepaint) |
            EffectSync;
        break;
    case cmd::CitySelection:
        s.marked = toggled(s.marked);
        out.effects = EffectRepaint | EffectSync;
        break;
    case cmd::Grid:
        s.grid = toggled(s.grid);
        out.effects = EffectRepaint | EffectSync;
        break;
    default:
        return SwitchOutcome{false, current, EffectNone};
    }
    return out;
}

} // namespace chronvale
