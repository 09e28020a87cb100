#pragma once
// When the mirror pulls a source next: on the source's renewal time after a
// success, and with back-off (first retry, doubled each time up to the longest)
// after failures.

#include <chrono>
#include <optional>

namespace chronvale::imaged {

class PullSchedule {
public:
    using Clock = std::chrono::system_clock;

    PullSchedule(std::chrono::seconds period, std::chrono::seconds firstRetry,
                 std::chrono::seconds longestRetry);

    // Due at once until the first pull.
    Clock::time_point next() const { return next_; }
    int failures() const { return failures_; }

    // A pull delivered or confirmed the copy held. `renewed` is when the source
    // last renewed what it serves (its Last-Modified): the next pull is one
    // period after it, plus a margin that lets the source publish, but never
    // sooner than a twelfth of the period (the source is late) nor later than one
    // period from now. Without it, the next pull is one period from now.
    void succeeded(Clock::time_point now, std::optional<Clock::time_point> renewed = {});

    // A pull failed: the next is after the back-off, which it returns.
    std::chrono::seconds failed(Clock::time_point now);

private:
    std::chrono::seconds period_;
    std::chrono::seconds firstRetry_;
    std::chrono::seconds longestRetry_;
    Clock::time_point next_{};
    int failures_ = 0;
};

} // namespace chronvale::imaged
