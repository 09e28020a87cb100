#pragma once
// What the main window tests share: the one QApplication and the bounded wait
// of support/shell_test_support.h, and a window started on the installed data with a fresh
// settings file and user folder of its own.

#include "app/mainwindow/main_window.h"
#include "app/startup/world.h"
#include "support/recording_message_sink.h"
#include "support/shell_test_support.h"

#include <QApplication>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace chronvale::test {

QApplication& windowApplication();

// Handles every event already posted, without waiting for new ones.
void drainEvents();

// Fills `folder` like an installed data folder: links to the source tree's data and
// a lang/ folder with the built language files of `codes`. An error text (a file not
// built, a link refused) when it could not.
std::optional<std::string> makeDataFolderWithLanguages(const QString& folder,
                                                       const std::vector<std::string>& codes);

struct Launch {
    QString program;
    QStringList arguments;
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes the World on `dataFolder` (the installed data by default), lets
    // `prepare` adjust it, opens the window and waits for its first lit map.
    void start(const std::function<void(World&)>& prepare = {});
    // The window's settings, switches included.
    Settings& settings() { return world->settings; }
    // Sends a mouse event to the map pane at pane position `at`.
    void mouse(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton);

    QString dataFolder = QStringLiteral(CHRONVALE_SOURCE_DIR "/data");
    // The window's clock; none: the system's.
    std::function<std::time_t()> clock;
    // Unless set, start() makes the settings file first, so that the window starts
    // as for a user who ran the program before (without the installation's
    // first-start values).
    bool asFirstStart = false;
    // Whether the window fetches the newest cloud frame at the start with Clouds
    // off (as the program does); off unless a test is about it.
    bool newestCloudsAtStart = false;
    QTemporaryDir settingsFolder;
    QTemporaryDir userFolder;
    QString startFolder;
    RecordingMessageSink messages;
    std::vector<Launch> launches; // browsers and the upgrade program started
    bool launchesFail = false;    // the recorded starts report a failure
    std::function<QString(const QString&)> chooseMapFile; // Save Map As's answer
    std::unique_ptr<World> world;
    std::unique_ptr<MainWindow> window;
    // The window's wallpaper back end; none: the session's.
    std::function<BackendChoice()> wallpaperBackend;
    int composed = 0;                // compositions of the lit map so far
    std::vector<int> composedShadow; // the shadow switch at each composition
};

} // namespace chronvale::test
