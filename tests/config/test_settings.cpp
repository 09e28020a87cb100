#include "config/program_settings.h"
#include "config/settings.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    SettingsStores stores() {
        return SettingsStores{program, shared, folder.filePath("config.ini"), {}};
    }

    bool load(Settings& settings, const std::optional<std::string>& systemLanguage = {}) {
        SettingsStores s = stores();
        return loadSettings(s, settings, cities, frames, systemLanguage);
    }

    bool save(Settings& settings, std::function<bool()> beforeRename = {}) {
        SettingsStores s = stores();
        s.beforeConfigRename = std::move(beforeRename);
        return saveSettings(s, settings, cities, frames);
    }

    QString configText() {
        return QString::fromUtf8(test::readFile(folder.filePath("config.ini")));
    }

    QTemporaryDir folder;
    QSettings program{folder.filePath("Chronvale.ini"), QSettings::IniFormat};
    QSettings shared{folder.filePath("Common.ini"), QSettings::IniFormat};
    CityList cities;
    CloudFrameTable frames;
    const QRect desktop{0, 0, 1920, 1080};
};

TEST_F(SettingsTest, FirstRunKeepsTheDefaults) {
    Settings settings = defaultSettings(desktop);
    EXPECT_FALSE(load(settings)); // no config.ini yet: no message, nothing marked
    EXPECT_EQ(settings.refresh, 10);
    EXPECT_EQ(settings.switches, DisplaySwitches{}); // every switch off
    EXPECT_FALSE(settings.showInfo);
    EXPECT_FALSE(settings.loopClouds);
    EXPECT_EQ(settings.zoom, 1.0f);
    EXPECT_EQ(settings.panX, 0);
    EXPECT_EQ(settings.panY, 0);
    EXPECT_EQ(settings.wallpaperWidth, 0); // no cap
    EXPECT_TRUE(settings.systemZones);
    EXPECT_EQ(settings.wallpaperPlacement, 0);
    EXPECT_EQ(settings.desktop, desktop);
    EXPECT_FALSE(settings.language);
    EXPECT_FALSE(settings.browser);
    for (const CloudFrame& frame : frames) {
        EXPECT_FALSE(frame.t);
    }
}

TEST_F(SettingsTest, StoredTextsAreReadAsTheProgramWroteThem) {
    program.setValue("track", "40");
    program.setValue("grid", "-12");
    program.setValue("day", "7 days");
    program.setValue("night", "none");
    program.setValue("zoom", "1.5000");
    program.setValue("cx", "+25");
    program.setValue("refresh", QString(29, '1')); // 29 characters: read
    program.setValue("cy", QString(30, '2'));      // 30: does not fit
    program.setValue("browser", "firefox");
    Settings settings = defaultSettings(desktop);
    settings.panY = 7;
    load(settings);
    EXPECT_EQ(settings.switches.cityNames, 40);
    EXPECT_TRUE(settings.switches.grid);   // -12: any non-zero value counts as on
    EXPECT_TRUE(settings.switches.dayMap); // "7 days" reads as 7
    EXPECT_FALSE(settings.switches.nightMap);
    EXPECT_EQ(settings.zoom, 1.5f);
    EXPECT_EQ(settings.panX, 25);
    EXPECT_EQ(settings.refresh, 2147483647); // saturated, not overflowed
    EXPECT_EQ(settings.panY, 7);             // too long: left as it was
    EXPECT_EQ(settings.browser, "firefox");
}

TEST_F(SettingsTest, SavedValuesHaveTheirTextFormsAndComeBack) {
    Settings settings = defaultSettings(desktop);
    settings.language = "de";
    settings.switches.sunShadow = true;
    settings.switches.cityNames = 40;
    settings.panX = -12;
    settings.panY = 300;
    settings.zoom = 1.5f;
    settings.refresh = 5;
    settings.loopClouds = true;
    settings.switches.clouds = true;
    cities = {CityRecord{}, CityRecord{}};
    cities[1].name = "Springfield";
    cities[1].longitude = -89.6f;
    cities[1].marked = true;
    frames[0] = {std::nullopt, "1", "2024060115", 3, 4, 0};
    ASSERT_TRUE(save(settings));

    EXPECT_EQ(program.value("zoom").toString(), "1.5000");
    EXPECT_EQ(program.value("cx").toString(), "-12");
    EXPECT_EQ(program.value("track").toString(), "40");
    EXPECT_EQ(program.value("help").toString(), "0"); // the tip switch is never on
    EXPECT_EQ(program.value("view").toString(), "247");
    EXPECT_FALSE(program.contains("wallpapertile")); // the wallpaper store's own
    EXPECT_EQ(program.value("clouds").toString(), "1");
    EXPECT_EQ(program.value("quakes").toString(), "0");
    EXPECT_EQ(shared.value("lang").toString(), "de");
    EXPECT_EQ(configText(), "version=2.00.001\nproduct=Quillmar Chronvale\n"
                            "M=Springfield,-89\nC=,1,2024060115,3,4\n");

    Settings back = defaultSettings(desktop);
    cities[1].marked = false;
    frames = {};
    EXPECT_TRUE(load(back));
    EXPECT_EQ(back.language, "de");
    EXPECT_TRUE(back.switches.sunShadow);
    EXPECT_EQ(program.value("shadow").toString(), "1");
    EXPECT_EQ(back.switches.cityNames, 40);
    EXPECT_EQ(back.panX, -12);
    EXPECT_EQ(back.panY, 300);
    EXPECT_EQ(back.zoom, 1.5f);
    EXPECT_EQ(back.refresh, 5);
    EXPECT_TRUE(back.loopClouds);
    EXPECT_TRUE(back.switches.clouds);
    EXPECT_FALSE(back.switches.earthquakes);
    EXPECT_TRUE(cities[1].marked);
    EXPECT_FALSE(frames[0].path);
    EXPECT_EQ(frames[0].t, "2024060115");
}

