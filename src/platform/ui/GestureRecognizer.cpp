#include "platform/ui/GestureRecognizer.h"

#include "platform/ui/TouchDispatcher.h"
#include "platform/ui/View.h"

namespace platform {

GestureRecognizer::~GestureRecognizer() = default;

void GestureRecognizer::attachToView(View* view) {
    if (view_ != view) {
        if (view_ && isActive()) setState(GestureState::Cancelled);
        reset();
    }
    view_ = view;
}

void GestureRecognizer::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) {
        if (isActive()) setState(GestureState::Cancelled);
        else if (state_ == GestureState::Possible && !touches_.empty()) fail();
    }
}

bool GestureRecognizer::canRecognizeSimultaneouslyWith(GestureRecognizer& other) {
    if (shouldRecognizeSimultaneously_ && shouldRecognizeSimultaneously_(*this, other)) return true;
    if (other.shouldRecognizeSimultaneously_ && other.shouldRecognizeSimultaneously_(other, *this)) return true;
    return false;
}

Point GestureRecognizer::centroidInWindow() const {
    if (touches_.empty()) return lastLocation_;
    Point sum;
    for (auto& [id, touch] : touches_) {
        sum.x += touch->locationInWindow.x;
        sum.y += touch->locationInWindow.y;
    }
    double n = double(touches_.size());
    return {sum.x / n, sum.y / n};
}

Point GestureRecognizer::locationInView(const View* view) const {
    Point p = centroidInWindow();
    return view ? view->convertPointFrom(p, nullptr) : p;
}

void GestureRecognizer::handleTouchesBegan(const Touches& touches) {
    for (auto& t : touches) touches_[t->id] = t;
    lastLocation_ = centroidInWindow();
    if (enabled_ && !isFinished()) touchesBegan(touches);
}

void GestureRecognizer::handleTouchesMoved(const Touches& touches) {
    lastLocation_ = centroidInWindow();
    if (enabled_ && !isFinished()) touchesMoved(touches);
}

void GestureRecognizer::handleTouchesEnded(const Touches& touches) {
    lastLocation_ = centroidInWindow();
    auto self = weak_from_this().lock();  // the action may drop the last owner
    if (enabled_ && !isFinished()) touchesEnded(touches);
    for (auto& t : touches) touches_.erase(t->id);
    if (touches_.empty()) {
        if (isActive()) setState(GestureState::Cancelled);
        if (isFinished()) reset();
    }
}

void GestureRecognizer::handleTouchesCancelled(const Touches& touches) {
    lastLocation_ = centroidInWindow();
    auto self = weak_from_this().lock();
    if (enabled_ && !isFinished()) touchesCancelled(touches);
    for (auto& t : touches) touches_.erase(t->id);
    if (isActive()) setState(GestureState::Cancelled);
    else if (state_ == GestureState::Possible) state_ = GestureState::Failed;
    if (touches_.empty()) reset();
}

void GestureRecognizer::fail() {
    if (state_ != GestureState::Possible) return;
    state_ = GestureState::Failed;
    resetGesture();
    if (touches_.empty()) reset();
}

void GestureRecognizer::reset() {
    state_ = GestureState::Possible;
    touches_.clear();
    resetGesture();
}

bool GestureRecognizer::mayLeavePossible() {
    if (!enabled_ || !view_) return false;
    if (shouldBegin_ && !shouldBegin_(*this)) return false;
    return TouchDispatcher::shared().mayRecognize(*this);
}

void GestureRecognizer::setState(GestureState state) {
    auto self = weak_from_this().lock();
    bool starting = state_ == GestureState::Possible &&
                    (state == GestureState::Began || (state == GestureState::Ended && isDiscrete()));
    if (starting && !mayLeavePossible()) {
        state_ = GestureState::Failed;
        resetGesture();
        if (touches_.empty()) reset();
        return;
    }
    if (state == GestureState::Cancelled && !isActive()) {
        // Nothing began: there is nothing to cancel, the gesture simply failed.
        state_ = GestureState::Failed;
        return;
    }
    if (state == GestureState::Failed) {
        state_ = GestureState::Failed;
        resetGesture();
        return;
    }
    state_ = state;
    if (starting) TouchDispatcher::shared().recognizerDidRecognize(*this);
    if (state == GestureState::Possible) return;
    if (action_) {
        auto action = action_;  // the action may replace or remove this recognizer
        action(*this);
    }
    // A discrete gesture whose touches are already gone is over.
    if (isFinished() && touches_.empty()) reset();
}

}  // namespace platform
