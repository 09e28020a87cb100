#include "desktop/links.h"

#include <QDir>
#include <QFileInfo>

namespace chronvale {

UrlContext makeUrlContext(const LinkConfig& config, const std::string& machineId) {
    UrlContext context;
    context.cookie = config.value("cookie");
    context.clientId = config.clientId();
    context.machineId = machineId;
    return context;
}

LinkService::LinkService(LinkConfig config, QString dataFolder, LinkOwner& owner,
                         BrowserLauncher launcher, BrowserEnvironment environment)
    : config_(std::move(config)), dataFolder_(std::move(dataFolder)), owner_(owner),
      launcher_(std::move(launcher)), environment_(std::move(environment)) {}

const BrowserDetection& LinkService::browserDetection() {
    if (detection_) {
        return *detection_;
    }
    if (!environment_.askDefaultBrowserDesktopId) {
        detection_ = findDefaultBrowser(environment_);
        return *detection_;
    }
    askForBrowser();
    if (!provisional_) {
        provisional_ = findDefaultBrowser(environment_, QString());
    }
    return *provisional_;
}

void LinkService::askForBrowser() {
    if (asking_ || detection_) {
        return;
    }
    asking_ = true;
    const std::weak_ptr<int> alive = alive_;
    environment_.askDefaultBrowserDesktopId([this, alive](const QString& desktopId) {
        if (alive.expired()) {
            return;
        }
        asking_ = false;
        detection_ = findDefaultBrowser(environment_, desktopId);
        const std::vector<std::string> waiting = std::move(waiting_);
        waiting_.clear();
        for (const std::string& text : waiting) {
            launch(text);
        }
    });
}

std::optional<std::string> LinkService::expandedTemplate(std::string_view name,
                                                         const CityRecord* city, std::time_t now) {
    const std::optional<std::string> pattern = config_.value(name);
    if (!pattern || pattern->empty()) {
        return std::nullopt;
    }
    if (!city) {
        city = owner_.defaultLinkCity();
    }
    return expandUrlTemplate(*pattern, city, now, owner_.urlContext());
}

bool LinkService::openLink(std::string_view name, const CityRecord* city, std::time_t now) {
    const std::optional<std::string> url = expandedTemplate(name, city, now);
    if (!url) {
        return false;
    }
    return openUrl(*url);
}

void LinkService::openWeather(const CityRecord* city, std::time_t now) {
    const std::optional<std::string> url = expandedTemplate("weather", city, now);
    if (!url) {
        return;
    }
    if (!owner_.showWeatherWindow(*url)) {
        openUrl(*url);
    }
}

bool LinkService::openUrl(const std::string& text) {
    if (preference_.isEmpty() && !detection_ && environment_.askDefaultBrowserDesktopId &&
        !text.empty()) {
        // The desktop's default is not known yet: the URL opens when it is.
        waiting_.push_back(text);
        askForBrowser();
        return true;
    }
    return launch(text);
}

bool LinkService::launch(const std::string& text) {
    const QString browser = preference_.isEmpty() ? browserDetection().defaultBrowser : preference_;
    QString argument = QString::fromStdString(text);
    if (!text.empty() && text.find(':') == std::string::npos) {
        // A file: the current folder's, else the data folder's (where the FAQ page is).
        argument = QDir::current().absoluteFilePath(QString::fromStdString(text));
        const QString inData = QDir(dataFolder_).absoluteFilePath(QString::fromStdString(text));
        if (!QFileInfo::exists(argument) && !dataFolder_.isEmpty() && QFileInfo::exists(inData)) {
            argument = inData;
        }
    }
    if (!browser.isEmpty() && !text.empty() && launcher_(browser, {argument})) {
        return true;
    }
    // The address, so that the user can open it by other means.
    const std::string address = argument.toStdString();
    std::string message = owner_.text(kTextBrowserError);
    if (!address.empty()) {
        message += "\n\n" + formatText(owner_.text(kTextBrowserAddress), address);
    }
    owner_.showBrowserError(message, owner_.text(kTextBrowserErrorCaption), address);
    return false;
}

} // namespace chronvale
