#include "contacts/MVTContactTitleDownSelectView.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/Animation.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

using namespace platform;

namespace {

struct MenuItemLook {
    long tag;
    const char* icon;  // nullptr: no icon
};

MenuItemLook menuItemLook(std::size_t position, std::size_t count) {
    if (count == 1) return {1, "add_group.png"};
    switch (position) {
        case 0: return {0, "add_friends.png"};
        case 1: return {1, "add_group.png"};
        case 2: return {2, "insert_class.png"};
        default: return {0, nullptr};
    }
}

}  // namespace

MVTContactTitleDownSelectView::MVTContactTitleDownSelectView(const Rect& frame) : View(frame) {
    setBackgroundColor(Color::rgba(0, 0, 0, kBackdropAlpha));
    auto tap = std::make_shared<TapGestureRecognizer>();
    tap->setAction([this](GestureRecognizer&) { selfremoveFromSuperview(); });
    addGestureRecognizer(tap);
}

void MVTContactTitleDownSelectView::setSelectViewWith(const std::vector<std::string>& titles) {
    titleArray_ = titles;
    toAddSubjectTest();
}

void MVTContactTitleDownSelectView::initTitleView() {
    const double width = Screen::mainScreen().bounds().width();
    titleView_ = std::make_shared<View>(Rect(0, kHiddenY, width, kStripHeight));
    titleView_->setBackgroundColor(Color::rgb255(249, 253, 248));
    items_.clear();
    if (titleArray_.empty()) return;
    const double itemWidth = width / static_cast<double>(titleArray_.size());
    auto delegate = delegate_;
    for (std::size_t i = 0; i < titleArray_.size(); ++i) {
        const MenuItemLook look = menuItemLook(i, titleArray_.size());
        auto button = std::make_shared<Button>(Rect(static_cast<double>(i) * itemWidth, 0, itemWidth, kStripHeight));
        button->setClipsToBounds(true);
        button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::clear())->image());
        button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgb255(229, 229, 229, 0.3))->image(),
                                   ControlStateHighlighted);
        auto caption = std::make_shared<Label>(Rect(0, 30, itemWidth, 25));
        caption->setBackgroundColor(Color::clear());
        caption->setFont(Font::systemFontOfSize(10));
        caption->setTextColor(Color::rgb255(60, 60, 60));
        caption->setTextAlignment(TextAlignment::Center);
        caption->setNumberOfLines(0);
        caption->setText(titleArray_[i]);
        button->addSubview(caption);
        if (look.icon) {
            auto icon = std::make_shared<ImageView>(Rect((itemWidth - 25) / 2, 7, 25, 25));
            icon->setBackgroundColor(Color::clear());
            icon->setImage(Image::imageNamed(look.icon));
            icon->setAccessibilityIdentifier(look.icon);
            button->addSubview(icon);
        }
        button->setTag(look.tag);
        button->setAccessibilityLabel(titleArray_[i]);
        button->addTarget(ControlEventTouchUpInside, [delegate](Control& sender) {
            if (auto owner = delegate.lock()) owner->buttonClick(static_cast<Button&>(sender));
        });
        auto separator = std::make_shared<View>(Rect(itemWidth - 1, 10, 0.6, 30));
        separator->setBackgroundColor(Color::rgb255(217, 222, 216));
        button->addSubview(separator);
        titleView_->addSubview(button);
        items_.push_back(button);
    }
}

void MVTContactTitleDownSelectView::toAddSubjectTest() {
    initTitleView();
    addSubview(titleView_);
    const double width = Screen::mainScreen().bounds().width();
    auto strip = titleView_;
    animate(kShowTime, [strip, width] { strip->setFrame({0, 0, width, kStripHeight}); });
}

void MVTContactTitleDownSelectView::selfremoveFromSuperview() {
    if (closing_) return;
    closing_ = true;
    if (auto owner = delegate_.lock()) owner->setRightButton();
    const double width = Screen::mainScreen().bounds().width();
    auto strip = titleView_;
    auto self = std::static_pointer_cast<MVTContactTitleDownSelectView>(shared_from_this());
    animate(
        kCloseTime,
        [strip, width] {
            if (strip) strip->setFrame({0, kHiddenY, width, 40});
        },
        [self](bool) { self->removeFromSuperview(); });
}
