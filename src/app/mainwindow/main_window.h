#pragma once
// The main window controller: the map pane with its mouse handling, the menus,
// the toolbar and the map's context menu, the status bar, the display switches,
// the four timers and the stepping of the cloud animation.
//
// It draws nothing and talks to no server itself: the compositor builds the lit
// map, the map painter paints the pane, the cloud service and the earthquake feed
// fetch their data, the link service opens web pages. It decides when each of
// them runs, and it is the owner those services report to.
//
// Deferred work runs as queued calls, one per kind, named after what it does;
// they keep the order in which they were queued:
//   loadFirstImages     the day and time-zone images at start
//   buildFirstLitMap    the first composition, after the images
//   showLoadedFrame     a cached cloud image became the current one
//   resumeFrameStep     a frame list arrived: the step that asked for it again
//   hideWindow          closing in wallpaper mode only hides the window
//   rebuildAfterRestore first without the shadow, then (when it is on) with it
//   fitAfterResize      after maximise and restore

#include "app/mainwindow/map_pane.h"
#include "app/mainwindow/popup_cities.h"
#include "desktop/browser.h"
#include "desktop/shell_window.h"
#include "i18n/language.h"
#include "net/http_request.h"
#include "render/map_view.h"
#include "render/qt/map_painter.h"
#include "render/sun_shadow.h"

#include <QMainWindow>
#include <QTimer>
#include <ctime>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;

