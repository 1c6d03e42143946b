#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Responder.h"

#include <functional>
#include <memory>

namespace platform {

class View;

enum class GestureState { Possible, Began, Changed, Ended, Cancelled, Failed };

// Base of the gesture recognizers (tap, long press, pan, pinch, rotation). A recognizer
// watches the touches that reach its view and calls its action when it recognizes.
class GestureRecognizer : public std::enable_shared_from_this<GestureRecognizer> {
public:
    using Action = std::function<void(GestureRecognizer&)>;

    explicit GestureRecognizer(Action action = {}) : action_(std::move(action)) {}
    virtual ~GestureRecognizer() = default;

    View* view() const { return view_; }
    // Called by View::addGestureRecognizer / removeGestureRecognizer.
    void attachToView(View* view) { view_ = view; }

    void setAction(Action action) { action_ = std::move(action); }
    GestureState state() const { return state_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    bool cancelsTouchesInView() const { return cancelsTouchesInView_; }
    void setCancelsTouchesInView(bool on) { cancelsTouchesInView_ = on; }

protected:
    Action action_;
    View* view_ = nullptr;
    GestureState state_ = GestureState::Possible;
    bool enabled_ = true;
    bool cancelsTouchesInView_ = true;
};

}  // namespace platform
