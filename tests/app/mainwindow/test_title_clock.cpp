#include "app/mainwindow/title_clock.h"
#include "support/environment.h"
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

std::tm fields(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

TEST(TimePattern, ReplacesEveryTokenWithItsDigits) {
    const std::tm t = fields(2005, 3, 7, 4, 5, 9);
    EXPECT_EQ(formatTimePattern("YYYY-MM-DD HH:MI:SS", t), "2005-3-7 04:05:09");
    // YY is the year minus 2000 without a leading zero; SE is a second name for seconds.
    EXPECT_EQ(formatTimePattern("DD.MM.YY SE", t), "7.3.5 09");
    EXPECT_EQ(formatTimePattern("HH", fields(2021, 12, 31, 23, 59, 58)), "23");
    EXPECT_EQ(formatTimePattern("DD/MM/YY", fields(2021, 12, 31, 0, 0, 0)), "31/12/21");
}

TEST(TimePattern, KeepsOtherText) {
    const std::tm t = fields(2005, 3, 7, 4, 5, 9);
    EXPECT_EQ(formatTimePattern("", t), "");
    EXPECT_EQ(formatTimePattern("at H:M:S, Y", t), "at H:M:S, Y");
    // A lone letter of a token stays; the longest token at a place wins.
    EXPECT_EQ(formatTimePattern("YYYYY", t), "2005Y");
    EXPECT_EQ(formatTimePattern("HHH", t), "04H");
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
