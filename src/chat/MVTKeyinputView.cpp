#include "chat/MVTKeyinputView.h"

#include "shell/InternationalControl.h"

#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

void MVTKeyinputView::initWithFrame(const Rect& frame) {
    setFrame(frame);
    setBackgroundColor(Color::clear());
}

void MVTKeyinputView::layoutSubviews() {
    View::layoutSubviews();
    // Built once, the first time the panel is laid out; in chat mode there is nothing to
    // build until the emoticon panel is asked for.
    if (built_) return;
    built_ = true;
    if (!isFromChatView_) {
        std::weak_ptr<MVTKeyinputView> weak = std::static_pointer_cast<MVTKeyinputView>(shared_from_this());
        auto addEntry = [&](double x, const char* picture, const char* caption, bool emoji) {
            auto button = Button::buttonWithType(ButtonType::Custom);
            button->setFrame({x, 10, 52, 52});
            button->setImage(Image::imageNamed(picture));
            button->addTarget(ControlEventTouchUpInside, [weak, emoji](Control&) {
                auto self = weak.lock();
                if (!self) return;
                if (emoji)
                    self->emojiBtClick();
                else
                    self->imageBtClick();
            });
            addSubview(button);
            Font font = Font::systemFontOfSize(16);
            std::string text = localized(caption);
            double width = TextMeasure::sizeWithFont(text, font).width;
            auto label = std::make_shared<Label>(Rect(x + (52 - width) / 2, 70, width, 25));
            label->setFont(font);
            label->setText(text);
            label->setTextColor(Color::white(0.235));
            label->setTextAlignment(TextAlignment::Center);
            label->setBackgroundColor(Color::clear());
            addSubview(label);
        };
        addEntry(10, "bq", "表情", true);
        addEntry(75, "pic2", "图片", false);
    }
    type_ = 1;
}

void MVTKeyinputView::changType(int type) {
    type_ = type;
    if (type == 1) {
        if (emojiView_) emojiView_->setHidden(true);
    } else if (type == 2) {
        emojiBtClick();
    }
}

void MVTKeyinputView::emojiBtClick() {
    type_ = 2;
    if (emojiView_) {
        emojiView_->setIsFromChatView(isFromChatView_);
        emojiView_->setHidden(false);
        emojiView_->removeFromSuperview();
    } else {
        emojiView_ = std::make_shared<MVTFacialView>();
        emojiView_->initWithFrame({0, 0, frame().width(), frame().height()});
        emojiView_->setIsFromChatView(isFromChatView_);
        emojiView_->setDelegate(std::static_pointer_cast<MVTKeyinputView>(shared_from_this()));
    }
    addSubview(emojiView_);
}

void MVTKeyinputView::imageBtClick() {
    if (auto delegate = delegate_.lock()) delegate->imageClick();
}

void MVTKeyinputView::selectedFacialView(const std::string& token) {
    if (auto delegate = delegate_.lock()) delegate->selectedFacialView(token);
}

void MVTKeyinputView::sendMessage() {
    if (auto delegate = delegate_.lock()) delegate->sendMessage();
}
