#pragma once
// The main window: assembles the map pane's controller, the menus and toolbar,
// the status bar, the command dispatcher, the cloud animation and the services
// (cloud frames, earthquakes, links), and owns the four timers and the deferred
// work of composing the lit map. It draws nothing and talks to no server itself.
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

#include "app/mainwindow/map_controller.h"
#include "app/mainwindow/status_presenter.h"
#include "app/mainwindow/time_travel.h"
#include "desktop/browser.h"
#include "desktop/shell_window.h"
#include "desktop/wallpaper/backend_choice.h"
#include "i18n/language.h"
#include "render/earth_image.h"

#include <QMainWindow>
#include <QTimer>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QMenu;
class QToolBar;

namespace chronvale {

class AboutBox;
class CityDialogs;
class CloudAnimation;
class CloudService;
class HiresCloudFrames;
class ImageServerLauncher;
class CommandDispatcher;
class CommandMenus;
class ComparePanel;
class LinkService;
class PreferencesDialog;
struct ProxySettings;
class QuakeFeed;
class StatusBar;
class TrayIcon;
class WallpaperController;
class World;

// What tests and start-up may replace.
struct MainWindowOptions {
    // The clock of every time-dependent thing the window starts; none: the system's.
    std::function<std::time_t()> clock;
    // Starts the browser with a URL, and the upgrade program; none: detached processes.
    BrowserLauncher browserLauncher;
    BrowserLauncher programLauncher;
    // Where the default browser is looked for; none: this session's.
    std::optional<BrowserEnvironment> browserEnvironment;
    // Finds the desktop's wallpaper back end; none: the one of this session.
    std::function<BackendChoice()> wallpaperBackend;
    // Asks where Save Map As writes, starting from the suggested path; an empty
    // answer cancels. None: the file dialog.
    std::function<QString(const QString& suggested)> chooseMapFile;
    // Starts the image server of this computer when nothing answers there.
    bool startImageServer = true;
    // Fetches the newest cloud frame at the start while Clouds is off too (it
    // turns the clouds on when it arrives), when the server answers.
    bool newestCloudsAtStart = true;
};

class MainWindow : public QMainWindow, public ShellWindow, private LanguageListener {
    Q_OBJECT

public:
    // Status bar fields.
    static constexpr int StatusMessage = StatusPresenter::Message;
    static constexpr int StatusLatitude = StatusPresenter::Latitude;
    static constexpr int StatusLongitude = StatusPresenter::Longitude;
    static constexpr int StatusActivity = StatusPresenter::Activity;
    static constexpr int StatusLocalTime = StatusPresenter::LocalTime;

    static constexpr int ClockPeriodMs = 1000;
    static constexpr int HourlyPeriodMs = 3600000;

