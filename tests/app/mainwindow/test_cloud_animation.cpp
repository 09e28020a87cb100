// The cloud animation's steps over a real cloud service talking to chronvale-imaged
// on loopback, with recorders in place of the main window.

#include "app/mainwindow/cloud_animation.h"
#include "core/load_errors.h"
#include "net/cloud_service.h"
#include "net/http_client.h"
#include "render/compositor.h"
#include "support/cloud_folders.h"
#include "support/image_server_process.h"
#include "support/jpeg_frame.h"
#include "support/net_test_support.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace chronvale {
namespace {

using test::ImageServerProcess;
using test::waitFor;

constexpr std::time_t kStart = 1709600000; // 2024-03-05 00:53:20 UTC

// Records what the service asks of the main window. A list refresh resumes the
// animation's remembered step once the current event has been handled, as the main
// window does.
class RecordingCloudOwner final : public test::RecordingServiceOwner<CloudOwner> {
public:
    void setCloudImage(ImagePtr image) override {
        ASSERT_TRUE(image);
        cloudImages.push_back(image->width());
    }
    void frameLoaded() override { ++framesLoaded; }
    void frameListArrived() override {
        ++listsArrived;
        if (animation != nullptr) {
            QMetaObject::invokeMethod(
                animation, [this] { animation->resume(); }, Qt::QueuedConnection);
        }
    }
    void stopAnimation() override { ++animationStops; }

    CloudAnimation* animation = nullptr;
    std::vector<int> cloudImages; // the widths of the frames loaded from the cache
    int framesLoaded = 0;
    int listsArrived = 0;
    int animationStops = 0;
};

using test::jpeg;
using test::writeFile;

class CloudAnimationTest : public test::CloudFoldersTest {
protected:
    void TearDown() override {
        // A transfer still under way reports to the service: it goes first.
        http.httpShutdown();
        animation.reset();
        service.reset();
        server.reset();
        CloudFoldersTest::TearDown();
    }

    QString cacheFile(int frame) const {
        return QDir(work()).filePath("cache/" + QString::fromStdString(times[frame]) + ".jpg");
    }
    // Puts frames of widths 10 + i into the cache.
    void cacheFrames(int count) {
        for (int i = 0; i < count; ++i) {
            writeFile(cacheFile(i), jpeg(10 + i));
        }
    }
    // Starts the image server on the server folder (with `options`), then the
    // service and the animation on it.
    void startServer(const QStringList& options = {}) {
        server.emplace(serverFolder(), options);
        ASSERT_TRUE(server->started());
        service = std::make_unique<CloudService>(http, owner, server->host(), urlContext(),
                                                 [this] { return now; });
        animation = std::make_unique<CloudAnimation>(
            *service, compositor, http,
            CloudAnimation::Hooks{
                .cloudsOn = [this] { return cloudsOn; },
                .showClouds =
                    [this] {
                        cloudsOn = true;
                        ++cloudsSwitchedOn;
                    },
                .buttonsChanged = [this] { ++buttonUpdates; },
                .loop = [this] { return loop; },
                .showFrame = [this](const EarthImage& frame) { shown.push_back(frame.width()); },
                .now = [this] { return now; },
            });
        owner.animation = animation.get();
    }
    // Fetches the list and waits for it to be read.
    void fetchList() {
        const int before = owner.listsArrived;
        owner.animation = nullptr; // no resume for a list asked for directly
        ASSERT_TRUE(service->requestFrameList());
        ASSERT_TRUE(idle());
        ASSERT_EQ(owner.listsArrived, before + 1);
        owner.animation = animation.get();
    }
    int current() const { return service->currentFrame(); }

