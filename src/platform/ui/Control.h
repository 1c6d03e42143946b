#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <vector>

namespace platform {

class GestureRecognizer;

enum ControlEvent : unsigned {
    ControlEventTouchDown = 1 << 0,
    ControlEventTouchDownRepeat = 1 << 1,
    ControlEventTouchDragInside = 1 << 2,
    ControlEventTouchDragOutside = 1 << 3,
    ControlEventTouchDragEnter = 1 << 4,
    ControlEventTouchDragExit = 1 << 5,
    ControlEventTouchUpInside = 1 << 6,
    ControlEventTouchUpOutside = 1 << 7,
    ControlEventTouchCancel = 1 << 8,
    ControlEventValueChanged = 1 << 12,
    ControlEventEditingDidBegin = 1 << 16,
    ControlEventEditingChanged = 1 << 17,
    ControlEventEditingDidEnd = 1 << 18,
    ControlEventEditingDidEndOnExit = 1 << 19,
    ControlEventAllTouchEvents = 0x00000FFF,
    ControlEventAllEditingEvents = 0x000F0000,
    ControlEventAllEvents = 0xFFFFFFFF,
};

enum ControlState : unsigned {
    ControlStateNormal = 0,
    ControlStateHighlighted = 1 << 0,
    ControlStateDisabled = 1 << 1,
    ControlStateSelected = 1 << 2,
};

enum class ControlContentHorizontalAlignment { Center, Left, Right, Fill };
enum class ControlContentVerticalAlignment { Center, Top, Bottom, Fill };

// A view that turns touches into actions: buttons, switches, sliders, text fields.
// Targets are callbacks registered per event mask; a disabled control does nothing with
// its touches and passes them up the responder chain.
class Control : public View {
public:
    using View::View;
    using Handler = std::function<void(Control&)>;

    std::string className() const override { return "Control"; }

    bool isEnabled() const { return enabled_; }
    virtual void setEnabled(bool enabled);
    bool isSelected() const { return selected_; }
    virtual void setSelected(bool selected);
    bool isHighlighted() const { return highlighted_; }
    virtual void setHighlighted(bool highlighted);
    bool isTracking() const { return tracking_; }
    bool isTouchInside() const { return touchInside_; }
    // The state as a mask of ControlState flags.
    unsigned state() const;

    ControlContentHorizontalAlignment contentHorizontalAlignment() const { return hAlign_; }
    void setContentHorizontalAlignment(ControlContentHorizontalAlignment a);
    ControlContentVerticalAlignment contentVerticalAlignment() const { return vAlign_; }
    void setContentVerticalAlignment(ControlContentVerticalAlignment a);

    // Registers `handler` for every event in `events`. The returned id removes it again.
    int addTarget(unsigned events, Handler handler);
    // Registers a named action with no target: on any of `events` it climbs the responder
    // chain from this control's next responder to the first responder that answers it
    // (performResponderAction); when nobody answers, nothing happens.
    int addResponderChainAction(unsigned events, const std::string& action);
    void removeTarget(int id);
    void removeAllTargets();
    bool hasTargetsForEvents(unsigned events) const;
    // Calls, in registration order, every handler registered for any of `events`.
    void sendActionsForControlEvents(unsigned events);

    // Whether a recognizer of an ancestor must not see touches that land on this control
    // while it is enabled. Taps belong to the control.
    virtual bool blocksGestureRecognizer(const GestureRecognizer& recognizer) const;

    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

protected:
    // Tracking hooks for subclasses (slider, switch); return false to stop tracking.
    virtual bool beginTracking(const Touch& touch) { (void)touch; return true; }
    virtual bool continueTracking(const Touch& touch) { (void)touch; return true; }
    virtual void endTracking(const Touch& touch) { (void)touch; }
    virtual void cancelTracking() {}
    // A change of enabled/selected/highlighted, for subclasses that restyle.
    virtual void stateDidChange() {}
    // Touches this far outside the bounds still count as inside.
    static constexpr double kTouchSlop = 70;
    bool insideWithSlop(const Point& local) const;

private:
    struct Target {
        int id;
        unsigned events;
        Handler handler;
    };
    std::vector<Target> targets_;
    int nextTargetId_ = 1;
    bool enabled_ = true;
    bool selected_ = false;
    bool highlighted_ = false;
    bool tracking_ = false;
    bool touchInside_ = false;
    bool forwarding_ = false;  // the touch began while disabled: it goes up the chain
    ControlContentHorizontalAlignment hAlign_ = ControlContentHorizontalAlignment::Center;
    ControlContentVerticalAlignment vAlign_ = ControlContentVerticalAlignment::Center;
};

using ControlRef = std::shared_ptr<Control>;

}  // namespace platform
