#pragma once
// `chronvale --wallpaper` as a program: a GUI application (the session's screens,
// the fonts of the names) on the session's display, or on the offscreen platform
// when there is none (a systemd timer), around runWallpaperCommand.

namespace chronvale {

struct CommandLine;

// Returns the command's exit status.
int runWallpaperProgram(const CommandLine& line, int& argc, char** argv);

} // namespace chronvale
