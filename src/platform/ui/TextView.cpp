#include "platform/ui/TextView.h"

#include "platform/Values.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/TextEditing.h"
#include "platform/ui/Touch.h"

#include <algorithm>

namespace platform {

TextView::TextView() { setBackgroundColor(Color::whiteColor()); }

TextView::TextView(const Rect& frame) : ScrollView(frame) {
    setBackgroundColor(Color::whiteColor());
    updateContentSize();
}

TextView::~TextView() = default;

std::string TextView::text() const { return fromUtf16(text_); }

void TextView::setText(const std::string& text) {
    text_ = toUtf16(text);
    selection_ = {static_cast<long>(text_.size()), 0};
    updateContentSize();
    markChanged();
}

void TextView::setFont(const Font& font) {
    font_ = font;
    updateContentSize();
    markChanged();
}

void TextView::setEditable(bool editable) {
    editable_ = editable;
    if (!editable && isFirstResponder()) resignFirstResponder();
}

void TextView::setTextContainerInset(const EdgeInsets& inset) {
    containerInset_ = inset;
    updateContentSize();
}

void TextView::setDelegate(const std::shared_ptr<TextViewDelegate>& delegate) {
    textDelegate_ = delegate;
    ScrollView::setDelegate(delegate);
}

void TextView::setFrame(const Rect& frame) {
    ScrollView::setFrame(frame);
    updateContentSize();
}

double TextView::textHeight() const {
    double width = std::max(0.0, bounds().width() - containerInset_.left - containerInset_.right);
    std::string t = fromUtf16(text_);
    // A text ending in a line break has an empty last line that still takes its height.
    double h = t.empty() ? font_.lineHeight() : TextMeasure::size(t, font_, width).height;
    if (!t.empty() && t.back() == '\n') h += font_.lineHeight();
    return h + containerInset_.top + containerInset_.bottom;
}

void TextView::updateContentSize() { setContentSize({bounds().width(), textHeight()}); }

void TextView::setSelectedRange(Range range) {
    long n = static_cast<long>(text_.size());
    long loc = std::clamp(range.location, 0L, n);
    Range r{loc, std::clamp(range.length, 0L, n - loc)};
    if (r == selection_) return;
    selection_ = r;
    markChanged();
    if (auto d = textDelegate()) d->textViewDidChangeSelection(*this);
}

Rect TextView::caretRectForPosition(long position) const {
    position = std::clamp(position, 0L, static_cast<long>(text_.size()));
    double width = std::max(0.0, bounds().width() - containerInset_.left - containerInset_.right);
    std::u16string before = text_.substr(0, static_cast<size_t>(position));
    double lineH = font_.lineHeight();
    // The caret sits on the last line of the text before it.
    size_t lastBreak = before.rfind(u'\n');
    std::u16string head = lastBreak == std::u16string::npos ? u"" : before.substr(0, lastBreak + 1);
    std::u16string line = lastBreak == std::u16string::npos ? before : before.substr(lastBreak + 1);
    double headHeight = 0;
    if (!head.empty()) {
        std::string h = fromUtf16(head.substr(0, head.size() - 1));
        headHeight = (h.empty() ? lineH : TextMeasure::size(h, font_, width).height);
    }
    double x = 0, lineTop = headHeight;
    if (!line.empty()) {
        std::string l = fromUtf16(line);
        int lines = TextMeasure::lineCount(l, font_, width);
        lineTop += (lines - 1) * lineH;
        // The part of the line on its last wrapped row: measure ever shorter tails.
        double full = TextMeasure::size(l, font_).width;
        x = lines <= 1 ? full : std::fmod(full, std::max(1.0, width));
    }
    return {containerInset_.left + std::min(x, width), containerInset_.top + lineTop, 2, lineH};
}

bool TextView::becomeFirstResponder() {
    if (isFirstResponder()) return true;
    if (!canBecomeFirstResponder()) return false;
    if (!editable_) return View::becomeFirstResponder();
    auto self = shared_from_this();
    if (auto d = textDelegate(); d && !d->textViewShouldBeginEditing(*this)) return false;
    {
        Keyboard::SwitchGuard keepKeyboard;
        if (!View::becomeFirstResponder()) return false;
    }
    editing_ = true;
    selection_ = {static_cast<long>(text_.size()), 0};
    markChanged();
    Keyboard::shared().show();
    if (auto d = textDelegate()) d->textViewDidBeginEditing(*this);
    return true;
}

bool TextView::resignFirstResponder() {
    if (!isFirstResponder()) return true;
    auto self = shared_from_this();
    if (editing_) {
        if (auto d = textDelegate(); d && !d->textViewShouldEndEditing(*this)) return false;
    }
    View::resignFirstResponder();
    if (!editing_) return true;
    editing_ = false;
    markChanged();
    Keyboard::shared().hide();
    if (auto d = textDelegate()) d->textViewDidEndEditing(*this);
    return true;
}

bool TextView::replace(Range range, const std::u16string& replacement) {
    long n = static_cast<long>(text_.size());
    range.location = std::clamp(range.location, 0L, n);
    range.length = std::clamp(range.length, 0L, n - range.location);
    if (auto d = textDelegate(); d && !d->textViewShouldChangeText(*this, range, fromUtf16(replacement)))
        return false;
    text_.replace(static_cast<size_t>(range.location), static_cast<size_t>(range.length), replacement);
    selection_ = {range.location + static_cast<long>(replacement.size()), 0};
    updateContentSize();
    markChanged();
    if (auto d = textDelegate()) {
        d->textViewDidChangeSelection(*this);
        d->textViewDidChange(*this);
    }
    return true;
}

void TextView::insertText(const std::string& text) {
    if (!editing_) return;
    auto self = shared_from_this();
    replace(selection_, toUtf16(text));
}

void TextView::deleteBackward() {
    if (!editing_) return;
    auto self = shared_from_this();
    Range range = rangeRemovedByBackspace(text_, selection_);
    if (range.length == 0) return;
    replace(range, u"");
}

void TextView::returnKeyPressed() { insertText("\n"); }

void TextView::touchesEnded(const Touches& touches) {
    ScrollView::touchesEnded(touches);
    if (!touches.empty() && bounds().contains(touches.front()->locationInView(this)) && editable_)
        becomeFirstResponder();
}

void TextView::draw(GraphicsContext& context, const Rect& rect) {
    double width = std::max(0.0, bounds().width() - containerInset_.left - containerInset_.right);
    Rect area{containerInset_.left, containerInset_.top, width, std::max(0.0, contentSize().height)};
    std::string t = fromUtf16(text_);
    if (!t.empty()) context.drawText(t, area, font_, textColor_, alignment_);
    if (editing_) {
        context.setFillColor(Color::rgba(0, 0.478, 1));
        context.fillRect(caretRectForPosition(selection_.location));
    }
    ScrollView::draw(context, rect);
}

}  // namespace platform
