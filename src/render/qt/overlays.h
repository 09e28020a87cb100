#pragma once
// The vector overlays drawn over the map, each in the window's coordinates (those
// of MapView::mapArea) and placed with the view's projection. The map painter
// calls them in a fixed order:
//   base group   drawAllCities, drawHoverMarks, drawGrid, drawEarthquakes and
//                drawQuakeLegend
//   second group drawMarkedCities, drawInfoText, drawHoveredCity, drawSeparator
// The base group only changes with the view, the switches and the pointer; the
// second group shows the time and is drawn again every second.

#include "geo/city.h"
#include "geo/date_pattern.h"
#include "render/earth_image.h"
#include "render/map_view.h"
#include "render/qt/hover.h"
#include "render/qt/overlay_canvas.h"

#include <QRect>
#include <cstddef>
#include <ctime>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace chronvale {

class LocalClock;

struct GeoTables;

// One earthquake as the overlay needs it.
struct QuakeMark {
    float longitude = 0.0f;
    float latitude = 0.0f;
    float magnitude = 0.0f;
};

// A 5 x 5 yellow dot with a brown-orange rim for every city not on the pane's top
// or left border.
void drawAllCities(OverlayCanvas& canvas, const MapView& view, const CityList& cities);

// While All Cities is off, dots with a red rim the cities within `radius` map
// pixels of the pointer (the hover state's hoverRegion covers them).
void drawHoverMarks(OverlayCanvas& canvas, const MapView& view, const CityList& cities,
                    Point pointer, int radius, bool allCities);

// Meridians and parallels every 10 degrees, the prime meridian and the equator in
// red, with labels (every second line at scale 2 or less). Meridians stop at
// limitBottom and parallels at limitRight: where the crop of the map ends.
void drawGrid(OverlayCanvas& canvas, const MapView& view, int limitRight, int limitBottom);
// The top of the meridians' label row: 20 pixels above the pane's bottom, or just
// below the map's end (limitBottom) when the map ends well above it. The legends
// keep clear of it.
int meridianLabelTop(const PaneRect& area, int limitBottom);
// The right edge of the parallels' labels, which stand at the pane's left edge.
int parallelLabelRight(const OverlayCanvas& canvas, const PaneRect& area);

// The class 0..7 of a magnitude: above 2, 3, ... 8 raise it by one each.
int quakeClass(float magnitude);
QColor quakeClassColour(int quakeClass);
// A circle in its class colour for every earthquake.
void drawEarthquakes(OverlayCanvas& canvas, const MapView& view, std::span<const QuakeMark> quakes);
// The magnitude legend at the pane's bottom right: the caption, a bar of the eight
// class colours with the magnitudes 1 ... 9 at their edges, on a light plate.
// It sits above the meridians' labels (limitBottom is where the crop of the map
// ends, as for drawGrid), or below the map where the pane has room left there.
// Leaves the text background transparent.
void drawQuakeLegend(OverlayCanvas& canvas, const MapView& view, int limitBottom, bool gridOn,
                     const QString& caption);

// "hh:mm Name": the city's local time now (from the clock when given; else its
// zone from the time-zone image at its map pixel, with daylight saving) and its
// name, or the user's label for it.
std::string markedCityLabel(const CityRecord& city, const GeoTables& tables,
                            const EarthImage* zoneImage, std::time_t now,
                            std::string_view datePattern = kMonthFirstDatePattern,
                            const LocalClock* clock = nullptr);
// A 6 x 6 green box for every marked city and, beside it, its label in green on
// black (on whatever background mode the overlays before it left).
void drawMarkedCities(OverlayCanvas& canvas, const MapView& view, const GeoTables& tables,
                      const EarthImage* zoneImage, std::time_t now,
                      std::string_view datePattern = kMonthFirstDatePattern, const LocalClock* clock = nullptr);

// "Image Date: <date> Hpm" from a cloud frame's time stamp YYYYMMDDHH..., the
// date in the locale's pattern (geo/date_pattern.h; by default day and month);
// none when the stamp is shorter or its digits are not digits.
std::optional<std::string> imageDateText(std::string_view timeStamp,
                                         std::string_view datePattern = "dd/MM");
// The scale text and, when given, the cloud image's date text (a long date
// moves left so that it ends before the scale text).
void drawInfoText(OverlayCanvas& canvas, const MapView& view,
                  const std::optional<std::string>& imageDate);

// The hovered city's white box and its name in white on red. Returns the text for
// the status bar's first field (hoveredCityStatus); none when no city is hovered.
std::optional<std::string> drawHoveredCity(OverlayCanvas& canvas, const MapView& view,
                                           const GeoTables& tables, const HoverState& hover);

// An etched line just above the pane: light over dark.
void drawSeparator(OverlayCanvas& canvas, const PaneRect& mapArea);

} // namespace chronvale
