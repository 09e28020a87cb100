// The chronvale executable: parses its options before any Qt application object
// exists, so that the headless commands (--info, --render, --city, --compare, --sky,
// --wallpaper) run without a display; without them it opens the window.

#include "app/cli/city_command.h"
#include "app/cli/command_line.h"
#include "app/cli/compare_command.h"
#include "app/cli/folders.h"
#include "app/cli/info_report.h"
#include "app/cli/sky_command.h"
#include "app/cli/stored_choices.h"
#include "app/startup/window_module.h"
#include "core/product.h"

#include <QCoreApplication>
#include <QDir>
#include <climits>
#include <cstdio>
#include <ctime>
#include <dlfcn.h>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// Prints what start-up finds and loads; exits 1 when a table or image is missing.
int runInfo(const chronvale::CommandLine& line, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(chronvale::organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(chronvale::settingsApplication));
    const chronvale::Folders folders = chronvale::findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    const chronvale::InfoReport report =
        chronvale::infoReport(folders, chronvale::storedSystemZones());
    std::fputs(report.text.c_str(), stdout);
    return report.allLoaded ? 0 : 1;
}

// Writes the lit map to a file and exits; a core application (no display) is
// enough to find the data folder.
int runRender(const chronvale::CommandLine& line, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(chronvale::organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(chronvale::settingsApplication));
    const chronvale::Folders folders = chronvale::findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    return chronvale::runRenderCommand(*line.render, folders.data.toStdString(), std::cerr,
                                       std::time(nullptr));
}

// Prints a city's properties; like --render it needs only the data folder.
int runCity(const chronvale::CommandLine& line, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(chronvale::organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(chronvale::settingsApplication));
    const chronvale::Folders folders = chronvale::findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    const chronvale::CityQuery query{*line.city, line.cityTime.value_or(std::time(nullptr)),
                                     line.cityTimesFile.value_or(std::string()), line.cityFields,
                                     chronvale::storedSystemZones()};
    return chronvale::runCityCommand(query, folders.data.toStdString(), std::cout, std::cerr);
}

// Prints the compared cities; like --city it needs only the data folder.
int runCompare(const chronvale::CommandLine& line, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(chronvale::organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(chronvale::settingsApplication));
    const chronvale::Folders folders = chronvale::findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    return chronvale::runCompareCommand(*line.compare, std::time(nullptr),
                                        folders.data.toStdString(), std::cout, std::cerr,
                                        chronvale::storedSystemZones());
}

// Prints where the sun and moon stand; needs no data and no Qt application.
int runSky(const chronvale::CommandLine& line) {
    return chronvale::runSkyCommand(line.skyTime.value_or(std::time(nullptr)), std::cout,
                                    std::cerr);
}

// The folder of this executable, from /proc (no Qt application exists yet).
std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return ".";
    }
    const std::string executable(path, static_cast<size_t>(length));
    const size_t slash = executable.rfind('/');
    return slash == std::string::npos ? "." : executable.substr(0, slash);
}

// Loads the window module (beside the executable in a build tree, in
// LIBDIR/chronvale when installed) and runs its entry `entry`: the window
// program, or `--wallpaper`, which needs Qt GUI too.
int runModule(const char* entry, const chronvale::CommandLine& line, int argc, char** argv) {
    const std::string folder = executableFolder();
    std::string error;
    for (const std::string& candidate :
         {folder + "/chronvale-window.so",
          folder + "/" CHRONVALE_MODULE_FROM_BIN "/chronvale-window.so"}) {
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            error = ::dlerror();
            continue;
        }
        auto run = reinterpret_cast<ChronvaleRunWindow>(::dlsym(module, entry));
        if (run == nullptr) {
            error = ::dlerror();
            continue;
        }
        // The module stays loaded until exit: Qt's objects live in it.
        return run(&line, &argc, argv);
    }
    std::fprintf(stderr, "chronvale: cannot load the window module: %s\n", error.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const chronvale::CommandLineResult parsed = chronvale::parseCommandLine(args);
    if (!parsed.options) {
        std::fprintf(stderr, "chronvale: %s\nTry 'chronvale --help' for more information.\n",
                     parsed.error.c_str());
        return 2;
    }
    const chronvale::CommandLine& line = *parsed.options;
    switch (line.action) {
    case chronvale::CommandLine::Action::Help:
        std::fputs(chronvale::commandLineHelp().c_str(), stdout);
        return 0;
    case chronvale::CommandLine::Action::Version:
        std::printf("chronvale %s\n", CHRONVALE_VERSION_TEXT);
        return 0;
    case chronvale::CommandLine::Action::Render:
        return runRender(line, argc, argv);
    case chronvale::CommandLine::Action::City:
        return runCity(line, argc, argv);
    case chronvale::CommandLine::Action::Info:
        return runInfo(line, argc, argv);
    case chronvale::CommandLine::Action::Compare:
        return runCompare(line, argc, argv);
    case chronvale::CommandLine::Action::Sky:
        return runSky(line);
    case chronvale::CommandLine::Action::Wallpaper:
        return runModule(CHRONVALE_WALLPAPER_ENTRY, line, argc, argv);
    case chronvale::CommandLine::Action::Window:
        return runModule(CHRONVALE_WINDOW_ENTRY, line, argc, argv);
    }
    return 0;
}
