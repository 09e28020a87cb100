#include "render/qt/credit_line.h"

#include "render/map_view.h"
#include "render/qt/overlay_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace chronvale {

namespace {

const QColor kCreditText(235, 235, 235);
const QColor kCreditPlate(0, 0, 0);
const QColor kAgeText(0, 0, 250); // the info text's colour
constexpr int kMargin = 3;

} // namespace

void drawCreditLine(OverlayCanvas& canvas, const MapView& view, int mapBottom,
                    const QString& credit) {
    if (credit.isEmpty()) {
        return;
    }
    const PaneRect& area = view.mapArea;
    // A credit longer than the map is cut off with an ellipsis at its right edge
    // rather than by the pane.
    const QFontMetrics metrics(canvas.painter().font());
    const QString shown = metrics.elidedText(credit, Qt::ElideRight, area.width - 4 * kMargin);
    const QRect cell = canvas.textCell(0, 0, shown);
    const int bottom = std::min(mapBottom, area.top + area.height) - kMargin;
    const int top = bottom - cell.height();
    const int left = area.left + kMargin;
    canvas.fill(left - 2, top - 1, left + cell.width() + 2, bottom + 1, kCreditPlate);
    canvas.setTextColour(kCreditText);
    canvas.setOpaque(false);
    canvas.text(left, top, shown);
}

void drawFrameAge(OverlayCanvas& canvas, const MapView& view, const QString& age) {
    if (age.isEmpty()) {
        return;
    }
    const PaneRect& area = view.mapArea;
    // The image date stands at (right - 245, bottom - 20); this goes one line above.
    canvas.setTextColour(kAgeText);
    canvas.setOpaque(false);
    canvas.text(area.left + area.width - 245, area.top + area.height - 36, age);
}

} // namespace chronvale
