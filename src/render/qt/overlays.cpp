#include "render/qt/overlays.h"

#include "geo/date_pattern.h"
#include "geo/geo_tables.h"
#include "geo/local_time.h"
#include "render/local_clock.h"
#include "render/zone_offset.h"

#include <QPainter>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace chronvale {
namespace {

const QColor kCityFill(255, 255, 0);
const QColor kCityRim(200, 90, 0);
const QColor kHoverRim(200, 0, 0);
const QColor kHoveredFill(255, 255, 255);
const QColor kHoveredRim(0, 0, 255);
const QColor kHoveredLabelBackground(250, 0, 0);
const QColor kMarkedFill(0, 255, 0);
const QColor kMarkedRim(0, 0, 0);
const QColor kGridLine(0, 140, 0);
const QColor kGridAxis(200, 0, 0);
const QColor kGridLabel(0, 200, 0);
const QColor kQuakeRim(60, 60, 60);
const QColor kQuakeLegendText(0, 0, 255);
const QColor kQuakeLegendCaption(0, 0, 0);
const QColor kQuakeLegendPlate(235, 235, 235);
const QColor kInfoText(0, 0, 250);
const QColor kSeparatorLight(240, 240, 240);
const QColor kSeparatorDark(140, 140, 140);

int truncToInt(float value) {
    return static_cast<int>(value);
}

int paneRight(const PaneRect& area) {
    return area.left + area.width;
}

int paneBottom(const PaneRect& area) {
    return area.top + area.height;
}

// A city's dot: the fill (x - 2, y - 2, x + 3, y + 3) in yellow and the outline
// from (x - 2, y - 2) to (x + 2, y + 2) in the rim colour, as one picture that is
// stamped at (x - 2, y - 2).
QImage dotPicture(QColor rim) {
    QImage dot(5, 5, QImage::Format_RGB32);
    QPainter painter(&dot);
    OverlayCanvas canvas(painter);
    canvas.fill(0, 0, 5, 5, kCityFill);
    canvas.outline(0, 0, 4, 4, rim);
    return dot;
}

QString degreesLabel(int degrees) {
    return QString::number(degrees) + QStringLiteral(".0");
}

// One counter through meridians and parallels: a line is labelled when it is 0.
// Above scale 2 every line is labelled, else every second one.
struct LabelCounter {
    float scale;
    int count = 0;
    bool labelled() const { return count == 0; }
    void next() {
        if (scale > 2.0f) {
            count = 0;
        } else if (++count > 1) {
            count = 0;
        }
    }
};

} // namespace

int meridianLabelTop(const PaneRect& area, int limitBottom) {
    const int bottom = paneBottom(area);
    if (bottom - 20 < limitBottom - 20) {
        return bottom - 20;
    }
    if (limitBottom - 20 < bottom - 30) {
        return limitBottom;
    }
    return limitBottom - 20;
}

int parallelLabelRight(const OverlayCanvas& canvas, const PaneRect& area) {
    // The labels start 2 pixels into the pane; "-80.0" is the widest of them.
    return area.left + 2 + canvas.textCell(0, 0, degreesLabel(-80)).width();
}

void drawAllCities(OverlayCanvas& canvas, const MapView& view, const CityList& cities) {
    const PaneRect& area = view.mapArea;
    const QImage dot = dotPicture(kCityRim);
    for (const CityRecord& city : cities) {
        const Point p = view.mapToScreen(city.longitude, city.latitude);
        if (p.x >= area.left + 2 && p.y >= area.top + 2) {
            canvas.stamp(p.x - 2, p.y - 2, dot);
        }
    }
}

void drawHoverMarks(OverlayCanvas& canvas, const MapView& view, const CityList& cities,
                    Point pointer, int radius, bool allCities) {
    if (allCities) {
        return;
    }
    const PaneRect& area = view.mapArea;
    const float markRadius = static_cast<float>(radius) * view.scale;
    const QImage dot = dotPicture(kHoverRim);
    for (const CityRecord& city : cities) {
        const Point p = view.mapToScreen(city.longitude, city.latitude);
        const float dx = static_cast<float>(pointer.x - p.x);
        const float dy = static_cast<float>(pointer.y - p.y);
        const float distance = static_cast<float>(truncToInt(std::sqrt(dx * dx + dy * dy)));
        if (p.y > area.top + 1 && p.x > area.left + 1 && markRadius > distance) {
            canvas.stamp(p.x - 2, p.y - 2, dot);
        }
    }
}

