// The browser search and the browser launch of links.

#include "desktop/browser.h"
#include "desktop/links.h"
#include "geo/city.h"
#include "support/fixtures.h"
#include "support/qt_files.h"
#include "support/wait_for.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace chronvale {
namespace {

using test::city;
using test::writeFile;

// Records what the link service asks of its owner.
class RecordingLinkOwner : public LinkOwner {
public:
    const CityRecord* defaultLinkCity() override { return defaultCity; }
    UrlContext urlContext() override { return context; }
    void showBrowserError(const std::string& text, const std::string& caption,
                          const std::string& address) override {
        errors.push_back(caption + ": " + text);
        addresses.push_back(address);
    }
    bool showWeatherWindow(const std::string& url) override {
        weatherWindows.push_back(url);
        return hasWeatherWindow;
    }

    const CityRecord* defaultCity = nullptr;
    UrlContext context;
    bool hasWeatherWindow = false;
    std::vector<std::string> errors;
    std::vector<std::string> addresses;
    std::vector<std::string> weatherWindows;
};

struct Launch {
    QString program;
    QStringList arguments;
};

class LinkServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(work.isValid());
        previous = QDir::currentPath();
        QDir::setCurrent(work.path());
        config.values = {{"hotels", "https://hotels.test/?q=%CITY%"},
                         {"weather", "https://weather.test/%LAT%,%LONG%"},
                         {"faq", "faq.html"}};
    }
    void TearDown() override { QDir::setCurrent(previous); }

    // A desktop without a default browser, where only xdg-open is found.
    static BrowserEnvironment noBrowser() {
        BrowserEnvironment none;
        none.defaultBrowserDesktopId = [] { return QString(); };
        none.findExecutable = [](const QString& name) {
            return name == QLatin1String("xdg-open") ? QStringLiteral("/usr/bin/xdg-open")
                                                     : QString();
        };
        return none;
    }
    // A service whose launches are recorded (and succeed when launchWorks).
    LinkService service(bool launchWorks = true, BrowserEnvironment environment = noBrowser()) {
        return LinkService(
            config, data.path(), owner,
            [this, launchWorks](const QString& program, const QStringList& arguments) {
                launches.push_back({program, arguments});
                return launchWorks;
            },
            std::move(environment));
    }

    QTemporaryDir work;
    QTemporaryDir data;
    QString previous;
    LinkConfig config;
    RecordingLinkOwner owner;
    std::vector<Launch> launches;
};

TEST_F(LinkServiceTest, OpensTheExpandedLinkInTheChosenBrowser) {
    LinkService links = service();
    links.setBrowserPreference(QStringLiteral("/opt/browser"));
    const CityRecord rome = city("Rome", 41.9f, 12.5f);
    ASSERT_TRUE(links.openLink("hotels", &rome, 0));
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].program, QStringLiteral("/opt/browser"));
    EXPECT_EQ(launches[0].arguments, QStringList{QStringLiteral("https://hotels.test/?q=Rome")});
    EXPECT_TRUE(owner.errors.empty());
}

TEST_F(LinkServiceTest, WithoutACityTheOwnersCityIsUsedAndWithoutATemplateNothingHappens) {
    const CityRecord oslo = city("Oslo", 59.9f, 10.75f);
    owner.defaultCity = &oslo;
    LinkService links = service();
    ASSERT_TRUE(links.openLink("hotels", nullptr, 0));
    EXPECT_EQ(launches.back().program, QStringLiteral("/usr/bin/xdg-open"));
    EXPECT_EQ(launches.back().arguments,
              QStringList{QStringLiteral("https://hotels.test/?q=Oslo")});
    EXPECT_FALSE(links.openLink("books", nullptr, 0));
    EXPECT_EQ(launches.size(), 1u);
    EXPECT_TRUE(owner.errors.empty());
}

