// Wallpaper Mode in the window, over a fake back end that records what the desktop
// is told: the menu item and its check mark, the renewal after the shadow timer, the
// saved state written at once, the renewal while minimised, and the error box
// when no desktop interface is found.

#include "app/mainwindow/command_ids.h"
#include "config/program_settings.h"
#include "desktop/wallpaper/wallpaper_lock.h"
#include "desktop/wallpaper/wallpaper_store.h"
#include "i18n/string_table.h"
#include "render/wallpaper_image.h"
#include "support/fake_desktop.h"
#include "ui/status_bar.h"
#include "window_test_support.h"

#include <QAction>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <chrono>
#include <memory>

namespace chronvale {
namespace {

using test::drainEvents;
using test::waitFor;

class WindowWallpaperTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        wallpaperBackend = [this] {
            BackendChoice choice;
            choice.lookedFor = {"Fake desktop"};
            choice.backend = std::make_unique<test::FakeDesktop>(log);
            return choice;
        };
    }
    // One tick of the shadow's refresh timer, and its job to the end.
    void refreshTick() {
        QMetaObject::invokeMethod(const_cast<QTimer*>(&window->refreshTimer()), "timeout");
        settle();
    }
    // The Wallpaper Mode command, and its job to the end.
    void toggle() {
        window->runCommand(cmd::WallpaperMode);
        settle();
    }
    void settle() {
        ASSERT_TRUE(waitFor([&] { return !window->wallpaperBusy(); }));
        drainEvents();
    }
    std::string wallpaper(const char* name) const {
        return QFileInfo(userFolder.filePath(QString::fromLatin1(name)))
            .absoluteFilePath()
            .toStdString();
    }
    static QSize screenPixels() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen->geometry().size() * screen->devicePixelRatio();
    }
    bool checked() const { return window->menuAction(cmd::WallpaperMode)->isChecked(); }
    // The settings file as a start after a kill, or `chronvale --wallpaper`
    // meanwhile, leave it.
    static void store(World& w, const StoredWallpaper& stored) {
        ASSERT_TRUE(writeStoredWallpaper(*w.programSettings, stored));
    }
    static StoredWallpaper storedNow() { return readStoredWallpaper(*openProgramSettings()); }

    std::shared_ptr<test::DesktopLog> log = std::make_shared<test::DesktopLog>();
};

TEST_F(WindowWallpaperTest, OnRenewedByTheShadowTimerAndOffGivesTheDesktopBack) {
    start([](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.sunShadow = true;
    });
    QAction* item = window->menuAction(cmd::WallpaperMode);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "&Wallpaper Mode");
    EXPECT_TRUE(item->isCheckable());
    EXPECT_FALSE(checked());
    // A desktop of many workspaces saves a line for each: far over 999 bytes.
    for (int workspace = 0; workspace < 40; ++workspace) {
        log->desktop.tile += "/backdrop/screen0/monitorDP-1/workspace" + std::to_string(workspace) +
                             "/image-style\t5\n";
    }
    const DesktopWallpaperState own = log->desktop;

    toggle();
    EXPECT_TRUE(checked());
    EXPECT_TRUE(storedNow().on);
    ASSERT_EQ(log->shown, std::vector<std::string>{wallpaper("Wallpaper-a.jpg")});
    // The picture is the session's screen, in device pixels.
    EXPECT_EQ(QImage(QString::fromStdString(log->shown[0])).size(), screenPixels());

    // Written at once: a kill now leaves the user's wallpaper recoverable.
    const StoredWallpaper stored = storedNow();
    EXPECT_TRUE(stored.on);
    ASSERT_EQ(stored.saved.size(), 1u);
    EXPECT_EQ(stored.saved[0].state, own);

    refreshTick();
    refreshTick();
    EXPECT_EQ(log->shown,
              (std::vector<std::string>{wallpaper("Wallpaper-a.jpg"), wallpaper("Wallpaper-b.jpg"),
                                        wallpaper("Wallpaper-a.jpg")}));
    EXPECT_EQ(log->reads, 1); // the renewals leave the saved state alone

    toggle();
    EXPECT_FALSE(checked());
    ASSERT_EQ(log->restored.size(), 1u);
    EXPECT_EQ(log->restored[0], own);
    EXPECT_EQ(log->desktop, own);
    EXPECT_FALSE(storedNow().on);
    refreshTick();
    EXPECT_EQ(log->shown.size(), 3u);
}

