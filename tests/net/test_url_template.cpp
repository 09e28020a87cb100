// Link templates, the installation values and the machine identifier.

#include "geo/city.h"
#include "net/link_config.h"
#include "net/machine_id.h"
#include "net/url_template.h"
#include "support/fixtures.h"
#include "support/qt_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace chronvale {
namespace {

using test::city;
using test::writeFile;

// 2024-03-05 23:30:00 UTC.
constexpr std::time_t kLateEvening = 1709681400;

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
