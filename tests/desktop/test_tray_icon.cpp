#include "desktop/tray_icon.h"
#include "i18n/language.h"
#include "support/shell_test_support.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QWidget>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

class TrayIconTest : public ::testing::Test {
protected:
    void SetUp() override { test::shellApplication(); }
    test::RecordingShellWindow window;
    Language english{QString(), QString()};
};

TEST_F(TrayIconTest, MenuHoldsRestoreMinimizeAndExitInOrder) {
    TrayIcon tray(window, QIcon(), english);
    const QList<QAction*> items = tray.menu()->actions();
    ASSERT_EQ(items.size(), 4);
    EXPECT_EQ(items[0]->data().toInt(), 40033);
    EXPECT_EQ(items[0]->text(), QStringLiteral("&Restore"));
    EXPECT_EQ(items[1]->data().toInt(), 40034);
    EXPECT_EQ(items[1]->text(), QStringLiteral("&Minimize"));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->data().toInt(), 414);
    EXPECT_EQ(items[3]->text(), QStringLiteral("&Exit"));
}

TEST_F(TrayIconTest, MenuItemsReachTheWindow) {
    TrayIcon tray(window, QIcon(), english);
    tray.action(TrayIcon::CommandMinimize)->trigger();
    tray.action(TrayIcon::CommandRestore)->trigger();
    tray.action(TrayIcon::CommandExit)->trigger();
    EXPECT_EQ(window.calls, (std::vector<std::string>{"minimise", "restore", "exit"}));
    // Commands of the window's own table are not the tray's.
    EXPECT_FALSE(tray.runCommand(40005));
    EXPECT_EQ(window.calls.size(), 3u);
}

TEST_F(TrayIconTest, WithoutATrayTheProgramRunsWithoutTheIcon) {
    // The offscreen platform has no notification area.
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    TrayIcon tray(window, QIcon(), english);
    EXPECT_FALSE(tray.shown());
    // The menu still works for the window's own use.
    EXPECT_TRUE(tray.runCommand(TrayIcon::CommandRestore));
}

TEST_F(TrayIconTest, WithoutATrayTheOnlyWindowIsNeverHidden) {
    QWidget main;
    main.show();
    hideToTray(main, false);
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.isMinimized());

    QWidget other;
    other.show();
    hideToTray(other, true);
    EXPECT_FALSE(other.isVisible());
}

struct ActivationCase {
    QSystemTrayIcon::ActivationReason reason;
    bool windowOnScreen;
    std::optional<TrayAction> action;
};

class TrayActivationTest : public ::testing::TestWithParam<ActivationCase> {};

TEST_P(TrayActivationTest, AClickRestoresOrHidesAndTheMenuAsksNothing) {
    const ActivationCase& c = GetParam();
    EXPECT_EQ(trayActivation(c.reason, c.windowOnScreen), c.action);
}

using R = QSystemTrayIcon;
INSTANTIATE_TEST_SUITE_P(
    Reasons, TrayActivationTest,
    ::testing::Values(ActivationCase{R::Trigger, false, TrayAction::Restore},
                      ActivationCase{R::Trigger, true, TrayAction::Hide},
                      ActivationCase{R::MiddleClick, false, TrayAction::Restore},
                      ActivationCase{R::MiddleClick, true, TrayAction::Hide},
                      // A double-click always brings the window back (an X11
                      // tray sends a click before it).
                      ActivationCase{R::DoubleClick, false, TrayAction::Restore},
                      ActivationCase{R::DoubleClick, true, TrayAction::Restore},
                      ActivationCase{R::Context, false, std::nullopt},
                      ActivationCase{R::Context, true, std::nullopt},
                      ActivationCase{R::Unknown, true, std::nullopt}));

TEST_F(TrayIconTest, AnActivationReachesTheWindow) {
    TrayIcon tray(window, QIcon(), english);
    tray.activate(QSystemTrayIcon::Trigger);
    window.onScreen = true;
    tray.activate(QSystemTrayIcon::MiddleClick);
    tray.activate(QSystemTrayIcon::Context);
    tray.activate(QSystemTrayIcon::DoubleClick);
    EXPECT_EQ(window.calls, (std::vector<std::string>{"restore", "hide", "restore"}));
}

} // namespace
} // namespace chronvale
