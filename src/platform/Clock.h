#pragma once

#include <atomic>
#include <memory>

namespace platform {

// Time as the app sees it: seconds since 1970-01-01 UTC, with sub-second precision.
// The run loop, timers, animations and date texts all read the current clock, so tests
// replace it with a ManualClock and advance time without sleeping.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double now() const = 0;

    // The clock in use (the system clock unless a test installed another).
    static std::shared_ptr<Clock> current();
    static void setCurrent(std::shared_ptr<Clock> clock);
};

class SystemClock : public Clock {
public:
    double now() const override;
};

class ManualClock : public Clock {
public:
    // 2026-01-05 08:00:00 UTC: a fixed, ordinary weekday morning.
    explicit ManualClock(double start = 1767600000.0) : now_(start) {}
    double now() const override { return now_.load(); }
    void set(double t) { now_.store(t); }
    void advance(double seconds) { now_.store(now_.load() + seconds); }

private:
    std::atomic<double> now_;
};

// Shorthand for Clock::current()->now().
double now();

}  // namespace platform
