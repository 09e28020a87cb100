#pragma once
// What the cloud service, the earthquake feed and the link service ask of the
// main window they report to: texts in the current language, the status bar and
// error boxes, the cloud images and frames, the map, and the context of links.

#include "app/mainwindow/main_window.h"
#include "desktop/links.h"
#include "net/cloud_service.h"
#include "net/quake_feed.h"

namespace chronvale {

class MainWindow::Services final : public CloudOwner, public QuakeOwner, public LinkOwner {
public:
    explicit Services(MainWindow& window) : w_(window) {}

    UrlContext baseContext; // cookie and identifiers, made once

    std::string text(const NetText& text) override;
    void showStatus(ServiceStatus kind, const std::string& text) override;
    void showErrorBox(const std::string& text, const std::string& caption) override;
    void serverErrorReported() override;

    void setCloudImage(ImagePtr image) override;
    void frameLoaded() override;
    void frameListArrived() override;
    void stopAnimation() override;

    void repaintMap() override;

    const CityRecord* defaultLinkCity() override;
    UrlContext urlContext() override;
    void showBrowserError(const std::string& text, const std::string& caption,
                          const std::string& address) override;

private:
    MainWindow& w_;
};

} // namespace chronvale
