#pragma once

// The contacts tab's drop-down menu: a strip of items (icon over caption) that slides down
// over a dimmed backdrop. A tap on an item goes to the delegate, which tells the items
// apart by tag (0 add a friend, 1 create a group, 2 join a class); a tap elsewhere closes
// the menu with an upward slide.

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
}

class MVTContactTitleDownSelectViewDelegate {
public:
    virtual ~MVTContactTitleDownSelectViewDelegate() = default;
    virtual void buttonClick(platform::Button& button) = 0;
    // The menu starts to close: the owner restores its "+" and lets go of the menu.
    virtual void setRightButton() = 0;
};

class MVTContactTitleDownSelectView : public platform::View {
public:
    explicit MVTContactTitleDownSelectView(const platform::Rect& frame);
    std::string className() const override { return "MVTContactTitleDownSelectView"; }

    static constexpr double kStripHeight = 50;
    static constexpr double kHiddenY = -40;
    static constexpr double kShowTime = 0.4;
    static constexpr double kCloseTime = 0.3;
    static constexpr double kBackdropAlpha = 0.2;

    // Set before setSelectViewWith: the item buttons take the delegate when they are built.
    void setDelegate(std::weak_ptr<MVTContactTitleDownSelectViewDelegate> delegate) { delegate_ = std::move(delegate); }
    void setSelectViewWith(const std::vector<std::string>& titles);
    void selfremoveFromSuperview();
    void toAddSubjectTest();
    void initTitleView();

    const std::vector<std::string>& titleArray() const { return titleArray_; }
    std::shared_ptr<platform::View> titleView() const { return titleView_; }
    // The item buttons, in order.
    const std::vector<std::shared_ptr<platform::Button>>& items() const { return items_; }
    bool closing() const { return closing_; }

private:
    std::vector<std::string> titleArray_;
    std::shared_ptr<platform::View> titleView_;
    std::vector<std::shared_ptr<platform::Button>> items_;
    std::weak_ptr<MVTContactTitleDownSelectViewDelegate> delegate_;
    bool closing_ = false;
};
