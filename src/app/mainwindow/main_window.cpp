#include "app/mainwindow/main_window.h"

#include "app/mainwindow/autostart_item.h"
#include "app/mainwindow/city_dialogs.h"
#include "app/mainwindow/cloud_animation.h"
#include "app/mainwindow/command_dispatcher.h"
#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/command_menus.h"
#include "app/mainwindow/compare_panel.h"
#include "app/mainwindow/data_age.h"
#include "app/mainwindow/save_map.h"
#include "app/mainwindow/time_travel.h"
#include "app/mainwindow/title_clock.h"
#include "app/mainwindow/wallpaper_controller.h"
#include "app/mainwindow/window_services.h"
#include "app/startup/world.h"
#include "core/product.h"
#include "desktop/image_server_launcher.h"
#include "desktop/links.h"
#include "desktop/tray_icon.h"
#include "desktop/upgrade.h"
#include "dialogs/about/about_box.h"
#include "dialogs/preferences/preferences_dialog.h"
#include "geo/time_zone.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"
#include "net/cloud_service.h"
#include "net/hires_frames.h"
#include "net/http_client.h"
#include "net/machine_id.h"
#include "net/proxy_settings.h"
#include "net/quake_feed.h"
#include "ui/icon_index.h"
#include "ui/status_bar.h"
#include "ui/window_geometry.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QToolBar>
#include <QWindowStateChangeEvent>

