// What the window's wallpaper shows: the shadow and the clouds over day and night
// whatever the window's Sun Shadow switch, the same files as `chronvale
// --wallpaper` makes from the same settings (run against GSettings' keyfile store
// with the installed schemas), and the cloud frame back after a minimise.

#include "app/cli/wallpaper_command.h"
#include "app/mainwindow/command_ids.h"
#include "app/wallpaper/wallpaper_order.h"
#include "net/cloud_service.h"
#include "render/jpeg_writer.h"
#include "render/qt/wallpaper_credit.h"
#include "support/image_server_process.h"
#include "window_test_support.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <sstream>

namespace chronvale {
namespace {

using test::drainEvents;
using test::waitFor;

// 2026-06-21 06:00:00 UTC: the sun stands over 90° E; midnight is at 90° W.
constexpr std::time_t kSolsticeMorning = 1782021600;
const char* const kFrame = "2026062106";

// A desktop that shows what it is told, spanned like GNOME's.
class ShowingDesktop final : public WallpaperBackend {
public:
    explicit ShowingDesktop(std::shared_ptr<std::vector<std::string>> shown)
        : shown_(std::move(shown)) {}
    std::string name() const override { return "Showing desktop"; }
    std::string key() const override { return "showing"; }
    bool available() const override { return true; }
    bool keepsState() const override { return true; }
    std::optional<DesktopWallpaperState> readState() override {
        return DesktopWallpaperState{"'file:///home/u/own.jpg'", "'zoom'", ""};
    }
    MonitorPictures monitorPictures() const override { return MonitorPictures::Spanned; }
    bool show(const WallpaperFiles& files) override {
        shown_->push_back(files.front().path);
        return true;
    }
    bool restore(const DesktopWallpaperState&) override { return true; }

private:
    std::shared_ptr<std::vector<std::string>> shown_;
};

// A data folder like the source tree's, whose chronvale.ini names `server`.
void makeDataFolder(const QString& folder, const std::string& server) {
    const QDir installed(QStringLiteral(CHRONVALE_SOURCE_DIR "/data"));
    for (const QString& name :
         installed.entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (name != QLatin1String("chronvale.ini")) {
            ASSERT_TRUE(QFile::link(installed.filePath(name), QDir(folder).filePath(name)));
        }
    }
    QFile ini(QDir(folder).filePath(QStringLiteral("chronvale.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(("[General]\nserver=\"" + server + "\"\n").c_str());
}

class WallpaperLookTest : public test::WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // No image server answers there (nor on the shipped port, where another
        // program of this machine might).
        makeDataFolder(data.path(), "127.0.0.1:1");
        dataFolder = data.path();
        clock = [] { return kSolsticeMorning; };
        wallpaperBackend = [this] {
            BackendChoice choice;
            choice.backend = std::make_unique<ShowingDesktop>(shown);
            return choice;
        };
    }
    void toggle() {
        window->runCommand(cmd::WallpaperMode);
        ASSERT_TRUE(waitFor([&] { return !window->wallpaperBusy(); }));
        drainEvents();
    }
    // A cloud frame in the cache: white over the northern half, clear below.
    void cacheCloudFrame() {
        const ImagePtr cloud = createImage(1024, 512, 24, 0);
        for (int y = 0; y < 256; ++y) {
            std::fill_n(cloud->row(y), 1024 * 3, uint8_t{255});
        }
        QDir(userFolder.path()).mkpath(QStringLiteral("cache"));
        ASSERT_TRUE(saveJpegFile(
            cloud.get(),
            userFolder.filePath(QStringLiteral("cache/%1.jpg").arg(kFrame)).toStdString(), 95));
    }
    static QSize screenPixels() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen->geometry().size() * screen->devicePixelRatio();
    }
    // Runs `chronvale --wallpaper` in this process on GNOME's keyfile store.
    int runCommand(const std::vector<WallpaperScreen>& screens, std::string& errors) {
        ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
        ::setenv("XDG_CURRENT_DESKTOP", "GNOME", 1);
        WallpaperOptions options;
        options.screens = screens;
        std::ostringstream out;
        std::ostringstream err;
        const int status = runWallpaperCommand(options, world->folders, out, err, kSolsticeMorning);
        ::unsetenv("XDG_CURRENT_DESKTOP");
        errors = err.str();
        return status;
    }

    QTemporaryDir data;
    std::shared_ptr<std::vector<std::string>> shown = std::make_shared<std::vector<std::string>>();
};

