#include "render/qt/overlay_canvas.h"
#include "render_qt_test_support.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::countColour;
using test::pixel;

const QColor kInk(255, 0, 0);

TEST(OverlayCanvas, RectanglesAndLinesLeaveOutTheirEnd) {
    QImage image = test::blankCanvas(40, 40);
    {
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        canvas.fill(2, 3, 5, 7, kInk);           // 3 x 4
        canvas.horizontalLine(10, 15, 20, kInk); // x 10..14
        canvas.horizontalLine(30, 25, 22, kInk); // leftwards: x 30..26
        canvas.verticalLine(35, 10, 13, kInk);   // y 10..12
        canvas.verticalLine(36, 10, 10, kInk);   // no length
    }
    EXPECT_EQ(countColour(image, QRect(0, 0, 10, 10), kInk), 12);
    EXPECT_EQ(pixel(image, 4, 6), kInk);
    EXPECT_NE(pixel(image, 5, 6), kInk) << "right edge excluded";
    EXPECT_NE(pixel(image, 4, 7), kInk) << "bottom edge excluded";

    EXPECT_EQ(countColour(image, QRect(0, 20, 40, 1), kInk), 5);
    EXPECT_EQ(pixel(image, 10, 20), kInk);
    EXPECT_NE(pixel(image, 15, 20), kInk);
    EXPECT_EQ(pixel(image, 30, 22), kInk);
    EXPECT_NE(pixel(image, 25, 22), kInk);
    EXPECT_EQ(countColour(image, QRect(35, 0, 2, 40), kInk), 3);
}

TEST(OverlayCanvas, OutlineIsTheSquaresWholeBorder) {
    QImage image = test::blankCanvas(20, 20);
    {
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        canvas.outline(5, 5, 9, 9, kInk);
    }
    EXPECT_EQ(countColour(image, image.rect(), kInk), 16) << "a 5 x 5 square's border";
    for (QPoint corner : {QPoint(5, 5), QPoint(9, 5), QPoint(9, 9), QPoint(5, 9)}) {
        EXPECT_EQ(pixel(image, corner.x(), corner.y()), kInk);
    }
    EXPECT_NE(pixel(image, 7, 7), kInk);
}

TEST(OverlayCanvas, EllipseStaysInsideItsRectangle) {
    QImage image = test::blankCanvas(30, 30);
    const QColor rim(60, 60, 60);
    const QColor inside(0, 255, 0);
    {
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        canvas.ellipse(10, 10, 19, 19, rim, inside); // 9 x 9 pixels: 10..18
    }
    const auto painted = [](QColor c) { return c != QColor(0, 0, 0); };
    EXPECT_EQ(test::countPixels(image, QRect(0, 0, 30, 10), painted), 0);
    EXPECT_EQ(test::countPixels(image, QRect(0, 0, 10, 30), painted), 0);
    EXPECT_EQ(test::countPixels(image, QRect(19, 0, 11, 30), painted), 0) << "right edge excluded";
    EXPECT_EQ(test::countPixels(image, QRect(0, 19, 30, 11), painted), 0);
    EXPECT_GT(test::countPixels(image, QRect(18, 10, 1, 9), painted), 0) << "reaches column 18";
    EXPECT_GT(test::countPixels(image, QRect(10, 18, 9, 1), painted), 0) << "reaches row 18";
    EXPECT_EQ(pixel(image, 14, 14), inside);
    EXPECT_EQ(pixel(image, 10, 14), rim);
}

TEST(OverlayCanvas, TextBackgroundFollowsTheMode) {
    QImage image = test::blankCanvas(120, 40);
    const QColor background(0, 0, 200);
    QRect opaqueCell;
    QRect clearCell;
    {
        QPainter painter(&image);
        OverlayCanvas canvas(painter);
        canvas.setTextColour(QColor(255, 255, 255));
        canvas.setBackgroundColour(background);
        opaqueCell = canvas.text(2, 2, QStringLiteral("12:00"));
        canvas.setOpaque(false);
        clearCell = canvas.text(2, 20, QStringLiteral("12:00"));
    }
    ASSERT_FALSE(opaqueCell.isEmpty());
    EXPECT_EQ(opaqueCell.topLeft(), QPoint(2, 2));
    EXPECT_GE(opaqueCell.height(), 10) << "an 11-pixel font";
    EXPECT_EQ(pixel(image, opaqueCell.left(), opaqueCell.top()), background);
    EXPECT_EQ(countColour(image, clearCell, background), 0);
    EXPECT_GT(test::countPixels(image, clearCell,
                                [](QColor c) { return c.red() > 128 && c.blue() > 128; }),
              5)
        << "the text itself is drawn";
}

TEST(OverlayCanvas, TextsReadLeftToRightInARightToLeftWindow) {
    // A painter of a widget takes the widget's direction: right to left in Arabic.
    const auto draw = [](Qt::LayoutDirection direction) {
        QImage image = test::blankCanvas(120, 20);
        QPainter painter(&image);
        painter.setLayoutDirection(direction);
        OverlayCanvas canvas(painter);
        canvas.setOpaque(false);
        canvas.setTextColour(kInk);
        canvas.text(2, 2, QStringLiteral("12:00 London"));
        painter.end();
        return image;
    };
    EXPECT_TRUE(draw(Qt::RightToLeft) == draw(Qt::LeftToRight))
        << "the label is mirrored or reordered";
}

} // namespace
} // namespace chronvale
