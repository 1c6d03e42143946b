#include "platform/ui/Control.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace platform {

void Control::setEnabled(bool enabled) {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    if (!enabled) {
        tracking_ = false;
        if (highlighted_) highlighted_ = false;
    }
    stateDidChange();
    markChanged();
}

void Control::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    stateDidChange();
    markChanged();
}

void Control::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    stateDidChange();
    markChanged();
}

unsigned Control::state() const {
    unsigned s = ControlStateNormal;
    if (highlighted_) s |= ControlStateHighlighted;
    if (!enabled_) s |= ControlStateDisabled;
    if (selected_) s |= ControlStateSelected;
    return s;
}

void Control::setContentHorizontalAlignment(ControlContentHorizontalAlignment a) {
    hAlign_ = a;
    setNeedsLayout();
    markChanged();
}

void Control::setContentVerticalAlignment(ControlContentVerticalAlignment a) {
    vAlign_ = a;
    setNeedsLayout();
    markChanged();
}

int Control::addTarget(unsigned events, Handler handler) {
    int id = nextTargetId_++;
    targets_.push_back({id, events, std::move(handler)});
    return id;
}

int Control::addResponderChainAction(unsigned events, const std::string& action) {
    return addTarget(events, [action](Control& control) { Responder::sendActionUpChain(control.nextResponder(), action); });
}

void Control::removeTarget(int id) {
    targets_.erase(std::remove_if(targets_.begin(), targets_.end(), [id](const Target& t) { return t.id == id; }),
                   targets_.end());
}

void Control::removeAllTargets() { targets_.clear(); }

bool Control::hasTargetsForEvents(unsigned events) const {
    return std::any_of(targets_.begin(), targets_.end(), [events](const Target& t) { return (t.events & events) != 0; });
}

void Control::sendActionsForControlEvents(unsigned events) {
    // Handlers may add or remove targets, or drop the control: work on a copy.
    auto keep = weak_from_this().lock();
    auto targets = targets_;
    for (auto& t : targets)
        if ((t.events & events) && t.handler) t.handler(*this);
}

bool Control::blocksGestureRecognizer(const GestureRecognizer& recognizer) const {
    return dynamic_cast<const TapGestureRecognizer*>(&recognizer) != nullptr;
}

bool Control::insideWithSlop(const Point& p) const {
    return bounds().insetBy(-kTouchSlop, -kTouchSlop).contains(p);
}

// A disabled control still catches the touch but hands it up the responder chain.
void Control::touchesBegan(const Touches& touches) {
    forwarding_ = !enabled_;
    if (forwarding_) return View::touchesBegan(touches);
    if (touches.empty()) return;
    const Touch& touch = *touches.front();
    touchInside_ = true;
    tracking_ = beginTracking(touch);
    setHighlighted(true);
    unsigned events = ControlEventTouchDown;
    if (touch.tapCount > 1) events |= ControlEventTouchDownRepeat;
    sendActionsForControlEvents(events);
}

void Control::touchesMoved(const Touches& touches) {
    if (forwarding_) return View::touchesMoved(touches);
    if (!enabled_ || touches.empty()) return;
    const Touch& touch = *touches.front();
    bool wasInside = touchInside_;
    touchInside_ = insideWithSlop(touch.locationInView(this));
    setHighlighted(touchInside_);
    if (tracking_) tracking_ = continueTracking(touch);
    unsigned events = touchInside_ ? ControlEventTouchDragInside : ControlEventTouchDragOutside;
    if (wasInside != touchInside_) events |= touchInside_ ? ControlEventTouchDragEnter : ControlEventTouchDragExit;
    sendActionsForControlEvents(events);
}

void Control::touchesEnded(const Touches& touches) {
    if (forwarding_) return View::touchesEnded(touches);
    if (!enabled_ || touches.empty()) return;
    const Touch& touch = *touches.front();
    touchInside_ = insideWithSlop(touch.locationInView(this));
    if (tracking_) endTracking(touch);
    tracking_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(touchInside_ ? ControlEventTouchUpInside : ControlEventTouchUpOutside);
    touchInside_ = false;
}

void Control::touchesCancelled(const Touches& touches) {
    if (forwarding_) return View::touchesCancelled(touches);
    if (tracking_) cancelTracking();
    tracking_ = false;
    touchInside_ = false;
    setHighlighted(false);
    sendActionsForControlEvents(ControlEventTouchCancel);
}

}  // namespace platform
