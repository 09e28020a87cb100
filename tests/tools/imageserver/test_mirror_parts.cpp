// The mirror's parts: fetching with libcurl against a loopback stand-in, the
// cloud map conversion, the pull schedule, the feed check and the credits.

#include "cloud_map.h"
#include "credits.h"
#include "demo.h"
#include "fetch.h"
#include "frame_folder.h"
#include "http_date.h"
#include "mirror.h"
#include "pull_schedule.h"
#include "support/upstream_server.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale::imaged {
namespace {

using std::chrono::seconds;
using test::serveFile;
using test::UpstreamServer;

// A greyscale world map, white in the western half and black in the eastern one.
QByteArray worldMap(int width, int height, const char* format = "JPG") {
    QImage image(width, height, QImage::Format_Grayscale8);
    image.fill(0);
    for (int y = 0; y < height; ++y) {
        std::memset(image.scanLine(y), 255, static_cast<size_t>(width / 2));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

TEST(CloudMap, AnyWorldMapBecomesA1024By512Frame) {
    for (const char* format : {"JPG", "PNG"}) {
        const CloudFrameImage frame = cloudFrameFromImage(worldMap(2048, 1024, format));
        ASSERT_EQ(frame.error, "") << format;
        EXPECT_TRUE(frame.jpeg.startsWith("\xFF\xD8\xFF"));
        EXPECT_EQ(frame.sourceWidth, 2048);
        const QImage image = QImage::fromData(frame.jpeg, "JPG");
        ASSERT_EQ(image.size(), QSize(1024, 512));
        EXPECT_GT(qGray(image.pixel(100, 256)), 240);
        EXPECT_LT(qGray(image.pixel(900, 256)), 15);
    }
    EXPECT_EQ(QImage::fromData(cloudFrameFromImage(worldMap(512, 256)).jpeg).size(),
              QSize(1024, 512));
}

TEST(CloudMap, RefusesWhatIsNoWorldMap) {
    EXPECT_NE(cloudFrameFromImage("<!DOCTYPE html><html><body>Moved</body></html>")
                  .error.find("HTML page"),
              std::string::npos);
    const QByteArray jpeg = worldMap(2048, 1024);
    EXPECT_NE(cloudFrameFromImage(jpeg.left(jpeg.size() / 2)).error, "");
    EXPECT_NE(cloudFrameFromImage(worldMap(1000, 1000)).error.find("1000 x 1000"),
              std::string::npos);
    EXPECT_NE(cloudFrameFromImage({}).error, "");
    EXPECT_NE(cloudFrameFromImage("<?xml version=\"1.0\"?><ServiceExceptionReport>")
                  .error.find("XML document"),
              std::string::npos);
}

TEST(CloudMap, FramesAreNamedByTheirThreeHourSlot) {
    EXPECT_EQ(slotTimeStamp(1709624400), "2024030506"); // 07:40 UTC
    EXPECT_EQ(slotTimeStamp(1709596800), "2024030500"); // 00:00 exactly
    EXPECT_EQ(slotTimeStamp(1709596799), "2024030421"); // 23:59:59 the day before
    EXPECT_EQ(httpDate(1709624400), "Tue, 05 Mar 2024 07:40:00 GMT");
}

TEST(PullSchedule, FollowsTheSourcesRenewalAndBacksOff) {
    using Clock = PullSchedule::Clock;
    const Clock::time_point now = Clock::from_time_t(1709624400);
    PullSchedule schedule(seconds(3 * 3600), seconds(60), seconds(3600));
    EXPECT_LE(schedule.next(), Clock::now()); // due at once

    // Renewed 40 minutes ago: the next pull follows 3 hours after it, plus 5 minutes.
    schedule.succeeded(now, now - seconds(2400));
    EXPECT_EQ(schedule.next(), now - seconds(2400) + seconds(3 * 3600 + 300));
    // A source that is late is asked again in a twelfth of the period.
    schedule.succeeded(now, now - seconds(5 * 3600));
    EXPECT_EQ(schedule.next(), now + seconds(900));
    schedule.succeeded(now);
    EXPECT_EQ(schedule.next(), now + seconds(3 * 3600));

    std::vector<long> delays;
    for (int i = 0; i < 9; ++i) {
        delays.push_back(static_cast<long>(schedule.failed(now).count() / 60));
    }
    EXPECT_EQ(delays, (std::vector<long>{1, 2, 4, 8, 16, 32, 60, 60, 60}));
    EXPECT_EQ(schedule.next(), now + seconds(3600));
    schedule.succeeded(now);
    EXPECT_EQ(schedule.failed(now), seconds(60));
}

TEST(QuakeFeedCheck, TakesOnlyGeoJsonFeatureCollections) {
    std::string reason;
    EXPECT_EQ(validateQuakeFeed(demoQuakeGeoJson(1709600000), reason).value_or(-1) > 0, true);
    EXPECT_EQ(validateQuakeFeed(R"({"type":"FeatureCollection","features":[]})", reason), 0);
    EXPECT_FALSE(validateQuakeFeed(R"({"type":"FeatureCollection","features":[{"ty)", reason));
    EXPECT_NE(reason.find("not JSON"), std::string::npos);
    EXPECT_FALSE(validateQuakeFeed("<html><body>Service unavailable</body></html>", reason));
    EXPECT_NE(reason.find("HTML"), std::string::npos);
    EXPECT_FALSE(validateQuakeFeed(R"({"type":"Feature","features":[]})", reason));
    EXPECT_FALSE(validateQuakeFeed(R"({"type":"FeatureCollection","features":7})", reason));
    EXPECT_FALSE(validateQuakeFeed("[]", reason));
}

class Fetch : public ::testing::Test {
protected:
    void SetUp() override {
        initFetching();
        auto& routes = upstream.routes();
        routes.Get("/map.jpg",
                   serveFile(body, "image/jpeg", "Tue, 05 Mar 2024 07:40:00 GMT", "\"v1\""));
        routes.Get("/broken", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
            response.set_content("Internal error", "text/plain");
        });
        routes.Get("/moved", [](const httplib::Request&, httplib::Response& response) {
            response.set_redirect("/map.jpg", 302);
        });
        // Promises 1000 bytes and closes the connection after 100.
        routes.Get("/truncated", [](const httplib::Request&, httplib::Response& response) {
            response.set_content_provider(1000, "image/jpeg",
                                          [](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset > 0) {
                                                  return false;
                                              }
                                              const std::string part(100, 'x');
                                              sink.write(part.data(), part.size());
                                              return true;
                                          });
        });
        routes.Get("/endless", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider("image/jpeg",
                                                  [](size_t, httplib::DataSink& sink) {
                                                      const std::string part(4096, 'x');
                                                      return sink.write(part.data(), part.size());
                                                  });
        });
        ASSERT_TRUE(upstream.start());
    }

    FetchRequest request(const std::string& path) {
        FetchRequest out;
        out.url = upstream.url(path);
        out.connectTimeoutSeconds = 5;
        out.timeoutSeconds = 20;
        return out;
    }

    QByteArray body = QByteArray(5000, 'b');
    UpstreamServer upstream;
};

TEST_F(Fetch, GetsBodyAndValidatorsAndHonoursConditionalRequests) {
    FetchResult reply = fetchUrl(request("/map.jpg"));
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.body, body);
    EXPECT_EQ(reply.lastModified.value_or(0), 1709624400);
    EXPECT_EQ(reply.etag, "\"v1\"");

