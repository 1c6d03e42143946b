#pragma once

#include "platform/Timer.h"
#include "platform/ui/GestureRecognizer.h"

namespace platform {

// Begins once a finger has stayed down for `minimumPressDuration` seconds (on the run loop
// clock) without moving more than `allowableMovement` points; then reports Changed as it
// moves and Ended when it lifts.
class LongPressGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~LongPressGestureRecognizer() override;

    double minimumPressDuration() const { return minimumPressDuration_; }
    void setMinimumPressDuration(double seconds) { minimumPressDuration_ = seconds; }
    double allowableMovement() const { return allowableMovement_; }
    void setAllowableMovement(double points) { allowableMovement_ = points; }

    std::string kind() const override { return "LongPress"; }

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void resetGesture() override;

private:
    double minimumPressDuration_ = 0.5;
    double allowableMovement_ = 10;
    Point start_;
    TimerRef timer_;
};

}  // namespace platform
