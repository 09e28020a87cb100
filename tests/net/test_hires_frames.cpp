// The large copies of the cloud frames, asked of a real chronvale-imaged on
// loopback: served and cached where the server has one, the frame itself (and
// no copy) where it has none.

#include "net/hires_frames.h"
#include "net/http_client.h"
#include "support/image_server_process.h"
#include "support/jpeg_frame.h"
#include "support/net_test_support.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

TEST(LargeFrames, AreWantedAboveTheFrameSizeOnly) {
    struct Case {
        int width, height;
        bool wanted;
    };
    for (const Case& c : {Case{1024, 512, false}, Case{800, 400, false}, Case{1025, 512, true},
                          Case{1024, 513, true}, Case{3840, 2160, true}}) {
        EXPECT_EQ(wantsLargeFrames(c.width, c.height), c.wanted) << c.width << "x" << c.height;
    }
}

TEST(LargeFrames, AreFetchedWhereTheServerHasThemAndNotAskedAgainWhereNot) {
    test::ensureApplication();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString server = root.filePath("server");
    QDir(server).mkpath("4096");
    test::writeFile(server + "/2024030521.jpg", test::jpeg(100));
    test::writeFile(server + "/4096/2024030521.jpg", test::jpeg(2048));
    test::writeFile(server + "/2024030518.jpg", test::jpeg(100));
    QDir(root.path()).mkpath("work");
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root.filePath("work"));

    test::ImageServerProcess process(server);
    ASSERT_TRUE(process.started());
    test::RecordingSink sink;
    HttpClient http;
    ASSERT_TRUE(http.httpInit(&sink, "Quillmar Chronvale"));
    HiresCloudFrames frames(http, process.host(), UrlContext{});

    struct Case {
        std::string t;
        int width; // of the image done gets; 0: none
    };
    for (const Case& c : {Case{"2024030521", 2048}, Case{"2024030518", 0}}) {
        EXPECT_EQ(frames.cached(c.t), nullptr);
        int got = -1;
        ASSERT_TRUE(
            frames.fetch(c.t, [&got](ImagePtr image) { got = image ? image->width() : 0; }));
        ASSERT_TRUE(test::waitFor([&got] { return got >= 0; }));
        EXPECT_EQ(got, c.width) << c.t;
        ASSERT_TRUE(test::waitFor([&http] { return http.transferCount() == 0; }));
        const ImagePtr cached = frames.cached(c.t);
        EXPECT_EQ(cached ? cached->width() : 0, c.width) << c.t;
    }
    EXPECT_EQ(process.requests("w=4096"), 2);
    // The frame without a copy is not asked for again; a bad time stamp never.
    EXPECT_FALSE(frames.fetch("2024030518", [](ImagePtr) {}));
    EXPECT_FALSE(frames.fetch("../../etc", [](ImagePtr) {}));
    EXPECT_EQ(process.requests("w=4096"), 2);
    http.httpShutdown();
    QDir::setCurrent(previous);
}

} // namespace
} // namespace chronvale