// The brightness (sum of the channels) of the earth at a place of a Fit picture.
int brightness(const EarthImage& image, float longitude, float latitude) {
    const int width = std::min(image.width(), image.height() * 2);
    const int x =
        (image.width() - width) / 2 + static_cast<int>((longitude + 180.0f) / 360.0f * width);
    const int y = (image.height() - width / 2) / 2 +
                  static_cast<int>((90.0f - latitude) / 180.0f * width / 2);
    const uint32_t p = getPixel(&image, x, y);
    return static_cast<int>((p >> 16) + ((p >> 8) & 0xFF) + (p & 0xFF));
}

TEST_F(WallpaperLookTest, CloudsOnAndSunShadowOffStillShowTheShadowAndTheClouds) {
    cacheCloudFrame();
    start([](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.clouds = true;
        w.settings.switches.sunShadow = false;
        w.frames[0].t = kFrame;
    });
    toggle();
    ASSERT_EQ(shown->size(), 1u);
    const ImagePtr picture = loadImage(shown->front());
    ASSERT_TRUE(picture);
    const struct {
        float longitude;
        float latitude;
        int least;
        int most;
    } places[] = {
        {90.0f, 45.0f, 690, 765}, // noon under the clouds: white
        {90.0f, -45.0f, 60, 500}, // noon over the clear sea: the day map
        {-90.0f, -45.0f, 0, 60},  // midnight, clear: the shadow
        {-90.0f, 45.0f, 60, 400}, // midnight under the clouds: faint grey
    };
    for (const auto& place : places) {
        const int b = brightness(*picture, place.longitude, place.latitude);
        EXPECT_GE(b, place.least) << place.longitude << ", " << place.latitude;
        EXPECT_LE(b, place.most) << place.longitude << ", " << place.latitude;
    }
}

// The cloud source's credit in the earth's lower left corner while clouds are
// shown (the default credit: no server named one), none without them.
struct CreditCase {
    const char* name;
    bool clouds;
};

class WallpaperCreditTest : public WallpaperLookTest,
                            public ::testing::WithParamInterface<CreditCase> {};

