#include "geo/zone_colours.h"
#include "render/zone_offset.h"
#include "render_test_images.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

TEST(ZoneOffsetAt, ReadsTheZoneColourOfThePixel) {
    const std::span<const ZoneColour> table = zoneColourTable();
    ASSERT_FALSE(table.empty());
    // The last row has a colour of its own (no earlier row shares it).
    const ZoneColour& zone = table.back();
    ImagePtr image = test::solidImage(16, 8, 0, 0, 0);
    uint8_t* pixel = pixelAddress(image.get(), 5, 6);
    pixel[0] = zone.blue;
    pixel[1] = zone.green;
    pixel[2] = zone.red;
    EXPECT_EQ(zoneOffsetAt(image.get(), 5, 6), zone.hours);
    EXPECT_EQ(zoneOffsetAt(image.get(), 6, 5), zoneOffsetForColour(0, 0, 0));

    EXPECT_EQ(zoneOffsetAt(image.get(), 16, 0), 0.0f) << "right of the image";
    EXPECT_EQ(zoneOffsetAt(image.get(), 0, -1), 0.0f) << "above the image";
    EXPECT_EQ(zoneOffsetAt(nullptr, 5, 6), 0.0f) << "no image";
}

} // namespace
} // namespace chronvale
