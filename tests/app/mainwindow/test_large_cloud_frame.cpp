// The zoomed pane's 4096 cloud frame, asked of a real chronvale-imaged on loopback:
// the cached copy first, else fetched once and handed on when it arrives; a frame
// the server has no copy of is not asked for again.

#include "app/mainwindow/large_cloud_frame.h"
#include "net/http_client.h"
#include "support/fixtures.h"
#include "support/image_server_process.h"
#include "support/jpeg_frame.h"
#include "support/net_test_support.h"
#include "support/qt_files.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

TEST(LargeCloudFrame, CachedFirstElseFetchedOnceAndHandedOn) {
    test::ensureApplication();
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString server = root.filePath("server");
    QDir(server).mkpath("4096");
    for (const char* t : {"2024030521", "2024030518", "2024030515"}) {
        test::writeFile(server + "/" + t + ".jpg", test::jpeg(100));
    }
    test::writeFile(server + "/4096/2024030521.jpg", test::jpeg(2048));
    QDir(root.path()).mkpath("work/cache");
    // A copy already in the cache; the server's would be another width.
    test::writeFile(root.filePath("work/cache/2024030515-4096.jpg"), test::jpeg(3000));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root.filePath("work"));

    test::ImageServerProcess process(server);
    ASSERT_TRUE(process.started());
    test::RecordingSink sink;
    HttpClient http;
    ASSERT_TRUE(http.httpInit(&sink, "Quillmar Chronvale"));
    HiresCloudFrames frames(http, process.host(), UrlContext{});
    int arrivals = 0;
    LargeCloudFrame large(frames, [&arrivals] { ++arrivals; });

    struct Case {
        std::string t;
        int firstWidth; // what the first ask gives; 0: none yet
        int laterWidth; // once the transfers are over
        int requests;   // of the server for large copies, in all so far
        int arrivals;
    };
    const Case cases[] = {
        {"2024030515", 3000, 3000, 0, 0}, // from the cache, no request
        {"2024030521", 0, 2048, 1, 1},    // fetched, then held
        {"2024030518", 0, 0, 2, 1},       // the server has none: not asked again
        {"2024030515", 3000, 3000, 2, 1}, // back to a cached frame
        {"", 0, 0, 2, 1},                 // no frame shown
    };
    for (const Case& c : cases) {
        const EarthImage* first = large.frameFor(c.t);
        EXPECT_EQ(first ? first->width() : 0, c.firstWidth) << c.t;
        ASSERT_TRUE(test::waitFor([&] { return !large.fetching() && http.transferCount() == 0; }));
        const EarthImage* later = large.frameFor(c.t);
        EXPECT_EQ(later ? later->width() : 0, c.laterWidth) << c.t;
        EXPECT_EQ(process.requests("w=4096"), c.requests) << c.t;
        EXPECT_EQ(arrivals, c.arrivals) << c.t;
    }
    // Freed, the fetched copy comes back from the cache without a request.
    large.release();
    const EarthImage* again = large.frameFor("2024030521");
    EXPECT_EQ(again ? again->width() : 0, 2048);
    EXPECT_EQ(process.requests("w=4096"), 2);
    http.httpShutdown();
    QDir::setCurrent(previous);
}

} // namespace
} // namespace chronvale
