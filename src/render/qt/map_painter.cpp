#include "render/qt/map_painter.h"

#include "geo/geo_tables.h"
#include "render/qt/credit_line.h"
#include "render/qt/device_bitmap.h"
#include "render/qt/sky_overlays.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace chronvale {
namespace {

QRect paneRect(const PaneRect& area) {
    return QRect(area.left, area.top, area.width, area.height);
}

RenderKey currentKey(const MapView& view) {
    return RenderKey{view.mapArea, view.scale, view.offX(), view.offY()};
}

// The pointer the base layer's dots near it are drawn around; none when it has none.
std::optional<Point> marksAround(const MapPaintInputs& inputs) {
    const DisplaySwitches& on = inputs.switches;
    if (inputs.tables == nullptr || on.cityNames == 0 || on.allCities) {
        return std::nullopt;
    }
    return inputs.pointer;
}

} // namespace

void MapPainter::release() {
    base_ = QImage();
    baseDetailed_ = 0;
    baseKey_.reset();
    baseOf_ = nullptr;
    baseMarksAround_.reset();
}

void MapPainter::drawBaseLayer(MapView& view, const MapPaintInputs& inputs, TextStyle& style) {
    const RenderKey key = currentKey(view);
    const QSize size(view.mapArea.width, view.mapArea.height);

    // The view image is current when it was cropped for this key; otherwise (no
    // lit map and no day image) the pane stays black.
    const bool viewCurrent = view.viewImage && view.renderKey == key;

    const QImage* detailed =
        inputs.detailed != nullptr && !inputs.detailed->isNull() ? inputs.detailed : nullptr;
    const qreal ratio = detailed != nullptr ? detailed->devicePixelRatio() : 1.0;
    const QSize deviceSize(qRound(size.width() * ratio), qRound(size.height() * ratio));
    if (base_.size() != deviceSize || base_.format() != QImage::Format_RGB32) {
        base_ = QImage(deviceSize, QImage::Format_RGB32);
    }
    base_.setDevicePixelRatio(ratio);
    if (detailed != nullptr || !viewCurrent || !copyToDeviceBitmap(*view.viewImage, base_)) {
        base_.fill(Qt::black);
    }

    QPainter painter(&base_);
    if (detailed != nullptr) {
        painter.drawImage(QPointF(0.0, 0.0), *detailed);
    }
    baseDetailed_ = detailed != nullptr ? detailed->cacheKey() : 0;
    painter.translate(-view.mapArea.left, -view.mapArea.top);
    OverlayCanvas canvas(painter);
    const DisplaySwitches& on = inputs.switches;
    if (inputs.tables != nullptr) {
        if (on.allCities) {
            drawAllCities(canvas, view, inputs.tables->cities);
        }
        if (on.cityNames != 0) {
            drawHoverMarks(canvas, view, inputs.tables->cities, inputs.pointer, on.cityNames,
                           on.allCities);
        }
    }
    if (on.grid) {
        drawGrid(canvas, view, view.mapArea.left + view.colsFilled,
                 view.mapArea.top + view.rowsFilled);
    }
    if (on.earthquakes && !inputs.quakes.empty()) {
        drawEarthquakes(canvas, view, inputs.quakes);
        drawQuakeLegend(canvas, view, view.mapArea.top + view.rowsFilled, on.grid,
                        inputs.quakeLegendCaption);
    }
    if (inputs.sky != nullptr) {
        if (on.twilight) {
            drawTwilightLines(canvas, view, *inputs.sky, inputs.twilightLegend,
                              view.mapArea.top + view.rowsFilled, on.grid);
        }
        if (on.sunMoon) {
            drawSunAndMoon(canvas, view, *inputs.sky);
        }
    }
    style = canvas.textStyle();
    baseKey_ = key;
    baseOf_ = view.viewImage.get();
    baseMarksAround_ = marksAround(inputs);
}

MapPaintReport MapPainter::paintMap(QPainter& painter, MapView& view,
                                    const MapPaintInputs& inputs) {
    MapPaintReport report;
    const PaneRect& area = view.mapArea;
    const bool keepBase = view.overlaysOnly;
    view.overlaysOnly = false;
    if (area.width <= 0 || area.height <= 0) {
        OverlayCanvas canvas(painter);
        drawSeparator(canvas, area);
        return report;
    }

    const RenderKey key = currentKey(view);
    const bool baseCurrent =
        !base_.isNull() && baseKey_ == key && !view.dirty && baseOf_ == view.viewImage.get() &&
        (!view.viewImage || view.renderKey == key) && baseMarksAround_ == marksAround(inputs) &&
        baseDetailed_ == (inputs.detailed != nullptr && !inputs.detailed->isNull()
                              ? inputs.detailed->cacheKey()
                              : 0);
    TextStyle style;
    if (!keepBase || !baseCurrent) {
        const EarthImage* source = inputs.litMap != nullptr ? inputs.litMap : inputs.dayImage;
        if (source != nullptr) {
            report.cropped = view.updateView(*source);
        }
        drawBaseLayer(view, inputs, style);
        report.baseDrawn = true;
    }
    painter.drawImage(QPoint(area.left, area.top), base_);

    OverlayCanvas canvas(painter);
    canvas.setTextStyle(style);
    painter.save();
    painter.setClipRect(paneRect(area), Qt::IntersectClip);
    const DisplaySwitches& on = inputs.switches;
    if (on.markedCities && inputs.tables != nullptr) {
        drawMarkedCities(canvas, view, *inputs.tables, inputs.zoneImage, inputs.now,
                         inputs.datePattern, inputs.clock);
    }
    if (inputs.showInfo) {
        const std::optional<std::string> imageDate =
            inputs.cloudTimeStamp ? imageDateText(*inputs.cloudTimeStamp, inputs.datePattern)
                                  : std::nullopt;
        drawInfoText(canvas, view, imageDate);
        drawFrameAge(canvas, view, inputs.cloudAge);
    }
    if (inputs.cloudTimeStamp) {
        // Above the longitude labels when the grid is on, so that both stay legible.
        int creditBottom = view.mapArea.top + view.rowsFilled;
        if (on.grid) {
            creditBottom = std::min(creditBottom, meridianLabelTop(view.mapArea, creditBottom));
        }
        drawCreditLine(canvas, view, creditBottom, inputs.cloudCredit);
    }
    if (on.cityNames != 0 && inputs.tables != nullptr) {
        report.hoveredCityStatus = drawHoveredCity(canvas, view, *inputs.tables, inputs.hover);
    }
    painter.restore();
    drawSeparator(canvas, area);
    return report;
}

} // namespace chronvale
