#include "app/mainwindow/main_window.h"

#include "app/mainwindow/command_ids.h"
#include "app/mainwindow/command_rules.h"
#include "app/mainwindow/menu_table.h"
#include "app/mainwindow/pointer_readout.h"
#include "app/mainwindow/title_clock.h"
#include "app/startup/world.h"
#include "core/product.h"
#include "desktop/links.h"
#include "desktop/tray_icon.h"
#include "desktop/upgrade.h"
#include "geo/time_zone.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"
#include "net/cloud_service.h"
#include "net/http_client.h"
#include "net/machine_id.h"
#include "net/proxy_settings.h"
#include "net/quake_feed.h"
#include "ui/icon_index.h"
#include "ui/status_bar.h"
#include "ui/window_geometry.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <QWindowStateChangeEvent>

namespace chronvale {

namespace {

// The main window's number in the settings (its place is kept under DLGS/101).
constexpr int kMainWindowNumber = 101;
// Room for the whole map at scale 1 below the menu bar and the toolbar.
constexpr QSize kFirstSize{1024, 640};
constexpr QSize kMinimumSize{320, 250};
// The map pane's first rows hold the etched separator below the toolbar.
constexpr int kSeparatorRows = 2;
constexpr int kMillisecondsPerMinute = 60000;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

Point toPoint(QPoint p) {
    return Point{p.x(), p.y()};
}

DisplaySwitches displaySwitchesOf(const Settings& settings) {
    DisplaySwitches d;
    d.dayMap = settings.day != 0;
    d.nightMap = settings.night != 0;
    d.clouds = settings.clouds != 0;
    d.timeZones = settings.zones != 0;
    d.sunShadow = settings.shadow != 0;
    return d;
}

} // namespace

// What the cloud service, the earthquake feed and the link service ask of the
// window they report to.
class MainWindow::Services final : public CloudOwner, public QuakeOwner, public LinkOwner {
public:
    explicit Services(MainWindow& window) : w_(window) {}

    UrlContext baseContext; // cookie and identifiers, made once

    std::string text(const NetText& text) override {
        const Language& language = w_.world_.language;
        if (text.id != 0 && findString(text.id) != nullptr) {
            return language.getText(text.id).toStdString();
        }
        return language.translate(text.english).toStdString();
    }

    void showStatus(int part, const std::string& text) override {
        w_.showStatus(QString::fromStdString(text), part);
    }
    void showErrorBox(const std::string& text, const std::string& caption) override {
        w_.world_.messages.messageBox(QString::fromStdString(caption), QString::fromStdString(text),
                                      MessageSink::Icon::None);
    }
    bool animationRunning() override { return w_.animationRunning_; }
    void stopAnimationTimer() override { w_.stopAnimationTimer(); }

    void setCloudImage(ImagePtr image) override { w_.setCloudImage(std::move(image)); }
    void frameLoaded() override {
        QMetaObject::invokeMethod(&w_, &MainWindow::showLoadedFrame, Qt::QueuedConnection);
    }
    void frameListArrived() override {
        QMetaObject::invokeMethod(&w_, &MainWindow::resumeFrameStep, Qt::QueuedConnection);
    }
    void stopAnimation() override {
        MainWindow* window = &w_;
        QMetaObject::invokeMethod(
            window, [window] { window->runCommand(cmd::Stop); }, Qt::QueuedConnection);
    }
    void showCloudFrame(const EarthImage& frame) override { w_.composeCloudFrame(frame); }
    bool loopAnimation() override { return w_.world_.settings.loop != 0; }

    void repaintMap() override {
        w_.quakeMarks_.clear();
        for (const QuakeRecord& quake : w_.quakes_->quakeList()) {
            w_.quakeMarks_.push_back(QuakeMark{quake.lon, quake.lat, quake.m});
        }
        w_.repaintMap();
    }

