#include "render/qt/hover.h"

#include "render/qt/overlay_canvas.h"

#include <QFontMetrics>
#include <QString>

namespace chronvale {
namespace {

// The rectangle (left, top, right, bottom) with its right and bottom edges excluded.
QRect rectOf(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}

} // namespace

HoverState findHover(const MapView& view, const CityList& cities, Point pointer, int radius,
                     bool allCities, const QPaintDevice* device) {
    HoverState hover;
    if (radius == 0) {
        return hover;
    }
    const int b = static_cast<int>(static_cast<float>(radius) * view.scale);
    if (!allCities) {
        hover.hoverRegion =
            rectOf(pointer.x - b - 10, pointer.y - b - 10, pointer.x + b + 90, pointer.y + b + 10);
    }
    const std::optional<HoverPick> pick = pickHoveredCity(view, cities, pointer);
    if (!pick) {
        return hover;
    }
    hover.city = pick->index;
    const Point p = pick->at;
    // The label is drawn with its cell at (x + 9, y + 9); the rectangle is widened
    // to the cell and to the ink of its letters (the last one may reach a pixel
    // past the cell), so that a long name leaves nothing behind.
    const QFont font = OverlayCanvas::overlayFont();
    const QFontMetrics metrics =
        device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font);
    const QString name = QString::fromStdString(cities[pick->index].name);
    const Point cell{p.x + 9, p.y + 9};
    const QRect label =
        QRect(cell.x, cell.y, metrics.horizontalAdvance(name), metrics.height())
            .united(metrics.boundingRect(name).translated(cell.x, cell.y + metrics.ascent()));
    const QRect around =
        allCities ? rectOf(p.x + 9, p.y + 6, p.x + 117, p.y + 27) : hover.hoverRegion;
    hover.hoverRegion = around.united(label);
    hover.boxRegion = rectOf(p.x - 4, p.y - 4, p.x + 4, p.y + 4);
    return hover;
}

} // namespace chronvale
