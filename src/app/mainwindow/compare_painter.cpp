#include "app/mainwindow/compare_painter.h"

#include "astro/sun_point.h"

#include <QColor>
#include <QPainter>
#include <algorithm>

namespace chronvale {

namespace {

constexpr int kAxisSeconds = 24 * 3600;

const QColor kNight(28, 36, 64);
const QColor kTwilight(78, 96, 150);
const QColor kDay(150, 196, 238);
const QColor kUnknown(120, 120, 120);
const QColor kWorking(250, 176, 40);
const QColor kCursor(220, 50, 40);

QColor phaseColour(SkyPhase phase) {
    switch (phase) {
    case SkyPhase::Day:
        return kDay;
    case SkyPhase::Twilight:
        return kTwilight;
    case SkyPhase::Night:
        return kNight;
    case SkyPhase::Unknown:
        break;
    }
    return kUnknown;
}

// Minutes as "+5:30", "-3", "0" for the offset from Here.
QString hoursText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    QString text = seconds < 0 ? QStringLiteral("\u2212") : QStringLiteral("+");
    if (seconds == 0) {
        return QStringLiteral("\u00B10");
    }
    text += QString::number(minutes / 60);
    if (minutes % 60 != 0) {
        text += QStringLiteral(":%1").arg(minutes % 60, 2, 10, QLatin1Char('0'));
    }
    return text;
}

void paintStrip(QPainter& p, const CompareScene& scene, const CompareGeometry& g, int index) {
    const CompareRow& row = scene.rows[static_cast<std::size_t>(index)];
    const QRect strip = g.stripRect(index);
    const bool rtl = g.rightToLeft;
    const AxisSun* sun = scene.sun;
    // Most rows keep one offset all day: asked once instead of at every sample
    // (a city's offset may take a calendar computation per call).
    const int firstOffset = row.offset ? row.offset(scene.axisStart) : 0;
    const bool steady = !row.offset || row.offset(scene.axisStart + kAxisSeconds) == firstOffset;
    const auto offsetAt = [&](std::time_t t) { return steady ? firstOffset : row.offset(t); };
    // Night, twilight and day: a band per run of samples of the same phase.
    if (sun != nullptr && row.place && !sun->subSolar.empty()) {
        const std::size_t count = sun->subSolar.size();
        std::size_t runStart = 0;
        SkyPhase runPhase = SkyPhase::Unknown;
        for (std::size_t i = 0; i <= count; ++i) {
            SkyPhase phase = SkyPhase::Unknown;
            if (i < count && sun->subSolar[i]) {
                phase = phaseOfElevation(sunElevation(*sun->subSolar[i], *row.place));
            }
            if (i > 0 && (i == count || phase != runPhase)) {
                const int x0 =
                    g.xOf(sun->start + static_cast<std::time_t>(runStart) * sun->stepSeconds,
                          scene.axisStart);
                const int x1 = g.xOf(sun->start + static_cast<std::time_t>(i) * sun->stepSeconds,
                                     scene.axisStart);
                p.fillRect(QRect(QPoint(std::min(x0, x1), strip.top()),
                                 QPoint(std::max(x0, x1), strip.bottom())),
                           phaseColour(runPhase));
                runStart = i;
            }
            runPhase = phase;
        }
    } else {
        p.fillRect(strip, QColor(200, 200, 200));
    }
    // Working hours along the bottom, a band per shift.
    if (row.hours && row.offset) {
        const int step = 900;
        std::optional<std::time_t> shiftStart;
        for (std::time_t t = scene.axisStart; t <= scene.axisStart + kAxisSeconds; t += step) {
            const bool working =
                t < scene.axisStart + kAxisSeconds &&
                isWorkingAt(*row.hours, static_cast<std::int64_t>(t) + offsetAt(t));
            if (working && !shiftStart) {
                shiftStart = t;
            } else if (!working && shiftStart) {
                const int x0 = g.xOf(*shiftStart, scene.axisStart);
                const int x1 = g.xOf(t, scene.axisStart);
                p.fillRect(QRect(QPoint(std::min(x0, x1), strip.bottom() - 4),
                                 QPoint(std::max(x0, x1), strip.bottom())),
                           kWorking);
                shiftStart.reset();
            }
        }
    }
    // Local hours: a tick and, every third hour, its number; local midnight: a
    // line and the new date.
    const std::int64_t local = static_cast<std::int64_t>(scene.axisStart) + firstOffset;
    std::time_t t =
        scene.axisStart + static_cast<std::time_t>((3600 - ((local % 3600) + 3600) % 3600) % 3600);
    QFont small = p.font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    p.setFont(small);
    for (; t < scene.axisStart + kAxisSeconds; t += 3600) {
        const ClockReading clock = clockReading(t, offsetAt(t));
        const int x = g.xOf(t, scene.axisStart);
        if (clock.hour == 0) {
            p.setPen(QPen(Qt::white, 2));
            p.drawLine(x, strip.top(), x, strip.bottom());
            const QString date = QString::number(clock.day) + QLatin1Char(' ') +
                                 scene.monthNames.value(clock.month - 1);
            p.setPen(Qt::white);
            p.drawText(QRect(rtl ? x - 60 : x + 3, strip.top(), 57, strip.height() - 5),
                       (rtl ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, date);
        } else {
            p.setPen(QColor(255, 255, 255, 120));
            p.drawLine(x, strip.bottom() - 8, x, strip.bottom() - 5);
            if (clock.hour % 3 == 0) {
                const bool dark = clock.hour < 6 || clock.hour > 19;
                p.setPen(dark ? QColor(230, 230, 240) : QColor(20, 30, 50));
                p.drawText(QRect(x - 12, strip.top(), 24, strip.height() - 6), Qt::AlignCenter,
                           QString::number(clock.hour));
            }
        }
    }
}

void paintName(QPainter& p, const CompareScene& scene, const CompareGeometry& g, int index,
               const QFont& base) {
    const CompareRow& row = scene.rows[static_cast<std::size_t>(index)];
    const RowReading reading = readRow(row, scene.cursor, scene.referenceOffset);
    const QRect rect = g.nameRect(index).adjusted(4, 1, -4, -1);
    const Qt::Alignment side = g.rightToLeft ? Qt::AlignRight : Qt::AlignLeft;
    QFont bold = base;
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(reading.working ? QColor(150, 90, 0) : QColor(30, 30, 30));
    const QString name = scene.names.at(static_cast<std::size_t>(index));
    p.drawText(rect.adjusted(0, 0, 0, -rect.height() / 2), side | Qt::AlignVCenter,
               p.fontMetrics().elidedText(name, Qt::ElideRight, rect.width()));
    QFont plain = base;
    plain.setPointSizeF(std::max(6.0, base.pointSizeF() * 0.85));
    p.setFont(plain);
    p.setPen(QColor(80, 80, 80));
    QString detail = hoursText(reading.fromReference);
    if (reading.dateShift != 0) {
        detail += QStringLiteral("  ") +
                  (reading.dateShift > 0 ? QStringLiteral("+") : QStringLiteral("\u2212")) +
                  QString::number(std::abs(reading.dateShift));
    }
    p.drawText(rect.adjusted(0, rect.height() / 2, 0, 0), side | Qt::AlignVCenter, detail);
}

} // namespace

AxisSun axisSun(std::time_t start, int seconds, int stepSeconds) {
    AxisSun sun;
    sun.start = start;
    sun.stepSeconds = stepSeconds;
    for (int s = 0; s < seconds; s += stepSeconds) {
        // The sun of the middle of each sample.
        const auto point = subSolarPoint(start + s + stepSeconds / 2);
        sun.subSolar.push_back(point ? std::optional<GroundPoint>(point->point) : std::nullopt);
    }
    return sun;
}

QRect CompareGeometry::nameRect(int row) const {
    const int y = area.top() + row * RowHeight;
    const int x = rightToLeft ? area.right() + 1 - NameWidth : area.left();
    return QRect(x, y, NameWidth, RowHeight - 2);
}

QRect CompareGeometry::editorRect(int row) const {
    const int y = area.top() + row * RowHeight;
    const int x =
        rightToLeft ? area.right() + 1 - NameWidth - EditorWidth + 3 : area.left() + NameWidth + 3;
    return QRect(x, y + 3, EditorWidth - 6, RowHeight - 8);
}

int CompareGeometry::stripLeft() const {
    return rightToLeft ? area.left() + 4 : area.left() + NameWidth + EditorWidth;
}

int CompareGeometry::stripWidth() const {
    return std::max(24, area.width() - NameWidth - EditorWidth - 4);
}

QRect CompareGeometry::stripRect(int row) const {
    const int y = area.top() + row * RowHeight;
    return QRect(stripLeft(), y + 1, stripWidth(), RowHeight - 4);
}

int CompareGeometry::xOf(std::time_t instant, std::time_t axisStart) const {
    const double fraction =
        std::clamp(static_cast<double>(instant - axisStart) / kAxisSeconds, 0.0, 1.0);
    const int offset = static_cast<int>(fraction * stripWidth() + 0.5);
    return rightToLeft ? stripLeft() + stripWidth() - offset : stripLeft() + offset;
}

std::time_t CompareGeometry::instantAt(int x, std::time_t axisStart) const {
    int offset = std::clamp(x - stripLeft(), 0, stripWidth());
    if (rightToLeft) {
        offset = stripWidth() - offset;
    }
    return axisStart +
           static_cast<std::time_t>(static_cast<double>(offset) / stripWidth() * kAxisSeconds);
}

void paintCompareScene(QPainter& painter, const CompareScene& scene,
                       const CompareGeometry& geometry) {
    const QFont base = painter.font();
    for (int i = 0; i < static_cast<int>(scene.rows.size()); ++i) {
        painter.setFont(base);
        paintName(painter, scene, geometry, i, base);
        paintStrip(painter, scene, geometry, i);
    }
    painter.setFont(base);
    if (!scene.rows.empty()) {
        const int x = geometry.xOf(scene.cursor, scene.axisStart);
        const int top = geometry.stripRect(0).top() - 1;
        const int bottom = geometry.stripRect(static_cast<int>(scene.rows.size()) - 1).bottom() + 1;
        painter.setPen(QPen(kCursor, 2));
        painter.drawLine(x, top, x, bottom);
    }
}

} // namespace chronvale
