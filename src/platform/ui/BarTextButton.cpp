#include "platform/ui/BarTextButton.h"

#include "platform/Values.h"
#include "platform/ui/Touch.h"

namespace platform {

BarTextButton::BarTextButton(const std::string& text, std::function<void()> action)
    : text_(text), action_(std::move(action)) {}

void BarTextButton::performAction() {
    if (enabled_ && action_) {
        auto action = action_;  // the action may replace this button
        action();
    }
}

Size BarTextButton::sizeThatFits(const Size&) const {
    // An estimate without a font engine: wide characters count double.
    double units = 0;
    for (char16_t c : toUtf16(text_)) units += c < 0x2E80 ? 0.55 : 1.0;
    return {units * fontSize_ + 16, 44};
}

void BarTextButton::touchesBegan(const Touches& touches) {
    if (!action_) return View::touchesBegan(touches);
    highlighted_ = enabled_;
    markChanged();
}

void BarTextButton::touchesMoved(const Touches& touches) {
    if (!action_) return View::touchesMoved(touches);
    if (touches.empty()) return;
    bool inside = bounds().insetBy(-30, -30).contains(touches.front()->locationInView(this));
    if (inside != highlighted_) {
        highlighted_ = inside && enabled_;
        markChanged();
    }
}

void BarTextButton::touchesEnded(const Touches& touches) {
    if (!action_) return View::touchesEnded(touches);
    bool inside = !touches.empty() && bounds().insetBy(-30, -30).contains(touches.front()->locationInView(this));
    highlighted_ = false;
    markChanged();
    if (inside) performAction();
}

void BarTextButton::touchesCancelled(const Touches& touches) {
    if (!action_) return View::touchesCancelled(touches);
    highlighted_ = false;
    markChanged();
}

}  // namespace platform
