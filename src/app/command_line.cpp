#include "app/command_line.h"

namespace chronvale {

CommandLineResult parseCommandLine(const std::vector<std::string>& args) {
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            line.action = CommandLine::Action::Help;
        } else if (arg == "--version") {
            line.action = CommandLine::Action::Version;
        } else if (arg == "--info") {
            line.action = CommandLine::Action::Info;
        } else if (arg == "--data" || arg.rfind("--data=", 0) == 0) {
            std::string value;
            if (arg == "--data") {
                if (i + 1 >= args.size()) {
                    return {std::nullopt, "option '--data' needs a folder"};
                }
                value = args[++i];
            } else {
                value = arg.substr(7);
            }
            if (value.empty()) {
                return {std::nullopt, "option '--data' needs a folder"};
            }
            line.dataFolder = value;
        } else {
            return {std::nullopt, "unknown option '" + arg + "'"};
        }
    }
    return {line, {}};
}

std::string commandLineHelp() {
    return "Usage: chronvale [OPTION]...\n"
           "A world clock on a map of the earth lit as it is lit now.\n"
           "\n"
           "  --info         print the folders, the data tables and the earth images it loads\n"
           "  --data DIR     use DIR as the data folder (default: $CHRONVALE_DATA, the\n"
           "                 installed share/chronvale, or the source tree's data/)\n"
           "  --help         show this help and exit\n"
           "  --version      show the version and exit\n";
}

} // namespace chronvale
