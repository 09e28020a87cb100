#pragma once
// A window's remembered place: left, top, width and height under the group
// "DLGS/<dialog number>" of the program's settings. Left and top are the outer
// corner of the window (its frame), width and height its inner size, so that a
// restored window comes back exactly where and as large as it was.

#include <QList>
#include <QRect>
#include <QString>
#include <optional>

class QSettings;
class QWidget;

namespace chronvale {

// The geometry stored under group, or none when a value is missing, is not a
// whole number, or the width or height is below 1.
std::optional<QRect> readWindowGeometry(const QSettings& settings, const QString& group);

// Writes left, top, width and height under group, as decimal text.
void writeWindowGeometry(QSettings& settings, const QString& group, const QRect& geometry);

// Where a remembered window may go on the screens of now (their available
// areas): unchanged when it lies wholly on them; otherwise moved, and shrunk
// if it is too large, onto the screen it overlaps most (or, overlapping none,
// the one nearest to it), so that a window saved on a screen that is gone, or
// under a different layout, comes back whole and visible. With no screens it
// stays as saved.
QRect fitToScreens(const QRect& saved, const QList<QRect>& screens);

// Moves and sizes a top-level widget to its remembered geometry, fitted to the
// current screens; false (and the widget untouched) when nothing usable is
// stored.
bool restoreWindowGeometry(QWidget& window, int dialogNumber);

// Remembers a top-level widget's geometry; a maximised or full-screen window
// remembers its normal geometry, a minimised one nothing.
void saveWindowGeometry(const QWidget& window, int dialogNumber);

} // namespace chronvale
