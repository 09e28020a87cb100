#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/layer_blend.h"
#include "render_test_images.h"
#include "support/scratch.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

namespace fs = std::filesystem;
using test::firstDifference;
using test::noiseImage;
using test::solidImage;
using test::utc;

const std::time_t kNoon = utc(2026, 3, 20, 12, 0, 0);

// A data folder with small synthetic earth images; any of them can be left out.
class CompositorTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(folder / "images");
        day = noiseImage(64, 32, 11);
        night = noiseImage(64, 32, 12);
        zones = noiseImage(64, 32, 13);
    }
    void install(const EarthImage& image, const char* name) {
        ASSERT_TRUE(saveBmpFile(&image, (folder / name).string()));
    }
    void installAll() {
        install(*day, kDayImageName);
        install(*night, kNightImageName);
        install(*zones, kTimeZoneImageName);
    }

    test::ScratchDir scratch;
    const fs::path& folder = scratch.path();
    ImagePtr day, night, zones;
    RecordingLoadErrorSink errors;
};

TEST_F(CompositorTest, PlainDayMapAndTheShadowOverIt) {
    installAll();
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    ASSERT_TRUE(compositor.loadEarthImages(switches, kNoon));
    EXPECT_EQ(firstDifference(*compositor.litMap(), *day), "");
    EXPECT_EQ(compositor.nightImage(), nullptr) << "the night image is loaded only when needed";

    switches.sunShadow = true;
    ASSERT_TRUE(compositor.composeMap(switches, kNoon));
    ImagePtr expected = cloneImage(day.get());
    applySunShadow(*expected, *night, kNoon);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "");
    ASSERT_TRUE(compositor.composeMap(switches, kNoon));
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "")
        << "composing again must not shade the shaded map";
    EXPECT_TRUE(errors.files.empty());
}

TEST_F(CompositorTest, NightMapTurnsTheShadowOff) {
    installAll();
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    switches.nightMap = true;
    switches.sunShadow = true;
    ASSERT_TRUE(compositor.loadEarthImages(switches, kNoon));
    EXPECT_FALSE(switches.sunShadow);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *night), "") << "the plain night image";
}

TEST_F(CompositorTest, CloudRules) {
    installAll();
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    compositor.loadEarthImages(switches, kNoon);
    const ImagePtr cloud = noiseImage(64, 32, 14);
    compositor.setCloudImage(cloneImage(cloud.get()));

    switches.dayMap = true;
    switches.clouds = true;
    compositor.composeMap(switches, kNoon);
    ImagePtr expected = cloneImage(day.get());
    blendCloudLayer(*expected, *day, *cloud);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "") << "clouds over the day";

    switches.dayMap = false;
    switches.nightMap = true;
    switches.sunShadow = true;
    compositor.composeMap(switches, kNoon);
    EXPECT_FALSE(switches.sunShadow);
    expected = cloneImage(night.get());
    blendCloudLayer(*expected, *night, *cloud);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "") << "clouds over the night";

    switches.nightMap = false;
    compositor.composeMap(switches, kNoon);
    expected = cloneImage(day.get());
    blendCloudLayer(*expected, *day, *cloud);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "")
        << "clouds alone: over the day, never over black";

    // A frame of the animation is blended over the night image when Night Map is on.
    const ImagePtr frame = noiseImage(64, 32, 15);
    switches.nightMap = true;
    compositor.composeCloudFrame(*frame, switches);
    expected = cloneImage(night.get());
    blendCloudLayer(*expected, *night, *frame);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "");
    EXPECT_FALSE(compositor.blendBusy());
}

TEST_F(CompositorTest, TimeZoneTint) {
    installAll();
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    switches.timeZones = true;
    compositor.loadEarthImages(switches, kNoon);
    ImagePtr expected = createImage(64, 32, 24, 256);
    tintTimeZones(*expected, *day, *zones);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *expected), "");
}

TEST_F(CompositorTest, MissingImagesFallBackAndAreReported) {
    install(*day, kDayImageName);
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    switches.timeZones = true;
    switches.sunShadow = true;
    ASSERT_TRUE(compositor.loadEarthImages(switches, kNoon));
    EXPECT_EQ(errors.files, (std::vector<std::string>{kTimeZoneImageName, kNightImageName}));
    EXPECT_EQ(firstDifference(*compositor.litMap(), *day), "") << "no tint, no shadow";

    // Each composition that needs the night image tries it again.
    errors.files.clear();
    switches = DisplaySwitches{};
    switches.dayMap = false;
    switches.nightMap = true;
    switches.clouds = true;
    compositor.setCloudImage(noiseImage(64, 32, 16));
    compositor.composeMap(switches, kNoon);
    EXPECT_EQ(errors.files, (std::vector<std::string>{kNightImageName}));
    EXPECT_EQ(firstDifference(*compositor.litMap(), *day), "") << "clouds over a missing night";

    // Clouds alone without a cloud image, and clouds over the day without one.
    compositor.setCloudImage(nullptr);
    switches = DisplaySwitches{};
    switches.dayMap = false;
    switches.clouds = true;
    compositor.composeMap(switches, kNoon);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *day), "");
    switches.dayMap = true;
    compositor.composeMap(switches, kNoon);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *day), "");
}

TEST_F(CompositorTest, WithoutADayImageThereIsNoLitMap) {
    install(*night, kNightImageName);
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    EXPECT_FALSE(compositor.loadEarthImages(switches, kNoon));
    EXPECT_EQ(compositor.litMap(), nullptr);
    EXPECT_EQ(errors.files, (std::vector<std::string>{kDayImageName, kTimeZoneImageName}));
    switches.dayMap = false;
    switches.nightMap = true;
    EXPECT_TRUE(compositor.composeMap(switches, kNoon)) << "the night map needs no day image";
}

TEST_F(CompositorTest, ReleaseKeepsTheLitMapAndRestoreReloads) {
    installAll();
    Compositor compositor(folder.string(), errors);
    DisplaySwitches switches;
    switches.sunShadow = true;
    compositor.loadEarthImages(switches, kNoon);
    compositor.setCloudImage(noiseImage(64, 32, 17));
    ImagePtr before = cloneImage(compositor.litMap());

    compositor.releaseEarthImages();
    EXPECT_EQ(compositor.dayImage(), nullptr);
    EXPECT_EQ(compositor.nightImage(), nullptr);
    EXPECT_EQ(compositor.timeZoneImage(), nullptr);
    EXPECT_EQ(compositor.cloudImage(), nullptr);
    ASSERT_NE(compositor.litMap(), nullptr);
    EXPECT_EQ(firstDifference(*compositor.litMap(), *before), "");

    compositor.releaseLitMap();
    ASSERT_TRUE(compositor.loadEarthImages(switches, kNoon));
    EXPECT_EQ(firstDifference(*compositor.litMap(), *before), "");
    EXPECT_TRUE(errors.files.empty());
}

} // namespace
} // namespace chronvale
