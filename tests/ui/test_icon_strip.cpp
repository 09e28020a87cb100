#include "ui/icon_strip.h"
#include "ui_test_support.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

using chronvale::IconStrip;

namespace {

class IconStripTest : public chronvale::test::UiTest {};

// Pixels that are not fully transparent.
int paintedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
        }
    }
    return count;
}

TEST_F(IconStripTest, EveryPositionDrawsAVisibleIcon) {
    const IconStrip strip;
    // The 56 icons of old and the sky overlays' two.
    ASSERT_EQ(strip.count(), chronvale::IconCount);
    EXPECT_GE(strip.count(), 58);
    for (int i = 0; i < strip.count(); ++i) {
        SCOPED_TRACE(
            QStringLiteral("icon %1 (%2)").arg(i).arg(IconStrip::sourceFileName(i)).toStdString());
        const QImage small = strip.image(i, 16);
        ASSERT_EQ(small.size(), QSize(16, 16));
        const QPixmap pixmap = strip.pixmap(i, 16);
        ASSERT_FALSE(pixmap.isNull());
        EXPECT_EQ(pixmap.size(), QSize(16, 16));
        const QList<QSize> sizes = strip.icon(i).availableSizes();
        EXPECT_TRUE(sizes.contains(QSize(16, 16)) && sizes.contains(QSize(32, 32)));
        if (i == chronvale::IconBlank) {
            // The blank keeps the room of an icon and shows nothing.
            EXPECT_EQ(paintedPixels(small), 0);
        } else {
            // A drawn icon covers a fair part of its square, at both sizes.
            EXPECT_GE(paintedPixels(small), 16 * 16 / 8);
            EXPECT_GE(paintedPixels(strip.image(i, 32)), 32 * 32 / 8);
        }
    }
}

TEST_F(IconStripTest, PositionsOutsideTheStripGiveNothing) {
    const IconStrip strip;
    EXPECT_TRUE(strip.icon(-1).isNull());
    EXPECT_TRUE(strip.icon(chronvale::IconCount).isNull());
    EXPECT_TRUE(strip.pixmap(chronvale::IconCount, 16).isNull());
    EXPECT_TRUE(strip.image(0, 0).isNull());
    EXPECT_TRUE(IconStrip::sourcePath(chronvale::IconCount).isEmpty());
}

// Every position has its own SVG source, kept in resources/icons/, compiled
// in, and listed in the resource file; nothing else is in that folder.
TEST_F(IconStripTest, SourcesAreCompleteAndCompiledIn) {
    const IconStrip strip; // registers the compiled-in resources
    const QDir folder(QStringLiteral(CHRONVALE_SOURCE_DIR "/resources/icons"));
    QSet<QString> names;
    for (int i = 0; i < chronvale::IconCount; ++i) {
        const QString name = IconStrip::sourceFileName(i);
        SCOPED_TRACE(name.toStdString());
        EXPECT_TRUE(name.endsWith(QStringLiteral(".svg")));
        EXPECT_FALSE(names.contains(name)) << "two positions share one source";
        names.insert(name);
        EXPECT_TRUE(folder.exists(name));
        EXPECT_TRUE(QFile::exists(IconStrip::sourcePath(i)));
    }
    const QStringList svgFiles = folder.entryList({QStringLiteral("*.svg")}, QDir::Files);
    const QSet<QString> onDisk(svgFiles.begin(), svgFiles.end());
    EXPECT_EQ(onDisk, names);

    QFile qrc(folder.filePath(QStringLiteral("chronvale_icons.qrc")));
    ASSERT_TRUE(qrc.open(QIODevice::ReadOnly));
    const QString listing = QString::fromUtf8(qrc.readAll());
    QSet<QString> listed;
    const QRegularExpression file(QStringLiteral("<file>([^<]+)</file>"));
    for (auto it = file.globalMatch(listing); it.hasNext();) {
        listed.insert(it.next().captured(1));
    }
    EXPECT_EQ(listed, names);
}

} // namespace
