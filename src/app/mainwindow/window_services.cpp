#include "app/mainwindow/window_services.h"

#include "app/mainwindow/cloud_animation.h"
#include "app/mainwindow/command_ids.h"
#include "app/startup/world.h"
#include "geo/time_zone.h"
#include "i18n/string_table.h"

namespace chronvale {

std::string MainWindow::Services::text(const NetText& text) {
    const Language& language = w_.world_.language;
    if (text.id != 0 && findString(text.id) != nullptr) {
        return language.getText(text.id).toStdString();
    }
    return language.translate(text.english).toStdString();
}

void MainWindow::Services::showStatus(ServiceStatus kind, const std::string& text) {
    w_.status_->showServiceStatus(kind, QString::fromStdString(text));
}
void MainWindow::Services::showErrorBox(const std::string& text, const std::string& caption) {
    w_.world_.messages.messageBox(QString::fromStdString(caption), QString::fromStdString(text),
                                  MessageSink::Icon::None);
}
void MainWindow::Services::serverErrorReported() {
    if (w_.animation_->running()) {
        w_.animation_->stopTimer();
    }
}

void MainWindow::Services::setCloudImage(ImagePtr image) {
    w_.setCloudImage(std::move(image));
}
void MainWindow::Services::frameLoaded() {
    QMetaObject::invokeMethod(&w_, &MainWindow::showLoadedFrame, Qt::QueuedConnection);
}
void MainWindow::Services::frameListArrived() {
    QMetaObject::invokeMethod(&w_, &MainWindow::resumeFrameStep, Qt::QueuedConnection);
}
void MainWindow::Services::stopAnimation() {
    MainWindow* window = &w_;
    QMetaObject::invokeMethod(
        window, [window] { window->runCommand(cmd::Stop); }, Qt::QueuedConnection);
}

void MainWindow::Services::repaintMap() {
    w_.map_->setQuakes(w_.quakes_->quakeList());
    w_.repaintMap();
}

const CityRecord* MainWindow::Services::defaultLinkCity() {
    return w_.map_->defaultLinkCity();
}
UrlContext MainWindow::Services::urlContext() {
    UrlContext context = baseContext;
    context.languageCode = w_.world_.language.current().value_or(std::string());
    context.zoom = w_.map_->view().scale;
    const ZoneTable& zones = w_.world_.tables().zones;
    context.countryOfCity = [&zones](const CityRecord& city) {
        return countryOfCity(city, zones).value_or(std::string());
    };
    const Point point = w_.map_->linkPoint();
    const LonLat position = w_.map_->view().screenToLonLat(point.x, point.y);
    context.fallbackLatitude = position.latitude;
    context.fallbackLongitude = position.longitude;
    return context;
}
void MainWindow::Services::showBrowserError(const std::string& text, const std::string& caption,
                                            const std::string& address) {
    const QString copyLabel = QString::fromStdString(this->text(kTextCopyAddress));
    w_.world_.messages.messageBoxWithCopy(QString::fromStdString(caption),
                                          QString::fromStdString(text), MessageSink::Icon::Warning,
                                          QString::fromStdString(address), copyLabel);
}

} // namespace chronvale
