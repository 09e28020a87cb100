#include "render/qt/device_bitmap.h"
#include "render_qt_test_support.h"

#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::pixel;

TEST(DeviceBitmap, CopiesPixelsTopRowFirstPastRowPadding) {
    // Width 3: 9 bytes of pixels and 3 of padding per row.
    ImagePtr image = test::coordinateMap(3, 2);
    const QImage bitmap = toDeviceBitmap(image.get());
    ASSERT_EQ(bitmap.size(), QSize(3, 2));
    EXPECT_EQ(bitmap.format(), QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(pixel(bitmap, x, y), QColor(x, y, 77)) << "at " << x << "," << y;
        }
    }
    EXPECT_EQ(qAlpha(bitmap.pixel(2, 1)), 255) << "opaque pixels";
}

TEST(DeviceBitmap, ConvertsOtherDepthsAndRefusesNoImage) {
    ImagePtr indexed = createImage(2, 1, 8, 2);
    indexed->colourTable()[1] = {10, 20, 30, 0}; // blue, green, red
    setPixel(indexed.get(), 1, 0, 1);
    const QImage bitmap = toDeviceBitmap(indexed.get());
    ASSERT_EQ(bitmap.size(), QSize(2, 1));
    EXPECT_EQ(pixel(bitmap, 0, 0), QColor(0, 0, 0));
    EXPECT_EQ(pixel(bitmap, 1, 0), QColor(30, 20, 10));

    EXPECT_TRUE(toDeviceBitmap(nullptr).isNull());
}

} // namespace
} // namespace chronvale
