#include "platform/ui/Slider.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/Touch.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace platform {

namespace {
constexpr double kThumb = 28;
}

Slider::Slider() { setOpaque(false); }

Slider::Slider(const Rect& frame) : Control(frame) { setOpaque(false); }

std::string Slider::displayedText() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", value_);
    return buf;
}

void Slider::setValue(double value, bool) {
    value_ = std::clamp(value, min_, std::max(min_, max_));
    markChanged();
}

void Slider::setMinimumValue(double v) {
    min_ = v;
    if (max_ < min_) max_ = min_;
    setValue(value_);
}

void Slider::setMaximumValue(double v) {
    max_ = v;
    if (min_ > max_) min_ = max_;
    setValue(value_);
}

void Slider::setThumbImage(ImageRef image, unsigned state) {
    if (state & ControlStateHighlighted) thumbHighlighted_ = std::move(image);
    else thumb_ = std::move(image);
    markChanged();
}

ImageRef Slider::currentThumbImage() const { return isHighlighted() && thumbHighlighted_ ? thumbHighlighted_ : thumb_; }

void Slider::setMinimumTrackImage(ImageRef image, unsigned) {
    minTrack_ = std::move(image);
    markChanged();
}

void Slider::setMaximumTrackImage(ImageRef image, unsigned) {
    maxTrack_ = std::move(image);
    markChanged();
}

Rect Slider::thumbRect() const {
    Size thumb = currentThumbImage() ? currentThumbImage()->size() : Size{kThumb, kThumb};
    Rect b = bounds();
    double fraction = max_ > min_ ? (value_ - min_) / (max_ - min_) : 0;
    double x = b.minX() + (b.width() - thumb.width) * fraction;
    return {x, b.midY() - thumb.height / 2, thumb.width, thumb.height};
}

double Slider::valueAt(double thumbX) const {
    Rect b = bounds();
    double travel = b.width() - thumbRect().width();
    double fraction = travel > 0 ? std::clamp((thumbX - b.minX()) / travel, 0.0, 1.0) : 0;
    return min_ + (max_ - min_) * fraction;
}

bool Slider::blocksGestureRecognizer(const GestureRecognizer& recognizer) const {
    return Control::blocksGestureRecognizer(recognizer) || dynamic_cast<const PanGestureRecognizer*>(&recognizer);
}

bool Slider::beginTracking(const Touch& touch) {
    Point p = touch.locationInView(this);
    Rect thumb = thumbRect();
    changed_ = false;
    if (!thumb.insetBy(-10, -10).contains(p)) return false;
    grabOffset_ = p.x - thumb.x();
    return true;
}

bool Slider::continueTracking(const Touch& touch) {
    double v = valueAt(touch.locationInView(this).x - grabOffset_);
    if (v != value_) {
        setValue(v);
        changed_ = true;
        if (continuous_) sendActionsForControlEvents(ControlEventValueChanged);
    }
    return true;
}

void Slider::endTracking(const Touch& touch) {
    continueTracking(touch);
    if (!continuous_ && changed_) sendActionsForControlEvents(ControlEventValueChanged);
}

void Slider::draw(GraphicsContext& context, const Rect& rect) {
    Rect b = bounds();
    Rect thumb = thumbRect();
    Rect track(b.minX() + 2, b.midY() - 1, b.width() - 4, 2);
    Rect left(track.x(), track.y(), thumb.midX() - track.x(), track.height());
    Rect right(thumb.midX(), track.y(), track.maxX() - thumb.midX(), track.height());
    if (minTrack_) context.drawImage(*minTrack_, {left.x(), b.midY() - minTrack_->size().height / 2, left.width(), minTrack_->size().height});
    else context.fillRect(left, minTint_);
    if (maxTrack_) context.drawImage(*maxTrack_, {right.x(), b.midY() - maxTrack_->size().height / 2, right.width(), maxTrack_->size().height});
    else context.fillRect(right, maxTint_);
    if (auto image = currentThumbImage()) {
        context.drawImage(*image, thumb);
    } else {
        context.save();
        context.setFillColor(Color::whiteColor());
        context.fillEllipse(thumb);
        context.setStrokeColor(Color::white(0.8));
        context.strokeEllipse(thumb);
        context.restore();
    }
    View::draw(context, rect);
}

}  // namespace platform