// With Sun Shadow off (or Clouds on, which turns it off) the timer still renews it.
class WallpaperTickTest : public WindowWallpaperTest,
                          public ::testing::WithParamInterface<std::pair<bool, bool>> {};

TEST_P(WallpaperTickTest, RenewedOnEveryTickWhateverTheMapSwitches) {
    const auto [sunShadow, clouds] = GetParam();
    start([sunShadow, clouds](World& w) {
        w.settings.switches.sunShadow = sunShadow;
        w.settings.switches.clouds = clouds;
    });
    toggle();
    ASSERT_EQ(log->shown.size(), 1u);
    refreshTick();
    refreshTick();
    EXPECT_EQ(log->shown.size(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Switches, WallpaperTickTest,
                         ::testing::Values(std::pair{false, false}, std::pair{false, true},
                                           std::pair{true, false}));

TEST_F(WindowWallpaperTest, WithTheModeOffTheTimerNeverTouchesTheDesktop) {
    bool looked = false;
    wallpaperBackend = [&looked, this] {
        looked = true;
        BackendChoice choice;
        choice.backend = std::make_unique<test::FakeDesktop>(log);
        return choice;
    };
    start([](World& w) { w.settings.switches.sunShadow = true; });
    const int before = composed;
    refreshTick();
    refreshTick();
    EXPECT_EQ(composed, before + 2); // the shadow was renewed
    EXPECT_FALSE(looked);
    EXPECT_TRUE(log->shown.empty());
    EXPECT_EQ(log->reads, 0);
}

TEST_F(WindowWallpaperTest, TheWidthCapScalesThePictureInTheScreensProportion) {
    start([](World& w) {
        w.settings.desktop = QRect(0, 0, 1280, 1024);
        w.settings.wallpaperWidth = 400;
    });
    toggle();
    ASSERT_EQ(log->shown.size(), 1u);
    const ImagePtr image = loadImage(log->shown[0]);
    ASSERT_TRUE(image);
    const QSize screen = screenPixels();
    EXPECT_EQ(image->width(), 400);
    EXPECT_NEAR(image->height(), 400.0 * screen.height() / screen.width(), 1.0);
}

TEST_F(WindowWallpaperTest, RenewingWhileMinimisedReloadsRebuildsAndFreesAgain) {
    start([](World& w) { w.settings.switches.sunShadow = true; });
    toggle();
    window->showMinimized();
    drainEvents();
    ASSERT_TRUE(window->isMinimized());
    ASSERT_EQ(world->compositor.dayImage(), nullptr);

    const std::size_t before = log->shown.size();
    refreshTick();
    ASSERT_EQ(log->shown.size(), before + 1);
    // The file was written from a lit map made for it.
    EXPECT_EQ(QImage(QString::fromStdString(log->shown.back())).size(), screenPixels());
    // And everything is freed again.
    EXPECT_EQ(world->compositor.dayImage(), nullptr);
    EXPECT_EQ(world->compositor.timeZoneImage(), nullptr);
    EXPECT_EQ(world->compositor.nightImage(), nullptr);
    EXPECT_EQ(world->compositor.litMap(), nullptr);

    refreshTick(); // no lit map at all now: made again
    EXPECT_EQ(log->shown.size(), before + 2);
    EXPECT_EQ(QImage(QString::fromStdString(log->shown.back())).size(), screenPixels());
    EXPECT_EQ(world->compositor.litMap(), nullptr);

    // Restoring the window brings the map back.
    const int composedBefore = composed;
    window->showNormal();
    ASSERT_TRUE(waitFor([&] { return composed > composedBefore; }));
    EXPECT_NE(world->compositor.litMap(), nullptr);
}

TEST_F(WindowWallpaperTest, ADesktopThatCannotTellItsWallpaperIsNamedInTheStatusBar) {
    log->readable = false;
    log->keepsState = false;
    start();
    toggle();
    EXPECT_TRUE(checked());
    EXPECT_EQ(window->statusBarFields()->statusText(MainWindow::StatusMessage),
              world->language.getText(str::WallpaperNotReadBack));
    toggle();
    ASSERT_EQ(log->restored.size(), 1u);
    EXPECT_EQ(log->restored[0], DesktopWallpaperState{});
}

TEST_F(WindowWallpaperTest, WithoutADesktopInterfaceAnErrorBoxNamesWhatWasLookedFor) {
    wallpaperBackend = [] {
        BackendChoice choice;
        choice.lookedFor = {"KDE Plasma (D-Bus org.kde.plasmashell)"};
        return choice;
    };
    start();
    toggle();
    EXPECT_FALSE(checked());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.contains("KDE Plasma (D-Bus org.kde.plasmashell)"))
        << messages.boxes[0].text.toStdString();
    EXPECT_FALSE(storedNow().on);
}

TEST_F(WindowWallpaperTest, AStartWithTheModeOnKeepsRenewingAndOffRestoresTheSavedState) {
    // As after a kill: the settings file holds the mode and the user's wallpaper.
    const DesktopWallpaperState own = log->desktop;
    start([&own](World& w) {
        w.settings.switches.sunShadow = true;
        store(w, {true, own, "fake"});
    });
    EXPECT_TRUE(checked());
    refreshTick();
    ASSERT_EQ(log->shown.size(), 1u);
    toggle();
    ASSERT_EQ(log->restored.size(), 1u);
    EXPECT_EQ(log->restored[0], own);
    EXPECT_EQ(log->reads, 0);
}

} // namespace
} // namespace chronvale

