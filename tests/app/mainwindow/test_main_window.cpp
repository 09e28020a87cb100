// The main window on the installed data: start-up, the switch commands as the
// menus and toolbar show them, the context menu, the pointer read-out, the
// double-click mark, resizing, minimise and restore, language and quitting.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/map_fit.h"
#include "config/program_settings.h"
#include "desktop/wallpaper/wallpaper_store.h"
#include "geo/time_zone.h"
#include "i18n/string_table.h"
#include "net/cloud_service.h"
#include "ui/status_bar.h"
#include "window_test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolBar>
#include <cmath>
#include <cstring>

namespace chronvale {
namespace {

using test::drainEvents;
using test::waitFor;

class MainWindowTest : public test::WindowTest {
protected:
    QString status(int part) const { return window->statusBarFields()->statusText(part); }

    bool pressed(int command) const { return window->toolbarAction(command)->isChecked(); }
    bool checked(int command) const { return window->menuAction(command)->isChecked(); }
    bool enabled(int command) const { return window->toolbarAction(command)->isEnabled(); }

    // The pane position of a city, inside the map area.
    QPoint paneAt(const CityRecord& city) const {
        const Point p = window->view().mapToScreen(city.longitude, city.latitude);
        return QPoint(p.x, p.y);
    }

    // The first city at least `margin` pixels inside the pane.
    const CityRecord& cityInside(int margin = 60) const {
        const PaneRect area = window->view().mapArea;
        for (const CityRecord& city : world->tables().cities) {
            const QPoint at = paneAt(city);
            if (at.x() > margin && at.y() > area.top + margin && at.x() < area.width - margin &&
                at.y() < area.top + area.height - margin) {
                return city;
            }
        }
        ADD_FAILURE() << "no city inside the pane";
        return world->tables().cities.front();
    }

