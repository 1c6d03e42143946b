#pragma once

#include <array>
#include <functional>
#include <memory>
#include <vector>

namespace platform {

class Timer;
class View;
struct ViewPresentation;

// Spring: an underdamped spring (damping ratio 0.8) that settles on the new value.
enum class AnimationCurve { EaseInOut, EaseIn, EaseOut, Linear, Spring };

// View animations. The changes apply to the views at once: what the code reads (and hit
// tests use) is the final state, the model. What is drawn is each view's presentation:
// the frame, alpha, transform and background colour that `changes` set go from their old
// to their new values over [delay, delay + duration] on the run loop clock, along the
// curve. The completion runs on the main run loop once `delay + duration` seconds have
// passed, with true. With animations switched off, or a duration and delay of zero, the
// change is immediate and the completion runs before animate() returns.
//
// A property that is already animating starts its new animation from the value shown at
// that moment; a property set outside an animation shows its new value at once.
void animate(double duration, std::function<void()> changes, std::function<void(bool finished)> completion = {},
             double delay = 0, AnimationCurve curve = AnimationCurve::EaseInOut);

// A spring animation (animateWithDuration:delay:usingSpringWithDamping:initialSpringVelocity:):
// the changes move along the spring curve; the damping and velocity asked for are kept in
// lastAnimation().
void animateWithSpring(double duration, double delay, double damping, double velocity, std::function<void()> changes,
                       std::function<void(bool finished)> completion = {});

// The global switch (on by default). Off: every animation is immediate.
void setAnimationsEnabled(bool enabled);
bool areAnimationsEnabled();

// Runs `changes` with animations switched off, then restores the switch.
void performWithoutAnimation(const std::function<void()>& changes);

// Animations whose completion has not run yet.
int animationsInFlight();

// Whether some view's presentation is moving at the run loop clock's now. The window host
// redraws every frame while this holds; a view whose animation waits out its delay does
// not count, and the end of every animation marks the display changed, so the last frame
// is drawn too.
bool animationsRunning();

// The last animation asked for (duration, delay and curve), for tests that check timing.
struct AnimationRecord {
    double duration = 0;
    double delay = 0;
    AnimationCurve curve = AnimationCurve::EaseInOut;
    double damping = 0;   // spring animations only
    double velocity = 0;  // spring animations only
};
AnimationRecord lastAnimation();

// Value of the curve at t in 0..1.
double animationProgress(AnimationCurve curve, double t);

// ---- What views keep while they animate (used by View and the renderer).

enum class AnimatableProperty { Center, Bounds, Transform, Alpha, BackgroundColor };

// One property moving from one value to another. Values are held as components: a centre
// (x, y), bounds (x, y, width, height), a transform (translation x and y, scale x and y,
// shear, angle), an alpha, a colour (r, g, b, a).
struct PropertyAnimation {
    using Values = std::array<double, 6>;
    AnimatableProperty property = AnimatableProperty::Alpha;
    Values from{}, to{};
    double start = 0;     // run loop clock time the movement begins
    double duration = 0;  // seconds; 0 jumps to `to` at `start`
    AnimationCurve curve = AnimationCurve::EaseInOut;
    // The animation's completion timer: once it has fired (or the loop was reset) the
    // property shows its model value.
    std::weak_ptr<Timer> timer;

    bool isActive() const;
    // The components shown at time `t`.
    Values valuesAt(double t) const;
};

// The bridge between the setters of View, the open animation blocks and the renderer.
struct AnimationEngine {
    // Whether an animation block is collecting changes now.
    static bool isCollecting();
    // A setter of `view` is about to change `property`: inside an animation block its
    // shown value is noted as the start; outside one, a running animation of the
    // property stops, so the new value shows at once.
    static void propertyWillChange(View& view, AnimatableProperty property);
    // The properties that `animations` move, written into `shown` as they are at now.
    static void present(const std::vector<PropertyAnimation>& animations, ViewPresentation& shown);
    // For the animation code: a view's animations, and marking it for a redraw.
    static std::vector<PropertyAnimation>& animationsOf(View& view);
    static void markChanged(View& view);
};

}  // namespace platform
