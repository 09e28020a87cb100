#pragma once
// The map pane's painting: the crop of the lit map with the overlays over it, on
// any QPainter (the pane's paint event, or a QImage in a test).
//
// Order of one paint:
//   1. base layer: the crop of the lit map, then the base overlays (all cities,
//      hover marks, grid, earthquakes, then the twilight lines and the sun and
//      moon when they are switched on);
//   2. the second group, over it: marked cities with their local time, the scale
//      and cloud image date, the hovered city, and the etched separator above the
//      pane.
// The base layer is kept in a pane-sized image. The view is cropped again only
// when the pane, scale, offsets or lit map changed. A paint with
// MapView::overlaysOnly set (the once-a-second clock tick) copies the kept base
// layer as it is and draws only the second group; when the view has changed since
// the base layer was made (or the pointer the dots near it are drawn around moved),
// it is made again first.
//
// The painter finds nothing itself: the hovered city and the pointer come in the
// inputs (see findHover), so that the window knows them without painting.
//
// With a device-resolution image in the inputs the base layer is kept at device
// resolution: the image fills it pixel for pixel and the overlays are drawn over it
// at the screen's resolution.
//
// The painter draws in the device's own coordinates: MapView::mapArea is the pane
// in them, and the separator lies in the two rows above mapArea.top, so a pane
// widget that wants the separator gives mapArea a top of 2.

#include "render/display_switches.h"
#include "render/earth_image.h"
#include "render/map_view.h"
#include "render/qt/overlays.h"
#include "render/sky_marks.h"

#include <QImage>
#include <QString>
#include <array>
#include <cstddef>
#include <ctime>
#include <optional>
#include <span>
#include <string>

class QPainter;

namespace chronvale {

struct GeoTables;
class LocalClock;

// Everything one paint reads besides the view.
struct MapPaintInputs {
    // The overlays drawn: allCities, cityNames (the radius of the dots near the
    // pointer), markedCities, grid, earthquakes; the composition's switches are
    // not read here.
    DisplaySwitches switches;
    bool showInfo = false; // the scale text and the cloud image's date (the "info" option)
    const GeoTables* tables = nullptr;     // cities, zones and rules; none: no cities
    const EarthImage* litMap = nullptr;    // none yet: the day image is shown
    const EarthImage* dayImage = nullptr;  // none either: the pane is black
    const EarthImage* zoneImage = nullptr; // the marked cities' zone offsets
    const LocalClock* clock = nullptr;     // the marked cities' local times; none: from zoneImage
    std::span<const QuakeMark> quakes;
    QString quakeLegendCaption; // the legend's caption, in the user's language
    // The shown cloud frame's time stamp (YYYYMMDDHH...); none when clouds are off
    // or no frame is shown.
    std::optional<std::string> cloudTimeStamp;
    // The credit of the cloud frame's source, drawn while clouds are shown, and
    // the frame's time and age, drawn with the info text; empty: not drawn.
    QString cloudCredit;
    QString cloudAge;
    std::time_t now = 0;
    Point pointer; // the mouse, in the device's coordinates: the dots near it
    // The city under the pointer (findHover for the same view and pointer): its
    // box and name are drawn while City Names is on.
    HoverState hover;
    std::string datePattern = "dd/MM"; // how the locale writes the cloud frame's date
    // The sun, moon and twilight lines (drawn as switches.sunMoon and
    // switches.twilight say); none: not drawn.
    const SkyMarks* sky = nullptr;
    // The pane's filled part at device resolution (its devicePixelRatio set), drawn
    // in place of the crop of the lit map; none: the crop, at the pane's pixels.
    const QImage* detailed = nullptr;
    // The twilight legend: civil, nautical, astronomical.
    std::array<std::string, 3> twilightLegend = {"Civil twilight", "Nautical twilight",
                                                 "Astronomical twilight"};
};

struct MapPaintReport {
    bool cropped = false;   // the view was cropped anew from the lit map
    bool baseDrawn = false; // the base layer was made again (not kept)
    // For the status bar's first field: the hovered city's country, or its name
    // when it has none; none when City Names is off or no city is hovered. The
    // window shows it unless a download shows its progress there.
    std::optional<std::string> hoveredCityStatus;
};

class MapPainter {
public:
    // Paints the pane (and the separator above it) and clears view.overlaysOnly.
    MapPaintReport paintMap(QPainter& painter, MapView& view, const MapPaintInputs& inputs);

    // Frees the kept images (the window was minimised); the next paint makes them
    // again.
    void release();

private:
    void drawBaseLayer(MapView& view, const MapPaintInputs& inputs, TextStyle& style);

    QImage base_; // the crop (converted straight from the view image) with the base
                  // overlays, pane-sized
    std::optional<RenderKey> baseKey_;
    const EarthImage* baseOf_ = nullptr;
    qint64 baseDetailed_ = 0; // the cacheKey of the device-resolution image drawn, or 0
    std::optional<Point> baseMarksAround_; // the pointer of the dots in the base layer
};

} // namespace chronvale
