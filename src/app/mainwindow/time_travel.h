#pragma once
// The window at another instant: the shown instant and the commands that move it
// (the hour and day steps, Go to Time, Now), what leaving now and coming back does
// to the switches, and the status text while away.
//
// The cloud frames are of the past hours only, so the clouds go off when the map
// leaves now and come back with it; an image of now that arrives meanwhile is kept
// for now. Nothing of the travel is stored: the switches are saved as they will be
// at now. The unit acts on the window only through its hooks, so that its rules
// run without one.

#include "app/mainwindow/shown_instant.h"
#include "render/display_switches.h"

#include <QString>
#include <ctime>
#include <functional>
#include <optional>

namespace chronvale {

class TimeTravel {
public:
    struct Hooks {
        std::function<const DisplaySwitches&()> switches; // as shown now
        std::function<void()> cloudsOff; // halt the animation and switch the clouds off
        std::function<void()> compose;   // compose the lit map for the shown instant
        std::function<void()> cloudsOn;  // the Clouds command (which turns the shadow off)
        std::function<void()> shadowOn;  // switch the shadow on and compose
        std::function<void()> backAtNow; // renew what was not renewed while away
        std::function<void()> travelled; // after every move (the toolbar buttons)
        std::function<void(const QString&)> status; // the status bar's first field
        std::function<QString()> showingText;       // "Showing %s" in the current language
        // Go to Time: asks for an instant, starting at the shown one; none cancels.
        std::function<std::optional<std::time_t>(std::time_t shown)> askInstant;
    };

    TimeTravel(std::function<std::time_t()> clock, Hooks hooks);

    const ShownInstant& instant() const { return shown_; }
    bool away() const { return shown_.away(); }
    std::time_t shown() const { return shown_.shown(); }

    // Runs BackToNow, GoToTime and the hour and day steps (a step out of the years
    // that can be shown does nothing); false for every other command.
    bool runCommand(int command);
    // Before another command: those of the clouds come back to now first. True
    // when that already did what the command asks (Clouds, turned on again).
    bool comeBackFor(int command);

    // Goes to `instant`; false (and nothing changes) outside the years shown.
    bool goTo(std::time_t instant);
    // Back to now (nothing when at now already).
    void backToNow();

    // A cloud image of now arrived: true when it shows at once; while away it
    // is kept for now and the clouds come on when now comes back.
    bool cloudImageArrives();

    // The switches as they will be at now, from those shown: what is stored.
    DisplaySwitches atNow(DisplaySwitches shown) const;

    // Empty at now; away, the showing text with %s the shown instant in local time.
    QString statusText() const;
    void showStatus() const;

private:
    void travelTo(std::optional<std::time_t> instant);

    ShownInstant shown_;
    Hooks hooks_;
    // The clouds (and the shadow beside them) were on when the map left now.
    bool cloudsBefore_ = false;
    bool shadowBefore_ = false;
};

} // namespace chronvale
