#pragma once
// Web pages about a city: the link templates of the installation, filled in and
// opened in the user's browser; the weather page; the FAQ page of the data folder.

#include "desktop/browser.h"
#include "net/link_config.h"
#include "net/net_texts.h"
#include "net/url_template.h"

#include <QString>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace chronvale {

struct CityRecord;

// What the link service needs from the application.
class LinkOwner : public TextProvider {
public:
    // The city of a link asked for without one: the city nearest to the last map
    // point the user pointed at, else the first city; none with no cities.
    virtual const CityRecord* defaultLinkCity() = 0;
    // The values of the placeholders now (language, zoom, identifiers, countries).
    virtual UrlContext urlContext() = 0;
    // A warning box without owner window; it offers to copy `address` (what the
    // browser was asked to open, which the text names too) to the clipboard.
    virtual void showBrowserError(const std::string& text, const std::string& caption,
                                  const std::string& address) = 0;
    // Shows the Weather Forecast window with an embedded page view; false when this
    // build has none, and the page then opens in the browser.
    virtual bool showWeatherWindow(const std::string& url) {
        (void)url;
        return false;
    }
};

// The installation's cookie and client identifier with the user's machine
// identifier; the caller adds language, zoom and the country lookup.
UrlContext makeUrlContext(const LinkConfig& config, const std::string& machineId);

class LinkService {
public:
    LinkService(LinkConfig config, QString dataFolder, LinkOwner& owner,
                BrowserLauncher launcher = detachedLauncher(),
                BrowserEnvironment environment = systemBrowserEnvironment());

    // The browser program chosen in the preferences; empty means the default.
    void setBrowserPreference(const QString& program) { preference_ = program; }
    const QString& browserPreference() const { return preference_; }

    // Opens the template `name` ("hotels", "books", "sat", "faq") for the city (or
    // the owner's default city). False when the template is missing (nothing
    // happens) or the browser cannot be started (the owner shows the error box).
    bool openLink(std::string_view name, const CityRecord* city, std::time_t now);

    // Opens the "weather" template in the Weather Forecast window, or in the
    // browser where there is no such window; nothing when the template is missing.
    void openWeather(const CityRecord* city, std::time_t now);

    // Starts the browser with the text: a URL when it contains ":", otherwise a
    // file name, taken from the current folder (or, when it is not there, from the
    // data folder). On failure the owner shows the browser error box. While the
    // desktop's default browser is still being asked for, the text waits and opens
    // when the answer comes (true).
    bool openUrl(const std::string& text);

    // The default browser and the candidates, looked up at the first need and kept.
    // Where the environment answers only asynchronously and has not yet, this is
    // what is known without the desktop's default (and the question is asked).
    const BrowserDetection& browserDetection();

    const LinkConfig& config() const { return config_; }

private:
    std::optional<std::string> expandedTemplate(std::string_view name, const CityRecord* city,
                                                std::time_t now);

    LinkConfig config_;
    QString dataFolder_;
    LinkOwner& owner_;
    BrowserLauncher launcher_;
    BrowserEnvironment environment_;
    QString preference_;
    // Starts the browser for `text` now that it is known.
    bool launch(const std::string& text);
    // Asks the environment for the default browser; the URLs waiting for the
    // answer open when it comes.
    void askForBrowser();

    std::optional<BrowserDetection> detection_;
    std::optional<BrowserDetection> provisional_; // without the desktop's default
    std::vector<std::string> waiting_;            // URLs opened before the answer came
    bool asking_ = false;
    // Lets an answer that arrives after the service is gone do nothing.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

} // namespace chronvale
