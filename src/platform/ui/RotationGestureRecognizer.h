#pragma once

#include "platform/ui/GestureRecognizer.h"

namespace platform {

// Two fingers turning about each other. Rotation is in radians since they both landed,
// clockwise positive (y points down).
class RotationGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    double rotation() const { return rotation_; }
    void setRotation(double radians);
    double velocity() const { return velocity_; }

    std::string kind() const override { return "Rotation"; }

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void resetGesture() override;

private:
    double angle() const;
    bool hasStart_ = false;
    double startAngle_ = 0;
    double base_ = 0;
    double rotation_ = 0;
    double velocity_ = 0;
    double lastTime_ = 0;
};

}  // namespace platform
