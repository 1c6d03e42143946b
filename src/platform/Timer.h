#pragma once

#include <atomic>
#include <functional>
#include <memory>

namespace platform {

class RunLoop;

// A one-shot or repeating timer on the main run loop. Holding the shared pointer is
// optional: the run loop keeps a scheduled timer alive until it is invalidated or,
// for a one-shot timer, has fired.
class Timer : public std::enable_shared_from_this<Timer> {
public:
    using Action = std::function<void(Timer&)>;

    Timer(double interval, bool repeats, Action action);

    void invalidate();
    bool isValid() const { return valid_; }
    double interval() const { return interval_; }
    bool repeats() const { return repeats_; }
    double fireDate() const { return fireDate_; }
    // Runs the action now, as the run loop would; a one-shot timer is then invalid.
    void fire();

private:
    friend class RunLoop;
    double interval_;
    bool repeats_;
    Action action_;
    double fireDate_ = 0;
    std::atomic<bool> valid_{true};
};

using TimerRef = std::shared_ptr<Timer>;

}  // namespace platform
