// chronvale-imaged's own parts: the frame folder, the replies and the demo content.

#include "demo.h"
#include "frame_folder.h"
#include "net/markup.h"
#include "net/quake_feed.h"
#include "replies.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale::imaged {
namespace {

void touch(const QString& path, const QByteArray& content = "x") {
    test::writeFile(path, content);
}

TEST(FrameFolder, ListsOnlyTimeStampedJpegsNewestFirst) {
    QTemporaryDir dir;
    for (const char* name : {"2024030509.jpg", "2024030521.jpg", "202403051230.jpg", "notes.jpg",
                             "2024.jpg", "2024030500.png", "2024030500.JPG"}) {
        touch(QDir(dir.path()).filePath(name));
    }
    std::vector<std::string> order;
    for (const FrameFile& frame : listFrames(dir.path())) {
        order.push_back(frame.t);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"2024030521", "202403051230", "2024030509"}));
    EXPECT_TRUE(findFrame(dir.path(), "2024030509"));
    EXPECT_FALSE(findFrame(dir.path(), "2024030510"));
    EXPECT_FALSE(findFrame(dir.path(), "../2024030509"));
    EXPECT_EQ(hourTimeStamp(1709600000), "2024030500");
}

TEST(Replies, FrameListAndNewestAreReadableMarkup) {
    const std::vector<FrameFile> frames{{"2024030521", {}, 100}, {"2024030518", {}, 200}};
    const std::string list = frameListMarkup(frames, 1);
    EXPECT_NE(list.find("<image t=\"2024030521\" m=\"clouds\" s=\"100\" q=\"1\" />"),
              std::string::npos);
    EXPECT_EQ(list.find("2024030518"), std::string::npos);
    EXPECT_NE(newestMarkup(frames).find("t=\"2024030521\""), std::string::npos);
    EXPECT_EQ(newestMarkup({}).find("<image"), std::string::npos);
    const std::string error = errorMarkup(3, "a <b> & c");
    const auto items = readMarkup(error);
    ASSERT_GE(items.size(), 3u);
    EXPECT_EQ(tagName(items[2]), "ERROR");
    EXPECT_EQ(tagAttribute(items[2], "n"), "3");
}

TEST(Replies, GeoJsonBecomesQuakeElements) {
    const QByteArray feed = R"({"type":"FeatureCollection","features":[
      {"properties":{"mag":5.25,"time":1709600000000,"place":"10 km W of \"Los <Andes>\" & co"},
       "geometry":{"coordinates":[-71.6,-33,35]}},
      {"properties":{"mag":null,"time":1709600000000},"geometry":{"coordinates":[1,2,3]}},
      {"properties":{"mag":4.5},"geometry":{"coordinates":[10.5]}},
      {"properties":{"mag":4.8,"time":0},"geometry":{"coordinates":[170.25,-20.125]}}]})";
    const auto markup = quakeMarkupFromGeoJson(feed);
    ASSERT_TRUE(markup);
    std::vector<std::string> quakes;
    for (const MarkupItem& item : readMarkup(*markup)) {
        if (tagName(item) == "QUAKE") {
            quakes.push_back(*tagAttribute(item, "lat") + " " + *tagAttribute(item, "lon") + " " +
                             *tagAttribute(item, "m") + " " + *tagAttribute(item, "depth") + " " +
                             *tagAttribute(item, "qt"));
        }
    }
    EXPECT_EQ(quakes, (std::vector<std::string>{"-33.0000 -71.6000 5.2 35.00 2024-03-05 00:53:20",
                                                "-20.1250 170.2500 4.8 0.00 1970-01-01 00:00:00"}));
    // The place goes along, escaped, and the client reads it back as the feed wrote it.
    EXPECT_NE(markup->find(R"(place="10 km W of &quot;Los &lt;Andes&gt;&quot; &amp; co")"),
              std::string::npos);
    const QuakeList read = parseQuakes(*markup);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].place, "10 km W of \"Los <Andes>\" & co");
    EXPECT_FLOAT_EQ(read[0].depth, 35.0f);
    EXPECT_FALSE(read[1].place) << "a feature without a place gets no attribute";
    EXPECT_FALSE(quakeMarkupFromGeoJson("{\"features\": 3}"));
    EXPECT_FALSE(quakeMarkupFromGeoJson("[1,2"));
}

