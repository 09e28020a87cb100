// The lit map at any size: equal to the compositor's map at 1024 x 512, the shadow's
// edge where the 1024 map puts it at four times the size, the detail of the
// high-resolution images in the output, and the fall-back for bad images.

#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/detailed_earth.h"
#include "render/lit_area.h"
#include "render/sun_shadow.h"
#include "render_test_images.h"
#include "support/scratch.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace chronvale {
namespace {

namespace fs = std::filesystem;
using test::firstDifference;
using test::noiseImage;
using test::solidImage;
using test::utc;

// A smooth field of clouds: thin, thick and clear areas.
ImagePtr cloudField() {
    return test::makePicture(1024, 512, [](int x, int r) {
        const int level = ((x / 37 + r / 23) % 5) * 60;
        const uint32_t v = static_cast<uint32_t>(std::min(level, 255));
        return (v << 16) | (v << 8) | v;
    });
}

struct Sources {
    ImagePtr day = noiseImage(1024, 512, 1);
    ImagePtr night = noiseImage(1024, 512, 2);
    ImagePtr zones = noiseImage(1024, 512, 3);
    ImagePtr cloud = cloudField();
};

class LitAreaMatchesCompositor : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(scratch.path() / "images");
        ASSERT_TRUE(saveBmpFile(sources.day.get(), scratch.file(kDayImageName)));
        ASSERT_TRUE(saveBmpFile(sources.night.get(), scratch.file(kNightImageName)));
        ASSERT_TRUE(saveBmpFile(sources.zones.get(), scratch.file(kTimeZoneImageName)));
    }
    test::ScratchDir scratch;
    Sources sources;
};

// Every rule of the composition, at instants with the terminator across the map.
TEST_F(LitAreaMatchesCompositor, BitForBitAtTheMapsSize) {
    struct Case {
        const char* name;
        DisplaySwitches on;
    };
    auto with = [](auto set) {
        DisplaySwitches s;
        set(s);
        return s;
    };
    const Case cases[] = {
        {"day", with([](auto& s) { s.dayMap = true; })},
        {"day shadow", with([](auto& s) { s.dayMap = s.sunShadow = true; })},
        {"zones", with([](auto& s) { s.timeZones = true; })},
        {"zones shadow", with([](auto& s) { s.timeZones = s.sunShadow = true; })},
        {"clouds day", with([](auto& s) { s.clouds = s.dayMap = true; })},
        {"clouds day shadow", with([](auto& s) { s.clouds = s.dayMap = s.sunShadow = true; })},
        {"clouds night", with([](auto& s) { s.clouds = s.nightMap = true; })},
        {"night", with([](auto& s) { s.nightMap = s.sunShadow = true; })},
        {"cloud frame", with([](auto& s) { s.clouds = true; })},
    };
    for (const std::time_t now :
         {utc(2026, 3, 20, 12, 0, 0), utc(2026, 6, 21, 5, 30, 0), utc(2026, 12, 21, 18, 45, 0)}) {
        for (const Case& c : cases) {
            RecordingLoadErrorSink errors;
            Compositor compositor(scratch.path().string(), errors);
            compositor.setCloudImage(cloneImage(sources.cloud.get()));
            DisplaySwitches switches = c.on;
            ASSERT_TRUE(compositor.loadEarthImages(switches, now));
            ASSERT_TRUE(errors.files.empty());

            LitAreaRequest request;
            request.now = now;
            request.switches = c.on;
            const EarthLayers layers{compositor.dayImage(), compositor.nightImage(),
                                     compositor.timeZoneImage(), compositor.cloudImage()};
            const ImagePtr lit = composeLitArea(layers, request);
            ASSERT_TRUE(lit) << c.name;
            EXPECT_EQ(firstDifference(*lit, *compositor.litMap()), "") << c.name << " at " << now;
        }
    }
}

// Uniform white day and black night: every pixel's value is a function of the sun's
// elevation alone, falling through the low-sun band to the night's value (reached
// half a degree above the horizon, then dipping below it before night proper), so
// the first pixel at or below it marks the same elevation at any size.
int nightEdge(const EarthImage& image, int row) {
    const uint8_t night = shadeNightChannel(255, 0);
    const uint8_t* p = image.row(row);
    int x = 0;
    while (x < image.width() && p[x * 3] > night) {
        ++x;
    }
    return x;
}

