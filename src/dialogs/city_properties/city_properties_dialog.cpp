#include "dialogs/city_properties/city_properties_dialog.h"

#include "cityinfo/city_facts.h"
#include "desktop/links.h"
#include "geo/geo_tables.h"
#include "i18n/language.h"
#include "i18n/string_table.h"
#include "render/local_clock.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace chronvale {

namespace {

// Control numbers of the dialog's fields and buttons.
enum Control : int {
    FieldCity = 1009,
    FieldCountry = 1010,
    FieldSunset = 1011,
    FieldSunrise = 1012,
    FieldLatitude = 1013,
    FieldLongitude = 1014,
    FieldDiallingCode = 1015,
    FieldEnds = 1016,
    FieldStarted = 1017,
    FieldAreaCodes = 1019,
    FieldLocalTime = 1020,
    FieldTimeZone = 1040,
    ButtonOk = 1,
    ButtonMark = 1018,
    ButtonHotels = 1035,
    ButtonWeather = 1036,
    ButtonBooks = 1037,
    ButtonTerra = 1039,
};

} // namespace

std::string zoneFieldText(const CityFacts& facts) {
    std::string text = facts.zoneName;
    if (!facts.abbreviation.empty()) {
        text += (text.empty() ? "" : ", ") + facts.abbreviation;
    }
    return text.empty() ? facts.utcOffset : text + " (" + facts.utcOffset + ")";
}

CityPropertiesDialog::CityPropertiesDialog(Context context, QWidget* parent)
    : Dialog(kDialogNumber, parent), context_(std::move(context)) {
    const Language& language = *context_.language;
    const auto text = [&](int id) { return language.getText(id); };
    setWindowTitle(text(str::PropertiesTitle));

    auto* grid = new QGridLayout;
    const auto label = [&](int id, QWidget* buddy) {
        auto* l = new QLabel(text(id), this);
        l->setBuddy(buddy);
        return l;
    };
    QLineEdit* city = addField(FieldCity);
    QLineEdit* areaCodes = addField(FieldAreaCodes);
    QLineEdit* country = addField(FieldCountry);
    QLineEdit* dialling = addField(FieldDiallingCode);
    QLineEdit* localTime = addField(FieldLocalTime);
    QLineEdit* timeZone = addField(FieldTimeZone);
    QLineEdit* sunrise = addField(FieldSunrise);
    QLineEdit* sunset = addField(FieldSunset);
    QLineEdit* latitude = addField(FieldLatitude);
    QLineEdit* longitude = addField(FieldLongitude);
    QLineEdit* started = addField(FieldStarted);
    QLineEdit* ends = addField(FieldEnds);
    // The codes are short: small fields right of the names.
    areaCodes->setMaximumWidth(fontMetrics().averageCharWidth() * 14);
    dialling->setMaximumWidth(fontMetrics().averageCharWidth() * 14);

    grid->addWidget(label(str::PropertiesCity, city), 0, 0);
    grid->addWidget(city, 0, 1, 1, 3);
    grid->addWidget(label(str::PropertiesTel, areaCodes), 0, 4);
    grid->addWidget(areaCodes, 0, 5);
    grid->addWidget(label(str::PropertiesCountry, country), 1, 0);
    grid->addWidget(country, 1, 1, 1, 4);
    grid->addWidget(dialling, 1, 5);
    grid->addWidget(label(str::PropertiesLocalTime, localTime), 2, 0);
    grid->addWidget(localTime, 2, 1, 1, 5);
    grid->addWidget(label(str::PropertiesTimeZone, timeZone), 3, 0);
    grid->addWidget(timeZone, 3, 1, 1, 5);
    grid->addWidget(label(str::PropertiesSunrise, sunrise), 4, 0);
    grid->addWidget(sunrise, 4, 1);
    grid->addWidget(label(str::PropertiesSunset, sunset), 4, 2);
    grid->addWidget(sunset, 4, 3, 1, 3);
    grid->addWidget(label(str::PropertiesLatitude, latitude), 5, 0);
    grid->addWidget(latitude, 5, 1);
    grid->addWidget(label(str::PropertiesLongitude, longitude), 5, 2);
    grid->addWidget(longitude, 5, 3, 1, 3);

    auto* saving = new QGroupBox(text(str::PropertiesDaylightSavings), this);
    auto* savingGrid = new QGridLayout(saving);
    savingGrid->addWidget(label(str::PropertiesStarted, started), 0, 0);
    savingGrid->addWidget(started, 0, 1);
    savingGrid->addWidget(label(str::PropertiesEnds, ends), 0, 2);
    savingGrid->addWidget(ends, 0, 3);

    auto* buttons = new QHBoxLayout;
    const auto addButton = [&](int control, int id) {
        auto* b = new QPushButton(text(id), this);
        b->setAutoDefault(false);
        buttons_.emplace_back(control, b);
        buttons->addWidget(b);
        return b;
    };
    connect(addButton(ButtonMark, str::PropertiesMark), &QPushButton::clicked, this,
            &CityPropertiesDialog::flipMark);
    connect(addButton(ButtonHotels, str::PropertiesHotels), &QPushButton::clicked, this,
            [this] { openLink("hotels"); });
    connect(addButton(ButtonWeather, str::PropertiesWeather), &QPushButton::clicked, this,
            [this] { openLink("weather"); });
    connect(addButton(ButtonBooks, str::PropertiesBooks), &QPushButton::clicked, this,
            [this] { openLink("books"); });
    connect(addButton(ButtonTerra, str::PropertiesTerra), &QPushButton::clicked, this,
            [this] { openLink("sat"); });
    buttons->addStretch(1);
    QPushButton* ok = addButton(ButtonOk, str::PropertiesOk);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(saving);
    layout->addLayout(buttons);
}