    // The item texts and command ids of a submenu of the context menu.
    static QMenu* submenu(QMenu& menu, const QString& title) {
        for (QAction* action : menu.actions()) {
            if (action->menu() != nullptr && action->text() == title) {
                return action->menu();
            }
        }
        return nullptr;
    }
};

TEST_F(MainWindowTest, StartsWithTheLitMapAndTheTablesMenusAndToolbar) {
    start();
    EXPECT_TRUE(messages.boxes.empty());
    ASSERT_NE(world->compositor.litMap(), nullptr);
    EXPECT_EQ(world->compositor.litMap()->width(), kMapWidth);
    EXPECT_EQ(status(MainWindow::StatusMessage), QString()); // "Loading..." is gone
    EXPECT_GE(window->minimumWidth(), 320);
    EXPECT_GE(window->minimumHeight(), 250);
    EXPECT_TRUE(window->windowTitle().startsWith("Quillmar Chronvale - "));

    // 22 buttons (with Sun and Moon, Twilight Lines and Compare Times) and 3 separators; the
    // tips come from the string table.
    const QList<QAction*> buttons = window->toolBar()->actions();
    EXPECT_EQ(buttons.size(), 25);
    EXPECT_EQ(window->toolbarAction(cmd::Earthquakes)->toolTip(),
              "View world earthquakes in the past 7 days.");
    EXPECT_EQ(window->toolbarAction(cmd::ZoomIn)->toolTip(), "Zoom In");
    EXPECT_EQ(window->menuAction(cmd::Quit)->text(), "&Quit\tALT+F4");

    // The installed data has no language files: only English stays, checked.
    EXPECT_EQ(window->languageCommands(), std::vector<int>{cmd::English});
    EXPECT_TRUE(checked(cmd::English));

    // Dialog commands have their items now that their dialogs exist.
    ASSERT_NE(window->menuAction(cmd::SelectCity), nullptr);
    EXPECT_EQ(window->menuAction(cmd::SelectCity)->text(), "&Select City");
    ASSERT_NE(window->menuAction(cmd::Settings), nullptr);
    EXPECT_EQ(window->menuAction(cmd::Settings)->text(), "&Settings");
    ASSERT_NE(window->menuAction(cmd::About), nullptr);
    EXPECT_EQ(window->menuAction(cmd::About)->text(), "&About");
}

TEST_F(MainWindowTest, StoredSwitchesShowAsCheckMarksAndPressedButtons) {
    start([](World& w) {
        w.settings.switches.grid = true;
        w.settings.switches.cityNames = 40;
    });
    EXPECT_TRUE(pressed(cmd::Grid));
    EXPECT_TRUE(checked(cmd::Grid));
    EXPECT_TRUE(pressed(cmd::CityNames));
    EXPECT_FALSE(pressed(cmd::DayMap));
    EXPECT_FALSE(checked(cmd::AllCities));
}

TEST_F(MainWindowTest, SwitchCommandsFollowTheRules) {
    start();
    window->runCommand(cmd::NightMap);
    EXPECT_EQ(settings().switches.nightMap, 1);
    EXPECT_TRUE(pressed(cmd::NightMap));
    EXPECT_FALSE(enabled(cmd::SunShadow)); // no shadow over the night map

    window->runCommand(cmd::DayMap);
    EXPECT_EQ(settings().switches.nightMap, 0);
    EXPECT_EQ(settings().switches.dayMap, 1);
    EXPECT_FALSE(pressed(cmd::NightMap));
    EXPECT_TRUE(checked(cmd::DayMap));
    EXPECT_TRUE(enabled(cmd::SunShadow));

    // Time zones on turn night and clouds off and tint the day map.
    settings().switches.nightMap = true;
    settings().switches.clouds = true;
    window->runCommand(cmd::TimeZones);
    EXPECT_EQ(settings().switches.timeZones, 1);
    EXPECT_EQ(settings().switches.nightMap, 0);
    EXPECT_EQ(settings().switches.clouds, 0);
    EXPECT_TRUE(pressed(cmd::TimeZones));
    EXPECT_FALSE(pressed(cmd::Clouds));
    const EarthImage* lit = world->compositor.litMap();
    const EarthImage* day = world->compositor.dayImage();
    ASSERT_NE(lit, nullptr);
    ASSERT_NE(day, nullptr);
    EXPECT_NE(std::memcmp(lit->row(256), day->row(256), kMapWidth * 3), 0);

    // A toolbar click runs the same command as the menu.
    window->toolbarAction(cmd::Grid)->trigger();
    EXPECT_EQ(settings().switches.grid, 1);
    EXPECT_TRUE(checked(cmd::Grid));
    window->menuAction(cmd::Grid)->trigger();
    EXPECT_EQ(settings().switches.grid, 0);
    EXPECT_FALSE(pressed(cmd::Grid));

    window->runCommand(cmd::CityNames);
    EXPECT_EQ(settings().switches.cityNames, 40);
}

TEST_F(MainWindowTest, ZoomCommandsAndResizesFitUnlessTheUserZoomed) {
    start();
    // The first start sizes the window so that the fitted map meets the status bar.
    const auto mapMeetsStatusBar = [this] {
        drainEvents();
        const QWidget* pane = window->mapPane();
        return pane->height() == kPaneSeparatorRows + fittedMapRows(pane->width()) &&
               window->view().rowsFilled == window->view().mapArea.height;
    };
    EXPECT_TRUE(mapMeetsStatusBar());
    window->resize(800, 600);
    drainEvents();
    const float fit = static_cast<float>(window->view().mapArea.width) / 1024.0f;
    EXPECT_FLOAT_EQ(window->view().scale, fit);

    window->runCommand(cmd::ZoomIn);
    EXPECT_FLOAT_EQ(window->view().scale, fit + 0.1f);
    window->resize(900, 600);
    drainEvents();
    // Zoom In alone does not hold against a resize.
    EXPECT_FLOAT_EQ(window->view().scale,
                    static_cast<float>(window->view().mapArea.width) / 1024.0f);

    window->runCommand(cmd::ActualPixels);
    EXPECT_TRUE(window->view().userZoomed);
    window->resize(700, 500);
    drainEvents();
    EXPECT_FLOAT_EQ(window->view().scale, 1.0f);

    window->runCommand(cmd::FitToScreen);
    EXPECT_FALSE(window->view().userZoomed);
    EXPECT_FLOAT_EQ(window->view().scale,
                    static_cast<float>(window->view().mapArea.width) / 1024.0f);
    // Fit to Screen sizes the window as the first start does.
    EXPECT_TRUE(mapMeetsStatusBar());
}

TEST_F(MainWindowTest, ThePointerReadOutShowsTimePositionAndTheCityUnder) {
    start();
    const CityRecord& city = cityInside();
    const QPoint at = paneAt(city);
    mouse(QEvent::MouseMove, at);
    ASSERT_TRUE(window->cityUnderCursor());
    EXPECT_EQ(world->tables().cities[*window->cityUnderCursor()].name, city.name);
    // Latitude and longitude of the pixel under the pointer, two decimals.
    const float latitude = status(MainWindow::StatusLatitude).toFloat();
    const float longitude = status(MainWindow::StatusLongitude).toFloat();
    const float degreesPerPixel = 360.0f / 1024.0f / window->view().scale;
    EXPECT_NEAR(latitude, city.latitude, 2 * degreesPerPixel);
    EXPECT_NEAR(longitude, city.longitude, 2 * degreesPerPixel);
    EXPECT_TRUE(
        status(MainWindow::StatusLatitude).contains(QRegularExpression("^-?\\d+\\.\\d\\d$")));
    // "<date> hh:mm:ss <zone>": the date in the locale's pattern, then the zone's
    // abbreviation or name.
    EXPECT_TRUE(status(MainWindow::StatusLocalTime)
                    .contains(QRegularExpression("^[\\d ./-]+ \\d\\d:\\d\\d:\\d\\d( \\S+)?$")))
        << status(MainWindow::StatusLocalTime).toStdString();
}

// With City Names on the city under the pointer is known as soon as the pointer
// moves, before any paint: the read-out and the status bar take it at once, and
// the next paint shows its white box.
TEST_F(MainWindowTest, WithCityNamesOnTheMoveFindsTheHoveredCity) {
    start([](World& w) { w.settings.switches.cityNames = 40; });
    const CityRecord& city = cityInside();
    const QPoint at = paneAt(city) + QPoint(2, 1);
    mouse(QEvent::MouseMove, at);
    ASSERT_TRUE(window->cityUnderCursor());
    const CityRecord& hovered = world->tables().cities[*window->cityUnderCursor()];
    const QPoint box = paneAt(hovered);
    const QPoint offset = box - at;
    EXPECT_LT(std::sqrt(static_cast<double>(QPoint::dotProduct(offset, offset))),
              10.0 * window->view().scale)
        << "within the names overlay's pick radius";
    const std::optional<std::string> country = countryOfCity(hovered, world->tables().zones);
    EXPECT_EQ(status(MainWindow::StatusMessage).toStdString(),
              country && !country->empty() ? *country : hovered.name);

    const QImage shot = window->mapPane()->grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(box)), QColor(255, 255, 255)) << "the hovered city's box";

