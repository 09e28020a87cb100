// chronvale-imaged --mirror against stand-in public sources on loopback: what it
// stores, what it serves, and that failures upstream never cost what it holds.

#include "credits.h"
#include "net/markup.h"
#include "support/environment.h"
#include "support/image_server_process.h"
#include "support/qt_files.h"
#include "support/upstream_server.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <httplib.h>

namespace chronvale::test {
namespace {

constexpr const char* kMapDate = "Tue, 05 Mar 2024 07:40:00 GMT"; // slot 2024030506
constexpr const char* kImmutable = "public, max-age=31536000, immutable";
constexpr const char* kFiveMinutes = "public, max-age=300";

QByteArray greyMap(int width, int height) {
    QImage image(width, height, QImage::Format_Grayscale8);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.scanLine(y)[x] = static_cast<uchar>((x / 64 + y / 64) % 2 ? 230 : 20);
        }
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 90);
    return bytes;
}

QByteArray feed(int quakes) {
    QByteArray out = R"({"type":"FeatureCollection","metadata":{"count":0},"features":[)";
    for (int i = 0; i < quakes; ++i) {
        out += (i ? "," : "") + QByteArray(R"({"type":"Feature","properties":{"mag":)") +
               QByteArray::number(3 + i) +
               R"(,"time":1709600000000},"geometry":{"type":"Point","coordinates":[)" +
               QByteArray::number(10 * i) + ",-5,12.5]}}";
    }
    return out + "]}";
}

class Mirror : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        folder = QDir(root.path()).filePath("frames");
        auto& routes = upstream.routes();
        routes.Get("/clouds.jpg", serveFile(map, "image/jpeg", kMapDate));
        routes.Get("/feed.geojson", serveFile(feed(3), "application/json", kMapDate));
        routes.Get("/status500", [](const httplib::Request&, httplib::Response& response) {
            response.status = 500;
            response.set_content("Internal Server Error", "text/plain");
        });
        routes.Get("/page.html", [](const httplib::Request&, httplib::Response& response) {
            response.set_content("<!DOCTYPE html><html><body>We moved!</body></html>", "text/html");
        });
        routes.Get("/truncated.jpg", [this](const httplib::Request&, httplib::Response& response) {
            const QByteArray half = map.left(map.size() / 2);
            response.set_content_provider(static_cast<size_t>(map.size()), "image/jpeg",
                                          [half](size_t offset, size_t, httplib::DataSink& sink) {
                                              if (offset > 0) {
                                                  return false; // the connection drops half way
                                              }
                                              return sink.write(half.constData(),
                                                                static_cast<size_t>(half.size()));
                                          });
        });
        routes.Get("/broken.geojson", [](const httplib::Request&, httplib::Response& response) {
            response.set_content(R"({"type":"FeatureCollection","features":[{"type":)",
                                 "application/json");
        });
        ASSERT_TRUE(upstream.start());
    }

    // Mirror options pulling from the stand-in; the periods keep later pulls away
    // unless a test asks for them.
    QStringList mirrorOptions(const QStringList& clouds = {"/clouds.jpg"},
                              const QString& quakes = "/feed.geojson") {
        QStringList options{"--mirror", "--pull-period", "3600", "--quake-period",
                            "3600",     "--retry-after", "3600"};
        for (const QString& path : clouds) {
            options << "--clouds-url" << QString::fromStdString(upstream.url(path.toStdString()));
        }
        options << "--quakes-url" << QString::fromStdString(upstream.url(quakes.toStdString()));
        return options;
    }

    static httplib::Result get(const ImageServerProcess& server, const std::string& path) {
        httplib::Client client("127.0.0.1", server.port());
        client.set_connection_timeout(5);
        client.set_read_timeout(10);
        return client.Get(path.c_str());
    }

    static std::vector<std::string> listed(const ImageServerProcess& server, int n = 12) {
        std::vector<std::string> frames;
        const auto reply =
            get(server, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1&n=" + std::to_string(n));
        if (!reply || reply->status != 200) {
            return {"no answer"};
        }
        for (const MarkupItem& item : readMarkup(reply->body)) {
            if (tagName(item) == "image") {
                frames.push_back(tagAttribute(item, "t").value_or("?"));
            }
        }
        return frames;
    }

    static int quakes(const ImageServerProcess& server) {
        const auto reply = get(server, "/earthquake.cgi");
        if (!reply || reply->status != 200) {
            return -1;
        }
        int count = 0;
        for (const MarkupItem& item : readMarkup(reply->body)) {
            count += tagName(item) == "QUAKE";
        }
        return count;
    }

    QTemporaryDir root;
    QString folder;
    UpstreamServer upstream;
    const QByteArray map = greyMap(2048, 1024);
};