QLineEdit* CityPropertiesDialog::addField(int control) {
    auto* field = new QLineEdit(this);
    field->setReadOnly(true);
    fields_.emplace_back(control, field);
    return field;
}

QString CityPropertiesDialog::fieldText(int control) const {
    for (const auto& [id, field] : fields_) {
        if (id == control) {
            return field->text();
        }
    }
    return {};
}

QPushButton* CityPropertiesDialog::button(int control) const {
    for (const auto& [id, b] : buttons_) {
        if (id == control) {
            return b;
        }
    }
    return nullptr;
}

void CityPropertiesDialog::setCity(std::size_t cityIndex, float zoneHours) {
    if (cityIndex >= context_.tables->cities.size()) {
        return;
    }
    cityIndex_ = cityIndex;
    zoneHours_ = zoneHours;
    fill();
}

void CityPropertiesDialog::refill() {
    if (cityIndex_) {
        fill();
    }
}

void CityPropertiesDialog::fill() {
    const CityRecord& city = context_.tables->cities[*cityIndex_];
    CityFactsTexts texts;
    texts.polarDay = context_.language->getText(str::PropertiesPolarDay).toStdString();
    texts.polarNight = context_.language->getText(str::PropertiesPolarNight).toStdString();
    texts.datePattern = context_.datePattern;
    const std::time_t now = context_.now ? context_.now() : std::time(nullptr);
    const CityFacts facts =
        context_.clock != nullptr
            ? cityFacts(city, *context_.tables, *context_.clock, now, texts, zoneHours_)
            : cityFacts(city, *context_.tables, zoneHours_, now, texts);

    // One repaint for all fields.
    setUpdatesEnabled(false);
    const auto set = [this](int control, const std::string& value) {
        for (const auto& [id, field] : fields_) {
            if (id == control) {
                field->setText(QString::fromStdString(value));
                field->setCursorPosition(0);
            }
        }
    };
    setWindowTitle(QString::fromStdString(facts.name));
    set(FieldCity, facts.name);
    set(FieldCountry, facts.country);
    set(FieldDiallingCode, facts.diallingCode);
    set(FieldAreaCodes, facts.areaCodes);
    set(FieldLocalTime, facts.localTime);
    set(FieldTimeZone, zoneFieldText(facts));
    set(FieldSunrise, facts.sunrise);
    set(FieldSunset, facts.sunset);
    set(FieldLatitude, facts.latitude);
    set(FieldLongitude, facts.longitude);
    set(FieldStarted, facts.dstStarted);
    set(FieldEnds, facts.dstEnds);
    setUpdatesEnabled(true);
}

void CityPropertiesDialog::flipMark() {
    if (!cityIndex_) {
        return;
    }
    const CityRecord& city = context_.tables->cities[*cityIndex_];
    if (context_.markCity) {
        context_.markCity(*cityIndex_, !city.marked);
    }
    if (context_.citiesChanged) {
        context_.citiesChanged();
    }
}

void CityPropertiesDialog::openLink(const char* name) {
    if (!cityIndex_ || context_.links == nullptr) {
        return;
    }
    const CityRecord& city = context_.tables->cities[*cityIndex_];
    const std::time_t now = context_.now ? context_.now() : std::time(nullptr);
    if (std::string_view(name) == "weather") {
        context_.links->openWeather(&city, now);
    } else {
        context_.links->openLink(name, &city, now);
    }
}

} // namespace chronvale
