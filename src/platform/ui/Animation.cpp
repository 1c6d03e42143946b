#include "platform/ui/Animation.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform {

namespace {

using Values = PropertyAnimation::Values;

// A property a block changed, with the value shown just before the change.
struct AnimatedChange {
    std::weak_ptr<View> view;
    const View* key;
    AnimatableProperty property;
    Values from;
};

// The changes collected while one animation block runs.
struct AnimationBlockChanges {
    std::vector<AnimatedChange> changed;
};

bool animationsSwitchOn = true;
// Open blocks, innermost last (a block may start another inside its changes).
std::vector<AnimationBlockChanges*> openAnimationBlocks;
// Completion timers still waiting; the run loop owns them, so a loop reset drops them.
std::vector<std::weak_ptr<Timer>> pendingCompletionTimers;
// Views with animations, so the host can ask whether anything moves.
std::vector<std::weak_ptr<View>> viewsWithAnimations;
AnimationRecord lastAnimationRecord;

// A transform as translation, scale, shear and angle: the matrix is the rotation by the
// angle times [sx shear; 0 sy], then the translation. Interpolating these turns a
// rotation through its angle instead of squashing it through zero.
Values decomposeTransform(const AffineTransform& t) {
    double sx = std::hypot(t.a, t.b);
    if (sx == 0) return {t.tx, t.ty, 0, t.d, t.c, 0};
    double angle = std::atan2(t.b, t.a);
    double cs = std::cos(angle), sn = std::sin(angle);
    double shear = t.c * cs + t.d * sn;
    double sy = -t.c * sn + t.d * cs;
    return {t.tx, t.ty, sx, sy, shear, angle};
}

AffineTransform composeTransform(const Values& v) {
    double sx = v[2], sy = v[3], shear = v[4], cs = std::cos(v[5]), sn = std::sin(v[5]);
    return {sx * cs, sx * sn, shear * cs - sy * sn, shear * sn + sy * cs, v[0], v[1]};
}

// Colours move premultiplied, so a fade from clear does not pass through black.
Values premultipliedColorValues(const Color& c) { return {c.r * c.a, c.g * c.a, c.b * c.a, c.a, 0, 0}; }

Color colorOfPremultiplied(const Values& v) {
    double a = std::clamp(v[3], 0.0, 1.0);
    if (a <= 0) return Color::clear();
    return {std::clamp(v[0] / a, 0.0, 1.0), std::clamp(v[1] / a, 0.0, 1.0), std::clamp(v[2] / a, 0.0, 1.0), a};
}

Values animatableValuesOf(const ViewPresentation& shown, AnimatableProperty property) {
    switch (property) {
    case AnimatableProperty::Center: return {shown.center.x, shown.center.y, 0, 0, 0, 0};
    case AnimatableProperty::Bounds:
        return {shown.bounds.x(), shown.bounds.y(), shown.bounds.width(), shown.bounds.height(), 0, 0};
    case AnimatableProperty::Transform: return decomposeTransform(shown.transform);
    case AnimatableProperty::Alpha: return {shown.alpha, 0, 0, 0, 0, 0};
    case AnimatableProperty::BackgroundColor: return premultipliedColorValues(shown.backgroundColor);
    }
    return {};
}

void storeAnimatableValues(ViewPresentation& shown, AnimatableProperty property, const Values& v) {
    switch (property) {
    case AnimatableProperty::Center: shown.center = {v[0], v[1]}; break;
    case AnimatableProperty::Bounds: shown.bounds = {v[0], v[1], v[2], v[3]}; break;
    case AnimatableProperty::Transform: shown.transform = composeTransform(v); break;
    case AnimatableProperty::Alpha: shown.alpha = std::clamp(v[0], 0.0, 1.0); break;
    case AnimatableProperty::BackgroundColor: shown.backgroundColor = colorOfPremultiplied(v); break;
    }
}

bool animationBlockCollecting() { return animationsSwitchOn && !openAnimationBlocks.empty(); }

}  // namespace

// ---- Property animations

bool PropertyAnimation::isActive() const {
    auto t = timer.lock();
    return t && t->isValid();
}

PropertyAnimation::Values PropertyAnimation::valuesAt(double t) const {
    if (t < start) return from;
    if (duration <= 0 || t >= start + duration) return to;
    double p = animationProgress(curve, (t - start) / duration);
    Values v;
    for (size_t i = 0; i < v.size(); ++i) v[i] = from[i] + (to[i] - from[i]) * p;
    return v;
}

// ---- The engine behind the view setters

bool AnimationEngine::isCollecting() { return animationBlockCollecting(); }

void AnimationEngine::propertyWillChange(View& view, AnimatableProperty property) {
    if (!animationBlockCollecting()) {
        // Set outside a block: the new value shows at once.
        std::erase_if(view.animations_, [property](const auto& a) { return a.property == property; });
        return;
    }
    auto& changed = openAnimationBlocks.back()->changed;
    for (const auto& c : changed)
        if (c.key == &view && c.property == property) return;  // the first value before the block counts
    std::weak_ptr<View> weak = view.weak_from_this();
    // A view still being made has shown nothing yet: it simply takes its values.
    if (weak.expired()) return;
    changed.push_back({std::move(weak), &view, property, animatableValuesOf(view.presentation(), property)});
}

void AnimationEngine::present(const std::vector<PropertyAnimation>& animations, ViewPresentation& shown) {
    double t = now();
    for (const auto& a : animations)
        if (a.isActive()) storeAnimatableValues(shown, a.property, a.valuesAt(t));
}

