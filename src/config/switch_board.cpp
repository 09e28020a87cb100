#include "config/switch_board.h"

namespace chronvale {

bool SwitchBoard::set(const DisplaySwitches& next) {
    if (next == value_) {
        return false;
    }
    value_ = next;
    // A listener may add another while being told: walk by index, and call a copy
    // (adding may move the stored one while it runs).
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        const Listener listener = listeners_[i];
        listener(value_);
    }
    return true;
}

bool SwitchBoard::change(const std::function<void(DisplaySwitches&)>& change) {
    DisplaySwitches next = value_;
    change(next);
    return set(next);
}

} // namespace chronvale
