#include "render/sun_shadow.h"
#include "render_test_images.h"

#include <gtest/gtest.h>
#include <vector>

namespace chronvale {
namespace {

using test::firstDifference;
using test::noiseImage;
using test::solidImage;
using test::utc;

TEST(SunShadow, PixelFormulas) {
    // e = -0.1: (1.6 N + 0.4 L) / 2 with L = 200, N = 20.
    EXPECT_EQ(shadeNightChannel(200, 20), 56);
    // e = 4.5, h = 0.5: ((100 + 10) * 1.7 + 60) / 2.
    EXPECT_EQ(shadeLowSunChannel(200, 20, 4.5f / 9.0f), 123);
    EXPECT_EQ(shadeLowSunChannel(200, 20, 1.0f), 200) << "at 9 degrees the pixel is unchanged";
    EXPECT_EQ(shadeLowSunChannel(200, 20, 0.0f), 47) << "85 % night, 15 % lit at the horizon";
    for (float h : {0.0f, 0.1f, 0.5f, 0.999f, 1.0f}) {
        EXPECT_EQ(shadeLowSunChannel(255, 255, h), 255) << "h " << h;
    }
    EXPECT_EQ(shadeNightChannel(255, 255), 255);
    EXPECT_EQ(shadeNightChannel(0, 0), 0);
}

TEST(SunShadow, NightRunsMatchTheChannelFormulaForEveryPair) {
    std::vector<uint8_t> lit(65536);
    std::vector<uint8_t> night(65536);
    for (size_t i = 0; i < lit.size(); ++i) {
        lit[i] = static_cast<uint8_t>(i & 255);
        night[i] = static_cast<uint8_t>(i >> 8);
    }
    shadeNightChannels(lit.data(), night.data(), lit.size());
    for (size_t i = 0; i < lit.size(); ++i) {
        ASSERT_EQ(lit[i], shadeNightChannel(static_cast<uint8_t>(i & 255), night[i]))
            << "lit " << (i & 255) << " night " << (i >> 8);
    }
}

TEST(SunShadow, PixelCentreLines) {
    EXPECT_EQ(shadowRowLatitude(0, 512), 90.0f);
    EXPECT_EQ(shadowRowLatitude(256, 512), 0.0f);
    EXPECT_EQ(shadowColumnLongitude(1023, 1024), 180.0f);
    EXPECT_EQ(shadowColumnLongitude(0, 1024), -180.0f + 360.0f / 1024.0f);
}

// At the March equinox at 12:00 UTC the sun stands over the equator near longitude
// +2 (the equation of time is about -7.5 minutes), so the terminator crosses the
// equator near -88 and +92 degrees.
TEST(SunShadow, EquinoxNoonShadesTheOuterQuarters) {
    ImagePtr lit = solidImage(1024, 512, 255, 255, 255);
    ImagePtr night = solidImage(1024, 512, 0, 0, 0);
    applySunShadow(*lit, *night, utc(2026, 3, 20, 12, 0, 0));

    const int equator = 256;
    const uint8_t fullNight = shadeNightChannel(255, 0);
    auto value = [&](int x) { return lit->row(equator)[x * 3]; };
    EXPECT_EQ(value(0), fullNight);
    EXPECT_EQ(value(1023), fullNight);
    EXPECT_EQ(value(511), 255);
    int west = 0;
    while (west < 1024 && value(west) == fullNight) {
        ++west;
    }
    int east = 1023;
    while (east >= 0 && value(east) == fullNight) {
        --east;
    }
    EXPECT_NEAR(shadowColumnLongitude(west, 1024), -88.0f, 1.0f) << "western terminator";
    EXPECT_NEAR(shadowColumnLongitude(east, 1024), 92.0f, 1.0f) << "eastern terminator";
    // A band of rising brightness, 9 degrees of elevation (about 9 degrees of
    // longitude at the equator) wide, on the day side of each terminator.
    EXPECT_LT(value(west), value(west + 10));
    EXPECT_LT(value(west + 10), value(west + 20));
    EXPECT_EQ(value(west + 30), 255);
    EXPECT_LT(value(east), value(east - 10));
    EXPECT_EQ(value(east - 30), 255);
}

struct Instant {
    const char* name;
    std::time_t time;
};

// The fast path must give exactly the reference's bits for every pixel.
TEST(SunShadow, FastPathIsBitIdenticalToTheReference) {
    const ImagePtr day = noiseImage(1024, 512, 1);
    const ImagePtr night = noiseImage(1024, 512, 2);
    const Instant instants[] = {
        {"March equinox 2026", utc(2026, 3, 20, 14, 46, 0)},
        {"June solstice 2026", utc(2026, 6, 21, 8, 24, 0)},
        {"December solstice 2026", utc(2026, 12, 21, 20, 50, 0)},
        {"1 January 2026 00:00", utc(2026, 1, 1, 0, 0, 0)},
        {"31 December 2026 23:59:59", utc(2026, 12, 31, 23, 59, 59)},
        {"29 February 2028", utc(2028, 2, 29, 12, 0, 0)},
        {"31 December 2028 (day 366)", utc(2028, 12, 31, 6, 30, 0)},
    };
    for (const Instant& instant : instants) {
        ImagePtr reference = cloneImage(day.get());
        ImagePtr fast = cloneImage(day.get());
        applySunShadow(*reference, *night, instant.time, ShadowMethod::Reference);
        applySunShadow(*fast, *night, instant.time, ShadowMethod::Fast);
        EXPECT_EQ(firstDifference(*reference, *fast), "") << instant.name;
        EXPECT_NE(firstDifference(*reference, *day), "") << instant.name << ": nothing shaded";
    }
}

// Many instants through the years on a smaller map, for the rare pixels whose
// low-sun blend lies close to an integer.
TEST(SunShadow, FastPathMatchesAtManyInstants) {
    const ImagePtr day = noiseImage(256, 128, 7);
    const ImagePtr night = noiseImage(256, 128, 8);
    std::time_t when = utc(1950, 1, 1, 0, 0, 0);
    const std::time_t step = 7 * 86400 * 53 + 3671; // about a year, drifting through the day
    for (int i = 0; i < 100; ++i, when += step) {
        ImagePtr reference = cloneImage(day.get());
        ImagePtr fast = cloneImage(day.get());
        applySunShadow(*reference, *night, when, ShadowMethod::Reference);
        applySunShadow(*fast, *night, when, ShadowMethod::Fast);
        ASSERT_EQ(firstDifference(*reference, *fast), "") << "instant " << when;
    }
}

TEST(SunShadow, FastPathMatchesOnOtherSizes) {
    for (auto [width, height] : {std::pair{37, 19}, std::pair{1, 1}, std::pair{360, 181}}) {
        const ImagePtr day = noiseImage(width, height, 3);
        const ImagePtr night = noiseImage(width, height, 4);
        ImagePtr reference = cloneImage(day.get());
        ImagePtr fast = cloneImage(day.get());
        const std::time_t when = utc(2027, 9, 23, 3, 0, 0);
        applySunShadow(*reference, *night, when, ShadowMethod::Reference);
        applySunShadow(*fast, *night, when, ShadowMethod::Fast);
        EXPECT_EQ(firstDifference(*reference, *fast), "") << width << "x" << height;
    }
}

TEST(SunShadow, InstantOutsideTheCalculatorsYearsLeavesTheMapUnshaded) {
    const ImagePtr day = noiseImage(64, 32, 5);
    const ImagePtr night = noiseImage(64, 32, 6);
    for (ShadowMethod method : {ShadowMethod::Reference, ShadowMethod::Fast}) {
        ImagePtr lit = cloneImage(day.get());
        applySunShadow(*lit, *night, utc(2051, 6, 1, 12, 0, 0), method);
        EXPECT_EQ(firstDifference(*lit, *day), "");
    }
}

TEST(SunShadow, ASmallerNightImageShadesOnlyWhatItCovers) {
    ImagePtr lit = solidImage(64, 32, 200, 200, 200);
    const ImagePtr night = solidImage(32, 16, 0, 0, 0);
    // 1 January 00:00 UTC: night over the Greenwich half, day around the date line.
    applySunShadow(*lit, *night, utc(2026, 1, 1, 0, 0, 0));
    EXPECT_EQ(getPixel(lit.get(), 16, 8), 0x282828u) << "night inside the night image";
    EXPECT_EQ(getPixel(lit.get(), 40, 8), 0xC8C8C8u) << "outside it the map is left alone";
}

class CountingProgress final : public ShadowProgress {
public:
    void shadowStarted() override { ++started; }
    void shadowFinished() override { ++finished; }
    int started = 0;
    int finished = 0;
};

TEST(SunShadow, ReportsProgressAroundThePass) {
    ImagePtr lit = solidImage(8, 4, 9, 9, 9);
    const ImagePtr night = solidImage(8, 4, 0, 0, 0);
    CountingProgress progress;
    applySunShadow(*lit, *night, utc(2026, 5, 5, 5, 5, 5), ShadowMethod::Fast, &progress);
    EXPECT_EQ(progress.started, 1);
    EXPECT_EQ(progress.finished, 1);
}

} // namespace
} // namespace chronvale