    // Nowhere near a city: nothing is hovered, and the next paint shows no box.
    mouse(QEvent::MouseMove, QPoint(-400, -400));
    EXPECT_FALSE(window->cityUnderCursor());
    const QImage after = window->mapPane()->grab().toImage();
    EXPECT_NE(QColor(after.pixel(box)), QColor(255, 255, 255));
}

// At 1:1 in a 1400 x 900 window: the pane is wider and taller than the map.
class ActualPixelsWindowTest : public MainWindowTest {
protected:
    void startAtActualPixels(const std::function<void(World&)>& prepare = {}) {
        start(prepare);
        window->resize(1400, 900);
        drainEvents();
        window->runCommand(cmd::ActualPixels);
        drainEvents();
        ASSERT_GT(window->view().mapArea.height, 560);
        ASSERT_GT(window->view().mapArea.width, 1100);
    }
    const CityRecord& named(const std::string& name, const std::string& country) const {
        for (const CityRecord& c : world->tables().cities) {
            if (c.name.substr(0, c.name.find_last_not_of(' ') + 1) == name &&
                countryOfCity(c, world->tables().zones) == country) {
                return c;
            }
        }
        ADD_FAILURE() << name << " is missing";
        return world->tables().cities.front();
    }
};

TEST_F(ActualPixelsWindowTest, TheCountryFieldClearsWhereNoCityIsNear) {
    startAtActualPixels([](World& w) { w.settings.switches.cityNames = 40; });
    mouse(QEvent::MouseMove, paneAt(named("Lahore", "Pakistan")));
    EXPECT_EQ(status(MainWindow::StatusMessage), QStringLiteral("Pakistan"));
    // The open South Pacific: no city within 10 pixels.
    const QPoint sea(static_cast<int>((180.0f - 130.0f) / 360.0f * 1024.0f),
                     2 + static_cast<int>((90.0f + 50.0f) / 180.0f * 512.0f));
    mouse(QEvent::MouseMove, sea);
    EXPECT_EQ(status(MainWindow::StatusMessage), QString()) << "no country over the sea";
    EXPECT_FALSE(status(MainWindow::StatusLatitude).isEmpty()) << "on the map";

    // Another message in the field stays when the pointer leaves a city.
    mouse(QEvent::MouseMove, paneAt(named("London", "United Kingdom")));
    EXPECT_EQ(status(MainWindow::StatusMessage), QStringLiteral("United Kingdom"));
    window->statusBarFields()->showStatus(QStringLiteral("Feed failed"), MainWindow::StatusMessage);
    mouse(QEvent::MouseMove, sea);
    EXPECT_EQ(status(MainWindow::StatusMessage), QStringLiteral("Feed failed"));
}