    FetchRequest again = request("/map.jpg");
    again.ifModifiedSince = 1709624400;
    reply = fetchUrl(again);
    EXPECT_TRUE(reply.ok && reply.notModified);
    EXPECT_TRUE(reply.body.isEmpty());
    // The stand-in records a request once its reply is sent, maybe after it
    // arrived, and the two connections may be recorded in either order.
    ASSERT_TRUE(upstream.waitForRequests("/map.jpg", 2));
    const auto seen = upstream.requests("/map.jpg");
    EXPECT_EQ(std::count_if(seen.begin(), seen.end(),
                            [](const test::UpstreamRequest& r) {
                                return r.ifModifiedSince == "Tue, 05 Mar 2024 07:40:00 GMT" &&
                                       r.status == 304;
                            }),
              1);

    again.ifModifiedSince.reset();
    again.etag = "\"v1\"";
    EXPECT_TRUE(fetchUrl(again).notModified);
    again.etag = "\"v0\"";
    EXPECT_EQ(fetchUrl(again).body, body);

    reply = fetchUrl(request("/moved"));
    EXPECT_TRUE(reply.ok);
    EXPECT_EQ(reply.body, body);
}

TEST_F(Fetch, FailsOnErrorsTruncationAndOversizedReplies) {
    FetchResult reply = fetchUrl(request("/broken"));
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.status, 500);
    EXPECT_EQ(reply.error, "HTTP status 500");
    EXPECT_FALSE(fetchUrl(request("/missing")).ok);

    reply = fetchUrl(request("/truncated"));
    EXPECT_FALSE(reply.ok);
    EXPECT_FALSE(reply.error.empty());

    FetchRequest limited = request("/map.jpg"); // refused on its Content-Length
    limited.maxBytes = 4999;
    reply = fetchUrl(limited);
    EXPECT_FALSE(reply.ok);
    EXPECT_NE(reply.error.find("larger than the limit"), std::string::npos);
    EXPECT_TRUE(reply.body.isEmpty());
    limited.maxBytes = 5000;
    EXPECT_TRUE(fetchUrl(limited).ok);

    limited = request("/endless"); // no length: cut off while it arrives
    limited.maxBytes = 100000;
    reply = fetchUrl(limited);
    EXPECT_FALSE(reply.ok);
    EXPECT_NE(reply.error.find("larger than the limit"), std::string::npos);

    const int port = upstream.port();
    upstream.stop();
    FetchRequest dead;
    dead.url = "http://127.0.0.1:" + std::to_string(port) + "/map.jpg";
    dead.connectTimeoutSeconds = 5;
    reply = fetchUrl(dead);
    EXPECT_FALSE(reply.ok);
    EXPECT_EQ(reply.status, 0);
    EXPECT_FALSE(reply.error.empty());

    dead.url = "file:///etc/passwd";
    EXPECT_FALSE(fetchUrl(dead).ok);
}