    const CityRecord* defaultLinkCity() override { return w_.defaultLinkCity(); }
    UrlContext urlContext() override {
        UrlContext context = baseContext;
        context.languageCode = w_.world_.language.current().value_or(std::string());
        context.zoom = w_.view_.scale;
        const ZoneTable& zones = w_.world_.tables.zones;
        context.countryOfCity = [&zones](const CityRecord& city) {
            return countryOfCity(city, zones).value_or(std::string());
        };
        const Point point = w_.popupPoint_.value_or(w_.paneCursor(w_.pointer_));
        const LonLat position = w_.view_.screenToLonLat(point.x, point.y);
        context.fallbackLatitude = position.latitude;
        context.fallbackLongitude = position.longitude;
        return context;
    }
    void showBrowserError(const std::string& text, const std::string& caption) override {
        w_.world_.messages.messageBox(QString::fromStdString(caption), QString::fromStdString(text),
                                      MessageSink::Icon::Warning);
    }

private:
    MainWindow& w_;
};

MainWindow::MainWindow(World& world, MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent), world_(world), options_(std::move(options)),
      services_(std::make_unique<Services>(*this)) {
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
    dateSeparator_ = localeDateSeparator(QLocale::system());

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
    view_.restore(settings.cx, settings.cy, settings.zoom);

    // The map pane, the toolbar across the top, the menus and the status bar.
    setMinimumSize(kMinimumSize);
    if (!restoreWindowGeometry(*this, kMainWindowNumber)) {
        resize(kFirstSize);
    }
    pane_ = new MapPane(*this, this);
    setCentralWidget(pane_);
    buildToolbar();
    buildMenuBar();
    status_ = new StatusBar({0, 70, 70, 100, 150}, StatusActivity, this);
    setStatusBar(status_);

    connect(&clockTimer_, &QTimer::timeout, this, &MainWindow::clockTick);
    connect(&hourlyTimer_, &QTimer::timeout, this, [this] { cloud_->checkNewestImage(); });
    connect(&refreshTimer_, &QTimer::timeout, this, &MainWindow::refreshTick);
    connect(&animationTimer_, &QTimer::timeout, this, &MainWindow::animationTick);

    // The HTTP client reports to this window and uses the stored proxy.
    world_.http.httpInit(this, applicationName);
    ProxySettings proxy;
    loadProxySettings(proxy);
    world_.http.httpSetProxy(proxy.type, proxy.host.value_or(std::string()), proxy.port,
                             proxy.userName.value_or(std::string()),
                             proxy.password.value_or(std::string()));

    updateTitleClock();
    refreshTimer_.start(std::max(1, settings.refresh) * kMillisecondsPerMinute);
    hourlyTimer_.start(HourlyPeriodMs);
    clockTimer_.start(ClockPeriodMs);
    setWindowIcon(world_.icons->icon(IconProgram));

    world_.language.setListener(this);
    if (settings.language) {
        world_.language.switchLanguage(settings.language, settings);
    }
    checkCurrentLanguage();
    showStatus(world_.language.getText(str::StatusLoading), StatusMessage);

    // The images load first; the lit map is built after them.
    QMetaObject::invokeMethod(this, &MainWindow::loadFirstImages, Qt::QueuedConnection);
    QMetaObject::invokeMethod(this, &MainWindow::buildFirstLitMap, Qt::QueuedConnection);
}

MainWindow::~MainWindow() {
    if (!closedForGood_) {
        clockTimer_.stop();
        hourlyTimer_.stop();
        refreshTimer_.stop();
        animationTimer_.stop();
        saveSettings();
    }
    // No transfer may report to a window that is gone.
    world_.http.httpShutdown();
    world_.language.setListener(nullptr);
}

void MainWindow::setTrayIcon(TrayIcon* tray) {
    tray_ = tray;
}

QWidget* MainWindow::mapPane() const {
    return pane_;
}

std::time_t MainWindow::now() const {
    return options_.clock();
}

bool MainWindow::transferActive() const {
    return world_.http.transferCount() > 0;
}

bool MainWindow::downloadShowing() const {
    const ActivityIndicator* activity = status_ ? status_->activityIndicator() : nullptr;
    return activity != nullptr && activity->isActive();
}

void MainWindow::updateTitleClock() {
    chronvale::updateTitleClock(*this, now());
}

// ---------------------------------------------------------------------------
// Menus and toolbar

QAction* MainWindow::addCommandAction(QMenu& menu, int command, int textId, bool mainMenu) {
    QAction* action = menu.addAction(world_.language.getText(textId));
    action->setData(command);
    action->setCheckable(isCheckableCommand(command));
    if (const std::optional<int> icon = menuIconOf(command)) {
        action->setIcon(world_.icons->icon(*icon));
    }
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    if (mainMenu) {
        menuActions_[command] = action;
        texts_.emplace_back(action, textId);
    }
    return action;
}

void MainWindow::buildMenu(QMenu& menu, std::span<const MenuItem> items, bool mainMenu) {
    for (const MenuItem& item : items) {
        switch (item.kind) {
        case MenuItemKind::Command:
            addCommandAction(menu, item.command, item.textId, mainMenu);
            break;
        case MenuItemKind::Separator:
            menu.addSeparator();
            break;
        case MenuItemKind::Submenu: {
            QMenu* sub = menu.addMenu(world_.language.getText(item.textId));
            if (mainMenu) {
                texts_.emplace_back(sub->menuAction(), item.textId);
            }
            buildMenu(*sub, item.items, mainMenu);
            break;
        }
        case MenuItemKind::Languages: {
            // English always; another language only when its file exists.
            languageGroup_ = new QActionGroup(this);
            languageGroup_->setExclusive(true);
            for (const LanguageItem& language : languageItems()) {
                if (!language.code.empty() &&
                    !languageFilePath(language.code, world_.folders.data,
                                      QCoreApplication::applicationDirPath())) {
                    continue;
                }
                QAction* action = addCommandAction(menu, language.command, language.textId, true);
                action->setCheckable(true);
                languageGroup_->addAction(action);
                if (language.code.empty()) {
                    menu.addSeparator();
                }
            }
            break;
        }
        case MenuItemKind::NearbyCities:
            for (std::size_t slot = 0; slot < popupCities_.size(); ++slot) {
                const PopupCity& city = popupCities_[slot];
                // A city name is no mnemonic: "&" stays a character.
                const QString name = QString::fromStdString(world_.tables.cities[city.index].name)
                                         .replace(QLatin1Char('&'), QStringLiteral("&&"));
                addCommandAction(menu, nearbyCityCommand(item.command, slot, city.distance), 0,
                                 false)
                    ->setText(name);
            }
            break;
        }
    }
}

void MainWindow::buildMenuBar() {
    for (const MenuItem& top : mainMenuTable()) {
        QMenu* menu = menuBar()->addMenu(world_.language.getText(top.textId));
        texts_.emplace_back(menu->menuAction(), top.textId);
        buildMenu(*menu, top.items, true);
    }
}

void MainWindow::buildToolbar() {
    toolbar_ = addToolBar(QString());
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(16, 16));
    toolbar_->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu); // no toolbar menu on a right click
    for (const ToolbarButton& button : toolbarTable()) {
        if (button.command == 0) {
            toolbar_->addSeparator();
            continue;
        }
        const int command = button.command;
        QAction* action = toolbar_->addAction(world_.icons->icon(button.icon),
                                              world_.language.getText(button.tipId));
        action->setData(command);
        action->setToolTip(world_.language.getText(button.tipId));
        action->setCheckable(isCheckableCommand(command));
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        toolbarActions_[command] = action;
        tips_.emplace_back(action, button.tipId);
    }
}

