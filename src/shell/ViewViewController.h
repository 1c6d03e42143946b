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
class GestureRecognizer;
class ImageView;
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

    // ---- Full-screen picture viewer over the whole window. Pictures are `PictureEntry`
    // dictionaries ("id", "resModuleId", "resPath", "resName", "resSuffix", "thumbSuffix",
    // "isCover"). Tags that subclasses test in their own answers:
    static constexpr int kPagingViewTag = 200;      // the paging scroll view
    static constexpr int kZoomViewTagBase = 1;      // zoom view of page i: i + 1
    static constexpr int kPictureViewTag = 100;     // the image view in each zoom view
    static constexpr int kFullSizeButtonBase = 100;  // full-size button of page i: i + 100
    static constexpr int kSpinnerTag = 1234;        // spinner in an image view while it loads
    static constexpr int kSaveSheetTag = 1000;      // the long-press action sheet

    // showImage:tag: opens the viewer on `index`.
    void showImage(const platform::Json& pictures, int index) override;
    // Closes it (the tap on the overlay).
    void closeImage();
    // Only the paging view (tag 200) is followed here; subclasses that answer scrolls
    // themselves call showIMagePageWith for it.
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void showIMagePageWith(platform::ScrollView& scrollView);
    // The image view of the page in front, whichever scroll view asks.
    std::shared_ptr<platform::View> viewForZoomingInScrollView(platform::ScrollView& scrollView) override;
    // Long press on a picture: offers to save it (sheet tagged 1000).
    void handleLong(platform::GestureRecognizer& recognizer);
    void actionSheetClickedButtonAtIndex(platform::ActionSheet& sheet, long index) override;
    // Saves copyImage to the photo album and reports the outcome with a toast; true when
    // it was written. Subclasses that answer the sheet tagged 1000 themselves call this.
    bool saveCopyImage();
    // Closes a layer such as backView from a control inside it: the view that holds the
    // control is taken out of the view tree.
    void toClickedMove(platform::Control& control);
    // Toasts: saved, not saved, full-size download failed; toClearMind fades it out.
    void showMind();
    void showSaveFail();
    void showYunTuDownloadFail();
    void toClearMind();
    // The full-size button of a page.
    void toshowYuantu(platform::Button& button);
    // Loading steps. The fetches run on the background queue; views change on the main
    // thread only, and cache files are written by the background work.
    void toGetvfsUrlOrigImageWith(const std::shared_ptr<platform::ImageView>& imageView);
    void vfsUrlOrigImageWith(const std::shared_ptr<platform::ImageView>& imageView);
    void toShowAllImageWith(const std::shared_ptr<platform::ImageView>& imageView, const platform::Json& entry, int page);
    void toShowOriginalImage(const std::shared_ptr<platform::ImageView>& imageView, const std::string& resModuleId,
                             const std::string& resourceId);
    void toShowtoShowOriginalImageLater(const std::shared_ptr<platform::ImageView>& imageView,
                                        const std::string& resModuleId, const std::string& resourceId);
    void toGetOriginalImage(const std::shared_ptr<platform::ImageView>& imageView, const std::string& resModuleId,
                            const std::string& resourceId);
    void vfsUrlYuantuImageWith(const std::shared_ptr<platform::ImageView>& imageView,
                               const std::shared_ptr<platform::Button>& button);
    void oldYuantuImageWith(const std::shared_ptr<platform::ImageView>& imageView,
                            const std::shared_ptr<platform::Button>& button);

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
