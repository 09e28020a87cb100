// The earthquake feed against chronvale-imaged, and the reading of QUAKE elements.

#include "demo.h"
#include "net/http_client.h"
#include "net/quake_feed.h"
#include "support/image_server_process.h"
#include "support/net_test_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::ImageServerProcess;
using test::waitFor;

class RecordingQuakeOwner : public test::RecordingServiceOwner<QuakeOwner> {
public:
    void repaintMap() override { ++repaints; }

    int repaints = 0;
};

class QuakeFeedTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::ensureApplication();
        ASSERT_TRUE(root.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(root.path());
        ASSERT_TRUE(http.httpInit(&sink, "Quillmar Chronvale"));
    }
    void TearDown() override {
        http.httpShutdown();
        QDir::setCurrent(previous);
    }
    QString write(const QString& name, const QByteArray& content) {
        const QString path = QDir(root.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }
    // Downloads the list from a server started with the options.
    void download(QuakeFeed& feed) {
        ASSERT_TRUE(feed.requestQuakes());
        ASSERT_TRUE(waitFor([this] { return http.transferCount() == 0; }));
    }
    std::unique_ptr<QuakeFeed> makeFeed(const ImageServerProcess& server) {
        return std::make_unique<QuakeFeed>(http, owner, server.host(), UrlContext{});
    }

    QTemporaryDir root;
    QString previous;
    test::RecordingSink sink;
    HttpClient http;
    RecordingQuakeOwner owner;
};

const char* const kThreeQuakes = R"(<?xml version="1.0"?>
<!-- events of the week <QUAKE lat="9" lon="9"> -->
<quakes generated="now">
  <title>Seven days &amp; more</title>
  <QUAKE lat="-33.5" lon="-71.25" m="5.4" depth="35" qt="2024-03-05 10:00:00" />
  <quake LAT='38.3' Lon='142.4' M='6.1' DEPTH='30.5' QT='2024-03-04 02:00:00'>
  <other lat="1" lon="2" />
  <Quake lat=+1.5e1 lon=-2 m=4.5 depth=10>
</quakes>
)";

TEST_F(QuakeFeedTest, ThreeEventsAmongOtherMarkupInReplyOrder) {
    const QString file = write("quakes.xml", kThreeQuakes);
    ImageServerProcess server(root.path(), {"--quakes", file, "--redirect"});
    ASSERT_TRUE(server.started());
    auto feed = makeFeed(server);
    download(*feed);
    const QuakeList& quakes = feed->quakeList();
    ASSERT_EQ(quakes.size(), 3u);
    EXPECT_FLOAT_EQ(quakes[0].lat, -33.5f);
    EXPECT_FLOAT_EQ(quakes[0].lon, -71.25f);
    EXPECT_FLOAT_EQ(quakes[0].m, 5.4f);
    EXPECT_FLOAT_EQ(quakes[0].depth, 35.0f);
    EXPECT_EQ(quakes[0].qt, "2024-03-05 10:00:00");
    // Attribute names in any case, values in single quotes and unquoted.
    EXPECT_FLOAT_EQ(quakes[1].lat, 38.3f);
    EXPECT_FLOAT_EQ(quakes[1].lon, 142.4f);
    EXPECT_FLOAT_EQ(quakes[1].m, 6.1f);
    EXPECT_FLOAT_EQ(quakes[1].depth, 30.5f);
    EXPECT_EQ(quakes[1].qt, "2024-03-04 02:00:00");
    EXPECT_FLOAT_EQ(quakes[2].lat, 15.0f);
    EXPECT_FLOAT_EQ(quakes[2].lon, -2.0f);
    EXPECT_FLOAT_EQ(quakes[2].m, 4.5f);
    EXPECT_FALSE(quakes[2].qt);
    EXPECT_EQ(owner.statuses.front(), "transfer:Downloading Earthquake data...");
    EXPECT_EQ(owner.statuses.back(), "transfer:3 earthquake events recorded in the past 7 days");
    EXPECT_EQ(owner.repaints, 1);
    // The redirect was followed before the list was read.
    ASSERT_TRUE(waitFor([&] { return server.requests("/moved/earthquake.cgi") == 1; }));
}

