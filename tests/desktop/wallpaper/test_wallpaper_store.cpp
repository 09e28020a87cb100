// The wallpaper mode's values in the program's settings file: how they read back,
// and the store that loads and saves them.

#include "desktop/wallpaper/wallpaper_store.h"

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
    EXPECT_EQ(stored.saved.file, "");
    EXPECT_EQ(stored.saved.tile, "");
    EXPECT_EQ(stored.saved.style, "");
    EXPECT_EQ(stored.backend, "");
}

TEST_F(WallpaperStoreTest, TheSavedStateIsReadBackWholeUpTo64KiB) {
    // A line per desktop or workspace: well beyond the 999 bytes of other texts.
    program.setValue("wallpaper", "1");
    program.setValue("wallpaperfile", QString(5000, 'f'));
    program.setValue("wallpapertile", QString(64 * 1024 + 1, 't'));
    program.setValue("wallpaperstyle", "2");
    const StoredWallpaper stored = readStoredWallpaper(program);
    EXPECT_TRUE(stored.on);
    EXPECT_EQ(stored.saved.file.size(), 5000u);
    EXPECT_EQ(stored.saved.tile, ""); // too long counts as missing: empty
    EXPECT_EQ(stored.saved.style, "2");
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
        ASSERT_TRUE(writeStoredWallpaper(other, {false, on.saved, on.backend}));
    }
    EXPECT_TRUE(store.on()); // until loaded afresh
    const StoredWallpaper& loaded = store.load();
    EXPECT_FALSE(loaded.on);
    EXPECT_EQ(loaded.saved.file, on.saved.file);
    EXPECT_EQ(store.current().backend, "gsettings");
}

} // namespace
} // namespace chronvale
