#include "ui/icon_strip.h"

#include <QPainter>
#include <QSvgRenderer>
#include <array>

// The resource initialiser lives in this static library; calling it from here
// keeps the linker from dropping the compiled-in icons.
static void initIconResources() {
    Q_INIT_RESOURCE(chronvale_icons);
}

namespace chronvale {
namespace {

struct IconSource {
    IconIndex index;
    const char* file;
};

// Every position of the strip with its SVG source, in position order.
constexpr std::array<IconSource, IconCount> kSources{{
    {IconUpgrade, "upgrade.svg"},
    {IconNearbyCity, "nearby-city.svg"},
    {IconProgram, "chronvale.svg"},
    {IconProperties, "properties.svg"},
    {IconNearestCity, "nearest-city.svg"},
    {IconCitySelection, "city-selection.svg"},
    {IconZoomIn, "zoom-in.svg"},
    {IconZoomOut, "zoom-out.svg"},
    {IconGrid, "grid.svg"},
    {IconTimeZones, "time-zones.svg"},
    {IconNextFrame, "next-frame.svg"},
    {IconSelectCity, "select-city.svg"},
    {IconPlay, "play.svg"},
    {IconStop, "stop.svg"},
    {IconPreviousFrame, "previous-frame.svg"},
    {IconAllCities, "all-cities.svg"},
    {IconActualPixels, "actual-pixels.svg"},
    {IconClouds, "clouds.svg"},
    {IconCityNames, "city-names.svg"},
    {IconSunShadow, "sun-shadow.svg"},
    {IconDayMap, "day-map.svg"},
    {IconNightMap, "night-map.svg"},
    {IconSettings, "settings.svg"},
    {IconAbout, "about.svg"},
    {IconManual, "manual.svg"},
    {IconFlagPortugal, "flag-pt.svg"},
    {IconFlagJordan, "flag-jo.svg"},
    {IconFlagChina, "flag-cn.svg"},
    {IconFlagCzechia, "flag-cz.svg"},
    {IconFlagSweden, "flag-se.svg"},
    {IconFaq, "faq.svg"},
    {IconFlagFrance, "flag-fr.svg"},
    {IconFlagGermany, "flag-de.svg"},
    {IconFlagItaly, "flag-it.svg"},
    {IconFlagJapan, "flag-jp.svg"},
    {IconFlagKorea, "flag-kr.svg"},
    {IconFlagNetherlands, "flag-nl.svg"},
    {IconSatelliteImage, "satellite-image.svg"},
    {IconWeather, "weather.svg"},
    {IconFlagSpain, "flag-es.svg"},
    {IconHotels, "hotels.svg"},
    {IconBooks, "books.svg"},
    {IconFlagUnitedKingdom, "flag-gb.svg"},
    {IconWallpaperMode, "wallpaper-mode.svg"},
    {IconQuit, "quit.svg"},
    {IconRestore, "restore.svg"},
    {IconMinimize, "minimize.svg"},
    {IconFlagGreece, "flag-gr.svg"},
    {IconClearSelection, "clear-selection.svg"},
    {IconFlagTaiwan, "flag-tw.svg"},
    {IconLanguage, "language.svg"},
    {IconWebLink, "web-link.svg"},
    {IconBlank, "blank.svg"},
    {IconRefresh, "refresh.svg"},
    {IconFitToScreen, "fit-to-screen.svg"},
    {IconEarthquakes, "earthquakes.svg"},
    {IconSunMoon, "sun-moon.svg"},
    {IconTwilight, "twilight.svg"},
    {IconCompareTimes, "compare-times.svg"},
}};

constexpr bool sourcesInPositionOrder() {
    for (int i = 0; i < IconCount; ++i) {
        if (kSources[i].index != i) {
            return false;
        }
    }
    return true;
}
static_assert(sourcesInPositionOrder(), "every position of the strip has exactly one source");

bool inStrip(int index) {
    return index >= 0 && index < IconCount;
}

} // namespace

IconStrip::IconStrip() {
    initIconResources();
    renderers_.reserve(IconCount);
    icons_.reserve(IconCount);
    for (int i = 0; i < IconCount; ++i) {
        renderers_.push_back(std::make_unique<QSvgRenderer>(sourcePath(i)));
        QIcon icon;
        icon.addPixmap(pixmap(i, kIconSize));
        icon.addPixmap(pixmap(i, 2 * kIconSize));
        icons_.push_back(icon);
    }
}

IconStrip::~IconStrip() = default;

QIcon IconStrip::icon(int index) const {
    return inStrip(index) ? icons_[index] : QIcon();
}

QImage IconStrip::image(int index, int size) const {
    if (!inStrip(index) || size < 1) {
        return {};
    }
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderers_[index]->render(&painter, QRectF(0, 0, size, size));
    return image;
}

QPixmap IconStrip::pixmap(int index, int size) const {
    const QImage drawn = image(index, size);
    return drawn.isNull() ? QPixmap() : QPixmap::fromImage(drawn);
}

QString IconStrip::sourcePath(int index) {
    return inStrip(index) ? QStringLiteral(":/icons/") + sourceFileName(index) : QString();
}

QString IconStrip::sourceFileName(int index) {
    return inStrip(index) ? QString::fromLatin1(kSources[index].file) : QString();
}

} // namespace chronvale
