// The main window against a real chronvale-imaged serving its demo frames and
// earthquakes on loopback: the clouds, the animation, the earthquakes and the
// network activity in the status bar.

#include "app/mainwindow/command_ids.h"
#include "net/cloud_service.h"
#include "net/quake_feed.h"
#include "support/image_server_process.h"
#include "support/scripted_http_server.h"
#include "ui/status_bar.h"
#include "window_test_support.h"

#include <QFileInfo>
#include <QImage>
#include <QToolBar>
#include <algorithm>
#include <cstring>

namespace chronvale {
namespace {

using test::drainEvents;
using test::waitFor;

class CloudWindowTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(serverFolder.isValid());
    }

    // Starts the demo server with extra options, then the window talking to it.
    void startWithServer(const QStringList& options = {},
                         const std::function<void(World&)>& prepare = {}) {
        server = std::make_unique<test::ImageServerProcess>(
            serverFolder.path(), QStringList{QStringLiteral("--demo")} + options);
        ASSERT_TRUE(server->started());
        start([this, prepare](World& w) {
            w.installation.values["server"] = server->host();
            if (prepare) {
                prepare(w);
            }
        });
        QObject::connect(window.get(), &MainWindow::mapComposed,
                         [this] { frames.push_back(window->cloudService().currentFrame()); });
    }

    QString status(int part) const { return window->statusBarFields()->statusText(part); }

    // The frames shown, each run of repeats taken once.
    std::vector<int> shownFrames() const {
        std::vector<int> shown;
        for (int frame : frames) {
            if (shown.empty() || shown.back() != frame) {
                shown.push_back(frame);
            }
        }
        return shown;
    }

    QTemporaryDir serverFolder;
    std::unique_ptr<test::ImageServerProcess> server;
    std::vector<int> frames; // the current frame at each composition
};

TEST_F(CloudWindowTest, FullStartShowsTheNewestCloudFrame) {
    startWithServer();
    window->runCommand(cmd::Clouds);
    EXPECT_EQ(settings().switches.clouds, 1);
    ASSERT_TRUE(waitFor([this] { return world->compositor.cloudImage() != nullptr; }));
    drainEvents();
    EXPECT_EQ(window->cloudService().currentFrame(), 0);
    ASSERT_TRUE(window->cloudService().frames()[0].path);
    EXPECT_TRUE(
        QFileInfo(QString::fromStdString(*window->cloudService().frames()[0].path)).isFile());
    EXPECT_TRUE(window->toolbarAction(cmd::Clouds)->isChecked());
    EXPECT_EQ(status(MainWindow::StatusMessage), "Complete");

    // Neither day nor night map: the clouds lie over the day map (never over
    // black), and the pane shows that.
    const EarthImage* lit = world->compositor.litMap();
    const EarthImage* cloud = world->compositor.cloudImage();
    ASSERT_NE(lit, nullptr);
    ASSERT_NE(cloud, nullptr);
    ASSERT_EQ(lit->width(), cloud->width());
    EXPECT_NE(std::memcmp(lit->row(200), cloud->row(200), static_cast<size_t>(lit->width()) * 3),
              0);
    window->runCommand(cmd::ActualPixels);
    const QImage shot = window->mapPane()->grab().toImage();
    const int top = window->view().mapArea.top;
    for (int x : {10, 300, 700}) {
        const uint8_t* p = pixelAddress(lit, x, 100);
        EXPECT_EQ(shot.pixel(x, top + 100), qRgb(p[2], p[1], p[0])) << x;
    }
}

TEST_F(CloudWindowTest, TheNewestFrameComesWithoutAMenuAndTurnsTheCloudsOnWithItsCredit) {
    newestCloudsAtStart = true;
    startWithServer();
    ASSERT_TRUE(waitFor([this] { return settings().switches.clouds != 0; }));
    ASSERT_TRUE(waitFor([this] { return world->compositor.cloudImage() != nullptr; }));
    drainEvents();
    EXPECT_TRUE(window->toolbarAction(cmd::Clouds)->isChecked());
    EXPECT_EQ(window->cloudService().currentFrame(), 0);
    // The demo server names its frames as made up; that is the credit shown.
    EXPECT_NE(window->cloudService().source().credit.find("DEMO"), std::string::npos);
    EXPECT_EQ(window->cloudService().source().problem, "");
}

