// The city properties dialog, offscreen: the fields of a city, refilling, the
// Mark button and the texts in another language. The test main pins the
// computer's zone to UTC.

#include "dialogs/city_properties/city_properties_dialog.h"
#include "geo/geo_tables.h"
#include "i18n/language.h"
#include "ui_test_support.h"

#include <QPushButton>

namespace chronvale {
namespace {

constexpr std::time_t kJuly15_2026 = 1784116800;    // 12:00:00 UTC
constexpr std::time_t kJanuary15_2027 = 1800014400; // 12:00:00 UTC
constexpr std::time_t kJune21_2026 = 1782043200;

class CityPropertiesTest : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        tables.zones = {
            {"United Kingdom", "London", "EU", 0, 0},
            {"Australia", "Sydney", "AU-SE", 0, 0},
            {"Norway", "Oslo", "EU", 0, 0},
        };
        tables.rules = {
            {"EU", {0, 0, 3, 60}, {0, 0, 10, 0}},
            {"AU-SE", {0, 1, 10, 60}, {0, 1, 4, 0}},
        };
        tables.areaCodes = {{"United Kingdom", std::nullopt, "44"},
                            {"United Kingdom", "London", "20"},
                            {"Australia", std::nullopt, "61"},
                            {"Australia", "Sydney", "2"}};
        const auto add = [&](const char* zone, const char* name, float lat, float lon) {
            CityRecord& c = tables.cities.emplace_back();
            c.zoneKey = zone;
            c.name = name;
            c.latitude = lat;
            c.longitude = lon;
        };
        add("London", "London ", 51.5f, -0.1167f);    // 0
        add("Sydney", "Sydney ", -33.87f, 151.2093f); // 1
        add("Oslo", "Tromsø ", 69.6351f, 18.992f);    // 2
    }

    std::unique_ptr<CityPropertiesDialog> open(std::time_t now,
                                               std::string datePattern = "MM/dd/yy") {
        CityPropertiesDialog::Context context;
        context.datePattern = std::move(datePattern);
        context.tables = &tables;
        context.markCity = [this](std::size_t city, bool marked) {
            tables.cities[city].marked = marked;
        };
        context.language = &language;
        context.now = [now] { return now; };
        context.citiesChanged = [this] { ++repaints; };
        auto dialog = std::make_unique<CityPropertiesDialog>(std::move(context));
        dialog->show();
        return dialog;
    }

    GeoTables tables;
    Language language{QString(), QString()};
    int repaints = 0;
};

// London on 15 July: sunrise 05:01 and sunset 21:12 BST after timeanddate.com's
// London table (the NOAA Solar Calculator agrees to the minute); two minutes
// either way are allowed.
TEST_F(CityPropertiesTest, CityPropertiesShowsTheCityInCivilTime) {
    auto dialog = open(kJuly15_2026);
    dialog->setCity(0, 0.0f);
    EXPECT_EQ(dialog->windowTitle(), "London");
    EXPECT_EQ(dialog->fieldText(1009), "London");
    EXPECT_EQ(dialog->fieldText(1010), "United Kingdom");
    EXPECT_EQ(dialog->fieldText(1015), "44");
    EXPECT_EQ(dialog->fieldText(1019), "20");
    EXPECT_EQ(dialog->fieldText(1020), "07/15/26 13:00:00");
    const auto minutes = [](const QString& clock) {
        return clock.left(2).toInt() * 60 + clock.mid(3, 2).toInt();
    };
    EXPECT_NEAR(minutes(dialog->fieldText(1012)), 5 * 60 + 1, 2)
        << dialog->fieldText(1012).toStdString();
    EXPECT_NEAR(minutes(dialog->fieldText(1011)), 21 * 60 + 12, 2)
        << dialog->fieldText(1011).toStdString();
    EXPECT_EQ(dialog->fieldText(1013), "51.50");
    EXPECT_EQ(dialog->fieldText(1014), "-0.12");
    EXPECT_EQ(dialog->fieldText(1017), "03/29/26 00:00:00");
    EXPECT_EQ(dialog->fieldText(1016), "10/25/26 00:00:00");
}

