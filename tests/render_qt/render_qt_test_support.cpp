#include "render_qt_test_support.h"

#include "support/test_application.h"

#include <QGuiApplication>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

namespace chronvale::test {
namespace {

[[maybe_unused]] TestApplication<QGuiApplication>& testApplication =
    TestApplication<QGuiApplication>::install("test_render_qt");

} // namespace

CityRecord cityAtMapPixel(const std::string& name, int mapX, int mapY, const std::string& zoneKey) {
    CityRecord city;
    city.name = name;
    city.zoneKey = zoneKey;
    // 360 / 1024 = 45 / 128 is exact in binary, so the projection gives back mapX, mapY.
    city.longitude = static_cast<float>(mapX) * 45.0f / 128.0f - 180.0f;
    city.latitude = 90.0f - static_cast<float>(mapY) * 45.0f / 128.0f;
    return city;
}

MapView cornerView(float scale) {
    MapView view;
    view.mapArea = PaneRect{10, 20, 300, 200};
    view.scale = scale;
    return view;
}

GeoTables tablesWith(CityList cities) {
    GeoTables tables;
    tables.cities = std::move(cities);
    TimeZoneRecord alpha;
    alpha.country = "Testland";
    alpha.zoneKey = "Alpha";
    alpha.ruleName = "none";
    TimeZoneRecord beta;
    beta.zoneKey = "Beta";
    beta.ruleName = "none";
    tables.zones = {alpha, beta};
    return tables;
}

ImagePtr coordinateMap(int width, int height) {
    ImagePtr image = createImage(width, height, 24, 256);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image->row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = 77;
            p[1] = static_cast<uint8_t>(y & 255);
            p[2] = static_cast<uint8_t>(x & 255);
        }
    }
    return image;
}

ImagePtr plainMap(QColor colour, int width, int height) {
    ImagePtr image = createImage(width, height, 24, 256);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = image->row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            p[0] = static_cast<uint8_t>(colour.blue());
            p[1] = static_cast<uint8_t>(colour.green());
            p[2] = static_cast<uint8_t>(colour.red());
        }
    }
    return image;
}

QImage blankCanvas(int width, int height, QColor colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QColor pixel(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QColor)>& test) {
    const QRect inside = area.intersected(image.rect());
    int count = 0;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            count += test(pixel(image, x, y)) ? 1 : 0;
        }
    }
    return count;
}

int countColour(const QImage& image, const QRect& area, QColor colour) {
    return countPixels(image, area, [&](QColor c) { return c == colour; });
}

bool nearColour(QColor actual, QColor wanted, int tolerance) {
    return std::abs(actual.red() - wanted.red()) <= tolerance &&
           std::abs(actual.green() - wanted.green()) <= tolerance &&
           std::abs(actual.blue() - wanted.blue()) <= tolerance;
}

} // namespace chronvale::test
