#pragma once
// Paints the Compare Times rows: for every row its name, its local time at the
// cursor with the offset from "Here" and the date change, and a strip of 24
// hours on the time axis all rows share, shaded night, twilight and day from the
// sun at the row's place, its working hours marked along the bottom, its local
// hours numbered and its local midnights drawn with the new date; then the
// cursor across all rows. Right to left the axis runs from the right.

#include "cityinfo/compare_rows.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <ctime>
#include <vector>

class QPainter;

namespace chronvale {

// The shading of the shared axis: the sun's sub-solar point at every sample.
// Computed once per axis, not per row or per repaint.
struct AxisSun {
    std::time_t start = 0;
    int stepSeconds = 900;
    std::vector<std::optional<GroundPoint>> subSolar; // none outside the sun's years
};
AxisSun axisSun(std::time_t start, int seconds, int stepSeconds = 900);

struct CompareScene {
    std::vector<CompareRow> rows;
    std::vector<QString> names; // shown name of each row
    std::time_t axisStart = 0;  // the axis covers 24 hours from here
    std::time_t cursor = 0;
    int referenceOffset = 0;      // "Here" at the cursor, seconds east of UTC
    const AxisSun* sun = nullptr; // of this axis
    QStringList monthNames;       // 12 short month names for the midnight marks
};

// The pixel rectangles of the layout, for painting and for the widget's mouse
// and editors.
struct CompareGeometry {
    static constexpr int RowHeight = 30;
    static constexpr int NameWidth = 150;
    static constexpr int EditorWidth = 62;
    QRect area;               // the whole painted area
    bool rightToLeft = false; // names on the right, the axis running leftwards

    QRect nameRect(int row) const;
    QRect editorRect(int row) const;
    QRect stripRect(int row) const;
    int stripLeft() const;
    int stripWidth() const;
    // The x of an instant on the axis (mirrored right to left), and back.
    int xOf(std::time_t instant, std::time_t axisStart) const;
    std::time_t instantAt(int x, std::time_t axisStart) const;
};

void paintCompareScene(QPainter& painter, const CompareScene& scene,
                       const CompareGeometry& geometry);

} // namespace chronvale