TEST_F(CloudWindowTest, OldFramesAndTheServersReasonShowInTheStatusBar) {
    newestCloudsAtStart = true;
    // The window's clock runs a day after the demo frames were made.
    clock = [] { return std::time(nullptr) + 86400; };
    startWithServer();
    ASSERT_TRUE(waitFor([this] { return world->compositor.cloudImage() != nullptr; }));
    ASSERT_TRUE(waitFor([this] { return status(MainWindow::StatusMessage).startsWith("Clouds "); }))
        << status(MainWindow::StatusMessage).toStdString();
    EXPECT_TRUE(status(MainWindow::StatusMessage).contains(" h old."));
}

TEST_F(CloudWindowTest, AnImageArrivingWhileAwayWaitsForNow) {
    startWithServer();
    window->runCommand(cmd::Clouds); // the download is under way
    ASSERT_TRUE(window->goToInstant(window->shownInstant().shown() + 86400));
    ASSERT_TRUE(waitFor([this] { return world->compositor.cloudImage() != nullptr; }));
    drainEvents();
    EXPECT_FALSE(settings().switches.clouds);
    EXPECT_FALSE(window->toolbarAction(cmd::Clouds)->isChecked());
    EXPECT_FALSE(window->showingNow());

    window->runCommand(cmd::BackToNow);
    EXPECT_TRUE(settings().switches.clouds);
    EXPECT_TRUE(window->toolbarAction(cmd::Clouds)->isChecked());
}

TEST_F(CloudWindowTest, ACleanQuitRemovesTheLastListReplyAndKeepsTheImages) {
    startWithServer();
    window->runCommand(cmd::Clouds);
    ASSERT_TRUE(waitFor([this] { return world->compositor.cloudImage() != nullptr; }));
    drainEvents();
    const QString list = QFileInfo(QStringLiteral("cache.tmp")).absoluteFilePath();
    ASSERT_TRUE(QFileInfo(list).isFile());
    ASSERT_TRUE(window->cloudService().frames()[0].path);
    const QString image =
        QFileInfo(QString::fromStdString(*window->cloudService().frames()[0].path))
            .absoluteFilePath();
    window->runCommand(cmd::Quit);
    EXPECT_FALSE(QFileInfo::exists(list));
    EXPECT_TRUE(QFileInfo(image).isFile()) << "the cached frames stay for the next run";
}

TEST_F(CloudWindowTest, PlayRunsFromTheOldestToTheNewestFrameAndStops) {
    startWithServer();
    window->runCommand(cmd::Play);
    EXPECT_TRUE(window->animationRunning());
    EXPECT_FALSE(window->toolbarAction(cmd::Play)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(cmd::Stop)->isEnabled());
    ASSERT_TRUE(waitFor([this] { return !window->animationRunning(); }, std::chrono::seconds(60)));
    drainEvents();
    EXPECT_EQ(shownFrames(), (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    EXPECT_EQ(window->cloudService().currentFrame(), 0);
    EXPECT_TRUE(window->toolbarAction(cmd::Play)->isEnabled());
    EXPECT_FALSE(window->toolbarAction(cmd::Stop)->isEnabled());
    EXPECT_FALSE(window->toolbarAction(cmd::NextFrame)->isEnabled()); // at the newest
    EXPECT_TRUE(window->toolbarAction(cmd::PreviousFrame)->isEnabled());

    // Next at frame 0 leaves frame 0; Previous steps one older.
    window->runCommand(cmd::NextFrame);
    drainEvents();
    EXPECT_EQ(window->cloudService().currentFrame(), 0);
    window->runCommand(cmd::PreviousFrame);
    drainEvents();
    EXPECT_EQ(window->cloudService().currentFrame(), 1);
    EXPECT_TRUE(window->toolbarAction(cmd::NextFrame)->isEnabled());
}

TEST_F(CloudWindowTest, WithLoopOnTheAnimationCyclesUntilStop) {
    startWithServer({}, [](World& w) { w.settings.loopClouds = true; });
    window->runCommand(cmd::Play);
    // Past frame 0 it starts again at 11, from the cache now.
    const auto wrapped = [this] {
        const std::vector<int> shown = shownFrames();
        const auto zero = std::find(shown.begin(), shown.end(), 0);
        return zero != shown.end() && std::find(zero, shown.end(), 10) != shown.end();
    };
    ASSERT_TRUE(waitFor(wrapped, std::chrono::seconds(60)));
    EXPECT_TRUE(window->animationRunning());
    const std::vector<int> shown = shownFrames();
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.begin() + 14),
              (std::vector<int>{11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 11, 10}));

    window->runCommand(cmd::Stop);
    EXPECT_FALSE(window->animationRunning());
    EXPECT_EQ(window->cloudService().currentFrame(), 0);
    const std::size_t count = frames.size();
    // The timer is stopped: what is queued shows nothing more.
    drainEvents();
    EXPECT_EQ(frames.size(), count);
}

