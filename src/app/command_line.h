#pragma once
// The options of the chronvale executable, parsed before any Qt application
// object exists, so that the headless commands never touch a display.

#include "render/render_command.h"

#include <optional>
#include <string>
#include <vector>

namespace chronvale {

struct CommandLine {
    enum class Action { Window, Info, Help, Version, Render };
    Action action = Action::Window;
    std::optional<std::string> dataFolder; // --data DIR
    std::optional<RenderOptions> render;   // --render FILE and its options
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
