#pragma once
// `chronvale` with the window: the process from start to exit.

namespace chronvale {

struct CommandLine;

// Start-up in its fixed order: the application object; one copy per user (a
// second copy asks the first to come forward and returns 0); the platform
// set-up; the World (user folder, cache folder, icon strip, the four tables, the
// settings, refresh 0 -> 10); the main window with its tray icon. Then the event
// loop, until the window closes for good. Shutdown in the reverse order: the
// tray icon and the window (which saved the settings), the World (images,
// frames, tables), and last the single-instance lock. Returns the exit code.
int runWindowProgram(const CommandLine& line, int& argc, char** argv);

} // namespace chronvale
