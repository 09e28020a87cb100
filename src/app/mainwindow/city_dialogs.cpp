#include "app/mainwindow/city_dialogs.h"

#include "app/mainwindow/map_controller.h"
#include "app/startup/world.h"
#include "dialogs/city_properties/city_properties_dialog.h"
#include "dialogs/city_selector/city_selector_dialog.h"
#include "i18n/user_locale.h"
#include "render/zone_offset.h"

#include <QLocale>
#include <memory>

namespace chronvale {

CityDialogs::CityDialogs(World& world, MapController& map, LinkService& links, QWidget& window,
                         std::function<std::time_t()> now, std::function<void()> citiesChanged)
    : world_(world), map_(map), links_(links), window_(window), now_(std::move(now)),
      citiesChanged_(std::move(citiesChanged)) {}

CityDialogs::~CityDialogs() {
    // Owned by the window as Qt children; the pointers only forget them.
}

CitySelectorDialog* CityDialogs::selector() const {
    return selector_;
}

CityPropertiesDialog* CityDialogs::sharedProperties() const {
    return properties_;
}

void CityDialogs::openSelector() {
    if (selector_ == nullptr) {
        CitySelectorDialog::Context context;
        context.tables = &world_.tables();
        context.markCity = [this](std::size_t city, bool marked) { world_.markCity(city, marked); };
        context.language = &world_.language;
        context.icons = world_.icons.get();
        context.citiesChanged = citiesChanged_;
        selector_ = new CitySelectorDialog(std::move(context), &window_);
        selector_->setAttribute(Qt::WA_DeleteOnClose);
    }
    selector_->show();
    selector_->raise();
    selector_->activateWindow();
}

float CityDialogs::zoneHoursAtPopupPoint() const {
    const Point point = map_.linkPoint();
    const Point source = map_.view().screenToSource(point.x, point.y);
    return zoneOffsetAt(world_.compositor.timeZoneImage(), source.x, source.y);
}

CityPropertiesDialog* CityDialogs::makeProperties() {
    CityPropertiesDialog::Context context;
    context.tables = &world_.tables();
    context.markCity = [this](std::size_t city, bool marked) { world_.markCity(city, marked); };
    context.language = &world_.language;
    context.links = &links_;
    context.now = now_;
    context.citiesChanged = citiesChanged_;
    context.clock = &world_.localClock;
    context.datePattern = shortDatePattern(QLocale());
    return new CityPropertiesDialog(std::move(context), &window_);
}

void CityDialogs::openProperties(std::size_t slot, bool modal) {
    const std::vector<PopupCity>& cities = map_.popupCities();
    if (slot >= cities.size() || cities[slot].index >= world_.tables().cities.size()) {
        return;
    }
    const float zoneHours = zoneHoursAtPopupPoint();
    if (modal) {
        const std::unique_ptr<CityPropertiesDialog> dialog(makeProperties());
        dialog->setCity(cities[slot].index, zoneHours);
        dialog->exec();
        return;
    }
    if (properties_ == nullptr) {
        properties_ = makeProperties();
        properties_->setAttribute(Qt::WA_DeleteOnClose);
    }
    properties_->setCity(cities[slot].index, zoneHours);
    properties_->show();
    properties_->raise();
    properties_->activateWindow();
}

} // namespace chronvale
