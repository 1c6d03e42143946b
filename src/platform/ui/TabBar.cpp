#include "platform/ui/TabBar.h"

#include "platform/ui/BarTextButton.h"
#include "platform/ui/Screen.h"

namespace platform {

TabBar::TabBar() : View(Rect(0, 0, Screen::mainScreen().bounds().width(), height)) {
    setBackgroundColor(Color::white(0.97, 0.95));
    setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleTopMargin);
}

void TabBar::setItems(std::vector<std::shared_ptr<TabBarItem>> items) {
    for (auto& b : buttons_) b->removeFromSuperview();
    buttons_.clear();
    items_ = std::move(items);
    for (size_t i = 0; i < items_.size(); ++i) {
        long index = static_cast<long>(i);
        auto button = std::make_shared<BarTextButton>(items_[i]->title(), [this, index] {
            if (onSelect_) onSelect_(index);
        });
        button->setFontSize(10);
        button->setTag(items_[i]->tag());
        buttons_.push_back(button);
        addSubview(button);
    }
    if (selected_ >= static_cast<long>(items_.size())) selected_ = -1;
    setSelectedIndex(selected_);
    setNeedsLayout();
}

std::shared_ptr<TabBarItem> TabBar::selectedItem() const {
    if (selected_ < 0 || selected_ >= static_cast<long>(items_.size())) return nullptr;
    return items_[static_cast<size_t>(selected_)];
}

void TabBar::setSelectedIndex(long index) {
    selected_ = index;
    for (size_t i = 0; i < buttons_.size(); ++i) {
        auto* b = static_cast<BarTextButton*>(buttons_[i].get());
        b->setTextColor(static_cast<long>(i) == index ? selectedTint_ : Color::gray());
    }
}

void TabBar::layoutSubviews() {
    if (buttons_.empty()) return;
    double w = bounds().width() / static_cast<double>(buttons_.size());
    for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->setFrame({w * static_cast<double>(i), 0, w, height});
}

}  // namespace platform
