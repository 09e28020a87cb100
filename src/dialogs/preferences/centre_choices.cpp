#include "dialogs/preferences/centre_choices.h"

#include <cmath>

namespace chronvale {

namespace {

// The settings file keeps a longitude to four decimals.
constexpr float kSameLongitude = 0.00051f;

std::string listName(const CityRecord& city) {
    std::string name = city.name;
    while (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    if (city.state && !city.state->empty()) {
        name += " (" + *city.state + ")";
    }
    return name;
}

} // namespace

std::vector<CentreChoice> centreChoices(const CityList& cities) {
    std::vector<CentreChoice> choices{{CentreChoice::Kind::Greenwich, {}, 0.0f},
                                      {CentreChoice::Kind::DateLine, {}, 180.0f}};
    for (const CityRecord& city : cities) {
        if (city.marked) {
            choices.push_back({CentreChoice::Kind::City, listName(city), city.longitude});
        }
    }
    return choices;
}

std::optional<std::size_t> centreChoiceOf(float longitude,
                                          const std::vector<CentreChoice>& choices) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        const CentreChoice& choice = choices[i];
        switch (choice.kind) {
        case CentreChoice::Kind::Greenwich:
            if (longitude == 0.0f) {
                return i;
            }
            break;
        case CentreChoice::Kind::DateLine:
            if (std::fabs(longitude) == 180.0f) {
                return i;
            }
            break;
        case CentreChoice::Kind::City:
        case CentreChoice::Kind::Other:
            if (std::fabs(longitude - choice.longitude) < kSameLongitude) {
                return i;
            }
            break;
        }
    }
    return std::nullopt;
}

} // namespace chronvale