TEST(LitArea, ShadowEdgeAtFourTimesTheSizeWhereTheMapPutsIt) {
    const ImagePtr day = solidImage(1024, 512, 255, 255, 255);
    const ImagePtr night = solidImage(1024, 512, 0, 0, 0);
    const EarthLayers layers{day.get(), night.get()};
    for (const std::time_t now : {utc(2026, 3, 20, 12, 0, 0), utc(2026, 6, 21, 3, 0, 0)}) {
        LitAreaRequest request;
        request.now = now;
        request.switches.sunShadow = true;
        const ImagePtr small = composeLitArea(layers, request);
        request.width = 4096;
        request.height = 2048;
        const ImagePtr large = composeLitArea(layers, request);
        ASSERT_TRUE(small && large);
        for (int row = 20; row < 500; row += 40) {
            const int edge = nightEdge(*small, row);
            // Column c of the 1024 map lies at longitude -180 + 360 (c + 1) / 1024, column
            // C of the 4096 map at -180 + 360 (C + 1) / 4096: the same edge at C = 4c + 3.
            const int largeEdge = nightEdge(*large, row * 4);
            EXPECT_NEAR(largeEdge, edge * 4 + 3, 4) << "row " << row << " at " << now;
        }
    }
}

// A window onto part of the map at the map's density is the matching crop of the
// whole map: the longitude and latitude arithmetic carries over to any rectangle.
TEST(LitArea, CropOfTheWholeMap) {
    const Sources s;
    const EarthLayers layers{s.day.get(), s.night.get(), s.zones.get(), s.cloud.get()};
    LitAreaRequest whole;
    whole.now = utc(2026, 9, 1, 7, 0, 0);
    whole.switches.timeZones = whole.switches.sunShadow = true;
    whole.width = 2048;
    whole.height = 1024;
    const ImagePtr map = composeLitArea(layers, whole);
    LitAreaRequest part = whole;
    part.area = MapArea{300.0, 100.0, 200.0, 150.0};
    part.width = 400;
    part.height = 300;
    const ImagePtr crop = composeLitArea(layers, part);
    ASSERT_TRUE(map && crop);
    int differing = 0;
    for (int r = 0; r < 300; ++r) {
        differing += std::memcmp(crop->row(r), map->row(200 + r) + 600 * 3, 400 * 3) != 0;
    }
    EXPECT_EQ(differing, 0);
}

// A detail of the high-resolution image (2 x 2 pixels of a 4096 image) shows
// in a 4096 output and in a zoomed view, and the 1024 image serves below the map's
// density.
TEST(LitArea, DetailedImagesShowTheirDetail) {
    const ImagePtr standard = solidImage(1024, 512, 40, 40, 40);
    ImagePtr detailed = solidImage(4096, 2048, 40, 40, 40);
    for (const auto& [x, r] : {std::pair{2000, 900}, {2001, 900}, {2000, 901}, {2001, 901}}) {
        setPixel(detailed.get(), x, r, 0xFF0000);
    }
    const EarthLayers layers = {standard.get(), nullptr};
    const EarthLayers fine = {detailed.get(), nullptr};

    LitAreaRequest request;
    request.width = 4096;
    request.height = 2048;
    const ImagePtr whole = composeLitArea(chooseLayers(layers, fine, request), request);
    ASSERT_TRUE(whole);
    EXPECT_EQ(getPixel(whole.get(), 2001, 901), 0xFF0000u);

    // The block's centre is map point (500.25, 225.25): output (162, 202) at 8 output
    // pixels per map pixel samples between its four pixels.
    request.area = MapArea{480.0, 200.0, 64.0, 32.0};
    request.width = 512;
    request.height = 256;
    const ImagePtr zoomed = composeLitArea(chooseLayers(layers, fine, request), request);
    ASSERT_TRUE(zoomed);
    EXPECT_EQ(getPixel(zoomed.get(), 162, 202), 0xFF0000u);
    EXPECT_EQ(getPixel(zoomed.get(), 150, 202), 0x282828u);

    request = LitAreaRequest{};
    EXPECT_EQ(chooseLayers(layers, fine, request).day, standard.get());
}

// Clouds with Sun Shadow: bright clouds by day, the lights dimmed under thick cloud
// at night, faint grey over dark night land.
TEST(LitArea, CloudsWithSunShadow) {
    const ImagePtr day = solidImage(1024, 512, 20, 60, 20);
    const ImagePtr night = solidImage(1024, 512, 200, 200, 120);
    const ImagePtr cloud = solidImage(1024, 512, 230, 230, 230);
    LitAreaRequest request;
    request.now = utc(2026, 3, 20, 12, 0, 0); // day at x 512, night at x 0
    request.switches.dayMap = request.switches.clouds = request.switches.sunShadow = true;
    const EarthLayers layers{day.get(), night.get(), nullptr, cloud.get()};
    const ImagePtr plain = composeLitArea(layers, request);
    request.switches.cloudsWithShadow = true;
    const ImagePtr cloudy = composeLitArea(layers, request);
    ASSERT_TRUE(plain && cloudy);
    const uint8_t* dayPixel = cloudy->row(256) + 512 * 3;
    EXPECT_GT(dayPixel[0], 200) << "bright clouds by day";
    const uint8_t* nightPlain = plain->row(256);
    const uint8_t* nightCloudy = cloudy->row(256);
    EXPECT_LT(nightCloudy[2], nightPlain[2] / 2) << "lights dimmed under thick cloud";
    EXPECT_GT(nightCloudy[0], 30) << "the cloud shows faint grey";
}

