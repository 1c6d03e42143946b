#pragma once

#include "platform/Timer.h"
#include "platform/ui/GestureRecognizer.h"

namespace platform {

// Recognizes when the finger lifts after `numberOfTapsRequired` quick taps that hardly
// moved. Taps in a series must follow within 0.35 seconds of each other.
class TapGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;
    ~TapGestureRecognizer() override;

    int numberOfTapsRequired() const { return tapsRequired_; }
    void setNumberOfTapsRequired(int taps) { tapsRequired_ = taps < 1 ? 1 : taps; }
    int numberOfTouchesRequired() const { return touchesRequired_; }
    void setNumberOfTouchesRequired(int touches) { touchesRequired_ = touches < 1 ? 1 : touches; }

    bool isDiscrete() const override { return true; }
    std::string kind() const override { return "Tap"; }

    static constexpr double kMaximumTapInterval = 0.35;
    static constexpr double kAllowableMovement = 10;

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void resetGesture() override;

private:
    int tapsRequired_ = 1;
    int touchesRequired_ = 1;
    int taps_ = 0;
    size_t maxTouches_ = 0;
    Point start_;
    TimerRef waitTimer_;
};

}  // namespace platform