void drawGrid(OverlayCanvas& canvas, const MapView& view, int limitRight, int limitBottom) {
    const PaneRect& area = view.mapArea;
    const int bottom = paneBottom(area);
    const float scale = view.scale;
    LabelCounter counter{scale};

    auto project = [&](int mapX, int mapY) {
        return Point{truncToInt(static_cast<float>(mapX - view.offX()) * scale) + area.left,
                     truncToInt(static_cast<float>(mapY - view.offY()) * scale) + area.top};
    };
    auto label = [&](int x, int y, int degrees) {
        canvas.setTextColour(kGridLabel);
        canvas.setOpaque(false);
        canvas.text(x, y, degreesLabel(degrees));
        canvas.setOpaque(true);
    };

    const int labelY = meridianLabelTop(area, limitBottom);

    const int lineLength = truncToInt(static_cast<float>(kMapHeight) * scale);
    for (int d = 0; d < 360; d += 10) {
        Point p = project(d * kMapWidth / 360, 0);
        p.y = std::max(p.y, area.top);
        if (p.x > area.left) {
            canvas.verticalLine(p.x, p.y, std::min(p.y + lineLength, limitBottom),
                                d == 180 ? kGridAxis : kGridLine);
            if (counter.labelled()) {
                label(p.x + 2, labelY, d - 180);
            }
        }
        counter.next();
    }

    const int lineWidth = truncToInt(static_cast<float>(kMapWidth) * scale);
    for (int e = 0; e <= 180; e += 10) {
        Point p = project(0, e * kMapHeight / 180);
        p.x = std::max(p.x, area.left);
        // A parallel above the pane is left out: pulled down to the pane's top it
        // would draw a line and a label where that latitude is not.
        if (p.y >= area.top && p.y <= bottom) {
            canvas.horizontalLine(p.x, std::min(p.x + lineWidth, limitRight), p.y,
                                  e == 90 ? kGridAxis : kGridLine);
            if (counter.labelled()) {
                label(p.x + 2, p.y + 2, 90 - e);
            }
        }
        counter.next();
    }
}

int quakeClass(float magnitude) {
    int level = 0;
    for (float threshold = 2.0f; threshold < 8.5f && magnitude > threshold; threshold += 1.0f) {
        ++level;
    }
    return level;
}

QColor quakeClassColour(int quakeClass) {
    static const std::array<QColor, 8> colours{
        QColor(0, 0, 255), QColor(200, 0, 200), QColor(0, 180, 0),   QColor(0, 255, 0),
        QColor(255, 0, 0), QColor(255, 150, 0), QColor(255, 255, 0), QColor(255, 255, 255),
    };
    return colours[static_cast<std::size_t>(std::clamp(quakeClass, 0, 7))];
}

void drawEarthquakes(OverlayCanvas& canvas, const MapView& view,
                     std::span<const QuakeMark> quakes) {
    if (quakes.empty()) {
        return;
    }
    const PaneRect& area = view.mapArea;
    for (const QuakeMark& quake : quakes) {
        const Point p = view.mapToScreen(quake.longitude, quake.latitude);
        if (p.x >= area.left + 2 && p.y >= area.top + 2) {
            canvas.ellipse(p.x - 1, p.y - 1, p.x + 8, p.y + 8, kQuakeRim,
                           quakeClassColour(quakeClass(quake.magnitude)));
        }
    }
}

