#include "composer/MVTOtherMenuView.h"
#include "composer/ComposerScreen.h"

#include "core/MVTAccount.h"
#include "shell/InternationalControl.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/TextMeasure.h"

using namespace platform;

namespace {

struct Item {
    const char* picture;
    const char* fourLabel;
    const char* threeLabel;
};

const Item kItems[] = {
    {"new_howk", "文本", "作业"},
    {"new_camr", "拍照", "拍照"},
    {"new_dyna", "相册", "相册"},
    {"new_feel", "心情", ""},
};


}  // namespace

bool MVTOtherMenuView::hasFourItems() {
    return MVTAccount::sharedInstance().schoolId().value_or("") != kThreeItemSchool;
}

Point MVTOtherMenuView::openPosition(int tag, bool four, double height) {
    const double W = composer_screen::width();
    const double g = (W - 4 * kButtonSide) / 5;
    if (four) {
        switch (tag) {
            case 0: return {g, height - 100};
            case 1: return {g + 60, height - 180};
            case 2: return {4 * g + 120, height - 180};
            default: return {4 * g + 180, height - 100};
        }
    }
    switch (tag) {
        case 0: return {40, height - 100};
        case 1: return {(W - 60) / 2, height - 180};
        default: return {W - 100, height - 100};
    }
}

Point MVTOtherMenuView::restingPosition() const { return {(composer_screen::width() - kButtonSide) / 2, bounds().height() - 60}; }

void MVTOtherMenuView::initWithFrame(const Rect& frame) {
    setFrame(frame);
    setTag(kMenuTag);
    std::weak_ptr<MVTOtherMenuView> weak = std::static_pointer_cast<MVTOtherMenuView>(shared_from_this());
    tap_ = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer& tap) {
        if (auto self = weak.lock()) self->tapSelect(tap);
    });
    addGestureRecognizer(tap_);
    tap_->setEnabled(false);

    bgImageView_ = std::make_shared<ImageView>(Rect(0, 0, frame.width(), frame.height()));
    bgImageView_->setImage(Image::imageNamed("otherMenuBg"));
    bgImageView_->setBackgroundColor(Color::clear());
    bgImageView_->setUserInteractionEnabled(false);
    bgImageView_->setAlpha(0);
    addSubview(bgImageView_);

    const bool four = hasFourItems();
    const Font font = Font::systemFontOfSize(14);
    std::shared_ptr<Button>* buttons[] = {&btn1_, &btn2_, &btn3_, &btn4_};
    std::shared_ptr<Label>* labels[] = {&la1_, &la2_, &la3_, &la4_};
    for (int tag = 0; tag < (four ? 4 : 3); ++tag) {
        *buttons[tag] = createBtnWith(kItems[tag].picture, tag);
        const std::string text = localized(four ? kItems[tag].fourLabel : kItems[tag].threeLabel);
        // The button answers to its label's name (automation scripts tap items by name).
        (*buttons[tag])->setAccessibilityLabel(text);
        const double width = TextMeasure::sizeWithFont(text, font).width;
        const Point open = openPosition(tag, four, frame.height());
        *labels[tag] = createLaWithFrame(Rect(open.x + (kButtonSide - width) / 2, open.y + 65, width, 20), text);
        // Each label goes under its button, so the button is the item a name finds.
        addSubview(*labels[tag]);
        addSubview(*buttons[tag]);
    }
}

std::shared_ptr<Button> MVTOtherMenuView::createBtnWith(const std::string& picture, int tag) {
    auto button = Button::buttonWithType(ButtonType::Custom);
    const Point rest = restingPosition();
    button->setFrame({rest.x, rest.y, kButtonSide, kButtonSide});
    button->setBackgroundColor(Color::clear());
    button->setImage(Image::imageNamed(picture));
    button->setTag(tag);
    std::weak_ptr<MVTOtherMenuView> weak = std::static_pointer_cast<MVTOtherMenuView>(shared_from_this());
    button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
        if (auto self = weak.lock()) self->whichBtnClicked(static_cast<Button&>(control));
    });
    button->setAlpha(0);
    return button;
}

std::shared_ptr<Label> MVTOtherMenuView::createLaWithFrame(const Rect& frame, const std::string& text) {
    auto label = std::make_shared<Label>(frame);
    label->setBackgroundColor(Color::clear());
    label->setFont(Font::systemFontOfSize(14));
    label->setTextAlignment(TextAlignment::Center);
    label->setTextColor(Color::rgba(0.333, 0.333, 0.333));
    label->setText(text);
    label->setUserInteractionEnabled(false);
    label->setAlpha(0);
    return label;
}

std::vector<std::shared_ptr<Button>> MVTOtherMenuView::buttons() const {
    std::vector<std::shared_ptr<Button>> list;
    for (const auto& button : {btn1_, btn2_, btn3_, btn4_})
        if (button) list.push_back(button);
    return list;
}

std::vector<std::shared_ptr<Label>> MVTOtherMenuView::labels() const {
    std::vector<std::shared_ptr<Label>> list;
    for (const auto& label : {la1_, la2_, la3_, la4_})
        if (label) list.push_back(label);
    return list;
}

void MVTOtherMenuView::showAlphAndMenu(bool open) {
    // The school is read again: a fourth item that is no longer offered stays hidden.
    const bool four = hasFourItems() && btn4_;
    const double height = bounds().height();
    std::weak_ptr<MVTOtherMenuView> weak = std::static_pointer_cast<MVTOtherMenuView>(shared_from_this());
    setHidden(false);
    tap_->setEnabled(false);
    if (!open)
        for (auto& label : labels()) label->setAlpha(0);
    animate(
        kAnimationSeconds,
        [this, open, four, height] {
            bgImageView_->setAlpha(open ? 0.9 : 0);
            const Point rest = restingPosition();
            for (auto& button : buttons()) {
                const bool shown = open && (button->tag() < 3 || four);
                const Point to = open ? openPosition(button->tag(), four, height) : rest;
                button->setFrame({to.x, to.y, kButtonSide, kButtonSide});
                button->setAlpha(shown ? 1 : 0);
            }
        },
        [weak, open, four](bool) {
            auto self = weak.lock();
            if (!self) return;
            if (open) {
                for (auto& label : self->labels())
                    if (label != self->la4_ || four) label->setAlpha(1);
            } else {
                self->setHidden(true);
            }
            self->tap_->setEnabled(true);
        });
}

void MVTOtherMenuView::whichBtnClicked(Button& button) {
    if (auto d = delegate_.lock()) d->btnClickedWith(button.tag());
}

void MVTOtherMenuView::tapSelect(GestureRecognizer& tap) {
    auto hit = hitTest(tap.locationInView(this));
    if (hit && hit->tag() == kMenuTag && hit.get() == this)
        if (auto d = delegate_.lock()) d->blankSpaceClicked();
}
