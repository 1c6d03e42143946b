#include "platform/RunLoop.h"

#include "platform/Clock.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace platform {

namespace {
double realNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}
constexpr double kNoTimer = 1e9;
}  // namespace

RunLoop::RunLoop() : thread_(std::this_thread::get_id()) {}

RunLoop& RunLoop::main() {
    static RunLoop loop;
    return loop;
}

void RunLoop::post(std::function<void()> task) {
    {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }
    wake_.notify_all();
}

TimerRef RunLoop::scheduleTimer(double interval, bool repeats, Timer::Action action) {
    auto timer = std::make_shared<Timer>(interval, repeats, std::move(action));
    timer->fireDate_ = now() + std::max(0.0, interval);
    addTimer(timer);
    return timer;
}

TimerRef RunLoop::performAfter(double delay, std::function<void()> task) {
    return scheduleTimer(delay, false, [task = std::move(task)](Timer&) { task(); });
}

void RunLoop::addTimer(const TimerRef& timer) {
    {
        std::lock_guard lock(mutex_);
        timers_.push_back(timer);
    }
    wake_.notify_all();
}

bool RunLoop::runTasks() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(tasks_);
    }
    for (auto& task : batch) task();
    return !batch.empty();
}

bool RunLoop::runDueTimers(double t) {
    // Fire in fire-date order; a timer that is due again (repeating) waits for the next call.
    std::vector<TimerRef> due;
    {
        std::lock_guard lock(mutex_);
        std::erase_if(timers_, [](const TimerRef& x) { return !x->isValid(); });
        for (auto& timer : timers_)
            if (timer->fireDate_ <= t) due.push_back(timer);
    }
    std::stable_sort(due.begin(), due.end(),
                     [](const TimerRef& a, const TimerRef& b) { return a->fireDate_ < b->fireDate_; });
    for (auto& timer : due) {
        if (!timer->isValid()) continue;
        if (timer->repeats_) {
            // Missed firings are skipped, not replayed.
            double interval = std::max(timer->interval_, 1e-4);
            double next = timer->fireDate_ + interval;
            if (next <= t) next = t + interval;
            timer->fireDate_ = next;
        }
        timer->fire();
    }
    if (!due.empty()) {
        std::lock_guard lock(mutex_);
        std::erase_if(timers_, [](const TimerRef& x) { return !x->isValid(); });
    }
    return !due.empty();
}

bool RunLoop::pump() {
    bool ran = runTasks();
    ran |= runDueTimers(now());
    ran |= runTasks();
    return ran;
}

double RunLoop::secondsUntilNextTimer() {
    std::lock_guard lock(mutex_);
    double next = std::numeric_limits<double>::infinity();
    for (auto& timer : timers_)
        if (timer->isValid()) next = std::min(next, timer->fireDate_);
    return std::isinf(next) ? kNoTimer : next - now();
}

bool RunLoop::hasPendingTasks() {
    std::lock_guard lock(mutex_);
    return !tasks_.empty();
}

bool RunLoop::runOnce(double maxWait) {
    if (pump()) return true;
    bool manual = dynamic_cast<ManualClock*>(Clock::current().get()) != nullptr;
    double wait = maxWait;
    if (!manual) wait = std::min(wait, std::max(0.0, secondsUntilNextTimer()));
    if (wait > 0) {
        std::unique_lock lock(mutex_);
        wake_.wait_for(lock, std::chrono::duration<double>(wait),
                       [this] { return !tasks_.empty() || stopped_; });
    }
    return pump();
}

bool RunLoop::runUntil(const std::function<bool()>& condition, double timeout) {
    double deadline = realNow() + timeout;
    while (!condition()) {
        double left = deadline - realNow();
        if (left <= 0) return condition();
        runOnce(std::min(left, 0.05));
    }
    return true;
}

void RunLoop::advance(double seconds) {
    auto clock = std::dynamic_pointer_cast<ManualClock>(Clock::current());
    if (!clock) {
        double deadline = realNow() + seconds;
        while (realNow() < deadline) runOnce(deadline - realNow());
        return;
    }
    double target = clock->now() + seconds;
    pump();
    for (;;) {
        double next = clock->now() + secondsUntilNextTimer();
        if (next > target) break;
        if (next > clock->now()) clock->set(next);
        pump();
    }
    clock->set(target);
    pump();
}

void RunLoop::run() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = false;
        thread_ = std::this_thread::get_id();
    }
    for (;;) {
        {
            std::lock_guard lock(mutex_);
            if (stopped_) break;
        }
        runOnce(0.25);
    }
}

void RunLoop::stop() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    wake_.notify_all();
}

void RunLoop::reset() {
    std::lock_guard lock(mutex_);
    tasks_.clear();
    for (auto& timer : timers_) timer->invalidate();
    timers_.clear();
    stopped_ = false;
    thread_ = std::this_thread::get_id();
}

void dispatchMain(std::function<void()> task) { RunLoop::main().post(std::move(task)); }

bool isMainThread() { return RunLoop::main().isLoopThread(); }

}  // namespace platform
