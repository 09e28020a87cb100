#include "app/startup/window_module.h"

#include "app/startup/program.h"
#include "app/wallpaper/wallpaper_program.h"

extern "C" __attribute__((visibility("default"))) int
chronvaleRunWindow(const chronvale::CommandLine* line, int* argc, char** argv) {
    return chronvale::runWindowProgram(*line, *argc, argv);
}

extern "C" __attribute__((visibility("default"))) int
chronvaleRunWallpaper(const chronvale::CommandLine* line, int* argc, char** argv) {
    return chronvale::runWallpaperProgram(*line, *argc, argv);
}
