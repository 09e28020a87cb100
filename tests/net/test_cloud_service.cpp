// The cloud-image service against a real chronvale-imaged on loopback.

#include "net/cloud_service.h"
#include "net/http_client.h"
#include "support/cloud_folders.h"
#include "support/image_server_process.h"
#include "support/jpeg_frame.h"
#include "support/net_test_support.h"
#include "support/qt_files.h"
#include "support/upstream_server.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::ImageServerProcess;
using test::waitFor;

constexpr std::time_t kStart = 1709600000; // 2024-03-05 00:53:20 UTC

// Records what the service asks of the main window.
class RecordingCloudOwner : public test::RecordingServiceOwner<CloudOwner> {
public:
    void setCloudImage(ImagePtr image) override {
        ASSERT_TRUE(image);
        cloudImages.push_back(image->width());
    }
    void frameLoaded() override { ++framesLoaded; }
    void frameListArrived() override { ++listsArrived; }
    void stopAnimation() override { ++animationStops; }

    std::vector<int> cloudImages;
    int framesLoaded = 0;
    int listsArrived = 0;
    int animationStops = 0;
};

using test::jpeg;
using test::writeFile;

class CloudServiceTest : public test::CloudFoldersTest {
protected:
    QString cacheFile(const std::string& name) const {
        return QDir(work()).filePath("cache/" + QString::fromStdString(name));
    }
    std::unique_ptr<CloudService> makeService(const ImageServerProcess& server) {
        return std::make_unique<CloudService>(http, owner, server.host(), urlContext(),
                                              [this] { return now; });
    }
    // Fetches the list and waits for it to be read.
    void fetchList(CloudService& service) {
        const int before = owner.listsArrived;
        ASSERT_TRUE(service.requestFrameList());
        ASSERT_TRUE(idle());
        ASSERT_EQ(owner.listsArrived, before + 1);
    }
    std::vector<std::string> cacheEntries() const {
        std::vector<std::string> names;
        for (const QString& name :
             QDir(QDir(work()).filePath("cache")).entryList(QDir::Files | QDir::NoDotAndDotDot)) {
            names.push_back(name.toStdString());
        }
        return names;
    }

    RecordingCloudOwner owner;
    std::time_t now = kStart;
};

TEST_F(CloudServiceTest, AListWithFewerThanTwelveImagesLeavesTheRestEmpty) {
    serveFrames(3);
    ImageServerProcess server(serverFolder());
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    fetchList(*service);

    const CloudFrameTable& frames = service->frames();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(frames[i].t, times[i]);
        EXPECT_EQ(frames[i].m, "clouds");
        EXPECT_EQ(frames[i].q, 1);
        EXPECT_GT(frames[i].s, 0);
        EXPECT_FALSE(frames[i].path);
    }
    for (int i = 3; i < kCloudFrameCount; ++i) {
        EXPECT_FALSE(frames[i].t) << i;
    }
    EXPECT_EQ(service->lastListTime(), kStart);
    EXPECT_TRUE(owner.hasStatus("transfer:Connecting to satellite server..."));
    EXPECT_EQ(owner.statuses.back(), "transfer:Complete");
    // The identifiers were filled in; the reply is kept whole in cache.tmp.
    EXPECT_EQ(server.requests("/clouds/cloudv2.php?s=client&i=machine&q=1&checkonly=1&n=12"), 1);
    QFile list(QDir(work()).filePath("cache.tmp"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QByteArray saved = list.readAll();
    EXPECT_TRUE(saved.startsWith("HTTP/1.1 200")) << saved.left(40).toStdString();
    EXPECT_TRUE(saved.contains(QByteArray("<image t=\"") + times[2].c_str()));
    // A frame without a time stamp is never asked for.
    EXPECT_FALSE(service->downloadFrame(3));
    EXPECT_EQ(http.transferCount(), 0u);
}

TEST_F(CloudServiceTest, AListedImageKeepsItsFileAndAnUnlistedOneIsDeleted) {
    serveFrames(2);
    writeFile(cacheFile(times[0] + ".jpg"), jpeg(10));
    writeFile(cacheFile("2023010100.jpg"), jpeg(30));
    writeFile(cacheFile("2023010100.tmp"), "left over");
    ImageServerProcess server(serverFolder());
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    CloudFrameTable& frames = service->frames();
    frames[0].t = "2023010100";
    frames[0].m = "clouds";
    frames[0].path = cacheFile("2023010100.jpg").toStdString();
    frames[1].t = times[0];
    frames[1].m = "clouds";
    frames[1].path = cacheFile(times[0] + ".jpg").toStdString();
    fetchList(*service);

    EXPECT_EQ(cacheEntries(), std::vector<std::string>{times[0] + ".jpg"});
    EXPECT_EQ(frames[0].t, times[0]);
    EXPECT_EQ(frames[1].t, times[1]);
    // The kept file is found again without a download.
    ASSERT_TRUE(service->downloadFrame(0));
    EXPECT_EQ(service->frames()[0].path, cacheFile(times[0] + ".jpg").toStdString());
    EXPECT_EQ(owner.cloudImages, std::vector<int>{10});
    EXPECT_EQ(http.transferCount(), 0u);
}

TEST_F(CloudServiceTest, TheNewestCheckWithACachedImageOnlyReloadsIt) {
    serveFrames(2);
    writeFile(cacheFile(times[0] + ".jpg"), jpeg(44));
    ImageServerProcess server(serverFolder());
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    ASSERT_TRUE(service->checkNewestImage());
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.cloudImages, std::vector<int>{44});
    EXPECT_EQ(owner.framesLoaded, 1);
    EXPECT_EQ(service->frames()[0].path, cacheFile(times[0] + ".jpg").toStdString());
    EXPECT_TRUE(owner.hasStatus("newest:Checking for new satellite data..."));
    ASSERT_TRUE(waitFor([&] { return server.requests("checkonly=1") == 1; }));
    EXPECT_EQ(server.requests("f=1"), 0);
}

