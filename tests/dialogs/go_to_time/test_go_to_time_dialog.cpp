// Go to Time: the instant is edited in local time and read out in UTC.

#include "dialogs/go_to_time/go_to_time_dialog.h"
#include "i18n/language.h"
#include "support/environment.h"
#include "support/test_application.h"

#include <QApplication>
#include <QDateTimeEdit>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

test::TestApplication<QApplication>& app =
    test::TestApplication<QApplication>::install("chronvale-test");

TEST(GoToTimeDialog, EditsLocalTimeAndReadsOutUtc) {
    app.application();
    const test::LocalTimeZone berlin("Europe/Berlin");
    Language english{QString(), QString()};
    // 2027-03-20 12:00 UTC is 13:00 in Berlin (standard time until 28 March).
    GoToTimeDialog dialog(english, 1805544000, nullptr);
    EXPECT_EQ(dialog.editor()->dateTime().toString("yyyy-MM-dd HH:mm"), "2027-03-20 13:00");
    EXPECT_EQ(dialog.utcText(), "2027-03-20 12:00");
    EXPECT_EQ(dialog.instant(), 1805544000);

    // Summer time: 14:30 local on 1 July is 12:30 UTC.
    dialog.editor()->setDateTime(QDateTime(QDate(2027, 7, 1), QTime(14, 30), Qt::LocalTime));
    EXPECT_EQ(dialog.utcText(), "2027-07-01 12:30");
    EXPECT_EQ(dialog.instant(), 1814445000);

    // Seconds are dropped; the instant stays within 1950 ... 2050 (UTC).
    dialog.setInstant(1805544059);
    EXPECT_EQ(dialog.instant(), 1805544000);
    dialog.editor()->setDateTime(QDateTime(QDate(2300, 1, 1), QTime(0, 0), Qt::LocalTime));
    EXPECT_EQ(dialog.instant(), 2556143940); // 2050-12-31T23:59:00Z
}

} // namespace
} // namespace chronvale
