#pragma once

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>

namespace platform {

// What a screen shows on the navigation bar while it is on top: its title (or a custom
// title view), the left and right buttons and how the back button looks.
class NavigationItem {
public:
    const std::string& title() const { return title_; }
    void setTitle(const std::string& title) { title_ = title; changed(); }
    const std::shared_ptr<View>& titleView() const { return titleView_; }
    void setTitleView(const std::shared_ptr<View>& view) { titleView_ = view; changed(); }
    const BarButtonItemRef& leftBarButtonItem() const { return left_; }
    void setLeftBarButtonItem(const BarButtonItemRef& item, bool animated = false) {
        (void)animated;
        left_ = item;
        changed();
    }
    const BarButtonItemRef& rightBarButtonItem() const { return right_; }
    void setRightBarButtonItem(const BarButtonItemRef& item, bool animated = false) {
        (void)animated;
        right_ = item;
        changed();
    }
    bool hidesBackButton() const { return hidesBackButton_; }
    void setHidesBackButton(bool hides, bool animated = false) {
        (void)animated;
        hidesBackButton_ = hides;
        changed();
    }
    // The item the next screen's back button shows for going back to this one.
    const BarButtonItemRef& backBarButtonItem() const { return back_; }
    void setBackBarButtonItem(const BarButtonItemRef& item) { back_ = item; changed(); }

    // The navigation bar that shows this item listens here to lay itself out again.
    void setChangeHandler(std::function<void()> handler) { onChange_ = std::move(handler); }

private:
    void changed() {
        if (onChange_) onChange_();
    }
    std::string title_;
    std::shared_ptr<View> titleView_;
    BarButtonItemRef left_, right_, back_;
    bool hidesBackButton_ = false;
    std::function<void()> onChange_;
};

}  // namespace platform
