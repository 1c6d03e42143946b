#include "platform/ui/Label.h"

#include "platform/ui/GraphicsContext.h"

#include <cmath>

namespace platform {

Label::Label() { setUserInteractionEnabled(false); setOpaque(false); }

Label::Label(const Rect& frame) : View(frame) { setUserInteractionEnabled(false); setOpaque(false); }

void Label::setText(const std::string& text) {
    if (text_ == text) return;
    text_ = text;
    markChanged();
}

void Label::setFont(const Font& font) {
    font_ = font;
    markChanged();
}

void Label::setTextColor(const Color& color) {
    textColor_ = color;
    markChanged();
}

void Label::setHighlightedTextColor(const Color& color) {
    highlightedTextColor_ = color;
    markChanged();
}

void Label::setHighlighted(bool highlighted) {
    if (highlighted_ == highlighted) return;
    highlighted_ = highlighted;
    markChanged();
}

void Label::setEnabled(bool enabled) {
    enabled_ = enabled;
    markChanged();
}

void Label::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    markChanged();
}

void Label::setNumberOfLines(int lines) {
    numberOfLines_ = lines < 0 ? 0 : lines;
    markChanged();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    lineBreakMode_ = mode;
    markChanged();
}

void Label::setShadowColor(const Color& color) {
    shadowColor_ = color;
    markChanged();
}

void Label::setShadowOffset(Size offset) {
    shadowOffset_ = offset;
    markChanged();
}

void Label::setAdjustsFontSizeToFitWidth(bool on) {
    adjustsFontSize_ = on;
    markChanged();
}

Font Label::effectiveFont() const {
    if (!adjustsFontSize_ || numberOfLines_ != 1 || bounds().width() <= 0) return font_;
    double size = font_.pointSize();
    double floor = minimumFontSize_ > 0 ? minimumFontSize_ : std::min(size, 8.0);
    while (size > floor && TextMeasure::size(text_, font_.fontWithSize(size)).width > bounds().width()) size -= 1;
    return font_.fontWithSize(std::max(size, floor));
}

Size Label::sizeThatFits(const Size& size) const {
    double width = size.width > 0 ? size.width : 0;
    return TextMeasure::size(text_, font_, width, lineBreakMode_, numberOfLines_);
}

Rect Label::textRectForBounds(const Rect& b, int lines) const {
    Size s = TextMeasure::size(text_, effectiveFont(), b.width(), lineBreakMode_, lines, b.height());
    return {b.x(), b.y() + std::floor((b.height() - s.height) / 2), b.width(), s.height};
}

void Label::draw(GraphicsContext& context, const Rect& rect) {
    if (!text_.empty()) drawText(context);
    View::draw(context, rect);
}

void Label::drawText(GraphicsContext& context) {
    Rect r = textRectForBounds(bounds(), numberOfLines_);
    Font f = effectiveFont();
    Color color = highlighted_ && !highlightedTextColor_.isClear() ? highlightedTextColor_ : textColor_;
    if (!enabled_) color = color.withAlpha(color.a * 0.44);
    if (!shadowColor_.isClear())
        context.drawText(text_, r.offsetBy(shadowOffset_.width, shadowOffset_.height), f, shadowColor_, alignment_,
                         lineBreakMode_, numberOfLines_);
    context.drawText(text_, r, f, color, alignment_, lineBreakMode_, numberOfLines_);
}

}  // namespace platform