namespace chronvale {

namespace {

// The main window's number in the settings (its place is kept under DLGS/101).
constexpr int kMainWindowNumber = 101;
// Room for the whole map at scale 1 below the menu bar and the toolbar.
constexpr QSize kFirstSize{1024, 640};
constexpr QSize kMinimumSize{320, 250};

} // namespace

MainWindow::MainWindow(World& world, MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), world_(world), options_(std::move(options)),
      services_(std::make_unique<Services>(*this)),
      travel_([this] { return options_.clock(); }, travelHooks()) {
    if (!options_.clock) {
        options_.clock = [] { return std::time(nullptr); };
    }
    if (!options_.browserLauncher) {
        options_.browserLauncher = detachedLauncher();
    }
    if (!options_.programLauncher) {
        options_.programLauncher = detachedLauncher();
    }
    Settings& settings = world_.settings;

    // The services report to this window.
    services_->baseContext =
        makeUrlContext(world_.installation, machineIdentifier(*world_.programSettings));
    const std::string server = world_.installation.imageServer();
    cloud_ = std::make_unique<CloudService>(world_.http, *services_, server, services_->baseContext,
                                            options_.clock);
    quakes_ = std::make_unique<QuakeFeed>(world_.http, *services_, server, services_->baseContext,
                                          options_.clock);
    links_ = std::make_unique<LinkService>(
        world_.installation, world_.folders.data, *services_, options_.browserLauncher,
        options_.browserEnvironment.value_or(systemBrowserEnvironment()));
    cloud_->frames() = world_.frames; // as config.ini left them

    // The status bar, the map pane, the toolbar across the top and the menus.
    setMinimumSize(kMinimumSize);
    const bool firstStart = !restoreWindowGeometry(*this, kMainWindowNumber);
    if (firstStart) {
        resize(kFirstSize);
    }
    statusBar_ = new StatusBar(StatusPresenter::fieldWidths(), StatusPresenter::Activity, this);
    status_ = std::make_unique<StatusPresenter>(*statusBar_, world_.language);
    status_->setIdleHandler([this] { transfersOver(); });
    map_ = std::make_unique<MapController>(
        world_, *cloud_, *status_,
        MapController::Hooks{
            .now = [this] { return travel_.shown(); },
            .minimised = [this] { return isMinimized(); },
            .contextMenu = [this](QPoint pane, QPoint global) { openContextMenu(pane, global); },
        });
    largeFrames_ = std::make_unique<HiresCloudFrames>(world_.http, server, services_->baseContext,
                                                      options_.clock);
    map_->useLargeCloudFrames(*largeFrames_);
    setCentralWidget(map_->makePane(this));
    // The map is a picture of the earth: west stays on the left in every language.
    centralWidget()->setLayoutDirection(Qt::LeftToRight);
    animation_ = std::make_unique<CloudAnimation>(
        *cloud_, world_.compositor, world_.http,
        CloudAnimation::Hooks{
            .cloudsOn = [this] { return world_.settings.switches.clouds; },
            .showClouds =
                [this] { world_.switchBoard.change([](DisplaySwitches& s) { s.clouds = true; }); },
            .buttonsChanged = [this] { updateAnimationButtons(); },
            .loop = [this] { return world_.settings.loopClouds; },
            .showFrame = [this](const EarthImage& frame) { composeCloudFrame(frame); },
            .now = [this] { return now(); },
        });
    menus_ = new CommandMenus(*this, world_.language, *world_.icons, world_.folders.data,
                              [this](int command) { runCommand(command); });
    menus_->build();
    if (QAction* autostart = menus_->menuAction(cmd::StartWithDesktop)) {
        prepareAutostartItem(*autostart);
    }
    if (QAction* upgrade = menus_->menuAction(cmd::Upgrade)) {
        // Without an upgrade program the command would do nothing: no item for it.
        upgrade->setVisible(upgradeCommand(world_.installation, false).has_value());
    }
    setStatusBar(statusBar_);
    cityDialogs_ = std::make_unique<CityDialogs>(
        world_, *map_, *links_, *this, [this] { return now(); },
        [this] {
            // A mark changed: show the marked cities at once.
            world_.switchBoard.change([](DisplaySwitches& s) { s.markedCities = true; });
            map_->repaint();
        });
    wallpaper_ = std::make_unique<WallpaperController>(
        world_,
        options_.wallpaperBackend
            ? options_.wallpaperBackend
            : [] { return chooseWallpaperBackend(SessionEnvironment::fromProcess()); },
        WallpaperController::Hooks{
            .now = [this] { return now(); },
            .minimised = [this] { return isMinimized() || isHidden(); },
            .releaseView = [this] { map_->release(); },
            .status =
                [this](const QString& text) { status_->show(StatusPresenter::Message, text); },
            .switched = [this] { syncCommandStates(); },
            .screens = {},
            .cloudFrames = [this]() -> const CloudFrameTable& { return cloud_->frames(); },
            .shownFrame = [this] { return cloud_->currentFrame(); },
            .cloudCredit = [this] { return cloud_->source().credit; },
        });
    commands_ = std::make_unique<CommandDispatcher>(
        world_, *map_, *cloud_, *quakes_, *links_, *animation_,
        CommandDispatcher::Hooks{
            .now = [this] { return now(); },
            .compose = [this] { composeMap(); },
            .syncControls = [this] { syncCommandStates(); },
            .updateButtons = [this] { updateAnimationButtons(); },
            .quit =
                [this] {
                    quitting_ = true;
                    close();
                },
            .languageChosen = [this] { menus_->checkCurrentLanguage(); },
            .startUpgrade =
                [this](bool manual) {
                    startUpgradeProgram(world_.installation, manual, options_.programLauncher);
                },
            .openPreferences = [this] { makePreferencesDialog()->exec(); },
            .openAbout = [this] { makeAboutBox()->exec(); },
            .toggleWallpaper =
                [this] {
                    // The desktop is never given a travelled instant: back to now first.
                    travel_.backToNow();
                    wallpaper_->toggle();
                },
            .saveMapAs = [this] { saveMapAs(); },
            .selectCity = [this] { cityDialogs_->openSelector(); },
            .toggleAutostart =
                [this] { toggleAutostart(menus_->menuAction(cmd::StartWithDesktop), world_); },
            .cityProperties = [this](std::size_t slot,
                                     bool modal) { cityDialogs_->openProperties(slot, modal); },
            .notice = [this](const QString& text) { status_->showNotice(text); },
        });

    comparePanel_ = installComparePanel(*this, world_);

    // Check marks and buttons follow every change of the switches.
    world_.switchBoard.listen([this](const DisplaySwitches&) { syncCommandStates(); });

    connect(&clockTimer_, &QTimer::timeout, this, &MainWindow::clockTick);
    connect(&hourlyTimer_, &QTimer::timeout, this, [this] { cloud_->checkNewestImage(); });
    connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::refreshTick);