    RecordingLoadErrorSink loadErrors;
    Compositor compositor{std::string(), loadErrors};
    RecordingCloudOwner owner;
    std::unique_ptr<CloudService> service;
    std::optional<ImageServerProcess> server;
    std::unique_ptr<CloudAnimation> animation;
    std::time_t now = kStart;
    bool cloudsOn = true;
    bool loop = false;
    int cloudsSwitchedOn = 0;
    int buttonUpdates = 0;
    std::vector<int> shown; // the widths of the frames shown by a step
};

TEST_F(CloudAnimationTest, StepsFromTheOldestToTheNewestAndWrapsWithLoopOn) {
    serveFrames(12);
    cacheFrames(12);
    ASSERT_NO_FATAL_FAILURE(startServer());
    fetchList();
    loop = true;
    // The animation runs; its timer cannot fire, as no event is handled below.
    animation->play();
    ASSERT_TRUE(animation->running());
    // The first round loads each frame from the cache, the second shows it.
    animation->stepFrames(CloudAnimation::LastFrame, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 11);
    for (int expected = 10; expected >= 0; --expected) {
        animation->stepFrames(current(), CloudAnimation::TowardsNewest);
        EXPECT_EQ(current(), expected);
    }
    EXPECT_EQ(owner.cloudImages,
              (std::vector<int>{21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10}));
    animation->stepFrames(0, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 11);
    EXPECT_EQ(shown, std::vector<int>{21});
    animation->stepFrames(11, CloudAnimation::TowardsNewest);
    EXPECT_EQ(shown, (std::vector<int>{21, 20}));
    // Older than the oldest there is nothing.
    animation->stepFrames(11, 1);
    EXPECT_EQ(current(), 10);
    animation->stepFrames(11, 1);
    EXPECT_EQ(current(), 10);
    EXPECT_EQ(http.transferCount(), 0u);

    // With loop off, passing frame 0 stops the animation at frame 0.
    loop = false;
    animation->stepFrames(0, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 0);
    EXPECT_FALSE(animation->running());
    // With loop on but no animation running, a step past frame 0 does nothing.
    loop = true;
    animation->stepFrames(0, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(shown, (std::vector<int>{21, 20}));
}

TEST_F(CloudAnimationTest, AStaleListIsFetchedBeforeTheStepWhichThenResumes) {
    serveFrames(6);
    ASSERT_NO_FATAL_FAILURE(startServer());
    // No list yet: the first step fetches it and then downloads frame 0.
    animation->showNewest();
    EXPECT_EQ(animation->resumeFrom(), CloudAnimation::FirstFrame);
    ASSERT_TRUE(waitFor([&] { return owner.framesLoaded == 1 && http.transferCount() == 0; }));
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(owner.cloudImages, std::vector<int>{10});

    // Three hours later the list is still good; a second later it is stale.
    now += CloudAnimation::ListLifetime;
    animation->stepFrames(0, 1);
    ASSERT_TRUE(idle());
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(owner.listsArrived, 1);
    now += 1;
    animation->stepFrames(4, CloudAnimation::TowardsNewest);
    EXPECT_EQ(animation->resumeFrom(), 4);
    EXPECT_EQ(animation->resumeDirection(), CloudAnimation::TowardsNewest);
    ASSERT_TRUE(waitFor([&] { return owner.framesLoaded == 3 && http.transferCount() == 0; }));
    EXPECT_EQ(owner.listsArrived, 2);
    EXPECT_EQ(current(), 3);
    EXPECT_EQ(service->lastListTime(), now);
    EXPECT_EQ(owner.cloudImages, (std::vector<int>{10, 11, 13}));
}

TEST_F(CloudAnimationTest, NothingStartsWhileATransferIsActive) {
    serveFrames(1);
    // The steps below run before the event loop turns again: the transfer cannot have
    // ended, however fast the server is.
    ASSERT_NO_FATAL_FAILURE(startServer());
    owner.animation = nullptr;
    ASSERT_TRUE(service->requestFrameList());
    animation->stepFrames(5, CloudAnimation::TowardsNewest);
    animation->next();
    animation->previous();
    EXPECT_EQ(http.transferCount(), 1u);
    // Not remembered either: a list that arrives resumes the default step.
    EXPECT_EQ(animation->resumeFrom(), CloudAnimation::FirstFrame);
    EXPECT_EQ(animation->resumeDirection(), 1);
    ASSERT_TRUE(idle());
    EXPECT_EQ(owner.listsArrived, 1);
}

TEST_F(CloudAnimationTest, AFrameWithoutATimeStampEndsTheStepWithoutADownload) {
    serveFrames(3);
    ASSERT_NO_FATAL_FAILURE(startServer());
    fetchList();
    animation->stepFrames(2, 1);
    EXPECT_EQ(current(), 3);
    animation->stepFrames(6, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 5);
    EXPECT_EQ(http.transferCount(), 0u);
    EXPECT_TRUE(owner.cloudImages.empty());
}

TEST_F(CloudAnimationTest, AFrameNotFoundIsSteppedOntoButNeverAskedForAgain) {
    serveFrames(2);
    ASSERT_NO_FATAL_FAILURE(startServer({"--image-status", "404"}));
    fetchList();
    animation->showNewest();
    ASSERT_TRUE(idle());
    EXPECT_EQ(service->frames()[0].failures, kNotFound);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(owner.animationStops, 0);

    animation->stepFrames(1, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(http.transferCount(), 0u);
    ASSERT_TRUE(waitFor([&] { return server->requests("f=1") == 1; }));
}

TEST_F(CloudAnimationTest, AFrameThatFailedThreeTimesIsSteppedOntoButNotFetched) {
    serveFrames(2);
    ASSERT_NO_FATAL_FAILURE(startServer({"--image-status", "500"}));
    fetchList();
    // Each step onto frame 1 fetches it again, until it has failed three times.
    for (int attempt = 1; attempt <= 3; ++attempt) {
        animation->stepFrames(0, 1);
        EXPECT_EQ(http.transferCount(), 1u) << attempt;
        ASSERT_TRUE(idle());
        EXPECT_EQ(service->frames()[1].failures, attempt);
        EXPECT_EQ(owner.animationStops, attempt);
    }
    animation->stepFrames(0, 1);
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(http.transferCount(), 0u);
    ASSERT_TRUE(waitFor(
        [&] { return server->requests("f=1&t=" + QString::fromStdString(times[1])) == 3; }));
}

TEST_F(CloudAnimationTest, AStepPassesOverFramesWhoseImageIsGoneOrUnreadable) {
    serveFrames(6);
    cacheFrames(6);
    ASSERT_NO_FATAL_FAILURE(startServer());
    fetchList();
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(service->downloadFrame(i)); // from the cache
    }
    ASSERT_EQ(http.transferCount(), 0u);
    // Frame 2's file went away, frame 3's is no image any more.
    ASSERT_TRUE(QFile::remove(cacheFile(2)));
    writeFile(cacheFile(3), "not a picture");

    animation->stepFrames(4, CloudAnimation::TowardsNewest);
    EXPECT_EQ(current(), 1);
    animation->stepFrames(1, 1);
    EXPECT_EQ(current(), 4);
    EXPECT_EQ(shown, (std::vector<int>{11, 14}));
    // Neither is fetched again: their paths still name the cache.
    EXPECT_EQ(http.transferCount(), 0u);
    EXPECT_EQ(server->requests("f=1"), 0);
}

TEST_F(CloudAnimationTest, PreviousWithTheCloudsOffStartsAtTheNewestFrame) {
    serveFrames(3);
    cacheFrames(3);
    ASSERT_NO_FATAL_FAILURE(startServer());
    fetchList();
    cloudsOn = false;
    animation->previous();
    EXPECT_EQ(cloudsSwitchedOn, 1);
    EXPECT_EQ(current(), 0);
    animation->previous();
    EXPECT_EQ(current(), 1);
    EXPECT_EQ(owner.cloudImages, (std::vector<int>{10, 11}));
    animation->next();
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(shown, std::vector<int>{10});
    EXPECT_EQ(cloudsSwitchedOn, 1);
}

TEST_F(CloudAnimationTest, PlayRunsFromTheOldestToTheNewestAndLoopsWhenAsked) {
    serveFrames(12);
    cacheFrames(12);
    ASSERT_NO_FATAL_FAILURE(startServer());
    fetchList();
    cloudsOn = false;

    // Loop off: one round, then the timer stops on the newest frame.
    animation->play();
    EXPECT_EQ(cloudsSwitchedOn, 1);
    const int updates = buttonUpdates;
    ASSERT_TRUE(waitFor([&] { return !animation->running(); }, std::chrono::seconds(20)));
    EXPECT_EQ(current(), 0);
    EXPECT_EQ(owner.cloudImages,
              (std::vector<int>{21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10}));
    // The buttons follow once the stop has been handled.
    ASSERT_TRUE(waitFor([&] { return buttonUpdates > updates; }));

    // Loop on: past the newest frame the oldest comes again, until Stop.
    loop = true;
    animation->play();
    ASSERT_TRUE(waitFor([&] { return shown.size() >= 14; }, std::chrono::seconds(20)));
    EXPECT_TRUE(animation->running());
    animation->stop();
    EXPECT_FALSE(animation->running());
    EXPECT_EQ(current(), 0);
    shown.resize(14);
    EXPECT_EQ(shown, (std::vector<int>{21, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10, 21, 20}));
    EXPECT_EQ(http.transferCount(), 0u);
}

} // namespace
} // namespace chronvale
