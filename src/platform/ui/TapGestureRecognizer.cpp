#include "platform/ui/TapGestureRecognizer.h"

#include "platform/RunLoop.h"

#include <cmath>

namespace platform {

TapGestureRecognizer::~TapGestureRecognizer() {
    if (waitTimer_) waitTimer_->invalidate();
}

void TapGestureRecognizer::touchesBegan(const Touches&) {
    if (waitTimer_) {
        waitTimer_->invalidate();
        waitTimer_.reset();
    }
    Point p = centroidInWindow();
    if (taps_ > 0 && std::hypot(p.x - start_.x, p.y - start_.y) > 3 * kAllowableMovement) {
        setState(GestureState::Failed);
        return;
    }
    if (touches_.size() > size_t(touchesRequired_)) {
        setState(GestureState::Failed);
        return;
    }
    maxTouches_ = std::max(maxTouches_, touches_.size());
    if (taps_ == 0) start_ = p;
}

void TapGestureRecognizer::touchesMoved(const Touches&) {
    Point p = centroidInWindow();
    if (std::hypot(p.x - start_.x, p.y - start_.y) > kAllowableMovement) setState(GestureState::Failed);
}

void TapGestureRecognizer::touchesEnded(const Touches& touches) {
    if (touches.size() < touches_.size()) return;  // other fingers still down
    if (maxTouches_ != size_t(touchesRequired_)) {
        setState(GestureState::Failed);
        return;
    }
    maxTouches_ = 0;
    if (++taps_ >= tapsRequired_) {
        setState(GestureState::Ended);
        return;
    }
    std::weak_ptr<GestureRecognizer> weak = weak_from_this();
    waitTimer_ = RunLoop::main().performAfter(kMaximumTapInterval, [weak] {
        if (auto self = weak.lock()) self->fail();
    });
}

void TapGestureRecognizer::resetGesture() {
    taps_ = 0;
    maxTouches_ = 0;
    if (waitTimer_) {
        waitTimer_->invalidate();
        waitTimer_.reset();
    }
}

}  // namespace platform