void MainWindow::retranslate() {
    const Language& language = world_.language;
    for (const auto& [action, textId] : texts_) {
        action->setText(language.getText(textId));
    }
    for (const auto& [action, tipId] : tips_) {
        action->setText(language.getText(tipId));
        action->setToolTip(language.getText(tipId));
    }
    if (tray_ != nullptr) {
        tray_->retranslate(language);
    }
    checkCurrentLanguage();
}

void MainWindow::checkCurrentLanguage() {
    const std::optional<std::string>& current = world_.language.current();
    for (const LanguageItem& language : languageItems()) {
        QAction* action = menuAction(language.command);
        if (action == nullptr) {
            continue;
        }
        const bool chosen = current ? QString::fromStdString(*current).compare(
                                          fromUtf8(language.code), Qt::CaseInsensitive) == 0
                                    : language.code.empty();
        if (chosen) {
            action->setChecked(true);
        }
    }
}

QAction* MainWindow::toolbarAction(int command) const {
    const auto found = toolbarActions_.find(command);
    return found == toolbarActions_.end() ? nullptr : found->second;
}

QAction* MainWindow::menuAction(int command) const {
    const auto found = menuActions_.find(command);
    return found == menuActions_.end() ? nullptr : found->second;
}

std::vector<int> MainWindow::languageCommands() const {
    std::vector<int> commands;
    if (languageGroup_ != nullptr) {
        for (const QAction* action : languageGroup_->actions()) {
            commands.push_back(action->data().toInt());
        }
    }
    return commands;
}