TEST_F(CloudServiceTest, TheNewestCheckDownloadsANewImageAsFrameZero) {
    serveFrames(2);
    ImageServerProcess server(serverFolder());
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    service->frames()[0].t = "2023010100";
    service->frames()[0].path = cacheFile("2023010100.jpg").toStdString();
    ASSERT_TRUE(service->checkNewestImage());
    ASSERT_TRUE(idle());
    EXPECT_EQ(service->frames()[0].t, times[0]);
    EXPECT_EQ(service->frames()[0].path, cacheFile(times[0] + ".jpg").toStdString());
    EXPECT_EQ(owner.cloudImages, std::vector<int>{10});
    EXPECT_TRUE(owner.hasStatus("newest:Downloading latest satellite image..."));
    EXPECT_EQ(owner.statuses.back(), "transfer:Complete");
    EXPECT_EQ(server.requests("&f=1 "), 1);
}

TEST_F(CloudServiceTest, NotFoundIsRememberedAndNeverRetried) {
    serveFrames(2);
    ImageServerProcess server(serverFolder(), {"--image-status", "404"});
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    fetchList(*service);
    ASSERT_TRUE(service->downloadFrame(0));
    ASSERT_TRUE(idle());
    EXPECT_EQ(service->frames()[0].failures, kNotFound);
    EXPECT_EQ(service->currentFrame(), 0);
    EXPECT_EQ(owner.statuses.back(), "transfer:File Not Found (" + times[0] + ")");
    EXPECT_EQ(owner.animationStops, 0);

    EXPECT_FALSE(service->downloadFrame(0));
    EXPECT_EQ(http.transferCount(), 0u);
    ASSERT_TRUE(waitFor([&] { return server.requests("f=1") == 1; }));
}

TEST_F(CloudServiceTest, ThreeFailuresSkipAFrame) {
    serveFrames(2);
    ImageServerProcess server(serverFolder(), {"--image-status", "500"});
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    fetchList(*service);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        ASSERT_TRUE(service->downloadFrame(1));
        EXPECT_EQ(owner.statuses.back(), "transfer:Downloading satellite image (" + times[1] + ")");
        ASSERT_TRUE(idle());
        EXPECT_EQ(service->frames()[1].failures, attempt);
        EXPECT_EQ(owner.animationStops, attempt);
        EXPECT_EQ(owner.statuses.back(),
                  "transfer:Unable to connect. Check your internet connection and "
                  "proxy settings in preferences.");
    }
    EXPECT_FALSE(service->downloadFrame(1));
    EXPECT_EQ(http.transferCount(), 0u);
    // A new list gives every frame another chance.
    fetchList(*service);
    EXPECT_EQ(service->frames()[1].failures, 0);
}

