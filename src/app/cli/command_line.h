#pragma once
// The options of the chronvale executable, parsed before any Qt application
// object exists, so that the headless commands never touch a display.

#include "app/cli/compare_command.h"
#include "app/cli/wallpaper_command.h"
#include "render/render_command.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace chronvale {

struct CommandLine {
    enum class Action { Window, Info, Help, Version, Render, City, Sky, Wallpaper, Compare };
    Action action = Action::Window;
    std::optional<std::string> dataFolder;    // --data DIR
    std::optional<RenderOptions> render;      // --render FILE and its options
    std::optional<std::string> city;          // --city NAME: print the city's properties
    std::optional<std::time_t> cityTime;      // --time T with --city; none: now
    std::optional<std::string> cityTimesFile; // --time @FILE with --city: each instant in turn
    std::vector<std::string> cityFields;      // --fields A,B with --city: only these, a line a city
    std::optional<std::time_t> skyTime;       // --time T with --sky; none: now
    // --compare "A,B" [--time T] [--overlap [--hours H]]
    std::optional<CompareOptions> compare;
    // --wallpaper [off] [--width W]
    std::optional<WallpaperOptions> wallpaper;
    // --minimized: the window starts hidden in the tray (minimised to the task bar
    // where the desktop has no tray), as the autostart entry starts it.
    bool minimized = false;
    // --select-city: the window opens with the city selector (a running copy
    // comes forward and opens it).
    bool selectCity = false;
    // --screenshot FILE [--screenshot-delay SECONDS] [--screenshot-command ID]...:
    // once its first lit map is painted the window runs the commands (menu ids,
    // such as 40004 Clouds), waits the delay, writes an image of itself and
    // closes. For the documentation and for timing the start-up.
    std::optional<std::string> screenshot;
    int screenshotDelaySeconds = 0;
    std::vector<int> screenshotCommands;
};

struct CommandLineResult {
    std::optional<CommandLine> options; // none: the arguments were not understood
    std::string error;                  // why not, for the user
};

// args excludes the program name.
CommandLineResult parseCommandLine(const std::vector<std::string>& args);

// The text of --help.
std::string commandLineHelp();

} // namespace chronvale
