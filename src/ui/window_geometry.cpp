#include "ui/window_geometry.h"

#include "config/program_settings.h"

#include <QGuiApplication>
#include <QRegion>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <climits>

namespace chronvale {
namespace {

// Squared distance from a point to a rectangle (0 inside it).
long long distanceSquared(const QPoint& point, const QRect& rect) {
    const long long dx = point.x() < rect.left()
                             ? rect.left() - point.x()
                             : (point.x() > rect.right() ? point.x() - rect.right() : 0);
    const long long dy = point.y() < rect.top()
                             ? rect.top() - point.y()
                             : (point.y() > rect.bottom() ? point.y() - rect.bottom() : 0);
    return dx * dx + dy * dy;
}

long long area(const QRect& rect) {
    return rect.isEmpty() ? 0 : static_cast<long long>(rect.width()) * rect.height();
}

} // namespace

std::optional<QRect> readWindowGeometry(const QSettings& settings, const QString& group) {
    const QString prefix = group + QLatin1Char('/');
    const auto left = readInteger(settings, prefix + QStringLiteral("left"));
    const auto top = readInteger(settings, prefix + QStringLiteral("top"));
    const auto width = readInteger(settings, prefix + QStringLiteral("width"));
    const auto height = readInteger(settings, prefix + QStringLiteral("height"));
    if (!left || !top || !width || !height || *width < 1 || *height < 1) {
        return std::nullopt;
    }
    return QRect(*left, *top, *width, *height);
}

void writeWindowGeometry(QSettings& settings, const QString& group, const QRect& geometry) {
    const QString prefix = group + QLatin1Char('/');
    settings.setValue(prefix + QStringLiteral("left"), QString::number(geometry.left()));
    settings.setValue(prefix + QStringLiteral("top"), QString::number(geometry.top()));
    settings.setValue(prefix + QStringLiteral("width"), QString::number(geometry.width()));
    settings.setValue(prefix + QStringLiteral("height"), QString::number(geometry.height()));
}

QRect fitToScreens(const QRect& saved, const QList<QRect>& screens) {
    QRegion visible;
    for (const QRect& screen : screens) {
        visible += screen;
    }
    if (screens.isEmpty() || (QRegion(saved) - visible).isEmpty()) {
        return saved;
    }

    // The screen it overlaps most; overlapping none, the one nearest its centre.
    const QRect* target = nullptr;
    long long bestOverlap = 0;
    for (const QRect& screen : screens) {
        const long long overlap = area(screen.intersected(saved));
        if (overlap > bestOverlap) {
            bestOverlap = overlap;
            target = &screen;
        }
    }
    if (target == nullptr) {
        long long nearest = LLONG_MAX;
        for (const QRect& screen : screens) {
            const long long distance = distanceSquared(saved.center(), screen);
            if (distance < nearest) {
                nearest = distance;
                target = &screen;
            }
        }
    }

    const int width = std::min(saved.width(), target->width());
    const int height = std::min(saved.height(), target->height());
    const int left =
        std::clamp(saved.left(), target->left(), target->left() + target->width() - width);
    const int top =
        std::clamp(saved.top(), target->top(), target->top() + target->height() - height);
    return QRect(left, top, width, height);
}

bool restoreWindowGeometry(QWidget& window, int dialogNumber) {
    const auto settings = openProgramSettings();
    const auto saved = readWindowGeometry(*settings, dialogSettingsGroup(dialogNumber));
    if (!saved) {
        return false;
    }
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.append(screen->availableGeometry());
    }
    // The fit takes the saved rectangle for the whole window: before the first
    // show the frame around it is not known.
    const QRect fitted = fitToScreens(*saved, screens);
    window.resize(fitted.size());
    window.move(fitted.topLeft());
    return true;
}

void saveWindowGeometry(const QWidget& window, int dialogNumber) {
    if (window.isMinimized()) {
        return;
    }
    QRect geometry(window.pos(), window.size());
    if (window.isMaximized() || window.isFullScreen()) {
        // The normal geometry is the inner one; its left and top move out by
        // the frame, as pos() does.
        const QPoint frameOffset = window.geometry().topLeft() - window.pos();
        geometry = window.normalGeometry().translated(-frameOffset);
    }
    if (geometry.width() < 1 || geometry.height() < 1) {
        return;
    }
    const auto settings = openProgramSettings();
    writeWindowGeometry(*settings, dialogSettingsGroup(dialogNumber), geometry);
}

} // namespace chronvale