namespace chronvale {

class CloudService;
class LinkService;
class QuakeFeed;
class StatusBar;
class TrayIcon;
class World;
struct MenuItem;

// What tests and start-up may replace.
struct MainWindowOptions {
    // The clock of every time-dependent thing the window starts; none: the system's.
    std::function<std::time_t()> clock;
    // Starts the browser with a URL, and the upgrade program; none: detached processes.
    BrowserLauncher browserLauncher;
    BrowserLauncher programLauncher;
    // Where the default browser is looked for; none: this session's.
    std::optional<BrowserEnvironment> browserEnvironment;
};

class MainWindow : public QMainWindow,
                   public ShellWindow,
                   private MapPaneOwner,
                   private HttpEventSink,
                   private ShadowProgress,
                   private LanguageListener {
    Q_OBJECT

public:
    // Status bar fields.
    static constexpr int StatusMessage = 0;
    static constexpr int StatusLatitude = 1;
    static constexpr int StatusLongitude = 2;
    static constexpr int StatusActivity = 3;
    static constexpr int StatusLocalTime = 4;

    static constexpr int ClockPeriodMs = 1000;
    static constexpr int HourlyPeriodMs = 3600000;
    static constexpr int AnimationPeriodMs = 250;

    // Builds the window and runs its initialisation: the HTTP client with the
    // stored proxy, the title clock, the timers, the stored language, "Loading..."
    // and the queued loading of the images and the first lit map. The world must
    // outlive the window.
    explicit MainWindow(World& world, MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The tray icon made by start-up, or none: closing in wallpaper mode hides the
    // window only when the tray is there to bring it back.
    void setTrayIcon(TrayIcon* tray);

    // ShellWindow: tray Restore and a second start; tray Minimize (the images
    // stay); Exit (the settings are saved).
    void restoreWindow() override;
    void minimiseWindow() override;
    void exitProgram() override;

    // Every command of the menus, toolbar and context menu, by its id.
    void runCommand(int command);

    // Invalidates the map pane and paints it at once.
    void repaintMap();
    // Menu check marks and pressed toolbar buttons follow the switches; then
    // updateAnimationButtons().
    void syncCommandStates();
    // Enables Previous, Next, Play, Stop and Sun Shadow on the toolbar.
    void updateAnimationButtons();
    // Sets the text of a status bar field.
    void showStatus(const QString& text, int part);

    // The map's context menu for a right click at `panePosition` (pane widget
    // coordinates), filled with the ten nearest cities. The caller shows it.
    std::unique_ptr<QMenu> makeContextMenu(QPoint panePosition);

    // Read access for the start-up code and tests.
    MapView& view() { return view_; }
    QWidget* mapPane() const;
    StatusBar* statusBarFields() const { return status_; }
    QToolBar* toolBar() const { return toolbar_; }
    CloudService& cloudService() { return *cloud_; }
    QuakeFeed& quakeFeed() { return *quakes_; }
    bool animationRunning() const { return animationRunning_; }
    std::optional<std::size_t> cityUnderCursor() const { return cityUnderCursor_; }
    // The toolbar button or main menu item of a command; none when there is none.
    QAction* toolbarAction(int command) const;
    QAction* menuAction(int command) const;
    // The language items that stayed in the Language submenu.
    std::vector<int> languageCommands() const;

    // Saves the switches, the view, the marked cities and the cloud frames. The
    // window does this when it closes for good.
    bool saveSettings();

signals:
    // The lit map was composed again (after a switch, a frame, a restore, the
    // refresh timer ...); the map has been repainted.
    void mapComposed();
    // The window closed for good: the settings are saved, the timers stopped.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    class Services;
    friend class Services;

    // MapPaneOwner.
    void paintPane(QPaintEvent* event) override;
    void paneResized() override;
    void paneMouseMoved(QPoint position, QPoint global) override;
    void paneMousePressed(Qt::MouseButton button, QPoint position, QPoint global) override;
    void paneMouseReleased(Qt::MouseButton button, QPoint position, QPoint global) override;
    void paneDoubleClicked(Qt::MouseButton button, QPoint position) override;

    // HttpEventSink: the activity indicator and the network's messages.
    void httpEvent(HttpEvent event, HttpRequest& request, std::string_view text, int code) override;

    // ShadowProgress: the wait cursor and "Calculating Shadow...".
    void shadowStarted() override;
    void shadowFinished() override;

    // LanguageListener: menus, toolbar and tray in the new language.
    void languageChanged() override;

    // Building and translating the menus and the toolbar.
    void buildMenuBar();
    void buildMenu(QMenu& menu, std::span<const MenuItem> items, bool mainMenu);
    void buildToolbar();
    QAction* addCommandAction(QMenu& menu, int command, int textId, bool mainMenu);
    void retranslate();
    void checkCurrentLanguage();

    // Commands.
    void runSwitchCommand(int command);
    void clearCitySelection();
    void stepToNextFrame();
    void stepToPreviousFrame();
    void playAnimation();
    void stopAnimation();
    void stopAnimationTimer();
    void animationTick();
    void openNearbyCityLink(int command);
    void openManual();
    void switchLanguage(int command);

    // Composition and the deferred work.
    void composeMap();
    void composeCloudFrame(const EarthImage& frame);
    void setCloudImage(ImagePtr image);
    void loadFirstImages();
    void buildFirstLitMap();
    void showLoadedFrame();
    void resumeFrameStep();
    void hideWindow();
    void rebuildAfterRestore();
    void fitAfterResize();
    void reloadImages();
    void releaseImages();
    void refreshTick();
    void clockTick();

    // The pointer.
    Point paneCursor(QPoint panePosition) const;
    void updatePointerReadout(QPoint panePosition);
    void openContextMenu(QPoint panePosition, QPoint global);
    const CityRecord* defaultLinkCity() const;

    std::time_t now() const;
    bool transferActive() const;
    bool downloadShowing() const;
    void updateTitleClock();

    World& world_;
    MainWindowOptions options_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<CloudService> cloud_;
    std::unique_ptr<QuakeFeed> quakes_;
    std::unique_ptr<LinkService> links_;
    TrayIcon* tray_ = nullptr;

    MapPane* pane_ = nullptr;
    StatusBar* status_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QActionGroup* languageGroup_ = nullptr;
    std::map<int, QAction*> toolbarActions_;
    std::map<int, QAction*> menuActions_; // main menu items
    // Every translated text: the action or menu and the string id of its text.
    std::vector<std::pair<QAction*, int>> texts_;
    std::vector<std::pair<QAction*, int>> tips_;

    MapView view_;
    MapPainter painter_;
    std::vector<QuakeMark> quakeMarks_;
    std::string dateSeparator_;
    QPoint pointer_{-1000, -1000}; // the mouse in pane coordinates, for the names overlay

    QTimer clockTimer_;     // 1 s: title clock, time-dependent overlays, pointer read-out
    QTimer hourlyTimer_;    // newest satellite image
    QTimer refreshTimer_;   // the sun shadow every `refresh` minutes
    QTimer animationTimer_; // 250 ms while the animation runs
    bool animationRunning_ = false;
    bool tickBusy_ = false;

    std::optional<std::size_t> cityUnderCursor_;
    std::vector<PopupCity> popupCities_;
    std::optional<Point> popupPoint_; // the last right click, pane cursor coordinates

    bool quitting_ = false;
    bool keepImagesWhenMinimised_ = false;
    bool closedForGood_ = false;
};

} // namespace chronvale
