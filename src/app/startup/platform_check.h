#pragma once
// Whether Qt will find the platform plugin the user forced (QT_QPA_PLATFORM; the
// command line takes no Qt options), checked before the application object exists: without the
// plugin Qt aborts with a core dump, where a missing package deserves one clear line.

#include <QString>
#include <QStringList>
#include <optional>

namespace chronvale {

// The platform names QT_QPA_PLATFORM asks for, split at ";" (Qt tries them in
// order) and without their options ("xcb:option=value"); empty when none is
// forced (Qt then picks its default).
QStringList forcedPlatforms(const QString& environmentValue);

// The folders Qt loads platform plugins from: QT_QPA_PLATFORM_PLUGIN_PATH, then
// "platforms" under each QT_PLUGIN_PATH entry, Qt's own plugin folder and the
// executable's folder.
QStringList platformPluginFolders(const QString& executableFolder);

// Whether one of the folders holds a plugin for the name: libq<name>.so, or a
// variant libq<name>-<kind>.so ("wayland" is served by libqwayland-generic.so
// and libqwayland-egl.so).
bool platformPluginPresent(const QString& name, const QStringList& folders);

// The first forced name when none of them has a plugin; none when Qt can start.
std::optional<QString> missingPlatform(const QStringList& names, const QStringList& folders);

// The one line the program prints before it exits with 1.
QString missingPlatformMessage(const QString& name);

} // namespace chronvale