TEST_F(Mirror, StoresTheMapAndTheFeedAndServesThemAgainAfterARestart) {
    {
        ImageServerProcess server(folder, mirrorOptions());
        ASSERT_TRUE(server.started());
        ASSERT_TRUE(server.waitForLog("stored as frame 2024030506")) << server.log().toStdString();
        ASSERT_TRUE(server.waitForLog("stored 3 earthquakes"));
        EXPECT_EQ(listed(server), std::vector<std::string>{"2024030506"});

        const auto frame = get(server, "/clouds/cloudv2.php?s=&i=&q=1&f=1&t=2024030506");
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->status, 200);
        EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(frame->body), "JPG").size(),
                  QSize(1024, 512));
        EXPECT_EQ(frame->get_header_value("Cache-Control"), kImmutable);
        EXPECT_NE(frame->get_header_value("Last-Modified"), "");

        const auto list = get(server, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1&n=12");
        EXPECT_NE(list->body.find("<source credit=\"Cloud map from 127.0.0.1.\" />"),
                  std::string::npos)
            << list->body;
        EXPECT_EQ(list->get_header_value("Cache-Control"), kFiveMinutes);
        EXPECT_NE(list->get_header_value("Last-Modified"), "");
        EXPECT_EQ(list->body.find("DEMO"), std::string::npos);
        EXPECT_EQ(quakes(server), 3);
        const auto quakeReply = get(server, "/earthquake.cgi");
        EXPECT_EQ(quakeReply->get_header_value("Cache-Control"), kFiveMinutes);
        EXPECT_NE(quakeReply->get_header_value("Last-Modified"), "");
        const auto credits = get(server, "/credits");
        EXPECT_NE(credits->body.find("Source: " + upstream.url("/clouds.jpg")), std::string::npos);
        EXPECT_NE(credits->body.find("Source: " + upstream.url("/feed.geojson")),
                  std::string::npos);
        EXPECT_NE(get(server, "/clouds/cloudv2.php?q=1&f=1&t=2024030509")
                      ->get_header_value("Last-Modified"),
                  "");
    }
    upstream.stop();

    // The sources are gone; the restarted server serves what it has at once.
    ImageServerProcess again(folder, mirrorOptions());
    ASSERT_TRUE(again.started());
    EXPECT_EQ(listed(again), std::vector<std::string>{"2024030506"});
    EXPECT_EQ(quakes(again), 3);
    ASSERT_TRUE(again.waitForLog("clouds: no source answered"));
    EXPECT_TRUE(again.waitForLog("quakes: no source answered"));
    // The replies say why nothing newer comes, for the status bar.
    const std::string newest = get(again, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1")->body;
    EXPECT_NE(newest.find("problem=\"no cloud source has answered since "), std::string::npos)
        << newest;
    const std::string quakeList = get(again, "/earthquake.cgi")->body;
    EXPECT_NE(quakeList.find("problem=\"no earthquake feed has answered since "),
              std::string::npos);
    EXPECT_NE(quakeList.find(" updated=\""), std::string::npos);
    EXPECT_EQ(listed(again), std::vector<std::string>{"2024030506"});
    EXPECT_EQ(get(again, "/clouds/cloudv2.php?q=1&f=1&t=2024030506")->status, 200);
    EXPECT_EQ(quakes(again), 3);
}

