// What the main window tells and offers a user beyond the map itself: the
// services' failures in the status bar, the browser error with its address, the
// Upgrade item only with an upgrade program, the wheel zoom, the earthquake
// tooltips, Save Map As and the switches remembered between runs.

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/quake_tooltip.h"
#include "config/program_settings.h"
#include "i18n/language.h"
#include "net/cloud_service.h"
#include "net/quake_feed.h"
#include "support/environment.h"
#include "support/image_server_process.h"
#include "ui/status_bar.h"
#include "window_test_support.h"

#include <QAction>
#include <QFileInfo>
#include <QHelpEvent>
#include <QImage>
#include <QTcpServer>
#include <QToolTip>
#include <QWheelEvent>
#include <cstdlib>

namespace chronvale {
namespace {

using test::drainEvents;
using test::waitFor;

const QString kUnableToConnect = QStringLiteral(
    "Unable to connect. Check your internet connection and proxy settings in preferences.");

// A loopback port where nothing listens (the image server is stopped).
std::string stoppedServer() {
    QTcpServer probe;
    EXPECT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    return "127.0.0.1:" + std::to_string(port);
}

class FeedbackWindowTest : public test::WindowTest {
protected:
    QString status(int part) const { return window->statusBarFields()->statusText(part); }

    void wheel(QPoint at, int delta, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* pane = window->mapPane();
        QWheelEvent event(QPointF(at), QPointF(pane->mapToGlobal(at)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane, &event);
    }

    // The tooltip the pane shows when the pointer rests at `at`.
    QString tooltipAt(QPoint at) {
        QToolTip::hideText();
        QWidget* pane = window->mapPane();
        QHelpEvent event(QEvent::ToolTip, at, pane->mapToGlobal(at));
        QApplication::sendEvent(pane, &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }

    // The map point under a pane position.
    Point sourceAt(QPoint at) const {
        const MapView& view = window->view();
        return view.screenToSource(at.x() - view.mapArea.left, at.y() - view.mapArea.top);
    }

    // Values written to the settings file before the window starts.
    void storeBeforeStart(const QString& key, const QString& value) {
        openProgramSettings()->setValue(key, value);
    }
};

TEST_F(FeedbackWindowTest, WithTheServerStoppedTheFeedsSayTheyFailedAndTheTextStays) {
    const std::string server = stoppedServer();
    start([&](World& w) {
        w.installation.values["server"] = server;
        w.settings.switches.earthquakes = true; // on from the start
        w.settings.switches.cityNames = kNamesOn;
    });
    ASSERT_TRUE(waitFor([this] { return status(MainWindow::StatusMessage) == kUnableToConnect; }));
    EXPECT_TRUE(window->toolbarAction(cmd::Earthquakes)->isChecked());
    EXPECT_TRUE(window->quakeFeed().quakeList().empty());

    // The pointer over a city and the clock's tick leave the failure readable.
    const PaneRect area = window->view().mapArea;
    for (const CityRecord& city : world->tables().cities) {
        const Point p = window->view().mapToScreen(city.longitude, city.latitude);
        if (p.x > 60 && p.y > 60 && p.x < area.width - 60 && p.y < area.height - 60) {
            mouse(QEvent::MouseMove, QPoint(p.x, p.y));
            break;
        }
    }
    window->repaintMap();
    drainEvents();
    EXPECT_TRUE(window->cityUnderCursor());
    EXPECT_EQ(status(MainWindow::StatusMessage), kUnableToConnect);

    // Switching the display off and on tries again and says so again.
    window->statusBarFields()->showStatus(QString(), MainWindow::StatusMessage);
    window->runCommand(cmd::Earthquakes);
    window->runCommand(cmd::Earthquakes);
    ASSERT_TRUE(waitFor([this] { return status(MainWindow::StatusMessage) == kUnableToConnect; }));

    // The clouds likewise.
    window->statusBarFields()->showStatus(QString(), MainWindow::StatusMessage);
    window->runCommand(cmd::Clouds);
    ASSERT_TRUE(waitFor([this] { return status(MainWindow::StatusMessage) == kUnableToConnect; }));
    EXPECT_EQ(world->http.transferCount(), 0);
}

TEST_F(FeedbackWindowTest, TheBrowserErrorNamesTheAddressAndOffersToCopyIt) {
    launchesFail = true;
    start();
    window->runCommand(cmd::Faq);
    ASSERT_EQ(messages.boxes.size(), 1u);
    const auto& box = messages.boxes[0];
    EXPECT_EQ(box.caption, "Browser Error");
    EXPECT_TRUE(box.copyText.endsWith("/faq.html")) << box.copyText.toStdString();
    EXPECT_TRUE(box.text.startsWith("Unable to open the specified Browser."));
    EXPECT_TRUE(box.text.endsWith("Address: " + box.copyText)) << box.text.toStdString();
}

TEST_F(FeedbackWindowTest, UpgradeIsOfferedOnlyWithAnUpgradeProgram) {
    start([](World& w) { w.installation.values.erase("path"); });
    ASSERT_NE(window->menuAction(cmd::Upgrade), nullptr);
    EXPECT_FALSE(window->menuAction(cmd::Upgrade)->isVisible());
    EXPECT_TRUE(window->menuAction(cmd::SaveMapAs)->isVisible());
    window.reset();
    world.reset();
    composed = 0;

    start([](World& w) { w.installation.values["path"] = "/opt/quillmar/upgrade"; });
    EXPECT_TRUE(window->menuAction(cmd::Upgrade)->isVisible());
}

TEST_F(FeedbackWindowTest, TheWheelZoomsAboutThePointerAndTheMenuAboutTheCentre) {
    start();
    // Low enough that the map, zoomed in, is taller than the pane.
    window->resize(900, 450);
    drainEvents();
    const float fit = window->view().scale;
    const QPoint pointer(600, 300);
    const Point before = sourceAt(pointer);
    wheel(pointer, 120);
    EXPECT_FLOAT_EQ(window->view().scale, fit + 0.1f);
    wheel(pointer, 240, Qt::ControlModifier);
    EXPECT_FLOAT_EQ(window->view().scale, fit + 0.3f);
    Point after = sourceAt(pointer);
    EXPECT_LE(std::abs(after.x - before.x), 1);
    EXPECT_LE(std::abs(after.y - before.y), 1);
    // A wheel zoom holds against a resize, as a zoom drag does.
    EXPECT_TRUE(window->view().userZoomed);
    window->resize(950, 450);
    drainEvents();
    EXPECT_FLOAT_EQ(window->view().scale, fit + 0.3f);

    const PaneRect area = window->view().mapArea;
    const QPoint centre(area.left + area.width / 2, area.top + area.height / 2);
    const Point middle = sourceAt(centre);
    window->runCommand(cmd::ZoomIn);
    after = sourceAt(centre);
    EXPECT_LE(std::abs(after.x - middle.x), 1);
    EXPECT_LE(std::abs(after.y - middle.y), 1);
    window->runCommand(cmd::ZoomOut);
    window->runCommand(cmd::ZoomOut);
    after = sourceAt(centre);
    EXPECT_LE(std::abs(after.x - middle.x), 1);
    EXPECT_LE(std::abs(after.y - middle.y), 1);
}

TEST_F(FeedbackWindowTest, SaveMapAsWritesWhatThePaneShows) {
    QTemporaryDir pictures;
    ASSERT_TRUE(pictures.isValid());
    QString suggested;
    QString answer = pictures.filePath("world");
    // The dialog is asked; an answer without extension gets ".png".
    chooseMapFile = [&](const QString& offered) {
        suggested = offered;
        return answer;
    };
    start([](World& w) { w.settings.switches.grid = true; });
    window->resize(900, 600);
    drainEvents();
    window->runCommand(cmd::SaveMapAs);
    EXPECT_TRUE(suggested.endsWith(".png"));
    const QImage saved(pictures.filePath("world.png"), "PNG");
    ASSERT_FALSE(saved.isNull());
    const QImage shown = window->mapPane()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(saved.size(), shown.size());
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), shown);
    // The overlays are in it: the equator of the grid is red.
    const Point equator = window->view().mapToScreen(-100.0f, 0.0f);
    EXPECT_EQ(QColor(saved.pixel(equator.x, equator.y)), QColor(200, 0, 0));
    EXPECT_TRUE(status(MainWindow::StatusMessage).startsWith("Map saved to '"));
    EXPECT_TRUE(messages.boxes.empty());

