#include "render/qt/wallpaper_credit.h"

#include "render/qt/overlay_canvas.h"
#include "render/qt/wallpaper_overlays.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace chronvale {

namespace {

const QColor kCreditText(235, 235, 235);
const QColor kCreditPlate(0, 0, 0);

// At 1080 rows: room for a dock on the left (up to ~70 pixels) and a panel at
// the bottom (up to ~48 pixels), as common desktops place them.
constexpr double kLeftMargin = 80.0;
constexpr double kBottomMargin = 56.0;
constexpr double kFontPixels = 13.0;
constexpr double kPadding = 4.0;

QFont creditFont(double unit) {
    QFont font = OverlayCanvas::overlayFont();
    font.setPixelSize(static_cast<int>(std::lround(kFontPixels * unit)));
    return font;
}

struct PlateText {
    PixelRect plate;
    QString text; // elided to fit
};

PlateText layOut(const PixelRect& rect, const std::string& credit) {
    if (credit.empty() || rect.width <= 0 || rect.height <= 0) {
        return {};
    }
    const double unit = wallpaperOverlayUnit(rect.height);
    const QFontMetrics metrics(creditFont(unit));
    const int left = std::min(static_cast<int>(std::lround(kLeftMargin * unit)), rect.width / 8);
    const int bottom =
        std::min(static_cast<int>(std::lround(kBottomMargin * unit)), rect.height / 8);
    const int pad = static_cast<int>(std::lround(kPadding * unit));
    const int room = rect.width - 2 * left - 2 * pad;
    const int height = metrics.height() + pad;
    // A picture too small for legible letters that cover little of it: none.
    if (room < metrics.averageCharWidth() * 4 || height * 4 > rect.height) {
        return {};
    }
    const QString text = metrics.elidedText(QString::fromStdString(credit), Qt::ElideRight, room);
    const int width = metrics.horizontalAdvance(text) + 2 * pad;
    return {{rect.x + left, rect.y + rect.height - bottom - height, width, height}, text};
}

} // namespace

PixelRect wallpaperCreditPlate(const PixelRect& rect, const std::string& credit) {
    return layOut(rect, credit).plate;
}

void drawWallpaperCredit(EarthImage& picture, const PixelRect& rect, const std::string& credit) {
    const PlateText laid = layOut(rect, credit);
    const PixelRect& plate = laid.plate;
    if (plate.width <= 0 || picture.bitsPerPixel() != 24) {
        return;
    }
    // The plate is opaque: drawn on its own and copied over the picture.
    QImage canvas(plate.width, plate.height, QImage::Format_BGR888);
    if (canvas.isNull()) {
        return;
    }
    canvas.fill(kCreditPlate);
    {
        QPainter painter(&canvas);
        painter.setLayoutDirection(Qt::LeftToRight);
        painter.setFont(creditFont(wallpaperOverlayUnit(rect.height)));
        painter.setPen(kCreditText);
        painter.drawText(canvas.rect(), Qt::AlignCenter, laid.text);
    }
    for (int r = 0; r < plate.height; ++r) {
        std::memcpy(picture.row(plate.y + r) + static_cast<std::size_t>(plate.x) * 3,
                    canvas.constScanLine(r), static_cast<std::size_t>(plate.width) * 3);
    }
}

} // namespace chronvale
