#include "render/qt/wallpaper_overlays.h"

#include "render/qt/overlay_canvas.h"

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace chronvale {

namespace {

const QColor kGridLine(0, 140, 0);
const QColor kGridAxis(200, 0, 0);
const QColor kMarkedFill(0, 255, 0);
const QColor kMarkedRim(0, 0, 0);

// The column of a longitude in the region's picture (any of its wraps that
// falls inside; else -1), and the row of a latitude.
double columnOf(double longitude, const MapRegion& region, int width) {
    for (const double shift : {0.0, 360.0, -360.0, 720.0}) {
        const double offset = longitude + shift - region.west;
        if (offset >= 0.0 && offset < region.lonSpan) {
            return offset / region.lonSpan * width;
        }
    }
    return -1.0;
}

double rowOf(double latitude, const MapRegion& region, int height) {
    return (region.north - latitude) / region.latSpan * height;
}

void copyRect(const EarthImage& from, const PixelRect& rect, QImage& to) {
    for (int r = 0; r < rect.height; ++r) {
        std::memcpy(to.scanLine(r), from.row(rect.y + r) + static_cast<std::size_t>(rect.x) * 3,
                    static_cast<std::size_t>(rect.width) * 3);
    }
}

void copyBack(const QImage& from, const PixelRect& rect, EarthImage& to) {
    for (int r = 0; r < rect.height; ++r) {
        std::memcpy(to.row(rect.y + r) + static_cast<std::size_t>(rect.x) * 3,
                    from.constScanLine(r), static_cast<std::size_t>(rect.width) * 3);
    }
}

void drawGridLines(QPainter& painter, const PixelRect& rect, const MapRegion& region, int thick) {
    for (int longitude = -180; longitude < 180; longitude += 10) {
        const double x = columnOf(longitude, region, rect.width);
        if (x >= 0.0) {
            painter.fillRect(QRect(static_cast<int>(x), 0, thick, rect.height),
                             longitude == 0 ? kGridAxis : kGridLine);
        }
    }
    for (int latitude = -80; latitude <= 80; latitude += 10) {
        const double y = rowOf(latitude, region, rect.height);
        if (y >= 0.0 && y < rect.height) {
            painter.fillRect(QRect(0, static_cast<int>(y), rect.width, thick),
                             latitude == 0 ? kGridAxis : kGridLine);
        }
    }
}

void drawMarks(QPainter& painter, const PixelRect& rect, const MapRegion& region, double unit,
               std::span<const WallpaperMark> marks) {
    QFont font = OverlayCanvas::overlayFont();
    font.setPixelSize(static_cast<int>(std::lround(13 * unit)));
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const int box = static_cast<int>(std::lround(6 * unit));
    const int gap = static_cast<int>(std::lround(4 * unit));
    for (const WallpaperMark& mark : marks) {
        const double x = columnOf(mark.longitude, region, rect.width);
        const double y = rowOf(mark.latitude, region, rect.height);
        if (x < 0.0 || y < 0.0 || y >= rect.height) {
            continue;
        }
        const QRect square(static_cast<int>(x) - box / 2, static_cast<int>(y) - box / 2, box, box);
        painter.fillRect(square, kMarkedRim);
        painter.fillRect(square.adjusted(1, 1, -1, -1), kMarkedFill);
        const QString name = QString::fromStdString(mark.name);
        QRect cell = metrics.boundingRect(name).adjusted(-gap / 2, 0, gap / 2, 0);
        cell.moveTopLeft(QPoint(square.right() + gap, square.bottom() + gap / 2));
        if (cell.right() >= rect.width) { // keep it on the picture: left of the box
            cell.moveRight(square.left() - gap);
        }
        painter.fillRect(cell, kMarkedRim);
        painter.setPen(kMarkedFill);
        painter.drawText(cell, Qt::AlignCenter, name);
    }
}

} // namespace

double wallpaperOverlayUnit(int height) {
    return std::max(1.0, height / 1080.0);
}

void drawWallpaperOverlays(EarthImage& picture, const PixelRect& rect, const MapRegion& region,
                           bool grid, std::span<const WallpaperMark> marks) {
    if ((!grid && marks.empty()) || rect.width <= 0 || rect.height <= 0 ||
        picture.bitsPerPixel() != 24) {
        return;
    }
    QImage canvas(rect.width, rect.height, QImage::Format_BGR888);
    if (canvas.isNull()) {
        return;
    }
    copyRect(picture, rect, canvas);
    {
        QPainter painter(&canvas);
        painter.setLayoutDirection(Qt::LeftToRight);
        const double unit = wallpaperOverlayUnit(rect.height);
        if (grid) {
            drawGridLines(painter, rect, region, static_cast<int>(std::lround(unit)));
        }
        drawMarks(painter, rect, region, unit, marks);
    }
    copyBack(canvas, rect, picture);
}

} // namespace chronvale
