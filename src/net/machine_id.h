#pragma once
// The machine identifier ($MID of the image server requests): a random text made
// once per user and kept in the program's settings, so the server can tell
// installations apart without learning anything about the user.

#include <QSettings>
#include <string>

namespace chronvale {

// The value "mid" of the settings; made (32 random hex digits) and stored when
// it is missing or empty.
std::string machineIdentifier(QSettings& settings);

} // namespace chronvale