void drawQuakeLegend(OverlayCanvas& canvas, const MapView& view, int limitBottom, bool gridOn,
                     const QString& caption) {
    const PaneRect& area = view.mapArea;
    constexpr int kClassWidth = 30;
    constexpr int kBarHeight = 6;
    constexpr int kMargin = 4;
    const QString last = QStringLiteral("9");
    const QRect captionCell = canvas.textCell(0, 0, caption);
    const QRect digitCell = canvas.textCell(0, 0, last);
    const int barsWidth = 8 * kClassWidth;
    // The plate holds the caption, the bars and the digits under them; the last
    // digit, 9, stands after the last class.
    const int plateWidth =
        kMargin + std::max(barsWidth + digitCell.width(), captionCell.width()) + kMargin;
    const int plateHeight =
        kMargin + captionCell.height() + 2 + kBarHeight + 4 + digitCell.height() + kMargin;

    // Above the meridians' labels (or where they would be), so that it covers none;
    // in the black band below the map when the band holds the labels and the plate.
    const int labelTop = meridianLabelTop(area, limitBottom);
    const int labelBottom = labelTop + digitCell.height();
    int plateTop = (gridOn ? labelTop - 2 : labelBottom) - plateHeight;
    const int bandTop = gridOn && labelTop >= limitBottom ? labelBottom + 2 : limitBottom + 2;
    if (bandTop + plateHeight <= paneBottom(area) - 2) {
        plateTop = bandTop;
    }
    const int plateLeft = paneRight(area) - kMargin - plateWidth;

    canvas.fill(plateLeft, plateTop, plateLeft + plateWidth, plateTop + plateHeight,
                kQuakeLegendPlate);
    canvas.outline(plateLeft, plateTop, plateLeft + plateWidth - 1, plateTop + plateHeight - 1,
                   kQuakeRim);
    canvas.setOpaque(false);
    canvas.setTextColour(kQuakeLegendCaption);
    canvas.text(plateLeft + kMargin, plateTop + kMargin, caption);

    int x = plateLeft + kMargin;
    const int y = plateTop + kMargin + captionCell.height() + 2;
    canvas.setTextColour(kQuakeLegendText);
    for (int k = 0; k < 8; ++k) {
        canvas.fill(x, y, x + kClassWidth, y + kBarHeight, quakeClassColour(k));
        canvas.text(x, y + 10, QString::number(k + 1));
        x += kClassWidth;
    }
    // The white class needs an edge on the light plate.
    canvas.outline(plateLeft + kMargin - 1, y - 1, x, y + kBarHeight, kQuakeRim);
    canvas.text(x + 1, y + 10, last);
}

std::string markedCityLabel(const CityRecord& city, const GeoTables& tables,
                            const EarthImage* zoneImage, std::time_t now,
                            std::string_view datePattern, const LocalClock* clock) {
    std::string dateTime;
    if (clock != nullptr) {
        dateTime = clock->cityTime(city, now).text(datePattern);
    } else {
        const MapView unpanned;
        const Point mapPixel = unpanned.mapToPane(city.longitude, city.latitude);
        const float zoneHours = zoneOffsetAt(zoneImage, mapPixel.x, mapPixel.y);
        dateTime = localDateTimeText(city, zoneHours, tables.zones, tables.rules, now, datePattern);
    }
    // "MM/DD/YY hh:mm:ss": the time after the last blank (a date separator may
    // hold blanks too), without its seconds.
    const std::size_t blank = dateTime.rfind(' ');
    std::string time = blank == std::string::npos ? dateTime : dateTime.substr(blank + 1);
    const std::size_t colon = time.rfind(':');
    if (colon != std::string::npos) {
        time.resize(colon);
    }
    return time + " " + (city.label.empty() ? city.name : city.label);
}

namespace {

// Where a marked city's label goes, for the box's corner (x, y): 10 pixels right
// of and below the corner, or left of the box when it would be cut at the pane's
// right edge. A label that would overlap one placed before moves below, then
// above, then left of its usual place, to the first place that is free and
// inside the pane; with none free it keeps its usual place.
QRect placeMarkedLabel(const OverlayCanvas& canvas, const PaneRect& area, int x, int y,
                       const QString& text, const std::vector<QRect>& placed) {
    const QRect usual = canvas.textCell(x + 10, y + 10, text);
    const int leftX = x - 4 - usual.width(); // ends 4 pixels before the box
    const QRect preferred =
        usual.right() >= paneRight(area) ? usual.translated(leftX - usual.left(), 0) : usual;
    const QRect inside(area.left, area.top, area.width, area.height);
    auto free = [&](const QRect& cell) {
        return std::none_of(placed.begin(), placed.end(),
                            [&](const QRect& other) { return other.intersects(cell); });
    };
    if (free(preferred)) {
        return preferred;
    }
    const std::array<QRect, 3> moves{
        preferred.translated(0, preferred.height()),         // below
        preferred.translated(0, -(14 + preferred.height())), // above the box
        preferred.translated(leftX - preferred.left(), 0),   // left of the box
    };
    for (const QRect& cell : moves) {
        if (inside.contains(cell) && free(cell)) {
            return cell;
        }
    }
    return preferred;
}

} // namespace

