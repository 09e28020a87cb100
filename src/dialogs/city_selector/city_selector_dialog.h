#pragma once
// The city selector (103): the countries on the left (named in the user's
// language), the selected country's cities on the right (marked ones with the
// selection icon; every city while no country is chosen), and a search field
// above them that finds cities of every country by name. The columns are kept
// wide enough for the longest name listed. Double-clicking a city
// flips its mark at once; OK marks the selected city and closes; Cancel and the
// close box keep the marks made so far. A letter or digit typed in a list moves
// to the next row that begins with it, wrapping once.

#include "cityinfo/city_search.h"
#include "ui/dialog.h"

#include <QStandardItemModel>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QLineEdit;
class QPushButton;

namespace chronvale {

class IconStrip;
class Language;
class ListView;
struct GeoTables;

class CitySelectorDialog : public Dialog {
    Q_OBJECT
public:
    static constexpr int kDialogNumber = 103;
    static constexpr int kCountryList = 1014;
    static constexpr int kCityList = 1015;
    // The role of a city row's first column that holds its index in the city list.
    static constexpr int CityIndexRole = Qt::UserRole + 1;
    // The role of a country row that holds the tables' (English) name.
    static constexpr int CountryKeyRole = Qt::UserRole + 2;

    struct Context {
        const GeoTables* tables = nullptr; // must outlive the dialog
        // Marks or unmarks a city of tables->cities; citiesChanged follows.
        std::function<void(std::size_t city, bool marked)> markCity;
        const Language* language = nullptr;
        const IconStrip* icons = nullptr;
        // A mark changed: the main window repaints the map at once.
        std::function<void()> citiesChanged;
    };

    explicit CitySelectorDialog(Context context, QWidget* parent = nullptr);

    ListView* countryList() const { return countryList_; }
    ListView* cityList() const { return cityList_; }
    QLineEdit* searchField() const { return search_; }
    QPushButton* okButton() const { return ok_; }

    // The country shown selected, by the tables' (English) name; empty when none.
    QString selectedCountry() const;
    // Selects the country by the tables' name or the name shown; false when it
    // is not listed.
    bool selectCountry(const QString& name);
    // The city of the selected row of the city list, none when no row is selected.
    std::optional<std::size_t> selectedCity() const;
    // The cities listed, in the order shown.
    std::vector<std::size_t> listedCities() const;
    // Selects the listed city; false when it is not listed.
    bool selectCity(std::size_t cityIndex);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The remembered column widths first, then widened where a name needs it.
    void showEvent(QShowEvent* event) override;

private:
    void fillCountries();
    void showCountry(const QString& country);
    void showSearch(const QString& query);
    void addCityRow(std::size_t index);
    void countryChanged();
    void cityChanged();
    void flipMark(const QModelIndex& sourceIndex);
    void updateMarkIcon(QStandardItem& item, bool marked) const;
    bool jumpToKey(ListView& list, QChar key);

    Context context_;
    CitySearch citySearch_;
    std::vector<const std::string*> countryOfCity_; // by city, none without a zone
    QStandardItemModel countries_;
    QStandardItemModel cities_;
    QLineEdit* search_ = nullptr;
    ListView* countryList_ = nullptr;
    ListView* cityList_ = nullptr;
    QPushButton* ok_ = nullptr;
    bool following_ = false; // the country list follows a searched city: no refill
};

} // namespace chronvale
