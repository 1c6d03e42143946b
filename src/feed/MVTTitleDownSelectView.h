#pragma once

#include "platform/ui/Button.h"
#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

// The two drop-down menus of the home feed's navigation bar: a row of icon buttons that
// slides down from under the bar over a dimmed screen. They only report the tapped button
// and their closing; the home screen decides what a choice does. Made each time a menu
// opens (frame first, then the delegate, then the items), closed once, then dropped.
class MVTTitleDownSelectView : public platform::View {
public:
    static constexpr double kBarHeight = 50;
    static constexpr double kOpenSeconds = 0.4;
    static constexpr double kCloseSeconds = 0.3;

    explicit MVTTitleDownSelectView(const platform::Rect& frame);
    // setSelectViewWith: keeps the texts and shows the menu.
    void setSelectViewWith(const std::vector<std::string>& titles);
    // Closes the menu (tap on the dimmed area, or the opener): the delegate hears of it
    // first, then the bar slides up and the menu leaves its superview.
    void selfremoveFromSuperview();

    const std::vector<std::string>& titleArray() const { return titleArray_; }
    std::shared_ptr<platform::View> titleView() const { return titleView_; }
    // The item buttons, in order.
    const std::vector<std::shared_ptr<platform::Button>>& buttons() const { return buttons_; }

protected:
    // The icon and tag of the item at a position (no icon, tag 0 beyond the known ones).
    virtual std::string iconAt(std::size_t position) const = 0;
    virtual int tagAt(std::size_t position) const = 0;
    virtual bool whiteButtons() const = 0;
    virtual void tapped(platform::Button& button) = 0;
    virtual void closing() = 0;

private:
    void toAddSubjectTest();
    void initTitleView();
    std::vector<std::string> titleArray_;
    std::shared_ptr<platform::View> titleView_;
    std::vector<std::shared_ptr<platform::Button>> buttons_;
    bool closed_ = false;
};

class MVTDynamicSelectTitleDownSelectViewDelegate {
public:
    virtual ~MVTDynamicSelectTitleDownSelectViewDelegate() = default;
    virtual void selectButtonClick(platform::Button& button) = 0;
    virtual void resetButton() = 0;
};

class MVTFeedTitleDownSelectViewDelegate {
public:
    virtual ~MVTFeedTitleDownSelectViewDelegate() = default;
    virtual void buttonClick(platform::Button& button) = 0;
    virtual void setRightButton() = 0;
};

// The view menu: "学校圈" (tag 11), "班级圈" (10), "我的" (13).
class MVTDynamicSelectTitleDownSelectView : public MVTTitleDownSelectView {
public:
    using MVTTitleDownSelectView::MVTTitleDownSelectView;
    std::string className() const override { return "MVTDynamicSelectTitleDownSelectView"; }
    // Held weakly; set it before the items.
    void setDelegate(const std::shared_ptr<MVTDynamicSelectTitleDownSelectViewDelegate>& delegate) {
        delegate_ = delegate;
    }

protected:
    std::string iconAt(std::size_t position) const override;
    int tagAt(std::size_t position) const override;
    bool whiteButtons() const override { return true; }
    void tapped(platform::Button& button) override;
    void closing() override;

private:
    std::weak_ptr<MVTDynamicSelectTitleDownSelectViewDelegate> delegate_;
};

// The composer menu: "图文" (tag 0), "声音" (1).
class MVTFeedTitleDownSelectView : public MVTTitleDownSelectView {
public:
    using MVTTitleDownSelectView::MVTTitleDownSelectView;
    std::string className() const override { return "MVTFeedTitleDownSelectView"; }
    void setDelegate(const std::shared_ptr<MVTFeedTitleDownSelectViewDelegate>& delegate) { delegate_ = delegate; }

protected:
    std::string iconAt(std::size_t position) const override;
    int tagAt(std::size_t position) const override;
    bool whiteButtons() const override { return false; }
    void tapped(platform::Button& button) override;
    void closing() override;

private:
    std::weak_ptr<MVTFeedTitleDownSelectViewDelegate> delegate_;
};
