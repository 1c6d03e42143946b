#include "feed/MVTTitleDownSelectView.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/Animation.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

using namespace platform;

MVTTitleDownSelectView::MVTTitleDownSelectView(const Rect& frame) : View(frame) {
    setBackgroundColor(Color::black().withAlpha(0.2));
}

void MVTTitleDownSelectView::setSelectViewWith(const std::vector<std::string>& titles) {
    titleArray_ = titles;
    toAddSubjectTest();
}

void MVTTitleDownSelectView::initTitleView() {
    const double W = Screen::mainScreen().bounds().width();
    titleView_ = std::make_shared<View>(Rect(0, -40, W, kBarHeight));
    titleView_->setBackgroundColor(Color::rgb255(249, 253, 248));
    addSubview(titleView_);
}

void MVTTitleDownSelectView::toAddSubjectTest() {
    // A tap on the dimmed area closes the menu; taps on the bar belong to its buttons.
    std::weak_ptr<MVTTitleDownSelectView> weak = std::static_pointer_cast<MVTTitleDownSelectView>(shared_from_this());
    auto tap = std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
        if (auto self = weak.lock()) self->selfremoveFromSuperview();
    });
    tap->setShouldBegin([weak](GestureRecognizer& recognizer) {
        auto self = weak.lock();
        return self && !(self->titleView_ && self->titleView_->frame().contains(recognizer.locationInView(self.get())));
    });
    addGestureRecognizer(tap);

    initTitleView();
    const double W = Screen::mainScreen().bounds().width();
    const double width = titleArray_.empty() ? W : W / double(titleArray_.size());
    auto clearPicture = MVTPublicMethod::imageViewWithColor(Color::clear())->image();
    auto pressedPicture = MVTPublicMethod::imageViewWithColor(Color::white(0.898, 0.3))->image();
    for (std::size_t i = 0; i < titleArray_.size(); ++i) {
        auto button = Button::buttonWithType(ButtonType::Custom);
        button->setFrame({double(i) * width, 0, width, kBarHeight});
        button->setClipsToBounds(true);
        button->setBackgroundImage(clearPicture);
        button->setBackgroundImage(pressedPicture, ControlStateHighlighted);
        if (whiteButtons()) button->setBackgroundColor(Color::whiteColor());
        auto label = std::make_shared<Label>(Rect(0, 30, width, 25));
        label->setBackgroundColor(Color::clear());
        label->setFont(Font::systemFontOfSize(10));
        label->setTextColor(Color::white(60.0 / 255));
        label->setTextAlignment(TextAlignment::Center);
        label->setNumberOfLines(0);
        label->setLineBreakMode(LineBreakMode::TruncateHead);
        label->setText(titleArray_[i]);
        button->addSubview(label);
        const std::string icon = iconAt(i);
        if (!icon.empty()) {
            auto picture = std::make_shared<ImageView>(Rect((width - 25) / 2, 7, 25, 25));
            picture->setBackgroundColor(Color::clear());
            picture->setImage(Image::imageNamed(icon));
            button->addSubview(picture);
        }
        button->setTag(tagAt(i));
        button->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->tapped(static_cast<Button&>(control));
        });
        auto separator = std::make_shared<View>(Rect(width - 1, 10, 0.6, 30));
        separator->setBackgroundColor(Color::rgb255(217, 222, 216));
        button->addSubview(separator);
        titleView_->addSubview(button);
        buttons_.push_back(button);
    }
    auto bar = titleView_;
    animate(kOpenSeconds, [bar, W] { bar->setFrame({0, 0, W, kBarHeight}); });
}

void MVTTitleDownSelectView::selfremoveFromSuperview() {
    if (closed_) return;
    closed_ = true;
    closing();
    const double W = Screen::mainScreen().bounds().width();
    auto bar = titleView_;
    std::weak_ptr<View> weak = shared_from_this();
    animate(
        kCloseSeconds, [bar, W] {
            if (bar) bar->setFrame({0, -40, W, 40});
        },
        [weak](bool) {
            if (auto self = weak.lock()) self->removeFromSuperview();
        });
}

// ---- The view menu

std::string MVTDynamicSelectTitleDownSelectView::iconAt(std::size_t position) const {
    static const char* const icons[] = {"square_logo", "class_logo", "mine_logo"};
    return position < 3 ? icons[position] : "";
}

int MVTDynamicSelectTitleDownSelectView::tagAt(std::size_t position) const {
    static const int tags[] = {11, 10, 13};
    return position < 3 ? tags[position] : 0;
}

void MVTDynamicSelectTitleDownSelectView::tapped(Button& button) {
    if (auto delegate = delegate_.lock()) delegate->selectButtonClick(button);
}

void MVTDynamicSelectTitleDownSelectView::closing() {
    if (auto delegate = delegate_.lock()) delegate->resetButton();
}

// ---- The composer menu

std::string MVTFeedTitleDownSelectView::iconAt(std::size_t position) const {
    static const char* const icons[] = {"feed_logo.png", "record_logo.png"};
    return position < 2 ? icons[position] : "";
}

int MVTFeedTitleDownSelectView::tagAt(std::size_t position) const { return position < 2 ? int(position) : 0; }

void MVTFeedTitleDownSelectView::tapped(Button& button) {
    if (auto delegate = delegate_.lock()) delegate->buttonClick(button);
}

void MVTFeedTitleDownSelectView::closing() {
    if (auto delegate = delegate_.lock()) delegate->setRightButton();
}
