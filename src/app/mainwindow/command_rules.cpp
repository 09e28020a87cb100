#include "app/mainwindow/command_rules.h"

#include "app/mainwindow/command_ids.h"

namespace chronvale {

namespace {

// The switches of what is drawn over the lit map: toggling one only repaints.
struct OverlaySwitch {
    int command;
    bool DisplaySwitches::*field;
};

constexpr OverlaySwitch kOverlaySwitches[] = {
    {cmd::CitySelection, &DisplaySwitches::markedCities},
    {cmd::Grid, &DisplaySwitches::grid},
    {cmd::SunMoon, &DisplaySwitches::sunMoon},
    {cmd::Twilight, &DisplaySwitches::twilight},
};

const OverlaySwitch* overlaySwitch(int command) {
    for (const OverlaySwitch& overlay : kOverlaySwitches) {
        if (overlay.command == command) {
            return &overlay;
        }
    }
    return nullptr;
}

} // namespace

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
    case cmd::CloudsWithShadow:
        return s.cloudsWithShadow;
    default:
        if (const OverlaySwitch* overlay = overlaySwitch(command)) {
            return s.*overlay->field;
        }
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
            // shows a shadow the switch says is off; Clouds with Sun Shadow keeps it.
            if (!s.cloudsWithShadow) {
                s.sunShadow = false;
            }
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
    case cmd::CloudsWithShadow:
        s.cloudsWithShadow = !s.cloudsWithShadow;
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
    default: {
        const OverlaySwitch* overlay = overlaySwitch(command);
        if (overlay == nullptr) {
            return SwitchOutcome{false, current, EffectNone};
        }
        s.*overlay->field = !(s.*overlay->field);
        out.effects = EffectRepaint | EffectSync;
    }
    }
    return out;
}

} // namespace chronvale
