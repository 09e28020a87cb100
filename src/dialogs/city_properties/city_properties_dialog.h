#pragma once
// The city properties dialog (104): everything the program knows about one city
// (name, country and dialling codes, local time, sunrise and sunset, position,
// daylight-saving period), its mark, and four web pages about it. The fields are
// filled once when the dialog is given a city; they do not tick.

#include "ui/dialog.h"

#include <QPointer>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QLineEdit;
class QPushButton;
class QGroupBox;

namespace chronvale {

class Language;
class LinkService;
struct GeoTables;
class LocalClock;

struct CityFacts;

// What the time zone field shows: "Europe/London, BST (UTC+01:00)"; on the
// tables' fall-back only the offset.
std::string zoneFieldText(const CityFacts& facts);

class CityPropertiesDialog : public Dialog {
    Q_OBJECT
public:
    static constexpr int kDialogNumber = 104;

    // What the dialog needs from the program. The tables (their city list) and
    // the language must outlive the dialog; the link service may be none (the
    // link buttons then do nothing).
    struct Context {
        const GeoTables* tables = nullptr;
        // Marks or unmarks a city of tables->cities (the dialog changes nothing
        // itself); citiesChanged follows.
        std::function<void(std::size_t city, bool marked)> markCity;
        const Language* language = nullptr;
        LinkService* links = nullptr;
        std::function<std::time_t()> now;
        // The main window repaints the map at once (a mark changed).
        std::function<void()> citiesChanged;
        // How the user's locale writes a date (geo/date_pattern.h).
        std::string datePattern = "MM/dd/yy";
        // The local times; none: the shipped tables with the point's offset.
        const LocalClock* clock = nullptr;
    };

    explicit CityPropertiesDialog(Context context, QWidget* parent = nullptr);

    // Shows the city (its index in the city list) with the standard offset from
    // the time-zone image at the point the user chose: title and every field are
    // filled again, once, from the clock of now. An index outside the list
    // empties nothing and fills nothing.
    void setCity(std::size_t cityIndex, float zoneHours);
    std::optional<std::size_t> cityIndex() const { return cityIndex_; }
    // Fills the fields of the city shown again (the source of local times
    // changed); nothing without a city.
    void refill();

    // The fields, for tests: by their control number (1009 city, 1010 country,
    // 1015 dialling code, 1019 area codes, 1020 local time, 1012 sunrise, 1011
    // sunset, 1013 latitude, 1014 longitude, 1017 started, 1016 ends, 1040 time
    // zone).
    QString fieldText(int control) const;
    // The buttons by control number (1 OK, 1018 Mark, 1035 Hotels, 1036
    // Weather, 1037 Books, 1039 Terra).
    QPushButton* button(int control) const;

private:
    QLineEdit* addField(int control);
    void fill();
    void flipMark();
    void openLink(const char* name);

    Context context_;
    std::optional<std::size_t> cityIndex_;
    float zoneHours_ = 0.0f;
    std::vector<std::pair<int, QLineEdit*>> fields_;
    std::vector<std::pair<int, QPushButton*>> buttons_;
};

} // namespace chronvale
