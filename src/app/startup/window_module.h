#pragma once
// The entry points of the window module (chronvale-window.so). The executable
// links Qt Core alone, so the headless commands start fast; it loads this module
// only when it opens the window or runs `--wallpaper` (which needs Qt GUI).

namespace chronvale {
struct CommandLine;
}

// The names the executable looks up in the module.
#define CHRONVALE_WINDOW_ENTRY "chronvaleRunWindow"
#define CHRONVALE_WALLPAPER_ENTRY "chronvaleRunWallpaper"

extern "C" {
// Runs the window program (start-up, event loop, shutdown); returns its exit code.
using ChronvaleRunWindow = int (*)(const chronvale::CommandLine* line, int* argc, char** argv);
int chronvaleRunWindow(const chronvale::CommandLine* line, int* argc, char** argv);
// Runs `chronvale --wallpaper` (the same signature); returns its exit status.
int chronvaleRunWallpaper(const chronvale::CommandLine* line, int* argc, char** argv);
}
