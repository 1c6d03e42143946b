#pragma once

#include "platform/ui/Control.h"

namespace platform {

// An on/off switch; a tap flips it and sends ValueChanged.
class Switch : public Control {
public:
    Switch();
    explicit Switch(const Rect& frame);

    std::string className() const override { return "Switch"; }
    std::string displayedText() const override { return on_ ? "1" : "0"; }

    bool isOn() const { return on_; }
    void setOn(bool on, bool animated = false);
    Color onTintColor() const { return onTint_; }
    void setOnTintColor(const Color& color) { onTint_ = color; markChanged(); }

    Size sizeThatFits(const Size& size) const override;
    void setFrame(const Rect& frame) override;
    void draw(GraphicsContext& context, const Rect& rect) override;

protected:
    void endTracking(const Touch& touch) override;

private:
    bool on_ = false;
    Color onTint_ = Color::rgba(0.3, 0.85, 0.39);
};

}  // namespace platform
