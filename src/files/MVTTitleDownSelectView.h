#pragma once

// The upload drop-downs of the file libraries: a dimmed veil over the screen with a strip
// of two choices ("上传照片", "上传视频") that slides in from the top. A tap on a choice goes
// to the delegate, which tells the choices apart by tag (their index); a tap on the veil
// closes the drop-down with an upward slide. The group library shows plain titles
// (MVTTitleDownSelectView), the class library an icon over each title
// (MVTGroupFileTitleDownSelectView).

#include "platform/ui/View.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
}

// In a namespace of their own: the home feed has drop-down menus of the same name.
namespace filelib {

class MVTTitleDownSelectViewDelegate {
public:
    virtual ~MVTTitleDownSelectViewDelegate() = default;
    virtual void buttonClick(platform::Button& button) = 0;
    // The drop-down starts to close: the owner turns its "+" back and lets go of it.
    virtual void setRightButton() = 0;
};
using MVTGroupFileTitleDownSelectViewDelegate = MVTTitleDownSelectViewDelegate;

class MVTTitleDownSelectView : public platform::View {
public:
    explicit MVTTitleDownSelectView(const platform::Rect& frame);
    std::string className() const override { return "MVTTitleDownSelectView"; }

    static constexpr double kHiddenY = -40;
    static constexpr double kCloseTime = 0.3;

    // Set before setSelectViewWith: the buttons take the delegate when they are built.
    void setDelegate(std::weak_ptr<MVTTitleDownSelectViewDelegate> delegate) { delegate_ = std::move(delegate); }
    void setSelectViewWith(const std::vector<std::string>& titles);
    void toAddSubjectTest();
    void selfremoveFromSuperview();

    const std::vector<std::string>& titleArray() const { return titleArray_; }
    std::shared_ptr<platform::View> titleView() const { return titleView_; }
    const std::vector<std::shared_ptr<platform::Button>>& buttons() const { return buttons_; }
    bool closing() const { return closing_; }

protected:
    virtual double stripHeight() const { return 40; }
    virtual double showTime() const { return 0.4; }
    // Dresses button `index` of `width` with its title (and icon).
    virtual void dressButton(platform::Button& button, std::size_t index, double width);
    void initTitleView();

    std::vector<std::string> titleArray_;

private:
    std::shared_ptr<platform::View> titleView_;
    std::vector<std::shared_ptr<platform::Button>> buttons_;
    std::weak_ptr<MVTTitleDownSelectViewDelegate> delegate_;
    bool closing_ = false;
};

class MVTGroupFileTitleDownSelectView : public MVTTitleDownSelectView {
public:
    using MVTTitleDownSelectView::MVTTitleDownSelectView;
    std::string className() const override { return "MVTGroupFileTitleDownSelectView"; }

protected:
    double stripHeight() const override { return 50; }
    double showTime() const override { return 0.2; }
    void dressButton(platform::Button& button, std::size_t index, double width) override;
};

}  // namespace filelib
