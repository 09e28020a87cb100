#include "app/wallpaper/wallpaper_program.h"

#include "app/cli/command_line.h"
#include "app/cli/folders.h"
#include "app/cli/wallpaper_command.h"
#include "core/product.h"

#include <QDir>
#include <QGuiApplication>
#include <ctime>
#include <iostream>

namespace chronvale {

int runWallpaperProgram(const CommandLine& line, int& argc, char** argv) {
    // Without a display (a timer, ssh) the offscreen platform still gives fonts;
    // the screens then come from the settings.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QString::fromLatin1(organisationName));
    QCoreApplication::setApplicationName(QString::fromLatin1(settingsApplication));
    const Folders folders = findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    return runWallpaperCommand(*line.wallpaper, folders, std::cout, std::cerr, std::time(nullptr));
}

} // namespace chronvale
