#include "platform/ui/NavigationBar.h"

#include "platform/ui/BarTextButton.h"
#include "platform/ui/GraphicsContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/Screen.h"

#include <algorithm>

namespace platform {

NavigationBar::NavigationBar() : View(Rect(0, 0, Screen::mainScreen().bounds().width(), height)) {
    setAutoresizingMask(AutoresizingFlexibleWidth);
    setBackgroundColor(Color::white(0.97, 0.95));
}

bool NavigationBar::supportsBackgroundImage() { return Screen::systemVersion() >= 5.0; }

void NavigationBar::setBarStyle(BarStyle style) {
    barStyle_ = style;
    setBackgroundColor(style == BarStyle::Black ? Color::white(0, translucent_ ? 0.85 : 1)
                                                : Color::white(0.97, translucent_ ? 0.95 : 1));
}

void NavigationBar::setTitleTextAttributes(const TitleTextAttributes& attributes) {
    titleAttributes_ = attributes;
    rebuild();
}

void NavigationBar::setItems(std::vector<std::shared_ptr<NavigationItem>> items) {
    for (auto& item : items_) item->setChangeHandler(nullptr);
    items_ = std::move(items);
    if (auto top = topItem()) top->setChangeHandler([this] { rebuild(); });
    rebuild();
}

std::string NavigationBar::backButtonTitle() const {
    auto below = backItem();
    if (!below) return {};
    if (below->backBarButtonItem() && !below->backBarButtonItem()->title().empty())
        return below->backBarButtonItem()->title();
    if (!below->title().empty()) return below->title();
    return "Back";
}

std::shared_ptr<View> NavigationBar::viewForItem(const BarButtonItemRef& item) {
    if (!item) return nullptr;
    if (item->customView()) return item->customView();
    std::weak_ptr<BarButtonItem> weak = item;
    auto button = std::make_shared<BarTextButton>(item->title(), [weak] {
        if (auto it = weak.lock()) it->perform();
    });
    button->setEnabled(item->isEnabled());
    button->setTextColor(item->tintColor().isClear() ? tintColor_ : item->tintColor());
    button->sizeToFit();
    return button;
}

void NavigationBar::rebuild() {
    for (auto* v : {&titleShown_, &leftShown_, &rightShown_, &backShown_}) {
        if (*v && v->get()->superview().get() == this) (*v)->removeFromSuperview();
        v->reset();
    }
    auto top = topItem();
    if (!top) return;
    if (top->titleView()) {
        titleShown_ = top->titleView();
    } else {
        auto title = std::make_shared<BarTextButton>(top->title(), nullptr);
        title->setTextColor(titleAttributes_.textColor);
        title->setFontSize(titleAttributes_.fontSize);
        title->setBold(titleAttributes_.fontName.find("Bold") != std::string::npos);
        title->setUserInteractionEnabled(false);
        title->sizeToFit();
        titleShown_ = title;
    }
    addSubview(titleShown_);
    leftShown_ = viewForItem(top->leftBarButtonItem());
    if (leftShown_) {
        addSubview(leftShown_);
    } else if (backItem() && !top->hidesBackButton()) {
        auto back = std::make_shared<BarTextButton>(backButtonTitle(), [this] {
            if (backAction_) backAction_();
        });
        back->setTextColor(tintColor_);
        back->sizeToFit();
        back->setAccessibilityLabel("Back");
        backShown_ = back;
        addSubview(back);
    }
    rightShown_ = viewForItem(top->rightBarButtonItem());
    if (rightShown_) addSubview(rightShown_);
    setNeedsLayout();
}

void NavigationBar::layoutSubviews() {
    double w = bounds().width(), h = bounds().height();
    auto place = [&](const std::shared_ptr<View>& v, double x) {
        Rect f = v->frame();
        v->setFrame({x, (h - f.height()) / 2, f.width(), f.height()});
    };
    double leftEdge = 5, rightEdge = w - 5;
    if (auto left = leftShown_ ? leftShown_ : backShown_) {
        place(left, 5);
        leftEdge = 5 + left->frame().width();
    }
    if (rightShown_) {
        place(rightShown_, w - 5 - rightShown_->frame().width());
        rightEdge = w - 5 - rightShown_->frame().width();
    }
    if (titleShown_) {
        Rect f = titleShown_->frame();
        double tw = std::min(f.width(), std::max(0.0, rightEdge - leftEdge));
        double x = (w - tw) / 2;
        x = std::clamp(x, leftEdge, std::max(leftEdge, rightEdge - tw));
        titleShown_->setFrame({x, (h - std::min(f.height(), h)) / 2, tw, std::min(f.height(), h)});
    }
}

}  // namespace platform

namespace platform {

void NavigationBar::draw(GraphicsContext& context, const Rect& rect) {
    if (backgroundImage_) context.drawImage(*backgroundImage_, bounds());
    else if (!barTintColor_.isClear()) context.fillRect(bounds(), barTintColor_);
    // The hairline under the bar.
    context.fillRect({0, bounds().height() - 0.5, bounds().width(), 0.5}, Color::white(0, 0.3));
    View::draw(context, rect);
}

}  // namespace platform
