// The time travel's rules without a window: the steps and their bounds, the
// clouds that go off when the map leaves now and come back with it, the switches
// as stored while away, and the status text.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/time_travel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace chronvale {
namespace {

// 2027-03-20 12:00 UTC.
constexpr std::time_t kNow = 1805544000;

// The window as the hooks see it: the switches, and what was asked of it.
struct FakeWindow {
    DisplaySwitches switches;
    std::vector<std::string> calls;
    std::optional<std::time_t> answer; // of Go to Time

    TimeTravel::Hooks hooks() {
        return TimeTravel::Hooks{
            .switches = [this]() -> const DisplaySwitches& { return switches; },
            .cloudsOff =
                [this] {
                    calls.push_back("cloudsOff");
                    switches.clouds = false;
                },
            .compose = [this] { calls.push_back("compose"); },
            .cloudsOn =
                [this] {
                    // The Clouds command turns the shadow off.
                    calls.push_back("cloudsOn");
                    switches.clouds = true;
                    switches.sunShadow = false;
                },
            .shadowOn =
                [this] {
                    calls.push_back("shadowOn");
                    switches.sunShadow = true;
                },
            .backAtNow = [this] { calls.push_back("backAtNow"); },
            .travelled = [] {},
            .status =
                [this](const QString& text) { calls.push_back("status:" + text.toStdString()); },
            .showingText = [] { return QStringLiteral("Showing %s"); },
            .askInstant = [this](std::time_t) { return answer; },
        };
    }
};

class TimeTravelRules : public ::testing::Test {
protected:
    FakeWindow window;
    TimeTravel travel{[] { return kNow; }, window.hooks()};
};

struct StepCase {
    int command;
    std::time_t from; // the instant gone to first
    std::time_t expected;
};

TEST_F(TimeTravelRules, StepsMoveTheShownInstantWithinTheYearsShown) {
    const StepCase cases[] = {
        {cmd::HourForward, kNow, kNow + 3600},
        {cmd::HourBack, kNow, kNow - 3600},
        {cmd::DayForward, kNow, kNow + 86400},
        {cmd::DayBack, kNow, kNow - 86400},
        // 1950-01-01 00:00 UTC is the first instant shown, 2050-12-31 23:00 near the last.
        {cmd::HourBack, -631152000, -631152000},
        {cmd::DayForward, 2556140400, 2556140400},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.from);
        ASSERT_TRUE(travel.goTo(c.from));
        EXPECT_TRUE(travel.runCommand(c.command));
        EXPECT_EQ(travel.shown(), c.expected);
        travel.backToNow();
        EXPECT_FALSE(travel.away());
    }
    EXPECT_FALSE(travel.runCommand(cmd::Clouds));
    EXPECT_FALSE(travel.goTo(2556144000)); // 2051-01-01
    EXPECT_FALSE(travel.away());
}

TEST_F(TimeTravelRules, GoToTimeMovesOnlyWhenAnInstantIsChosen) {
    EXPECT_TRUE(travel.runCommand(cmd::GoToTime));
    EXPECT_FALSE(travel.away());
    window.answer = kNow - 7200;
    EXPECT_TRUE(travel.runCommand(cmd::GoToTime));
    EXPECT_EQ(travel.shown(), kNow - 7200);
    EXPECT_TRUE(travel.runCommand(cmd::BackToNow));
    EXPECT_FALSE(travel.away());
}

struct CloudCase {
    bool clouds;
    bool shadow;
    std::vector<std::string> leaving;
    std::vector<std::string> coming; // after the compose of the return
};

TEST_F(TimeTravelRules, TheCloudsGoOffAwayAndComeBackWithTheShadowBesideThem) {
    const CloudCase cases[] = {
        {true, true, {"cloudsOff", "compose"}, {"cloudsOn", "shadowOn", "backAtNow"}},
        {true, false, {"cloudsOff", "compose"}, {"cloudsOn", "backAtNow"}},
        {false, true, {"compose"}, {"backAtNow"}},
    };
    for (const CloudCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.clouds) + std::to_string(c.shadow));
        window.switches.clouds = c.clouds;
        window.switches.sunShadow = c.shadow;
        window.calls.clear();
        ASSERT_TRUE(travel.goTo(kNow + 3600));
        std::vector<std::string> expected = c.leaving;
        expected.push_back("status:Showing 2027-03-20 13:00 UTC");
        EXPECT_EQ(window.calls, expected);
        EXPECT_FALSE(window.switches.clouds);
        // Stored as they will be at now.
        const DisplaySwitches stored = travel.atNow(window.switches);
        EXPECT_EQ(stored.clouds, c.clouds);
        EXPECT_EQ(stored.sunShadow, c.shadow);

        window.calls.clear();
        travel.backToNow();
        expected = {"compose"};
        expected.insert(expected.end(), c.coming.begin(), c.coming.end());
        expected.push_back("status:");
        EXPECT_EQ(window.calls, expected);
        EXPECT_EQ(window.switches.clouds, c.clouds);
        EXPECT_EQ(window.switches.sunShadow, c.shadow);
    }
}

TEST_F(TimeTravelRules, ACloudImageOfNowWaitsForNowAndTheCloudCommandsComeBack) {
    EXPECT_TRUE(travel.cloudImageArrives());
    ASSERT_TRUE(travel.goTo(kNow - 86400));
    EXPECT_FALSE(travel.comeBackFor(cmd::Grid));
    EXPECT_FALSE(travel.cloudImageArrives());
    EXPECT_TRUE(travel.atNow(window.switches).clouds);
    // Clouds comes back to now, which turned them on: nothing more to do.
    EXPECT_TRUE(travel.comeBackFor(cmd::Clouds));
    EXPECT_FALSE(travel.away());
    EXPECT_TRUE(window.switches.clouds);
    // Play comes back too, and still runs.
    window.switches.clouds = false;
    ASSERT_TRUE(travel.goTo(kNow - 86400));
    EXPECT_FALSE(travel.comeBackFor(cmd::Play));
    EXPECT_FALSE(travel.away());
    EXPECT_FALSE(travel.comeBackFor(cmd::Play)); // at now: nothing to do
}

TEST_F(TimeTravelRules, AtNowTheStatusTextIsEmptyAndTheSwitchesAreAsShown) {
    EXPECT_EQ(travel.statusText(), QString());
    window.switches.clouds = false;
    window.switches.sunShadow = true;
    const DisplaySwitches stored = travel.atNow(window.switches);
    EXPECT_FALSE(stored.clouds);
    EXPECT_TRUE(stored.sunShadow);
}

} // namespace
} // namespace chronvale