    // A place that cannot be written: an error box, and nothing is left behind.
    answer = pictures.filePath("missing/folder/map.png");
    window->runCommand(cmd::SaveMapAs);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].caption, "Error");
    EXPECT_TRUE(messages.boxes[0].text.startsWith("Unable to save the map to '" + answer + "': "))
        << messages.boxes[0].text.toStdString();
    EXPECT_FALSE(QFileInfo::exists(answer));

    // Cancelled: nothing happens.
    answer.clear();
    window->runCommand(cmd::SaveMapAs);
    EXPECT_EQ(messages.boxes.size(), 1u);
}

TEST_F(FeedbackWindowTest, EarthquakeMarkersTellWhatTheFeedCarried) {
    test::LocalTimeZone zone("Asia/Tokyo");
    QTemporaryDir serverFolder;
    ASSERT_TRUE(serverFolder.isValid());
    test::ImageServerProcess server(serverFolder.path(), {QStringLiteral("--demo")});
    ASSERT_TRUE(server.started());
    start([&](World& w) { w.installation.values["server"] = server.host(); });
    window->resize(1100, 700);
    drainEvents();
    window->runCommand(cmd::Earthquakes);
    ASSERT_TRUE(waitFor([this] { return !window->quakeFeed().quakeList().empty(); }));
    drainEvents();

    const QuakeRecord& quake = window->quakeFeed().quakeList()[0];
    ASSERT_TRUE(quake.place);
    ASSERT_TRUE(quake.qt);
    const Point p = window->view().mapToScreen(quake.lon, quake.lat);
    const QString text = tooltipAt(QPoint(p.x + 3, p.y + 3));
    EXPECT_TRUE(text.startsWith(QString("Magnitude %1\n%2\n")
                                    .arg(static_cast<double>(quake.m), 0, 'f', 1)
                                    .arg(QString::fromStdString(*quake.place))))
        << text.toStdString();
    // The server's time is UTC; Tokyo is nine hours ahead.
    const QDateTime utc = QDateTime::fromString(QString::fromStdString(*quake.qt) + "Z",
                                                QStringLiteral("yyyy-MM-dd HH:mm:sst"));
    ASSERT_TRUE(utc.isValid());
    EXPECT_TRUE(
        text.contains("Local time: " + utc.addSecs(9 * 3600).toUTC().toString("yyyy-MM-dd HH:mm")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("UTC: " + utc.toUTC().toString("yyyy-MM-dd HH:mm")));
    EXPECT_TRUE(text.endsWith(QString("Depth: %1 km").arg(static_cast<double>(quake.depth))))
        << text.toStdString();

    // Off the markers, and with Earthquakes off, there is none.
    EXPECT_EQ(window->mapToolTip(QPoint(p.x + 3, p.y + 3)), text);
    EXPECT_EQ(window->mapToolTip(QPoint(p.x + 30, p.y + 30)), QString());
    window->runCommand(cmd::Earthquakes);
    EXPECT_EQ(window->mapToolTip(QPoint(p.x + 3, p.y + 3)), QString());
}

TEST_F(FeedbackWindowTest, CloudsAndEarthquakesComeBackAtTheNextStart) {
    QTemporaryDir serverFolder;
    ASSERT_TRUE(serverFolder.isValid());
    test::ImageServerProcess server(serverFolder.path(), {QStringLiteral("--demo")});
    ASSERT_TRUE(server.started());
    const auto useServer = [&](World& w) { w.installation.values["server"] = server.host(); };
    start(useServer);
    window->runCommand(cmd::Earthquakes);
    window->runCommand(cmd::Quit);
    drainEvents();
    EXPECT_EQ(openProgramSettings()->value("quakes").toString(), "1");
    EXPECT_EQ(openProgramSettings()->value("clouds").toString(), "0");
    window.reset();
    world.reset();
    composed = 0;

    // Both on: the earthquakes come first, then the newest cloud frame.
    storeBeforeStart("clouds", "1");
    start(useServer);
    EXPECT_TRUE(settings().switches.earthquakes);
    EXPECT_TRUE(settings().switches.clouds);
    EXPECT_TRUE(window->menuAction(cmd::Earthquakes)->isChecked());
    EXPECT_TRUE(window->toolbarAction(cmd::Earthquakes)->isChecked());
    EXPECT_TRUE(window->toolbarAction(cmd::Clouds)->isChecked());
    ASSERT_TRUE(waitFor([this] {
        return !window->quakeFeed().quakeList().empty() &&
               world->compositor.cloudImage() != nullptr;
    }));
    EXPECT_EQ(window->cloudService().currentFrame(), 0);
}

TEST(QuakeTooltip, ShowsWhatTheReplyCarriedAndFindsTheTopMarker) {
    test::LocalTimeZone zone("Europe/Berlin");
    const Language english{QString(), QString()};
    QuakeRecord quake;
    quake.m = 6.1f;
    quake.depth = 30.0f;
    quake.qt = "2024-07-01 22:30:00";
    quake.place = "near the east coast of Honshu, Japan";
    EXPECT_EQ(quakeTooltip(quake, english).toStdString(),
              "Magnitude 6.1\nnear the east coast of Honshu, Japan\n"
              "Local time: 2024-07-02 00:30\nUTC: 2024-07-01 22:30\nDepth: 30 km");
    // An older server: no place; a time in another form is shown as it came.
    quake.place.reset();
    quake.qt = "1 July";
    quake.depth = 12.5f;
    EXPECT_EQ(quakeTooltip(quake, english).toStdString(), "Magnitude 6.1\n1 July\nDepth: 12.5 km");

    MapView view;
    view.mapArea = PaneRect{0, 2, 1024, 512};
    std::vector<QuakeRecord> quakes(2);
    quakes[0].lon = quakes[1].lon = 10.0f;
    quakes[0].lat = quakes[1].lat = 20.0f;
    const Point p = view.mapToScreen(10.0f, 20.0f);
    EXPECT_EQ(quakeAt(view, quakes, Point{p.x + 3, p.y + 3}), 1u) << "the later one lies on top";
    EXPECT_EQ(quakeAt(view, quakes, Point{p.x + 9, p.y - 2}), 1u);
    EXPECT_FALSE(quakeAt(view, quakes, Point{p.x + 10, p.y}));
    EXPECT_FALSE(quakeAt(view, quakes, Point{p.x - 3, p.y}));
    quakes[1].lon = -180.0f; // on the left border: not drawn, no tooltip
    const Point edge = view.mapToScreen(-180.0f, 20.0f);
    EXPECT_FALSE(quakeAt(view, std::span(quakes).subspan(1), Point{edge.x + 1, edge.y + 1}));
}

} // namespace
} // namespace chronvale
