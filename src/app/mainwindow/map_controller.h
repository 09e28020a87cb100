#pragma once
// The map pane's controller: the view of the lit map (pan, zoom, scale), what
// the pointer does on it (drags, double-clicks, the right click's nearby cities,
// the names overlay that follows it, the status bar's read-out) and the pane's
// painting through the map painter.

#include "app/mainwindow/detailed_view.h"
#include "app/mainwindow/large_cloud_frame.h"
#include "app/mainwindow/map_pane.h"
#include "app/mainwindow/popup_cities.h"
#include "net/quake_feed.h"
#include "render/map_view.h"
#include "render/qt/hover.h"
#include "render/qt/map_painter.h"
#include "render/sky_marks.h"

#include <QPoint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace chronvale {

class CloudService;
class StatusPresenter;
class World;
struct CityRecord;

class MapController final : public MapPaneOwner {
public:
    // What the controller asks of the window it lives in.
    struct Hooks {
        std::function<std::time_t()> now;
        // The window is minimised: nothing is painted (the images are released).
        std::function<bool()> minimised;
        // A right click without a drag: the context menu at these positions.
        std::function<void(QPoint panePosition, QPoint global)> contextMenu;
    };

    // The view starts where the settings left it.
    MapController(World& world, const CloudService& cloud, StatusPresenter& status, Hooks hooks);

    // The pane, made once as a child of `parent`.
    MapPane* makePane(QWidget* parent);
    MapPane* pane() const { return pane_; }

    MapView& view() { return view_; }
    const MapView& view() const { return view_; }

    // Invalidates the pane and paints it at once.
    void repaint();
    // Paints the overlays over the kept base layer and reads the pointer again
    // (the once-a-second clock tick).
    void refreshOverlays();
    // Frees the view's images and the painter's (minimised).
    void release();
    // The zoomed and high-density views show the clouds from the frames' 4096
    // copies, asked of `frames` (which must outlive the controller).
    void useLargeCloudFrames(HiresCloudFrames& frames);

    // The instant of the sun, moon and twilight lines: the window sets it with
    // each composition (so they move with the shadow's timer) and with each step
    // of the shown instant. Until it is set, the hooks' now.
    void setSkyInstant(std::time_t instant) { skyInstant_ = instant; }
    // The marks drawn for the switches and the sky instant (made again when
    // either changed); none while both overlays are off.
    const SkyMarks* skyMarks();

    // The earthquakes drawn on the map, and told about by their markers' tooltips.
    void setQuakes(const QuakeList& quakes);

    // The city the pointer is over (see readPointer).
    std::optional<std::size_t> cityUnderCursor() const { return cityUnderCursor_; }
    // The names overlay's hover for the pointer: the hovered city and the pane
    // rectangles its marks and label cover.
    const HoverState& hover() const { return hover_; }
    // The map point of the last right click, else of the pointer, in pane cursor
    // coordinates.
    Point linkPoint() const;
    // The city nearest linkPoint(), else the first city; none without cities.
    const CityRecord* defaultLinkCity() const;
    // The cities of the last context menu, by slot.
    const std::vector<PopupCity>& popupCities() const { return popupCities_; }
    // Picks the ten cities nearest `panePosition` for a context menu.
    const std::vector<PopupCity>& pickCitiesAt(QPoint panePosition);

    // MapPaneOwner.
    void paintPane(QPaintEvent* event) override;
    void paneResized() override;
    void paneMouseMoved(QPoint position, QPoint global) override;
    void paneMousePressed(Qt::MouseButton button, QPoint position, QPoint global) override;
    void paneMouseReleased(Qt::MouseButton button, QPoint position, QPoint global) override;
    void paneDoubleClicked(Qt::MouseButton button, QPoint position) override;
    void paneLeft() override;
    // The wheel zooms about the pointer; the zoom then holds against resizes.
    void paneWheelTurned(QPoint position, int delta) override;
    // Over an earthquake marker (Earthquakes on): what the feed told about it.
    QString paneToolTip(QPoint position) override;

private:
    Point paneCursor(QPoint panePosition) const;
    // Finds the hover for the pointer and the view as they are now; returns the
    // previous one.
    HoverState findHoverNow();
    // The hovered city's country or name in the status bar's first field, unless a
    // download shows its progress there or a service's text is held there; none
    // clears the city shown before.
    void showHoveredCity(const std::optional<std::string>& text);
    void updatePointerReadout(QPoint panePosition);

    World& world_;
    const CloudService& cloud_;
    StatusPresenter& status_;
    Hooks hooks_;
    MapPane* pane_ = nullptr;

    MapView view_;
    MapPainter painter_;
    DetailedView detailed_; // the zoomed and high-density views' pixels
    std::unique_ptr<LargeCloudFrame> largeCloud_;
    std::vector<QuakeMark> quakeMarks_;
    QuakeList quakes_;
    std::optional<std::time_t> skyInstant_;
    struct SkyKey {
        std::time_t instant = 0;
        bool sunMoon = false;
        bool twilight = false;
        bool operator==(const SkyKey&) const = default;
    };
    std::optional<SkyKey> skyKey_;
    SkyMarks skyMarks_;
    static constexpr QPoint kNoPointer{-1000, -1000};
    QPoint pointer_ = kNoPointer; // the mouse in pane coordinates, for the names overlay
    HoverState hover_;            // for pointer_ and the view of the last paint or move

    std::optional<std::size_t> cityUnderCursor_;
    std::vector<PopupCity> popupCities_;
    std::optional<Point> popupPoint_; // the last right click, pane cursor coordinates
};

} // namespace chronvale
