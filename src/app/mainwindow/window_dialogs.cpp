// The dialogs the main window opens (Preferences, About, Go to Time) and the
// proxy they hand to the HTTP client.

#include "app/mainwindow/city_dialogs.h"
#include "app/mainwindow/compare_panel.h"
#include "app/mainwindow/main_window.h"
#include "app/mainwindow/map_controller.h"
#include "app/startup/world.h"
#include "desktop/links.h"
#include "dialogs/about/about_box.h"
#include "dialogs/city_properties/city_properties_dialog.h"
#include "dialogs/go_to_time/go_to_time_dialog.h"
#include "dialogs/preferences/preferences_dialog.h"
#include "net/proxy_settings.h"

#include <QDir>

namespace chronvale {

void MainWindow::applyProxy(const ProxySettings& proxy) {
    world_.http.httpSetProxy(proxy.type, proxy.host.value_or(std::string()), proxy.port,
                             proxy.userName.value_or(std::string()),
                             proxy.password.value_or(std::string()));
}

std::optional<std::time_t> MainWindow::askInstant(std::time_t shown) {
    GoToTimeDialog dialog(world_.language, shown, this);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.instant();
}

std::unique_ptr<PreferencesDialog> MainWindow::makePreferencesDialog() {
    PreferencesDialog::Hooks hooks;
    hooks.applyProxy = [this](const ProxySettings& proxy) { applyProxy(proxy); };
    hooks.storeProxy = [](const ProxySettings& proxy) { saveProxySettings(proxy); };
    hooks.browserChosen = [this](const QString& browser) { links_->setBrowserPreference(browser); };
    hooks.restartRefreshTimer = [this](int minutes) { restartRefreshTimer(minutes); };
    hooks.systemZonesChosen = [this](bool on) { useSystemZones(on); };
    return std::make_unique<PreferencesDialog>(
        world_.settings, world_.language, links_->browserDetection().candidates,
        centreChoices(world_.tables().cities), std::move(hooks), this);
}

void MainWindow::useSystemZones(bool on) {
    if (world_.localClock.useSystemDatabase() == on) {
        return;
    }
    world_.localClock.setUseSystemDatabase(on);
    map_->refreshOverlays();
    comparePanel_->zonesChanged();
    if (CityPropertiesDialog* properties = cityDialogs_->sharedProperties()) {
        properties->refill();
    }
}

std::unique_ptr<AboutBox> MainWindow::makeAboutBox() {
    AboutBox::Content content;
    content.system = systemFacts();
    content.sourcesFile = QDir(world_.folders.data).filePath(QStringLiteral("SOURCES.md"));
    content.homeLink = world_.installation.value("home").value_or(std::string());
    content.supportLink = world_.installation.value("support").value_or(std::string());
    return std::make_unique<AboutBox>(
        world_.language, std::move(content),
        [this](const std::string& link) { links_->openUrl(link); }, this);
}

} // namespace chronvale
