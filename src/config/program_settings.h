#pragma once
// The settings file where the window layer remembers its dialogs and lists: the
// program's INI file in the user's scope (organisation QUILLMAR, application
// Chronvale), the same file that holds the program's own settings. Every value
// is written as a string; integers as signed decimal text.

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

namespace chronvale {

// Opens the program's settings file. Several open objects see one another's
// writes within the process; each writes its changes back when destroyed.
std::unique_ptr<QSettings> openProgramSettings();

// "DLGS/<dialog number>": where a dialog keeps its geometry.
QString dialogSettingsGroup(int dialogNumber);

// "DLGS/<dialog number>/<control number>": where a list keeps its columns.
QString listSettingsGroup(int dialogNumber, int controlNumber);

// The value under key as a whole number written in decimal, or none when it is
// absent or not such a number.
std::optional<int> readInteger(const QSettings& settings, const QString& key);

} // namespace chronvale
