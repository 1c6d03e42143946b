#include "platform/ui/PanGestureRecognizer.h"

#include "platform/Clock.h"
#include "platform/ui/View.h"

#include <cmath>

namespace platform {

Point PanGestureRecognizer::toViewAxes(Point d, const View* view) const {
    if (!view) return d;
    Point a = view->convertPointFrom({0, 0}, nullptr);
    Point b = view->convertPointFrom(d, nullptr);
    return {b.x - a.x, b.y - a.y};
}

Point PanGestureRecognizer::translationInView(const View* view) const {
    Point p = centroidInWindow();
    return toViewAxes({p.x - start_.x + offset_.x, p.y - start_.y + offset_.y}, view);
}

void PanGestureRecognizer::setTranslation(Point translation, const View* view) {
    // Make the current position read as `translation`.
    Point inWindow = translation;
    if (view) {
        Point a = view->convertPointTo({0, 0}, nullptr);
        Point b = view->convertPointTo(translation, nullptr);
        inWindow = {b.x - a.x, b.y - a.y};
    }
    Point p = centroidInWindow();
    start_ = p;
    offset_ = inWindow;
}

Point PanGestureRecognizer::velocityInView(const View* view) const { return toViewAxes(velocity_, view); }

void PanGestureRecognizer::addSample() {
    double t = now();
    Point p = centroidInWindow();
    samples_.push_back({t, p});
    while (samples_.size() > 2 && t - samples_[1].time >= 0.1) samples_.pop_front();
    const Sample& first = samples_.front();
    double dt = t - first.time;
    if (dt > 0) velocity_ = {(p.x - first.point.x) / dt, (p.y - first.point.y) / dt};
}

void PanGestureRecognizer::touchesBegan(const Touches&) {
    if (touches_.size() > maxTouches_) {
        if (isActive()) setState(GestureState::Ended);
        else setState(GestureState::Failed);
        return;
    }
    if (state_ == GestureState::Possible && touches_.size() == 1) {
        start_ = centroidInWindow();
        offset_ = {};
        samples_.clear();
        velocity_ = {};
    } else {
        // Another finger moves the centroid: keep the translation continuous.
        Point before = translationInView(nullptr);
        start_ = centroidInWindow();
        offset_ = before;
    }
    addSample();
}

void PanGestureRecognizer::touchesMoved(const Touches&) {
    addSample();
    if (state_ == GestureState::Possible) {
        if (touches_.size() < minTouches_) return;
        Point t = translationInView(nullptr);
        if (std::hypot(t.x, t.y) >= kHysteresis) setState(GestureState::Began);
    } else if (isActive()) {
        setState(GestureState::Changed);
    }
}

void PanGestureRecognizer::touchesEnded(const Touches& touches) {
    addSample();
    if (touches.size() < touches_.size()) {
        // A finger lifted, others stay: keep the translation continuous without it.
        Point before = translationInView(nullptr);
        std::map<int, std::shared_ptr<Touch>> rest = touches_;
        for (auto& t : touches) rest.erase(t->id);
        Point sum;
        for (auto& [id, t] : rest) {
            sum.x += t->locationInWindow.x;
            sum.y += t->locationInWindow.y;
        }
        start_ = {sum.x / double(rest.size()), sum.y / double(rest.size())};
        offset_ = before;
        return;
    }
    if (isActive()) setState(GestureState::Ended);
    else setState(GestureState::Failed);
}

void PanGestureRecognizer::resetGesture() {
    samples_.clear();
    offset_ = {};
}

}  // namespace platform
