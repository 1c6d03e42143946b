#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Responder.h"
#include "platform/ui/Touch.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform {

class View;

// Discrete recognizers (tap) go Possible → Ended ("recognized"); continuous ones (long
// press, pan, pinch, rotation) go Possible → Began → Changed… → Ended or Cancelled.
enum class GestureState { Possible, Began, Changed, Ended, Cancelled, Failed };

// Base of the gesture recognizers (tap, long press, pan, pinch, rotation). A recognizer
// watches the touches that reach its view (or a view inside it) and calls its action when
// it recognizes. The TouchDispatcher feeds it; subclasses read the touches and move the
// state with setState().
class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    using Action = std::function<void(GestureRecognizer&)>;

    explicit GestureRecognizer(Action action = {}) : action_(std::move(action)) {}
    virtual ~GestureRecognizer();

    View* view() const { return view_; }
    // Called by View::addGestureRecognizer / removeGestureRecognizer.
    void attachToView(View* view);

    void setAction(Action action) { action_ = std::move(action); }
    GestureState state() const { return state_; }
    bool isEnabled() const { return enabled_; }
    // Disabling a recognizer in the middle of a gesture cancels it.
    void setEnabled(bool enabled);
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool on) { cancelsTouchesInView_ = on; }

    // ---- Delegate answers. shouldBegin is asked when the recognizer is about to leave the
    // Possible state; returning false makes it fail. shouldRecognizeSimultaneously lets
    // two recognizers that see the same touches both recognize (asked of both; either
    // saying yes is enough).
    void setShouldBegin(std::function<bool(GestureRecognizer&)> answer) { shouldBegin_ = std::move(answer); }
    void setShouldRecognizeSimultaneously(std::function<bool(GestureRecognizer& self, GestureRecognizer& other)> answer) {
        shouldRecognizeSimultaneously_ = std::move(answer);
    }
    bool canRecognizeSimultaneouslyWith(GestureRecognizer& other);

    // Centroid of the touches in `view`'s coordinates (nullptr: window). After the touches
    // have lifted it answers where they were last.
    Point locationInView(const View* view) const;
    size_t numberOfTouches() const { return touches_.size(); }

    virtual bool isDiscrete() const { return false; }
    virtual std::string kind() const { return "GestureRecognizer"; }

    // ---- Fed by the TouchDispatcher. Keep the touch bookkeeping and call the virtual
    // touches methods while the recognizer is still in play.
    void handleTouchesBegan(const Touches& touches);
    void handleTouchesMoved(const Touches& touches);
    void handleTouchesEnded(const Touches& touches);
    void handleTouchesCancelled(const Touches& touches);
    // Another recognizer won the touches.
    void fail();
    bool isActive() const { return state_ == GestureState::Began || state_ == GestureState::Changed; }
    bool isFinished() const {
        return state_ == GestureState::Ended || state_ == GestureState::Cancelled || state_ == GestureState::Failed;
    }
    // Back to Possible, forgetting the gesture (called when its touches are all gone).
    void reset();

protected:
    virtual void touchesBegan(const Touches& touches) { (void)touches; }
    virtual void touchesMoved(const Touches& touches) { (void)touches; }
    virtual void touchesEnded(const Touches& touches) { (void)touches; }
    virtual void touchesCancelled(const Touches& touches) { (void)touches; }
    // Subclasses forget their own gesture state here (timers, start points).
    virtual void resetGesture() {}
    // Moves the state, asking the delegate and the dispatcher before the recognizer leaves
    // Possible, and calls the action for Began, Changed, Ended and (after a start) Cancelled.
    void setState(GestureState state);
    Point centroidInWindow() const;

    Action action_;
    View* view_ = nullptr;
    GestureState state_ = GestureState::Possible;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
    std::map<int, std::shared_ptr<Touch>> touches_;

private:
    bool mayLeavePossible();
    std::function<bool(GestureRecognizer&)> shouldBegin_;
    std::function<bool(GestureRecognizer&, GestureRecognizer&)> shouldRecognizeSimultaneously_;
    Point lastLocation_;
};

using GestureRecognizerRef = std::shared_ptr<GestureRecognizer>;

}  // namespace platform
