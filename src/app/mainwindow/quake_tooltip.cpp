#include "app/mainwindow/quake_tooltip.h"

#include "i18n/language.h"
#include "i18n/messages.h"
#include "i18n/string_table.h"

#include <QDateTime>
#include <QStringList>
#include <QTimeZone>
#include <cmath>

namespace chronvale {

namespace {

// The marker is the circle in (x - 1, y - 1) ... (x + 8, y + 8) of the event's
// point; a pixel of slack around it makes it easier to hit.
constexpr int kMarkerFirst = -2;
constexpr int kMarkerLast = 9;

QString shortNumber(float value) {
    const bool whole = std::floor(value) == value;
    return QString::number(static_cast<double>(value), 'f', whole ? 0 : 1);
}

} // namespace

std::optional<std::size_t> quakeAt(const MapView& view, std::span<const QuakeRecord> quakes,
                                   Point at) {
    const PaneRect& area = view.mapArea;
    for (std::size_t i = quakes.size(); i-- > 0;) {
        const Point p = view.mapToScreen(quakes[i].lon, quakes[i].lat);
        if (p.x < area.left + 2 || p.y < area.top + 2) {
            continue; // not drawn
        }
        if (at.x >= p.x + kMarkerFirst && at.x <= p.x + kMarkerLast && at.y >= p.y + kMarkerFirst &&
            at.y <= p.y + kMarkerLast) {
            return i;
        }
    }
    return std::nullopt;
}

QString quakeTooltip(const QuakeRecord& quake, const Language& language) {
    QStringList lines;
    lines << formatMessage(language.getText(str::QuakeMagnitude),
                           {QString::number(static_cast<double>(quake.m), 'f', 1)});
    if (quake.place && !quake.place->empty()) {
        lines << QString::fromStdString(*quake.place);
    }
    if (quake.qt && !quake.qt->empty()) {
        const QString text = QString::fromStdString(*quake.qt);
        const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
        const QTime time = QTime::fromString(text.mid(11), QStringLiteral("HH:mm:ss"));
        if (text.size() == 19 && date.isValid() && time.isValid()) {
            const QDateTime utc(date, time, QTimeZone::utc());
            const QString format = QStringLiteral("yyyy-MM-dd HH:mm");
            lines << formatMessage(language.getText(str::QuakeLocalTime),
                                   {utc.toLocalTime().toString(format)});
            lines << formatMessage(language.getText(str::QuakeUtcTime), {utc.toString(format)});
        } else {
            lines << text;
        }
    }
    lines << formatMessage(language.getText(str::QuakeDepth), {shortNumber(quake.depth)});
    return lines.join(QLatin1Char('\n'));
}

} // namespace chronvale
