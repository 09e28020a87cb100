#include "app/mainwindow/map_controller.h"

#include "app/mainwindow/data_age.h"
#include "app/mainwindow/map_fit.h"
#include "app/mainwindow/pointer_readout.h"
#include "app/mainwindow/quake_tooltip.h"
#include "app/mainwindow/status_presenter.h"
#include "app/startup/world.h"
#include "i18n/string_table.h"
#include "i18n/user_locale.h"
#include "net/cloud_service.h"

#include <QCursor>
#include <QLocale>
#include <QPainter>
#include <QRegion>

namespace chronvale {

namespace {

Point toPoint(QPoint p) {
    return Point{p.x(), p.y()};
}

} // namespace

MapController::MapController(World& world, const CloudService& cloud, StatusPresenter& status,
                             Hooks hooks)
    : world_(world), cloud_(cloud), status_(status), hooks_(std::move(hooks)),
      detailed_(world_.folders.data.toStdString(), [this](const std::string& file) {
          // Once per file: the 1024 x 512 image serves in its place.
          status_.showNotice(world_.language.getText(str::UnableToLoadFile)
                                 .replace(QStringLiteral("%s"), QString::fromStdString(file)));
      }) {
    const Settings& settings = world_.settings;
    view_.restore(settings.panX, settings.panY, settings.zoom);
}

MapPane* MapController::makePane(QWidget* parent) {
    pane_ = new MapPane(*this, parent);
    return pane_;
}

void MapController::setQuakes(const QuakeList& quakes) {
    quakes_ = quakes;
    quakeMarks_.clear();
    for (const QuakeRecord& quake : quakes_) {
        quakeMarks_.push_back(QuakeMark{quake.lon, quake.lat, quake.m});
    }
}

void MapController::repaint() {
    if (pane_ != nullptr) {
        pane_->repaint();
    }
}

void MapController::refreshOverlays() {
    // The pointer is read first, so that the tick's paint shows the hover for it.
    const QPoint global = QCursor::pos();
    QPoint position = pane_->mapFromGlobal(global);
    // Outside the pane (on the toolbar, beyond the window) nothing is under the
    // pointer, not even a city by the pane's edge; a drag goes on there.
    if (!pane_->rect().contains(position) && !view_.panning() && !view_.zooming()) {
        position = kNoPointer;
    }
    paneMouseMoved(position, global);
    view_.overlaysOnly = true;
    pane_->update();
}

void MapController::release() {
    view_.releaseView();
    painter_.release();
    detailed_.release();
    if (largeCloud_) {
        largeCloud_->release();
    }
}

void MapController::useLargeCloudFrames(HiresCloudFrames& frames) {
    largeCloud_ = std::make_unique<LargeCloudFrame>(frames, [this] {
        // The sharper clouds came: compose the view again.
        view_.dirty = true;
        if (pane_ != nullptr) {
            pane_->update();
        }
    });
}

void MapController::paintPane(QPaintEvent*) {
    if (hooks_.minimised()) {
        return;
    }
    const Settings& settings = world_.settings;
    MapPaintInputs inputs;
    inputs.switches = settings.switches;
    inputs.showInfo = settings.showInfo;
    inputs.tables = &world_.tables();
    inputs.litMap = world_.compositor.litMap();
    inputs.dayImage = world_.compositor.dayImage();
    inputs.zoneImage = world_.compositor.timeZoneImage();
    inputs.clock = &world_.localClock;
    inputs.quakes = quakeMarks_;
    inputs.quakeLegendCaption = world_.language.getText(str::QuakeLegendCaption);
    const int frame = cloud_.currentFrame();
    std::string frameTime;
    if (settings.switches.clouds && frame >= 0 && frame < kCloudFrameCount) {
        inputs.cloudTimeStamp = cloud_.frames()[static_cast<std::size_t>(frame)].t;
        frameTime = inputs.cloudTimeStamp.value_or(std::string());
        describeCloudFrame(inputs, cloud_.source(), world_.language, hooks_.now());
    }
    inputs.now = hooks_.now();
    inputs.pointer = toPoint(pointer_);
    // The view may have changed since the pointer last moved (zoom, resize): a
    // hover that moved with it is cleared where this paint may not reach.
    const HoverState before = findHoverNow();
    if (before != hover_) {
        pane_->update(before.region().united(hover_.region()));
    }
    inputs.hover = hover_;
    inputs.datePattern = shortDatePattern(QLocale());
    inputs.sky = skyMarks();
    if (settings.switches.twilight) {
        inputs.twilightLegend = {
            world_.language.getText(str::LegendCivilTwilight).toStdString(),
            world_.language.getText(str::LegendNauticalTwilight).toStdString(),
            world_.language.getText(str::LegendAstronomicalTwilight).toStdString(),
        };
    }

    // More device pixels than map pixels: the visible part at device resolution.
    const auto largeCloud = [this, &frameTime]() -> const EarthImage* {
        return largeCloud_ ? largeCloud_->frameFor(frameTime) : nullptr;
    };
    const QImage& detailed = detailed_.update(view_, pane_->devicePixelRatioF(), settings.switches,
                                              skyInstant_.value_or(hooks_.now()), world_.compositor,
                                              view_.dirty, largeCloud);
    inputs.detailed = detailed.isNull() ? nullptr : &detailed;
    if (detailed.isNull() && largeCloud_) {
        largeCloud_->release(); // back at the map's pixels
    }

    QPainter painter(pane_);
    const MapPaintReport report = painter_.paintMap(painter, view_, inputs);
    showHoveredCity(report.hoveredCityStatus);
}

const SkyMarks* MapController::skyMarks() {
    const DisplaySwitches& on = world_.settings.switches;
    if (!on.sunMoon && !on.twilight) {
        return nullptr;
    }
    const SkyKey key{skyInstant_.value_or(hooks_.now()), on.sunMoon, on.twilight};
    if (skyKey_ != key) {
        skyMarks_ = skyMarksAt(key.instant, key.sunMoon, key.twilight);
        skyKey_ = key;
    }
    return &skyMarks_;
}

HoverState MapController::findHoverNow() {
    HoverState before = std::move(hover_);
    hover_ =
        findHover(view_, world_.tables().cities, toPoint(pointer_),
                  world_.settings.switches.cityNames, world_.settings.switches.allCities, pane_);
    return before;
}

void MapController::showHoveredCity(const std::optional<std::string>& text) {
    status_.showPointerCity(text ? std::optional<QString>(QString::fromStdString(*text))
                                 : std::nullopt);
}

void MapController::paneResized() {
    view_.mapArea = PaneRect{0, kPaneSeparatorRows, pane_->width(),
                             std::max(0, pane_->height() - kPaneSeparatorRows)};
    if (!view_.userZoomed) {
        view_.fitToScreen();
    }
    repaint();
}

Point MapController::paneCursor(QPoint panePosition) const {
    return Point{panePosition.x() - view_.mapArea.left, panePosition.y() - view_.mapArea.top};
}

void MapController::paneMouseMoved(QPoint position, QPoint global) {
    pointer_ = position;
    if (view_.panning()) {
        if (view_.movePan(toPoint(global))) {
            repaint();
        }
    } else if (view_.zooming()) {
        view_.moveZoomDrag(toPoint(global));
        repaint();
    }
    const HoverState before = findHoverNow();
    if (world_.settings.switches.cityNames > 0) {
        // The names overlay follows the pointer: the spot under it, where the last
        // dots, box and label were and where the new ones go. A drag that
        // repainted the pane has painted the new hover already.
        if ((!view_.panning() && !view_.zooming()) || before != hover_) {
            QRegion region(QRect(position.x() - 1, position.y() - 1, 2, 2));
            region += before.region();
            region += hover_.region();
            pane_->update(region);
        }
        if (!hooks_.minimised()) {
            showHoveredCity(hover_.city ? hoveredCityStatus(world_.tables(), *hover_.city)
                                        : std::nullopt);
        }
    }
    updatePointerReadout(position);
}

void MapController::updatePointerReadout(QPoint panePosition) {
    const EarthImage* lit = world_.compositor.litMap();
    PointerInputs inputs;
    inputs.zoneImage = world_.compositor.timeZoneImage();
    inputs.clock = &world_.localClock;
    inputs.tables = &world_.tables();
    inputs.namesOn = world_.settings.switches.cityNames > 0;
    inputs.hoveredCity = hover_.city;
    if (lit != nullptr) {
        inputs.mapWidth = lit->width();
        inputs.mapHeight = lit->height();
    }
    const std::string datePattern = shortDatePattern(QLocale());
    inputs.datePattern = datePattern;
    const PointerReadout readout =
        readPointer(view_, paneCursor(panePosition), hooks_.now(), inputs);
    cityUnderCursor_ = readout.city;
    // Off the map the fields go blank rather than showing a clamped position.
    status_.show(StatusPresenter::LocalTime,
                 QString::fromStdString(readout.zone.empty()
                                            ? readout.localTime
                                            : readout.localTime + " " + readout.zone));
    status_.show(StatusPresenter::Longitude,
                 readout.onMap ? QString::fromStdString(coordinateText(readout.longitude))
                               : QString());
    status_.show(StatusPresenter::Latitude,
                 readout.onMap ? QString::fromStdString(coordinateText(readout.latitude))
                               : QString());
}

void MapController::paneMousePressed(Qt::MouseButton button, QPoint, QPoint global) {
    if (button == Qt::LeftButton) {
        view_.beginPan(toPoint(global));
    } else if (button == Qt::RightButton) {
        view_.beginZoomDrag(toPoint(global));
    }
}

void MapController::paneMouseReleased(Qt::MouseButton button, QPoint position, QPoint global) {
    if (button == Qt::LeftButton && view_.panning()) {
        view_.endPan();
    } else if (button == Qt::RightButton && view_.zooming()) {
        const bool click = view_.endZoomDrag(toPoint(global));
        popupPoint_ = paneCursor(position);
        if (click) {
            hooks_.contextMenu(position, global);
        }
        repaint();
    }
}

void MapController::paneDoubleClicked(Qt::MouseButton button, QPoint position) {
    if (button == Qt::RightButton) {
        // The second press of a quick double right click starts a zoom drag too.
        view_.beginZoomDrag(toPoint(pane_->mapToGlobal(position)));
        return;
    }
    if (button != Qt::LeftButton || !cityUnderCursor_ ||
        *cityUnderCursor_ >= world_.tables().cities.size()) {
        return;
    }
    // Marking shows the marked cities (the controls follow the switch).
    world_.switchBoard.change([](DisplaySwitches& s) { s.markedCities = true; });
    world_.markCity(*cityUnderCursor_, !world_.tables().cities[*cityUnderCursor_].marked);
    repaint();
}

void MapController::paneLeft() {
    // A drag goes on outside the pane; otherwise nothing is under the pointer now.
    if (!view_.panning() && !view_.zooming()) {
        paneMouseMoved(kNoPointer, kNoPointer);
    }
}

void MapController::paneWheelTurned(QPoint position, int delta) {
    if (view_.panning() || view_.zooming()) {
        return; // a drag owns the view until it ends
    }
    view_.zoomWheel(paneCursor(position), delta);
    view_.zoomStartScale = view_.scale;
    view_.userZoomed = true;
    repaint();
    updatePointerReadout(position);
}

QString MapController::paneToolTip(QPoint position) {
    if (!world_.settings.switches.earthquakes) {
        return {};
    }
    const std::optional<std::size_t> quake = quakeAt(view_, quakes_, toPoint(position));
    return quake ? quakeTooltip(quakes_[*quake], world_.language) : QString();
}

const std::vector<PopupCity>& MapController::pickCitiesAt(QPoint panePosition) {
    const Point cursor = paneCursor(panePosition);
    popupPoint_ = cursor;
    popupCities_ = pickPopupCities(world_.citiesToPick(), view_, cursor);
    return popupCities_;
}

Point MapController::linkPoint() const {
    return popupPoint_.value_or(paneCursor(pointer_));
}

const CityRecord* MapController::defaultLinkCity() const {
    const CityList& cities = world_.tables().cities;
    const Point point = linkPoint();
    if (const std::optional<CityHit> hit = view_.nearestCity(cities, point.x, point.y)) {
        return &cities[hit->index];
    }
    return cities.empty() ? nullptr : &cities.front();
}

} // namespace chronvale
