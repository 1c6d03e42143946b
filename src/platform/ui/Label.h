#pragma once

#include "platform/ui/Font.h"
#include "platform/ui/TextMeasure.h"
#include "platform/ui/View.h"

namespace platform {

// Read-only text: one line by default, any number with numberOfLines 0. The text is drawn
// vertically centred in the bounds, as the handset's label does.
class Label : public View {
public:
    Label();
    explicit Label(const Rect& frame);

    std::string className() const override { return "Label"; }
    std::string displayedText() const override { return text_; }

    const std::string& text() const { return text_; }
    void setText(const std::string& text);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    Color textColor() const { return textColor_; }
    void setTextColor(const Color& color);
    Color highlightedTextColor() const { return highlightedTextColor_; }
    void setHighlightedTextColor(const Color& color);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(LineBreakMode mode);
    Color shadowColor() const { return shadowColor_; }
    void setShadowColor(const Color& color);
    Size shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(Size offset);
    // With this on, a single line that is too wide shrinks down to minimumFontSize.
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool on);
    double minimumFontSize() const { return minimumFontSize_; }
    void setMinimumFontSize(double size) { minimumFontSize_ = size; }

    // The text's size within `size.width` (0 or less: unlimited) and the line limit.
    Size sizeThatFits(const Size& size) const override;
    // Where the text goes within `bounds`, limited to `lines` lines.
    Rect textRectForBounds(const Rect& bounds, int lines) const;
    // The font actually drawn (smaller than font() when shrinking to fit).
    Font effectiveFont() const;

    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    void drawText(GraphicsContext& context);
    std::string text_;
    Font font_ = Font::systemFontOfSize(17);
    Color textColor_ = Color::black();
    Color highlightedTextColor_ = Color::clear();
    bool highlighted_ = false;
    bool enabled_ = true;
    TextAlignment alignment_ = TextAlignment::Left;
    int numberOfLines_ = 1;
    LineBreakMode lineBreakMode_ = LineBreakMode::TruncateTail;
    Color shadowColor_ = Color::clear();
    Size shadowOffset_{0, -1};
    bool adjustsFontSize_ = false;
    double minimumFontSize_ = 0;
};

using LabelRef = std::shared_ptr<Label>;

}  // namespace platform
