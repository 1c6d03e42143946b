#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Responder.h"

#include <memory>

namespace platform {

class View;

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

// One finger on the screen, from the moment it lands until it lifts. The dispatcher keeps
// the same object for the whole sequence and updates it in place.
struct Touch {
    int id = 0;
    TouchPhase phase = TouchPhase::Began;
    Point locationInWindow;
    Point previousLocationInWindow;
    int tapCount = 1;
    double timestamp = 0;
    // The view hit when the touch began; it keeps receiving the touch wherever it moves.
    std::weak_ptr<View> view;

    // Where the touch is in `view`'s coordinates (nullptr: the window's).
    Point locationInView(const View* inView) const;
    Point previousLocationInView(const View* inView) const;
};

}  // namespace platform
