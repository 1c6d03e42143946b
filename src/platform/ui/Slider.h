#pragma once

#include "platform/ui/Control.h"
#include "platform/ui/Image.h"

namespace platform {

// A value between a minimum and a maximum chosen by dragging the thumb along the track.
// While the thumb moves it sends ValueChanged (at every move when continuous, else once
// on release). It keeps drags and taps that start on it from its ancestors' recognizers.
class Slider : public Control {
public:
    Slider();
    explicit Slider(const Rect& frame);

    std::string className() const override { return "Slider"; }
    std::string displayedText() const override;

    double value() const { return value_; }
    void setValue(double value, bool animated = false);
    double minimumValue() const { return min_; }
    void setMinimumValue(double v);
    double maximumValue() const { return max_; }
    void setMaximumValue(double v);
    bool isContinuous() const { return continuous_; }
    void setContinuous(bool on) { continuous_ = on; }

    Color minimumTrackTintColor() const { return minTint_; }
    void setMinimumTrackTintColor(const Color& c) { minTint_ = c; markChanged(); }
    Color maximumTrackTintColor() const { return maxTint_; }
    void setMaximumTrackTintColor(const Color& c) { maxTint_ = c; markChanged(); }
    void setThumbImage(ImageRef image, unsigned state = ControlStateNormal);
    ImageRef currentThumbImage() const;
    void setMinimumTrackImage(ImageRef image, unsigned state = ControlStateNormal);
    void setMaximumTrackImage(ImageRef image, unsigned state = ControlStateNormal);

    // Where the thumb is drawn, in the slider's coordinates.
    Rect thumbRect() const;

    bool blocksGestureRecognizer(const GestureRecognizer& recognizer) const override;
    void draw(GraphicsContext& context, const Rect& rect) override;

protected:
    bool beginTracking(const Touch& touch) override;
    bool continueTracking(const Touch& touch) override;
    void endTracking(const Touch& touch) override;

private:
    double valueAt(double x) const;
    double value_ = 0;
    double min_ = 0;
    double max_ = 1;
    bool continuous_ = true;
    bool changed_ = false;
    double grabOffset_ = 0;
    Color minTint_ = Color::rgba(0, 0.478, 1);
    Color maxTint_ = Color::rgba(0.72, 0.72, 0.72);
    ImageRef thumb_, thumbHighlighted_, minTrack_, maxTrack_;
};

}  // namespace platform
