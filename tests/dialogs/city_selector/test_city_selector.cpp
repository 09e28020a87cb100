// The city selector, offscreen: the country rows, marking by double-click and
// OK, the key search, and the search field.

#include "dialogs/city_selector/city_selector_dialog.h"
#include "geo/geo_tables.h"
#include "i18n/language.h"
#include "ui/list_view.h"
#include "ui_test_support.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace chronvale {
namespace {

class CitySelectorTest : public test::UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        tables.zones = {
            {"France", "Paris", "EU", 0, 0},
            {"United Kingdom", "London", "EU", 0, 0},
            {"France", "Reunion", "", 0, 0}, // a second zone of France
            {"Switzerland", "Zurich", "EU", 0, 0},
            {"Brazil", "Sao_Paulo", "", 0, 0},
            {"Antarctica", "McMurdo", "", 0, 0}, // no cities
            {"", "Nowhere", "", 0, 0},
        };
        add("Paris", "Paris", "Île-de-France");       // 0
        add("London", "London", "Westminster");       // 1
        add("Paris", "Lyon", "Auvergne-Rhône-Alpes"); // 2
        add("Reunion", "Saint-Denis", "Réunion");     // 3
        add("Zurich", "Zürich", "Zürich");            // 4
        add("Sao_Paulo", "São Paulo", "São Paulo");   // 5
        add("Paris", "Lille", "Hauts-de-France");     // 6
        add("London", "Londonderry", "Derry");        // 7
        add("Paris", "Marseille", "Provence");        // 8
    }

    void add(const char* zone, const char* name, const char* state) {
        CityRecord& c = tables.cities.emplace_back();
        c.zoneKey = zone;
        c.name = std::string(name) + " ";
        c.state = state;
    }

    std::unique_ptr<CitySelectorDialog> open() {
        CitySelectorDialog::Context context;
        context.tables = &tables;
        context.markCity = [this](std::size_t city, bool marked) {
            tables.cities[city].marked = marked;
        };
        context.language = &language;
        context.citiesChanged = [this] { ++repaints; };
        auto dialog = std::make_unique<CitySelectorDialog>(std::move(context));
        dialog->show();
        return dialog;
    }

    static QStringList column(const ListView& list) {
        QStringList texts;
        for (int row = 0; row < list.model()->rowCount(); ++row) {
            texts << list.model()->index(row, 0).data().toString();
        }
        return texts;
    }

    static void keyClick(QWidget* widget, Qt::Key key, const QString& text) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
        QApplication::sendEvent(widget, &release);
    }

    void doubleClickCity(CitySelectorDialog& dialog, std::size_t city) {
        ASSERT_TRUE(dialog.selectCity(city));
        ListView* list = dialog.cityList();
        const QRect cell = list->visualRect(list->currentIndex());
        const QPointF at = cell.center();
        const QPointF global = list->viewport()->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QMouseEvent dbl(QEvent::MouseButtonDblClick, at, global, Qt::LeftButton, Qt::LeftButton,
                        Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &press);
        QApplication::sendEvent(list->viewport(), &release);
        QApplication::sendEvent(list->viewport(), &dbl);
        QApplication::sendEvent(list->viewport(), &release);
    }

    GeoTables tables;
    Language language{QString(), QString()};
    int repaints = 0;
};

TEST_F(CitySelectorTest, CitySelectorListsEachCountryOnceSorted) {
    auto dialog = open();
    EXPECT_EQ(column(*dialog->countryList()),
              (QStringList{"Antarctica", "Brazil", "France", "Switzerland", "United Kingdom"}));
    EXPECT_EQ(dialog->windowTitle(), "City Selector");

    // Both zones of France, sorted by name.
    ASSERT_TRUE(dialog->selectCountry("France"));
    EXPECT_EQ(column(*dialog->cityList()),
              (QStringList{"Lille", "Lyon", "Marseille", "Paris", "Saint-Denis"}));
    EXPECT_EQ(dialog->cityList()->model()->index(0, 1).data().toString(), "Hauts-de-France");

    ASSERT_TRUE(dialog->selectCountry("Antarctica"));
    EXPECT_TRUE(column(*dialog->cityList()).isEmpty());
}

TEST_F(CitySelectorTest, CitySelectorDoubleClickFlipsTheMarkAndRepaints) {
    auto dialog = open();
    ASSERT_TRUE(dialog->selectCountry("France"));
    doubleClickCity(*dialog, 0);
    EXPECT_TRUE(tables.cities[0].marked);
    EXPECT_EQ(repaints, 1);
    doubleClickCity(*dialog, 0);
    EXPECT_FALSE(tables.cities[0].marked);
    EXPECT_EQ(repaints, 2);

    // Cancel keeps the marks made by double-click.
    doubleClickCity(*dialog, 2);
    dialog->reject();
    EXPECT_TRUE(tables.cities[2].marked);
}

TEST_F(CitySelectorTest, CitySelectorOkMarksTheSelectedCity) {
    tables.cities[8].marked = true;
    auto dialog = open();
    ASSERT_TRUE(dialog->selectCountry("France"));
    ASSERT_TRUE(dialog->selectCity(8));
    dialog->okButton()->click();
    EXPECT_TRUE(tables.cities[8].marked); // set, not flipped
    EXPECT_FALSE(dialog->isVisible());

    // Nothing selected: OK only closes.
    auto second = open();
    second->accept();
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_FALSE(tables.cities[i].marked) << i;
    }
}

