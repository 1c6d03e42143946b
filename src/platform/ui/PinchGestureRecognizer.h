#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace platform {

// Two fingers moving apart or together. Scale is the distance between them over the
// distance when they both landed; velocity is in scale per second.
class PinchGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    double scale() const { return scale_; }
    void setScale(double scale);
    double velocity() const { return velocity_; }

    std::string kind() const override { return "Pinch"; }

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void resetGesture() override;

private:
    double spread() const;
    double startSpread_ = 0;
    double scale_ = 1;
    double base_ = 1;
    double velocity_ = 0;
    double lastTime_ = 0;
};

}  // namespace platform
