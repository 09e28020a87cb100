#pragma once
// The display switches of the map: the base map and layers of the composition,
// and the overlays the map painter draws. One value of this type is the program's
// only record of them: the settings keep it, the commands change it by their
// rules, the compositor and the painter read it.

namespace chronvale {

struct DisplaySwitches {
    // The composition.
    bool dayMap = false;   // Day Map: clouds are drawn over the day image
    bool nightMap = false; // Night Map (excludes the day map and the shadow)
    bool clouds = false;   // the current cloud frame
    bool timeZones = false;
    bool sunShadow = false;
    // Clouds with Sun Shadow: clouds are drawn over both sides and keep the shadow
    // (off: switching Clouds on turns the shadow off).
    bool cloudsWithShadow = false;
    // The overlays.
    bool allCities = false;
    int cityNames = 0;         // City Names: 0 off, else the highlight radius in map pixels
    bool markedCities = false; // City Selection
    bool grid = false;
    bool earthquakes = false;
    bool sunMoon = false;  // the sun and the moon where they stand overhead
    bool twilight = false; // the civil, nautical and astronomical twilight lines

    bool operator==(const DisplaySwitches&) const = default;
};

// The radius City Names takes when switched on.
inline constexpr int kNamesOn = 40;

} // namespace chronvale