// Bands of rows composed one by one give the whole composition's bits, with every
// sampling (nearest, bilinear across the band's edge) and the shadow's band; a
// range outside the output writes nothing.
TEST(LitArea, RowBandsGiveTheWholeCompositionsBits) {
    const Sources s;
    const EarthLayers layers{s.day.get(), s.night.get(), s.zones.get(), s.cloud.get()};
    LitAreaRequest magnified;
    magnified.area = MapArea{400.0, 150.0, 90.0, 60.0};
    magnified.width = 630;
    magnified.height = 421;
    magnified.switches.clouds = magnified.switches.cloudsWithShadow = true;
    LitAreaRequest zones;
    zones.width = 1500;
    zones.height = 750;
    zones.switches.timeZones = true;
    for (LitAreaRequest request : {magnified, zones}) {
        request.now = utc(2026, 6, 21, 6, 0, 0);
        request.switches.sunShadow = true;
        const ImagePtr whole = composeLitArea(layers, request);
        ASSERT_TRUE(whole);
        ImagePtr banded = createImage(request.width, request.height, 24, 0);
        const int h = request.height;
        for (const auto& [from, to] : {std::pair{0, 1}, {1, h / 3}, {h / 3, h / 3}, {h / 3, h}}) {
            ASSERT_TRUE(composeLitAreaRowsInto(layers, request, *banded, 0, 0, from, to));
        }
        EXPECT_EQ(firstDifference(*banded, *whole), "") << request.width;
        for (const auto& [from, to] : {std::pair{-1, 5}, {5, 4}, {0, h + 1}}) {
            EXPECT_FALSE(composeLitAreaRowsInto(layers, request, *banded, 0, 0, from, to));
        }
    }
}

class DetailedEarthFallback : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directories(scratch.path() / "images/hires"); }
    test::ScratchDir scratch;
    RecordingLoadErrorSink errors;
};

TEST_F(DetailedEarthFallback, BadImagesAreNamedOnceAndNotUsed) {
    const ImagePtr small = solidImage(64, 32, 1, 2, 3);
    const test::Bytes smallJpeg = test::makeJpeg(*small);
    // Day: truncated JPEG; night: a whole JPEG of the wrong size.
    test::writeFile(scratch.file(kDetailedDayImageName),
                    test::Bytes(smallJpeg.begin(), smallJpeg.begin() + smallJpeg.size() / 2));
    test::writeFile(scratch.file(kDetailedNightImageName), smallJpeg);
    DetailedEarth detailed(scratch.path().string(), errors);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const EarthLayers layers = detailed.load(true);
        EXPECT_EQ(layers.day, nullptr);
        EXPECT_EQ(layers.night, nullptr);
    }
    ASSERT_EQ(errors.files.size(), 2u) << "each file named once";
    EXPECT_EQ(errors.files[0], kDetailedDayImageName);
    EXPECT_EQ(errors.files[1], kDetailedNightImageName);
    EXPECT_FALSE(detailed.loaded());
}

TEST_F(DetailedEarthFallback, MissingImageAndReleasedImages) {
    const ImagePtr full = solidImage(kDetailedWidth, kDetailedHeight, 9, 9, 9);
    test::writeFile(scratch.file(kDetailedDayImageName), test::makeJpeg(*full));
    DetailedEarth detailed(scratch.path().string(), errors);
    EarthLayers layers = detailed.load(false);
    ASSERT_NE(layers.day, nullptr);
    EXPECT_TRUE(errors.files.empty()) << "the night image is not asked for";
    layers = detailed.load(true);
    EXPECT_EQ(layers.night, nullptr);
    EXPECT_EQ(errors.files, std::vector<std::string>{kDetailedNightImageName});
    detailed.release();
    EXPECT_FALSE(detailed.loaded());
    EXPECT_NE(detailed.load(false).day, nullptr) << "decoded again when needed";
}

} // namespace
} // namespace chronvale