    // The HTTP client reports to the status bar and uses the stored proxy.
    world_.http.httpInit(status_.get(), applicationName);
    ProxySettings proxy;
    loadProxySettings(proxy);
    applyProxy(proxy);

    updateTitleClock();
    restartRefreshTimer(std::max(1, settings.refresh));
    hourlyTimer_.start(HourlyPeriodMs);
    clockTimer_.start(ClockPeriodMs);
    setWindowIcon(world_.icons->icon(IconProgram));

    world_.language.setListener(this);
    if (settings.language) {
        world_.language.switchLanguage(settings.language, settings);
    }
    QGuiApplication::setLayoutDirection(world_.language.layoutDirection());
    menus_->checkCurrentLanguage();
    status_->show(StatusPresenter::Message, world_.language.getText(str::StatusLoading));

    if (firstStart) {
        // No remembered size: the map fills the pane from edge to edge. Once more
        // when shown, where the window manager's frame and fonts are known.
        sizeWindowForMap();
        QMetaObject::invokeMethod(this, &MainWindow::sizeWindowForMap, Qt::QueuedConnection);
    }

    // The images load first; the lit map is built after them.
    QMetaObject::invokeMethod(this, &MainWindow::loadFirstImages, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, &MainWindow::buildFirstLitMap, Qt::QueuedConnection);
}

MainWindow::~MainWindow() {
    if (!closedForGood_) {
        stopTimers();
        saveSettings();
    }
    // No transfer may report to a window that is gone.
    world_.http.httpShutdown();
    world_.language.setListener(nullptr);
    world_.switchBoard.clearListeners();
    // The pane reports to the map controller, which goes before the base class
    // would delete the pane.
    delete takeCentralWidget();
}

QWidget* MainWindow::mapPane() const {
    return map_->pane();
}

QToolBar* MainWindow::toolBar() const {
    return menus_->toolBar();
}

bool MainWindow::animationRunning() const {
    return animation_->running();
}

QAction* MainWindow::toolbarAction(int command) const {
    return menus_->toolbarAction(command);
}

QAction* MainWindow::menuAction(int command) const {
    return menus_->menuAction(command);
}

std::vector<int> MainWindow::languageCommands() const {
    return menus_->languageCommands();
}

void MainWindow::updateTitleClock() {
    chronvale::updateTitleClock(*this, now());
}

void MainWindow::runCommand(int command) {
    if (travel_.runCommand(command) || travel_.comeBackFor(command)) {
        return;
    }
    if (command == cmd::CompareTimes) {
        comparePanel_->setVisible(comparePanel_->isHidden());
        return;
    }
    commands_->run(command);
    if (command == cmd::FitToScreen) {
        sizeWindowForMap();
    }
}

bool MainWindow::goToInstant(std::time_t instant) {
    return travel_.goTo(instant);
}

TimeTravel::Hooks MainWindow::travelHooks() {
    return TimeTravel::Hooks{
        .switches = [this]() -> const DisplaySwitches& { return world_.settings.switches; },
        .cloudsOff =
            [this] {
                if (animation_->running()) {
                    animation_->halt();
                }
                world_.switchBoard.change([](DisplaySwitches& s) { s.clouds = false; });
            },
        .compose = [this] { composeMap(); },
        .cloudsOn = [this] { commands_->run(cmd::Clouds); },
        .shadowOn =
            [this] {
                world_.switchBoard.change([](DisplaySwitches& s) { s.sunShadow = true; });
                composeMap();
            },
        // The wallpaper was not renewed while away.
        .backAtNow = [this] { wallpaper_->refresh(); },
        .travelled = [this] { updateAnimationButtons(); },
        .status = [this](const QString& text) { status_->show(StatusPresenter::Message, text); },
        .showingText = [this] { return world_.language.getText(str::StatusShowingInstant); },
        .askInstant = [this](std::time_t shown) { return askInstant(shown); },
    };
}

