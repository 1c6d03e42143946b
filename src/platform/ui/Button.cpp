#include "platform/ui/Button.h"

#include "platform/ui/GraphicsContext.h"

#include <algorithm>
#include <cmath>

namespace platform {

Button::Button() { setOpaque(false); }

Button::Button(const Rect& frame) : Control(frame) { setOpaque(false); }

std::shared_ptr<Button> Button::buttonWithType(ButtonType type) {
    auto b = std::make_shared<Button>();
    b->type_ = type;
    if (type != ButtonType::Custom) b->setTitleColor(Color::rgba(0, 0.478, 1), ControlStateNormal);
    return b;
}

template <class T>
T Button::lookup(const std::map<unsigned, T>& values, unsigned state, T fallback) {
    if (auto it = values.find(state); it != values.end()) return it->second;
    if ((state & ControlStateSelected) && state != ControlStateSelected)
        if (auto it = values.find(ControlStateSelected); it != values.end()) return it->second;
    if (auto it = values.find(ControlStateNormal); it != values.end()) return it->second;
    return fallback;
}

void Button::setTitle(const std::string& title, unsigned state) {
    titles_[state] = title;
    updateContent();
}

std::string Button::titleForState(unsigned state) const { return lookup(titles_, state, std::string()); }

void Button::setTitleColor(const Color& color, unsigned state) {
    titleColors_[state] = color;
    updateContent();
}

Color Button::titleColorForState(unsigned state) const {
    Color fallback = Color::whiteColor();
    if (state & ControlStateDisabled) {
        Color normal = lookup(titleColors_, ControlStateNormal, fallback);
        fallback = normal.withAlpha(normal.a * 0.35);
    }
    if (auto it = titleColors_.find(state); it != titleColors_.end()) return it->second;
    if (state & ControlStateDisabled) return fallback;
    return lookup(titleColors_, state, fallback);
}

void Button::setTitleShadowColor(const Color& color, unsigned state) {
    shadowColors_[state] = color;
    updateContent();
}

Color Button::titleShadowColorForState(unsigned state) const { return lookup(shadowColors_, state, Color::clear()); }

void Button::setImage(ImageRef image, unsigned state) {
    images_[state] = std::move(image);
    updateContent();
}

ImageRef Button::imageForState(unsigned state) const { return lookup(images_, state, ImageRef()); }

void Button::setBackgroundImage(ImageRef image, unsigned state) {
    backgrounds_[state] = std::move(image);
    updateContent();
}

ImageRef Button::backgroundImageForState(unsigned state) const { return lookup(backgrounds_, state, ImageRef()); }

void Button::setTitleEdgeInsets(const EdgeInsets& insets) {
    titleInsets_ = insets;
    layoutSubviews();
}

void Button::setImageEdgeInsets(const EdgeInsets& insets) {
    imageInsets_ = insets;
    layoutSubviews();
}

void Button::setContentEdgeInsets(const EdgeInsets& insets) {
    contentInsets_ = insets;
    layoutSubviews();
}

std::shared_ptr<Label> Button::titleLabel() {
    if (!titleLabel_) {
        titleLabel_ = std::make_shared<Label>();
        titleLabel_->setFont(Font::systemFontOfSize(15));
        titleLabel_->setLineBreakMode(LineBreakMode::TruncateMiddle);
        titleLabel_->setTextAlignment(TextAlignment::Center);
        addSubview(titleLabel_);
        updateContent();
    }
    return titleLabel_;
}

std::shared_ptr<ImageView> Button::imageView() {
    if (!imageView_) {
        imageView_ = std::make_shared<ImageView>();
        imageView_->setContentMode(ContentMode::Center);
        insertSubview(imageView_, 0);
        updateContent();
    }
    return imageView_;
}

void Button::stateDidChange() { updateContent(); }

void Button::updateContent() {
    unsigned s = state();
    std::string title = titleForState(s);
    if (!title.empty() && !titleLabel_) {
        titleLabel();  // makes the label, which calls back here
        return;
    }
    auto image = imageForState(s);
    if (image && !imageView_) {
        imageView();
        return;
    }
    if (titleLabel_) {
        titleLabel_->setText(title);
        titleLabel_->setTextColor(titleColorForState(s));
        titleLabel_->setShadowColor(titleShadowColorForState(s));
        titleLabel_->setHidden(title.empty());
    }
    if (imageView_) {
        imageView_->setImage(image);
        imageView_->setHidden(!image);
        double a = 1;
        if (image && isHighlighted() && adjustsImageWhenHighlighted_ && !imageForState(ControlStateHighlighted)) a = 0.7;
        if (image && !isEnabled() && adjustsImageWhenDisabled_ && !imageForState(ControlStateDisabled)) a = 0.5;
        imageView_->setAlpha(a);
    }
    layoutSubviews();
    markChanged();
}

void Button::setFrame(const Rect& frame) {
    Control::setFrame(frame);
    layoutSubviews();
}

void Button::layoutSubviews() {
    Rect content = insetRect(bounds(), contentInsets_);
    Size imageSize = imageView_ && imageView_->image() ? imageView_->image()->size() : Size{};
    Size titleSize = titleLabel_ && !titleLabel_->text().empty()
                         ? TextMeasure::size(titleLabel_->text(), titleLabel_->font(), 0, LineBreakMode::Clip, 1)
                         : Size{};
    // Image then title, side by side, placed as one block by the content alignment;
    // each then moves by its own insets.
    double imageW = std::min(imageSize.width, content.width());
    double titleW = std::min(titleSize.width, std::max(0.0, content.width() - imageW - titleInsets_.left - titleInsets_.right));
    double blockW = imageW + titleW;
    double x = content.x();
    switch (contentHorizontalAlignment()) {
    case ControlContentHorizontalAlignment::Center:
    case ControlContentHorizontalAlignment::Fill: x = content.x() + std::round((content.width() - blockW) / 2); break;
    case ControlContentHorizontalAlignment::Left: break;
    case ControlContentHorizontalAlignment::Right: x = content.maxX() - blockW; break;
    }
    auto yFor = [&](double h) {
        switch (contentVerticalAlignment()) {
        case ControlContentVerticalAlignment::Top: return content.y();
        case ControlContentVerticalAlignment::Bottom: return content.maxY() - h;
        default: return content.y() + std::round((content.height() - h) / 2);
        }
    };
    // Insets shrink the part's own box: a centred part moves by half their difference, a
    // part set against an edge by the inset on that edge.
    auto dx = [&](const EdgeInsets& insets) {
        switch (contentHorizontalAlignment()) {
        case ControlContentHorizontalAlignment::Left: return insets.left;
        case ControlContentHorizontalAlignment::Right: return -insets.right;
        default: return (insets.left - insets.right) / 2;
        }
    };
    auto dy = [&](const EdgeInsets& insets) {
        switch (contentVerticalAlignment()) {
        case ControlContentVerticalAlignment::Top: return insets.top;
        case ControlContentVerticalAlignment::Bottom: return -insets.bottom;
        default: return (insets.top - insets.bottom) / 2;
        }
    };
    if (imageView_) {
        double h = std::min(imageSize.height, content.height());
        imageView_->setFrame({x + dx(imageInsets_), yFor(h) + dy(imageInsets_), imageW, h});
    }
    if (titleLabel_) {
        double h = std::min(titleSize.height, content.height());
        double titleX = x + imageW + dx(titleInsets_);
        if (contentHorizontalAlignment() == ControlContentHorizontalAlignment::Fill && !imageView_) {
            titleW = content.width() - titleInsets_.left - titleInsets_.right;
            titleX = content.x() + titleInsets_.left;
        }
        titleLabel_->setFrame({titleX, yFor(h) + dy(titleInsets_), titleW, h});
    }
}

Size Button::sizeThatFits(const Size&) const {
    Size imageSize = imageForState(state()) ? imageForState(state())->size() : Size{};
    std::string title = currentTitle();
    Font font = titleLabel_ ? titleLabel_->font() : Font::systemFontOfSize(15);
    Size titleSize = title.empty() ? Size{} : TextMeasure::size(title, font, 0, LineBreakMode::Clip, 1);
    Size s{imageSize.width + titleSize.width + contentInsets_.left + contentInsets_.right,
           std::max(imageSize.height, titleSize.height) + contentInsets_.top + contentInsets_.bottom};
    if (auto bg = currentBackgroundImage()) {
        s.width = std::max(s.width, bg->size().width);
        s.height = std::max(s.height, bg->size().height);
    }
    return s;
}

void Button::draw(GraphicsContext& context, const Rect& rect) {
    if (auto bg = currentBackgroundImage()) {
        double a = 1;
        if (isHighlighted() && adjustsImageWhenHighlighted_ && !backgroundImageForState(ControlStateHighlighted)) a = 0.7;
        context.drawImage(*bg, bounds(), ContentMode::ScaleToFill, a);
    }
    View::draw(context, rect);
}

}  // namespace platform
