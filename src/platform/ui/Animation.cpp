#include "platform/ui/Animation.h"

#include "platform/RunLoop.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {
bool enabled = true;
// Completion timers still waiting; the run loop owns them, so a loop reset drops them.
std::vector<std::weak_ptr<Timer>> pending;
AnimationRecord last;
}  // namespace

void animate(double duration, std::function<void()> changes, std::function<void(bool)> completion, double delay,
             AnimationCurve curve) {
    last = {duration, delay, curve};
    if (changes) changes();
    double total = std::max(0.0, duration) + std::max(0.0, delay);
    if (!enabled || total <= 0) {
        if (completion) completion(true);
        return;
    }
    auto timer = RunLoop::main().performAfter(total, [completion = std::move(completion)] {
        if (completion) completion(true);
    });
    pending.erase(std::remove_if(pending.begin(), pending.end(),
                                 [](auto& w) {
                                     auto t = w.lock();
                                     return !t || !t->isValid();
                                 }),
                  pending.end());
    pending.push_back(timer);
}

void setAnimationsEnabled(bool on) { enabled = on; }

bool areAnimationsEnabled() { return enabled; }

void performWithoutAnimation(const std::function<void()>& changes) {
    bool was = enabled;
    enabled = false;
    if (changes) changes();
    enabled = was;
}

int animationsInFlight() {
    int n = 0;
    for (auto& w : pending)
        if (auto t = w.lock(); t && t->isValid()) ++n;
    return n;
}

AnimationRecord lastAnimation() { return last; }

double animationProgress(AnimationCurve curve, double t) {
    t = std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case AnimationCurve::Linear: return t;
    case AnimationCurve::EaseIn: return t * t;
    case AnimationCurve::EaseOut: return 1 - (1 - t) * (1 - t);
    case AnimationCurve::EaseInOut: return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
    }
    return t;
}

}  // namespace platform
