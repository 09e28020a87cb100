#pragma once
// The main window's city dialogs: the one city selector, the one shared
// properties window of the Properties command, and the modal properties of a
// nearby city of the context menu.

#include <QPointer>
#include <cstddef>
#include <ctime>
#include <functional>

class QWidget;

namespace chronvale {

class CityPropertiesDialog;
class CitySelectorDialog;
class LinkService;
class MapController;
class World;

class CityDialogs {
public:
    // `window` owns the dialogs; citiesChanged repaints the map (a mark changed).
    CityDialogs(World& world, MapController& map, LinkService& links, QWidget& window,
                std::function<std::time_t()> now, std::function<void()> citiesChanged);
    ~CityDialogs();

    // Shows the selector, creating it when there is none.
    void openSelector();
    // The properties of popup city `slot`: in a modal dialog of its own, or in
    // the shared modeless window (created, or brought forward and refilled).
    // Nothing when the last context menu had no such slot.
    void openProperties(std::size_t slot, bool modal);

    CitySelectorDialog* selector() const;
    CityPropertiesDialog* sharedProperties() const;

    // The standard offset under the last right click, from the time-zone image.
    float zoneHoursAtPopupPoint() const;

private:
    CityPropertiesDialog* makeProperties();

    World& world_;
    MapController& map_;
    LinkService& links_;
    QWidget& window_;
    std::function<std::time_t()> now_;
    std::function<void()> citiesChanged_;
    QPointer<CitySelectorDialog> selector_;
    QPointer<CityPropertiesDialog> properties_;
};

} // namespace chronvale
