#pragma once
// Save Map As: the map pane as it shows now (the overlays included) written to a
// PNG file the user chooses.

#include <QString>
#include <functional>

class QWidget;

namespace chronvale {

class StatusPresenter;
class World;

// Asks where to write, starting from the suggested path; an empty answer cancels.
using ChooseMapFile = std::function<QString(const QString& suggested)>;

// Asks for a file (through `choose`, or the file dialog when it is empty), adds
// ".png" when the name has no extension, and writes the pane there.
void saveMapAs(QWidget& pane, World& world, StatusPresenter& status, const ChooseMapFile& choose);

// Writes the pane's picture to `path` as PNG, replacing the file only when the
// whole image was written; says so in the status bar, or in an error box.
bool saveMapImage(QWidget& pane, const QString& path, World& world, StatusPresenter& status);

} // namespace chronvale
