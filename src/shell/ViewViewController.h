#pragma once

#include "shell/CellDelegate.h"

#include "platform/ui/ActionSheet.h"
#include "platform/ui/Control.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace platform {
class Button;
}

// Notification posted when a feed filter was chosen; the object is the filter's title.
inline constexpr const char* kShowDidSelectItemNotification = "showDidSelectItem";

// The screen every screen derives from: one layout for system versions before and after
// 7.0 (SDH), a light grey background, status bar control, a right-hand text button, an
// empty-state picture, the feed filter announcement, and do-nothing answers to the post
// cell's questions.
class ViewViewController : public platform::ViewController,
                           public CellDelegate,
                           public virtual platform::ScrollViewDelegate,
                           public platform::ActionSheetDelegate {
public:
    ViewViewController();
    ~ViewViewController() override;
    std::string className() const override { return "ViewViewController"; }

    // Subclasses call this first and then build their own views.
    void viewDidLoad() override;
    bool prefersStatusBarHidden() const override { return statusBarState_; }
    platform::StatusBarStyle preferredStatusBarStyle() const override;

    bool statusBarState() const { return statusBarState_; }
    void setStatusBarState(bool hidden) { statusBarState_ = hidden; }
    bool statusBarLightContent() const { return statusBarLightContent_; }
    void setStatusBarLightContent(bool light) { statusBarLightContent_ = light; }

    // addButtonWithTitle:target:action: a 44 x 40 text button as the bar's right button,
    // replacing any right button; `action` runs on touch-up-inside.
    std::shared_ptr<platform::Button> addButtonWithTitle(const std::string& title, platform::Control::Handler action);
    // isNoDataNowWith:and: shows (or hides) the empty-state view in `host`.
    void isNoDataNowWith(bool show, const std::shared_ptr<platform::View>& host);
    // didSelectWhich: the feed filter `button` was chosen; announced 0.1 seconds later.
    void didSelectWhich(platform::Button& button);
    // tosendSelect: posts "showDidSelectItem" with the filter's title.
    void tosendSelect(const std::string& title);

    // Not part of CellDelegate; some screens answer it.
    virtual void deleteDynamicWith(const platform::Json& object, int row) { (void)object; (void)row; }
    using CellDelegate::deleteDynamicWith;

    // Fields, in the order the screens know them. SDH is the extra top offset: 20 points
    // on system version 7.0 and later, 0 before.
    float SDH = 0;
    // The full-screen picture viewer's state (the viewer itself is a separate piece).
    std::shared_ptr<platform::View> backView;
    int currentNum = 0;
    platform::Json showArray = platform::Json::array();
    std::shared_ptr<platform::Label> pageLabel;
    platform::ImageRef copyImage;
    // The empty-state view, made on first use and reused.
    std::shared_ptr<platform::View> noDataView;
    std::shared_ptr<platform::Label> miLa;

private:
    bool statusBarState_ = false;
    bool statusBarLightContent_ = false;
};
