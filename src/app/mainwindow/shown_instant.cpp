#include "app/mainwindow/shown_instant.h"

namespace chronvale {

bool ShownInstant::inRange(std::time_t instant) {
    std::tm utc{};
    if (::gmtime_r(&instant, &utc) == nullptr) {
        return false;
    }
    const int year = utc.tm_year + 1900;
    return year >= FirstYear && year <= LastYear;
}

bool ShownInstant::goTo(std::time_t instant) {
    if (!inRange(instant)) {
        return false;
    }
    travelled_ = instant;
    return true;
}

} // namespace chronvale
