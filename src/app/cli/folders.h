#pragma once
// Where the program finds its read-only data and keeps the user's files.

#include <QString>

namespace chronvale {

struct Folders {
    QString data; // the four tables, images/, lang/, chronvale.ini (read-only)
    QString user; // config.ini, cache/, Wallpaper.bmp (writable)
    bool portable = false;
};

// The data folder: the explicit one (from --data), else $CHRONVALE_DATA, else
// the installed one (<executable>/../share/chronvale for the configured BINDIR
// and DATADIR), else, for an executable of the build tree only, the source
// tree's data/. An installed executable never reads the source tree: without
// its data folder it reports that folder's files as missing.
// The user folder: the application data location (~/.local/share/QUILLMAR/Chronvale).
// Portable mode: when startFolder holds location.dat, it is both.
// Needs a Q(Core)Application for the executable's path; creates nothing.
Folders findFolders(const QString& explicitData, const QString& startFolder);

// True when executableFolder is the build tree this program was built in, or
// a folder below it.
bool runsFromBuildTree(const QString& executableFolder);

// Creates the user folder when missing and makes it the current folder, so that
// the relative names of the user's files work; false when that fails.
bool enterUserFolder(const Folders& folders);

} // namespace chronvale
