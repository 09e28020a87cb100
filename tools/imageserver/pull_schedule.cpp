#include "pull_schedule.h"

#include <algorithm>

namespace chronvale::imaged {

using std::chrono::seconds;

PullSchedule::PullSchedule(seconds period, seconds firstRetry, seconds longestRetry)
    : period_(std::max(period, seconds(1))), firstRetry_(std::max(firstRetry, seconds(1))),
      longestRetry_(std::max(longestRetry, firstRetry_)) {}

void PullSchedule::succeeded(Clock::time_point now, std::optional<Clock::time_point> renewed) {
    failures_ = 0;
    if (!renewed) {
        next_ = now + period_;
        return;
    }
    const seconds recheck = std::max(period_ / 12, seconds(1));
    const seconds margin = period_ / 36;
    const Clock::time_point due = *renewed + period_ + margin;
    next_ = std::clamp(due, now + recheck, now + period_);
}

seconds PullSchedule::failed(Clock::time_point now) {
    seconds delay = longestRetry_;
    if (failures_ < 30) {
        delay = std::min(longestRetry_, firstRetry_ * (int64_t{1} << failures_));
    }
    ++failures_;
    next_ = now + delay;
    return delay;
}

} // namespace chronvale::imaged
