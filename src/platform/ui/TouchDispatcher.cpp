#include "platform/ui/TouchDispatcher.h"

#include "platform/Clock.h"
#include "platform/ui/Control.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/View.h"

#include <algorithm>
#include <cmath>

namespace platform {

TouchDispatcher& TouchDispatcher::shared() {
    static TouchDispatcher dispatcher;
    return dispatcher;
}

std::shared_ptr<View> TouchDispatcher::viewForTouch(int touchId) const {
    auto it = tracking_.find(touchId);
    return it == tracking_.end() ? nullptr : it->second.view;
}

void TouchDispatcher::reset() { tracking_.clear(); }

std::vector<std::shared_ptr<GestureRecognizer>> TouchDispatcher::recognizersFor(View& hit) {
    std::vector<std::shared_ptr<GestureRecognizer>> result;
    const Control* control = nullptr;
    for (auto v = hit.ptr(); v; v = v->superview()) {
        for (auto& r : v->gestureRecognizers()) {
            if (!r->isEnabled()) continue;
            if (control && control->isEnabled() && control->blocksGestureRecognizer(*r)) continue;
            result.push_back(r);
        }
        if (!control) control = dynamic_cast<const Control*>(v.get());
    }
    return result;
}

void TouchDispatcher::touchBegan(View& root, Point windowPoint, int touchId) {
    if (tracking_.count(touchId)) touchCancelled(root, touchId);
    auto hit = root.hitTest(root.convertPointFrom(windowPoint, nullptr));
    if (!hit) return;

    double t = now();
    int tapCount = 1;
    if (lastTapTime_ >= 0 && t - lastTapTime_ <= 0.35 &&
        std::hypot(windowPoint.x - lastTapPoint_.x, windowPoint.y - lastTapPoint_.y) <= 30)
        tapCount = lastTapCount_ + 1;

    auto touch = std::make_shared<Touch>();
    touch->id = touchId;
    touch->phase = TouchPhase::Began;
    touch->locationInWindow = touch->previousLocationInWindow = windowPoint;
    touch->tapCount = tapCount;
    touch->timestamp = t;
    touch->view = hit;

    Tracking& track = tracking_[touchId];
    track.touch = touch;
    track.view = hit;
    track.recognizers = recognizersFor(*hit);

    Touches touches{touch};
    auto recognizers = track.recognizers;
    for (auto& r : recognizers)
        if (r->view()) r->handleTouchesBegan(touches);
    auto it = tracking_.find(touchId);
    if (it != tracking_.end() && !it->second.viewCancelled) hit->touchesBegan(touches);
}

void TouchDispatcher::touchMoved(View&, Point windowPoint, int touchId) {
    auto it = tracking_.find(touchId);
    if (it == tracking_.end()) return;
    auto touch = it->second.touch;
    auto view = it->second.view;
    touch->previousLocationInWindow = touch->locationInWindow;
    touch->locationInWindow = windowPoint;
    touch->phase = TouchPhase::Moved;
    touch->timestamp = now();
    Touches touches{touch};
    auto recognizers = it->second.recognizers;
    for (auto& r : recognizers)
        if (r->view()) r->handleTouchesMoved(touches);
    it = tracking_.find(touchId);
    if (it != tracking_.end() && !it->second.viewCancelled) view->touchesMoved(touches);
}

void TouchDispatcher::touchEnded(View&, Point windowPoint, int touchId) {
    auto it = tracking_.find(touchId);
    if (it == tracking_.end()) return;
    auto touch = it->second.touch;
    touch->previousLocationInWindow = touch->locationInWindow;
    touch->locationInWindow = windowPoint;
    touch->phase = TouchPhase::Ended;
    touch->timestamp = now();
    lastTapTime_ = touch->timestamp;
    lastTapPoint_ = windowPoint;
    lastTapCount_ = touch->tapCount;
    finish(touchId, false);
}

void TouchDispatcher::touchCancelled(View&, int touchId) {
    auto it = tracking_.find(touchId);
    if (it == tracking_.end()) return;
    it->second.touch->phase = TouchPhase::Cancelled;
    it->second.touch->timestamp = now();
    finish(touchId, true);
}

void TouchDispatcher::finish(int touchId, bool cancelled) {
    auto it = tracking_.find(touchId);
    Tracking track = it->second;
    Touches touches{track.touch};
    for (auto& r : track.recognizers) {
        if (!r->view()) continue;
        if (cancelled) r->handleTouchesCancelled(touches);
        else r->handleTouchesEnded(touches);
    }
    it = tracking_.find(touchId);
    if (it == tracking_.end()) return;
    bool deliver = !it->second.viewCancelled;
    tracking_.erase(it);
    if (deliver) {
        if (cancelled) track.view->touchesCancelled(touches);
        else track.view->touchesEnded(touches);
    }
}

bool TouchDispatcher::mayRecognize(GestureRecognizer& recognizer) {
    for (auto& [id, track] : tracking_) {
        auto& list = track.recognizers;
        bool shares = std::any_of(list.begin(), list.end(), [&](auto& r) { return r.get() == &recognizer; });
        if (!shares) continue;
        for (auto& other : list) {
            if (other.get() == &recognizer || !other->isActive()) continue;
            if (!recognizer.canRecognizeSimultaneouslyWith(*other)) return false;
        }
    }
    return true;
}

void TouchDispatcher::recognizerDidRecognize(GestureRecognizer& recognizer) {
    std::vector<int> ids;
    for (auto& [id, track] : tracking_) {
        auto& list = track.recognizers;
        if (std::any_of(list.begin(), list.end(), [&](auto& r) { return r.get() == &recognizer; })) ids.push_back(id);
    }
    for (int id : ids) {
        auto it = tracking_.find(id);
        if (it == tracking_.end()) continue;
        auto list = it->second.recognizers;
        for (auto& other : list)
            if (other.get() != &recognizer && other->state() == GestureState::Possible &&
                !recognizer.canRecognizeSimultaneouslyWith(*other))
                other->fail();
        it = tracking_.find(id);
        if (it == tracking_.end() || !recognizer.cancelsTouchesInView() || it->second.viewCancelled) continue;
        it->second.viewCancelled = true;
        auto touch = it->second.touch;
        auto view = it->second.view;
        TouchPhase phase = touch->phase;
        touch->phase = TouchPhase::Cancelled;
        view->touchesCancelled({touch});
        touch->phase = phase;
    }
}

}  // namespace platform
