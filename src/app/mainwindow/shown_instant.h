#pragma once
// The instant the map shows: now, or another instant the user went to. While away
// from now the instant stands still; the clock itself (the title clock, the cloud
// frames' ages, the links) goes on reading the real time.

#include <ctime>
#include <functional>
#include <optional>

namespace chronvale {

class ShownInstant {
public:
    // The sun and moon are computed for these years only; travel stays within them.
    static constexpr int FirstYear = 1950;
    static constexpr int LastYear = 2050;

    explicit ShownInstant(std::function<std::time_t()> clock) : clock_(std::move(clock)) {}

    std::time_t now() const { return clock_(); }
    // The travelled instant, or now.
    std::time_t shown() const { return travelled_.value_or(clock_()); }
    bool away() const { return travelled_.has_value(); }

    // Goes to `instant`; false (and nothing changes) outside FirstYear ... LastYear.
    bool goTo(std::time_t instant);
    void backToNow() { travelled_.reset(); }

    // Whether an instant lies within FirstYear ... LastYear (UTC).
    static bool inRange(std::time_t instant);

private:
    std::function<std::time_t()> clock_;
    std::optional<std::time_t> travelled_;
};

} // namespace chronvale