void MainWindow::repaintMap() {
    map_->repaint();
}

void MainWindow::syncCommandStates() {
    menus_->syncCheckStates(world_.settings.switches, wallpaper_->on());
    if (QAction* undo = menus_->menuAction(cmd::UndoClearCitySelection)) {
        undo->setEnabled(commands_ != nullptr && commands_->canUndoClear());
    }
    updateAnimationButtons();
}

void MainWindow::updateAnimationButtons() {
    const bool transfer = world_.http.transferCount() > 0;
    const int frame = cloud_->currentFrame();
    const bool running = animation_->running();
    menus_->setAnimationButtons(AnimationButtonStates{
        .previous = !transfer && frame <= kCloudFrameCount - 2,
        .next = !transfer && frame > 0,
        .play = !running,
        .stop = running || transfer,
        .sunShadow = !world_.settings.switches.nightMap,
    });
}

void MainWindow::languageChanged() {
    // Arabic mirrors the menus, the toolbar, the status bar and the dialogs; the
    // map pane keeps its own direction (set when it was made).
    QGuiApplication::setLayoutDirection(world_.language.layoutDirection());
    menus_->retranslate();
    comparePanel_->retranslate();
    if (tray_ != nullptr) {
        tray_->retranslate(world_.language);
    }
    // The map's own texts (the earthquake legend's caption) follow at once.
    map_->repaint();
}

std::unique_ptr<QMenu> MainWindow::makeContextMenu(QPoint panePosition) {
    const std::vector<PopupCity>& cities = map_->pickCitiesAt(panePosition);
    std::vector<QString> names;
    for (const PopupCity& city : cities) {
        names.push_back(QString::fromStdString(world_.tables().cities[city.index].name));
    }
    return menus_->makeContextMenu(this, cities, names, world_.settings.switches);
}

void MainWindow::openContextMenu(QPoint panePosition, QPoint global) {
    const std::unique_ptr<QMenu> menu = makeContextMenu(panePosition);
    menu->exec(global);
}

// ---------------------------------------------------------------------------
// Composition and deferred work

void MainWindow::composeMap() {
    if (isMinimized()) {
        return;
    }
    DisplaySwitches switches = world_.settings.switches;
    const std::time_t instant = travel_.shown();
    map_->setSkyInstant(instant);
    world_.compositor.composeMap(switches, instant, status_.get());
    if (!switches.sunShadow) {
        // The night map shows no shadow.
        world_.switchBoard.change([](DisplaySwitches& s) { s.sunShadow = false; });
    }
    map_->view().dirty = true;
    repaintMap();
    emit mapComposed();
}

void MainWindow::composeCloudFrame(const EarthImage& frame) {
    if (isMinimized()) {
        return; // the images are released; the restore composes again
    }
    world_.compositor.composeCloudFrame(frame, world_.settings.switches);
    map_->view().dirty = true;
    repaintMap();
    emit mapComposed();
}

void MainWindow::setCloudImage(ImagePtr image) {
    world_.compositor.setCloudImage(std::move(image));
    if (!travel_.cloudImageArrives()) {
        return; // kept for now
    }
    world_.switchBoard.change([](DisplaySwitches& s) { s.clouds = true; });
    composeMap();
    syncCommandStates();
}

void MainWindow::showLoadedFrame() {
    repaintMap();
    updateAnimationButtons();
}

void MainWindow::resumeFrameStep() {
    animation_->resume();
}

void MainWindow::hideWindow() {
    hideToTray(*this, tray_ != nullptr && tray_->shown());
}

bool MainWindow::wallpaperBusy() const {
    return wallpaper_->busy();
}

void MainWindow::refreshTick() {
    if (travel_.away()) {
        return; // the shown instant stands still; nothing to renew
    }
    const DisplaySwitches& on = world_.settings.switches;
    if (on.sunShadow) {
        composeMap();
    } else if (on.sunMoon || on.twilight) {
        map_->setSkyInstant(travel_.shown());
        repaintMap();
    }
    // Whatever the map shows, the wallpaper follows the sun.
    wallpaper_->refresh();
}

