#include "app/wallpaper/session_screens.h"

#include "desktop/wallpaper/wallpaper_store.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace chronvale {

std::vector<WallpaperScreen> sessionScreens() {
    std::vector<WallpaperScreen> screens;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return screens;
    }
    QList<QScreen*> all = QGuiApplication::screens();
    if (QScreen* primary = QGuiApplication::primaryScreen(); primary != nullptr) {
        all.removeAll(primary);
        all.prepend(primary);
    }
    for (const QScreen* screen : all) {
        const QRect g = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        const auto device = [ratio](int value) {
            return static_cast<int>(std::lround(value * ratio));
        };
        WallpaperScreen s{device(g.x()), device(g.y()), device(g.width()), device(g.height()),
                          screen->name().toStdString()};
        if (s.width > 0 && s.height > 0 && s.width <= kMaxScreenSide &&
            s.height <= kMaxScreenSide) {
            screens.push_back(std::move(s));
        }
        if (screens.size() == kMaxScreens) {
            break;
        }
    }
    return screens;
}

std::vector<WallpaperScreen> commandScreens(const std::optional<std::vector<WallpaperScreen>>& told,
                                            const QSettings& program) {
    if (told && !told->empty()) {
        return *told;
    }
    std::vector<WallpaperScreen> screens;
    const QString platform = QGuiApplication::platformName();
    // Those platforms show nothing: their one screen is made up.
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) {
        screens = sessionScreens();
    }
    if (screens.empty()) {
        screens = readLastScreens(program);
    }
    if (screens.empty()) {
        screens.push_back(defaultScreen());
    }
    return screens;
}

} // namespace chronvale
