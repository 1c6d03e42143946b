#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/View.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// One entry of the edit menu.
struct MenuItem {
    std::string title;
    std::function<void()> action;
};

// The edit menu ("复制" and the like) shown above a rectangle of a view. Choosing an
// item runs its action and hides the menu; a tap elsewhere hides it.
class MenuController {
public:
    static MenuController& shared();

    const std::vector<MenuItem>& menuItems() const { return items_; }
    void setMenuItems(std::vector<MenuItem> items) { items_ = std::move(items); }
    // setTargetRect:inView:
    void setTargetRect(const Rect& rect, const std::shared_ptr<View>& view);
    Rect targetRect() const { return target_; }
    std::shared_ptr<View> targetView() const { return targetView_.lock(); }
    bool isMenuVisible() const { return visible_; }
    void setMenuVisible(bool visible, bool animated = false);
    // The item's action, as a tap on it does.
    bool performItem(size_t index);
    // The menu's view in the key window while visible.
    std::shared_ptr<View> menuView() const { return view_; }
    void reset();

private:
    MenuController() = default;
    std::vector<MenuItem> items_;
    Rect target_;
    std::weak_ptr<View> targetView_;
    bool visible_ = false;
    std::shared_ptr<View> view_;
};

}  // namespace platform