void drawMarkedCities(OverlayCanvas& canvas, const MapView& view, const GeoTables& tables,
                      const EarthImage* zoneImage, std::time_t now, std::string_view datePattern,
                      const LocalClock* clock) {
    const PaneRect& area = view.mapArea;
    canvas.setTextColour(kMarkedFill);
    canvas.setBackgroundColour(kMarkedRim);
    std::vector<QRect> placed;
    for (const CityRecord& city : tables.cities) {
        if (!city.marked) {
            continue;
        }
        const Point p = view.mapToScreen(city.longitude, city.latitude);
        const int x = p.x - 2;
        const int y = p.y - 2;
        if (y <= area.top) {
            continue;
        }
        if (x > area.left) {
            canvas.fill(x, y, x + 6, y + 6, kMarkedFill);
            canvas.outline(x, y, x + 5, y + 5, kMarkedRim);
        }
        if (x > area.left - 10) {
            const QString label = QString::fromStdString(
                markedCityLabel(city, tables, zoneImage, now, datePattern, clock));
            const QRect cell = placeMarkedLabel(canvas, area, x, y, label, placed);
            canvas.text(cell.left(), cell.top(), label);
            placed.push_back(cell);
        }
    }
}

std::optional<std::string> imageDateText(std::string_view timeStamp, std::string_view datePattern) {
    if (timeStamp.size() < 10 || !std::all_of(timeStamp.begin(), timeStamp.begin() + 10,
                                              [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const auto digits = [&](std::size_t at, std::size_t count) {
        int value = 0;
        for (std::size_t i = at; i < at + count; ++i) {
            value = value * 10 + (timeStamp[i] - '0');
        }
        return value;
    };
    const int hour = digits(8, 2);
    std::string text = "Image Date: ";
    text += formatDatePattern(datePattern, digits(0, 4), digits(4, 2), digits(6, 2));
    text += ' ';
    text += std::to_string(hour > 12 ? hour - 12 : hour);
    text += hour > 11 ? "pm" : "am";
    return text;
}

void drawInfoText(OverlayCanvas& canvas, const MapView& view,
                  const std::optional<std::string>& imageDate) {
    const PaneRect& area = view.mapArea;
    const int y = paneBottom(area) - 20;
    canvas.setTextColour(kInfoText);
    canvas.setOpaque(false);
    canvas.text(
        paneRight(area) - 100, y,
        QStringLiteral("Scale: %1 km").arg(static_cast<double>(view.kmPerPixel()), 0, 'f', 2));
    if (imageDate) {
        const QString text = QString::fromStdString(*imageDate);
        const int width = canvas.textCell(0, 0, text).width();
        canvas.text(std::min(paneRight(area) - 245, paneRight(area) - 105 - width), y, text);
        canvas.setOpaque(true);
    }
}

std::optional<std::string> drawHoveredCity(OverlayCanvas& canvas, const MapView& view,
                                           const GeoTables& tables, const HoverState& hover) {
    if (!hover.city || *hover.city >= tables.cities.size()) {
        return std::nullopt;
    }
    const PaneRect& area = view.mapArea;
    const CityRecord& city = tables.cities[*hover.city];
    const Point p = view.mapToScreen(city.longitude, city.latitude);
    if (p.y - 3 > area.top + 2 && p.x - 3 > area.left + 1) {
        canvas.fill(p.x - 3, p.y - 3, p.x + 4, p.y + 4, kHoveredFill);
        canvas.outline(p.x - 3, p.y - 3, p.x + 3, p.y + 3, kHoveredRim);
        canvas.setTextColour(kHoveredFill);
        canvas.setBackgroundColour(kHoveredLabelBackground);
        canvas.setOpaque(true);
        canvas.text(p.x + 9, p.y + 9, QString::fromStdString(city.name));
    }
    return hoveredCityStatus(tables, *hover.city);
}

void drawSeparator(OverlayCanvas& canvas, const PaneRect& mapArea) {
    const int right = paneRight(mapArea);
    canvas.horizontalLine(mapArea.left - 2, right + 2, mapArea.top - 2, kSeparatorLight);
    canvas.horizontalLine(mapArea.left - 1, right + 1, mapArea.top - 1, kSeparatorDark);
}

} // namespace chronvale
