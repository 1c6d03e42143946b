#include "platform/ui/Switch.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Touch.h"

namespace platform {

namespace {
constexpr Size kSize{51, 31};
}

Switch::Switch() {
    setOpaque(false);
    View::setFrame({0, 0, kSize.width, kSize.height});
}

Switch::Switch(const Rect& frame) : Switch() { setFrame(frame); }

void Switch::setOn(bool on, bool) {
    if (on_ == on) return;
    on_ = on;
    markChanged();
}

Size Switch::sizeThatFits(const Size&) const { return kSize; }

// A switch keeps its own size wherever it is placed.
void Switch::setFrame(const Rect& frame) { View::setFrame({frame.x(), frame.y(), kSize.width, kSize.height}); }

void Switch::endTracking(const Touch& touch) {
    if (!insideWithSlop(touch.locationInView(this))) return;
    setOn(!on_, true);
    sendActionsForControlEvents(ControlEventValueChanged);
}

void Switch::draw(GraphicsContext& context, const Rect& rect) {
    Rect b = bounds();
    double r = b.height() / 2;
    context.save();
    context.setFillColor(on_ ? onTint_ : Color::white(0.9));
    context.fillRoundedRect(b, r);
    context.setFillColor(Color::whiteColor());
    double knob = b.height() - 4;
    context.fillEllipse({on_ ? b.maxX() - 2 - knob : b.minX() + 2, b.minY() + 2, knob, knob});
    context.restore();
    View::draw(context, rect);
}

}  // namespace platform