TEST_F(ActualPixelsWindowTest, OffTheMapTheReadOutIsBlank) {
    startAtActualPixels();
    const QPoint onMap(600, 300);
    mouse(QEvent::MouseMove, onMap);
    ASSERT_FALSE(status(MainWindow::StatusLatitude).isEmpty());
    ASSERT_TRUE(window->cityUnderCursor());
    for (const QPoint off : {QPoint(600, 2 + 530), QPoint(1100, 300)}) {
        mouse(QEvent::MouseMove, off);
        EXPECT_EQ(status(MainWindow::StatusLatitude), QString()) << off.x() << "," << off.y();
        EXPECT_EQ(status(MainWindow::StatusLongitude), QString());
        EXPECT_EQ(status(MainWindow::StatusLocalTime), QString());
        EXPECT_FALSE(window->cityUnderCursor()) << "a double-click there marks nothing";
        mouse(QEvent::MouseMove, onMap);
        EXPECT_FALSE(status(MainWindow::StatusLatitude).isEmpty());
    }
    // Onto the toolbar or out of the window: the pane is left.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window->mapPane(), &leave);
    EXPECT_EQ(status(MainWindow::StatusLatitude), QString());
    EXPECT_EQ(status(MainWindow::StatusLongitude), QString());
    EXPECT_EQ(status(MainWindow::StatusLocalTime), QString());
}

TEST_F(ActualPixelsWindowTest, DoubleClickingABigCityMarksThatCity) {
    startAtActualPixels();
    for (const auto& [name, country] :
         std::vector<std::pair<std::string, std::string>>{{"London", "United Kingdom"},
                                                          {"New York", "United States"},
                                                          {"Tokyo", "Japan"},
                                                          {"Sydney", "Australia"},
                                                          {"Santiago", "Chile"},
                                                          {"Kathmandu", "Nepal"}}) {
        const CityRecord& city = named(name, country);
        const QPoint at = paneAt(city);
        mouse(QEvent::MouseMove, at);
        mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        EXPECT_TRUE(city.marked) << name;
        int marked = 0;
        for (const CityRecord& c : world->tables().cities) {
            marked += c.marked ? 1 : 0;
        }
        EXPECT_EQ(marked, 1) << name << ": only it";
        window->runCommand(cmd::ClearCitySelection);
    }
}

TEST_F(MainWindowTest, ClearCitySelectionCanBeUndone) {
    start();
    QAction* undo = window->menuAction(cmd::UndoClearCitySelection);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    EXPECT_FALSE(undo->isEnabled()); // nothing cleared yet
    for (const std::size_t city : {std::size_t{3}, std::size_t{10}, std::size_t{42}}) {
        world->markCity(city, true);
    }
    const auto markedNow = [this] {
        std::vector<std::size_t> marked;
        for (std::size_t i = 0; i < world->tables().cities.size(); ++i) {
            if (world->tables().cities[i].marked) {
                marked.push_back(i);
            }
        }
        return marked;
    };
    const std::vector<std::size_t> before = markedNow();
    ASSERT_EQ(before.size(), 3u);

    window->runCommand(cmd::ClearCitySelection);
    EXPECT_TRUE(markedNow().empty());
    EXPECT_EQ(status(MainWindow::StatusMessage),
              QStringLiteral("3 marked cities cleared — Ctrl+Z to undo"));
    EXPECT_TRUE(undo->isEnabled());
    // A second clear with nothing marked keeps what the first took.
    window->runCommand(cmd::ClearCitySelection);
    EXPECT_TRUE(undo->isEnabled());

    undo->trigger(); // as Ctrl+Z does
    EXPECT_EQ(markedNow(), before);
    EXPECT_EQ(status(MainWindow::StatusMessage), QStringLiteral("3 marked cities restored"));
    EXPECT_FALSE(undo->isEnabled());
    window->runCommand(cmd::UndoClearCitySelection); // nothing more to give back
    EXPECT_EQ(markedNow(), before);
}