TEST_F(CloudWindowTest, AServerErrorStopsTheAnimationAndShowsItsText) {
    startWithServer(
        {QStringLiteral("--error"), QStringLiteral("7:Service closed for maintenance")});
    window->runCommand(cmd::Play);
    EXPECT_TRUE(window->animationRunning());
    // The first tick asks for the frame list; the server answers with its error.
    ASSERT_TRUE(waitFor([this] { return !window->animationRunning(); }, std::chrono::seconds(20)));
    ASSERT_TRUE(waitFor([this] { return world->http.transferCount() == 0; }));
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].text, "Service closed for maintenance");
    EXPECT_EQ(window->cloudService().lastListTime(), 0);
    drainEvents();
    EXPECT_TRUE(window->toolbarAction(cmd::Play)->isEnabled());
}

TEST_F(CloudWindowTest, EarthquakesDownloadOnceWhenFirstShown) {
    startWithServer();
    window->runCommand(cmd::Earthquakes);
    EXPECT_EQ(settings().switches.earthquakes, 1);
    ASSERT_TRUE(waitFor([this] { return !window->quakeFeed().quakeList().empty(); }));
    drainEvents();
    const std::size_t count = window->quakeFeed().quakeList().size();
    EXPECT_EQ(status(MainWindow::StatusMessage),
              QString("%1 earthquake events recorded in the past 7 days").arg(count));

    window->runCommand(cmd::Earthquakes); // off
    window->runCommand(cmd::Earthquakes); // on again: the list is kept
    drainEvents();
    EXPECT_EQ(server->requests("earthquake"), 1);
}

TEST_F(CloudWindowTest, ATransferShowsInTheActivityFieldAndEnablesStop) {
    // The server holds the request until the test answers, so the transfer is in
    // flight for as long as the checks take, however slow the machine.
    test::ScriptedHttpServer held([](test::ServerConnection&) {});
    ASSERT_TRUE(held.listening());
    start([&held](World& w) {
        w.installation.values["server"] = "127.0.0.1:" + std::to_string(held.port());
    });
    window->runCommand(cmd::Refresh);
    EXPECT_EQ(status(MainWindow::StatusLatitude), "Checking for new satellite data...");
    ActivityIndicator* activity = window->statusBarFields()->activityIndicator();
    ASSERT_NE(activity, nullptr);
    ASSERT_TRUE(waitFor([&held] { return held.connectionCount() > 0; }));
    ASSERT_TRUE(waitFor([activity] { return activity->isActive(); }));
    window->updateAnimationButtons();
    EXPECT_TRUE(window->toolbarAction(cmd::Stop)->isEnabled());
    EXPECT_FALSE(window->toolbarAction(cmd::PreviousFrame)->isEnabled());

    held.connection(0).send(test::httpResponse(404, "", "Not Found"));
    held.connection(0).close();
    ASSERT_TRUE(waitFor([activity] { return !activity->isActive(); }));
    EXPECT_FALSE(window->toolbarAction(cmd::Stop)->isEnabled());
}

TEST_F(CloudWindowTest, StopCancelsTheTransfer) {
    test::ScriptedHttpServer held([](test::ServerConnection&) {}); // never answers
    ASSERT_TRUE(held.listening());
    start([&held](World& w) {
        w.installation.values["server"] = "127.0.0.1:" + std::to_string(held.port());
    });
    window->runCommand(cmd::Play);
    ASSERT_TRUE(waitFor([this] { return world->http.transferCount() > 0; }));
    window->runCommand(cmd::Stop);
    EXPECT_EQ(world->http.transferCount(), 0u);
    EXPECT_FALSE(window->animationRunning());
    EXPECT_FALSE(window->toolbarAction(cmd::Stop)->isEnabled());
    EXPECT_TRUE(window->toolbarAction(cmd::Play)->isEnabled());
}

} // namespace
} // namespace chronvale
