#include "render/map_view.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

MapView viewWithPane(int width, int height) {
    MapView view;
    view.mapArea = PaneRect{10, 40, width, height};
    return view;
}

// A map whose pixel (x, y) holds blue = x & 255, green = x >> 8, red = y & 255.
ImagePtr coordinateMap(int width, int height) {
    ImagePtr image = createImage(width, height, 24, 256);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image->row(y) + x * 3;
            p[0] = static_cast<uint8_t>(x & 255);
            p[1] = static_cast<uint8_t>(x >> 8);
            p[2] = static_cast<uint8_t>(y & 255);
        }
    }
    return image;
}

TEST(MapView, ProjectsTheMapEdgesAndCentre) {
    MapView view = viewWithPane(1024, 512);
    EXPECT_EQ(view.mapToPane(-180.0f, 90.0f), (Point{0, 0}));
    EXPECT_EQ(view.mapToPane(0.0f, 0.0f), (Point{512, 256}));
    EXPECT_EQ(view.mapToPane(180.0f, -90.0f), (Point{1024, 512}));
    EXPECT_EQ(view.mapToScreen(0.0f, 0.0f), (Point{522, 296})) << "offset by the pane's origin";

    // At scale 2 with pan (100, 50) map pixel (150, 80) is drawn at pane (100, 60).
    view.scale = 2.0f;
    view.panX = 100;
    view.panY = 50;
    const float longitude = -127.265625f; // 150 * 360 / 1024 - 180
    const float latitude = 61.875f;       // 90 - 80 * 180 / 512
    EXPECT_EQ(view.mapToPane(longitude, latitude), (Point{100, 60}));
    view.dragX = 10;
    EXPECT_EQ(view.mapToPane(longitude, latitude), (Point{80, 60})) << "the drag adds to the pan";
}

TEST(MapView, ReadsBackSourcePixelsAndCoordinates) {
    MapView view = viewWithPane(800, 400);
    view.scale = 2.0f;
    view.panX = 100;
    view.panY = 20;
    EXPECT_EQ(view.screenToSource(5, 3), (Point{102, 21}));
    LonLat here = view.screenToLonLat(0, 0);
    EXPECT_FLOAT_EQ(here.longitude, 100.0f * 360.0f / 1024.0f - 180.0f);
    EXPECT_FLOAT_EQ(here.latitude, 90.0f - 20.0f * 180.0f / 512.0f);

    view.scale = 0.5f;
    LonLat beyond = view.screenToLonLat(4000, 4000);
    EXPECT_EQ(beyond.longitude, 180.0f) << "longitude is clamped";
    EXPECT_EQ(beyond.latitude, -90.0f) << "latitude is clamped";

    view.scale = 1.0f;
    EXPECT_NEAR(view.kmPerPixel(), 39.14f, 0.005f);
}

TEST(MapView, NearestCityTakesTheFirstOfEqualDistances) {
    CityList cities(4);
    cities[0].longitude = 100.0f;  // far east
    cities[1].longitude = -11.25f; // map x 480
    cities[2].longitude = 11.25f;  // map x 544: as near as cities[1], later in the list
    cities[3].longitude = -100.0f;
    MapView view = viewWithPane(1024, 512);
    const Point centre = view.mapToPane(0.0f, 0.0f);
    std::optional<CityHit> hit = view.nearestCity(cities, centre.x, centre.y);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->index, 1u);
    EXPECT_EQ(hit->distance, 32);

    EXPECT_FALSE(view.nearestCity({}, 0, 0)) << "no city in an empty list";
    view.scale = 20.0f;
    EXPECT_FALSE(view.nearestCity(cities, 0, 100000)) << "nothing within 9999 pixels";
}