TEST_F(MainWindowTest, DoubleClickMarksTheCityUnderThePointer) {
    start();
    ASSERT_EQ(settings().switches.markedCities, 0);
    const CityRecord& city = cityInside();
    const QPoint at = paneAt(city) + QPoint(30, 0); // far: names off takes the nearest anyway
    mouse(QEvent::MouseMove, at);
    ASSERT_TRUE(window->cityUnderCursor());
    const std::size_t index = *window->cityUnderCursor();
    const bool before = world->tables().cities[index].marked;
    mouse(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
    EXPECT_EQ(world->tables().cities[index].marked, !before);
    EXPECT_EQ(settings().switches.markedCities, 1); // the selection is shown
    EXPECT_TRUE(pressed(cmd::CitySelection));

    window->runCommand(cmd::ClearCitySelection);
    for (const CityRecord& c : world->tables().cities) {
        EXPECT_FALSE(c.marked);
    }
}

TEST_F(MainWindowTest, PanDragMovesTheMapAndARightClickIsNotAZoom) {
    start();
    window->runCommand(cmd::ActualPixels);
    window->resize(600, 400);
    drainEvents();
    mouse(QEvent::MouseButtonPress, QPoint(300, 200), Qt::LeftButton);
    mouse(QEvent::MouseMove, QPoint(250, 180), Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, QPoint(250, 180), Qt::LeftButton);
    EXPECT_EQ(window->view().panX, 50);
    EXPECT_EQ(window->view().panY, 20);

    // A right drag of 100 pixels zooms by half.
    mouse(QEvent::MouseButtonPress, QPoint(100, 100), Qt::RightButton);
    mouse(QEvent::MouseMove, QPoint(150, 100), Qt::RightButton);
    mouse(QEvent::MouseMove, QPoint(200, 100), Qt::RightButton);
    mouse(QEvent::MouseButtonRelease, QPoint(200, 100), Qt::RightButton);
    EXPECT_FLOAT_EQ(window->view().scale, 1.5f);
    EXPECT_TRUE(window->view().userZoomed);
}

TEST_F(MainWindowTest, ContextMenuListsTheTenNearestCitiesNearestFirst) {
    start([](World& w) { w.settings.switches.nightMap = true; });
    const CityRecord& city = cityInside();
    const QPoint at = paneAt(city);
    const std::unique_ptr<QMenu> menu = window->makeContextMenu(at);

    QMenu* weather = submenu(*menu, "Weather");
    QMenu* hotels = submenu(*menu, "Hotels");
    QMenu* view = submenu(*menu, "View");
    ASSERT_NE(weather, nullptr);
    ASSERT_NE(hotels, nullptr);
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(weather->actions().size(), 10);
    ASSERT_EQ(hotels->actions().size(), 10);
    EXPECT_EQ(weather->actions()[0]->text().toStdString(), city.name);
    float last = -1.0f;
    const Point cursor{at.x() - window->view().mapArea.left, at.y() - window->view().mapArea.top};
    for (int slot = 0; slot < 10; ++slot) {
        EXPECT_EQ(weather->actions()[slot]->data().toInt(), cmd::NearbyCityWeather + slot);
        EXPECT_EQ(hotels->actions()[slot]->data().toInt(), cmd::NearbyCityHotels + slot);
        EXPECT_EQ(weather->actions()[slot]->text(), hotels->actions()[slot]->text());
        // Nearest first: the distances grow down the list.
        const std::string name = weather->actions()[slot]->text().toStdString();
        float best = 1e9f;
        for (const CityRecord& c : world->tables().cities) {
            if (c.name == name && c.picked) {
                const Point p = window->view().mapToPane(c.longitude, c.latitude);
                best = std::min(best, std::hypot(static_cast<float>(p.x - cursor.x),
                                                 static_cast<float>(p.y - cursor.y)));
            }
        }
        EXPECT_GE(best, last) << name;
        last = best;
    }

    // Check marks follow the switches; Sun Shadow is greyed over the night map.
    for (QAction* action : view->actions()) {
        const int command = action->data().toInt();
        if (command == cmd::NightMap) {
            EXPECT_TRUE(action->isChecked());
        } else if (command == cmd::DayMap) {
            EXPECT_FALSE(action->isChecked());
        } else if (command == cmd::SunShadow) {
            EXPECT_FALSE(action->isEnabled());
            EXPECT_FALSE(action->isCheckable());
        }
    }

    // The Weather item opens the weather page of that city.
    weather->actions()[0]->trigger();
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, "/usr/bin/xdg-open");
    EXPECT_TRUE(launches[0].arguments.value(0).startsWith("https://wttr.in/"))
        << launches[0].arguments.value(0).toStdString();
    hotels->actions()[1]->trigger();
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_TRUE(launches[1].arguments.value(0).contains("booking.com"));
}