namespace chronvale {
namespace {

TEST_F(WindowWallpaperTest, TheExitKeepsWhatTheTimerStoredMeanwhile) {
    start();
    // `chronvale --wallpaper` from the timer turns the mode on while the window runs.
    const StoredWallpaper fromTimer{true, {"'file:///home/u/own.jpg'", "'zoom'", ""}, "fake"};
    ASSERT_TRUE(writeStoredWallpaper(*openProgramSettings(), fromTimer));
    window->saveSettings();
    const StoredWallpaper after = storedNow();
    EXPECT_TRUE(after.on);
    EXPECT_EQ(after.saved, fromTimer.saved);
}

} // namespace
} // namespace chronvale

namespace chronvale {
namespace {

TEST_F(WindowWallpaperTest, OnFromAnotherDesktopItCanStillBeSwitchedOff) {
    wallpaperBackend = [] { return BackendChoice{}; };
    start([](World& w) { store(w, {true, {"'file:///home/u/own.jpg'", "", ""}, ""}); });
    EXPECT_TRUE(checked());
    toggle();
    EXPECT_EQ(messages.boxes.size(), 1u);
    EXPECT_FALSE(checked());
    const StoredWallpaper stored = storedNow();
    EXPECT_FALSE(stored.on);
    EXPECT_EQ(stored.saved.back().state.file, "'file:///home/u/own.jpg'");
}

// The desktop never shows a travelled instant: away from now the shadow timer
// leaves the wallpaper alone, coming back renews it, and switching the mode on
// while away comes back to now first.
TEST_F(WindowWallpaperTest, AwayFromNowTheWallpaperIsNeitherRenewedNorSet) {
    clock = [] { return std::time_t{1805544000}; }; // 2027-03-20T12:00:00Z
    start([](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.sunShadow = true;
    });
    toggle();
    ASSERT_EQ(log->shown.size(), 1u);
    window->runCommand(cmd::HourForward);
    refreshTick();
    EXPECT_EQ(log->shown.size(), 1u);
    window->runCommand(cmd::BackToNow);
    settle();
    EXPECT_EQ(log->shown.size(), 2u);

    // Closing while away puts the window away at now, where the timer renews the map.
    window->runCommand(cmd::HourForward);
    window->close();
    settle();
    EXPECT_TRUE(window->showingNow());
    EXPECT_EQ(log->shown.size(), 3u); // renewed on coming back
    refreshTick();
    EXPECT_EQ(log->shown.size(), 4u);

    toggle(); // off
    window->runCommand(cmd::DayForward);
    toggle(); // on again: at now
    EXPECT_TRUE(window->showingNow());
    EXPECT_EQ(log->shown.size(), 5u);
}

} // namespace
} // namespace chronvale

