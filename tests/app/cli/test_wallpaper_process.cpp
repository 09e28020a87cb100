// `chronvale --wallpaper` as a timer runs it: on a GNOME settings store (GSettings'
// keyfile store with the installed schemas, in this test's own home), without any
// display.

#include "app/cli/command_line.h"
#include "chronvale_process.h"
#include "render/earth_image.h"
#include "support/headless_weston.h"
#include "support/qt_files.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace {

namespace fs = std::filesystem;

using chronvale::test::Outcome;
using chronvale::test::runChronvale;

const std::string kSchema = "org.gnome.desktop.background";

// What a shell command prints, without the last line break; "<failed>" when it fails.
std::string run(const std::string& command) {
    FILE* pipe = ::popen((command + " 2>/dev/null").c_str(), "r");
    if (pipe == nullptr) {
        return "<failed>";
    }
    std::string text;
    std::array<char, 512> buffer{};
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        text += buffer.data();
    }
    if (::pclose(pipe) != 0) {
        return "<failed>";
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return text;
}

std::string get(const std::string& key) {
    return run("gsettings get " + kSchema + " " + key);
}

class WallpaperProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
        ::setenv("XDG_CURRENT_DESKTOP", "ubuntu:GNOME", 1);
        ASSERT_NE(run("gsettings list-keys " + kSchema), "<failed>")
            << "gsettings or " << kSchema
            << " is missing (scripts/install-deps.sh installs libglib2.0-bin and "
               "gsettings-desktop-schemas)";
        userFolder_ = fs::path(std::getenv("XDG_DATA_HOME")) / "QUILLMAR" / "Chronvale";
    }
    void TearDown() override { ::unsetenv("XDG_CURRENT_DESKTOP"); }

    // The keys of the background schema as the store holds them now.
    static std::string settingsDump() { return run("gsettings list-recursively " + kSchema); }

    // The gsettings value of a wallpaper file in the user folder.
    std::string uriValue(const char* name) const {
        return "'" + chronvale::test::uriOf((userFolder_ / name).string()).toStdString() + "'";
    }

    fs::path userFolder_;
};