TEST_F(MainWindowTest, LinksWithoutACityTakeTheOneNearestTheClick) {
    start();
    const CityRecord& city = cityInside();
    window->makeContextMenu(paneAt(city));
    window->runCommand(cmd::SatelliteImage);
    ASSERT_EQ(launches.size(), 1u);
    char latitude[32];
    std::snprintf(latitude, sizeof latitude, "%.4f", static_cast<double>(city.latitude));
    EXPECT_TRUE(launches[0].arguments.value(0).contains(QString::fromLatin1(latitude)))
        << launches[0].arguments.value(0).toStdString();

    // The FAQ is a page of the data folder.
    window->runCommand(cmd::Faq);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(QFileInfo(launches[1].arguments.value(0)).canonicalFilePath(),
              QFileInfo(dataFolder + "/faq.html").canonicalFilePath());
}

TEST_F(MainWindowTest, UpgradeAndManualAskTheUpgradeProgram) {
    // A data folder like the installed one, but without the manual.
    QTemporaryDir withoutManual;
    ASSERT_TRUE(withoutManual.isValid());
    for (const QFileInfo& entry :
         QDir(dataFolder).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot)) {
        if (entry.fileName() != QStringLiteral("manual.html")) {
            ASSERT_TRUE(
                QFile::link(entry.absoluteFilePath(), withoutManual.filePath(entry.fileName())));
        }
    }
    dataFolder = withoutManual.path();
    start([](World& w) {
        w.installation.values["path"] = "/opt/quillmar/upgrade";
        w.installation.values["code"] = "CV2";
    });
    window->runCommand(cmd::Upgrade);
    // No manual is installed: the upgrade program is asked to fetch it.
    window->runCommand(cmd::Manual);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].arguments, (QStringList{"CV2", "Quillmar Chronvale"}));
    EXPECT_EQ(launches[1].arguments, (QStringList{"-m", "CV2_M", "Quillmar Chronvale"}));
}

TEST_F(MainWindowTest, ManualOpensTheManualOfTheDataFolder) {
    start([](World& w) { w.installation.values["path"] = "/opt/quillmar/upgrade"; });
    window->runCommand(cmd::Manual);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(QFileInfo(launches[0].arguments.value(0)).canonicalFilePath(),
              QFileInfo(dataFolder + "/manual.html").canonicalFilePath());
}