std::vector<PropertyAnimation>& AnimationEngine::animationsOf(View& view) { return view.animations_; }

void AnimationEngine::markChanged(View& view) { view.markChanged(); }

namespace {

ViewPresentation modelPresentationOf(const View& view) {
    return {view.center(), view.bounds(), view.transform(), view.alpha(), view.backgroundColor()};
}

// Turns what a block changed into animations of its views; answers the views.
std::vector<std::weak_ptr<View>> commitAnimationBlock(const AnimationBlockChanges& block,
                                                      const std::shared_ptr<Timer>& timer, double duration,
                                                      double delay, AnimationCurve curve) {
    const double start = now() + std::max(0.0, delay);
    std::vector<std::weak_ptr<View>> touched;
    for (const auto& c : block.changed) {
        auto view = c.view.lock();
        if (!view) continue;
        auto& animations = AnimationEngine::animationsOf(*view);
        // The new animation takes over from any earlier one of the property.
        std::erase_if(animations, [&c](const auto& a) { return a.property == c.property; });
        Values to = animatableValuesOf(modelPresentationOf(*view), c.property);
        if (to == c.from) continue;
        animations.push_back({c.property, c.from, to, start, std::max(0.0, duration), curve, timer});
        auto same = [&view](const auto& w) { return w.lock() == view; };
        if (std::none_of(viewsWithAnimations.begin(), viewsWithAnimations.end(), same))
            viewsWithAnimations.push_back(view);
        if (std::none_of(touched.begin(), touched.end(), same)) touched.push_back(view);
    }
    return touched;
}

// Drops the ended animations of a view; answers whether any is left.
bool pruneEndedAnimations(View& view) {
    auto& animations = AnimationEngine::animationsOf(view);
    std::erase_if(animations, [](const auto& a) { return !a.isActive(); });
    return !animations.empty();
}

void dropFiredCompletionTimers() {
    std::erase_if(pendingCompletionTimers, [](const auto& w) {
        auto t = w.lock();
        return !t || !t->isValid();
    });
}

}  // namespace

// ---- Animation blocks

void animate(double duration, std::function<void()> changes, std::function<void(bool)> completion, double delay,
             AnimationCurve curve) {
    lastAnimationRecord = {duration, delay, curve, 0, 0};
    double total = std::max(0.0, duration) + std::max(0.0, delay);
    if (!animationsSwitchOn || total <= 0) {
        if (changes) changes();
        if (completion) completion(true);
        return;
    }

    AnimationBlockChanges block;
    {
        openAnimationBlocks.push_back(&block);
        struct Close {
            ~Close() { openAnimationBlocks.pop_back(); }
        } close;
        if (changes) changes();
    }

    auto touched = std::make_shared<std::vector<std::weak_ptr<View>>>();
    auto timer = RunLoop::main().performAfter(total, [completion = std::move(completion), touched] {
        // The views show their model values from now on; draw them once more.
        for (const auto& w : *touched) {
            if (auto view = w.lock()) {
                pruneEndedAnimations(*view);
                AnimationEngine::markChanged(*view);
            }
        }
        if (completion) completion(true);
    });
    *touched = commitAnimationBlock(block, timer, duration, delay, curve);
    dropFiredCompletionTimers();
    pendingCompletionTimers.push_back(timer);
}

void setAnimationsEnabled(bool on) { animationsSwitchOn = on; }

bool areAnimationsEnabled() { return animationsSwitchOn; }

void performWithoutAnimation(const std::function<void()>& changes) {
    bool was = animationsSwitchOn;
    animationsSwitchOn = false;
    if (changes) changes();
    animationsSwitchOn = was;
}

int animationsInFlight() {
    int n = 0;
    for (auto& w : pendingCompletionTimers)
        if (auto t = w.lock(); t && t->isValid()) ++n;
    return n;
}

bool animationsRunning() {
    const double t = now();
    bool moving = false;
    std::erase_if(viewsWithAnimations, [t, &moving](const auto& w) {
        auto view = w.lock();
        if (!view || !pruneEndedAnimations(*view)) return true;
        for (const auto& a : AnimationEngine::animationsOf(*view))
            if (a.start <= t && t < a.start + a.duration) moving = true;
        return false;
    });
    return moving;
}

AnimationRecord lastAnimation() { return lastAnimationRecord; }

void animateWithSpring(double duration, double delay, double damping, double velocity, std::function<void()> changes,
                       std::function<void(bool)> completion) {
    animate(duration, std::move(changes), std::move(completion), delay, AnimationCurve::Spring);
    lastAnimationRecord.damping = damping;
    lastAnimationRecord.velocity = velocity;
}

double animationProgress(AnimationCurve curve, double t) {
    t = std::clamp(t, 0.0, 1.0);
    switch (curve) {
    case AnimationCurve::Linear: return t;
    case AnimationCurve::EaseIn: return t * t;
    case AnimationCurve::EaseOut: return 1 - (1 - t) * (1 - t);
    case AnimationCurve::EaseInOut: return t < 0.5 ? 2 * t * t : 1 - 2 * (1 - t) * (1 - t);
    case AnimationCurve::Spring: {
        if (t >= 1) return 1;
        // Damping ratio 0.8, tuned so that the motion has settled by the end of the span.
        const double zeta = 0.8, omega = 9.0;
        const double damped = omega * std::sqrt(1 - zeta * zeta);
        return 1 - std::exp(-zeta * omega * t) * (std::cos(damped * t) + zeta * omega / damped * std::sin(damped * t));
    }
    }
    return t;
}

}  // namespace platform
