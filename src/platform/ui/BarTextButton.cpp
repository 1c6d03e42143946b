#include "platform/ui/BarTextButton.h"

#include "platform/ui/Font.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/TextMeasure.h"
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
    Font font = bold_ ? Font::boldSystemFontOfSize(fontSize_) : Font::systemFontOfSize(fontSize_);
    Size text = TextMeasure::size(text_, font);
    return {text.width + 16, 44};
}

void BarTextButton::draw(GraphicsContext& context, const Rect& rect) {
    Font font = bold_ ? Font::boldSystemFontOfSize(fontSize_) : Font::systemFontOfSize(fontSize_);
    Color color = enabled_ ? textColor_ : textColor_.withAlpha(textColor_.a * 0.4);
    if (highlighted_) color = color.withAlpha(color.a * 0.5);
    double lineH = font.lineHeight();
    Rect line{0, (bounds().height() - lineH) / 2, bounds().width(), lineH};
    context.drawText(text_, line, font, color, TextAlignment::Center, LineBreakMode::TruncateTail, 1);
    View::draw(context, rect);
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
