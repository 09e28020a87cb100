// Link templates, the browser search and the browser launch.

#include "desktop/browser.h"
#include "desktop/links.h"
#include "geo/city.h"
#include "net/link_config.h"
#include "net/machine_id.h"
#include "net/url_template.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

// 2024-03-05 23:30:00 UTC.
constexpr std::time_t kLateEvening = 1709681400;

CityRecord city(const std::string& name, float latitude, float longitude) {
    CityRecord record;
    record.name = name;
    record.latitude = latitude;
    record.longitude = longitude;
    return record;
}

UrlContext contextWithCountry(const std::string& country) {
    UrlContext context;
    context.countryOfCity = [country](const CityRecord&) { return country; };
    return context;
}

TEST(UrlTemplate, FillsEveryPlaceholder) {
    const CityRecord sydney = city("Sydney", -33.865f, 151.2094f);
    UrlContext context = contextWithCountry("Australia");
    context.languageCode = "de";
    context.cookie = "4321";
    context.clientId = "client";
    context.machineId = "m1";
    context.zoom = 2.0f;
    const std::string text = "%LANG%|%ID%|%CITY%|%COUNTRY%|%LAT%|%LONG%|%SCALE%|$YYYY|$MM|$DD|$HH|"
                             "$ID|$MID|$QUERY";
    EXPECT_EQ(expandUrlTemplate(text, &sydney, kLateEvening, context),
              "de|4321|Sydney|Australia|-33.8650|151.2094|19.57|2024|3|5|24|client|m1|"
              "Australia%20Travel%20Sydney");
}

TEST(UrlTemplate, HourRunsFromOneToTwentyFourWithoutLeadingZeros) {
    const UrlContext context;
    EXPECT_EQ(expandUrlTemplate("$DD.$MM.$YYYY $HH", nullptr, kLateEvening, context),
              "5.3.2024 24");
    // 2024-11-30 00:10 UTC: the first hour of the day is 1.
    EXPECT_EQ(expandUrlTemplate("$DD.$MM $HH", nullptr, 1732925400, context), "30.11 1");
}

TEST(UrlTemplate, PlaceholdersAreFilledInOrderAndInsertedTextIsNotSearchedAgain) {
    // The city's own "$MID" comes in through $QUERY, after $MID has been filled,
    // so it stays; a cookie holding "%ID%" does not recurse.
    const CityRecord odd = city("$MID", 0.0f, 0.0f);
    UrlContext context = contextWithCountry("X");
    context.cookie = "%ID%";
    context.machineId = "m";
    EXPECT_EQ(expandUrlTemplate("$MID %ID% %ID% $QUERY", &odd, kLateEvening, context),
              "m %ID% %ID% X%20Travel%20$MID");
    // A cookie holding a later placeholder is filled by that later step.
    context.cookie = "$YYYY";
    EXPECT_EQ(expandUrlTemplate("?id=%ID%", &odd, kLateEvening, context), "?id=2024");
}

TEST(UrlTemplate, LanguageSegmentDisappearsWithoutALanguage) {
    UrlContext context;
    EXPECT_EQ(expandUrlTemplate("https://x.test/%LANG%/a?l=%LANG%", nullptr, 0, context),
              "https://x.test/a?l=");
    context.languageCode = "fr";
    EXPECT_EQ(expandUrlTemplate("https://x.test/%LANG%/a?l=%LANG%", nullptr, 0, context),
              "https://x.test/fr/a?l=fr");
}

TEST(UrlTemplate, PartnerIdIsRemovedWithoutACookieOrWithCookie1000) {
    const std::string text = "https://x.test/page?id=%ID%";
    UrlContext context;
    EXPECT_EQ(expandUrlTemplate(text, nullptr, 0, context), "https://x.test/page");
    context.cookie = "";
    EXPECT_EQ(expandUrlTemplate(text, nullptr, 0, context), "https://x.test/page");
    context.cookie = "1000";
    EXPECT_EQ(expandUrlTemplate(text, nullptr, 0, context), "https://x.test/page");
    context.cookie = "77";
    EXPECT_EQ(expandUrlTemplate(text, nullptr, 0, context), "https://x.test/page?id=77");
}

TEST(UrlTemplate, CityWithABlankAndAnAccentedLetter) {
    const CityRecord saoPaulo = city("S\xC3\xA3o Paulo", -23.55f, -46.6333f);
    const UrlContext context = contextWithCountry("Brazil");
    EXPECT_EQ(expandUrlTemplate("q=%CITY%&c=%COUNTRY%", &saoPaulo, 0, context),
              "q=S%C3%A3o+Paulo&c=Brazil");
    EXPECT_EQ(expandUrlTemplate("$QUERY", &saoPaulo, 0, context),
              "Brazil%20Travel%20S\xC3\xA3o Paulo");
}