TEST_F(SettingsTest, CloudsAndEarthquakesComeBackAndAbsentValuesKeepTheSwitches) {
    // Absent (a settings file of an older version): the switches stay as they were,
    // such as the installation's first-start values.
    Settings settings = defaultSettings(desktop);
    settings.switches.earthquakes = true;
    load(settings);
    EXPECT_TRUE(settings.switches.earthquakes);
    EXPECT_FALSE(settings.switches.clouds);

    program.setValue("quakes", "0");
    program.setValue("clouds", "1");
    load(settings);
    EXPECT_FALSE(settings.switches.earthquakes);
    EXPECT_TRUE(settings.switches.clouds);
}

// The sky overlays and Clouds with Sun Shadow: stored as 0 or 1 under sunmoon,
// twilight and cloudshadow; a file written
// before they existed (no keys) leaves them off.
TEST_F(SettingsTest, SkySwitchesAreStoredAsZeroOrOneAndAbsentKeysAreOff) {
    program.setValue("grid", "1");
    Settings old = defaultSettings(desktop);
    load(old);
    EXPECT_TRUE(old.switches.grid);
    EXPECT_FALSE(old.switches.sunMoon);
    EXPECT_FALSE(old.switches.twilight);
    EXPECT_FALSE(old.switches.cloudsWithShadow) << "off by default";

    Settings settings = defaultSettings(desktop);
    settings.switches.sunMoon = true;
    settings.switches.cloudsWithShadow = true;
    ASSERT_TRUE(save(settings));
    EXPECT_EQ(program.value("sunmoon").toString(), "1");
    EXPECT_EQ(program.value("twilight").toString(), "0");
    EXPECT_EQ(program.value("cloudshadow").toString(), "1");
    program.setValue("twilight", "5");
    Settings back = defaultSettings(desktop);
    load(back);
    EXPECT_TRUE(back.switches.sunMoon);
    EXPECT_TRUE(back.switches.twilight);
    EXPECT_TRUE(back.switches.cloudsWithShadow);
}

TEST_F(SettingsTest, LanguageFallsBackToTheSystemsAndEnglishStoresNone) {
    Settings settings = defaultSettings(desktop);
    load(settings, std::string("DE"));
    EXPECT_EQ(settings.language, "DE");

    shared.setValue("lang", "fr");
    load(settings, std::string("DE"));
    EXPECT_EQ(settings.language, "fr");

    // A code that could not name a language file is not taken.
    shared.setValue("lang", "../../x");
    load(settings, std::nullopt);
    EXPECT_FALSE(settings.language);

    settings.language.reset();
    ASSERT_TRUE(save(settings));
    EXPECT_FALSE(shared.contains("lang"));
}

TEST_F(SettingsTest, AFailedConfigReplaceKeepsTheOldFileAndSaysSo) {
    Settings settings = defaultSettings(desktop);
    cities = {CityRecord{}};
    cities[0].name = "Paris";
    cities[0].longitude = 2.35f;
    cities[0].marked = true;
    ASSERT_TRUE(save(settings));
    const QString before = configText();

    cities[0].marked = false;
    settings.switches.grid = true;
    EXPECT_FALSE(save(settings, [] { return false; }));
    // The old file is intact and still marks Paris; the other values were saved.
    EXPECT_EQ(configText(), before);
    EXPECT_EQ(program.value("grid").toString(), "1");
    Settings back = defaultSettings(desktop);
    EXPECT_TRUE(load(back));
    EXPECT_TRUE(cities[0].marked);
    EXPECT_FALSE(QFile::exists(folder.filePath("config.ini.tmp")));
}

TEST(SettingsFiles, LiveInTheUsersConfigurationFolder) {
    // The tests run with XDG_CONFIG_HOME inside their own home.
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    ASSERT_FALSE(config.isEmpty());
    EXPECT_EQ(openProgramSettings()->fileName().toStdString(),
              (config + "/QUILLMAR/Chronvale.ini").toStdString());
    EXPECT_EQ(openSharedSettings()->fileName().toStdString(),
              (config + "/QUILLMAR/Common.ini").toStdString());
}

