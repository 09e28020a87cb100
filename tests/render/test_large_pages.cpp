// Large pixel blocks: aligned to huge pages from 4 MiB up, heap blocks below, every
// byte usable, and images built on them start black.
#include "render/earth_image.h"
#include "render/large_pages.h"

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

TEST(LargePages, BlocksOfEverySizeHoldTheirBytes) {
    constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;
    struct Case {
        std::size_t bytes;
        bool hugeAligned;
    };
    const Case cases[] = {
        {1, false},
        {kLargeBlockBytes - 1, false},
        {kLargeBlockBytes, true},
        {kLargeBlockBytes + 1, true},
        {std::size_t{25} << 20, true}, // a 4096 x 2048 image
    };
    for (const Case& c : cases) {
        auto* block = static_cast<uint8_t*>(allocateLarge(c.bytes));
        ASSERT_NE(block, nullptr) << c.bytes;
        if (c.hugeAligned) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % kHugePage, 0u) << c.bytes;
        }
        std::memset(block, 0xA5, c.bytes);
        EXPECT_EQ(block[0], 0xA5) << c.bytes;
        EXPECT_EQ(block[c.bytes - 1], 0xA5) << c.bytes;
        freeLarge(block, c.bytes);
    }
    freeLarge(nullptr, kLargeBlockBytes); // nothing to free
}

TEST(LargePages, ImagesOnThemStartBlackAndCopyWhole) {
    for (const int width : {16, 4096}) {
        const ImagePtr image = createImage(width, width / 2, 24, 256);
        ASSERT_TRUE(image) << width;
        const uint8_t* bytes = image->pixels();
        std::size_t nonZero = 0;
        for (std::size_t i = 0; i < image->pixelBytes(); ++i) {
            nonZero += bytes[i] != 0;
        }
        EXPECT_EQ(nonZero, 0u) << width;
        setPixel(image.get(), width - 1, width / 2 - 1, 0x123456);
        const ImagePtr copy = cloneImage(image.get());
        ASSERT_TRUE(copy) << width;
        EXPECT_EQ(getPixel(copy.get(), width - 1, width / 2 - 1), 0x123456u) << width;
    }
}

} // namespace
} // namespace chronvale