TEST_F(WallpaperProcess, OnRenewAndOffGiveBackTheUsersWallpaper) {
    ASSERT_NE(
        run("gsettings set " + kSchema + " picture-uri 'file:///usr/share/backgrounds/sea.jpg'"),
        "<failed>");
    ASSERT_NE(run("gsettings set " + kSchema +
                  " picture-uri-dark 'file:///usr/share/backgrounds/sea-dark.jpg'"),
              "<failed>");
    ASSERT_NE(run("gsettings set " + kSchema + " picture-options 'zoom'"), "<failed>");

    const std::string before = settingsDump();
    const std::vector<std::string> screens{"--wallpaper", "--screens",
                                           "1920x1080+0+0,2560x1440+1920+0"};
    const Outcome on = runChronvale(screens);
    ASSERT_EQ(on.exitCode, 0) << on.errors;
    EXPECT_EQ(get("picture-uri"), uriValue("Wallpaper-a.jpg"));
    EXPECT_EQ(get("picture-uri-dark"), uriValue("Wallpaper-a.jpg"));
    EXPECT_EQ(get("picture-options"), "'spanned'");
    // One image over both monitors, each region holding its own whole earth, 2 : 1.
    const chronvale::ImagePtr image =
        chronvale::loadImage((userFolder_ / "Wallpaper-a.jpg").string());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 4480);
    EXPECT_EQ(image->height(), 1440);
    // Rows through the middle of each region: lit land somewhere on the earth, and
    // nothing but the dark bars outside it.
    const auto brightest = [&image](int left, int right, int r) {
        int most = 0;
        for (int x = left; x < right; ++x) {
            const uint32_t pixel = chronvale::getPixel(image.get(), x, r);
            most = std::max(
                most, static_cast<int>((pixel >> 16) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF)));
        }
        return most;
    };
    EXPECT_GT(brightest(0, 1920, 540), 150);    // the first monitor's equator
    EXPECT_GT(brightest(1920, 4480, 720), 150); // the second's
    EXPECT_LT(brightest(0, 1920, 30), 30);      // bar above the first earth (1920 x 960)
    EXPECT_LT(brightest(0, 1920, 1049), 30);    // and below it
    EXPECT_GT(brightest(0, 1920, 70), 30);      // the earth starts at row 60
    EXPECT_LT(brightest(1920, 4480, 40), 30);   // above the second earth (2560 x 1280)
    EXPECT_LT(brightest(1920, 4480, 1400), 30);
    EXPECT_GT(brightest(1920, 4480, 90), 30); // which starts at row 80
    EXPECT_LT(brightest(0, 1920, 1300), 30);  // below the smaller monitor

    // The process is gone, as after a kill: the settings file already holds the state.
    const std::string ini =
        run("cat " + std::string(std::getenv("XDG_CONFIG_HOME")) + "/QUILLMAR/Chronvale.ini");
    EXPECT_NE(ini.find("wallpaper=1"), std::string::npos) << ini;
    EXPECT_NE(ini.find("sea.jpg"), std::string::npos) << ini;

    const Outcome renew = runChronvale(screens);
    ASSERT_EQ(renew.exitCode, 0) << renew.errors;
    EXPECT_EQ(get("picture-uri"), uriValue("Wallpaper-b.jpg"));
    EXPECT_EQ(get("picture-uri-dark"), uriValue("Wallpaper-b.jpg"));
    EXPECT_FALSE(fs::exists(userFolder_ / "Wallpaper-a.jpg"));

    const Outcome off = runChronvale({"--wallpaper", "off"});
    ASSERT_EQ(off.exitCode, 0) << off.errors;
    EXPECT_EQ(get("picture-uri"), "'file:///usr/share/backgrounds/sea.jpg'");
    EXPECT_EQ(get("picture-uri-dark"), "'file:///usr/share/backgrounds/sea-dark.jpg'");
    EXPECT_EQ(get("picture-options"), "'zoom'");
    EXPECT_FALSE(fs::exists(userFolder_ / "Wallpaper-b.jpg"));
    // Exactly what was there: the store holds the same keys with the same values.
    EXPECT_EQ(settingsDump(), before);

    const Outcome again = runChronvale({"--wallpaper", "off"});
    EXPECT_EQ(again.exitCode, 0);
    EXPECT_EQ(get("picture-uri"), "'file:///usr/share/backgrounds/sea.jpg'");
}

TEST_F(WallpaperProcess, AWidthCapsEachPictureInItsMonitorsProportion) {
    const struct {
        const char* width;
        const char* file;
        int height;
    } runs[] = {{"1000", "Wallpaper-a.jpg", 562}, {"2048", "Wallpaper-b.jpg", 1080}};
    for (const auto& run : runs) {
        const Outcome on =
            runChronvale({"--wallpaper", "--screens", "1920x1080+0+0", "--width", run.width});
        ASSERT_EQ(on.exitCode, 0) << on.errors;
        const chronvale::ImagePtr image = chronvale::loadImage((userFolder_ / run.file).string());
        ASSERT_TRUE(image) << run.file;
        EXPECT_EQ(image->width(), std::min(1920, std::stoi(run.width)));
        EXPECT_EQ(image->height(), run.height);
    }
}

TEST_F(WallpaperProcess, WithoutScreensTheOnesTheWindowSawLastAreUsed) {
    const std::string ini = std::string(std::getenv("XDG_CONFIG_HOME")) + "/QUILLMAR/Chronvale.ini";
    for (const auto& [stored, width, height] :
         {std::tuple{std::string("wallpaperscreens=2560x1440+0+0"), 2560, 1440},
          std::tuple{std::string("wallpaperscreens=bad"), 1920, 1080}}) {
        fs::remove(ini);
        fs::create_directories(fs::path(ini).parent_path());
        std::ofstream(ini) << "[General]\n" << stored << "\n";
        const Outcome on = runChronvale({"--wallpaper"});
        ASSERT_EQ(on.exitCode, 0) << on.errors;
        const chronvale::ImagePtr image =
            chronvale::loadImage((userFolder_ / "Wallpaper-a.jpg").string());
        ASSERT_TRUE(image) << stored;
        EXPECT_EQ(image->width(), width) << stored;
        EXPECT_EQ(image->height(), height) << stored;
        const Outcome off = runChronvale({"--wallpaper", "off"});
        ASSERT_EQ(off.exitCode, 0) << off.errors;
    }
}