TEST_F(CloudServiceTest, RedirectsAreFollowedForEveryRequest) {
    serveFrames(3);
    ImageServerProcess server(serverFolder(), {"--redirect"});
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    fetchList(*service);
    EXPECT_EQ(service->frames()[2].t, times[2]);
    ASSERT_TRUE(service->downloadFrame(2));
    ASSERT_TRUE(idle());
    EXPECT_EQ(service->frames()[2].path, cacheFile(times[2] + ".jpg").toStdString());
    ASSERT_TRUE(service->checkNewestImage());
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.cloudImages, (std::vector<int>{12, 10}));
    ASSERT_TRUE(waitFor([&] { return server.requests("/moved/clouds/") == 4; }));
    EXPECT_EQ(server.requests("-> 302"), 4);
}

TEST_F(CloudServiceTest, AnErrorElementShowsItsTextAndTheReplyIsNotUsed) {
    serveFrames(2);
    ImageServerProcess server(serverFolder(), {"--error", "7:Service closed for maintenance"});
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    service->frames()[0].t = times[1];
    service->frames()[0].m = "clouds";
    ASSERT_TRUE(service->requestFrameList());
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.boxes, std::vector<std::string>{"Error: Service closed for maintenance"});
    EXPECT_EQ(owner.serverErrors, 1);
    EXPECT_EQ(owner.listsArrived, 0);
    EXPECT_EQ(service->lastListTime(), 0);
    EXPECT_EQ(service->frames()[0].t, times[1]);
    EXPECT_FALSE(service->frames()[1].t);

    // An image reply that is an error element stores nothing.
    ASSERT_TRUE(service->downloadFrame(0));
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.boxes.size(), 2u);
    EXPECT_EQ(owner.serverErrors, 2);
    EXPECT_TRUE(cacheEntries().empty());
    EXPECT_TRUE(owner.cloudImages.empty());
}

// The error element's number 2 is not the client's "follow the redirect": the URL in
// its text is never fetched.
TEST_F(CloudServiceTest, AnErrorElementNumberedTwoIsNoRedirect) {
    ImageServerProcess elsewhere(serverFolder());
    ASSERT_TRUE(elsewhere.started());
    const std::string text = "Moved to http://" + elsewhere.host() + "/clouds/evil.jpg";
    ImageServerProcess server(serverFolder(), {"--error", QString::fromStdString("2:" + text)});
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    service->frames()[0].t = times[0];
    service->frames()[0].m = "clouds";
    ASSERT_TRUE(service->downloadFrame(0));
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.boxes, std::vector<std::string>{"Error: " + text});
    EXPECT_EQ(elsewhere.requests("evil"), 0);
    EXPECT_TRUE(cacheEntries().empty());
}

TEST_F(CloudServiceTest, AnEmptyImageBodyStoresNothingAndStillShowsComplete) {
    writeFile(QDir(serverFolder()).filePath(QString::fromStdString(times[0]) + ".jpg"), "");
    ImageServerProcess server(serverFolder());
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    fetchList(*service);
    ASSERT_TRUE(service->downloadFrame(0));
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.statuses.back(), "transfer:Complete");
    EXPECT_TRUE(cacheEntries().empty());
    EXPECT_TRUE(owner.cloudImages.empty());
    EXPECT_FALSE(service->frames()[0].path);
}

