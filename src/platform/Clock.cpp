#include "platform/Clock.h"

#include <chrono>
#include <mutex>

namespace platform {

namespace {
std::mutex clockMutex;
std::shared_ptr<Clock>& clockSlot() {
    static std::shared_ptr<Clock> clock = std::make_shared<SystemClock>();
    return clock;
}
}  // namespace

std::shared_ptr<Clock> Clock::current() {
    std::lock_guard lock(clockMutex);
    return clockSlot();
}

void Clock::setCurrent(std::shared_ptr<Clock> clock) {
    std::lock_guard lock(clockMutex);
    clockSlot() = clock ? std::move(clock) : std::make_shared<SystemClock>();
}

double SystemClock::now() const {
    using namespace std::chrono;
    return duration<double>(system_clock::now().time_since_epoch()).count();
}

double now() { return Clock::current()->now(); }

}  // namespace platform