// The session's screens win over those stored, at their device pixels: weston's
// headless output of W x H (logical) at scale S is a Qt screen of W x H at ratio
// S, a monitor of S·W x S·H device pixels.
TEST_F(WallpaperProcess, WithADisplayTheSessionsScreensAreUsed) {
    const std::string ini = std::string(std::getenv("XDG_CONFIG_HOME")) + "/QUILLMAR/Chronvale.ini";
    const struct {
        std::vector<std::string> output;
        int width;
        int height;
    } sessions[] = {{{"--width=1200", "--height=700"}, 1200, 700},
                    {{"--width=1600", "--height=900", "--scale=2"}, 3200, 1800}};
    for (const auto& session : sessions) {
        chronvale::test::HeadlessWeston weston(session.output);
        ASSERT_TRUE(weston.running()) << weston.log();
        fs::create_directories(fs::path(ini).parent_path());
        std::ofstream(ini) << "[General]\nwallpaperscreens=2560x1440+0+0\n";
        const Outcome on = runChronvale(
            {"--wallpaper"}, {"QT_QPA_PLATFORM=wayland", "WAYLAND_DISPLAY=" + weston.display(),
                              "XDG_RUNTIME_DIR=" + weston.runtimeFolder()});
        ASSERT_EQ(on.exitCode, 0) << on.errors;
        const chronvale::ImagePtr image =
            chronvale::loadImage((userFolder_ / "Wallpaper-a.jpg").string());
        ASSERT_TRUE(image);
        EXPECT_EQ(image->width(), session.width);
        EXPECT_EQ(image->height(), session.height);
        ASSERT_EQ(runChronvale({"--wallpaper", "off"}).exitCode, 0);
    }
}

TEST_F(WallpaperProcess, FailsWithAMessage) {
    // A desktop whose interface is not there (no Plasma shell on any bus).
    ::setenv("XDG_CURRENT_DESKTOP", "KDE", 1);
    const Outcome none = runChronvale({"--wallpaper"});
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_NE(none.errors.find("KDE Plasma"), std::string::npos) << none.errors;
    // Bad options.
    for (const auto& args : {std::vector<std::string>{"--wallpaper", "--width", "10"},
                             std::vector<std::string>{"--wallpaper", "--width"},
                             std::vector<std::string>{"--wallpaper", "--info"},
                             std::vector<std::string>{"--wallpaper", "--screens", "0x1080+0+0"},
                             std::vector<std::string>{"--wallpaper", "--screens", "20000x10+0+0"},
                             std::vector<std::string>{"--wallpaper", "--screens", "1920x1080"},
                             std::vector<std::string>{"--wallpaper", "--screens"},
                             std::vector<std::string>{"--wallpaper", "--placement", "zoom"},
                             std::vector<std::string>{"--wallpaper", "--render", "x.bmp"}}) {
        const Outcome bad = runChronvale(args);
        EXPECT_EQ(bad.exitCode, 2) << args.back();
        if (args[1] == "--screens") {
            EXPECT_NE(bad.errors.find("--screens"), std::string::npos) << bad.errors;
        }
    }
}

TEST(WallpaperCommandLine, ParsesOffAndTheWidth) {
    using chronvale::CommandLine;
    const auto on = chronvale::parseCommandLine({"--wallpaper"});
    ASSERT_TRUE(on.options);
    EXPECT_EQ(on.options->action, CommandLine::Action::Wallpaper);
    EXPECT_FALSE(on.options->wallpaper->off);
    EXPECT_FALSE(on.options->wallpaper->width);
    const auto off = chronvale::parseCommandLine({"--width=2560", "--wallpaper", "off"});
    ASSERT_TRUE(off.options);
    EXPECT_TRUE(off.options->wallpaper->off);
    EXPECT_EQ(off.options->wallpaper->width, 2560);
    const auto bad = chronvale::parseCommandLine({"--wallpaper", "--width", "99999"});
    EXPECT_FALSE(bad.options);
    EXPECT_NE(bad.error.find("64 to 16384"), std::string::npos);
}

} // namespace