TEST_F(Mirror, TakesTheNextSourceWhenOneFailsAndLogsWhy) {
    ImageServerProcess server(
        folder, mirrorOptions({"/status500", "/truncated.jpg", "/page.html", "/clouds.jpg"}));
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("stored as frame 2024030506")) << server.log().toStdString();
    const QString log = server.log();
    const QString base = QString::fromStdString(upstream.url(""));
    EXPECT_TRUE(log.contains(base + "/status500: HTTP status 500"));
    EXPECT_TRUE(log.contains(base + "/truncated.jpg: ")) << log.toStdString();
    EXPECT_TRUE(log.contains(QRegularExpression("/page.html: the reply \\(\\d+ bytes\\) is an "
                                                "HTML page")));
    EXPECT_EQ(listed(server), std::vector<std::string>{"2024030506"});
    ASSERT_TRUE(upstream.waitForRequests("/clouds.jpg", 1));
    EXPECT_EQ(upstream.requests("/clouds.jpg").size(), 1u);
}

TEST_F(Mirror, AnUnchangedMapCostsNoDownload) {
    QStringList options = mirrorOptions();
    options << "--pull-period"
            << "1";
    ImageServerProcess server(folder, options);
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(upstream.waitForRequests("/clouds.jpg", 3));
    ASSERT_TRUE(server.waitForLog("not modified; frame 2024030506 is current"));
    const auto requests = upstream.requests("/clouds.jpg");
    EXPECT_EQ(requests[0].status, 200);
    EXPECT_GE(requests[0].bodyBytes, static_cast<size_t>(map.size()));
    for (size_t i = 1; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].ifModifiedSince, kMapDate);
        EXPECT_EQ(requests[i].status, 304);
        EXPECT_EQ(requests[i].bodyBytes, 0u);
    }
    EXPECT_EQ(server.log().count("stored as frame"), 1);
}

TEST_F(Mirror, AMalformedFeedKeepsTheQuakesHeld) {
    ASSERT_TRUE(QDir().mkpath(folder));
    QFile held(QDir(folder).filePath("quakes.geojson"));
    ASSERT_TRUE(held.open(QIODevice::WriteOnly));
    held.write(feed(3));
    held.close();
    ImageServerProcess server(folder, mirrorOptions({"/clouds.jpg"}, "/broken.geojson"));
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("the earthquakes held are kept"));
    EXPECT_TRUE(server.log().contains(QString::fromStdString(upstream.url("/broken.geojson")) +
                                      ": the reply"));
    EXPECT_TRUE(server.waitForLog("quakes: no source answered"));
    EXPECT_EQ(quakes(server), 3);
    ASSERT_TRUE(held.open(QIODevice::ReadOnly));
    EXPECT_EQ(held.readAll(), feed(3));
}

TEST_F(Mirror, AnUpstreamThatDiesLeavesTheServerServing) {
    QStringList options = mirrorOptions();
    options << "--pull-period"
            << "1"
            << "--quake-period"
            << "1";
    ImageServerProcess server(folder, options);
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("stored as frame 2024030506"));
    ASSERT_TRUE(server.waitForLog("stored 3 earthquakes"));
    upstream.stop();
    ASSERT_TRUE(server.waitForLog("clouds: no source answered"));
    ASSERT_TRUE(server.waitForLog("quakes: no source answered"));
    EXPECT_TRUE(server.log().contains("next try in 60 min"));
    EXPECT_EQ(listed(server), std::vector<std::string>{"2024030506"});
    EXPECT_EQ(get(server, "/clouds/cloudv2.php?q=1&f=1")->status, 200);
    EXPECT_EQ(quakes(server), 3);
}

TEST_F(Mirror, RefusesAReplyOverTheSizeLimit) {
    QStringList options = mirrorOptions();
    options << "--max-bytes"
            << "20000";
    ASSERT_GT(map.size(), 20000);
    ImageServerProcess server(folder, options);
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("clouds: no source answered"));
    EXPECT_TRUE(server.log().contains("larger than the limit of 20000 bytes"));
    EXPECT_TRUE(listed(server).empty());
    EXPECT_TRUE(server.waitForLog("stored 3 earthquakes")); // the small feed still passes
}

