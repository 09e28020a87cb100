#include "app/mainwindow/title_clock.h"
#include "support/environment.h"
#include "support/scratch.h"
#include "support/shell_test_support.h"

#include <QWidget>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <string>

namespace chronvale {
namespace {

// 2005-03-07 14:05:09 UTC, a Monday.
constexpr std::time_t kInstant = 1110204309;

using test::calendarFields;

TEST(TimePattern, ReplacesEveryTokenWithItsDigitsAndKeepsOtherText) {
    const std::tm t = calendarFields(2005, 3, 7, 4, 5, 9);
    const std::tm lastSecondButOne = calendarFields(2021, 12, 31, 23, 59, 58);
    const std::tm lastDay = calendarFields(2021, 12, 31);
    const struct {
        const char* pattern;
        const std::tm* time;
        const char* text;
    } cases[] = {
        {"YYYY-MM-DD HH:MI:SS", &t, "2005-3-7 04:05:09"},
        // YY is the year minus 2000 without a leading zero; SE is a second name for seconds.
        {"DD.MM.YY SE", &t, "7.3.5 09"},
        {"HH", &lastSecondButOne, "23"},
        {"DD/MM/YY", &lastDay, "31/12/21"},
        {"", &t, ""},
        {"at H:M:S, Y", &t, "at H:M:S, Y"},
        // A lone letter of a token stays; the longest token at a place wins.
        {"YYYYY", &t, "2005Y"},
        {"HHH", &t, "04H"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(formatTimePattern(c.pattern, *c.time), c.text) << c.pattern;
    }
}

TEST(TitleClock, LongFormWhileShownShortWhileMinimised) {
    test::LocalTimeZone zone("UTC");
    EXPECT_EQ(titleClockText(kInstant, false), QStringLiteral("Quillmar Chronvale - 14:05:09"));
    EXPECT_EQ(titleClockText(kInstant, true), QStringLiteral("14:05"));
    // Midnight keeps two digits in every field.
    EXPECT_EQ(titleClockText(1104537600, false), QStringLiteral("Quillmar Chronvale - 00:00:00"));
}

TEST(TitleClock, ShowsTheComputersLocalTime) {
    test::LocalTimeZone zone("Asia/Kolkata"); // UTC+05:30, no daylight saving
    EXPECT_EQ(titleClockText(kInstant, false), QStringLiteral("Quillmar Chronvale - 19:35:09"));
    EXPECT_EQ(titleClockText(kInstant, true), QStringLiteral("19:35"));
}

TEST(TitleClock, FollowsTheWindowState) {
    test::shellApplication();
    test::LocalTimeZone zone("UTC");
    QWidget window;
    window.show();
    updateTitleClock(window, kInstant);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillmar Chronvale - 14:05:09"));
    window.showMinimized();
    updateTitleClock(window, kInstant + 60);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("14:06"));
    window.showNormal();
    updateTitleClock(window, kInstant + 61);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Quillmar Chronvale - 14:06:10"));
}

} // namespace
} // namespace chronvale
