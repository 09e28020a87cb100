#include "render/layer_blend.h"
#include "render_test_images.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::solidImage;

// Blends one base pixel with one cloud pixel (blue, green, red).
std::array<uint8_t, 3> blend(std::array<uint8_t, 3> base, std::array<uint8_t, 3> cloud) {
    std::array<uint8_t, 3> out{};
    blendCloudPixel(out.data(), base.data(), cloud.data());
    return out;
}

using Bgr = std::array<uint8_t, 3>;

TEST(CloudBlend, ThresholdsOfTheCloudMean) {
    const Bgr base{40, 80, 120};
    EXPECT_EQ(blend(base, Bgr{9, 9, 9}), base) << "a cloud of mean 9 leaves the base";
    EXPECT_EQ(blend(base, Bgr{5, 10, 14}), base) << "mean (5 + 10 + 14) / 3 = 9";
    EXPECT_EQ(blend(base, Bgr{241, 241, 241}), (Bgr{241, 241, 241})) << "mean 241 replaces it";
    EXPECT_EQ(blend(Bgr{0, 0, 0}, Bgr{90, 100, 110}), (Bgr{0, 0, 0})) << "black base stays black";
}

TEST(CloudBlend, WeightsByTheSquareOfTheBrightnessRatio) {
    // Equal means of 100: (base + cloud + 10) / 2, truncated.
    EXPECT_EQ(blend(Bgr{90, 100, 110}, Bgr{120, 100, 80}), (Bgr{110, 105, 100}));
    EXPECT_EQ(blend(Bgr{91, 100, 109}, Bgr{100, 100, 100}), (Bgr{100, 105, 109}));
    // Base mean 50, cloud mean 200: wb = 0.25, wc = 4, s = 4.25.
    // blue: (50 * 0.25 + 200 * 4 + 10) / 4.25 = 193.5 -> 193.
    EXPECT_EQ(blend(Bgr{50, 50, 50}, Bgr{200, 200, 200}), (Bgr{193, 193, 193}));
    // Bright equal means would pass 255 by the +10 and saturate instead of wrapping.
    EXPECT_EQ(blend(Bgr{0, 255, 255}, Bgr{0, 255, 255}), (Bgr{5, 255, 255}));
}

TEST(CloudBlend, WalksTheSharedPixelsAndKeepsTheBaseBeyondTheCloud) {
    ImagePtr base = solidImage(8, 4, 100, 100, 100);
    ImagePtr cloud = solidImage(4, 2, 250, 250, 250);
    ImagePtr out = solidImage(8, 4, 1, 2, 3);
    blendCloudLayer(*out, *base, *cloud);
    EXPECT_EQ(getPixel(out.get(), 3, 1), 0xFAFAFAu);
    EXPECT_EQ(getPixel(out.get(), 4, 1), 0x646464u) << "right of the cloud image";
    EXPECT_EQ(getPixel(out.get(), 0, 2), 0x646464u) << "below the cloud image";

    // The base may be the output itself.
    blendCloudLayer(*base, *base, *cloud);
    EXPECT_EQ(getPixel(base.get(), 0, 0), 0xFAFAFAu);
    EXPECT_EQ(getPixel(base.get(), 7, 3), 0x646464u);
}

TEST(TimeZoneTint, SeventyPercentGreyDayThirtyPercentZone) {
    ImagePtr day = solidImage(4, 2, 90, 60, 30); // grey (30 + 60 + 90) / 3 = 60
    ImagePtr zones = solidImage(4, 2, 255, 0, 60);
    ImagePtr out = createImage(4, 2, 24, 256);
    tintTimeZones(*out, *day, *zones);
    // red (60 * 1.4 + 255 * 0.6) / 2 = 118.5, green 84 / 2 = 42, blue (84 + 36) / 2 = 60
    EXPECT_EQ(getPixel(out.get(), 0, 0), 0x762A3Cu);

    // A zone colour equal to the grey leaves the grey: the weights sum to exactly 2.
    ImagePtr grey = solidImage(4, 2, 100, 100, 100);
    ImagePtr sameZones = solidImage(4, 2, 100, 100, 100);
    tintTimeZones(*out, *grey, *sameZones);
    EXPECT_EQ(getPixel(out.get(), 3, 1), 0x646464u);

    // Beyond a smaller zone image the day pixel is copied.
    ImagePtr smallZones = solidImage(2, 1, 0, 0, 0);
    tintTimeZones(*out, *day, *smallZones);
    EXPECT_EQ(getPixel(out.get(), 0, 0), 0x2A2A2Au) << "60 * 1.4 / 2";
    EXPECT_EQ(getPixel(out.get(), 3, 0), 0x5A3C1Eu);
}

} // namespace
} // namespace chronvale