TEST(MapView, ZoomAboutAPointKeepsTheMapPointUnderIt) {
    MapView view = viewWithPane(800, 400);
    view.panX = 100;
    view.panY = 50;
    const Point pointer{400, 200};
    EXPECT_EQ(view.screenToSource(pointer.x, pointer.y), (Point{500, 250}));
    view.zoomAbout(pointer, 2.0f);
    EXPECT_EQ(view.scale, 2.0f);
    EXPECT_EQ(view.panX, 300);
    EXPECT_EQ(view.panY, 150);
    EXPECT_EQ(view.screenToSource(pointer.x, pointer.y), (Point{500, 250}));

    // Two notches of the wheel out, about another point: 1.8, the point stays.
    const Point corner{700, 100};
    const Point under = view.screenToSource(corner.x, corner.y);
    view.zoomWheel(corner, -240);
    EXPECT_FLOAT_EQ(view.scale, 1.8f);
    const Point after = view.screenToSource(corner.x, corner.y);
    EXPECT_LE(std::abs(after.x - under.x), 1);
    EXPECT_LE(std::abs(after.y - under.y), 1);

    // The pan stays on the map: no gap before its start or after its end.
    view.zoomAbout(Point{0, 0}, 1.0f);
    view.panX = view.panY = 0;
    view.zoomAbout(Point{0, 0}, 0.5f);
    EXPECT_EQ(view.panX, 0);
    EXPECT_EQ(view.panY, 0);
    view.zoomAbout(Point{799, 399}, 4.0f);
    EXPECT_EQ(view.panX, 1024 - 200); // the map's east end at the pane's right edge
    EXPECT_EQ(view.panY, 512 - 100);
    view.zoomAbout(Point{799, 399}, 1.0f);
    EXPECT_EQ(view.panX, 1024 - 800);
    EXPECT_EQ(view.panY, 512 - 400);
    EXPECT_FALSE(view.userZoomed) << "the controller decides what a zoom holds against";
}

TEST(MapView, ZoomStepsKeepThePanesCentre) {
    MapView view = viewWithPane(1000, 500);
    const Point centre{500, 250};
    view.zoomIn();
    view.zoomIn();
    EXPECT_FLOAT_EQ(view.scale, 1.2f);
    Point under = view.screenToSource(centre.x, centre.y);
    EXPECT_LE(std::abs(under.x - 500), 1);
    EXPECT_LE(std::abs(under.y - 250), 1);
    view.zoomOut();
    under = view.screenToSource(centre.x, centre.y);
    EXPECT_LE(std::abs(under.x - 500), 1);
    EXPECT_LE(std::abs(under.y - 250), 1);
}

TEST(MapView, ZoomStepsKeepTheMinimum) {
    MapView view = viewWithPane(1024, 512);
    view.zoomIn();
    EXPECT_FLOAT_EQ(view.scale, 1.1f);
    view.scale = 0.25f;
    view.zoomOut();
    EXPECT_EQ(view.scale, 0.2f);
    view.zoomOut();
    EXPECT_EQ(view.scale, 0.2f);

    view.panX = 30;
    view.actualPixels();
    EXPECT_EQ(view.scale, 1.0f);
    EXPECT_EQ(view.panX, 0);
    EXPECT_TRUE(view.userZoomed);

    view.mapArea.width = 1536;
    view.panY = 7;
    view.fitToScreen();
    EXPECT_EQ(view.scale, 1.5f);
    EXPECT_EQ(view.zoomStartScale, 1.5f);
    EXPECT_EQ(view.panY, 0);
    EXPECT_FALSE(view.userZoomed);
    view.mapArea.width = 0;
    view.fitToScreen();
    EXPECT_EQ(view.scale, 0.2f) << "a collapsed pane must not give scale 0";

    view.restore(5000, -3, 0.05f);
    EXPECT_EQ(view.panX, 1023);
    EXPECT_EQ(view.panY, 0);
    EXPECT_EQ(view.scale, 0.2f);
}

TEST(MapView, PanDragStopsAtBothEnds) {
    MapView view = viewWithPane(800, 400);
    view.beginPan({500, 300});
    EXPECT_TRUE(view.movePan({0, 300})) << "dragging left moves the map";
    EXPECT_EQ(view.dragX, 224) << "the map's right edge meets the pane's right edge";
    EXPECT_FALSE(view.movePan({-300, 300})) << "further left changes nothing";
    EXPECT_TRUE(view.movePan({450, 200}));
    EXPECT_EQ(view.dragX, 50);
    EXPECT_EQ(view.dragY, 100);
    view.endPan();
    EXPECT_EQ(view.panX, 50);
    EXPECT_EQ(view.panY, 100);
    EXPECT_EQ(view.dragX, 0);
    EXPECT_FALSE(view.panning());

    view.beginPan({0, 0});
    view.movePan({400, 500});
    EXPECT_EQ(view.offX(), 0) << "dragging right stops at pan 0";
    EXPECT_EQ(view.offY(), 0);
    view.movePan({-2000, -2000});
    EXPECT_EQ(view.offY(), 112) << "bottom edge meets the pane's bottom";
    view.endPan();

    // At scale 2 the mouse moves the map twice as far; the clamp works in map pixels.
    MapView zoomed = viewWithPane(800, 400);
    zoomed.scale = 2.0f;
    zoomed.beginPan({0, 0});
    zoomed.movePan({-5000, 0});
    EXPECT_EQ(zoomed.dragX, 624) << "(1024 * 2 - 800) / 2";

    // A pane larger than the map: the map stays at its start.
    MapView wide = viewWithPane(2000, 1000);
    wide.beginPan({0, 0});
    EXPECT_FALSE(wide.movePan({-50, -50}));
    EXPECT_EQ(wide.offX(), 0);
}