TEST_F(Mirror, AFullFolderIsServedAtOnceAndKeepsTheNewest48) {
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray small = greyMap(64, 32);
    std::vector<std::string> held;
    for (int i = 0; i < 48; ++i) { // 2024-03-05 03:00 back in 3-hour steps
        const std::time_t when = 1709607600 - static_cast<std::time_t>(i) * 3 * 3600;
        std::tm parts{};
        gmtime_r(&when, &parts);
        char t[16];
        std::strftime(t, sizeof t, "%Y%m%d%H", &parts);
        held.push_back(t);
        QFile file(QDir(folder).filePath(QString(t) + ".jpg"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(small);
    }
    ImageServerProcess server(folder, mirrorOptions());
    ASSERT_TRUE(server.started());
    EXPECT_EQ(listed(server, 48).size(), 48u); // before or after the pull: 48 either way
    ASSERT_TRUE(server.waitForLog("stored as frame 2024030506"));
    ASSERT_TRUE(server.waitForLog("removed the old frame " + QString::fromStdString(held.back())));
    std::vector<std::string> expected{"2024030506"};
    expected.insert(expected.end(), held.begin(), held.end() - 1);
    EXPECT_EQ(listed(server, 100), expected);
}

TEST_F(Mirror, DemoFramesShowWithoutSourcesAndGiveWayToRealOnes) {
    const int livePort = upstream.port();
    QStringList dead = mirrorOptions();
    upstream.stop();
    dead << "--demo";
    {
        ImageServerProcess server(folder, dead);
        ASSERT_TRUE(server.started());
        EXPECT_TRUE(server.log().contains("DEMO: made 12 procedural cloud frames"));
        EXPECT_EQ(listed(server).size(), 12u);
        const auto list = get(server, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1&n=12");
        EXPECT_NE(list->body.find("<!-- DEMO: procedural cloud frames made up"), std::string::npos);
        EXPECT_NE(get(server, "/credits")->body.find("Cloud maps: DEMO"), std::string::npos);
        ASSERT_TRUE(server.waitForLog("clouds: no source answered"));
        EXPECT_EQ(listed(server).size(), 12u);
    }

    // A source answers again (a new stand-in, the same routes on another port).
    UpstreamServer live;
    live.routes().Get("/clouds.jpg", serveFile(map, "image/jpeg", kMapDate));
    live.routes().Get("/feed.geojson", serveFile(feed(3), "application/json", kMapDate));
    ASSERT_TRUE(live.start());
    ASSERT_NE(live.port(), 0);
    QStringList options = dead;
    options.replaceInStrings(":" + QString::number(livePort) + "/",
                             ":" + QString::number(live.port()) + "/");
    ImageServerProcess server(folder, options);
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("real cloud maps replace the demo frames"));
    ASSERT_TRUE(server.waitForLog("real earthquakes replace the demo ones"));
    EXPECT_EQ(listed(server), std::vector<std::string>{"2024030506"});
    const auto list = get(server, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1&n=12");
    EXPECT_EQ(list->body.find("DEMO"), std::string::npos);
    EXPECT_EQ(quakes(server), 3);
    EXPECT_EQ(get(server, "/credits")->body.find("DEMO"), std::string::npos);
}

TEST_F(Mirror, AMapThatIsLargeEnoughAlsoGivesALargeCopyServedOnlyWhenAskedFor) {
    struct Case {
        int width;
        bool hires;
    };
    for (const Case& c : {Case{4096, true}, Case{2048, false}}) {
        SCOPED_TRACE(c.width);
        QTemporaryDir own;
        UpstreamServer source;
        source.routes().Get("/clouds.jpg",
                            serveFile(greyMap(c.width, c.width / 2), "image/jpeg", kMapDate));
        ASSERT_TRUE(source.start());
        ImageServerProcess server(
            own.path(), {"--mirror", "--quake-period", "3600", "--retry-after", "3600",
                         "--clouds-url", QString::fromStdString(source.url("/clouds.jpg")),
                         "--quakes-url", QString::fromStdString(source.url("/none"))});
        ASSERT_TRUE(server.started());
        ASSERT_TRUE(server.waitForLog("stored as frame 2024030506")) << server.log().toStdString();
        const auto list = get(server, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1&n=12");
        EXPECT_EQ(list->body.find(" w=\"4096\"") != std::string::npos, c.hires) << list->body;
        const QSize large = c.hires ? QSize(4096, 2048) : QSize(1024, 512);
        for (const auto& [path, size] : std::vector<std::pair<std::string, QSize>>{
                 {"&f=1&t=2024030506", QSize(1024, 512)},
                 {"&f=1", QSize(1024, 512)},
                 {"&f=1&t=2024030506&w=4096", large},
                 {"&f=1&w=4096", large},
                 {"&f=1&t=2024030506&w=2048", QSize(1024, 512)}}) {
            const auto frame = get(server, "/clouds/cloudv2.php?s=&i=&q=1" + path);
            ASSERT_TRUE(frame);
            EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(frame->body), "JPG").size(), size)
                << path;
        }
        EXPECT_EQ(QFile::exists(own.path() + "/4096/2024030506.jpg"), c.hires);
    }
}

TEST_F(Mirror, TheMirrorGroupOfTheConfigurationGivesTheSourcesAndItsLaterOnesStandIn) {
    // The first two sources fail; the third, another provider, answers with a PNG.
    QImage infrared(2048, 1024, QImage::Format_Grayscale8);
    infrared.fill(200);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    infrared.save(&buffer, "PNG");
    upstream.stop();
    UpstreamServer sources;
    sources.routes().Get("/status500", [](const httplib::Request&, httplib::Response& response) {
        response.status = 500;
    });
    sources.routes().Get("/page.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><body>Service moved</body></html>", "text/html");
    });
    sources.routes().Get("/api/image", serveFile(png, "image/png", kMapDate));
    sources.routes().Get("/feed.geojson", serveFile(feed(2), "application/json", kMapDate));
    ASSERT_TRUE(sources.start());
    const QString config = QDir(root.path()).filePath("chronvale.ini");
    QFile file(config);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("[General]\nserver=\"127.0.0.1:8470\"\n[Mirror]\n"
                              "clouds1=\"%1\"\nclouds2=\"%2\"\nclouds3=\"%3\"\n"
                              "clouds3_credit=\"Infrared stand-in.\"\n"
                              "clouds4=\"gopher://old.test/map\"\nquakes1=\"%4\"\n")
                   .arg(QString::fromStdString(sources.url("/status500")),
                        QString::fromStdString(sources.url("/page.html")),
                        QString::fromStdString(
                            sources.url("/api/image?products=globalir&width=2048&height=1024")),
                        QString::fromStdString(sources.url("/feed.geojson")))
                   .toUtf8());
    file.close();
    ImageServerProcess server(folder, {"--mirror", "--config", config, "--retry-after", "3600"});
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("2048 x 1024 map stored as frame 2024030506"))
        << server.log().toStdString();
    ASSERT_TRUE(server.waitForLog("stored 2 earthquakes"));
    const QString log = server.log();
    EXPECT_TRUE(log.contains("[Mirror] clouds4 = gopher://old.test/map is not an http(s) URL"));
    EXPECT_TRUE(log.contains("/status500: HTTP status 500"));
    EXPECT_TRUE(log.contains("/page.html: the reply"));
    EXPECT_EQ(listed(server), std::vector<std::string>{"2024030506"});
    EXPECT_NE(get(server, "/credits")->body.find("Cloud maps: Infrared stand-in."),
              std::string::npos);
}