TEST_F(MainWindowTest, MinimiseReleasesAndRestoreRebuildsFirstWithoutThenWithTheShadow) {
    start([](World& w) { w.settings.switches.sunShadow = true; });
    ASSERT_TRUE(waitFor([this] { return composedShadow.back() == 1; }));
    ASSERT_NE(world->compositor.dayImage(), nullptr);

    window->showMinimized();
    drainEvents();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_EQ(world->compositor.dayImage(), nullptr);
    EXPECT_EQ(world->compositor.timeZoneImage(), nullptr);
    ASSERT_NE(world->compositor.litMap(), nullptr); // the lit map stays

    const int before = composed;
    window->showNormal();
    ASSERT_TRUE(waitFor([&] { return composed >= before + 2; }));
    drainEvents();
    EXPECT_EQ(composed, before + 2);
    EXPECT_EQ(composedShadow[static_cast<std::size_t>(before)], 0);
    EXPECT_EQ(composedShadow[static_cast<std::size_t>(before) + 1], 1);
    EXPECT_NE(world->compositor.dayImage(), nullptr);
    EXPECT_EQ(settings().switches.sunShadow, 1);
    EXPECT_TRUE(pressed(cmd::SunShadow));

    // Minimize from the tray keeps the images.
    window->minimiseWindow();
    drainEvents();
    EXPECT_TRUE(window->isMinimized());
    EXPECT_NE(world->compositor.dayImage(), nullptr);
    window->restoreWindow();
    drainEvents();
    EXPECT_FALSE(window->isMinimized());
}

TEST_F(MainWindowTest, QuitSavesTheSettingsAndTheMarkedCities) {
    start();
    window->runCommand(cmd::Grid);
    world->markCity(5, true);
    bool closed = false;
    QObject::connect(window.get(), &MainWindow::closed, [&closed] { closed = true; });
    window->runCommand(cmd::Quit);
    EXPECT_TRUE(closed);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(openProgramSettings()->value("grid").toString(), "1");
    QFile config(userFolder.filePath("config.ini"));
    ASSERT_TRUE(config.open(QIODevice::ReadOnly));
    const QByteArray text = config.readAll();
    EXPECT_TRUE(text.contains("M=" + QByteArray::fromStdString(world->tables().cities[5].name)));
}

TEST_F(MainWindowTest, ClosingInWallpaperModeWithoutATrayKeepsTheProgram) {
    start([](World& w) { ASSERT_TRUE(writeStoredWallpaper(*w.programSettings, {true, {}, {}})); });
    bool closed = false;
    QObject::connect(window.get(), &MainWindow::closed, [&closed] { closed = true; });
    window->close();
    drainEvents();
    EXPECT_FALSE(closed);
    // Without a tray to come back from, the window goes to the task bar.
    EXPECT_TRUE(window->isMinimized() || !window->isVisible());
    window->exitProgram();
    EXPECT_TRUE(closed);
}

// A data folder like the installed one with the German language file of the build.
class LanguageWindowTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(data.isValid());
        const auto error = test::makeDataFolderWithLanguages(data.path(), {"de"});
        ASSERT_FALSE(error) << *error;
        dataFolder = data.path();
    }
    QTemporaryDir data;
};

TEST_F(LanguageWindowTest, OnlyLanguagesWithAFileAreOfferedAndSwitchingTranslatesAtOnce) {
    start([](World& w) { w.settings.language.reset(); });
    EXPECT_EQ(window->languageCommands(), (std::vector<int>{cmd::English, 1193}));
    EXPECT_EQ(window->toolbarAction(cmd::ZoomIn)->toolTip(), "Zoom In");

    window->menuAction(1193)->trigger();
    EXPECT_EQ(settings().language, std::optional<std::string>("de"));
    EXPECT_EQ(window->toolbarAction(cmd::ZoomIn)->toolTip(), QString::fromUtf8("Vergrößern"));
    EXPECT_EQ(window->toolbarAction(cmd::DayMap)->toolTip(), "Tageskarte anzeigen");
    EXPECT_EQ(window->menuAction(cmd::DayMap)->text(), "&Tageskarte");
    EXPECT_TRUE(checked(1193));

    window->runCommand(cmd::English);
    EXPECT_FALSE(settings().language);
    EXPECT_EQ(window->menuAction(cmd::DayMap)->text(), "&Day Map");
    EXPECT_TRUE(checked(cmd::English));
}

TEST_F(LanguageWindowTest, AStoredLanguageIsAppliedAtStart) {
    start([](World& w) { w.settings.language = "de"; });
    EXPECT_EQ(window->toolbarAction(cmd::DayMap)->toolTip(), "Tageskarte anzeigen");
    EXPECT_TRUE(checked(1193));
}

} // namespace
} // namespace chronvale
