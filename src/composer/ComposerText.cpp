#include "composer/ComposerText.h"

#include "shell/InternationalControl.h"

#include "platform/Values.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/TextView.h"

#include <algorithm>

using namespace platform;

namespace composer_text {

namespace {

constexpr int kEmojiToggleTag = 1;

// The part of the text a range covers, clamped to the text.
std::pair<size_t, size_t> clamp(const std::u16string& text, Range range) {
    const size_t at = std::min(static_cast<size_t>(std::max(0L, range.location)), text.size());
    const size_t length = std::min(static_cast<size_t>(std::max(0L, range.length)), text.size() - at);
    return {at, length};
}

}  // namespace

std::shared_ptr<View> makeKeyboardBar(double top, double width, std::function<void(Button&)> onFace,
                                      std::function<void()> onMention, std::function<void()> onDone) {
    auto bar = std::make_shared<View>(Rect(0, top, width, 40));
    bar->setBackgroundColor(Color::rgba(0.863, 0.875, 0.886));
    auto face = Button::buttonWithType(ButtonType::Custom);
    face->setFrame({5, 0, 40, 40});
    face->setTag(kEmojiToggleTag);
    face->setImage(Image::imageNamed("emoji"));
    face->setImage(Image::imageNamed("emoji_h"), ControlStateHighlighted);
    face->setImage(Image::imageNamed("emoji_h"), ControlStateSelected);
    face->setAccessibilityLabel("emoji");
    face->addTarget(ControlEventTouchUpInside, [onFace](Control& control) { onFace(static_cast<Button&>(control)); });
    bar->addSubview(face);
    auto mention = Button::buttonWithType(ButtonType::Custom);
    mention->setFrame({55, 0, 40, 40});
    mention->setImage(Image::imageNamed("post"));
    mention->setAccessibilityLabel("@");
    mention->addTarget(ControlEventTouchUpInside, [onMention](Control&) { onMention(); });
    bar->addSubview(mention);
    auto done = Button::buttonWithType(ButtonType::Custom);
    done->setFrame({width - 60, 5, 50, 30});
    done->setCornerRadius(2);
    done->setImage(Image::imageNamed("com_norl"));
    done->setImage(Image::imageNamed("com_sel"), ControlStateHighlighted);
    done->setAccessibilityLabel(localized("完成"));
    done->addTarget(ControlEventTouchUpInside, [onDone](Control&) { onDone(); });
    bar->addSubview(done);
    return bar;
}

void resetKeyboardBar(View& bar) {
    bar.setHidden(false);
    for (auto& sub : bar.subviews())
        if (auto button = std::dynamic_pointer_cast<Button>(sub); button && button->tag() == kEmojiToggleTag)
            button->setSelected(false);
}

void insertMention(TextView& textView, const std::string& name) {
    std::u16string text = toUtf16(textView.text());
    const auto [at, length] = clamp(text, textView.selectedRange());
    const std::u16string mention = toUtf16("@" + name + " ");
    text.replace(at, length, mention);
    textView.setText(fromUtf16(text));
    textView.setSelectedRange({static_cast<long>(at + mention.size()), 0});
}

void deleteRange(TextView& textView, Range range) {
    std::u16string text = toUtf16(textView.text());
    const auto [at, length] = clamp(text, range);
    text.erase(at, length);
    textView.setText(fromUtf16(text));
    textView.setSelectedRange({static_cast<long>(at), 0});
}

void appendToken(TextView& textView, const std::string& token) {
    textView.setText(textView.text() + token);
    textView.setSelectedRange({static_cast<long>(utf16Length(textView.text())), 0});
}

std::string mentionsText(const nlohmann::json& picked) {
    std::string text;
    for (const auto& entry : picked) {
        if (!text.empty()) text.push_back(',');
        text.push_back('@');
        text.append(textOf(entry, "name"));
        text.append(" :");
        text.append(textOf(entry, "user"));
    }
    return text;
}

double caretScrollOffset(double caretTop, double viewHeight) {
    return caretTop > viewHeight - 216 - 90 ? caretTop - (viewHeight - 216 - 105) : 0;
}

}  // namespace composer_text