namespace chronvale {
namespace {

// `chronvale --wallpaper` from the timer changes the settings file while the
// window runs: the window goes by the file, never by its own older copy.
TEST_F(WindowWallpaperTest, TheWindowGoesByWhatTheTimerStoredMeanwhile) {
    start([](World& w) { w.settings.switches.sunShadow = true; });
    const DesktopWallpaperState own = log->desktop;
    toggle();
    ASSERT_EQ(log->shown.size(), 1u);

    // The timer's `--wallpaper off`: the desktop has its own back, the mode is off.
    log->desktop = own;
    ASSERT_TRUE(writeStoredWallpaper(*openProgramSettings(), {false, own, "fake"}));
    refreshTick();
    EXPECT_EQ(log->shown.size(), 1u);
    EXPECT_EQ(log->desktop, own);
    EXPECT_FALSE(checked());

    // The timer's `--wallpaper`: on again, with the user's state saved by it.
    ASSERT_TRUE(writeStoredWallpaper(*openProgramSettings(), {true, own, "fake"}));
    log->desktop = {wallpaper("Wallpaper-a.jpg"), "centered", wallpaper("Wallpaper-a.jpg")};
    refreshTick();
    EXPECT_EQ(log->shown.size(), 2u);
    EXPECT_TRUE(checked());
    // Off from the window gives back the state the timer saved.
    toggle();
    ASSERT_EQ(log->restored.size(), 1u);
    EXPECT_EQ(log->restored[0], own);
    EXPECT_FALSE(storedNow().on);
}

TEST_F(WindowWallpaperTest, AStateThatCannotBeReadKeepsTheModeOffAndTheDesktopAsItWas) {
    log->readable = false;
    start();
    toggle();
    EXPECT_FALSE(checked());
    EXPECT_TRUE(log->shown.empty());
    EXPECT_FALSE(storedNow().on);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_TRUE(messages.boxes[0].text.contains("Fake desktop"))
        << messages.boxes[0].text.toStdString();
}

TEST_F(WindowWallpaperTest, ASlowDesktopToolLeavesTheWindowResponsive) {
    start([](World& w) { w.settings.switches.sunShadow = true; });
    log->showDelayMs = 2000;
    // The window's loop keeps turning while the tool runs: no beat comes late.
    QTimer beat;
    std::chrono::steady_clock::time_point last = std::chrono::steady_clock::now();
    std::chrono::milliseconds longest{0};
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const auto now = std::chrono::steady_clock::now();
        longest =
            std::max(longest, std::chrono::duration_cast<std::chrono::milliseconds>(now - last));
        last = now;
    });
    beat.start(5);
    const auto before = std::chrono::steady_clock::now();
    window->runCommand(cmd::WallpaperMode);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(1000));
    EXPECT_TRUE(window->wallpaperBusy());
    settle();
    beat.stop();
    EXPECT_TRUE(checked());
    EXPECT_EQ(log->shown.size(), 1u);
    EXPECT_LT(longest, std::chrono::milliseconds(500)) << longest.count() << " ms";
    // The next tick renews it as before.
    refreshTick();
    EXPECT_EQ(log->shown.size(), 2u);
}

TEST_F(WindowWallpaperTest, WhileAnotherChronvaleChangesTheWallpaperTheWindowWaitsItsTurn) {
    start([](World& w) { w.settings.switches.sunShadow = true; });
    {
        // The job waits for the lock on its worker; the window goes on meanwhile.
        const WallpaperLock timer(userFolder.path().toStdString(), 0);
        ASSERT_TRUE(timer.held());
        window->runCommand(cmd::WallpaperMode);
        int ticks = 0;
        QTimer beat;
        QObject::connect(&beat, &QTimer::timeout, [&ticks] { ++ticks; });
        beat.start(10);
        ASSERT_TRUE(waitFor([&] { return ticks >= 20; }));
        EXPECT_TRUE(window->wallpaperBusy());
        EXPECT_FALSE(checked());
        EXPECT_TRUE(log->shown.empty());
    }
    settle();
    EXPECT_TRUE(checked());
    EXPECT_EQ(log->shown.size(), 1u);
    {
        const WallpaperLock timer(userFolder.path().toStdString(), 0);
        refreshTick(); // the timer renews it now: the window skips this one
        EXPECT_EQ(log->shown.size(), 1u);
    }
    refreshTick();
    EXPECT_EQ(log->shown.size(), 2u);
}

} // namespace
} // namespace chronvale
