// Infrared world maps turned into cloud frames: the level of each pixel, what
// makes a whole map unusable, and the frame an infrared PNG gives.

#include "cloud_map.h"
#include "infrared_map.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>

namespace chronvale::imaged {
namespace {

struct LevelCase {
    const char* name;
    uint8_t red, green, blue, alpha;
    int level;
};

class InfraredLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(InfraredLevel, FollowsTheRampAndTakesNoDataForClear) {
    const LevelCase& c = GetParam();
    EXPECT_EQ(infraredCloudLevel(c.red, c.green, c.blue, c.alpha), c.level);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InfraredLevel,
    ::testing::Values(LevelCase{"TransparentWhiteIsNoData", 255, 255, 255, 0, 0},
                      LevelCase{"LessThanHalfOpaqueIsNoData", 230, 230, 230, 127, 0},
                      LevelCase{"HalfOpaqueCounts", 230, 230, 230, 128, 255},
                      LevelCase{"BlackIsClear", 0, 0, 0, 255, 0},
                      LevelCase{"WarmGroundIsClear", 90, 90, 90, 255, 0},
                      LevelCase{"JustColderStartsTheRamp", 91, 91, 91, 255, 2},
                      LevelCase{"MidLevelCloudHalfWay", 135, 135, 135, 255, 127},
                      LevelCase{"JustBelowFull", 179, 179, 179, 255, 252},
                      LevelCase{"ColdTopsAreFull", 180, 180, 180, 255, 255},
                      LevelCase{"ATintWithinToleranceIsGrey", 100, 110, 120, 255, 56},
                      LevelCase{"PaletteColoursAreColdestTops", 255, 0, 0, 255, 255}),
    [](const auto& info) { return std::string(info.param.name); });

// A width x height map: the left `gap` share transparent white (no satellite),
// the rest opaque grey `ground`, and its right `cold` share opaque grey `top`.
QImage infraredMap(int width, int height, double gap, double cold, QRgb ground = qRgb(60, 60, 60),
                   QRgb top = qRgb(230, 230, 230)) {
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            row[x] = x < gap * width           ? qRgba(255, 255, 255, 0)
                     : x >= (1 - cold) * width ? top
                                               : ground;
        }
    }
    return image;
}

struct MapCase {
    const char* name;
    QImage picture;
    const char* error; // a part of the refusal; empty: usable
    double coverage;
};

class InfraredMap : public ::testing::TestWithParam<MapCase> {};

TEST_P(InfraredMap, RefusesBlankAndFalseColourReplies) {
    const InfraredCloudMap map = cloudMapFromInfrared(GetParam().picture);
    if (*GetParam().error == '\0') {
        EXPECT_EQ(map.error, "");
        EXPECT_EQ(map.clouds.format(), QImage::Format_Grayscale8);
        EXPECT_EQ(map.clouds.size(), GetParam().picture.size());
    } else {
        EXPECT_NE(map.error.find(GetParam().error), std::string::npos) << map.error;
        EXPECT_TRUE(map.clouds.isNull());
    }
    EXPECT_NEAR(map.coverage, GetParam().coverage, 0.01);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InfraredMap,
    ::testing::Values(
        MapCase{"ThreeSatellitesWithAGap", infraredMap(200, 100, 0.25, 0.25), "", 0.75},
        MapCase{"NoDataAnywhere", infraredMap(200, 100, 1.0, 0.0), "data on 0 %", 0.0},
        MapCase{"ASliverOfData", infraredMap(200, 100, 0.8, 0.0), "data on 20 %", 0.2},
        MapCase{"FalseColourEverywhere", infraredMap(200, 100, 0.0, 0.0, qRgb(0, 120, 255)),
                "full cloud on 100 %", 1.0},
        MapCase{"NoPicture", QImage(), "cannot be decoded", 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

QByteArray png(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

TEST(InfraredFrame, TheKindDecidesWhetherTransparentWhiteIsCloudOrClear) {
    // Left third no data (transparent white), then warm ground, right quarter cold.
    const QByteArray map = png(infraredMap(2048, 1024, 1.0 / 3, 0.25));
    struct Case {
        CloudImageKind kind;
        int gap, ground, cold; // grey levels of the frame at the three parts
    };
    for (const Case& c :
         {Case{CloudImageKind::Infrared, 0, 0, 255}, Case{CloudImageKind::Clouds, 255, 60, 230}}) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        const CloudFrameImage frame =
            cloudFrameFromImage(map, kFrameWidth, kFrameHeight, true, c.kind);
        ASSERT_EQ(frame.error, "");
        EXPECT_TRUE(frame.hiresJpeg.isEmpty()); // 2048 wide: no large copy
        const QImage image = QImage::fromData(frame.jpeg, "JPG");
        ASSERT_EQ(image.size(), QSize(1024, 512));
        EXPECT_NEAR(qGray(image.pixel(170, 256)), c.gap, 6);
        EXPECT_NEAR(qGray(image.pixel(512, 256)), c.ground, 6);
        EXPECT_NEAR(qGray(image.pixel(860, 256)), c.cold, 6);
    }
    // A blank reply of the map service is refused, not stored as a cloudless earth.
    EXPECT_NE(cloudFrameFromImage(png(infraredMap(2048, 1024, 1.0, 0.0)), kFrameWidth, kFrameHeight,
                                  false, CloudImageKind::Infrared)
                  .error.find("data on 0 %"),
              std::string::npos);
}

} // namespace
} // namespace chronvale::imaged
