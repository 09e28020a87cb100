#include "dialogs/city_selector/city_selector_dialog.h"

#include "cityinfo/city_facts.h"
#include "core/text_scan.h"
#include "geo/geo_tables.h"
#include "i18n/language.h"
#include "i18n/string_table.h"
#include "ui/icon_strip.h"
#include "ui/list_view.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

namespace chronvale {

namespace {

// The first letter of a text as the key search compares it: accents and case
// folded away, upper case.
// The widest a list grows to show its longest name (wider names scroll).
constexpr int kMaxListWidth = 440;

QChar firstKeyLetter(const QString& text) {
    const std::string folded = foldForSearch(text.left(4).toStdString());
    const QString letters = QString::fromStdString(folded);
    return letters.isEmpty() ? QChar() : letters.front().toUpper();
}

} // namespace

CitySelectorDialog::CitySelectorDialog(Context context, QWidget* parent)
    : Dialog(kDialogNumber, parent), context_(std::move(context)),
      citySearch_(context_.tables->cities) {
    const Language& language = *context_.language;
    setWindowTitle(language.getText(str::SelectorTitle));

    countryOfCity_.reserve(context_.tables->cities.size());
    for (const CityRecord& city : context_.tables->cities) {
        const TimeZoneRecord* zone = zoneOfCity(city, context_.tables->zones);
        countryOfCity_.push_back(zone != nullptr ? &zone->country : nullptr);
    }

    search_ = new QLineEdit(this);
    search_->setClearButtonEnabled(true);
    search_->installEventFilter(this);
    auto* searchLabel = new QLabel(language.getText(str::SelectorSearch), this);
    searchLabel->setBuddy(search_);

    countries_.setHorizontalHeaderLabels({language.getText(str::ColumnCountry)});
    cities_.setHorizontalHeaderLabels(
        {language.getText(str::ColumnCity), language.getText(str::ColumnState)});
    countryList_ = new ListView(kDialogNumber, kCountryList, this);
    cityList_ = new ListView(kDialogNumber, kCityList, this);
    countryList_->setSourceModel(&countries_);
    cityList_->setSourceModel(&cities_);
    for (ListView* list : {countryList_, cityList_}) {
        list->installEventFilter(this);
        list->setIconSize(QSize(IconStrip::kIconSize, IconStrip::kIconSize));
    }
    fillCountries();

    connect(countryList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { countryChanged(); });
    connect(cityList_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { cityChanged(); });
    connect(cityList_, &QAbstractItemView::doubleClicked, this,
            [this](const QModelIndex& index) { flipMark(cityList_->toSource(index)); });
    connect(search_, &QLineEdit::textChanged, this, &CitySelectorDialog::showSearch);

    ok_ = new QPushButton(language.getText(str::SelectorOk), this);
    auto* cancel = new QPushButton(language.getText(str::SelectorCancel), this);
    ok_->setDefault(true);
    cancel->setAutoDefault(false);
    connect(ok_, &QPushButton::clicked, this, &CitySelectorDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(search_, 1);
    auto* lists = new QHBoxLayout;
    lists->addWidget(countryList_, 1);
    lists->addWidget(cityList_, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addLayout(lists, 1);
    layout->addLayout(buttons);
    resize(680, 460);
    showCountry(QString()); // every city until a country is chosen
}

void CitySelectorDialog::fillCountries() {
    // One row per distinct country text, the first zone record of each.
    QSet<QString> seen;
    for (const TimeZoneRecord& zone : context_.tables->zones) {
        if (zone.country.empty()) {
            continue;
        }
        const QString name = QString::fromStdString(zone.country);
        if (seen.contains(name)) {
            continue;
        }
        seen.insert(name);
        auto* item = new QStandardItem(context_.language->countryName(zone.country));
        item->setData(name, CountryKeyRole);
        item->setEditable(false);
        countries_.appendRow(item);
    }
    countryList_->fitColumnsToContents(kMaxListWidth);
}

QString CitySelectorDialog::selectedCountry() const {
    const QModelIndex current = countryList_->currentSourceIndex();
    return current.isValid() ? countries_.itemFromIndex(current)->data(CountryKeyRole).toString()
                             : QString();
}

bool CitySelectorDialog::selectCountry(const QString& name) {
    for (int row = 0; row < countries_.rowCount(); ++row) {
        const QStandardItem* item = countries_.item(row);
        if (item->data(CountryKeyRole).toString() == name || item->text() == name) {
            countryList_->setCurrentSourceIndex(countries_.index(row, 0));
            return true;
        }
    }
    return false;
}

std::optional<std::size_t> CitySelectorDialog::selectedCity() const {
    const QModelIndex current = cityList_->currentSourceIndex();
    if (!current.isValid()) {
        return std::nullopt;
    }
    return cities_.item(current.row(), 0)->data(CityIndexRole).value<qulonglong>();
}

std::vector<std::size_t> CitySelectorDialog::listedCities() const {
    std::vector<std::size_t> listed;
    const QAbstractItemModel* shown = cityList_->model();
    for (int row = 0; row < shown->rowCount(); ++row) {
        const QModelIndex source = cityList_->toSource(shown->index(row, 0));
        listed.push_back(cities_.item(source.row(), 0)->data(CityIndexRole).value<qulonglong>());
    }
    return listed;
}

bool CitySelectorDialog::selectCity(std::size_t cityIndex) {
    for (int row = 0; row < cities_.rowCount(); ++row) {
        if (cities_.item(row, 0)->data(CityIndexRole).value<qulonglong>() == cityIndex) {
            cityList_->setCurrentSourceIndex(cities_.index(row, 0));
            return true;
        }
    }
    return false;
}

void CitySelectorDialog::updateMarkIcon(QStandardItem& item, bool marked) const {
    if (context_.icons != nullptr) {
        item.setIcon(context_.icons->icon(marked ? IconCitySelection : IconNearbyCity));
    }
}

void CitySelectorDialog::addCityRow(std::size_t index) {
    const CityRecord& city = context_.tables->cities[index];
    auto* name = new QStandardItem(QString::fromStdString(std::string(trimmedCityName(city.name))));
    auto* state = new QStandardItem(QString::fromStdString(city.state.value_or(std::string())));
    name->setEditable(false);
    state->setEditable(false);
    name->setData(QVariant::fromValue<qulonglong>(index), CityIndexRole);
    updateMarkIcon(*name, city.marked);
    cities_.appendRow({name, state});
}

void CitySelectorDialog::showCountry(const QString& country) {
    cities_.removeRows(0, cities_.rowCount());
    const std::string name = country.toStdString();
    const CityList& cities = context_.tables->cities;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        // No country chosen: every city.
        if (name.empty() ||
            (countryOfCity_[i] != nullptr && equalsIgnoringCase(*countryOfCity_[i], name))) {
            addCityRow(i);
        }
    }
    // The order the user chose by the headers.
    const QHeaderView* header = cityList_->header();
    cityList_->sortByColumn(header->sortIndicatorSection(), header->sortIndicatorOrder());
    cityList_->fitColumnsToContents(kMaxListWidth);
}

void CitySelectorDialog::showSearch(const QString& query) {
    if (query.trimmed().isEmpty()) {
        showCountry(selectedCountry());
        return;
    }
    cities_.removeRows(0, cities_.rowCount());
    // Best matches first: the search's order, not a column's.
    cityList_->sortProxy()->sort(-1);
    for (const CityMatch& match : citySearch_.find(query.toStdString())) {
        addCityRow(match.index);
    }
    cityList_->fitColumnsToContents(kMaxListWidth);
}

void CitySelectorDialog::countryChanged() {
    if (following_) {
        return;
    }
    // Choosing a country ends a search.
    if (!search_->text().isEmpty()) {
        const QSignalBlocker quiet(search_);
        search_->clear();
    }
    showCountry(selectedCountry());
}

void CitySelectorDialog::cityChanged() {
    const std::optional<std::size_t> city = selectedCity();
    if (!city || search_->text().trimmed().isEmpty() || countryOfCity_[*city] == nullptr) {
        return;
    }
    // The country list follows the city found.
    following_ = true;
    for (int row = 0; row < countries_.rowCount(); ++row) {
        if (equalsIgnoringCase(countries_.item(row)->data(CountryKeyRole).toString().toStdString(),
                               *countryOfCity_[*city])) {
            countryList_->setCurrentSourceIndex(countries_.index(row, 0));
            break;
        }
    }
    following_ = false;
}

void CitySelectorDialog::flipMark(const QModelIndex& sourceIndex) {
    if (!sourceIndex.isValid()) {
        return;
    }
    QStandardItem* item = cities_.item(sourceIndex.row(), 0);
    const std::size_t index = item->data(CityIndexRole).value<qulonglong>();
    const CityRecord& city = context_.tables->cities[index];
    if (context_.markCity) {
        context_.markCity(index, !city.marked);
    }
    updateMarkIcon(*item, city.marked);
    if (context_.citiesChanged) {
        context_.citiesChanged();
    }
}

void CitySelectorDialog::accept() {
    if (const std::optional<std::size_t> city = selectedCity()) {
        if (context_.markCity) {
            context_.markCity(*city, true);
        }
        if (context_.citiesChanged) {
            context_.citiesChanged();
        }
    }
    Dialog::accept();
}

void CitySelectorDialog::showEvent(QShowEvent* event) {
    for (ListView* list : {countryList_, cityList_}) {
        list->restoreColumns();
        list->fitColumnsToContents(kMaxListWidth);
    }
    Dialog::showEvent(event);
}

bool CitySelectorDialog::jumpToKey(ListView& list, QChar key) {
    const QAbstractItemModel* shown = list.model();
    const int rows = shown->rowCount();
    if (rows == 0) {
        return false;
    }
    const int current = list.currentIndex().isValid() ? list.currentIndex().row() : -1;
    // From the row after the current one, wrapping to the top once.
    for (int step = 1; step <= rows; ++step) {
        const int row = (current + step) % rows;
        if (row == current) {
            break;
        }
        if (firstKeyLetter(shown->index(row, 0).data().toString()) == key) {
            list.setCurrentIndex(shown->index(row, 0));
            list.scrollTo(shown->index(row, 0));
            return true;
        }
    }
    return false;
}

bool CitySelectorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return Dialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    if (watched == search_) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            // Enter takes the best match, and stays in the field.
            const QAbstractItemModel* shown = cityList_->model();
            if (!search_->text().trimmed().isEmpty() && shown->rowCount() > 0) {
                cityList_->setCurrentIndex(shown->index(0, 0));
                cityList_->scrollTo(shown->index(0, 0));
            }
            return true;
        }
        if (key->key() == Qt::Key_Down) {
            cityList_->setFocus();
            return true;
        }
        return Dialog::eventFilter(watched, event);
    }
    if (watched == countryList_ || watched == cityList_) {
        const QString text = key->text();
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && text.size() == 1 && text.front().isLetterOrNumber()) {
            jumpToKey(*static_cast<ListView*>(watched), firstKeyLetter(text));
            return true; // a key with no match leaves the selection
        }
    }
    return Dialog::eventFilter(watched, event);
}

} // namespace chronvale
