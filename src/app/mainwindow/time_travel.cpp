#include "app/mainwindow/time_travel.h"

#include "app/mainwindow/command_ids.h"

#include <QDateTime>

namespace chronvale {

namespace {

constexpr std::time_t kHour = 3600;
constexpr std::time_t kDay = 24 * kHour;

} // namespace

TimeTravel::TimeTravel(std::function<std::time_t()> clock, Hooks hooks)
    : shown_(std::move(clock)), hooks_(std::move(hooks)) {}

bool TimeTravel::runCommand(int command) {
    std::time_t step = 0;
    switch (command) {
    case cmd::BackToNow:
        backToNow();
        return true;
    case cmd::GoToTime:
        if (const std::optional<std::time_t> chosen = hooks_.askInstant(shown_.shown())) {
            goTo(*chosen);
        }
        return true;
    case cmd::HourBack:
        step = -kHour;
        break;
    case cmd::HourForward:
        step = kHour;
        break;
    case cmd::DayBack:
        step = -kDay;
        break;
    case cmd::DayForward:
        step = kDay;
        break;
    default:
        return false;
    }
    goTo(shown_.shown() + step);
    return true;
}

bool TimeTravel::comeBackFor(int command) {
    // The cloud frames are of the past hours only: asking for them comes back to now.
    if (!shown_.away() || (command != cmd::Clouds && command != cmd::NextFrame &&
                           command != cmd::PreviousFrame && command != cmd::Play)) {
        return false;
    }
    travelTo(std::nullopt);
    // Coming back may have turned the clouds on again.
    return command == cmd::Clouds && hooks_.switches().clouds;
}

bool TimeTravel::goTo(std::time_t instant) {
    if (!ShownInstant::inRange(instant)) {
        return false;
    }
    travelTo(instant);
    return true;
}

void TimeTravel::backToNow() {
    if (shown_.away()) {
        travelTo(std::nullopt);
    }
}

void TimeTravel::travelTo(std::optional<std::time_t> instant) {
    const bool wasAway = shown_.away();
    if (!wasAway && instant) {
        // Leaving now: the clouds go off (their frames are of the past hours).
        const DisplaySwitches& on = hooks_.switches();
        cloudsBefore_ = on.clouds;
        shadowBefore_ = on.sunShadow;
        if (on.clouds) {
            hooks_.cloudsOff();
        }
    }
    if (instant) {
        shown_.goTo(*instant);
    } else {
        shown_.backToNow();
    }
    hooks_.compose();
    if (wasAway && !instant && cloudsBefore_ && !hooks_.switches().clouds) {
        // Back at now: the clouds as they were (Clouds turns the shadow off; put
        // it back when it was on beside them).
        cloudsBefore_ = false;
        hooks_.cloudsOn();
        if (shadowBefore_ && !hooks_.switches().sunShadow) {
            hooks_.shadowOn();
        }
    }
    if (wasAway && !instant) {
        hooks_.backAtNow();
    }
    showStatus();
    hooks_.travelled();
}

bool TimeTravel::cloudImageArrives() {
    if (shown_.away()) {
        // An image of now, arriving while another instant is shown (a download
        // begun before, or the hourly check): it shows when now comes back.
        cloudsBefore_ = true;
        return false;
    }
    return true;
}

DisplaySwitches TimeTravel::atNow(DisplaySwitches shown) const {
    // Away from now the clouds are off only for the travel.
    if (shown_.away() && cloudsBefore_) {
        shown.clouds = true;
        shown.sunShadow = shadowBefore_;
    }
    return shown;
}

QString TimeTravel::statusText() const {
    if (!shown_.away()) {
        return QString();
    }
    const QDateTime local = QDateTime::fromSecsSinceEpoch(shown_.shown()).toLocalTime();
    const QString when = local.toString(QStringLiteral("yyyy-MM-dd HH:mm t"));
    return hooks_.showingText().replace(QStringLiteral("%s"), when);
}

void TimeTravel::showStatus() const {
    hooks_.status(statusText());
}

} // namespace chronvale