TEST_F(LinkServiceTest, ATextWithoutAColonIsAFileOfTheCurrentFolder) {
    LinkService links = service();
    ASSERT_TRUE(links.openUrl("faq.html"));
    EXPECT_EQ(launches.back().arguments, QStringList{QDir(work.path()).filePath("faq.html")});

    // Not in the current folder but in the data folder: the data folder's file.
    QFile inData(QDir(data.path()).filePath("faq.html"));
    ASSERT_TRUE(inData.open(QIODevice::WriteOnly));
    inData.close();
    ASSERT_TRUE(links.openLink("faq", nullptr, 0));
    EXPECT_EQ(launches.back().arguments, QStringList{QDir(data.path()).filePath("faq.html")});

    // Present in both: the current folder wins.
    QFile here(QDir(work.path()).filePath("faq.html"));
    ASSERT_TRUE(here.open(QIODevice::WriteOnly));
    here.close();
    ASSERT_TRUE(links.openUrl("faq.html"));
    EXPECT_EQ(launches.back().arguments, QStringList{QDir(work.path()).filePath("faq.html")});
}

TEST_F(LinkServiceTest, ABrowserThatCannotStartShowsTheBrowserError) {
    LinkService links = service(false);
    EXPECT_FALSE(links.openUrl("https://x.test/"));
    ASSERT_EQ(owner.errors.size(), 1u);
    EXPECT_EQ(owner.errors[0], "Browser Error: Unable to open the specified Browser. Please check "
                               "the preference settings.\n\nAddress: https://x.test/");
    EXPECT_EQ(owner.addresses, std::vector<std::string>{"https://x.test/"});
    // A file of the data folder is named by its full path.
    EXPECT_FALSE(links.openUrl("faq.html"));
    ASSERT_EQ(owner.addresses.size(), 2u);
    EXPECT_TRUE(QDir::isAbsolutePath(QString::fromStdString(owner.addresses[1])));
    EXPECT_TRUE(owner.addresses[1].ends_with("/faq.html"));
}

TEST_F(LinkServiceTest, WeatherOpensInTheWindowWhereThereIsOneElseInTheBrowser) {
    const CityRecord lima = city("Lima", -12.05f, -77.05f);
    LinkService links = service();
    links.openWeather(&lima, 0);
    EXPECT_EQ(owner.weatherWindows,
              std::vector<std::string>{"https://weather.test/-12.0500,-77.0500"});
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].arguments,
              QStringList{QStringLiteral("https://weather.test/-12.0500,-77.0500")});

    owner.hasWeatherWindow = true;
    links.openWeather(&lima, 0);
    EXPECT_EQ(launches.size(), 1u);

    config.values.erase("weather");
    LinkService without = service();
    without.openWeather(&lima, 0);
    EXPECT_EQ(owner.weatherWindows.size(), 2u);
}

TEST(Browser, TheDesktopsDefaultBrowserComesFromItsDesktopFile) {
    QTemporaryDir dir;
    const QString apps = QDir(dir.path()).filePath("applications");
    writeFile(apps + "/web.desktop", "[Desktop Entry]\nName=Web\nExec=webby --new %u\n"
                                     "[Desktop Action private]\nExec=other --private\n");
    BrowserEnvironment environment;
    environment.defaultBrowserDesktopId = [] { return QStringLiteral("web.desktop"); };
    environment.applicationFolders = {QDir(dir.path()).filePath("missing"), apps};
    environment.findExecutable = [](const QString& name) { return "/usr/bin/" + name; };
    environment.browserVariable = QStringLiteral("webby");
    const BrowserDetection found = findDefaultBrowser(environment);
    EXPECT_EQ(found.defaultBrowser, QStringLiteral("/usr/bin/webby"));
    EXPECT_EQ(found.candidates,
              (QStringList{"/usr/bin/webby", "/usr/bin/x-www-browser", "/usr/bin/xdg-open"}));

    // Without a desktop default: xdg-open; without that either: nothing.
    environment.defaultBrowserDesktopId = [] { return QString(); };
    EXPECT_EQ(findDefaultBrowser(environment).defaultBrowser, QStringLiteral("/usr/bin/xdg-open"));
    environment.findExecutable = [](const QString&) { return QString(); };
    EXPECT_TRUE(findDefaultBrowser(environment).defaultBrowser.isEmpty());
}

