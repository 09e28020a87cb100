#include "render/qt/overlay_canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace chronvale {

OverlayCanvas::OverlayCanvas(QPainter& painter) : painter_(painter) {
    painter_.setFont(overlayFont());
    painter_.setRenderHint(QPainter::Antialiasing, false);
    // The painter may come with the right-to-left direction of an Arabic window;
    // the map's labels ("12:00 London") read left to right in every language.
    painter_.setLayoutDirection(Qt::LeftToRight);
}

QFont OverlayCanvas::overlayFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

void OverlayCanvas::fill(int left, int top, int right, int bottom, QColor colour) {
    if (right > left && bottom > top) {
        painter_.fillRect(QRect(left, top, right - left, bottom - top), colour);
    }
}

void OverlayCanvas::outline(int x1, int y1, int x2, int y2, QColor colour) {
    const int left = std::min(x1, x2);
    const int right = std::max(x1, x2);
    const int top = std::min(y1, y2);
    const int bottom = std::max(y1, y2);
    fill(left, top, right + 1, top + 1, colour);
    fill(left, bottom, right + 1, bottom + 1, colour);
    fill(left, top + 1, left + 1, bottom, colour);
    fill(right, top + 1, right + 1, bottom, colour);
}

void OverlayCanvas::horizontalLine(int x1, int x2, int y, QColor colour) {
    if (x2 >= x1) {
        fill(x1, y, x2, y + 1, colour);
    } else {
        fill(x2 + 1, y, x1 + 1, y + 1, colour);
    }
}

void OverlayCanvas::verticalLine(int x, int y1, int y2, QColor colour) {
    if (y2 >= y1) {
        fill(x, y1, x + 1, y2, colour);
    } else {
        fill(x, y2 + 1, x + 1, y1 + 1, colour);
    }
}

void OverlayCanvas::stamp(int x, int y, const QImage& picture) {
    painter_.drawImage(QPoint(x, y), picture);
}

void OverlayCanvas::ellipse(int left, int top, int right, int bottom, QColor pen, QColor brush) {
    if (right - left < 2 || bottom - top < 2) {
        return;
    }
    painter_.setPen(pen);
    painter_.setBrush(brush);
    // Without antialiasing a QRect ellipse covers width + 1 pixels; the pixel
    // rectangle excludes its right and bottom edges.
    painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
    painter_.setBrush(Qt::NoBrush);
}

QRect OverlayCanvas::textCell(int x, int y, const QString& text) const {
    const QFontMetrics metrics = painter_.fontMetrics();
    return QRect(x, y, metrics.horizontalAdvance(text), metrics.height());
}

QRect OverlayCanvas::text(int x, int y, const QString& text) {
    const QRect cell = textCell(x, y, text);
    if (style_.opaque) {
        painter_.fillRect(cell, style_.background);
    }
    painter_.setPen(style_.text);
    painter_.drawText(QPoint(x, y + painter_.fontMetrics().ascent()), text);
    return cell;
}

} // namespace chronvale
