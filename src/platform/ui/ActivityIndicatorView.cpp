#include "platform/ui/ActivityIndicatorView.h"

#include "platform/Clock.h"
#include "platform/RunLoop.h"
#include "platform/ui/GraphicsContext.h"

#include <cmath>
#include <numbers>

namespace platform {

ActivityIndicatorView::ActivityIndicatorView(ActivityIndicatorViewStyle style) : style_(style) {
    setOpaque(false);
    setActivityIndicatorViewStyle(style);
    setHidden(true);
}

ActivityIndicatorView::~ActivityIndicatorView() {
    if (ticker_) ticker_->invalidate();
}

void ActivityIndicatorView::didMoveToWindow() { updateTicker(); }

void ActivityIndicatorView::updateTicker() {
    bool want = animating_ && window() != nullptr;
    if (want == (ticker_ != nullptr)) return;
    if (!want) {
        ticker_->invalidate();
        ticker_.reset();
        return;
    }
    std::weak_ptr<View> weak = weak_from_this();
    ticker_ = RunLoop::main().scheduleTimer(1.0 / 12, true, [weak](Timer& t) {
        if (auto self = weak.lock()) self->setNeedsDisplay();
        else t.invalidate();
    });
}

void ActivityIndicatorView::setActivityIndicatorViewStyle(ActivityIndicatorViewStyle style) {
    style_ = style;
    color_ = style == ActivityIndicatorViewStyle::Gray ? Color::gray() : Color::whiteColor();
    Size s = sizeThatFits({});
    Rect f = frame();
    View::setFrame({f.x(), f.y(), s.width, s.height});
}

Size ActivityIndicatorView::sizeThatFits(const Size&) const {
    return style_ == ActivityIndicatorViewStyle::WhiteLarge ? Size{37, 37} : Size{20, 20};
}

void ActivityIndicatorView::startAnimating() {
    animating_ = true;
    setHidden(false);
    updateTicker();
    markChanged();
}

void ActivityIndicatorView::stopAnimating() {
    animating_ = false;
    if (hidesWhenStopped_) setHidden(true);
    updateTicker();
    markChanged();
}

void ActivityIndicatorView::setHidesWhenStopped(bool on) {
    hidesWhenStopped_ = on;
    setHidden(on && !animating_);
}

void ActivityIndicatorView::draw(GraphicsContext& context, const Rect& rect) {
    // Twelve spokes, the brightest one turning with the clock (a full turn a second).
    Rect b = bounds();
    double r = std::min(b.width(), b.height()) / 2;
    int lead = animating_ ? int(std::fmod(now(), 1.0) * 12) : 0;
    context.save();
    context.setLineWidth(r / 5);
    for (int i = 0; i < 12; ++i) {
        double angle = i * std::numbers::pi / 6;
        double fade = double((i - lead + 12) % 12) / 12;
        context.setStrokeColor(color_.withAlpha(color_.a * (1 - 0.8 * fade)));
        Point c{b.midX(), b.midY()};
        context.drawLine({c.x + std::cos(angle) * r * 0.45, c.y + std::sin(angle) * r * 0.45},
                         {c.x + std::cos(angle) * r * 0.9, c.y + std::sin(angle) * r * 0.9});
    }
    context.restore();
    View::draw(context, rect);
}

}  // namespace platform
