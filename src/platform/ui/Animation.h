#pragma once

#include <functional>

namespace platform {

enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear };

// View animations. The changes apply to the views at once (what the model reads is the
// final state); the completion runs on the main run loop once `delay + duration` seconds
// have passed on the run loop clock, with true. With animations switched off, or a
// duration and delay of zero, the completion runs before animate() returns.
void animate(double duration, std::function<void()> changes, std::function<void(bool finished)> completion = {},
             double delay = 0, AnimationCurve curve = AnimationCurve::EaseInOut);

// The global switch (on by default). Off: every animation is immediate.
void setAnimationsEnabled(bool enabled);
bool areAnimationsEnabled();

// Runs `changes` with animations switched off, then restores the switch.
void performWithoutAnimation(const std::function<void()>& changes);

// Animations whose completion has not run yet.
int animationsInFlight();

// The last animation asked for (duration, delay and curve), for tests that check timing.
struct AnimationRecord {
    double duration = 0;
    double delay = 0;
    AnimationCurve curve = AnimationCurve::EaseInOut;
};
AnimationRecord lastAnimation();

// Value of the curve at t in 0..1.
double animationProgress(AnimationCurve curve, double t);

}  // namespace platform
