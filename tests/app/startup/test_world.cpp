// Start-up before the main window: the order of the steps shows in what they
// leave behind.

#include "app/startup/world.h"
#include "config/program_settings.h"
#include "config/settings.h"
#include "core/load_errors.h"
#include "support/qt_files.h"
#include "support/recording_message_sink.h"
#include "support/shell_test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace chronvale {
namespace {

class WorldTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::shellApplication();
        ASSERT_TRUE(user.isValid());
        openProgramSettings()->clear();
        openSharedSettings()->clear();
    }

    Folders folders(const QString& data = QStringLiteral(CHRONVALE_SOURCE_DIR "/data")) {
        return Folders{data, user.path(), false};
    }

    void writeConfig(const std::string& text) {
        test::writeFile(user.filePath("config.ini"), QByteArray::fromStdString(text));
    }

    QTemporaryDir user;
    RecordingMessageSink messages;
};

TEST_F(WorldTest, MarkedCitiesAreRestoredBecauseTheTablesComeFirst) {
    RecordingLoadErrorSink errors;
    const GeoTables tables = loadGeoTables(CHRONVALE_SOURCE_DIR "/data", errors);
    ASSERT_TRUE(errors.files.empty());
    ASSERT_GT(tables.cities.size(), 100u);
    const CityRecord& chosen = tables.cities[100];
    const int longitude = static_cast<int>(chosen.longitude);
    writeConfig("M=" + chosen.name + "," + std::to_string(longitude) + "\n");
    // A user who ran the program before: the first-start values do not apply.
    writeStoredSettings(*openProgramSettings(), StoredSettings());

    World world(folders(), messages);
    EXPECT_FALSE(world.firstStart);
    EXPECT_TRUE(world.configRead);
    int marked = 0;
    for (const CityRecord& city : world.tables().cities) {
        if (city.marked) {
            ++marked;
            EXPECT_EQ(city.name, chosen.name);
            EXPECT_EQ(static_cast<int>(city.longitude), longitude);
        }
    }
    EXPECT_EQ(marked, 1);
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WorldTest, OnlyAStartWithoutASettingsFileTakesTheInstallationsDefaults) {
    QFile::remove(openProgramSettings()->fileName()); // a user who never ran the program
    {
        World first(folders(), messages);
        EXPECT_TRUE(first.firstStart);
        EXPECT_EQ(first.settings.switches.sunShadow, 1);
        EXPECT_EQ(first.settings.switches.cityNames, 40);
        EXPECT_EQ(std::count_if(first.tables().cities.begin(), first.tables().cities.end(),
                                [](const CityRecord& c) { return c.marked; }),
                  10);
        ASSERT_TRUE(first.saveAll());
    }
    openProgramSettings()->setValue("shadow", "0");
    World second(folders(), messages);
    EXPECT_FALSE(second.firstStart);
    EXPECT_EQ(second.settings.switches.sunShadow, 0);
    // The marks come from config.ini now, as the first run saved them.
    EXPECT_EQ(std::count_if(second.tables().cities.begin(), second.tables().cities.end(),
                            [](const CityRecord& c) { return c.marked; }),
              10);
}

// What the program's settings file holds before the start, and whether the
// installation's first-start values then apply.
struct FirstStartCase {
    const char* name;
    bool file;                     // the file exists
    std::vector<std::string> keys; // the values it holds
    bool complete;                 // all values of a whole save besides
    bool firstStart;
};

class FirstStartWorldTest : public WorldTest,
                            public ::testing::WithParamInterface<FirstStartCase> {};