void MainWindow::syncCommandStates() {
    const Switches switches = switchesOf(world_.settings);
    for (const auto& [command, action] : menuActions_) {
        if (command == cmd::WallpaperMode) {
            action->setChecked(world_.settings.wallpaper != 0);
        } else if (isCheckableCommand(command)) {
            action->setChecked(isSwitchOn(switches, command));
        }
    }
    for (const auto& [command, action] : toolbarActions_) {
        if (isCheckableCommand(command)) {
            action->setChecked(isSwitchOn(switches, command));
        }
    }
    updateAnimationButtons();
}

void MainWindow::updateAnimationButtons() {
    const bool transfer = transferActive();
    const int frame = cloud_->currentFrame();
    const auto enable = [this](int command, bool enabled) {
        if (QAction* action = toolbarAction(command)) {
            action->setEnabled(enabled);
        }
    };
    enable(cmd::PreviousFrame, !transfer && frame <= kCloudFrameCount - 2);
    enable(cmd::NextFrame, !transfer && frame > 0);
    enable(cmd::Play, !animationRunning_);
    enable(cmd::Stop, animationRunning_ || transfer);
    enable(cmd::SunShadow, world_.settings.night == 0);
}

void MainWindow::showStatus(const QString& text, int part) {
    status_->showStatus(text, part);
}

// ---------------------------------------------------------------------------
// Commands

void MainWindow::runCommand(int command) {
    if (nearbyCitySlot(cmd::NearbyCityWeather, command) >= 0 ||
        nearbyCitySlot(cmd::NearbyCityHotels, command) >= 0) {
        openNearbyCityLink(command);
        return;
    }
    if (findLanguageItem(command) != nullptr) {
        switchLanguage(command);
        return;
    }
    if (applySwitchCommand(Switches{}, command, CommandContext{}).handled) {
        runSwitchCommand(command);
        return;
    }
    switch (command) {
    case cmd::ClearCitySelection:
        clearCitySelection();
        break;
    case cmd::ZoomIn:
        view_.zoomIn();
        repaintMap();
        break;
    case cmd::ZoomOut:
        view_.zoomOut();
        repaintMap();
        break;
    case cmd::ActualPixels:
        view_.actualPixels();
        repaintMap();
        break;
    case cmd::FitToScreen:
        view_.fitToScreen();
        repaintMap();
        break;
    case cmd::NextFrame:
        stepToNextFrame();
        break;
    case cmd::PreviousFrame:
        stepToPreviousFrame();
        break;
    case cmd::Play:
        playAnimation();
        break;
    case cmd::Stop:
        stopAnimation();
        break;
    case cmd::Refresh:
        cloud_->checkNewestImage();
        break;
    case cmd::SatelliteImage:
        links_->openLink("sat", nullptr, now());
        break;
    case cmd::Faq: {
        const CityList& cities = world_.tables.cities;
        const CityRecord* city = cityUnderCursor_ && *cityUnderCursor_ < cities.size()
                                     ? &cities[*cityUnderCursor_]
                                     : nullptr;
        links_->openLink("faq", city, now());
        break;
    }
    case cmd::Manual:
        openManual();
        break;
    case cmd::Upgrade:
        startUpgradeProgram(world_.installation, false, options_.programLauncher);
        break;
    case cmd::Quit:
        quitting_ = true;
        close();
        break;
    default:
        break;
    }
}

