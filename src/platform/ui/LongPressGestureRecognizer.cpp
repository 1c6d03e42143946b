#include "platform/ui/LongPressGestureRecognizer.h"

#include "platform/RunLoop.h"

#include <cmath>

namespace platform {

LongPressGestureRecognizer::~LongPressGestureRecognizer() {
    if (timer_) timer_->invalidate();
}

void LongPressGestureRecognizer::touchesBegan(const Touches&) {
    if (state_ != GestureState::Possible) return;
    if (touches_.size() > 1) {
        setState(GestureState::Failed);
        return;
    }
    start_ = centroidInWindow();
    if (timer_) timer_->invalidate();
    std::weak_ptr<GestureRecognizer> weak = weak_from_this();
    timer_ = RunLoop::main().performAfter(minimumPressDuration_, [weak, this] {
        auto self = weak.lock();
        if (!self) return;
        timer_.reset();
        if (state_ == GestureState::Possible && !touches_.empty()) setState(GestureState::Began);
    });
}

void LongPressGestureRecognizer::touchesMoved(const Touches&) {
    if (state_ == GestureState::Possible) {
        Point p = centroidInWindow();
        if (std::hypot(p.x - start_.x, p.y - start_.y) > allowableMovement_) setState(GestureState::Failed);
    } else if (isActive()) {
        setState(GestureState::Changed);
    }
}

void LongPressGestureRecognizer::touchesEnded(const Touches&) {
    if (isActive()) setState(GestureState::Ended);
    else setState(GestureState::Failed);
}

void LongPressGestureRecognizer::resetGesture() {
    if (timer_) {
        timer_->invalidate();
        timer_.reset();
    }
}

}  // namespace platform
