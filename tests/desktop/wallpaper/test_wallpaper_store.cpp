// The wallpaper mode's values in the program's settings file: how they read back,
// and the store that loads and saves them.

#include "desktop/wallpaper/wallpaper_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

class WallpaperStoreTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }
    QTemporaryDir folder;
    QSettings program{folder.filePath("Chronvale.ini"), QSettings::IniFormat};
};

TEST_F(WallpaperStoreTest, AbsentValuesReadAsOffAndEmpty) {
    const StoredWallpaper stored = readStoredWallpaper(program);
    EXPECT_FALSE(stored.on);
    EXPECT_TRUE(stored.saved.empty());
}

TEST_F(WallpaperStoreTest, TheSavedStateIsReadBackWholeUpTo64KiB) {
    // A line per desktop or workspace: well beyond the 999 bytes of other texts.
    program.setValue("wallpaper", "1");
    program.setValue("wallpaperfile", QString(5000, 'f'));
    program.setValue("wallpapertile", QString(64 * 1024 + 1, 't'));
    program.setValue("wallpaperstyle", "2");
    const StoredWallpaper stored = readStoredWallpaper(program);
    EXPECT_TRUE(stored.on);
    ASSERT_EQ(stored.saved.size(), 1u);
    EXPECT_EQ(stored.saved[0].state.file.size(), 5000u);
    EXPECT_EQ(stored.saved[0].state.tile, ""); // too long counts as missing: empty
    EXPECT_EQ(stored.saved[0].state.style, "2");
}

TEST_F(WallpaperStoreTest, SavesWhatItHoldsAndLoadsWhatAnotherWriterLeft) {
    WallpaperStore store(program);
    EXPECT_FALSE(store.on());
    const StoredWallpaper on{true, {"/usr/share/backgrounds/sea.jpg", "", "zoom"}, "gsettings"};
    ASSERT_TRUE(store.save(on));
    EXPECT_TRUE(store.on());
    EXPECT_EQ(program.value("wallpaper").toString(), "1");
    EXPECT_EQ(program.value("wallpaperstyle").toString(), "zoom");

    // `chronvale --wallpaper off` through a settings object of its own.
    {
        QSettings other(program.fileName(), QSettings::IniFormat);
        StoredWallpaper off = on;
        off.on = false;
        ASSERT_TRUE(writeStoredWallpaper(other, off));
    }
    EXPECT_TRUE(store.on()); // until loaded afresh
    const StoredWallpaper& loaded = store.load();
    EXPECT_FALSE(loaded.on);
    EXPECT_EQ(loaded.saved, on.saved);
    EXPECT_EQ(store.current().savedFor("gsettings")->state.style, "zoom");
}

// The file as each version leaves it, and the states it reads back as.
struct FileForm {
    const char* name;
    const char* text; // the program's settings file
    bool on;
    std::vector<SavedDesktopState> states;
};

const DesktopWallpaperState kSea{"'file:///home/u/own.jpg'", "", "'zoom'"};
const DesktopWallpaperState kXfce{"/backdrop/screen0/monitor0/workspace0/last-image\t/a.png", "",
                                  ""};
const DesktopWallpaperState kNewerSea{"'file:///home/u/new.jpg'", "", "'zoom'"};

class WallpaperFileForms : public ::testing::TestWithParam<FileForm> {};

