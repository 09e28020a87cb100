#pragma once
// Starting with the desktop: an entry in the user's autostart folder
// ($XDG_CONFIG_HOME/autostart, by default ~/.config/autostart) that desktops
// following the XDG autostart rules run at log-in. It starts this executable
// with --minimized, so the program comes up in the tray.

#include <QByteArray>
#include <QString>

namespace chronvale {

// $XDG_CONFIG_HOME/autostart/<desktop id>.desktop.
QString autostartFilePath();

// The entry's text for an executable: named like the program's desktop entry,
// its Exec line the executable (quoted as desktop entries quote) and --minimized.
QByteArray autostartEntry(const QString& executable);

// Whether the entry is there and not hidden (a desktop's own settings may hide
// an autostart entry with Hidden=true instead of removing it).
bool autostartEnabled(const QString& path = autostartFilePath());

// Writes the entry for `executable` (replacing the file atomically, making the
// folder when needed) or removes it. False when the folder or the file cannot be
// written or the file cannot be removed.
bool setAutostart(bool enabled, const QString& executable,
                  const QString& path = autostartFilePath());

} // namespace chronvale
