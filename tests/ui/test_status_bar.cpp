#include "ui/status_bar.h"
#include "ui_test_support.h"

#include <QMainWindow>
#include <gtest/gtest.h>

using chronvale::ActivityIndicator;
using chronvale::StatusBar;

namespace {

class StatusBarTest : public chronvale::test::UiTest {};

// Pixels of the indicator drawn in the highlight colour.
int highlightPixels(ActivityIndicator& indicator) {
    const QImage image = indicator.grab().toImage();
    const QRgb highlight = indicator.palette().color(QPalette::Highlight).rgb();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0xffffff) == (highlight & 0xffffff) ? 1 : 0;
        }
    }
    return count;
}

TEST_F(StatusBarTest, TextsGoToTheirOwnField) {
    StatusBar bar({0, 70, 70, 0, 150}, 3);
    ASSERT_EQ(bar.fieldCount(), 5);
    bar.showStatus(QStringLiteral("Loading..."), 0);
    bar.showStatus(QStringLiteral("51.50"), 1);
    bar.showStatus(QStringLiteral("-0.12"), 2);
    bar.showStatus(QStringLiteral("01/02/24 10:00:00"), 4);
    EXPECT_EQ(bar.statusText(0), QStringLiteral("Loading..."));
    EXPECT_EQ(bar.statusText(1), QStringLiteral("51.50"));
    EXPECT_EQ(bar.statusText(2), QStringLiteral("-0.12"));
    EXPECT_EQ(bar.statusText(4), QStringLiteral("01/02/24 10:00:00"));

    // The activity field takes no text; numbers outside the bar change nothing.
    bar.showStatus(QStringLiteral("x"), 3);
    bar.showStatus(QStringLiteral("x"), 5);
    bar.showStatus(QStringLiteral("x"), -1);
    EXPECT_TRUE(bar.statusText(3).isEmpty());
    EXPECT_TRUE(bar.statusText(5).isEmpty());
    EXPECT_EQ(bar.statusText(0), QStringLiteral("Loading..."));
    EXPECT_EQ(bar.statusText(4), QStringLiteral("01/02/24 10:00:00"));

    bar.showStatus(QString(), 0);
    EXPECT_TRUE(bar.statusText(0).isEmpty());
}

// A menu's status tip is a temporary message; it must not blank the fields.
TEST_F(StatusBarTest, FieldsStayVisibleUnderATemporaryMessage) {
    QMainWindow window;
    auto* bar = new StatusBar({0, 80}, -1);
    window.setStatusBar(bar);
    window.show();
    bar->showStatus(QStringLiteral("12.34"), 1);
    bar->showMessage(QStringLiteral("Zoom In"));
    const QList<QWidget*> fields = bar->findChildren<QWidget*>();
    int visible = 0;
    for (QWidget* field : fields) {
        visible += field->isVisible() && field->inherits("QLabel") ? 1 : 0;
    }
    EXPECT_EQ(visible, 2);
    EXPECT_EQ(bar->activityIndicator(), nullptr);
    bar->stepActivity(); // no indicator: nothing happens
}

TEST_F(StatusBarTest, ActivityStepsAndClears) {
    StatusBar bar({0, 70, 70, 0, 150}, 3);
    ActivityIndicator* indicator = bar.activityIndicator();
    ASSERT_NE(indicator, nullptr);
    indicator->resize(indicator->sizeHint());
    EXPECT_FALSE(indicator->isActive());
    const int idle = highlightPixels(*indicator);

    bar.stepActivity();
    EXPECT_EQ(indicator->litBlocks(), 1);
    const int one = highlightPixels(*indicator);
    EXPECT_GT(one, idle);
    bar.stepActivity();
    bar.stepActivity();
    EXPECT_EQ(indicator->litBlocks(), 3);
    EXPECT_GT(highlightPixels(*indicator), one);

    // After the last block it starts again from one.
    for (int i = 3; i < ActivityIndicator::kBlocks; ++i) {
        bar.stepActivity();
    }
    EXPECT_EQ(indicator->litBlocks(), ActivityIndicator::kBlocks);
    bar.stepActivity();
    EXPECT_EQ(indicator->litBlocks(), 1);

    bar.clearActivity();
    EXPECT_FALSE(indicator->isActive());
    EXPECT_EQ(highlightPixels(*indicator), idle);
    bar.clearActivity();
    EXPECT_EQ(indicator->litBlocks(), 0);
}

} // namespace