TEST_F(QuakeFeedTest, TheServersGeoJsonFeedArrivesAsQuakeElements) {
    const QString file = write("feed.geojson", imaged::demoQuakeGeoJson(1709600000));
    ImageServerProcess server(root.path(), {"--quakes", file});
    ASSERT_TRUE(server.started());
    auto feed = makeFeed(server);
    download(*feed);
    ASSERT_EQ(feed->quakeList().size(), 14u);
    EXPECT_FLOAT_EQ(feed->quakeList()[0].lat, -33.0f);
    EXPECT_FLOAT_EQ(feed->quakeList()[0].lon, -71.6f);
    EXPECT_EQ(owner.statuses.back(), "transfer:14 earthquake events recorded in the past 7 days");
}

TEST_F(QuakeFeedTest, AServerErrorGivesTheCountZero) {
    ImageServerProcess server(root.path(), {"--error", "2:No earthquake data today"});
    ASSERT_TRUE(server.started());
    auto feed = makeFeed(server);
    download(*feed);
    EXPECT_TRUE(feed->quakeList().empty());
    EXPECT_EQ(owner.boxes, std::vector<std::string>{"Error: No earthquake data today"});
    EXPECT_EQ(owner.serverErrors, 1);
    EXPECT_EQ(owner.statuses.back(), "transfer:0 earthquake events recorded in the past 7 days");
}

TEST_F(QuakeFeedTest, AFailedTransferStoresNothing) {
    ImageServerProcess server(root.path(), {"--quakes", QDir(root.path()).filePath("missing")});
    ASSERT_TRUE(server.started());
    write("broken.geojson", "{\"features\": [");
    ImageServerProcess broken(root.path(),
                              {"--quakes", QDir(root.path()).filePath("broken.geojson")});
    ASSERT_TRUE(broken.started());
    auto feed = makeFeed(broken);
    download(*feed);
    EXPECT_TRUE(feed->quakeList().empty());
    EXPECT_EQ(owner.statuses.back(),
              "transfer:Unable to connect. Check your internet connection and "
              "proxy settings in preferences.");
    EXPECT_EQ(owner.repaints, 0);
    // A missing quake file is an empty list, not a failure.
    auto empty = makeFeed(server);
    download(*empty);
    EXPECT_EQ(owner.statuses.back(), "transfer:0 earthquake events recorded in the past 7 days");
}

TEST(QuakeParsing, NumbersIgnoreTheLocaleAndElementsWithoutAPositionAreLeftOut) {
    EXPECT_EQ(parseDecimalFloat("+3"), 3.0f);
    EXPECT_EQ(parseDecimalFloat(" -12.5km"), -12.5f);
    EXPECT_EQ(parseDecimalFloat("1e2"), 100.0f);
    EXPECT_EQ(parseDecimalFloat("abc"), std::nullopt);
    EXPECT_EQ(parseDecimalFloat("+-1"), std::nullopt);
    EXPECT_EQ(parseDecimalFloat(""), std::nullopt);
    const QuakeList quakes =
        parseQuakes("<QUAKE lon=1 m=5><QUAKE lat=x lon=1><QUAKE lat=2 lon=3 depth=oops>");
    ASSERT_EQ(quakes.size(), 1u);
    EXPECT_FLOAT_EQ(quakes[0].lat, 2.0f);
    EXPECT_FLOAT_EQ(quakes[0].m, 0.0f);
    EXPECT_FLOAT_EQ(quakes[0].depth, 0.0f);
}

TEST(QuakeParsing, FieldsAReaderDoesNotKnowArePassedOverAndThePlaceIsOptional) {
    // A newer server's extra attributes, and an older server's element without a place.
    const QuakeList quakes = parseQuakes(
        "<QUAKE lat=1 lon=2 m=5.5 depth=10 qt='2024-03-05 00:53:20' place='Banda Sea &amp; "
        "&#x4E1C;&#20140;' tsunami=1 url=\"http://example.org/q?a=1&b=2\" felt>"
        "<QUAKE lat=3 lon=4 m=4 depth=33.5 qt=x><QUAKE lat=5 lon=6 place='a &bogus; &#0; b'>");
    ASSERT_EQ(quakes.size(), 3u);
    EXPECT_FLOAT_EQ(quakes[0].m, 5.5f);
    EXPECT_FLOAT_EQ(quakes[0].depth, 10.0f);
    EXPECT_EQ(quakes[0].qt, "2024-03-05 00:53:20");
    EXPECT_EQ(quakes[0].place, "Banda Sea & \u4E1C\u4EAC");
    EXPECT_FALSE(quakes[1].place);
    EXPECT_FLOAT_EQ(quakes[1].depth, 33.5f);
    EXPECT_EQ(quakes[2].place, "a &bogus; &#0; b") << "unknown references stay as written";
}

} // namespace
} // namespace chronvale
