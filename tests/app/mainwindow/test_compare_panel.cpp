// The Compare Times panel in the window: the hint without marked cities, typed
// times in each row (and the ones that do not parse), the cursor that moves the
// map's instant, Next Overlap, the copied text, reordering and labels, and the
// command that shows and hides it.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/compare_panel.h"
#include "cityinfo/city_search.h"
#include "window_test_support.h"

#include <QAction>
#include <QLineEdit>

namespace chronvale {
namespace {

// 2027-06-15 06:30 UTC, a Tuesday: 15:30 in Tokyo, 07:30 in London (summer
// time), 02:30 in New York (summer time).
constexpr std::time_t kJune15 = 1813041000;

class ComparePanelTest : public test::WindowTest {
protected:
    // Marks the cities (by name, the first match) and opens the window with the
    // rows in that order, "Here" off and "UTC" on.
    void startWith(const std::vector<std::string>& names) {
        clock = [] { return kJune15; };
        start([names](World& w) {
            const CitySearch search(w.tables().cities);
            w.settings.compare = {};
            for (const std::string& name : names) {
                const std::size_t city = search.findBest(name).front();
                w.markCity(city, true);
                w.settings.compare.rows.push_back({city});
            }
            w.settings.compare.hereRow = false;
            w.settings.compare.utcRow = true;
        });
        panel().follow();
    }
    ComparePanel& panel() { return window->comparePanel(); }
    std::time_t shown() { return window->shownInstant().shown(); }
};

TEST_F(ComparePanelTest, WithoutMarkedCitiesItShowsAHint) {
    startWith({});
    EXPECT_TRUE(panel().showsHint());
    panel().nextOverlap();
    EXPECT_EQ(shown(), kJune15);
}

TEST_F(ComparePanelTest, TypedTimesMoveTheMapToThatTimeInTheRowsCity) {
    startWith({"Tokyo", "London"});
    ASSERT_FALSE(panel().showsHint());
    ASSERT_EQ(panel().scene().rows.size(), 3u); // Tokyo, London, UTC
    EXPECT_EQ(panel().editor(0)->text(), "15:30");
    EXPECT_EQ(panel().editor(1)->text(), "07:30");
    EXPECT_EQ(panel().editor(2)->text(), "06:30");

    // Each time is taken on the row's own date at the cursor.
    struct Typed {
        int row;
        const char* text;
        std::time_t shown; // afterwards
    };
    const Typed table[] = {
        // UTC 15:30 on the 15th.
        {2, "15:30", kJune15 + 9 * 3600},
        // Then Tokyo reads 00:30 on the 16th: 09:00 there is 00:00 UTC on the 16th.
        {0, "9:00", kJune15 + 17 * 3600 + 1800},
        // Then London reads 01:00 on the 16th: 23:45 there is 22:45 UTC.
        {1, "23:45", kJune15 + 40 * 3600 + 15 * 60},
    };
    for (const Typed& t : table) {
        SCOPED_TRACE(t.text);
        panel().typeTime(t.row, t.text);
        EXPECT_EQ(shown(), t.shown);
        EXPECT_EQ(panel().scene().cursor, t.shown);
    }
    EXPECT_EQ(panel().editor(0)->text(), "07:45");
}

TEST_F(ComparePanelTest, ATimeThatDoesNotParseTurnsRedAndChangesNothing) {
    startWith({"Tokyo"});
    for (const char* bad : {"25:00", "15.30", "noon", "", "12:5"}) {
        panel().typeTime(0, bad);
        SCOPED_TRACE(bad);
        EXPECT_EQ(shown(), kJune15);
        EXPECT_FALSE(panel().editor(0)->styleSheet().isEmpty());
        EXPECT_FALSE(panel().editor(0)->toolTip().isEmpty());
    }
    panel().typeTime(0, "16:00");
    EXPECT_EQ(shown(), kJune15 + 1800);
    EXPECT_TRUE(panel().editor(0)->styleSheet().isEmpty());
}

TEST_F(ComparePanelTest, DraggingTheCursorTravelsInStepsOfFiveMinutes) {
    startWith({"Tokyo"});
    panel().setCursorInstant(kJune15 + 3600 + 299);
    EXPECT_EQ(shown(), kJune15 + 3600);
    EXPECT_FALSE(window->showingNow());
    window->runCommand(cmd::BackToNow);
    panel().follow();
    EXPECT_EQ(panel().scene().cursor, kJune15);
}

TEST_F(ComparePanelTest, NextOverlapGoesToItAndCopyAsTextNamesEveryRow) {
    startWith({"London", "New York"});
    // London 08-16 UTC, New York 13-21 UTC in June.
    panel().nextOverlap();
    EXPECT_EQ(shown(), kJune15 + 6 * 3600 + 1800);
    EXPECT_FALSE(panel().overlapStatus().isEmpty());
    EXPECT_EQ(panel().copyText(), "Tue 15 Jun 14:00 London = 09:00 New York = 13:00 UTC");
    // Already in it: the next day's.
    panel().nextOverlap();
    EXPECT_EQ(shown(), kJune15 + 6 * 3600 + 1800 + 86400);
}

TEST_F(ComparePanelTest, TokyoAndLondonNeverOverlap) {
    startWith({"Tokyo", "London"});
    panel().nextOverlap();
    EXPECT_EQ(shown(), kJune15);
    EXPECT_FALSE(panel().overlapStatus().isEmpty());
}

TEST_F(ComparePanelTest, RowsReorderAndTakeLabelsShownOnTheMapToo) {
    startWith({"Tokyo", "London", "New York"});
    panel().moveCityRow(0, 2);
    ASSERT_EQ(panel().scene().names.size(), 4u);
    EXPECT_EQ(panel().scene().names[0], "London");
    EXPECT_EQ(panel().scene().names[2], "Tokyo");
    panel().setLabel(0, "  Mum ");
    EXPECT_EQ(panel().scene().names[0], "Mum");
    const std::size_t london = settings().compare.rows[0].city;
    EXPECT_EQ(world->tables().cities[london].label, "Mum");
    panel().setWorkingHours(1, 22 * 60, 6 * 60, 0x1F);
    EXPECT_EQ(settings().compare.rows[1].startMinute, 22 * 60);
    EXPECT_EQ(settings().compare.rows[1].days, 0x1F);
}

TEST_F(ComparePanelTest, TheCommandShowsAndHidesThePanelAndItIsKept) {
    startWith({"Tokyo"});
    window->show();
    const bool before = !panel().isHidden();
    window->runCommand(cmd::CompareTimes);
    test::drainEvents();
    EXPECT_EQ(!panel().isHidden(), !before);
    EXPECT_EQ(settings().compare.shown, !before);
    ASSERT_NE(window->menuAction(cmd::CompareTimes), nullptr);
    EXPECT_EQ(window->menuAction(cmd::CompareTimes)->isChecked(), !before);
    ASSERT_NE(window->toolbarAction(cmd::CompareTimes), nullptr);
    window->runCommand(cmd::CompareTimes);
    test::drainEvents();
    EXPECT_EQ(!panel().isHidden(), before);
}

} // namespace
} // namespace chronvale
