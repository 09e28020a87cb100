// The window at another instant: the hour and day steps, Go to Time and Now, the
// clouds while away, the status text, and the sun, moon and twilight overlays.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/shown_instant.h"
#include "config/program_settings.h"
#include "render/qt/sky_overlays.h"
#include "render/sky_marks.h"
#include "ui/status_bar.h"
#include "window_test_support.h"

#include <QAction>
#include <QImage>
#include <QKeySequence>
#include <QSettings>
#include <cmath>
#include <cstring>

namespace chronvale {
namespace {

using test::drainEvents;

// 2027-03-20 12:00 UTC, the day of the March equinox.
constexpr std::time_t kNow = 1805544000;

class TimeTravelTest : public test::WindowTest {
protected:
    void startAt(std::time_t now, bool shadow) {
        clock = [now] { return now; };
        start([shadow](World& w) {
            w.settings.switches.dayMap = true;
            w.settings.switches.sunShadow = shadow;
            w.settings.switches.markedCities = false;
        });
    }
    QString status(int part) const { return window->statusBarFields()->statusText(part); }

    // The map x of the evening terminator on the equator: the first column east
    // of the sub-solar point (at map x `noon`) whose pixel differs from the day
    // image, that is where the shadow begins.
    int eveningEdge(int noon) const {
        const EarthImage* lit = world->compositor.litMap();
        const EarthImage* day = world->compositor.dayImage();
        for (int dx = 0; dx < 1024; ++dx) {
            const int x = (noon + dx) % 1024;
            if (std::memcmp(pixelAddress(lit, x, 256), pixelAddress(day, x, 256), 3) != 0) {
                return noon + dx;
            }
        }
        return -1;
    }
};

TEST(ShownInstant, StepsStayWithinTheYearsOfTheSunAndMoon) {
    std::time_t now = kNow;
    ShownInstant shown([&now] { return now; });
    EXPECT_FALSE(shown.away());
    EXPECT_EQ(shown.shown(), kNow);
    EXPECT_TRUE(shown.goTo(kNow + 3600));
    EXPECT_TRUE(shown.away());
    now += 10; // away, the shown instant stands still
    EXPECT_EQ(shown.shown(), kNow + 3600);
    EXPECT_FALSE(shown.goTo(2556144000)); // 2051-01-01T00:00:00Z
    EXPECT_EQ(shown.shown(), kNow + 3600);
    EXPECT_TRUE(shown.goTo(-631152000)); // 1950-01-01T00:00:00Z
    EXPECT_FALSE(shown.goTo(-631152001));
    shown.backToNow();
    EXPECT_EQ(shown.shown(), now);
}

TEST_F(TimeTravelTest, AnHourMovesTheTerminatorFifteenDegreesAndNowReturns) {
    startAt(kNow, true);
    // The sun is overhead near longitude 1.9 at 12:00 UT on this day.
    const int noon = static_cast<int>((1.88 + 180.0) / 360.0 * 1024.0);
    const int before = eveningEdge(noon);
    ASSERT_GT(before, noon);

    window->runCommand(cmd::HourForward);
    EXPECT_TRUE(window->shownInstant().away());
    EXPECT_EQ(window->shownInstant().shown(), kNow + 3600);
    const int after = eveningEdge(noon - 43);
    // 15 degrees of 360 is 42.7 map pixels westward.
    EXPECT_NEAR(before - after, 1024.0 * 15.0 / 360.0, 2.0);
    EXPECT_EQ(status(MainWindow::StatusMessage),
              "Showing 2027-03-20 13:00 UTC — press Ctrl+0 for now");

    window->runCommand(cmd::DayForward);
    window->runCommand(cmd::DayBack);
    window->runCommand(cmd::HourBack);
    EXPECT_EQ(window->shownInstant().shown(), kNow);
    EXPECT_TRUE(window->shownInstant().away()); // at the same instant, but pinned

    window->runCommand(cmd::HourForward);
    window->runCommand(cmd::BackToNow);
    EXPECT_FALSE(window->shownInstant().away());
    EXPECT_TRUE(window->showingNow());
    EXPECT_EQ(eveningEdge(noon), before);
    EXPECT_EQ(status(MainWindow::StatusMessage), "");
}

TEST_F(TimeTravelTest, TwelveHoursOnShowsTheNightWhereTheDayWasAndTheCitiesTimes) {
    startAt(kNow, true);
    QAction* forward = window->menuAction(cmd::HourForward);
    ASSERT_NE(forward, nullptr);
    EXPECT_EQ(forward->shortcut(), QKeySequence(QStringLiteral("Ctrl+Right")));
    EXPECT_EQ(window->menuAction(cmd::BackToNow)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+0")));
    EXPECT_EQ(window->menuAction(cmd::DayBack)->shortcut(),
              QKeySequence(QStringLiteral("Ctrl+Shift+Left")));

    // Greenwich at noon is in the day; twelve hours on it is in the night.
    const int greenwich = 512;
    const EarthImage* day = world->compositor.dayImage();
    EXPECT_EQ(std::memcmp(pixelAddress(world->compositor.litMap(), greenwich, 256),
                          pixelAddress(day, greenwich, 256), 3),
              0);
    for (int i = 0; i < 12; ++i) {
        forward->trigger();
    }
    EXPECT_EQ(window->shownInstant().shown(), kNow + 12 * 3600);
    EXPECT_NE(std::memcmp(pixelAddress(world->compositor.litMap(), greenwich, 256),
                          pixelAddress(day, greenwich, 256), 3),
              0);
    // The pointer read-out gives the local time of the shown instant: over the
    // prime meridian (UTC + 0) that is 2027-03-21 00:00.
    const Point london = window->view().mapToScreen(0.0f, 51.5f);
    mouse(QEvent::MouseMove, QPoint(london.x, london.y));
    EXPECT_TRUE(status(MainWindow::StatusLocalTime).contains("00:00"))
        << status(MainWindow::StatusLocalTime).toStdString();

    window->runCommand(cmd::BackToNow);
    EXPECT_EQ(std::memcmp(pixelAddress(world->compositor.litMap(), greenwich, 256),
                          pixelAddress(day, greenwich, 256), 3),
              0);
}

TEST_F(TimeTravelTest, CloudsGoOffWhileAwayAndNothingOfTheTravelIsStored) {
    startAt(kNow, false);
    world->switchBoard.change([](DisplaySwitches& s) { s.clouds = true; });
    ASSERT_TRUE(window->goToInstant(kNow + 86400 * 30));
    EXPECT_FALSE(world->settings.switches.clouds);
    EXPECT_FALSE(window->goToInstant(2556144000)); // 2051: refused
    EXPECT_EQ(window->shownInstant().shown(), kNow + 86400 * 30);

    window->runCommand(cmd::Quit);
    const std::unique_ptr<QSettings> stored = openProgramSettings();
    for (const QString& key : stored->allKeys()) {
        const QString value = stored->value(key).toString();
        // No instant of the travel (or of now) is written.
        EXPECT_FALSE(value.contains(QString::number(kNow / 100000))) << key.toStdString();
        EXPECT_FALSE(key.contains("time", Qt::CaseInsensitive)) << key.toStdString();
    }
    EXPECT_EQ(stored->value("sunmoon").toString(), "0");
    // The clouds are stored on, as they will be at now.
    EXPECT_EQ(stored->value("clouds").toString(), "1");
}

TEST_F(TimeTravelTest, SunMoonAndTwilightAreDrawnOnThePaneAndStored) {
    startAt(kNow, true);
    window->runCommand(cmd::SunMoon);
    window->runCommand(cmd::Twilight);
    EXPECT_TRUE(window->menuAction(cmd::SunMoon)->isChecked());
    EXPECT_TRUE(window->toolbarAction(cmd::Twilight)->isChecked());
    drainEvents();

    const QImage pane = window->mapPane()->grab().toImage();
    const SkyMarks marks = skyMarksAt(kNow, true, true);
    ASSERT_TRUE(marks.sun);
    const Point sun = window->view().mapToScreen(static_cast<float>(marks.sun->longitude),
                                                 static_cast<float>(marks.sun->latitude));
    const double ratio = pane.devicePixelRatio();
    EXPECT_EQ(pane.pixelColor(static_cast<int>(sun.x * ratio), static_cast<int>(sun.y * ratio)),
              QColor(kSunFill.red, kSunFill.green, kSunFill.blue));

    // An hour on, the sun has moved west with the shown instant.
    window->runCommand(cmd::HourForward);
    drainEvents();
    const QImage later = window->mapPane()->grab().toImage();
    EXPECT_NE(later.pixelColor(static_cast<int>(sun.x * ratio), static_cast<int>(sun.y * ratio)),
              QColor(kSunFill.red, kSunFill.green, kSunFill.blue));

    window->runCommand(cmd::Quit);
    EXPECT_EQ(openProgramSettings()->value("sunmoon").toString(), "1");
    EXPECT_EQ(openProgramSettings()->value("twilight").toString(), "1");
}

} // namespace
} // namespace chronvale
