#pragma once

#include "platform/ui/GestureRecognizer.h"

#include <deque>

namespace platform {

// Begins once the touches have moved 10 points from where they landed; reports Changed as
// they move and Ended when they lift. Translation is measured from the landing point.
class PanGestureRecognizer : public GestureRecognizer {
public:
    using GestureRecognizer::GestureRecognizer;

    // Movement since the touches landed (or since setTranslation), in `view`'s axes.
    Point translationInView(const View* view) const;
    void setTranslation(Point translation, const View* view);
    // Points per second over the last tenth of a second, in `view`'s axes.
    Point velocityInView(const View* view) const;

    size_t minimumNumberOfTouches() const { return minTouches_; }
    void setMinimumNumberOfTouches(size_t n) { minTouches_ = n; }
    size_t maximumNumberOfTouches() const { return maxTouches_; }
    void setMaximumNumberOfTouches(size_t n) { maxTouches_ = n; }

    std::string kind() const override { return "Pan"; }
    static constexpr double kHysteresis = 10;

protected:
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void resetGesture() override;

private:
    struct Sample {
        double time;
        Point point;
    };
    void addSample();
    Point toViewAxes(Point windowDelta, const View* view) const;

    size_t minTouches_ = 1;
    size_t maxTouches_ = 1000;
    Point start_;          // window coordinates
    Point offset_;         // translation set by setTranslation, window axes
    std::deque<Sample> samples_;
    Point velocity_;       // window axes
};

}  // namespace platform
