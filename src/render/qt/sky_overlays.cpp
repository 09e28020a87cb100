#include "render/qt/sky_overlays.h"

#include "render/qt/overlays.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace chronvale {
namespace {

QColor toColour(SkyRgb c) {
    return QColor(c.red, c.green, c.blue);
}

// Pane position of a point of the earth, unrounded, so that the curves run smooth
// at any zoom: mapToScreen's steps without the truncation.
QPointF project(const MapView& view, const GroundPoint& g) {
    const double mx = (g.longitude + 180.0) / 360.0 * kMapWidth - view.offX();
    const double my = (90.0 - g.latitude) / 180.0 * kMapHeight - view.offY();
    return QPointF(view.mapArea.left + mx * view.scale, view.mapArea.top + my * view.scale);
}

template <typename PixelOf> QImage picture(int size, PixelOf pixelOf) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            if (const std::optional<SkyRgb> c = pixelOf(x, y)) {
                image.setPixelColor(x, y, toColour(*c));
            }
        }
    }
    return image;
}

void drawLegend(OverlayCanvas& canvas, const MapView& view,
                const std::array<std::string, 3>& legend, int limitBottom, bool gridOn) {
    constexpr int kSample = 24;
    constexpr int kMargin = 4;
    const PaneRect& area = view.mapArea;
    int width = 0;
    int row = 0;
    for (const std::string& text : legend) {
        const QRect cell = canvas.textCell(0, 0, QString::fromStdString(text));
        width = std::max(width, cell.width());
        row = std::max(row, cell.height());
    }
    const int plateWidth = kMargin + kSample + 6 + width + kMargin;
    const int plateHeight = kMargin + 3 * row + kMargin;
    const int labelTop = meridianLabelTop(area, limitBottom);
    const int labelBottom = labelTop + row;
    int top = (gridOn ? labelTop - 2 : labelBottom) - plateHeight;
    const int bandTop = gridOn && labelTop >= limitBottom ? labelBottom + 2 : limitBottom + 2;
    if (bandTop + plateHeight <= area.top + area.height - 2) {
        top = bandTop;
    }
    // Over the map with the grid on, it keeps clear of the parallels' labels too.
    const int left =
        (gridOn && top < limitBottom ? parallelLabelRight(canvas, area) : area.left) + kMargin;
    canvas.fill(left, top, left + plateWidth, top + plateHeight, QColor(0, 0, 0));
    QPainter& painter = canvas.painter();
    canvas.setOpaque(false);
    for (size_t i = 0; i < kTwilightLines.size(); ++i) {
        const TwilightLineStyle& style = kTwilightLines[i];
        const int y = top + kMargin + static_cast<int>(i) * row;
        QPen pen(toColour(style.colour), 1);
        pen.setDashPattern({static_cast<qreal>(style.dashOn), static_cast<qreal>(style.dashOff)});
        painter.setPen(pen);
        const qreal middle = y + row / 2.0;
        painter.drawLine(QPointF(left + kMargin, middle),
                         QPointF(left + kMargin + kSample, middle));
        canvas.setTextColour(toColour(style.colour));
        canvas.text(left + kMargin + kSample + 6, y, QString::fromStdString(legend[i]));
    }
}

} // namespace

QImage sunPicture() {
    return picture(sunSymbolSize(), sunSymbolPixel);
}

QImage moonPicture(const MoonMark& moon) {
    return picture(moonSymbolSize(), [&moon](int x, int y) { return moonSymbolPixel(x, y, moon); });
}

void drawTwilightLines(OverlayCanvas& canvas, const MapView& view, const SkyMarks& marks,
                       const std::array<std::string, 3>& legend, int limitBottom, bool gridOn) {
    bool any = false;
    QPainter& painter = canvas.painter();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setClipRect(
        QRect(view.mapArea.left, view.mapArea.top, view.mapArea.width, view.mapArea.height),
        Qt::IntersectClip);
    for (size_t i = 0; i < kTwilightLines.size(); ++i) {
        const TwilightLineStyle& style = kTwilightLines[i];
        QPen pen(toColour(style.colour), 1);
        pen.setDashPattern({static_cast<qreal>(style.dashOn), static_cast<qreal>(style.dashOff)});
        painter.setPen(pen);
        for (const std::vector<GroundPoint>& path : marks.twilight[i]) {
            QPainterPath curve;
            for (size_t k = 0; k < path.size(); ++k) {
                const QPointF p = project(view, path[k]);
                k == 0 ? curve.moveTo(p) : curve.lineTo(p);
            }
            painter.drawPath(curve);
            any = true;
        }
    }
    painter.restore();
    if (any) {
        drawLegend(canvas, view, legend, limitBottom, gridOn);
    }
}

void drawSunAndMoon(OverlayCanvas& canvas, const MapView& view, const SkyMarks& marks) {
    const PaneRect& area = view.mapArea;
    auto place = [&](const GroundPoint& at, const QImage& image) {
        const Point p =
            view.mapToScreen(static_cast<float>(at.longitude), static_cast<float>(at.latitude));
        const int half = image.width() / 2;
        // Within the pane (the kept base layer is the pane's size anyway).
        if (p.x + half >= area.left && p.y + half >= area.top &&
            p.x - half < area.left + area.width && p.y - half < area.top + area.height) {
            canvas.stamp(p.x - half, p.y - half, image);
        }
    };
    if (marks.moon) {
        place(marks.moon->subLunar, moonPicture(*marks.moon));
    }
    if (marks.sun) {
        place(*marks.sun, sunPicture());
    }
}

} // namespace chronvale
