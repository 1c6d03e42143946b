#include "files/MVTTitleDownSelectView.h"

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

namespace filelib {

MVTTitleDownSelectView::MVTTitleDownSelectView(const Rect& frame) : View(frame) {
    setBackgroundColor(Color::rgba(0, 0, 0, 0.2));
    auto tap = std::make_shared<TapGestureRecognizer>();
    tap->setAction([this](GestureRecognizer&) { selfremoveFromSuperview(); });
    addGestureRecognizer(tap);
}

void MVTTitleDownSelectView::setSelectViewWith(const std::vector<std::string>& titles) {
    titleArray_ = titles;
    toAddSubjectTest();
}

void MVTTitleDownSelectView::dressButton(Button& button, std::size_t index, double) {
    button.setTitle(titleArray_[index]);
    button.titleLabel()->setFont(Font::systemFontOfSize(16));
    button.setTitleColor(Color::white(0.333));
}

void MVTGroupFileTitleDownSelectView::dressButton(Button& button, std::size_t index, double width) {
    auto caption = std::make_shared<Label>(Rect(0, 30, width, 25));
    caption->setBackgroundColor(Color::clear());
    caption->setFont(Font::systemFontOfSize(10));
    caption->setTextColor(Color::rgb255(60, 60, 60));
    caption->setTextAlignment(TextAlignment::Center);
    caption->setText(titleArray_[index]);
    button.addSubview(caption);
    if (index > 1) return;
    auto icon = std::make_shared<ImageView>(Rect((width - 25) / 2, 7, 25, 25));
    icon->setImage(Image::imageNamed(index == 0 ? "app_classPhoto_1.png" : "upload_video.png"));
    icon->setTag(static_cast<long>(index));
    button.addSubview(icon);
}

void MVTTitleDownSelectView::initTitleView() {
    const double width = Screen::mainScreen().bounds().width();
    titleView_ = std::make_shared<View>(Rect(0, kHiddenY, width, stripHeight()));
    titleView_->setBackgroundColor(Color::rgb255(249, 253, 248));
    buttons_.clear();
    if (titleArray_.empty()) return;
    const double itemWidth = width / static_cast<double>(titleArray_.size());
    auto delegate = delegate_;
    for (std::size_t i = 0; i < titleArray_.size(); ++i) {
        auto button = std::make_shared<Button>(Rect(static_cast<double>(i) * itemWidth, 0, itemWidth, stripHeight()));
        button->setBackgroundColor(Color::clear());
        button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::clear())->image());
        button->setBackgroundImage(MVTPublicMethod::imageViewWithColor(Color::rgb255(229, 229, 229, 0.3))->image(),
                                   ControlStateHighlighted);
        button->setAccessibilityLabel(titleArray_[i]);
        dressButton(*button, i, itemWidth);
        button->setTag(static_cast<long>(i));
        button->addTarget(ControlEventTouchUpInside, [delegate](Control& sender) {
            if (auto owner = delegate.lock()) owner->buttonClick(static_cast<Button&>(sender));
        });
        auto separator = std::make_shared<View>(Rect(itemWidth - 1, 10, 0.6, stripHeight() == 40 ? 20 : 30));
        separator->setBackgroundColor(Color::rgb255(217, 222, 216));
        button->addSubview(separator);
        titleView_->addSubview(button);
        buttons_.push_back(button);
    }
}

void MVTTitleDownSelectView::toAddSubjectTest() {
    initTitleView();
    addSubview(titleView_);
    const double width = Screen::mainScreen().bounds().width(), height = stripHeight();
    auto strip = titleView_;
    animate(showTime(), [strip, width, height] { strip->setFrame({0, 0, width, height}); });
}

void MVTTitleDownSelectView::selfremoveFromSuperview() {
    if (closing_) return;
    closing_ = true;
    if (auto owner = delegate_.lock()) owner->setRightButton();
    const double width = Screen::mainScreen().bounds().width();
    auto strip = titleView_;
    auto self = std::static_pointer_cast<MVTTitleDownSelectView>(shared_from_this());
    animate(
        kCloseTime,
        [strip, width] {
            if (strip) strip->setFrame({0, kHiddenY, width, 40});
        },
        [self](bool) { self->removeFromSuperview(); });
}

}  // namespace filelib