TEST_P(FirstStartWorldTest, OnlyAFileFromAWholeSaveEndsTheFirstStart) {
    const FirstStartCase& c = GetParam();
    const auto stored = openProgramSettings();
    QFile::remove(stored->fileName());
    if (c.file) {
        QDir().mkpath(QFileInfo(stored->fileName()).path());
        QFile file(stored->fileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    {
        const auto writer = openProgramSettings();
        if (c.complete) {
            writeStoredSettings(*writer, StoredSettings());
        }
        for (const std::string& key : c.keys) {
            writer->setValue(QString::fromStdString(key), QStringLiteral("1"));
        }
    }
    World world(folders(), messages);
    EXPECT_EQ(world.firstStart, c.firstStart);
    // The first-start values: the shadow on and ten marked capitals.
    EXPECT_EQ(world.settings.switches.sunShadow, c.firstStart);
    EXPECT_EQ(std::count_if(world.tables().cities.begin(), world.tables().cities.end(),
                            [](const CityRecord& city) { return city.marked; }),
              c.firstStart ? 10 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FirstStartWorldTest,
    ::testing::Values(FirstStartCase{"none", false, {}, false, true},
                      FirstStartCase{"empty", true, {}, false, true},
                      // What a session killed before its first save leaves: the machine's id.
                      FirstStartCase{"oneKey", true, {"mid"}, false, true},
                      FirstStartCase{
                          "aWindowsPlace", true, {"DLGS/101/x", "DLGS/101/y"}, false, true},
                      FirstStartCase{"allButTheZoom",
                                     true,
                                     {"shadow", "cities", "marked", "grid", "day", "night", "zones",
                                      "track", "refresh", "cx", "cy"},
                                     false,
                                     true},
                      FirstStartCase{"aWholeSave", true, {}, true, false},
                      FirstStartCase{"aWholeSaveAndMore", true, {"mid"}, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorldTest, TheUserFolderBecomesCurrentWithACacheFolder) {
    World world(folders(), messages);
    EXPECT_EQ(QFileInfo(QDir::currentPath()).canonicalFilePath(),
              QFileInfo(user.path()).canonicalFilePath());
    EXPECT_TRUE(QFileInfo(user.filePath("cache")).isDir());
    // A second start finds the folder there and goes on.
    World again(folders(), messages);
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WorldTest, AStoredRefreshOfZeroBecomesTenMinutes) {
    {
        auto program = openProgramSettings();
        writeStoredSettings(*program, StoredSettings()); // a user who ran it before
        program->setValue("refresh", "0");
        program->setValue("grid", "1");
    }
    World world(folders(), messages);
    EXPECT_EQ(world.settings.refresh, 10);
    EXPECT_TRUE(world.settings.switches.grid); // the other values were read
}

TEST_F(WorldTest, NoStoredRefreshGivesTenMinutes) {
    World world(folders(), messages);
    EXPECT_EQ(world.settings.refresh, 10);
    EXPECT_FALSE(world.configRead); // first run: no config.ini, no message
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(WorldTest, MissingTablesAreReportedInOrderAndStartUpGoesOn) {
    QTemporaryDir empty;
    {
        auto program = openProgramSettings();
        program->setValue("refresh", "25");
    }
    writeConfig("M=Nowhere,0\n");
    World world(folders(empty.path()), messages);
    ASSERT_EQ(messages.boxes.size(), 4u);
    const char* names[] = {"location.dat", "tz_data.dat", "tz_dst.dat", "areacode.dat"};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(messages.boxes[i].caption, QStringLiteral("Error"));
        EXPECT_EQ(messages.boxes[i].text,
                  QStringLiteral("Unable to load file '%1'").arg(QLatin1String(names[i])));
    }
    EXPECT_TRUE(world.tables().cities.empty());
    EXPECT_TRUE(world.tables().zones.empty());
    // The settings were still loaded.
    EXPECT_TRUE(world.configRead);
    EXPECT_EQ(world.settings.refresh, 25);
}

TEST_F(WorldTest, ASaveThatCannotReplaceConfigIniSaysSo) {
    World world(folders(), messages);
    ASSERT_TRUE(messages.boxes.empty());
    // A folder where the temporary file would go: config.ini cannot be replaced.
    ASSERT_TRUE(QDir(user.path()).mkdir(QStringLiteral("config.ini.tmp")));
    EXPECT_FALSE(world.saveAll());
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_EQ(messages.boxes[0].text, "ERROR C114: Unable to open file 'config.ini'");
}

TEST(PrimaryDesktop, IsTheScreenOrTheFallbackWithoutOne) {
    // The offscreen platform's screen, or 1024x768 when there is none.
    const QRect desktop = primaryDesktopRect();
    EXPECT_GT(desktop.width(), 0);
    EXPECT_GT(desktop.height(), 0);
}

TEST(StartupRefresh, KeepsUsableValuesAndMendsTheOthers) {
    EXPECT_EQ(startupRefreshMinutes(0), 10);
    EXPECT_EQ(startupRefreshMinutes(-5), 10);
    EXPECT_EQ(startupRefreshMinutes(1), 1);
    EXPECT_EQ(startupRefreshMinutes(15), 15);
    // The timer's milliseconds must fit an int.
    const int capped = startupRefreshMinutes(std::numeric_limits<int>::max());
    EXPECT_LE(static_cast<long long>(capped) * 60000, std::numeric_limits<int>::max());
    EXPECT_GT(capped, 30 * 24 * 60 / 2);
}

} // namespace
} // namespace chronvale