void MainWindow::runSwitchCommand(int command) {
    Settings& settings = world_.settings;
    CommandContext context;
    context.newestFrameCached = cloud_->frames()[0].path.has_value();
    context.quakesLoaded = !quakes_->quakeList().empty();
    context.animationRunning = animationRunning_;
    const SwitchOutcome outcome = applySwitchCommand(switchesOf(settings), command, context);
    storeSwitches(outcome.switches, settings);

    const std::uint32_t effects = outcome.effects;
    if (effects & EffectStopAnimation) {
        animationTimer_.stop();
        animationRunning_ = false;
    }
    if (effects & EffectRebuild) {
        composeMap();
    }
    if (effects & EffectRepaint) {
        repaintMap();
    }
    if (effects & EffectShowNewestFrame) {
        cloud_->stepFrames(CloudService::FirstFrame, 1);
    }
    if (effects & EffectRequestQuakes) {
        quakes_->requestQuakes();
    }
    if (effects & EffectSync) {
        syncCommandStates();
    }
    if (effects & EffectUpdateAnimation) {
        updateAnimationButtons();
    }
}

void MainWindow::clearCitySelection() {
    for (CityRecord& city : world_.tables.cities) {
        city.marked = false;
    }
    repaintMap();
}

void MainWindow::stepToNextFrame() {
    animationTimer_.stop();
    animationRunning_ = false;
    if (world_.settings.clouds == 0) {
        world_.settings.clouds = 1;
        syncCommandStates();
    }
    cloud_->stepFrames(cloud_->currentFrame(), CloudService::TowardsNewest);
    updateAnimationButtons();
}

void MainWindow::stepToPreviousFrame() {
    animationTimer_.stop();
    animationRunning_ = false;
    if (world_.settings.clouds == 0) {
        cloud_->setCurrentFrame(-1); // the step towards older frames starts at the newest
        world_.settings.clouds = 1;
        syncCommandStates();
    }
    cloud_->stepFrames(cloud_->currentFrame(), 1);
    updateAnimationButtons();
}

void MainWindow::playAnimation() {
    if (!animationRunning_) {
        // The animation shows clouds: the switch says so, as Next and Previous do.
        if (world_.settings.clouds == 0) {
            world_.settings.clouds = 1;
            syncCommandStates();
        }
        cloud_->setCurrentFrame(CloudService::LastFrame); // begin at the oldest
        animationTimer_.start(AnimationPeriodMs);
        animationRunning_ = true;
    }
    updateAnimationButtons();
}

void MainWindow::stopAnimation() {
    animationTimer_.stop();
    animationRunning_ = false;
    cloud_->setCurrentFrame(0);
    world_.http.httpCancelAll();
    updateAnimationButtons();
}

void MainWindow::stopAnimationTimer() {
    animationTimer_.stop();
    animationRunning_ = false;
    // The caller may still change the current frame: the buttons follow after it.
    QMetaObject::invokeMethod(this, &MainWindow::updateAnimationButtons, Qt::QueuedConnection);
}

void MainWindow::animationTick() {
    // A blend under way or a tick still being handled: this tick is skipped.
    if (world_.compositor.blendBusy() || tickBusy_) {
        return;
    }
    tickBusy_ = true;
    cloud_->stepFrames(cloud_->currentFrame(), CloudService::TowardsNewest);
    tickBusy_ = false;
}

void MainWindow::openNearbyCityLink(int command) {
    const bool weather = nearbyCitySlot(cmd::NearbyCityWeather, command) >= 0;
    const int slot = weather ? nearbyCitySlot(cmd::NearbyCityWeather, command)
                             : nearbyCitySlot(cmd::NearbyCityHotels, command);
    if (slot < 0 || static_cast<std::size_t>(slot) >= popupCities_.size()) {
        return;
    }
    const CityRecord& city =
        world_.tables.cities[popupCities_[static_cast<std::size_t>(slot)].index];
    if (weather) {
        links_->openWeather(&city, now());
    } else {
        links_->openLink("hotels", &city, now());
    }
}

void MainWindow::openManual() {
    const QString inData = QDir(world_.folders.data).filePath(QString::fromUtf8(kManualFileName));
    if (QFileInfo(QString::fromUtf8(kManualFileName)).isFile() || QFileInfo(inData).isFile()) {
        links_->openUrl(kManualFileName);
    } else {
        startUpgradeProgram(world_.installation, true, options_.programLauncher);
    }
}

void MainWindow::switchLanguage(int command) {
    const LanguageItem* item = findLanguageItem(command);
    if (item == nullptr) {
        return;
    }
    std::optional<std::string> code;
    if (!item->code.empty()) {
        code = std::string(item->code);
    }
    world_.language.switchLanguage(code, world_.settings);
    checkCurrentLanguage();
}

