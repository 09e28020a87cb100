// The chronvale executable: parses its options before any Qt application object
// exists, so that the headless commands run without a display.

#include "app/command_line.h"
#include "app/folders.h"
#include "app/info_report.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <string>
#include <vector>

namespace {

int runInfo(const chronvale::CommandLine& line, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QUILLMAR"));
    QCoreApplication::setApplicationName(QStringLiteral("Chronvale"));
    const chronvale::Folders folders = chronvale::findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    std::fputs(chronvale::infoReport(folders).c_str(), stdout);
    return 0;
}

// Writes the lit map to a file and exits; a core application (no display) is
// enough to find the data folder.
int runRender(const chronvale::CommandLine& line, int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("QUILLMAR"));
    QCoreApplication::setApplicationName(QStringLiteral("Chronvale"));
    const chronvale::Folders folders = chronvale::findFolders(
        QString::fromStdString(line.dataFolder.value_or(std::string())), QDir::currentPath());
    return chronvale::runRenderCommand(*line.render, folders.data.toStdString(), std::cerr,
                                       std::time(nullptr));
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
    case chronvale::CommandLine::Action::Info:
    case chronvale::CommandLine::Action::Window:
        // The window is not built yet: both print what the program finds.
        return runInfo(line, argc, argv);
    }
    return 0;
}