TEST_F(CloudServiceTest, AHostileTimeStampWritesNothingOutsideTheCache) {
    const QString list = QDir(root.path()).filePath("list.xml");
    const std::string longT(300, '7');
    writeFile(list, QByteArray("<?xml version=\"1.0\"?>\n<images>\n"
                               "<image t=\"../x\" m=\"a\" s=\"1\" q=\"1\" />\n"
                               "<image t=\"20240305/21\" m=\"a\" s=\"1\" q=\"1\" />\n"
                               "<image t=\"") +
                        longT.c_str() +
                        "\" m=\"a\" />\n<image t=\"\" m=\"a\" />\n<image m=\"a\" />\n"
                        "<IMAGE T='2024030521' M=a S=5 Q=2>\n</images>\n");
    serveFrames(1);
    // A tampered settings file names a file outside the cache as a frame's path.
    const QString victim = QDir(root.path()).filePath("victim.txt");
    writeFile(victim, "keep me");
    ImageServerProcess server(serverFolder(), {"--list", list});
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    service->frames()[0].t = "../victim";
    service->frames()[0].m = "a";
    service->frames()[0].path = victim.toStdString();
    fetchList(*service);

    const CloudFrameTable& frames = service->frames();
    EXPECT_EQ(frames[0].t, "2024030521");
    EXPECT_EQ(frames[0].s, 5);
    EXPECT_EQ(frames[0].q, 2);
    for (int i = 1; i < kCloudFrameCount; ++i) {
        EXPECT_FALSE(frames[i].t) << i;
    }
    ASSERT_TRUE(service->downloadFrame(0));
    ASSERT_TRUE(idle());
    EXPECT_EQ(cacheEntries(), std::vector<std::string>{"2024030521.jpg"});
    EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"list.xml", "server", "victim.txt", "work"}));
    EXPECT_EQ(QDir(work()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              (QStringList{"cache", "cache.tmp"}));
    QFile kept(victim);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "keep me");
    // Hostile stamps are refused where the service is asked directly, too.
    EXPECT_FALSE(service->loadCachedFrame("../work/cache/2024030521", 0));
}

TEST_F(CloudServiceTest, NothingStartsWhileATransferIsActive) {
    serveFrames(1);
    // The checks below run before the event loop turns again: the transfer cannot
    // have ended, however fast the server is.
    ImageServerProcess server(serverFolder());
    ASSERT_TRUE(server.started());
    auto service = makeService(server);
    service->frames()[0].t = times[0];
    ASSERT_TRUE(service->requestFrameList());
    EXPECT_TRUE(service->transferActive());
    EXPECT_FALSE(service->requestFrameList());
    EXPECT_FALSE(service->checkNewestImage());
    EXPECT_FALSE(service->downloadFrame(0));
    EXPECT_EQ(http.transferCount(), 1u);
    ASSERT_TRUE(idle());
    EXPECT_FALSE(service->transferActive());
    EXPECT_EQ(owner.listsArrived, 1);
}

TEST_F(CloudServiceTest, AFailedListLeavesEverythingAsItWas) {
    int port = 0;
    {
        ImageServerProcess gone(serverFolder());
        ASSERT_TRUE(gone.started());
        port = gone.port();
    }
    UrlContext context;
    CloudService service(http, owner, "127.0.0.1:" + std::to_string(port), context,
                         [this] { return now; });
    service.frames()[0].t = times[0];
    ASSERT_TRUE(service.requestFrameList());
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.statuses.back(),
              "transfer:Unable to connect. Check your internet connection and "
              "proxy settings in preferences.");
    EXPECT_EQ(service.frames()[0].t, times[0]);
    EXPECT_EQ(service.lastListTime(), 0);
}

TEST_F(CloudServiceTest, ShowsTheFrameThatAMirrorPulled) {
    // A public source stand-in with a 2048 x 1024 world map renewed at 07:40 UTC.
    test::UpstreamServer upstream;
    QImage map(2048, 1024, QImage::Format_Grayscale8);
    map.fill(200);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(map.save(&buffer, "JPG"));
    upstream.routes().Get("/clouds.jpg",
                          test::serveFile(bytes, "image/jpeg", "Tue, 05 Mar 2024 07:40:00 GMT"));
    ASSERT_TRUE(upstream.start());
    ImageServerProcess server(serverFolder(),
                              {"--mirror", "--clouds-url",
                               QString::fromStdString(upstream.url("/clouds.jpg")), "--quakes-url",
                               QString::fromStdString(upstream.url("/none"))});
    ASSERT_TRUE(server.started());
    ASSERT_TRUE(server.waitForLog("stored as frame 2024030506"));

    auto service = makeService(server);
    fetchList(*service);
    EXPECT_EQ(service->frames()[0].t, "2024030506");
    EXPECT_FALSE(service->frames()[1].t);
    ASSERT_TRUE(service->downloadFrame(0));
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.cloudImages, std::vector<int>{1024});
    EXPECT_TRUE(QFile::exists(cacheFile("2024030506.jpg")));
}

} // namespace
} // namespace chronvale
