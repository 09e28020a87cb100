#include "config/program_settings.h"
#include "ui/dialog.h"
#include "ui/window_geometry.h"
#include "ui_test_support.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

using chronvale::Dialog;
using chronvale::fitToScreens;

namespace {

class WindowGeometryTest : public chronvale::test::UiTest {
protected:
    QRect screenArea() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST(FitToScreens, KeepsWhatIsVisibleAndBringsBackWhatIsNot) {
    const QList<QRect> two = {QRect(0, 0, 1920, 1080), QRect(1920, 0, 1280, 1024)};
    // Wholly on one screen, or spanning both: unchanged.
    EXPECT_EQ(fitToScreens(QRect(100, 100, 400, 300), two), QRect(100, 100, 400, 300));
    EXPECT_EQ(fitToScreens(QRect(1800, 100, 400, 300), two), QRect(1800, 100, 400, 300));
    // Partly off the right screen's bottom: pushed up onto it.
    EXPECT_EQ(fitToScreens(QRect(2000, 900, 400, 300), two), QRect(2000, 724, 400, 300));
    // Saved on a third screen that is gone: onto the nearest one, whole.
    EXPECT_EQ(fitToScreens(QRect(4000, 200, 400, 300), two), QRect(2800, 200, 400, 300));
    EXPECT_EQ(fitToScreens(QRect(-900, -700, 400, 300), two), QRect(0, 0, 400, 300));
    // Larger than the screen it lands on: shrunk to it.
    EXPECT_EQ(fitToScreens(QRect(2000, 10, 1500, 1200), two), QRect(1920, 0, 1280, 1024));
    // Across both and below the smaller one: onto the screen it overlaps most.
    EXPECT_EQ(fitToScreens(QRect(1900, 1000, 300, 100), two), QRect(1920, 924, 300, 100));
    // No screens known: as saved.
    EXPECT_EQ(fitToScreens(QRect(-5, -5, 10, 10), {}), QRect(-5, -5, 10, 10));
}

TEST_F(WindowGeometryTest, ReadsOnlyCompleteWholeNumbers) {
    const auto settings = chronvale::openProgramSettings();
    chronvale::writeWindowGeometry(*settings, QStringLiteral("DLGS/7"), QRect(-20, 30, 640, 480));
    EXPECT_EQ(chronvale::readWindowGeometry(*settings, QStringLiteral("DLGS/7")),
              QRect(-20, 30, 640, 480));
    // Stored as decimal text.
    EXPECT_EQ(settings->value(QStringLiteral("DLGS/7/left")).toString(), QStringLiteral("-20"));

    settings->setValue(QStringLiteral("DLGS/8/left"), QStringLiteral("10"));
    settings->setValue(QStringLiteral("DLGS/8/top"), QStringLiteral("10"));
    settings->setValue(QStringLiteral("DLGS/8/width"), QStringLiteral("wide"));
    settings->setValue(QStringLiteral("DLGS/8/height"), QStringLiteral("200"));
    EXPECT_FALSE(chronvale::readWindowGeometry(*settings, QStringLiteral("DLGS/8")));
    settings->setValue(QStringLiteral("DLGS/8/width"), QStringLiteral("0"));
    EXPECT_FALSE(chronvale::readWindowGeometry(*settings, QStringLiteral("DLGS/8")));
    settings->remove(QStringLiteral("DLGS/8/top"));
    settings->setValue(QStringLiteral("DLGS/8/width"), QStringLiteral("300"));
    EXPECT_FALSE(chronvale::readWindowGeometry(*settings, QStringLiteral("DLGS/8")));
    EXPECT_FALSE(chronvale::readWindowGeometry(*settings, QStringLiteral("DLGS/9")));
}

TEST_F(WindowGeometryTest, SettingsFileIsTheProgramsUserFile) {
    EXPECT_EQ(chronvale::openProgramSettings()->fileName(), settingsFile());
    EXPECT_EQ(chronvale::openProgramSettings()->format(), QSettings::IniFormat);
    EXPECT_EQ(chronvale::dialogSettingsGroup(103), QStringLiteral("DLGS/103"));
    EXPECT_EQ(chronvale::listSettingsGroup(103, 1015), QStringLiteral("DLGS/103/1015"));
}

// A dialog closed at one place comes back there, through the settings file.
TEST_F(WindowGeometryTest, DialogComesBackWhereItWasClosed) {
    const QRect area = screenArea();
    const QPoint place = area.topLeft() + QPoint(40, 50);
    {
        Dialog dialog(950);
        dialog.show();
        dialog.move(place);
        dialog.resize(310, 220);
        dialog.close();
    }
    QFile file(settingsFile());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly))
        << "nothing written to " << settingsFile().toStdString();
    {
        QSettings written(settingsFile(), QSettings::IniFormat);
        EXPECT_EQ(written.value(QStringLiteral("DLGS/950/left")).toString(),
                  QString::number(place.x()));
        EXPECT_EQ(written.value(QStringLiteral("DLGS/950/top")).toString(),
                  QString::number(place.y()));
        EXPECT_EQ(written.value(QStringLiteral("DLGS/950/width")).toString(),
                  QStringLiteral("310"));
        EXPECT_EQ(written.value(QStringLiteral("DLGS/950/height")).toString(),
                  QStringLiteral("220"));
    }

    Dialog again(950);
    again.show();
    EXPECT_EQ(again.pos(), place);
    EXPECT_EQ(again.size(), QSize(310, 220));

    // Another dialog number remembers nothing of it.
    Dialog other(951);
    other.resize(100, 80);
    other.show();
    EXPECT_EQ(other.size(), QSize(100, 80));
}

// A dialog destroyed while shown (its owner closed first) still remembers.
TEST_F(WindowGeometryTest, DialogDestroyedWhileShownRemembers) {
    const QPoint place = screenArea().topLeft() + QPoint(12, 34);
    {
        QWidget owner;
        auto* dialog = new Dialog(952, &owner);
        dialog->show();
        dialog->move(place);
        dialog->resize(200, 150);
    }
    const auto settings = chronvale::openProgramSettings();
    EXPECT_EQ(chronvale::readWindowGeometry(*settings, QStringLiteral("DLGS/952")),
              QRect(place, QSize(200, 150)));
}

TEST_F(WindowGeometryTest, DialogSavedOffScreenComesBackOnIt) {
    {
        const auto settings = chronvale::openProgramSettings();
        chronvale::writeWindowGeometry(*settings, QStringLiteral("DLGS/953"),
                                       QRect(50000, -4000, 300, 200));
    }
    Dialog dialog(953);
    dialog.show();
    EXPECT_TRUE(screenArea().contains(QRect(dialog.pos(), dialog.size())))
        << dialog.pos().x() << "," << dialog.pos().y();
    EXPECT_EQ(dialog.size(), QSize(300, 200));
}

} // namespace
