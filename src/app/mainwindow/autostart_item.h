#pragma once
// Start with the desktop: the menu item whose check mark shows whether the
// autostart entry is on disk, and the command that writes or removes it.

class QAction;

namespace chronvale {

class World;

// Makes the item checkable and checks it when the entry exists.
void prepareAutostartItem(QAction& item);

// Writes or removes the entry (an error box when it cannot be written); the
// check mark shows what is on disk afterwards. No item: only the entry changes.
void toggleAutostart(QAction* item, World& world);

} // namespace chronvale