void MainWindow::restartRefreshTimer(int minutes) {
    refreshTimer_.stop();
    if (minutes > 0) {
        refreshTimer_.start(std::min(minutes, kMaxRefreshMinutes) * kMillisecondsPerMinute);
    }
}

void MainWindow::saveMapAs() {
    chronvale::saveMapAs(*map_->pane(), world_, *status_, options_.chooseMapFile);
}

bool MainWindow::saveMapImage(const QString& path) {
    return chronvale::saveMapImage(*map_->pane(), path, world_, *status_);
}

void MainWindow::clockTick() {
    if (map_->view().zooming()) {
        return; // the title clock pauses while a zoom drag runs
    }
    updateTitleClock();
    if (isMinimized() || !isVisible()) {
        return;
    }
    map_->refreshOverlays();
    // Away from now the first field says so, unless the hovered city's name or a
    // download holds it.
    if (travel_.away() && !map_->hover().city && !status_->downloadShowing()) {
        travel_.showStatus();
    }
}

void MainWindow::stopTimers() {
    clockTimer_.stop();
    hourlyTimer_.stop();
    refreshTimer_.stop();
    animation_->halt();
}

// ---------------------------------------------------------------------------
// Shell

void MainWindow::restoreWindow() {
    if (!isMinimized()) {
        reloadImages(); // leaving the minimised state reloads by itself
    }
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::minimiseWindow() {
    keepImagesWhenMinimised_ = true;
    showMinimized();
}

void MainWindow::exitProgram() {
    runCommand(cmd::Quit);
}

bool MainWindow::windowOnScreen() const {
    return isVisible() && !isMinimized();
}

bool MainWindow::saveSettings() {
    Settings& settings = world_.settings;
    const MapView& view = map_->view();
    settings.panX = view.panX;
    settings.panY = view.panY;
    settings.zoom = view.scale;
    world_.frames = cloud_->frames();
    saveWindowGeometry(*this, kMainWindowNumber);
    // The switches are stored as they will be at now.
    const DisplaySwitches shown = settings.switches;
    settings.switches = travel_.atNow(shown);
    const bool saved = world_.saveAll();
    settings.switches = shown;
    return saved;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!quitting_ && wallpaper_->on()) {
        // Wallpaper mode keeps the program running in the tray, renewing the
        // wallpaper at now, which the shadow timer does only when not away.
        travel_.backToNow();
        world_.compositor.releaseLitMap();
        map_->view().releaseView();
        QMetaObject::invokeMethod(this, &MainWindow::hideWindow, Qt::QueuedConnection);
        event->ignore();
        return;
    }
    quitting_ = false;
    stopTimers();
    if (!closedForGood_) {
        saveSettings();
        // The last list reply is of no use once the program has quit.
        cloud_->removeListReply();
        closedForGood_ = true;
    }
    event->accept();
    emit closed();
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) {
        return;
    }
    const Qt::WindowStates old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
    const bool wasMinimised = old.testFlag(Qt::WindowMinimized);
    const bool minimised = windowState().testFlag(Qt::WindowMinimized);
    const bool maximised = windowState().testFlag(Qt::WindowMaximized);
    if (minimised && !wasMinimised) {
        if (!keepImagesWhenMinimised_) {
            releaseImages();
        }
        keepImagesWhenMinimised_ = false;
        updateTitleClock();
    } else if (wasMinimised && !minimised) {
        reloadImages();
        QMetaObject::invokeMethod(this, &MainWindow::fitAfterResize, Qt::QueuedConnection);
        updateTitleClock();
    } else if (maximised && !old.testFlag(Qt::WindowMaximized)) {
        QMetaObject::invokeMethod(this, &MainWindow::fitAfterResize, Qt::QueuedConnection);
        updateTitleClock();
    }
}

} // namespace chronvale
