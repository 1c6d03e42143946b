#include "platform/Timer.h"

namespace platform {

Timer::Timer(double interval, bool repeats, Action action)
    : interval_(interval), repeats_(repeats), action_(std::move(action)) {}

void Timer::invalidate() {
    valid_ = false;
}

void Timer::fire() {
    if (!valid_) return;
    // Keep the action alive while it runs: it may invalidate its own timer.
    auto self = shared_from_this();
    Action action = action_;
    if (!repeats_) valid_ = false;
    if (action) action(*this);
}

}  // namespace platform
