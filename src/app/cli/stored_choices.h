#pragma once
// What the commands without a window take from the user's choices in the
// program's settings file (QUILLMAR/Chronvale), read the way the window reads
// them, without the settings store and its network types.

namespace chronvale {

// "Time zones from the system" (the value systemzones): local times from the
// system's time-zone database, or from the shipped tables when its leading
// number is 0 (as the window reads it). Absent, as for a user who never chose: on.
bool storedSystemZones();

} // namespace chronvale