TEST_P(WallpaperFileForms, ReadBackAsTheStatesOfTheirBackEnds) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString name = folder.filePath("Chronvale.ini");
    {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().text);
    }
    QSettings program(name, QSettings::IniFormat);
    const StoredWallpaper stored = readStoredWallpaper(program);
    EXPECT_EQ(stored.on, GetParam().on);
    EXPECT_EQ(stored.saved, GetParam().states);

    // Written again and read back, it stays the same.
    QSettings copy(folder.filePath("Copy.ini"), QSettings::IniFormat);
    ASSERT_TRUE(writeStoredWallpaper(copy, stored));
    EXPECT_EQ(readStoredWallpaper(copy).saved, stored.saved);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, WallpaperFileForms,
    ::testing::Values(
        // The wallpaper keys of tests/config/fixture/Chronvale.ini: a version that
        // did not say which back end saved the state.
        FileForm{"OneStateOfUnknownBackEnd",
                 "[General]\nwallpaper=1\nwallpaperfile='file:///home/u/own.jpg'\n"
                 "wallpaperstyle='zoom'\nwallpapertile=\n",
                 true,
                 {{"", kSea}}},
        FileForm{"OneStateWithItsBackEnd",
                 "[General]\nwallpaper=0\nwallpaperbackend=org.gnome.desktop.background\n"
                 "wallpaperfile='file:///home/u/own.jpg'\nwallpaperstyle='zoom'\n"
                 "wallpapertile=\n",
                 false,
                 {{"org.gnome.desktop.background", kSea}}},
        FileForm{"TwoBackEnds",
                 "[General]\nwallpaper=1\nwallpaperbackend=xfce4-desktop\n"
                 "wallpaperfile=\"/backdrop/screen0/monitor0/workspace0/last-image\\t/a.png\"\n"
                 "wallpaperstyle=\nwallpapertile=\n"
                 "[wallpaperstates]\n1\\backend=org.gnome.desktop.background\n"
                 "1\\file='file:///home/u/own.jpg'\n1\\style='zoom'\n1\\tile=\n"
                 "2\\backend=xfce4-desktop\n"
                 "2\\file=\"/backdrop/screen0/monitor0/workspace0/last-image\\t/a.png\"\n"
                 "2\\style=\n2\\tile=\nsize=2\n",
                 true,
                 {{"org.gnome.desktop.background", kSea}, {"xfce4-desktop", kXfce}}},
        // A version that keeps one state switched on under GNOME afterwards: its
        // single keys are newer than the array's state for GNOME.
        FileForm{"SingleKeysWrittenLater",
                 "[General]\nwallpaper=1\nwallpaperbackend=org.gnome.desktop.background\n"
                 "wallpaperfile='file:///home/u/new.jpg'\nwallpaperstyle='zoom'\n"
                 "wallpapertile=\n"
                 "[wallpaperstates]\n1\\backend=org.gnome.desktop.background\n"
                 "1\\file='file:///home/u/own.jpg'\n1\\style='zoom'\n1\\tile=\n"
                 "2\\backend=xfce4-desktop\n"
                 "2\\file=\"/backdrop/screen0/monitor0/workspace0/last-image\\t/a.png\"\n"
                 "2\\style=\n2\\tile=\nsize=2\n",
                 true,
                 {{"xfce4-desktop", kXfce}, {"org.gnome.desktop.background", kNewerSea}}}),
    [](const ::testing::TestParamInfo<FileForm>& info) { return std::string(info.param.name); });

// The settings file of the earlier version kept with the settings' tests: its
// one state, saved before the back end was recorded, stays and counts for
// whichever desktop asks.
TEST(WallpaperFileForms, TheEarlierVersionsFileKeepsItsState) {
    const QSettings fixture(
        QStringLiteral(CHRONVALE_SOURCE_DIR "/tests/config/fixture/Chronvale.ini"),
        QSettings::IniFormat);
    const StoredWallpaper stored = readStoredWallpaper(fixture);
    EXPECT_TRUE(stored.on);
    EXPECT_EQ(stored.saved, (std::vector<SavedDesktopState>{{"", kSea}}));
    EXPECT_EQ(stored.savedFor("xfce4-desktop")->state, kSea);
}

TEST_F(WallpaperStoreTest, TheSingleKeysHoldTheStateSavedLastForEarlierVersions) {
    StoredWallpaper stored(true, kSea, "org.gnome.desktop.background");
    stored.keep("xfce4-desktop", kXfce);
    ASSERT_TRUE(writeStoredWallpaper(program, stored));
    EXPECT_EQ(program.value("wallpaperbackend").toString(), "xfce4-desktop");
    EXPECT_EQ(program.value("wallpaperfile").toString().toStdString(), kXfce.file);
    EXPECT_EQ(program.value("wallpaperstates/size").toString(), "2");
    EXPECT_EQ(readStoredWallpaper(program).saved, stored.saved);
    // Back to one state: the array goes, the single keys say it all.
    stored.forget("xfce4-desktop");
    ASSERT_TRUE(writeStoredWallpaper(program, stored));
    EXPECT_FALSE(program.contains("wallpaperstates/size"));
    EXPECT_EQ(program.value("wallpaperbackend").toString(), "org.gnome.desktop.background");
    EXPECT_EQ(readStoredWallpaper(program).saved, stored.saved);
}

TEST(StoredWallpaper, AStateIsFoundForItsBackEndOrOneOfUnknownBackEnd) {
    StoredWallpaper stored(true, kSea, "");
    EXPECT_EQ(stored.savedFor("xfce4-desktop")->state, kSea); // unknown: any desktop's
    stored.keep("xfce4-desktop", kXfce);
    EXPECT_EQ(stored.savedFor("xfce4-desktop")->state, kXfce);
    EXPECT_EQ(stored.savedFor("org.gnome.desktop.background")->state, kSea);
    stored.forget("");
    EXPECT_EQ(stored.savedFor("org.gnome.desktop.background"), nullptr);
    EXPECT_TRUE(StoredWallpaper(true, {}, "").saved.empty());
}

} // namespace
} // namespace chronvale