// The desktop answers the question for the default browser later: links wait for
// the answer instead of the window waiting for the desktop.
TEST_F(LinkServiceTest, LinksOpenedBeforeTheDesktopAnswersOpenWhenItDoes) {
    const QString apps = QDir(data.path()).filePath("applications");
    writeFile(apps + "/web.desktop", "[Desktop Entry]\nExec=webby %u\n");
    std::vector<std::function<void(const QString&)>> asked;
    BrowserEnvironment later;
    later.askDefaultBrowserDesktopId = [&asked](std::function<void(const QString&)> done) {
        asked.push_back(std::move(done));
    };
    later.applicationFolders = {apps};
    later.findExecutable = [](const QString& name) { return "/usr/bin/" + name; };
    LinkService links = service(true, later);

    const CityRecord rome = city("Rome", 41.9f, 12.5f);
    EXPECT_TRUE(links.openLink("hotels", &rome, 0));
    EXPECT_TRUE(links.openUrl("https://second.test/"));
    EXPECT_TRUE(launches.empty());
    ASSERT_EQ(asked.size(), 1u); // asked once for both
    // Meanwhile the candidates are what is known without the desktop.
    EXPECT_EQ(links.browserDetection().defaultBrowser, QStringLiteral("/usr/bin/xdg-open"));
    EXPECT_EQ(asked.size(), 1u);

    asked[0](QStringLiteral("web.desktop"));
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[0].program, QStringLiteral("/usr/bin/webby"));
    EXPECT_EQ(launches[0].arguments, QStringList{QStringLiteral("https://hotels.test/?q=Rome")});
    EXPECT_EQ(launches[1].arguments, QStringList{QStringLiteral("https://second.test/")});
    // Known now: the next link opens at once, without asking again.
    EXPECT_TRUE(links.openUrl("https://third.test/"));
    EXPECT_EQ(launches.size(), 3u);
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_TRUE(owner.errors.empty());
}

TEST_F(LinkServiceTest, AnAnswerAfterTheServiceIsGoneDoesNothing) {
    std::function<void(const QString&)> pending;
    BrowserEnvironment later;
    later.askDefaultBrowserDesktopId = [&pending](std::function<void(const QString&)> done) {
        pending = std::move(done);
    };
    {
        LinkService links = service(true, later);
        links.openUrl("https://gone.test/");
    }
    ASSERT_TRUE(pending);
    pending(QString());
    EXPECT_TRUE(launches.empty());
    EXPECT_TRUE(owner.errors.empty());
}

TEST(Browser, TheSessionsQuestionAnswersEmptyAtOnceWithoutXdgSettings) {
    // No xdg-settings on the path: the answer comes from the event loop, empty.
    const QByteArray path = qgetenv("PATH");
    QTemporaryDir empty;
    qputenv("PATH", empty.path().toUtf8());
    const BrowserEnvironment environment = systemBrowserEnvironment();
    ASSERT_TRUE(environment.askDefaultBrowserDesktopId);
    EXPECT_FALSE(environment.defaultBrowserDesktopId); // nothing that waits
    std::optional<QString> answer;
    environment.askDefaultBrowserDesktopId([&answer](const QString& id) { answer = id; });
    qputenv("PATH", path);
    EXPECT_TRUE(test::waitFor([&] { return answer.has_value(); }, std::chrono::seconds(10)));
    EXPECT_EQ(answer.value_or(QStringLiteral("none")), QString());
}

TEST(Browser, DesktopFileProgramHonoursQuotes) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("b.desktop");
    writeFile(path, "[Desktop Entry]\nExec=\"/opt/My Browser/run\" %U\n");
    EXPECT_EQ(desktopFileProgram(path), QStringLiteral("/opt/My Browser/run"));
    writeFile(path, "[Desktop Action x]\nExec=nope\n");
    EXPECT_TRUE(desktopFileProgram(path).isEmpty());
}

} // namespace
} // namespace chronvale