TEST(MapView, ZoomDragMeasuresFromTheStartAndTellsClicks) {
    MapView view = viewWithPane(800, 400);
    view.beginZoomDrag({100, 100});
    view.moveZoomDrag({150, 100});
    view.moveZoomDrag({200, 100});
    EXPECT_EQ(view.scale, 1.5f);
    EXPECT_TRUE(view.userZoomed);
    EXPECT_FALSE(view.endZoomDrag({200, 100})) << "a drag is not a click";
    EXPECT_EQ(view.zoomStartScale, 1.5f);

    MapView still = viewWithPane(800, 400);
    still.beginZoomDrag({100, 100});
    EXPECT_TRUE(still.endZoomDrag({100, 100})) << "a still right click opens the menu";
    still.beginZoomDrag({100, 100});
    still.moveZoomDrag({103, 104});
    EXPECT_TRUE(still.endZoomDrag({103, 104})) << "one change and 5 pixels is still a click";

    // Zooming out far leaves the scale where the map still fills the pane's width.
    MapView out = viewWithPane(800, 400);
    out.panX = 24;
    out.beginZoomDrag({500, 0});
    out.moveZoomDrag({0, 0});
    EXPECT_EQ(out.scale, 0.8f) << "800 / (1024 - 24)";
    MapView narrow = viewWithPane(100, 50);
    narrow.beginZoomDrag({500, 0});
    narrow.moveZoomDrag({0, 0});
    EXPECT_EQ(narrow.scale, 0.2f);
}

TEST(MapView, CropsTheLitMapAndReusesItWhenNothingChanged) {
    ImagePtr map = coordinateMap(1024, 512);
    MapView view = viewWithPane(300, 200);
    view.scale = 2.0f;
    view.panX = 10;
    view.panY = 20;
    EXPECT_TRUE(view.updateView(*map));
    ASSERT_TRUE(view.viewImage);
    EXPECT_EQ(view.viewImage->width(), 300);
    EXPECT_EQ(view.viewImage->height(), 200);
    EXPECT_EQ(view.rowsFilled, 200);
    EXPECT_EQ(view.colsFilled, 300);
    EXPECT_EQ(getPixel(view.viewImage.get(), 0, 0), getPixel(map.get(), 10, 20));
    EXPECT_EQ(getPixel(view.viewImage.get(), 5, 7), getPixel(map.get(), 12, 23));
    EXPECT_EQ(getPixel(view.viewImage.get(), 299, 199), getPixel(map.get(), 159, 119));

    const EarthImage* crop = view.viewImage.get();
    EXPECT_FALSE(view.updateView(*map)) << "nothing changed: no new crop";
    EXPECT_EQ(view.viewImage.get(), crop);
    view.dirty = true;
    EXPECT_TRUE(view.updateView(*map)) << "a new lit map is cropped again";
    EXPECT_FALSE(view.dirty);
    view.dragX = 1;
    EXPECT_TRUE(view.updateView(*map)) << "a drag moves the crop";
    view.mapArea.left = 11;
    EXPECT_TRUE(view.updateView(*map)) << "a moved pane is cropped again";
    view.releaseView();
    EXPECT_TRUE(view.updateView(*map)) << "a released view is cropped again";
}

TEST(MapView, PaneLargerThanTheMapStaysBlackBeyondIt) {
    ImagePtr map = coordinateMap(1024, 512);
    MapView view = viewWithPane(1300, 600);
    view.panX = 100;
    view.updateView(*map);
    EXPECT_EQ(view.colsFilled, 924);
    EXPECT_EQ(view.rowsFilled, 512);
    EXPECT_EQ(getPixel(view.viewImage.get(), 923, 511), getPixel(map.get(), 1023, 511));
    EXPECT_EQ(getPixel(view.viewImage.get(), 924, 0), 0u) << "right of the map is black";
    EXPECT_EQ(getPixel(view.viewImage.get(), 0, 512), 0u) << "below the map is black";

    view.scale = 0.5f;
    view.panX = 0;
    view.updateView(*map);
    EXPECT_EQ(view.colsFilled, 512) << "at half scale the map ends half way";
    EXPECT_EQ(view.rowsFilled, 256);
    EXPECT_EQ(getPixel(view.viewImage.get(), 511, 255), getPixel(map.get(), 1022, 510));
}

} // namespace
} // namespace chronvale