// An infrared map as a map service gives it: transparent where no satellite sees
// (the left third, white underneath), warm grey ground, cold bright tops (the
// right quarter).
QByteArray infraredPng() {
    QImage image(2048, 1024, QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            row[x] = x < 683    ? qRgba(255, 255, 255, 0)
                     : x < 1536 ? qRgb(60, 60, 60)
                                : qRgb(230, 230, 230);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

struct FallbackCase {
    const char* name;
    const char* first;  // path of clouds1 on the stand-in; "refused": nothing listens
    const char* second; // path of clouds2
    std::vector<const char*> logged;
    bool commandLine = false; // the sources as options (--infrared, --credit) instead
};

class InfraredFallback : public Mirror, public ::testing::WithParamInterface<FallbackCase> {};

// The shipped third source (its kind and credit from data/chronvale.ini, its URL
// moved to a stand-in by a site's override file) makes the frame when the first
// two fail.
TEST_P(InfraredFallback, TheShippedThirdSourceMakesTheFrameWithItsCredit) {
    const FallbackCase& c = GetParam();
    UpstreamServer gone;
    ASSERT_TRUE(gone.start());
    const std::string refused = gone.url("/clouds.jpg");
    gone.stop();
    UpstreamServer sources;
    sources.routes().Get("/page.html", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("<html><body>Service moved</body></html>", "text/html");
    });
    sources.routes().Get("/square.jpg", serveFile(greyMap(1024, 1024), "image/jpeg", kMapDate));
    sources.routes().Get("/wms", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(R"(<?xml version="1.0"?><ServiceExceptionReport version="1.3.0">)"
                             "<ServiceException>LAYERS unknown</ServiceException>"
                             "</ServiceExceptionReport>",
                             "text/xml");
    });
    sources.routes().Get("/wms.cgi", serveFile(infraredPng(), "image/png", kMapDate));
    sources.routes().Get("/feed.geojson", serveFile(feed(1), "application/json", kMapDate));
    ASSERT_TRUE(sources.start());
    const auto url = [&](const char* path) {
        return QString::fromStdString(std::string(path) == "refused" ? refused : sources.url(path));
    };
    test::writeFile(QDir(root.path()).filePath("site/QUILLMAR/Chronvale.conf"),
                    QStringLiteral("[Mirror]\nclouds1=\"%1\"\nclouds2=\"%2\"\nclouds3=\"%3\"\n"
                                   "quakes1=\"%4\"\n")
                        .arg(url(c.first), url(c.second),
                             url("/wms.cgi?SERVICE=WMS&REQUEST=GetMap&LAYERS=a,b,c"),
                             url("/feed.geojson"))
                        .toUtf8());
    const test::ScopedVariable sites("XDG_CONFIG_DIRS", (root.path() + "/site").toStdString());
    QStringList options{"--mirror", "--retry-after", "3600"};
    if (c.commandLine) {
        options << "--clouds-url" << url(c.first) << "--clouds-url" << url(c.second)
                << "--clouds-url" << url("/wms.cgi") << "--infrared"
                << "--credit" << imaged::kGibsInfraredCredit << "--quakes-url"
                << url("/feed.geojson");
    } else {
        options << "--config" << CHRONVALE_SOURCE_DIR "/data/chronvale.ini";
    }
    ImageServerProcess server(folder, options);
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("2048 x 1024 map stored as frame 2024030506"))
        << server.log().toStdString();
    for (const char* line : c.logged) {
        EXPECT_TRUE(server.log().contains(line)) << line << "\n" << server.log().toStdString();
    }
    EXPECT_EQ(listed(server), std::vector<std::string>{"2024030506"});
    const auto frame = get(server, "/clouds/cloudv2.php?s=&i=&q=1&f=1&t=2024030506");
    ASSERT_TRUE(frame);
    const QImage image = QImage::fromData(QByteArray::fromStdString(frame->body), "JPG");
    ASSERT_EQ(image.size(), QSize(1024, 512));
    EXPECT_LT(qGray(image.pixel(170, 256)), 10);  // no satellite: clear, not white
    EXPECT_LT(qGray(image.pixel(512, 256)), 10);  // warm ground: clear
    EXPECT_GT(qGray(image.pixel(860, 256)), 240); // cold tops: cloud
    const std::string list = get(server, "/clouds/cloudv2.php?s=&i=&q=1&checkonly=1&n=12")->body;
    EXPECT_NE(list.find("<source credit=\"Clouds from infrared images of GOES (NOAA) and "
                        "Himawari (JMA), modified, served by NASA GIBS. We acknowledge"),
              std::string::npos)
        << list;
    EXPECT_NE(get(server, "/credits")->body.find("Cloud maps: Clouds from infrared images"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Cases, InfraredFallback,
                         ::testing::Values(FallbackCase{"RefusedThenHtml",
                                                        "refused",
                                                        "/page.html",
                                                        {"clouds.jpg: ", "/page.html: the reply"}},
                                           FallbackCase{"WrongProportionsThenAMapServiceError",
                                                        "/square.jpg",
                                                        "/wms",
                                                        {"1024 x 1024 picture, not a world map",
                                                         "is an XML document"}},
                                           FallbackCase{"OnTheCommandLine",
                                                        "/page.html",
                                                        "refused",
                                                        {"/page.html: the reply", "clouds.jpg: "},
                                                        true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace chronvale::test