TEST(Ingest, CopiesJpegsAndReencodesOtherImages) {
    QTemporaryDir dir;
    const QString frames = QDir(dir.path()).filePath("frames");
    QImage image(40, 20, QImage::Format_RGB888);
    image.fill(Qt::gray);
    const QString png = QDir(dir.path()).filePath("in.png");
    const QString jpg = QDir(dir.path()).filePath("in.jpg");
    ASSERT_TRUE(image.save(png));
    ASSERT_TRUE(image.save(jpg, "JPG"));

    EXPECT_FALSE(ingestImage(frames, jpg, "2024030500"));
    EXPECT_EQ(test::readFile(QDir(frames).filePath("2024030500.jpg")), test::readFile(jpg));
    EXPECT_FALSE(ingestImage(frames, png, "2024030503"));
    const QByteArray converted = test::readFile(QDir(frames).filePath("2024030503.jpg"));
    EXPECT_TRUE(converted.startsWith("\xFF\xD8\xFF"));
    EXPECT_EQ(QImage::fromData(converted).size(), QSize(40, 20));

    EXPECT_TRUE(ingestImage(frames, png, "../2024030503"));
    EXPECT_TRUE(ingestImage(frames, png, "20240305"));
    touch(QDir(dir.path()).filePath("text.png"), "not an image");
    EXPECT_TRUE(ingestImage(frames, QDir(dir.path()).filePath("text.png"), "2024030506"));
    EXPECT_EQ(listFrames(frames).size(), 2u);
}

TEST(Demo, FillsAnEmptyFolderAndRenewsOnlyItsOwnFrames) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("demo");
    std::vector<QString> lines;
    auto log = [&lines](const QString& line) { lines.push_back(line); };
    ASSERT_TRUE(makeDemoContent(folder, 1709600000, log, 64, 32));
    auto frames = listFrames(folder);
    ASSERT_EQ(frames.size(), 12u);
    EXPECT_EQ(frames.front().t, "2024030500");
    EXPECT_EQ(frames.back().t, "2024030315");
    EXPECT_EQ(QImage(frames.front().path).size(), QSize(64, 32));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath("quakes.geojson")));
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                            [](const QString& l) { return l.startsWith("DEMO: "); }));

    // A later run renews the demo frames, ending at its own hour.
    ASSERT_TRUE(makeDemoContent(folder, 1709600000 + 6 * 3600, log, 64, 32));
    frames = listFrames(folder);
    ASSERT_EQ(frames.size(), 12u);
    EXPECT_EQ(frames.front().t, "2024030506");

    // A frame of the user's own keeps every frame as it is.
    touch(QDir(folder).filePath("2024030600.jpg"));
    ASSERT_TRUE(makeDemoContent(folder, 1709600000 + 24 * 3600, log, 64, 32));
    EXPECT_EQ(listFrames(folder).size(), 13u);
}

TEST(Demo, CloudsAreWhiteOnBlackAndWrapAtTheDateLine) {
    const QImage clouds = demoCloudImage(475000);
    ASSERT_EQ(clouds.size(), QSize(1024, 512));
    int clear = 0, cloudy = 0, seam = 0;
    for (int y = 0; y < clouds.height(); ++y) {
        for (int x = 0; x < clouds.width(); ++x) {
            const int grey = qGray(clouds.pixel(x, y));
            clear += grey < 10;
            cloudy += grey > 200;
        }
        seam += std::abs(qGray(clouds.pixel(0, y)) - qGray(clouds.pixel(1023, y)));
    }
    const int pixels = clouds.width() * clouds.height();
    EXPECT_GT(clear, pixels / 5);
    EXPECT_GT(cloudy, pixels / 20);
    EXPECT_LT(seam / clouds.height(), 12); // neighbours across the date line are alike
    EXPECT_NE(demoCloudImage(475003), clouds);
}

} // namespace
} // namespace chronvale::imaged
