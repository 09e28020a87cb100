// The pane at device resolution: zoomed and high-density panes paint the detail of
// the high-resolution images, the map's own pixels need none, and a bad image is
// named once while the 1024 x 512 one serves.

#include "app/mainwindow/detailed_view.h"
#include "core/load_errors.h"
#include "render/compositor.h"
#include "render/qt/map_painter.h"
#include "render_test_images.h"
#include "support/scratch.h"

#include <QGuiApplication>
#include <QPainter>
#include <filesystem>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

namespace fs = std::filesystem;

// A grey earth; the high-resolution day image has a red block of 16 x 16 pixels
// (4 x 4 map pixels) at map pixel (512, 128) that the 1024 x 512 image lacks.
class DetailedViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const ImagePtr grey = test::solidImage(1024, 512, 60, 60, 60);
        ImagePtr fine = test::solidImage(kDetailedWidth, kDetailedHeight, 60, 60, 60);
        for (int r = 512; r < 528; ++r) {
            for (int x = 2048; x < 2064; ++x) {
                setPixel(fine.get(), x, r, 0xFF0000);
            }
        }
        folder_ = new test::ScratchDir;
        fs::create_directories(folder_->path() / "images/hires");
        for (const char* name : {kDayImageName, kNightImageName, kTimeZoneImageName}) {
            ASSERT_TRUE(saveBmpFile(grey.get(), folder_->file(name)));
        }
        test::writeFile(folder_->file(kDetailedDayImageName), test::makeJpeg(*fine));
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }

    void SetUp() override {
        switches.dayMap = true;
        compositor.loadEarthImages(switches, 0);
    }

    // The pane (200 x 100 at scale `scale`, map pixel (500, 120) at its top-left)
    // painted at `ratio` device pixels per pane pixel.
    QImage paint(DetailedView& view, float scale, double ratio) {
        MapView mapView;
        mapView.mapArea = PaneRect{0, 0, 200, 100};
        mapView.scale = scale;
        mapView.panX = 500;
        mapView.panY = 120;
        const QImage& detailed = view.update(mapView, ratio, switches, 0, compositor, true);
        MapPaintInputs inputs;
        inputs.litMap = compositor.litMap();
        inputs.detailed = detailed.isNull() ? nullptr : &detailed;
        QImage out(qRound(200 * ratio), qRound(100 * ratio), QImage::Format_RGB32);
        out.setDevicePixelRatio(ratio);
        out.fill(Qt::black);
        QPainter painter(&out);
        MapPainter().paintMap(painter, mapView, inputs);
        return out;
    }

    static int redPixels(const QImage& image) {
        int count = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.red() > 180 && c.green() < 90;
            }
        }
        return count;
    }

    static test::ScratchDir* folder_;
    RecordingLoadErrorSink errors;
    Compositor compositor{folder_->path().string(), errors};
    DisplaySwitches switches;
    std::vector<std::string> notes;
    DetailedView view{folder_->path().string(),
                      [this](const std::string& file) { notes.push_back(file); }};
};

test::ScratchDir* DetailedViewTest::folder_ = nullptr;

TEST_F(DetailedViewTest, DevicePixelsShowTheHighResolutionDetail) {
    struct Case {
        float scale;
        double ratio;
        int minimumRed; // device pixels of the block
    };
    const Case cases[] = {
        {4.0f, 1.0, 12 * 12}, // zoomed in on a plain screen: 16 x 16 device pixels
        {1.0f, 2.0, 6 * 6},   // the whole map's density on a scale-2 screen: 8 x 8
        {2.0f, 2.0, 12 * 12}, // both: 32 x 32
    };
    for (const Case& c : cases) {
        const QImage pane = paint(view, c.scale, c.ratio);
        EXPECT_GE(redPixels(pane), c.minimumRed) << c.scale << " x " << c.ratio;
    }
    EXPECT_TRUE(notes.empty()) << "no shadow: the night image is not asked for";
}

TEST_F(DetailedViewTest, MapPixelsNeedNoHighResolutionImages) {
    EXPECT_FALSE(DetailedView::requestFor(MapView{}, 1.0));
    const QImage pane = paint(view, 1.0f, 1.0);
    EXPECT_EQ(redPixels(pane), 0) << "the 1024 x 512 crop, which has no red block";
    EXPECT_TRUE(notes.empty()) << "nothing decoded, nothing to report";
}

TEST_F(DetailedViewTest, BadImageIsNamedOnceAndTheMapImageServes) {
    const test::ScratchDir other;
    fs::create_directories(other.path() / "images/hires");
    test::writeFile(other.file(kDetailedDayImageName), test::Bytes{0xFF, 0xD8, 0xFF});
    DetailedView broken(other.path().string(),
                        [this](const std::string& file) { notes.push_back(file); });
    for (const float scale : {4.0f, 3.0f}) {
        const QImage pane = paint(broken, scale, 1.0);
        EXPECT_EQ(redPixels(pane), 0);
        EXPECT_EQ(pane.pixelColor(10, 10), QColor(60, 60, 60)) << "composed from the map image";
    }
    EXPECT_EQ(notes, std::vector<std::string>{kDetailedDayImageName});
}

TEST_F(DetailedViewTest, ShownCloudsComeFromTheLargeFrameWhereGiven) {
    // The 1024 frame is clear sky; the 4096 copy has a white block at map pixel
    // (520, 130), inside the 200 x 100 pane at scale 4.
    compositor.setCloudImage(test::solidImage(1024, 512, 0, 0, 0));
    ImagePtr large = test::solidImage(4096, 2048, 0, 0, 0);
    for (int r = 520; r < 536; ++r) {
        for (int x = 2080; x < 2096; ++x) {
            setPixel(large.get(), x, r, 0xFFFFFF);
        }
    }
    struct Case {
        const char* what;
        bool clouds;
        float scale;
        bool given; // the large frame is there
        int asked;
        bool white;
    };
    const Case cases[] = {
        {"zoomed with clouds", true, 4.0f, true, 1, true},
        {"not there yet: the 1024 frame", true, 4.0f, false, 1, false},
        {"no clouds shown", false, 4.0f, true, 0, false},
        {"the map's own pixels", true, 1.0f, true, 0, false},
    };
    for (const Case& c : cases) {
        DisplaySwitches on = switches;
        on.clouds = c.clouds;
        MapView mapView;
        mapView.mapArea = PaneRect{0, 0, 200, 100};
        mapView.scale = c.scale;
        mapView.panX = 500;
        mapView.panY = 120;
        int asked = 0;
        const QImage& image =
            view.update(mapView, 1.0, on, 0, compositor, true, [&]() -> const EarthImage* {
                ++asked;
                return c.given ? large.get() : nullptr;
            });
        EXPECT_EQ(asked, c.asked) << c.what;
        int white = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                white += qGray(image.pixel(x, y)) > 200;
            }
        }
        EXPECT_EQ(white > 0, c.white) << c.what;
    }
}

} // namespace
} // namespace chronvale
