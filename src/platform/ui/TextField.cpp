#include "platform/ui/TextField.h"

#include "platform/Values.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/TextEditing.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace platform {

TextField::TextField() = default;

TextField::TextField(const Rect& frame) : Control(frame) {}

TextField::~TextField() = default;

std::string TextField::displayedText() const {
    if (!secure_) return fromUtf16(text_);
    std::string dots;
    for (size_t i = 0; i < text_.size(); ++i)
        if (!isLowSurrogate(text_[i])) dots += "\u2022";
    return dots;
}

std::string TextField::text() const { return fromUtf16(text_); }

void TextField::setText(const std::string& text) {
    text_ = toUtf16(text);
    selection_ = {static_cast<long>(text_.size()), 0};
    markChanged();
}

void TextField::setSelectedRange(Range range) {
    long n = static_cast<long>(text_.size());
    long loc = std::clamp(range.location, 0L, n);
    selection_ = {loc, std::clamp(range.length, 0L, n - loc)};
}

void TextField::setLeftView(const std::shared_ptr<View>& view) {
    if (leftView_) leftView_->removeFromSuperview();
    leftView_ = view;
    if (view) addSubview(view);
    setNeedsLayout();
}

void TextField::setRightView(const std::shared_ptr<View>& view) {
    if (rightView_) rightView_->removeFromSuperview();
    rightView_ = view;
    if (view) addSubview(view);
    setNeedsLayout();
}

bool TextField::isClearButtonShown() const {
    if (text_.empty()) return false;
    switch (clearButtonMode_) {
        case TextFieldViewMode::Never: return false;
        case TextFieldViewMode::Always: return true;
        case TextFieldViewMode::WhileEditing: return editing_;
        case TextFieldViewMode::UnlessEditing: return !editing_;
    }
    return false;
}

void TextField::clearButtonTapped() {
    if (auto d = delegate(); d && !d->textFieldShouldClear(*this)) return;
    text_.clear();
    selection_ = {};
    markChanged();
    sendActionsForControlEvents(ControlEventEditingChanged);
}

bool TextField::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    auto self = shared_from_this();
    if (auto d = delegate(); d && !d->textFieldShouldBeginEditing(*this)) return false;
    {
        Keyboard::SwitchGuard keepKeyboard;
        if (!View::becomeFirstResponder()) return false;
    }
    editing_ = true;
    if (clearsOnBegin_) text_.clear();
    selection_ = {static_cast<long>(text_.size()), 0};
    markChanged();
    Keyboard::shared().show();
    if (auto d = delegate()) d->textFieldDidBeginEditing(*this);
    sendActionsForControlEvents(ControlEventEditingDidBegin);
    return true;
}

bool TextField::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    auto self = shared_from_this();
    if (auto d = delegate(); d && !d->textFieldShouldEndEditing(*this)) return false;
    View::resignFirstResponder();
    editing_ = false;
    markChanged();
    Keyboard::shared().hide();
    if (auto d = delegate()) d->textFieldDidEndEditing(*this);
    sendActionsForControlEvents(ControlEventEditingDidEnd);
    return true;
}

bool TextField::replace(Range range, const std::u16string& replacement) {
    long n = static_cast<long>(text_.size());
    range.location = std::clamp(range.location, 0L, n);
    range.length = std::clamp(range.length, 0L, n - range.location);
    if (auto d = delegate(); d && !d->textFieldShouldChangeCharacters(*this, range, fromUtf16(replacement)))
        return false;
    text_.replace(static_cast<size_t>(range.location), static_cast<size_t>(range.length), replacement);
    selection_ = {range.location + static_cast<long>(replacement.size()), 0};
    markChanged();
    sendActionsForControlEvents(ControlEventEditingChanged);
    return true;
}

void TextField::insertText(const std::string& text) {
    if (!editing_) return;
    auto self = shared_from_this();
    replace(selection_, toUtf16(text));
}

void TextField::deleteBackward() {
    if (!editing_) return;
    auto self = shared_from_this();
    Range range = rangeRemovedByBackspace(text_, selection_);
    if (range.length == 0) return;
    replace(range, u"");
}

