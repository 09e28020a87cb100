#pragma once
// The drawing surface of the overlays: a QPainter with the few pixel rules the
// overlays are written against, so that every dot, box and line lands on exactly
// the pixels intended, on any paint device.
//
// - A rectangle (l, t, r, b) excludes its right and bottom edges.
// - A line from one point to another excludes its end point; lines are
//   horizontal or vertical.
// - An outline from one corner to the opposite one is the whole border of that
//   square, both corners included.
// - Text is placed by the top-left corner of its cell. Its background is filled
//   while the background mode is opaque; the mode, the background colour and the
//   text colour stay as set from one overlay to the next within a paint, so an
//   overlay that does not set them draws as the ones before it left them.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

class QPainter;

namespace chronvale {

// The text state that carries over from one overlay to the next.
struct TextStyle {
    // A device context's defaults: opaque white background, black text.
    bool opaque = true;
    QColor background{255, 255, 255};
    QColor text{0, 0, 0};
};

class OverlayCanvas {
public:
    // The painter must stay active while the canvas is used. Sets the overlay font
    // and the left-to-right direction of the map's texts.
    explicit OverlayCanvas(QPainter& painter);

    QPainter& painter() { return painter_; }

    void fill(int left, int top, int right, int bottom, QColor colour);
    void outline(int x1, int y1, int x2, int y2, QColor colour);
    // From (x1, y) towards (x2, y), or from (x, y1) towards (x, y2); the end point
    // is left out, and a line of no length draws nothing.
    void horizontalLine(int x1, int x2, int y, QColor colour);
    void verticalLine(int x, int y1, int y2, QColor colour);
    // Copies a small picture with its top-left corner at (x, y): many equal
    // marks cost one copy each instead of a fill and four lines.
    void stamp(int x, int y, const QImage& picture);
    // The ellipse inside (left, top, right, bottom), rim in the pen colour and
    // filled with the brush colour.
    void ellipse(int left, int top, int right, int bottom, QColor pen, QColor brush);

    void setTextColour(QColor colour) { style_.text = colour; }
    void setBackgroundColour(QColor colour) { style_.background = colour; }
    void setOpaque(bool opaque) { style_.opaque = opaque; }
    bool opaque() const { return style_.opaque; }
    // The whole text state, to carry it on to a canvas of another device.
    const TextStyle& textStyle() const { return style_; }
    void setTextStyle(const TextStyle& style) { style_ = style; }
    // Draws the text with its cell's top-left corner at (x, y); returns the cell.
    QRect text(int x, int y, const QString& text);
    // The cell the text would take at (x, y).
    QRect textCell(int x, int y, const QString& text) const;

    // The overlay font: a plain sans-serif face at 11 pixels, the size of the
    // default dialog font, whatever the screen's resolution.
    static QFont overlayFont();

private:
    QPainter& painter_;
    TextStyle style_;
};

} // namespace chronvale
