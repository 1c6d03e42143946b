#include "platform/ui/ScrollView.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/ui/Animation.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"

#include <algorithm>
#include <cmath>

namespace platform {

// The scroll view's pan: also tells the scroll view when a finger lands and lifts, so a
// touch stops a moving scroll at once.
class ScrollPanRecognizer : public PanGestureRecognizer {
public:
    explicit ScrollPanRecognizer(ScrollView* owner) : owner_(owner) {}

protected:
    void touchesBegan(const Touches& touches) override {
        if (touches_.size() == touches.size()) owner_->fingerDown();
        PanGestureRecognizer::touchesBegan(touches);
    }
    void touchesEnded(const Touches& touches) override {
        PanGestureRecognizer::touchesEnded(touches);
        if (touches_.size() == touches.size()) owner_->fingerUp();
    }
    void touchesCancelled(const Touches& touches) override {
        PanGestureRecognizer::touchesCancelled(touches);
        if (touches_.size() == touches.size()) owner_->fingerUp();
    }

private:
    ScrollView* owner_;
};

namespace {
constexpr double kStep = 1.0 / 60;
constexpr double kScrollAnimationDuration = 0.3;
constexpr double kPagingVelocity = 300;   // points per second that turn a page on release
constexpr double kMinimumFlingVelocity = 20;
constexpr double kStopVelocity = 5;
}  // namespace

ScrollView::ScrollView() { setup(); }

ScrollView::ScrollView(const Rect& frame) : View(frame) { setup(); }

ScrollView::~ScrollView() {
    if (motionTimer_) motionTimer_->invalidate();
}

void ScrollView::setup() {
    setClipsToBounds(true);
    pan_ = std::make_shared<ScrollPanRecognizer>(this);
    pan_->setAction([this](GestureRecognizer&) { handlePan(); });
    pan_->setShouldBegin([this](GestureRecognizer&) {
        if (!scrollEnabled_) return false;
        Point t = pan_->translationInView(this);
        if (std::fabs(t.x) > std::fabs(t.y)) return canScrollHorizontally();
        return canScrollVertically();
    });
    pan_->setShouldRecognizeSimultaneously(
        [this](GestureRecognizer&, GestureRecognizer& other) { return &other == pinch_.get(); });
    addGestureRecognizer(pan_);
    pinch_ = std::make_shared<PinchGestureRecognizer>();
    pinch_->setAction([this](GestureRecognizer&) { handlePinch(); });
    pinch_->setShouldBegin([this](GestureRecognizer&) { return maximumZoomScale_ > minimumZoomScale_ && zoomView(); });
    pinch_->setShouldRecognizeSimultaneously(
        [this](GestureRecognizer&, GestureRecognizer& other) { return &other == pan_.get(); });
    addGestureRecognizer(pinch_);
}

void ScrollView::setContentSize(const Size& size) {
    contentSize_ = size;
    visibleRectDidChange();
    adjustOffsetIfNeeded();
    markChanged();
}

void ScrollView::setContentInset(const EdgeInsets& inset) {
    contentInset_ = inset;
    adjustOffsetIfNeeded();
    markChanged();
}

void ScrollView::adjustOffsetIfNeeded() {
    // At rest the content stays within its range: a smaller inset or content slides it
    // back. While a finger or a motion moves it, the motion decides.
    if (tracking_ || dragging_ || motionTimer_ || zooming_) return;
    Point o = contentOffset(), lo = minimumContentOffset(), hi = maximumContentOffset();
    applyOffset({std::clamp(o.x, lo.x, hi.x), std::clamp(o.y, lo.y, hi.y)});
}

void ScrollView::setScrollEnabled(bool on) {
    scrollEnabled_ = on;
    if (!on && dragging_) {
        // Switching scrolling off ends the drag in progress.
        pan_->setEnabled(false);
        pan_->setEnabled(true);
    }
}

void ScrollView::setCanCancelContentTouches(bool on) {
    canCancelContentTouches_ = on;
    pan_->setCancelsTouchesInView(on);
}

Point ScrollView::minimumContentOffset() const { return {-contentInset_.left, -contentInset_.top}; }

Point ScrollView::maximumContentOffset() const {
    Point lo = minimumContentOffset();
    return {std::max(lo.x, contentSize_.width + contentInset_.right - bounds().width()),
            std::max(lo.y, contentSize_.height + contentInset_.bottom - bounds().height())};
}

bool ScrollView::canScrollHorizontally() const {
    return scrollEnabled_ && (maximumContentOffset().x > minimumContentOffset().x || (bounces_ && alwaysBounceHorizontal_));
}

bool ScrollView::canScrollVertically() const {
    return scrollEnabled_ && (maximumContentOffset().y > minimumContentOffset().y || (bounces_ && alwaysBounceVertical_));
}

void ScrollView::setBounds(const Rect& b) {
    Point old = bounds().origin;
    Size oldSize = bounds().size;
    View::setBounds(b);
    if (!(old == b.origin) || !(oldSize == b.size)) visibleRectDidChange();
    if (!(old == b.origin))
        if (auto d = delegate()) d->scrollViewDidScroll(*this);
}

void ScrollView::setFrame(const Rect& frame) {
    Size old = bounds().size;
    View::setFrame(frame);
    if (!(old == bounds().size)) visibleRectDidChange();
}

void ScrollView::applyOffset(Point offset) {
    if (offset == contentOffset()) return;
    Rect b = bounds();
    b.origin = offset;
    setBounds(b);
}

void ScrollView::setContentOffset(const Point& offset, bool animated) {
    // Placing the content by program stops whatever moved it (a fling included).
    if (motionTimer_) stopMotion();
    if (!animated) {
        applyOffset(offset);
        return;
    }
    if (!areAnimationsEnabled()) {
        bool moved = !(offset == contentOffset());
        applyOffset(offset);
        if (moved)
            if (auto d = delegate()) d->scrollViewDidEndScrollingAnimation(*this);
        return;
    }
    if (offset == contentOffset()) return;
    startAnimation(offset, kScrollAnimationDuration, false);
}

void ScrollView::scrollRectToVisible(const Rect& rect, bool animated) {
    Point o = contentOffset();
    Size s = bounds().size;
    Point target = o;
    if (rect.maxX() > o.x + s.width) target.x = rect.maxX() - s.width;
    if (rect.minX() < target.x) target.x = rect.minX();
    if (rect.maxY() > o.y + s.height) target.y = rect.maxY() - s.height;
    if (rect.minY() < target.y) target.y = rect.minY();
    Point lo = minimumContentOffset(), hi = maximumContentOffset();
    target.x = std::clamp(target.x, lo.x, hi.x);
    target.y = std::clamp(target.y, lo.y, hi.y);
    setContentOffset(target, animated);
}

// ---- Dragging

void ScrollView::fingerDown() {
    tracking_ = true;
    if (motionTimer_) stopMotion();
}

void ScrollView::fingerUp() {
    tracking_ = false;
    if (dragging_ || motionTimer_) return;
    // Caught while bouncing and let go without a drag: settle back inside.
    Point o = contentOffset(), lo = minimumContentOffset(), hi = maximumContentOffset();
    Point inside{std::clamp(o.x, lo.x, hi.x), std::clamp(o.y, lo.y, hi.y)};
    if (!(inside == o)) startDeceleration({0, 0});
}

void ScrollView::stopMotion() {
    if (motionTimer_) {
        motionTimer_->invalidate();
        motionTimer_.reset();
    }
    decelerating_ = false;
}

void ScrollView::handlePan() {
    GestureState state = pan_->state();
    if (state == GestureState::Began) {
        stopMotion();
        dragging_ = true;
        tracking_ = true;
        dragStart_ = contentOffset();
        Point t = pan_->translationInView(this);
        lockHorizontal_ = lockVertical_ = false;
        if (directionalLock_) {
            if (std::fabs(t.x) > std::fabs(t.y)) lockVertical_ = true;
            else lockHorizontal_ = true;
        }
        if (auto d = delegate()) d->scrollViewWillBeginDragging(*this);
    }
    if (state == GestureState::Began || state == GestureState::Changed) {
        if (!dragging_) return;
        Point t = pan_->translationInView(this);
        Point lo = minimumContentOffset(), hi = maximumContentOffset();
        auto rubber = [this](double v, double lo, double hi) {
            if (v < lo) return bounces_ ? lo - (lo - v) / 2 : lo;
            if (v > hi) return bounces_ ? hi + (v - hi) / 2 : hi;
            return v;
        };
        Point target = dragStart_;
        if (canScrollHorizontally() && !lockHorizontal_) target.x = rubber(dragStart_.x - t.x, lo.x, hi.x);
        if (canScrollVertically() && !lockVertical_) target.y = rubber(dragStart_.y - t.y, lo.y, hi.y);
        applyOffset(target);
        return;
    }
    if (state != GestureState::Ended && state != GestureState::Cancelled) return;
    if (!dragging_) return;
    dragging_ = false;
    tracking_ = false;
    Point v = pan_->velocityInView(this);
    v = {canScrollHorizontally() && !lockHorizontal_ ? -v.x : 0, canScrollVertically() && !lockVertical_ ? -v.y : 0};
    if (state == GestureState::Cancelled) v = {0, 0};
    Point o = contentOffset(), lo = minimumContentOffset(), hi = maximumContentOffset();
    auto d = delegate();
    if (pagingEnabled_) {
        auto settle = [&](double offset, double start, double velocity, double page, double lo, double hi) {
            if (page <= 0) return std::clamp(offset, lo, hi);
            double startPage = std::round(start / page);
            double target;
            if (velocity > kPagingVelocity) target = startPage + 1;
            else if (velocity < -kPagingVelocity) target = startPage - 1;
            else target = std::round(offset / page);
            return std::clamp(target * page, lo, hi);
        };
        Point target{settle(o.x, dragStart_.x, v.x, bounds().width(), lo.x, hi.x),
                     settle(o.y, dragStart_.y, v.y, bounds().height(), lo.y, hi.y)};
        bool moves = !(target == o);
        if (d) d->scrollViewDidEndDragging(*this, moves);
        if (!moves) return;
        decelerating_ = true;
        if (auto d2 = delegate()) d2->scrollViewWillBeginDecelerating(*this);
        startAnimation(target, kScrollAnimationDuration, true);
        return;
    }
    bool outside = o.x < lo.x || o.x > hi.x || o.y < lo.y || o.y > hi.y;
    bool fling = std::hypot(v.x, v.y) > kMinimumFlingVelocity;
    bool decelerate = outside || fling;
    if (d) d->scrollViewDidEndDragging(*this, decelerate);
    if (!decelerate) return;
    decelerating_ = true;
    if (auto d2 = delegate()) d2->scrollViewWillBeginDecelerating(*this);
    startDeceleration(v);
}

void ScrollView::startDeceleration(Point velocity) {
    if (motionTimer_) motionTimer_->invalidate();
    decelerating_ = true;
    velocity_ = velocity;
    lastStep_ = now();
    animStart_ = lastStep_;
    std::weak_ptr<View> weak = weak_from_this();
    motionTimer_ = RunLoop::main().scheduleTimer(kStep, true, [weak](Timer& t) {
        auto self = weak.lock();
        if (!self) return t.invalidate();
        static_cast<ScrollView*>(self.get())->decelerationStep();
    });
}

void ScrollView::decelerationStep() {
    double t = now();
    double dt = t - lastStep_;
    lastStep_ = t;
    if (dt <= 0) return;
    Point o = contentOffset(), lo = minimumContentOffset(), hi = maximumContentOffset();
    bool resting = true;
    auto axis = [&](double& pos, double& vel, double lo, double hi) {
        double remaining = dt;
        while (remaining > 0) {
            double h = std::min(remaining, 1.0 / 240);
            remaining -= h;
            if (pos < lo || pos > hi) {
                double edge = pos < lo ? lo : hi;
                if (!bounces_) {
                    pos = edge;
                    vel = 0;
                    continue;
                }
                // A critically damped spring pulls the content back to the edge.
                constexpr double k = 180, c = 26.8;
                double acc = -k * (pos - edge) - c * vel;
                vel += acc * h;
                double next = pos + vel * h;
                if ((pos - edge) * (next - edge) <= 0 || (std::fabs(next - edge) < 0.5 && std::fabs(vel) < 20)) {
                    pos = edge;
                    vel = 0;
                } else {
                    pos = next;
                }
            } else {
                vel *= std::pow(decelerationRate_, h * 1000);
                pos += vel * h;
                if (!bounces_ && (pos < lo || pos > hi)) {
                    pos = std::clamp(pos, lo, hi);
                    vel = 0;
                }
                if (std::fabs(vel) < kStopVelocity) vel = 0;
            }
        }
        if (vel != 0 || pos < lo || pos > hi) resting = false;
    };
    axis(o.x, velocity_.x, lo.x, hi.x);
    axis(o.y, velocity_.y, lo.y, hi.y);
    applyOffset(o);
    if (resting || t - animStart_ > 10) {
        Point clamped{std::clamp(contentOffset().x, lo.x, hi.x), std::clamp(contentOffset().y, lo.y, hi.y)};
        applyOffset(clamped);
        finishDeceleration();
    }
}

void ScrollView::finishDeceleration() {
    if (motionTimer_) {
        motionTimer_->invalidate();
        motionTimer_.reset();
    }
    if (!decelerating_) return;
    decelerating_ = false;
    if (auto d = delegate()) d->scrollViewDidEndDecelerating(*this);
}

void ScrollView::startAnimation(Point target, double duration, bool endsDeceleration) {
    if (motionTimer_) motionTimer_->invalidate();
    animFrom_ = contentOffset();
    animTo_ = target;
    animStart_ = now();
    animDuration_ = duration;
    animEndsDeceleration_ = endsDeceleration;
    std::weak_ptr<View> weak = weak_from_this();
    motionTimer_ = RunLoop::main().scheduleTimer(kStep, true, [weak](Timer& t) {
        auto self = weak.lock();
        if (!self) return t.invalidate();
        static_cast<ScrollView*>(self.get())->animationStep();
    });
}

void ScrollView::animationStep() {
    double t = animDuration_ > 0 ? (now() - animStart_) / animDuration_ : 1;
    if (t < 1) {
        double p = animationProgress(AnimationCurve::EaseOut, t);
        applyOffset({animFrom_.x + (animTo_.x - animFrom_.x) * p, animFrom_.y + (animTo_.y - animFrom_.y) * p});
        return;
    }
    motionTimer_->invalidate();
    motionTimer_.reset();
    applyOffset(animTo_);
    if (animEndsDeceleration_) {
        decelerating_ = true;
        finishDeceleration();
    } else if (auto d = delegate()) {
        d->scrollViewDidEndScrollingAnimation(*this);
    }
}

// ---- Zoom

std::shared_ptr<View> ScrollView::zoomView() {
    auto d = delegate();
    return d ? d->viewForZoomingInScrollView(*this) : nullptr;
}

void ScrollView::setZoomScale(double scale, bool) {
    auto view = zoomView();
    if (!view) return;
    scale = std::clamp(scale, minimumZoomScale_, std::max(minimumZoomScale_, maximumZoomScale_));
    zoomScale_ = scale;
    view->setTransform(AffineTransform::scale(scale, scale));
    Rect f = view->frame();
    view->setCenter({f.width() / 2, f.height() / 2});
    contentSize_ = f.size;
    Point o = contentOffset(), lo = minimumContentOffset(), hi = maximumContentOffset();
    applyOffset({std::clamp(o.x, lo.x, hi.x), std::clamp(o.y, lo.y, hi.y)});
    visibleRectDidChange();
    if (auto d = delegate()) d->scrollViewDidZoom(*this);
}

void ScrollView::handlePinch() {
    auto view = zoomView();
    if (!view) return;
    GestureState state = pinch_->state();
    if (state == GestureState::Began) {
        stopMotion();
        pinchStartScale_ = zoomScale_;
        zooming_ = true;
        if (auto d = delegate()) d->scrollViewWillBeginZooming(*this, view.get());
    }
    if (state == GestureState::Began || state == GestureState::Changed) {
        // The content point that was under the fingers when the pinch began stays under
        // them as they spread and move.
        Point c = pinch_->locationInView(this);  // content coordinates
        Point o = contentOffset();
        Point onScreen{c.x - o.x, c.y - o.y};
        if (state == GestureState::Began) pinchAnchor_ = {c.x / zoomScale_, c.y / zoomScale_};
        setZoomScale(pinchStartScale_ * pinch_->scale());
        double s = zoomScale_;
        Point target{pinchAnchor_.x * s - onScreen.x, pinchAnchor_.y * s - onScreen.y};
        Point lo = minimumContentOffset(), hi = maximumContentOffset();
        applyOffset({std::clamp(target.x, lo.x, hi.x), std::clamp(target.y, lo.y, hi.y)});
        return;
    }
    if (state == GestureState::Ended || state == GestureState::Cancelled) {
        zooming_ = false;
        if (auto d = delegate()) d->scrollViewDidEndZooming(*this, view.get(), zoomScale_);
    }
}

}  // namespace platform