TEST_P(WallpaperCreditTest, TheCreditLineIsInTheCornerOnlyWithClouds) {
    const CreditCase& c = GetParam();
    cacheCloudFrame();
    start([&c](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.clouds = c.clouds;
        w.frames[0].t = kFrame;
    });
    toggle();
    ASSERT_EQ(shown->size(), 1u);
    const ImagePtr picture = loadImage(shown->front());
    ASSERT_TRUE(picture);
    const PixelRect earth =
        placeEarth(picture->width(), picture->height(), WallpaperPlacement::Fit, 0.0).earth;
    const PixelRect plate = wallpaperCreditPlate(earth, kDefaultCloudCredit);
    ASSERT_GT(plate.width, 0);
    // The corner lies in the polar night: only the letters are light there.
    int light = 0;
    for (int y = plate.y; y < plate.y + plate.height; ++y) {
        for (int x = plate.x; x < plate.x + plate.width; ++x) {
            const uint32_t p = getPixel(picture.get(), x, y);
            light += (p >> 16) + ((p >> 8) & 0xFF) + (p & 0xFF) > 450 ? 1 : 0;
        }
    }
    if (c.clouds) {
        EXPECT_GT(light, plate.height * 10);
    } else {
        EXPECT_EQ(light, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Table, WallpaperCreditTest,
                         ::testing::Values(CreditCase{"CloudsOn", true},
                                           CreditCase{"CloudsOff", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WallpaperLookTest, AfterAMinimiseTheCloudFrameIsBackWithTheOtherImages) {
    cacheCloudFrame();
    start([](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.clouds = true;
        w.frames[0].t = kFrame;
    });
    window->cloudService().setCurrentFrame(0);
    world->compositor.setCloudImage(
        loadImage(userFolder.filePath(QStringLiteral("cache/%1.jpg").arg(kFrame)).toStdString()));
    window->showMinimized();
    drainEvents();
    ASSERT_EQ(world->compositor.cloudImage(), nullptr); // freed with the others
    window->showNormal();
    ASSERT_TRUE(waitFor([&] { return world->compositor.dayImage() != nullptr; }));
    ASSERT_NE(world->compositor.cloudImage(), nullptr);
    EXPECT_EQ(world->compositor.cloudImage()->width(), 1024);
}

struct LookCase {
    const char* name;
    int placement;
    float centre;
    bool grid;
    bool marks;
    bool clouds;
};

class SameFilesTest : public WallpaperLookTest, public ::testing::WithParamInterface<LookCase> {};

TEST_P(SameFilesTest, TheWindowAndTheCommandWriteTheSameFile) {
    const LookCase& c = GetParam();
    cacheCloudFrame();
    start([&c](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.clouds = c.clouds;
        w.settings.switches.grid = c.grid;
        w.settings.switches.markedCities = c.marks;
        w.settings.wallpaperPlacement = c.placement;
        w.settings.wallpaperCentre = c.centre;
        w.frames[0].t = kFrame;
        for (std::size_t i = 0; c.marks && i < 3; ++i) {
            w.markCity(i * 7, true);
        }
    });
    toggle();
    ASSERT_EQ(shown->size(), 1u);
    QFile windowFile(QString::fromStdString(shown->front()));
    ASSERT_TRUE(windowFile.open(QIODevice::ReadOnly));
    const QByteArray windowBytes = windowFile.readAll();
    windowFile.close();
    toggle(); // off: the command switches it on for GNOME
    ASSERT_TRUE(world->saveAll());

    const QSize screen = screenPixels();
    std::string errors;
    ASSERT_EQ(runCommand({{0, 0, screen.width(), screen.height(), {}}}, errors), 0) << errors;
    QFile commandFile(userFolder.filePath(QStringLiteral("Wallpaper-a.jpg")));
    ASSERT_TRUE(commandFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(commandFile.readAll() == windowBytes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SameFilesTest,
    ::testing::Values(LookCase{"FitGreenwich", 0, 0.0f, false, false, false},
                      LookCase{"FillDateLineGridMarks", 1, 180.0f, true, true, false},
                      LookCase{"FitCloudsCentre", 0, -74.0f, true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// The command gets the newest frame as the window does: from the server named in
// the installation's chronvale.ini, into the cache, asking for its 4096 copy for
// a picture larger than the 1024 x 512 map.
TEST_F(WallpaperLookTest, TheCommandFetchesTheNewestCloudFrameLikeTheWindow) {
    QTemporaryDir serverFolder;
    test::ImageServerProcess server(serverFolder.path(), {QStringLiteral("--demo")});
    ASSERT_TRUE(server.started());
    QTemporaryDir served;
    makeDataFolder(served.path(), server.host());
    dataFolder = served.path();
    start([](World& w) {
        w.settings.switches.dayMap = true;
        w.settings.switches.clouds = true;
    });
    ASSERT_TRUE(world->saveAll());
    std::string errors;
    ASSERT_EQ(runCommand({{0, 0, 1920, 1080, {}}}, errors), 0) << errors;
    // The newest frame is in the cache; the demo server has no 4096 copy of it and
    // says so by sending the frame itself, which is not kept as a copy.
    const QStringList cached =
        QDir(userFolder.filePath(QStringLiteral("cache"))).entryList({QStringLiteral("*.jpg")});
    EXPECT_EQ(cached.size(), 1) << cached.join(' ').toStdString();
    EXPECT_EQ(server.requests(QStringLiteral("w=4096")), 1) << server.log().toStdString();
    EXPECT_GE(server.requests(QStringLiteral("checkonly=1")), 1) << server.log().toStdString();
    // The picture carries the demo server's credit, which is longer than the
    // default one: its letters go on where the default's plate ends.
    const ImagePtr picture =
        loadImage(userFolder.filePath(QStringLiteral("Wallpaper-a.jpg")).toStdString());
    ASSERT_TRUE(picture);
    const PixelRect earth = placeEarth(1920, 1080, WallpaperPlacement::Fit, 0.0).earth;
    const PixelRect fallback = wallpaperCreditPlate(earth, kDefaultCloudCredit);
    const PixelRect demo =
        wallpaperCreditPlate(earth, "DEMO: made-up clouds, not satellite images");
    ASSERT_GT(demo.width, fallback.width + 20);
    int light = 0;
    for (int y = demo.y; y < demo.y + demo.height; ++y) {
        for (int x = fallback.x + fallback.width + 2; x < demo.x + demo.width; ++x) {
            const uint32_t p = getPixel(picture.get(), x, y);
            light += (p >> 16) + ((p >> 8) & 0xFF) + (p & 0xFF) > 450 ? 1 : 0;
        }
    }
    EXPECT_GT(light, demo.height * 3);
}

} // namespace
} // namespace chronvale
