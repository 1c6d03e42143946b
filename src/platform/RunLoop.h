#pragma once

#include "platform/Timer.h"

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

// The main run loop: everything visible happens here. Other threads hand work to it
// with post() (or dispatchMain); timers fire by the current Clock, so a test with a
// ManualClock moves time with advance() and never sleeps.
class RunLoop {
public:
    static RunLoop& main();

    // Thread-safe: queue a task for the loop's thread.
    void post(std::function<void()> task);

    // Schedules a timer that first fires `interval` seconds from now.
    TimerRef scheduleTimer(double interval, bool repeats, Timer::Action action);
    // One-shot: runs `task` after `delay` seconds (0 = next turn of the loop).
    TimerRef performAfter(double delay, std::function<void()> task);

    // Runs the queued tasks and the timers that are due; never waits. Returns true when
    // it ran anything.
    bool pump();
    // Runs what is due, waiting up to `maxWait` real seconds for something to do.
    bool runOnce(double maxWait);
    // Turns the loop until `condition` holds or `timeout` real seconds have passed;
    // answers the condition's last value.
    bool runUntil(const std::function<bool()>& condition, double timeout = 10.0);
    // With a ManualClock installed: moves time forward by `seconds`, firing every timer
    // that falls due on the way at its own time, in order. With the system clock it turns
    // the loop for that long.
    void advance(double seconds);

    // Runs until stop() (the app's own loop when no window host drives it).
    void run();
    void stop();

    // Seconds until the next timer is due (negative: one is overdue); a large number
    // when none is scheduled. The window host uses it to sleep between frames.
    double secondsUntilNextTimer();
    bool hasPendingTasks();

    bool isLoopThread() const { return std::this_thread::get_id() == thread_; }
    // Drops every task and timer and adopts the calling thread (tests start clean).
    void reset();

private:
    RunLoop();
    void addTimer(const TimerRef& timer);
    bool runDueTimers(double now);
    bool runTasks();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> tasks_;
    std::vector<TimerRef> timers_;
    std::thread::id thread_;
    bool stopped_ = false;
};

// Hands `task` to the main run loop.
void dispatchMain(std::function<void()> task);
bool isMainThread();

}  // namespace platform
