#pragma once

#include "platform/ui/View.h"

#include <functional>
#include <string>

namespace platform {

// A text on a bar that may act on a tap: the title of a navigation bar, the back button,
// a bar button item given as a title, a button of an alert or action sheet.
class BarTextButton : public View {
public:
    BarTextButton(const std::string& text, std::function<void()> action);
    std::string className() const override { return "BarTextButton"; }
    std::string displayedText() const override { return text_; }
    const std::string& text() const { return text_; }
    void setText(const std::string& text) { text_ = text; markChanged(); }
    Color textColor() const { return textColor_; }
    void setTextColor(const Color& color) { textColor_ = color; markChanged(); }
    double fontSize() const { return fontSize_; }
    void setFontSize(double size) { fontSize_ = size; markChanged(); }
    bool isBold() const { return bold_; }
    void setBold(bool bold) { bold_ = bold; markChanged(); }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; markChanged(); }
    bool isHighlighted() const { return highlighted_; }
    void setAction(std::function<void()> action) { action_ = std::move(action); }
    // What a tap does (the driver calls it through real touches).
    void performAction();

    Size sizeThatFits(const Size& size) const override;
    void draw(GraphicsContext& context, const Rect& rect) override;
    void touchesBegan(const Touches& touches) override;
    void touchesMoved(const Touches& touches) override;
    void touchesEnded(const Touches& touches) override;
    void touchesCancelled(const Touches& touches) override;

private:
    std::string text_;
    std::function<void()> action_;
    Color textColor_ = Color::rgba(0, 0.478, 1);
    double fontSize_ = 17;
    bool bold_ = false;
    bool enabled_ = true;
    bool highlighted_ = false;
};

}  // namespace platform
