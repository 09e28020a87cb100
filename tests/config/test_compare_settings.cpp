// The cities' labels and the Compare Times panel in config.ini: they survive a
// restart, an older config.ini without them still loads its marks, the marks'
// lines stay as older versions read them, and damaged lines are passed over.

#include "config/settings.h"
#include "support/qt_files.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

CityList someCities() {
    CityList cities(4);
    const char* names[] = {"Springfield", "London", "Tokyo", "Springfield"};
    const float longitudes[] = {-89.6f, -0.12f, 139.7f, -72.5f};
    for (std::size_t i = 0; i < cities.size(); ++i) {
        cities[i].name = names[i];
        cities[i].longitude = longitudes[i];
    }
    return cities;
}

class CompareSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    bool load(Settings& settings, CityList& cities) {
        SettingsStores s{program, shared, folder.filePath("config.ini"), {}};
        return loadSettings(s, settings, cities, frames, {});
    }
    bool save(Settings& settings, const CityList& cities) {
        SettingsStores s{program, shared, folder.filePath("config.ini"), {}};
        return saveSettings(s, settings, cities, frames);
    }
    void writeConfig(const QByteArray& text) {
        test::writeFile(folder.filePath("config.ini"), text);
    }
    std::string configText() { return test::readFile(folder.filePath("config.ini")).toStdString(); }

    QTemporaryDir folder;
    QSettings program{folder.filePath("Chronvale.ini"), QSettings::IniFormat};
    QSettings shared{folder.filePath("Common.ini"), QSettings::IniFormat};
    CloudFrameTable frames;
    const QRect desktop{0, 0, 1920, 1080};
};

TEST_F(CompareSettingsTest, LabelsAndRowsSurviveARestartFromAnOldConfig) {
    // A config.ini written before labels existed.
    writeConfig("version=2.00.001\r\nproduct=Quillmar Chronvale\r\nM=London,0\r\nM=Tokyo,139\r\n"
                "M=Springfield,-72\r\nC=/c/2024060115.jpg,1,2024060115,5,0\r\n");
    CityList cities = someCities();
    Settings settings = defaultSettings(desktop);
    ASSERT_TRUE(load(settings, cities));
    EXPECT_TRUE(cities[1].marked && cities[2].marked && cities[3].marked);
    EXPECT_FALSE(cities[0].marked);
    for (const CityRecord& city : cities) {
        EXPECT_TRUE(city.label.empty());
    }
    EXPECT_FALSE(settings.compare.shown);
    EXPECT_TRUE(settings.compare.rows.empty());

    cities[1].label = "Mum";
    cities[2].label = "Tokyo office, 7th floor";
    settings.compare.shown = true;
    settings.compare.utcRow = true;
    settings.compare.overlapMinutes = 90;
    settings.compare.rows = {{2, 9 * 60, 17 * 60, 0x3E}, {3, 22 * 60, 6 * 60, 0x1F}, {1}};
    ASSERT_TRUE(save(settings, cities));

    // The marks' lines are as an older version writes and reads them.
    const std::string text = configText();
    EXPECT_NE(text.find("\nM=London,0\nL=London,0\tMum\nM=Tokyo,139\n"), std::string::npos) << text;

    CityList again = someCities();
    Settings restarted = defaultSettings(desktop);
    ASSERT_TRUE(load(restarted, again));
    EXPECT_EQ(again[1].label, "Mum");
    EXPECT_EQ(again[2].label, "Tokyo office, 7th floor");
    EXPECT_TRUE(again[3].label.empty());
    EXPECT_TRUE(restarted.compare.shown);
    EXPECT_TRUE(restarted.compare.utcRow);
    EXPECT_TRUE(restarted.compare.hereRow);
    EXPECT_EQ(restarted.compare.overlapMinutes, 90);
    ASSERT_EQ(restarted.compare.rows.size(), 3u);
    EXPECT_EQ(restarted.compare.rows[0].city, 2u);
    EXPECT_EQ(restarted.compare.rows[1].city, 3u);
    EXPECT_EQ(restarted.compare.rows[1].startMinute, 22 * 60);
    EXPECT_EQ(restarted.compare.rows[1].endMinute, 6 * 60);
    EXPECT_EQ(restarted.compare.rows[1].days, 0x1F);
    EXPECT_EQ(restarted.compare.rows[2].city, 1u);
}

TEST_F(CompareSettingsTest, AnUnmarkedCityLosesItsRow) {
    CityList cities = someCities();
    cities[1].marked = true;
    Settings settings = defaultSettings(desktop);
    settings.compare.rows = {{1}, {2}};
    ASSERT_TRUE(save(settings, cities));
    const std::string text = configText();
    EXPECT_NE(text.find("R=London,0\t540,1020\t0111110\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("R=Tokyo"), std::string::npos) << text;
}

TEST(CompareSettings, DamagedLinesArePassedOver) {
    const CityList cities = someCities();
    const char* lines[] = {
        "R=London,0\t540,1020",            // no days
        "R=London,0\t540\t0111110",        // one time
        "R=London,0\t540,1440\t0111110",   // past midnight
        "R=London,0\t-1,1020\t0111110",    // before midnight
        "R=London,0\t540,1020\t011111",    // six days
        "R=London,0\t540,1020\t01111102",  // eight
        "R=London,0\t5x0,1020\t0111110",   // not a number
        "R=Atlantis,0\t540,1020\t0111110", // no such city
        "P=1,1,1",                         // three fields
        "P=1,1,1,0",                       // no length
        "P=1,1,1,1441",                    // longer than a day
        "P=a,1,1,60",
    };
    for (const char* line : lines) {
        CompareSettings settings;
        readCompareLines(line, cities, settings);
        EXPECT_TRUE(settings.rows.empty()) << line;
        EXPECT_FALSE(settings.shown) << line;
        EXPECT_EQ(settings.overlapMinutes, 60) << line;
    }
    // A city has one row: the first line for it counts.
    CompareSettings twice;
    readCompareLines("R=London,0\t540,1020\t0111110\r\nR=London,0\t600,900\t1111111\r\n", cities,
                     twice);
    ASSERT_EQ(twice.rows.size(), 1u);
    EXPECT_EQ(twice.rows[0].startMinute, 540);
}

TEST(CompareSettings, StorableLabels) {
    const std::pair<std::string, std::string> table[] = {
        {"Mum", "Mum"},
        {"  Tokyo office  ", "Tokyo office"},
        {"Line\nbreak\tand\rtab", "Linebreakandtab"},
        {"   ", ""},
        {std::string(120, 'x'), std::string(100, 'x')},
        // 99 bytes, then a two-byte letter that does not fit whole.
        {std::string(99, 'x') + "\xC3\xA9", std::string(99, 'x')},
    };
    for (const auto& [typed, kept] : table) {
        EXPECT_EQ(storableCityLabel(typed), kept) << typed;
    }
    CityRecord plain;
    plain.name = "Paris";
    EXPECT_EQ(formatCityLabelLine(plain), "");
    plain.label = "Atelier";
    plain.longitude = 2.35f;
    EXPECT_EQ(formatCityLabelLine(plain), "L=Paris,2\tAtelier\n");
}

} // namespace
} // namespace chronvale