TEST(UrlTemplate, WithoutACityThePositionComesFromTheFallbackPoint) {
    UrlContext context;
    context.fallbackLatitude = 12.345f;
    context.fallbackLongitude = -7.5f;
    EXPECT_EQ(expandUrlTemplate("[%CITY%][%LAT%][%LONG%][$QUERY]", nullptr, 0, context),
              "[][12.35][-7.50][%20Travel%20]");
}

TEST(UrlTemplate, UrlEncoding) {
    EXPECT_EQ(urlEncode("a b*-._~/&?%"), "a+b*-._%7E%2F%26%3F%25");
    EXPECT_EQ(urlEncode(""), "");
    EXPECT_EQ(urlEncode(std::string("\x00\xFF", 2)), "%00%FF");
}

// Records what the link service asks of its owner.
class RecordingLinkOwner : public LinkOwner {
public:
    const CityRecord* defaultLinkCity() override { return defaultCity; }
    UrlContext urlContext() override { return context; }
    void showBrowserError(const std::string& text, const std::string& caption) override {
        errors.push_back(caption + ": " + text);
    }
    bool showWeatherWindow(const std::string& url) override {
        weatherWindows.push_back(url);
        return hasWeatherWindow;
    }

    const CityRecord* defaultCity = nullptr;
    UrlContext context;
    bool hasWeatherWindow = false;
    std::vector<std::string> errors;
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

    LinkService service(bool launchWorks = true) {
        BrowserEnvironment none;
        none.defaultBrowserDesktopId = [] { return QString(); };
        none.findExecutable = [](const QString& name) {
            return name == QLatin1String("xdg-open") ? QStringLiteral("/usr/bin/xdg-open")
                                                     : QString();
        };
        return LinkService(
            config, data.path(), owner,
            [this, launchWorks](const QString& program, const QStringList& arguments) {
                launches.push_back({program, arguments});
                return launchWorks;
            },
            none);
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
                               "the preference settings.");
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

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
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

TEST(Browser, DesktopFileProgramHonoursQuotes) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("b.desktop");
    writeFile(path, "[Desktop Entry]\nExec=\"/opt/My Browser/run\" %U\n");
    EXPECT_EQ(desktopFileProgram(path), QStringLiteral("/opt/My Browser/run"));
    writeFile(path, "[Desktop Action x]\nExec=nope\n");
    EXPECT_TRUE(desktopFileProgram(path).isEmpty());
}

TEST(LinkConfig, TheShippedFileHasWorkingTemplates) {
    const LinkConfig config =
        loadLinkConfig(QStringLiteral(CHRONVALE_SOURCE_DIR "/data/chronvale.ini"), QString());
    const CityRecord paris = city("Paris", 48.8566f, 2.3522f);
    const UrlContext context = contextWithCountry("France");
    for (const char* name : {"hotels", "weather", "books", "sat"}) {
        const auto pattern = config.value(name);
        ASSERT_TRUE(pattern) << name;
        const std::string url = expandUrlTemplate(*pattern, &paris, kLateEvening, context);
        EXPECT_EQ(url.rfind("https://", 0), 0u) << url;
        for (const char* placeholder :
             {"%LANG%", "%ID%", "%CITY%", "%COUNTRY%", "%LAT%", "%LONG%", "$QUERY", "$HH"}) {
            EXPECT_EQ(url.find(placeholder), std::string::npos) << url;
        }
    }
    EXPECT_EQ(config.value("faq"), "faq.html");
    EXPECT_TRUE(QFile::exists(QStringLiteral(CHRONVALE_SOURCE_DIR "/data/faq.html")));
    EXPECT_EQ(hostPort(config.imageServer()), 8470);
}

TEST(LinkConfig, TheSystemFileOverridesAndCommasSurvive) {
    QTemporaryDir dir;
    const QString data = QDir(dir.path()).filePath("chronvale.ini");
    const QString system = QDir(dir.path()).filePath("Chronvale.conf");
    writeFile(data, "[General]\nhotels=https://a.test/?q=%CITY%,%COUNTRY%\nserver=h:81\n");
    writeFile(system, "[General]\nserver=mirror.test:8000\n");
    const LinkConfig config = loadLinkConfig(data, system);
    EXPECT_EQ(config.value("hotels"), "https://a.test/?q=%CITY%,%COUNTRY%");
    EXPECT_EQ(config.imageServer(), "mirror.test:8000");
    EXPECT_EQ(config.value("sat"), std::nullopt);
    EXPECT_EQ(hostPort("mirror.test:8000"), 8000);
    EXPECT_EQ(hostPort("mirror.test"), 80);
    EXPECT_EQ(hostPort("mirror.test:99999"), 80);
}

TEST(MachineId, IsMadeOnceAndKept) {
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath("settings.ini");
    std::string first;
    {
        QSettings settings(path, QSettings::IniFormat);
        first = machineIdentifier(settings);
    }
    EXPECT_EQ(first.size(), 32u);
    EXPECT_EQ(first.find_first_not_of("0123456789abcdef"), std::string::npos);
    QSettings settings(path, QSettings::IniFormat);
    EXPECT_EQ(machineIdentifier(settings), first);
}

} // namespace
} // namespace chronvale