TEST_F(CitySelectorTest, CitySelectorKeySearchMovesToTheNextInitialAndWrapsOnce) {
    auto dialog = open();
    ASSERT_TRUE(dialog->selectCountry("France"));
    ListView* cities = dialog->cityList();
    cities->setFocus();
    ASSERT_TRUE(dialog->selectCity(6)); // Lille
    keyClick(cities, Qt::Key_L, "l");
    EXPECT_EQ(dialog->selectedCity(), 2u); // Lyon
    keyClick(cities, Qt::Key_L, "l");
    EXPECT_EQ(dialog->selectedCity(), 6u); // wrapped to Lille
    keyClick(cities, Qt::Key_S, "s");
    EXPECT_EQ(dialog->selectedCity(), 3u); // Saint-Denis
    keyClick(cities, Qt::Key_Q, "q");
    EXPECT_EQ(dialog->selectedCity(), 3u); // no match leaves it

    // In the country list the selection moves and the cities follow.
    keyClick(dialog->countryList(), Qt::Key_U, "u");
    EXPECT_EQ(dialog->selectedCountry(), "United Kingdom");
    EXPECT_EQ(column(*cities), (QStringList{"London", "Londonderry"}));
}

TEST_F(CitySelectorTest, CitySelectorSearchFoldsAccentsAndRanksMatches) {
    auto dialog = open();
    QLineEdit* search = dialog->searchField();
    search->setText("sao");
    EXPECT_EQ(dialog->listedCities(), std::vector<std::size_t>{5});
    search->setText("ZURICH");
    EXPECT_EQ(dialog->listedCities(), std::vector<std::size_t>{4});
    // Exact, then prefix, then substring, across countries.
    tables.cities[3].name = "Little London ";
    auto ranked = open();
    ranked->searchField()->setText("london");
    EXPECT_EQ(ranked->listedCities(), (std::vector<std::size_t>{1, 7, 3}));

    // Enter takes the first, and the country list follows it.
    search->setFocus();
    search->setText("lon");
    keyClick(search, Qt::Key_Return, "\r");
    EXPECT_EQ(dialog->selectedCity(), 1u);
    EXPECT_EQ(dialog->selectedCountry(), "United Kingdom");
    EXPECT_TRUE(dialog->isVisible()); // Enter is not OK

    // Clearing the search shows the country's cities again, sorted.
    search->clear();
    EXPECT_EQ(column(*dialog->cityList()), (QStringList{"London", "Londonderry"}));
}

TEST_F(CitySelectorTest, CitySelectorWithoutACountryListsEveryCityAndTheSearchFiltersThem) {
    auto dialog = open();
    EXPECT_EQ(dialog->selectedCountry(), QString());
    EXPECT_EQ(dialog->listedCities().size(), tables.cities.size());
    EXPECT_EQ(column(*dialog->cityList()).front(), "Lille"); // sorted by name
    dialog->searchField()->setText("lon");
    EXPECT_EQ(dialog->listedCities(), (std::vector<std::size_t>{1, 7}));
    dialog->searchField()->clear();
    EXPECT_EQ(dialog->listedCities().size(), tables.cities.size());
}

TEST_F(CitySelectorTest, CitySelectorShowsNamesWhole) {
    add("Paris", "Alice Springs Extended Name", "Northern Territory of a Long Name");
    add("Paris", "Batemans Bay", "New South Wales");
    {
        // A column the user narrowed (remembered when the dialog closes).
        auto narrowed = open();
        narrowed->cityList()->header()->resizeSection(0, 12);
        narrowed->hide();
    }
    auto dialog = open();
    for (const QString& country : {QString(), QStringLiteral("France")}) {
        if (!country.isEmpty()) {
            ASSERT_TRUE(dialog->selectCountry(country));
        }
        const ListView& list = *dialog->cityList();
        for (int row = 0; row < list.model()->rowCount(); ++row) {
            for (int column = 0; column < 2; ++column) {
                const QModelIndex index = list.model()->index(row, column);
                const QString text = index.data().toString();
                const int needed = list.fontMetrics().horizontalAdvance(text);
                EXPECT_GE(list.columnWidth(column), needed) << text.toStdString();
            }
        }
    }
}

TEST_F(CitySelectorTest, CitySelectorNamesTheCountriesInTheUsersLanguage) {
    Language german(QStringLiteral(CHRONVALE_BINARY_DIR), QString());
    ASSERT_TRUE(german.loadLanguage(std::string("de")));
    CitySelectorDialog::Context context;
    context.tables = &tables;
    context.language = &german;
    CitySelectorDialog dialog(std::move(context));
    dialog.show();
    EXPECT_EQ(column(*dialog.countryList()),
              (QStringList{"Antarktis", "Brasilien", "Frankreich", "Schweiz",
                           QString::fromUtf8("Vereinigtes Königreich")}));
    // Chosen by the tables' name or the one shown: the same country.
    ASSERT_TRUE(dialog.selectCountry("Schweiz"));
    EXPECT_EQ(dialog.selectedCountry(), "Switzerland");
    EXPECT_EQ(dialog.listedCities(), std::vector<std::size_t>{4});
    german.loadLanguage(std::nullopt);
}

} // namespace
} // namespace chronvale
