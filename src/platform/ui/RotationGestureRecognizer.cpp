#include "platform/ui/RotationGestureRecognizer.h"

#include "platform/Clock.h"

#include <cmath>
#include <numbers>

namespace platform {

double RotationGestureRecognizer::angle() const {
    auto a = touches_.begin()->second->locationInWindow;
    auto b = std::next(touches_.begin())->second->locationInWindow;
    return std::atan2(b.y - a.y, b.x - a.x);
}

void RotationGestureRecognizer::setRotation(double radians) {
    rotation_ = base_ = radians;
    if (touches_.size() >= 2) startAngle_ = angle();
}

void RotationGestureRecognizer::touchesBegan(const Touches&) {
    if (touches_.size() == 2 && state_ == GestureState::Possible) {
        startAngle_ = angle();
        hasStart_ = true;
        rotation_ = base_ = 0;
        lastTime_ = now();
    } else if (touches_.size() > 2 && state_ == GestureState::Possible) {
        setState(GestureState::Failed);
    }
}

void RotationGestureRecognizer::touchesMoved(const Touches&) {
    if (touches_.size() < 2 || !hasStart_) return;
    double d = angle() - startAngle_;
    while (d > std::numbers::pi) d -= 2 * std::numbers::pi;
    while (d < -std::numbers::pi) d += 2 * std::numbers::pi;
    double previous = rotation_;
    rotation_ = base_ + d;
    double t = now();
    if (t > lastTime_) velocity_ = (rotation_ - previous) / (t - lastTime_);
    lastTime_ = t;
    if (state_ == GestureState::Possible) {
        if (std::fabs(d) >= 0.08) setState(GestureState::Began);
    } else if (isActive()) {
        setState(GestureState::Changed);
    }
}

void RotationGestureRecognizer::touchesEnded(const Touches&) {
    if (isActive()) setState(GestureState::Ended);
    else if (touches_.size() >= 2) setState(GestureState::Failed);
}

void RotationGestureRecognizer::resetGesture() {
    hasStart_ = false;
    rotation_ = base_ = 0;
    velocity_ = 0;
}

}  // namespace platform