    // Builds the window and runs its initialisation: the HTTP client with the
    // stored proxy, the title clock, the timers, the stored language, "Loading..."
    // and the queued loading of the images and the first lit map. The world must
    // outlive the window.
    explicit MainWindow(World& world, MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The tray icon made by start-up, or none: closing in wallpaper mode hides the
    // window only when the tray is there to bring it back.
    void setTrayIcon(TrayIcon* tray) { tray_ = tray; }

    // ShellWindow: tray Restore and a second start; tray Minimize (the images
    // stay); Exit (the settings are saved).
    void restoreWindow() override;
    void minimiseWindow() override;
    void exitProgram() override;
    bool windowOnScreen() const override;
    void hideWindow() override;

    // Every command of the menus, toolbar and context menu, by its id.
    void runCommand(int command);

    // The instant the map shows (map, shadow, marked cities, pointer read-out,
    // sun, moon and twilight): now, or where Go to Time and the hour and day
    // steps went. While away the clouds are off; Now (Ctrl+0) comes back. Nothing
    // of it is stored, and what writes files for the desktop (the wallpaper) asks
    // showingNow() first.
    const ShownInstant& shownInstant() const { return travel_.instant(); }
    bool showingNow() const { return !travel_.away(); }
    // Goes to `instant` as Go to Time does; false outside the years it can show.
    bool goToInstant(std::time_t instant);

    // Invalidates the map pane and paints it at once.
    void repaintMap();
    // Menu check marks and pressed toolbar buttons follow the switches; then
    // updateAnimationButtons().
    void syncCommandStates();
    // Enables Previous, Next, Play, Stop and Sun Shadow on the toolbar.
    void updateAnimationButtons();

    // The map's context menu for a right click at `panePosition` (pane widget
    // coordinates), filled with the ten nearest cities. The caller shows it.
    std::unique_ptr<QMenu> makeContextMenu(QPoint panePosition);

    // The city selector and the shared properties window (tests).
    CityDialogs& cityDialogs() { return *cityDialogs_; }
    // The Compare Times panel (tests).
    ComparePanel& comparePanel() { return *comparePanel_; }

    // Read access for the start-up code and tests.
    MapView& view() { return map_->view(); }
    QWidget* mapPane() const;
    StatusBar* statusBarFields() const { return statusBar_; }
    QToolBar* toolBar() const;
    CloudService& cloudService() { return *cloud_; }
    QuakeFeed& quakeFeed() { return *quakes_; }
    bool animationRunning() const;
    std::optional<std::size_t> cityUnderCursor() const { return map_->cityUnderCursor(); }
    // The map pane's tooltip at a pane position; empty for none.
    QString mapToolTip(QPoint panePosition) { return map_->paneToolTip(panePosition); }
    // The toolbar button or main menu item of a command; none when there is none.
    QAction* toolbarAction(int command) const;
    QAction* menuAction(int command) const;
    // The language items that stayed in the Language submenu.
    std::vector<int> languageCommands() const;

    // Saves the switches, the view, the marked cities and the cloud frames. The
    // window does this when it closes for good.
    bool saveSettings();

    // The Preferences dialog as the Settings command opens it (modal): OK hands
    // the proxy to the HTTP client, stores it, takes the browser for the links
    // and restarts the refresh timer.
    std::unique_ptr<PreferencesDialog> makePreferencesDialog();
    // Local times from the system's time-zone database or the shipped tables, at
    // once wherever they show: the marked cities' labels, the pointer read-out,
    // the Compare Times panel and the open properties window.
    void useSystemZones(bool on);
    // The about box as the About command opens it; its links open in the browser.
    std::unique_ptr<AboutBox> makeAboutBox();
    // Save Map As: asks for a file, then writes the pane as it shows now (the
    // overlays included) there as a PNG image (".png" added when the name has no
    // extension).
    void saveMapAs();
    // Writes the pane's picture to `path` as PNG, replacing the file only when the
    // whole image was written; says so in the status bar, or in an error box.
    bool saveMapImage(const QString& path);
    // The shadow's timer: `minutes` apart from now on; 0 (or less) stops it.
    void restartRefreshTimer(int minutes);
    const QTimer& refreshTimer() const { return refreshTimer_; }
    // The 1-second tick (title clock, overlays), for what checks the clock on it.
    const QTimer& clockTimer() const { return clockTimer_; }
    // Renews what shows the sun at now: the shadow and the wallpaper, or the sky
    // overlays (the refresh timer's work; nothing while the map shows another time).
    void refreshTick();
    // A Wallpaper Mode job is running or queued.
    bool wallpaperBusy() const;

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

    // LanguageListener: menus, toolbar and tray in the new language.
    void languageChanged() override;

    // Composition and the deferred work.
    void composeMap();
    void composeCloudFrame(const EarthImage& frame);
    void setCloudImage(ImagePtr image);
    void loadFirstImages();
    void buildFirstLitMap();
    void fetchFirstData(bool serverAnswers);
    void fetchNewestClouds();
    void showLoadedFrame();
    void resumeFrameStep();
    void rebuildAfterRestore();
    void fitAfterResize();
    // Makes the window as high as the map fitted to the pane's width (narrower where
    // the screen is too low for that), so that no band is left below the map; a
    // maximised or full-screen window keeps its size.
    void sizeWindowForMap();
    void reloadImages();
    void releaseImages();
    void clockTick();
    // The transfers are over: the buttons follow; the clouds shown at start that
    // waited for them come.
    void transfersOver();
    void stopTimers();

    void openContextMenu(QPoint panePosition, QPoint global);

    // What the time travel does to the window.
    TimeTravel::Hooks travelHooks();
    // Go to Time: the dialog, starting at `shown`; none when cancelled.
    std::optional<std::time_t> askInstant(std::time_t shown);
    // Hands the proxy to the HTTP client.
    void applyProxy(const ProxySettings& proxy);
    std::time_t now() const { return options_.clock(); }
    void updateTitleClock();

    World& world_;
    MainWindowOptions options_;
    std::unique_ptr<Services> services_;
    std::unique_ptr<CloudService> cloud_;
    std::unique_ptr<HiresCloudFrames> largeFrames_; // the clouds of zoomed and dense views
    std::unique_ptr<ImageServerLauncher> imageServer_;
    std::unique_ptr<QuakeFeed> quakes_;
    std::unique_ptr<LinkService> links_;
    std::unique_ptr<CloudAnimation> animation_;
    TrayIcon* tray_ = nullptr;

    StatusBar* statusBar_ = nullptr;
    std::unique_ptr<StatusPresenter> status_;
    std::unique_ptr<MapController> map_;
    CommandMenus* menus_ = nullptr;
    std::unique_ptr<CommandDispatcher> commands_;
    std::unique_ptr<CityDialogs> cityDialogs_;
    std::unique_ptr<WallpaperController> wallpaper_;
    ComparePanel* comparePanel_ = nullptr; // docked under the map; the window owns it

    QTimer clockTimer_;   // 1 s: title clock, time-dependent overlays, pointer read-out
    QTimer hourlyTimer_;  // newest satellite image
    QTimer refreshTimer_; // the sun shadow every `refresh` minutes

    TimeTravel travel_;

    bool quitting_ = false;
    bool cloudsAfterTransfers_ = false;
    int firstFrameTries_ = 0; // newest checks at the start until a frame arrives
    bool keepImagesWhenMinimised_ = false;
    bool closedForGood_ = false;
};

} // namespace chronvale
