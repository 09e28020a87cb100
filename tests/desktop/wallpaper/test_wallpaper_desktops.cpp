// Wallpaper Mode under more than one desktop: each back end keeps its own saved
// state in the settings file, switching on under a second desktop adds that
// desktop's state, and switching off gives each desktop its own.

#include "desktop/wallpaper/wallpaper_mode.h"
#include "desktop/wallpaper/wallpaper_store.h"
#include "support/scratch.h"

#include <QSettings>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace chronvale {
namespace {

using test::ScratchDir;

// A desktop whose wallpaper setting lives in memory: show points it at the
// pictures, restore puts a saved state back.
struct MemoryDesktop final : WallpaperBackend {
    MemoryDesktop(std::string key, DesktopWallpaperState own)
        : key_(std::move(key)), state(std::move(own)) {}
    std::string name() const override { return key_; }
    std::string key() const override { return key_; }
    bool available() const override { return true; }
    std::optional<DesktopWallpaperState> readState() override { return state; }
    MonitorPictures monitorPictures() const override { return MonitorPictures::Spanned; }
    bool show(const WallpaperFiles& files) override {
        state = {files.front().path, "", ""};
        return true;
    }
    bool restore(const DesktopWallpaperState& saved) override {
        state = saved;
        return true;
    }

    std::string key_;
    DesktopWallpaperState state;
};

const WallpaperRequest kScreen{{{0, 0, 64, 32, "HDMI-1"}}, {}};

bool paint(const MapRegion&, EarthImage&, const PixelRect&) {
    return true;
}

enum class Act { On, Off, Renew };

struct Step {
    const char* desktop;
    Act act;
    bool onAfter;       // the one switch afterwards
    std::size_t states; // saved states in the file afterwards
    bool showsMap;      // the desktop of the step shows our picture afterwards
};

struct Scenario {
    const char* name;
    std::vector<Step> steps;
};

// Runs the steps against the settings file, read afresh and persisted at each
// step as the window and `chronvale --wallpaper` do.
class DesktopsTest : public ::testing::TestWithParam<Scenario> {
protected:
    void run(const Step& step) {
        MemoryDesktop& desktop = desktops.at(step.desktop);
        StoredWallpaper stored = readStoredWallpaper(program);
        const PersistWallpaper persist = [this](const StoredWallpaper& s) {
            return writeStoredWallpaper(program, s);
        };
        switch (step.act) {
        case Act::On:
            // As `chronvale --wallpaper`: renew where this desktop has its state,
            // else switch on here.
            if (stored.on && savedThrough(stored, desktop)) {
                refreshWallpaper(desktop, kScreen, paint, folder);
            } else {
                ASSERT_EQ(applyWallpaper(desktop, kScreen, paint, folder, stored, persist).result,
                          WallpaperApplyResult::Shown);
            }
            break;
        case Act::Off:
            restoreWallpaper(desktop, stored, folder, persist);
            break;
        case Act::Renew:
            if (stored.on && savedThrough(stored, desktop)) {
                refreshWallpaper(desktop, kScreen, paint, folder);
            }
            break;
        }
        const StoredWallpaper after = readStoredWallpaper(program);
        EXPECT_EQ(after.on, step.onAfter);
        EXPECT_EQ(after.saved.size(), step.states);
        EXPECT_EQ(showsOwnFile(desktop.state, folder), step.showsMap);
    }

    ScratchDir dir;
    const std::string folder = dir.path().string();
    QSettings program{QString::fromStdString(dir.file("Chronvale.ini")), QSettings::IniFormat};
    const DesktopWallpaperState gnomeOwn{"'file:///home/u/sea.jpg'", "'zoom'", ""};
    const DesktopWallpaperState xfceOwn{"/backdrop/screen0/monitor0/workspace0/last-image\t/a.png",
                                        "", ""};
    std::map<std::string, MemoryDesktop> desktops{
        {"gnome", MemoryDesktop("org.gnome.desktop.background", gnomeOwn)},
        {"xfce", MemoryDesktop("xfce4-desktop", xfceOwn)}};
};

TEST_P(DesktopsTest, EachDesktopGetsItsOwnWallpaperBack) {
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        SCOPED_TRACE("step " + std::to_string(i + 1));
        run(GetParam().steps[i]);
    }
    // Nothing of either desktop's own wallpaper was lost.
    EXPECT_EQ(desktops.at("gnome").state, gnomeOwn);
    EXPECT_EQ(desktops.at("xfce").state, xfceOwn);
}

INSTANTIATE_TEST_SUITE_P(
    TwoDesktops, DesktopsTest,
    ::testing::Values(
        // On under GNOME; under XFCE another day the check mark shows on, so the
        // user switches off (nothing of XFCE's to give back) and on again.
        Scenario{"OffAndOnUnderTheSecond",
                 {{"gnome", Act::On, true, 1, true},
                  {"xfce", Act::Renew, true, 1, false},
                  {"xfce", Act::Off, false, 1, false},
                  {"xfce", Act::On, true, 2, true},
                  {"gnome", Act::Renew, true, 2, true},
                  {"gnome", Act::Off, false, 2, false},
                  {"xfce", Act::On, true, 2, true},
                  {"xfce", Act::Off, false, 2, false}}},
        // `chronvale --wallpaper` under XFCE while on from GNOME adds XFCE's
        // state; off under XFCE, then under GNOME on (its picture is still ours,
        // so its saved state stays) and off.
        Scenario{"OnFromTheCommandUnderTheSecond",
                 {{"gnome", Act::On, true, 1, true},
                  {"xfce", Act::On, true, 2, true},
                  {"gnome", Act::Renew, true, 2, true},
                  {"xfce", Act::Off, false, 2, false},
                  {"gnome", Act::On, true, 2, true},
                  {"gnome", Act::Off, false, 2, false}}},
        // Switching on again under the first desktop never touches the second's.
        Scenario{"AgainUnderTheFirst",
                 {{"xfce", Act::On, true, 1, true},
                  {"gnome", Act::On, true, 2, true},
                  {"xfce", Act::Off, false, 2, false},
                  {"xfce", Act::On, true, 2, true},
                  {"gnome", Act::Off, false, 2, false},
                  {"xfce", Act::On, true, 2, true},
                  {"xfce", Act::Off, false, 2, false}}}),
    [](const ::testing::TestParamInfo<Scenario>& info) { return std::string(info.param.name); });

} // namespace
} // namespace chronvale
