#pragma once
// The Compare Times panel, docked under the map: a row per marked city (in the
// user's order, dragged by its name to reorder) and the optional rows "Here" and
// "UTC", painted by compare_painter on one time axis; a time editor per row; a
// cursor across the rows. Moving the cursor, typing a time into a row, Next
// Overlap and Now move the map's shown instant through CompareTravel; while the
// map shows now the cursor follows the clock.

#include "app/mainwindow/compare_painter.h"

#include <QDockWidget>
#include <QWidget>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;

namespace chronvale {

class EarthImage;
class MainWindow;
class World;

// The one seam between the panel and the map's shown instant.
struct CompareTravel {
    std::function<std::time_t()> shown;    // the instant the map shows
    std::function<bool()> atNow;           // the map shows now
    std::function<bool(std::time_t)> goTo; // false: the map cannot show it
    std::function<void()> backToNow;
    std::function<void()> repaintMap; // after a label changed
};

class CompareStrips;

class ComparePanel : public QDockWidget {
    Q_OBJECT

public:
    ComparePanel(World& world, CompareTravel travel, QWidget* parent = nullptr);
    ~ComparePanel() override;

    void retranslate();
    // Follows the map's instant and the marks (the panel's own timer calls it).
    void follow();
    // The rows again: the source of local times changed.
    void zonesChanged() { rebuildRows(); }

    // For tests and the benchmark.
    const CompareScene& scene() const { return scene_; }
    QLineEdit* editor(int row) const;
    // Types a time into a row's editor and presses Enter.
    void typeTime(int row, const QString& text);
    void nextOverlap();
    QString copyText() const;
    void copyAsText();
    void setCursorInstant(std::time_t instant); // as a drag does
    QString overlapStatus() const;
    bool showsHint() const;
    void setUtcRow(bool on);
    void setHereRow(bool on);
    // Moves city row `from` (among the cities) to `to`.
    void moveCityRow(int from, int to);
    void setWorkingHours(int cityRow, int startMinute, int endMinute, std::uint8_t days);
    void setLabel(int cityRow, const QString& label);

private:
    friend class CompareStrips;
    void rebuildRows();
    void setAxisAround(std::time_t instant);
    void refreshEditors();
    void editorDone(int row);
    // The row of scene_ that is city row `cityRow`, and back; -1 for none.
    int sceneRowOfCity(int cityRow) const;
    int cityRowOfScene(int row) const;
    void openRowMenu(int row, QPoint global);
    std::size_t markSignature() const;

    World& world_;
    CompareTravel travel_;
    CompareScene scene_;
    AxisSun sun_;
    std::vector<int> cityOfRow_; // per scene row: index into settings.compare.rows, or -1
    std::size_t marks_ = 0;
    const EarthImage* zonesSeen_ = nullptr; // the time-zone image the rows were made with
    bool dragging_ = false;

    QStackedWidget* stack_ = nullptr;
    QLabel* hint_ = nullptr;
    CompareStrips* strips_ = nullptr;
    QPushButton* now_ = nullptr;
    QPushButton* next_ = nullptr;
    QPushButton* copy_ = nullptr;
    QCheckBox* utc_ = nullptr;
    QCheckBox* here_ = nullptr;
    QLabel* minimumLabel_ = nullptr;
    QDoubleSpinBox* minimum_ = nullptr;
    QLabel* status_ = nullptr;
    std::vector<QLineEdit*> editors_;
};

// The painted rows with their editors; drags the cursor and the rows.
class CompareStrips : public QWidget {
    Q_OBJECT

public:
    explicit CompareStrips(ComparePanel& panel);
    CompareGeometry geometry() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    ComparePanel& panel_;
    int draggedRow_ = -1;
};

// Makes the panel for the window (hidden unless it was shown when the program
// last closed), docks it under the map and ties View > Compare Times and its
// toolbar button to it.
ComparePanel* installComparePanel(MainWindow& window, World& world);

} // namespace chronvale