TEST(SettingsFiles, TheProxyAndTheLanguageShareAPrivateFile) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const auto program = openProgramSettings();
    const auto shared = openSharedSettings();
    SettingsStores stores{*program, *shared, folder.filePath("config.ini"), {}};
    CityList cities;
    CloudFrameTable frames;

    Settings settings = defaultSettings(QRect(0, 0, 800, 600));
    settings.language = "fr";
    settings.proxy.host = "proxy.chronvale.test";
    settings.proxy.port = 1080;
    settings.proxy.type = 3;
    settings.proxy.userName = "user";
    settings.proxy.password = "secret";
    ASSERT_TRUE(saveSettings(stores, settings, cities, frames));

    const QFileInfo file(shared->fileName());
    EXPECT_FALSE(file.permissions() & (QFile::ReadGroup | QFile::ReadOther));

    Settings back = defaultSettings(QRect(0, 0, 800, 600));
    loadSettings(stores, back, cities, frames, std::nullopt);
    EXPECT_EQ(back.language, "fr");
    EXPECT_EQ(back.proxy.host, "proxy.chronvale.test");
    EXPECT_EQ(back.proxy.port, 1080);
    EXPECT_EQ(back.proxy.type, 3);
    EXPECT_EQ(back.proxy.userName, "user");
    EXPECT_EQ(back.proxy.password, "secret");
}

// A pair of settings files as the version before the table of stored values
// wrote them (a window's session ended with these values): every value reads
// back, and saving it again writes both files unchanged, the wallpaper mode's
// values and the view of the maker's other programs included.
TEST(SettingsFiles, AFileOfTheEarlierVersionReadsAndWritesBackTheSame) {
    const QString fixture = QStringLiteral(CHRONVALE_SOURCE_DIR "/tests/config/fixture/");
    const QDir folder(qEnvironmentVariable("XDG_CONFIG_HOME") + "/QUILLMAR");
    ASSERT_TRUE(folder.mkpath("."));
    for (const char* name : {"Chronvale.ini", "Common.ini"}) {
        QFile::remove(folder.filePath(name));
        ASSERT_TRUE(QFile::copy(fixture + name, folder.filePath(name))) << name;
    }
    QTemporaryDir user;
    ASSERT_TRUE(user.isValid());
    CityList cities;
    CloudFrameTable frames;
    Settings settings = defaultSettings(QRect(0, 0, 1920, 1080));
    {
        const auto program = openProgramSettings();
        const auto shared = openSharedSettings();
        SettingsStores stores{*program, *shared, user.filePath("config.ini"), {}};
        loadSettings(stores, settings, cities, frames, std::nullopt);
        EXPECT_EQ(settings.language, "de");
        DisplaySwitches on;
        on.sunShadow = on.allCities = on.markedCities = on.dayMap = on.timeZones = on.clouds =
            on.twilight = true;
        on.cityNames = 40;
        EXPECT_EQ(settings.switches, on);
        EXPECT_EQ(settings.refresh, 5);
        EXPECT_TRUE(settings.showInfo);
        EXPECT_FALSE(settings.loopClouds);
        EXPECT_EQ(settings.panX, -12);
        EXPECT_EQ(settings.panY, 300);
        EXPECT_EQ(settings.zoom, 1.5f);
        EXPECT_EQ(settings.proxy.type, 3);
        EXPECT_EQ(settings.proxy.host, "proxy.chronvale.test");
        EXPECT_EQ(settings.proxy.port, 1080);
        EXPECT_EQ(settings.proxy.userName, "user");
        EXPECT_FALSE(settings.proxy.password);
        ASSERT_TRUE(saveSettings(stores, settings, cities, frames));
    }
    for (const char* name : {"Chronvale.ini", "Common.ini"}) {
        QFile before(fixture + name);
        QFile after(folder.filePath(name));
        ASSERT_TRUE(before.open(QIODevice::ReadOnly) && after.open(QIODevice::ReadOnly));
        std::string expected = before.readAll().toStdString();
        if (std::string_view(name) == "Chronvale.ini") {
            // Values that came later are added at their defaults (the file keeps its
            // keys sorted); the rest stays as it was.
            for (const std::string line :
                 {"cloudshadow=0\n", "systemzones=1\n", "wallpapercentre=0.0000\n",
                  "wallpaperplacement=0\n", "wallpaperwidth=0\n"}) {
                std::size_t at = expected.find("[General]\n") + 10;
                while (at < expected.size() && expected.compare(at, line.size(), line) < 0) {
                    at = expected.find('\n', at) + 1;
                }
                expected.insert(at, line);
            }
        }
        EXPECT_EQ(after.readAll().toStdString(), expected) << name;
    }
}

} // namespace
} // namespace chronvale
