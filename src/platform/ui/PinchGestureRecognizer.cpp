#include "platform/ui/PinchGestureRecognizer.h"

#include "platform/Clock.h"

#include <cmath>

namespace platform {

double PinchGestureRecognizer::spread() const {
    if (touches_.size() < 2) return 0;
    auto a = touches_.begin()->second->locationInWindow;
    auto b = std::next(touches_.begin())->second->locationInWindow;
    return std::hypot(a.x - b.x, a.y - b.y);
}

void PinchGestureRecognizer::setScale(double scale) {
    // Continue from `scale` at the current spread.
    scale_ = scale;
    base_ = scale;
    startSpread_ = spread();
}

void PinchGestureRecognizer::touchesBegan(const Touches&) {
    if (touches_.size() == 2 && state_ == GestureState::Possible) {
        startSpread_ = spread();
        scale_ = base_ = 1;
        lastTime_ = now();
    } else if (touches_.size() > 2 && state_ == GestureState::Possible) {
        setState(GestureState::Failed);
    }
}

void PinchGestureRecognizer::touchesMoved(const Touches&) {
    if (touches_.size() < 2 || startSpread_ <= 0) return;
    double previous = scale_;
    scale_ = base_ * spread() / startSpread_;
    double t = now();
    if (t > lastTime_) velocity_ = (scale_ - previous) / (t - lastTime_);
    lastTime_ = t;
    if (state_ == GestureState::Possible) {
        if (std::fabs(spread() - startSpread_) >= 5) setState(GestureState::Began);
    } else if (isActive()) {
        setState(GestureState::Changed);
    }
}

void PinchGestureRecognizer::touchesEnded(const Touches&) {
    if (isActive()) setState(GestureState::Ended);
    else if (touches_.size() >= 2) setState(GestureState::Failed);
}

void PinchGestureRecognizer::resetGesture() {
    startSpread_ = 0;
    scale_ = base_ = 1;
    velocity_ = 0;
}

}  // namespace platform