void MainWindow::languageChanged() {
    retranslate();
}

// ---------------------------------------------------------------------------
// Composition and deferred work

void MainWindow::composeMap() {
    if (isMinimized()) {
        return;
    }
    Settings& settings = world_.settings;
    DisplaySwitches switches = displaySwitchesOf(settings);
    world_.compositor.composeMap(switches, now(), this);
    if (!switches.sunShadow && settings.shadow != 0) {
        settings.shadow = 0; // the night map shows no shadow
        syncCommandStates();
    }
    view_.dirty = true;
    repaintMap();
    emit mapComposed();
}

void MainWindow::composeCloudFrame(const EarthImage& frame) {
    if (isMinimized()) {
        return; // the images are released; the restore composes again
    }
    world_.compositor.composeCloudFrame(frame, displaySwitchesOf(world_.settings));
    view_.dirty = true;
    repaintMap();
    emit mapComposed();
}

void MainWindow::setCloudImage(ImagePtr image) {
    world_.compositor.setCloudImage(std::move(image));
    world_.settings.clouds = 1;
    composeMap();
    syncCommandStates();
}

void MainWindow::loadFirstImages() {
    world_.compositor.loadSourceImages(true);
    // Switches all off: the lit map is a copy of the day image.
    DisplaySwitches plain;
    plain.dayMap = false;
    world_.compositor.composeMap(plain, now());
    view_.dirty = true;
    repaintMap();
    syncCommandStates();
    updateAnimationButtons();
}

void MainWindow::buildFirstLitMap() {
    showStatus(QString(), StatusMessage);
    composeMap();
}

void MainWindow::showLoadedFrame() {
    repaintMap();
    updateAnimationButtons();
}

void MainWindow::resumeFrameStep() {
    cloud_->stepFrames(cloud_->resumeFrom(), cloud_->resumeDirection());
    updateAnimationButtons();
}

void MainWindow::hideWindow() {
    hideToTray(*this, tray_ != nullptr && tray_->shown());
}

void MainWindow::rebuildAfterRestore() {
    // A quick map first; the shadow, which takes longer, follows.
    Settings& settings = world_.settings;
    const int shadow = settings.shadow;
    settings.shadow = 0;
    composeMap();
    activateWindow();
    raise();
    repaintMap();
    if (shadow != 0) {
        QMetaObject::invokeMethod(
            this, [this] { runCommand(cmd::SunShadow); }, Qt::QueuedConnection);
    }
}

void MainWindow::fitAfterResize() {
    view_.fitToScreen();
    repaintMap();
}

void MainWindow::reloadImages() {
    activateWindow();
    world_.compositor.loadSourceImages(true);
    QMetaObject::invokeMethod(this, &MainWindow::rebuildAfterRestore, Qt::QueuedConnection);
}

void MainWindow::releaseImages() {
    world_.compositor.releaseEarthImages();
    view_.releaseView();
    painter_.release();
}

void MainWindow::refreshTick() {
    if (world_.settings.shadow != 0) {
        composeMap();
    }
}