void TextField::returnKeyPressed() {
    if (!editing_) return;
    auto self = shared_from_this();
    bool go = true;
    if (auto d = delegate()) go = d->textFieldShouldReturn(*this);
    if (go) sendActionsForControlEvents(ControlEventEditingDidEndOnExit);
}

void TextField::touchesEnded(const Touches& touches) {
    Control::touchesEnded(touches);
    if (!isEnabled() || touches.empty()) return;
    Point p = touches.front()->locationInView(this);
    if (!bounds().contains(p)) return;
    // The clear button sits at the right end while shown.
    if (isClearButtonShown() && p.x >= bounds().width() - 30) {
        clearButtonTapped();
        return;
    }
    becomeFirstResponder();
}

Rect TextField::textRect() const {
    Rect r = bounds();
    double left = 0, right = 0;
    auto shows = [&](TextFieldViewMode m) {
        return m == TextFieldViewMode::Always || (m == TextFieldViewMode::WhileEditing && editing_) ||
               (m == TextFieldViewMode::UnlessEditing && !editing_);
    };
    if (leftView_ && shows(leftViewMode_)) left = leftView_->frame().maxX();
    if (rightView_ && shows(rightViewMode_)) right = rightView_->frame().width();
    if (isClearButtonShown()) right = std::max(right, 30.0);
    double inset = borderStyle_ == TextBorderStyle::None ? 0 : 7;
    return {r.x() + left + inset, r.y(), std::max(0.0, r.width() - left - right - 2 * inset), r.height()};
}

void TextField::layoutSubviews() {
    auto shows = [&](TextFieldViewMode m) {
        return m == TextFieldViewMode::Always || (m == TextFieldViewMode::WhileEditing && editing_) ||
               (m == TextFieldViewMode::UnlessEditing && !editing_);
    };
    if (leftView_) {
        Rect f = leftView_->frame();
        leftView_->setFrame({0, (bounds().height() - f.height()) / 2, f.width(), f.height()});
        leftView_->setHidden(!shows(leftViewMode_));
    }
    if (rightView_) {
        Rect f = rightView_->frame();
        rightView_->setFrame({bounds().width() - f.width(), (bounds().height() - f.height()) / 2, f.width(), f.height()});
        rightView_->setHidden(!shows(rightViewMode_));
    }
}

void TextField::draw(GraphicsContext& context, const Rect& rect) {
    Rect b = bounds();
    if (borderStyle_ == TextBorderStyle::RoundedRect) {
        context.setFillColor(Color::whiteColor());
        context.fillRoundedRect(b, 5);
        context.setStrokeColor(Color::white(0.8));
        context.setLineWidth(1);
        context.strokeRoundedRect(b.insetBy(0.5, 0.5), 5);
    } else if (borderStyle_ == TextBorderStyle::Line || borderStyle_ == TextBorderStyle::Bezel) {
        context.setStrokeColor(Color::darkGray());
        context.setLineWidth(1);
        context.strokeRect(b.insetBy(0.5, 0.5));
    }
    Rect tr = textRect();
    std::string shown = text_.empty() ? placeholder_ : displayedText();
    Color color = text_.empty() ? placeholderColor_ : textColor_;
    double lineH = font_.lineHeight();
    Rect line{tr.x(), tr.y() + (tr.height() - lineH) / 2, tr.width(), lineH};
    if (!shown.empty()) context.drawText(shown, line, font_, color, alignment_, LineBreakMode::Clip, 1);
    if (editing_) {
        // The caret after the text before it.
        std::string before = secure_ ? displayedText() : fromUtf16(text_.substr(0, static_cast<size_t>(selection_.location)));
        double x = tr.x() + TextMeasure::size(before, font_).width;
        context.setFillColor(Color::rgba(0, 0.478, 1));
        context.fillRect({std::min(x, tr.maxX() - 2), line.y(), 2, lineH});
    }
    if (isClearButtonShown()) {
        context.setFillColor(Color::white(0.7));
        context.fillEllipse({b.width() - 24, b.height() / 2 - 9, 18, 18});
    }
    Control::draw(context, rect);
}

}  // namespace platform