TEST(Credits, KeepOneLinePerKindAndSayWhatIsMadeUp) {
    QTemporaryDir dir;
    const std::string clouds = "https://clouds.matteason.co.uk/images/2048x1024/clouds.jpg";
    EXPECT_NE(defaultCredit(clouds, DataKind::Clouds).find("EUMETSAT"), std::string::npos);
    EXPECT_NE(defaultCredit(defaultQuakeSources().front().url, DataKind::Quakes)
                  .find("Geological Survey"),
              std::string::npos);
    EXPECT_EQ(defaultCredit("http://127.0.0.1:9/x.jpg", DataKind::Clouds),
              "Cloud map from 127.0.0.1.");
    ASSERT_TRUE(recordCredit(dir.path(), DataKind::Clouds, "http://a/1.jpg", "A."));
    ASSERT_TRUE(recordCredit(dir.path(), DataKind::Quakes, "http://q/feed", "Q."));
    ASSERT_TRUE(recordCredit(dir.path(), DataKind::Clouds, "http://b/2.jpg", "B."));
    EXPECT_EQ(creditsText(dir.path(), false, false),
              "Cloud maps: B. Source: http://b/2.jpg\nEarthquakes: Q. Source: http://q/feed\n");
    const QByteArray demo = creditsText(dir.path(), true, false);
    EXPECT_FALSE(demo.contains("B."));
    EXPECT_TRUE(demo.contains("Cloud maps: DEMO"));
    EXPECT_TRUE(demo.contains("Earthquakes: Q."));
}

TEST(Demo, RetiresItsFramesAndQuakesWhenRealDataArrives) {
    QTemporaryDir dir;
    auto quiet = [](const QString&) {};
    ASSERT_TRUE(makeDemoContent(dir.path(), 1709600000, quiet, 64, 32));
    EXPECT_EQ(demoFiles(dir.path()).size(), 13);

    ASSERT_TRUE(retireDemoContent(dir.path(), false, true));
    EXPECT_EQ(demoFiles(dir.path()).size(), 12);
    EXPECT_TRUE(QFile::exists(QDir(dir.path()).filePath("quakes.geojson")));
    EXPECT_EQ(listFrames(dir.path()).size(), 12u);

    ASSERT_TRUE(retireDemoContent(dir.path(), true, false));
    EXPECT_TRUE(demoFiles(dir.path()).isEmpty());
    EXPECT_TRUE(listFrames(dir.path()).empty());
    EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(kDemoMarker)));
}

} // namespace
} // namespace chronvale::imaged