void MainWindow::clockTick() {
    if (view_.zooming()) {
        return; // the title clock pauses while a zoom drag runs
    }
    updateTitleClock();
    if (isMinimized() || !isVisible()) {
        return;
    }
    view_.overlaysOnly = true;
    pane_->repaint();
    const QPoint global = QCursor::pos();
    paneMouseMoved(pane_->mapFromGlobal(global), global);
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

bool MainWindow::saveSettings() {
    Settings& settings = world_.settings;
    settings.cx = view_.panX;
    settings.cy = view_.panY;
    settings.zoom = view_.scale;
    world_.frames = cloud_->frames();
    saveWindowGeometry(*this, kMainWindowNumber);
    return world_.saveAll();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!quitting_ && world_.settings.wallpaper != 0) {
        // Wallpaper mode keeps the program running in the tray.
        world_.compositor.releaseLitMap();
        view_.releaseView();
        QMetaObject::invokeMethod(this, &MainWindow::hideWindow, Qt::QueuedConnection);
        event->ignore();
        return;
    }
    quitting_ = false;
    clockTimer_.stop();
    hourlyTimer_.stop();
    refreshTimer_.stop();
    animationTimer_.stop();
    animationRunning_ = false;
    if (!closedForGood_) {
        saveSettings();
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

// ---------------------------------------------------------------------------
// The map pane

void MainWindow::repaintMap() {
    if (pane_ != nullptr) {
        pane_->repaint();
    }
}

void MainWindow::paintPane(QPaintEvent*) {
    if (isMinimized()) {
        return;
    }
    const Settings& settings = world_.settings;
    MapPaintInputs inputs;
    inputs.switches.allCities = settings.cities != 0;
    inputs.switches.cityNames = settings.track;
    inputs.switches.markedCities = settings.marked != 0;
    inputs.switches.grid = settings.grid != 0;
    inputs.switches.earthquakes = settings.quakes != 0;
    inputs.switches.info = settings.info != 0;
    inputs.tables = &world_.tables;
    inputs.litMap = world_.compositor.litMap();
    inputs.dayImage = world_.compositor.dayImage();
    inputs.zoneImage = world_.compositor.timeZoneImage();
    inputs.quakes = quakeMarks_;
    const int frame = cloud_->currentFrame();
    if (settings.clouds != 0 && frame >= 0 && frame < kCloudFrameCount) {
        inputs.cloudTimeStamp = cloud_->frames()[static_cast<std::size_t>(frame)].t;
    }
    inputs.now = now();
    inputs.pointer = toPoint(pointer_);
    inputs.dateSeparator = dateSeparator_;

    QPainter painter(pane_);
    const MapPaintReport report = painter_.paintMap(painter, view_, inputs);
    if (report.hoveredCityStatus && !downloadShowing()) {
        showStatus(QString::fromStdString(*report.hoveredCityStatus), StatusMessage);
    }
}

void MainWindow::paneResized() {
    view_.mapArea =
        PaneRect{0, kSeparatorRows, pane_->width(), std::max(0, pane_->height() - kSeparatorRows)};
    if (!view_.userZoomed) {
        view_.fitToScreen();
    }
    repaintMap();
}

Point MainWindow::paneCursor(QPoint panePosition) const {
    return Point{panePosition.x() - view_.mapArea.left, panePosition.y() - view_.mapArea.top};
}

void MainWindow::paneMouseMoved(QPoint position, QPoint global) {
    pointer_ = position;
    if (view_.panning()) {
        if (view_.movePan(toPoint(global))) {
            repaintMap();
        }
    } else if (view_.zooming()) {
        view_.moveZoomDrag(toPoint(global));
        repaintMap();
    } else if (world_.settings.track > 0) {
        // The names overlay follows the pointer: the spot under it and where the
        // last label and box were.
        const HoverState& before = painter_.hover();
        QRegion region(QRect(position.x() - 1, position.y() - 1, 2, 2));
        region += before.hoverRegion;
        region += before.boxRegion;
        pane_->repaint(region);
        const HoverState& after = painter_.hover();
        const QRegion fresh = QRegion(after.hoverRegion).united(after.boxRegion).subtracted(region);
        if (!fresh.isEmpty()) {
            pane_->repaint(fresh);
        }
    }
    updatePointerReadout(position);
}

void MainWindow::updatePointerReadout(QPoint panePosition) {
    const EarthImage* lit = world_.compositor.litMap();
    PointerInputs inputs;
    inputs.zoneImage = world_.compositor.timeZoneImage();
    inputs.tables = &world_.tables;
    inputs.namesOn = world_.settings.track > 0;
    inputs.hoveredCity = painter_.hoveredCity();
    if (lit != nullptr) {
        inputs.mapWidth = lit->width();
        inputs.mapHeight = lit->height();
    }
    inputs.dateSeparator = dateSeparator_;
    const PointerReadout readout = readPointer(view_, paneCursor(panePosition), now(), inputs);
    cityUnderCursor_ = readout.city;
    showStatus(QString::fromStdString(readout.localTime), StatusLocalTime);
    showStatus(QString::fromStdString(coordinateText(readout.longitude)), StatusLongitude);
    showStatus(QString::fromStdString(coordinateText(readout.latitude)), StatusLatitude);
}

void MainWindow::paneMousePressed(Qt::MouseButton button, QPoint, QPoint global) {
    if (button == Qt::LeftButton) {
        view_.beginPan(toPoint(global));
    } else if (button == Qt::RightButton) {
        view_.beginZoomDrag(toPoint(global));
    }
}

void MainWindow::paneMouseReleased(Qt::MouseButton button, QPoint position, QPoint global) {
    if (button == Qt::LeftButton && view_.panning()) {
        view_.endPan();
    } else if (button == Qt::RightButton && view_.zooming()) {
        const bool click = view_.endZoomDrag(toPoint(global));
        popupPoint_ = paneCursor(position);
        if (click) {
            openContextMenu(position, global);
        }
        repaintMap();
    }
}

void MainWindow::paneDoubleClicked(Qt::MouseButton button, QPoint position) {
    if (button == Qt::RightButton) {
        // The second press of a quick double right click starts a zoom drag too.
        view_.beginZoomDrag(toPoint(pane_->mapToGlobal(position)));
        return;
    }
    if (button != Qt::LeftButton || !cityUnderCursor_ ||
        *cityUnderCursor_ >= world_.tables.cities.size()) {
        return;
    }
    if (world_.settings.marked == 0) {
        world_.settings.marked = 1;
        syncCommandStates();
        updateAnimationButtons();
    }
    CityRecord& city = world_.tables.cities[*cityUnderCursor_];
    city.marked = !city.marked;
    repaintMap();
}

std::unique_ptr<QMenu> MainWindow::makeContextMenu(QPoint panePosition) {
    const Point cursor = paneCursor(panePosition);
    popupPoint_ = cursor;
    popupCities_ = pickPopupCities(world_.tables.cities, view_, cursor);

    auto menu = std::make_unique<QMenu>(this);
    buildMenu(*menu, contextMenuTable(), false);

    const Switches switches = switchesOf(world_.settings);
    const std::function<void(QMenu&)> mark = [&](QMenu& m) {
        for (QAction* action : m.actions()) {
            if (QMenu* sub = action->menu()) {
                mark(*sub);
                continue;
            }
            const int command = action->data().toInt();
            if (command == cmd::SunShadow) {
                action->setCheckable(false); // no check mark in this menu
                action->setEnabled(switches.night == 0);
            } else if (action->isCheckable()) {
                action->setChecked(isSwitchOn(switches, command));
            }
        }
    };
    mark(*menu);
    return menu;
}

void MainWindow::openContextMenu(QPoint panePosition, QPoint global) {
    const std::unique_ptr<QMenu> menu = makeContextMenu(panePosition);
    menu->exec(global);
}

const CityRecord* MainWindow::defaultLinkCity() const {
    const CityList& cities = world_.tables.cities;
    const Point point = popupPoint_.value_or(paneCursor(pointer_));
    if (const std::optional<CityHit> hit = view_.nearestCity(cities, point.x, point.y)) {
        return &cities[hit->index];
    }
    return cities.empty() ? nullptr : &cities.front();
}

// ---------------------------------------------------------------------------
// Network events and the shadow's progress

void MainWindow::httpEvent(HttpEvent event, HttpRequest&, std::string_view text, int code) {
    switch (event) {
    case EventTick:
        status_->stepActivity();
        break;
    case EventMessage:
    case EventNoMemory:
        if (!text.empty()) {
            // The client's messages are English; they start with one blank.
            const bool blank = text.front() == ' ';
            const QString message = world_.language.translate(blank ? text.substr(1) : text);
            showStatus(blank ? QStringLiteral(" ") + message : message, StatusMessage);
        }
        break;
    case EventIdle:
        status_->clearActivity();
        updateAnimationButtons();
        break;
    case EventWinsockError:
        showStatus(formatMessage(QStringLiteral("%s (%i)"),
                                 {world_.language.getText(str::WinsockError), code}),
                   StatusMessage);
        break;
    default:
        break; // the other events show nothing
    }
}

void MainWindow::shadowStarted() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!downloadShowing()) {
        showStatus(world_.language.getText(str::StatusCalculatingShadow), StatusMessage);
        status_->repaint(); // the pass blocks the event loop for a moment
    }
}

void MainWindow::shadowFinished() {
    QApplication::restoreOverrideCursor();
    if (!downloadShowing()) {
        showStatus(QString(), StatusMessage);
    }
}

} // namespace chronvale