// Sydney on 15 January: sunrise 06:00 and sunset 20:09 AEDT (timeanddate.com,
// Sydney), the daylight-saving period that began last October, and a southern
// latitude with its sign.
TEST_F(CityPropertiesTest, CityPropertiesSharedWindowIsRefilledForAnotherCity) {
    auto dialog = open(kJanuary15_2027);
    dialog->setCity(0, 0.0f);
    dialog->setCity(1, 10.0f);
    EXPECT_EQ(dialog->windowTitle(), "Sydney");
    EXPECT_EQ(dialog->cityIndex(), 1u);
    EXPECT_EQ(dialog->fieldText(1010), "Australia");
    EXPECT_EQ(dialog->fieldText(1019), "2");
    EXPECT_EQ(dialog->fieldText(1013), "-33.87");
    EXPECT_EQ(dialog->fieldText(1017), "10/04/26 00:00:00"); // last October
    EXPECT_EQ(dialog->fieldText(1016), "04/04/27 00:00:00");
    EXPECT_TRUE(dialog->fieldText(1012).startsWith("05:5") ||
                dialog->fieldText(1012).startsWith("06:0"))
        << dialog->fieldText(1012).toStdString();
    EXPECT_TRUE(dialog->fieldText(1011).startsWith("20:0") ||
                dialog->fieldText(1011).startsWith("20:1"))
        << dialog->fieldText(1011).toStdString();

    // A city outside the list changes nothing.
    dialog->setCity(99, 0.0f);
    EXPECT_EQ(dialog->windowTitle(), "Sydney");
}

// Every date of the dialog in the user's locale's order, the local time's and
// the daylight-saving period's alike.
TEST_F(CityPropertiesTest, CityPropertiesWritesEveryDateInTheLocalesOrder) {
    const struct {
        const char* pattern;
        const char* local;
        const char* started;
        const char* ends;
    } cases[] = {
        {"MM/dd/yy", "07/15/26 13:00:00", "03/29/26 00:00:00", "10/25/26 00:00:00"},
        {"dd.MM.yy", "15.07.26 13:00:00", "29.03.26 00:00:00", "25.10.26 00:00:00"},
        {"yyyy/MM/dd", "2026/07/15 13:00:00", "2026/03/29 00:00:00", "2026/10/25 00:00:00"},
        {"d/M/yy", "15/7/26 13:00:00", "29/3/26 00:00:00", "25/10/26 00:00:00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        auto dialog = open(kJuly15_2026, c.pattern);
        dialog->setCity(0, 0.0f);
        EXPECT_EQ(dialog->fieldText(1020), c.local);
        EXPECT_EQ(dialog->fieldText(1017), c.started);
        EXPECT_EQ(dialog->fieldText(1016), c.ends);
    }
}

TEST_F(CityPropertiesTest, CityPropertiesMarkTwiceLeavesTheMarkAsItWas) {
    auto dialog = open(kJuly15_2026);
    dialog->setCity(0, 0.0f);
    dialog->button(1018)->click();
    EXPECT_TRUE(tables.cities[0].marked);
    EXPECT_TRUE(dialog->isVisible()); // the dialog stays open
    dialog->button(1018)->click();
    EXPECT_FALSE(tables.cities[0].marked);
    EXPECT_EQ(repaints, 2);

    dialog->button(1)->click();
    EXPECT_FALSE(dialog->isVisible());
}

TEST_F(CityPropertiesTest, CityPropertiesPolarDayInTheLanguageOfTheUser) {
    auto dialog = open(kJune21_2026);
    dialog->setCity(2, 1.0f);
    EXPECT_EQ(dialog->fieldText(1012), "Polar day");
    EXPECT_EQ(dialog->fieldText(1011), "Polar day");

    // The German file of the build tree translates the texts.
    Language german(QString(), QStringLiteral(CHRONVALE_BINARY_DIR));
    ASSERT_TRUE(german.loadLanguage(std::string("de"))) << "lang_de.dat is not built";
    CityPropertiesDialog::Context context;
    context.tables = &tables;
    context.markCity = [this](std::size_t city, bool marked) {
        tables.cities[city].marked = marked;
    };
    context.language = &german;
    context.now = [] { return kJune21_2026; };
    CityPropertiesDialog translated(std::move(context));
    translated.setCity(2, 1.0f);
    EXPECT_EQ(translated.fieldText(1012), "Polartag");
    EXPECT_EQ(translated.button(1018)->text(), "Markieren");
}

} // namespace
} // namespace chronvale
