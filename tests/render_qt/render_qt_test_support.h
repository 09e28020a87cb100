#pragma once
// Fixtures for the painting tests: the GUI application they need, small synthetic
// tables and maps, and pixel queries on painted QImages.

#include "geo/geo_tables.h"
#include "render/earth_image.h"
#include "render/map_view.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>
#include <string>

namespace chronvale::test {

// A city drawn at map pixel (mapX, mapY) at scale 1 without pan: its longitude
// and latitude are the exact inverse of the projection.
CityRecord cityAtMapPixel(const std::string& name, int mapX, int mapY,
                          const std::string& zoneKey = "Alpha");

// A view of the map's top-left corner in a pane at (10, 20), 300 x 200: the
// window point of map pixel (x, y) at scale 1 is (x + 10, y + 20).
MapView cornerView(float scale = 1.0f);

// Zone "Alpha" of country "Testland" without daylight saving; zone "Beta" without
// a country.
GeoTables tablesWith(CityList cities);

// A map of the given size whose pixel (x, y) is red = x & 255, green = y & 255,
// blue 77: every crop can be read back.
ImagePtr coordinateMap(int width = 1024, int height = 512);
// A map of one colour.
ImagePtr plainMap(QColor colour, int width = 1024, int height = 512);

// A canvas of 32-bit pixels filled with one colour.
QImage blankCanvas(int width, int height, QColor colour = QColor(0, 0, 0));

QColor pixel(const QImage& image, int x, int y);
// How many pixels of the rectangle (clipped to the image) satisfy the test.
int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test);
int countColour(const QImage& image, const QRect& area, QColor colour);
// Text pixels drawn in a colour, allowing for antialiased edges: the pixel is
// closer to the colour than to the background.
bool nearColour(QColor actual, QColor wanted, int tolerance = 60);

} // namespace chronvale::test
