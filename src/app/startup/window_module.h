#pragma once
// The entry point of the window module (chronvale-window.so). The executable
// links Qt Core alone, so the headless commands start fast; it loads this module
// only when it opens the window.

namespace chronvale {
struct CommandLine;
}

// The name the executable looks up in the module.
#define CHRONVALE_WINDOW_ENTRY "chronvaleRunWindow"

extern "C" {
// Runs the window program (start-up, event loop, shutdown); returns its exit code.
using ChronvaleRunWindow = int (*)(const chronvale::CommandLine* line, int* argc, char** argv);
int chronvaleRunWindow(const chronvale::CommandLine* line, int* argc, char** argv);
}
