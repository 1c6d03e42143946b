#pragma once

#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>
#include <vector>

namespace platform {
class Button;
}

// Told when the intro has gone; it then lets go of the intro.
class MVTIntroViewControllerDelegate {
public:
    virtual ~MVTIntroViewControllerDelegate() = default;
    virtual void introViewControllerWillDismiss() {}
};

// A row of full-screen introduction pictures paged sideways; dragging beyond the last one
// (or its closing button) ends the intro. Whoever shows it adds its view over the current
// screen. isNewVersion tells whether the running version is newer than the one that last
// showed it.
class MVTIntroViewController : public platform::ViewController, public virtual platform::ScrollViewDelegate {
public:
    // The version marker in the documents folder.
    static constexpr const char* kIntroFile = "intro.txt";
    // Dot views of the page indicator carry 10 plus their page number.
    static constexpr int kDotTagBase = 10;

    MVTIntroViewController();
    ~MVTIntroViewController() override;
    std::string className() const override { return "MVTIntroViewController"; }

    // Finds the pictures: every ".png" of "introimgs.bundle/<width><height>/" of the
    // bundle, the screen's size in pixels, in name order.
    void init();
    // True (and the running version stored) when the running version is newer than the
    // stored one, compared numerically, or when none is stored.
    static bool isNewVersion();
    // Compares version texts as the numeric search does: runs of digits as numbers, other
    // characters one by one. Negative, zero or positive.
    static int compareVersions(const std::string& a, const std::string& b);
    // The picture folder for a screen size in pixels ("introimgs.bundle/6401136").
    static std::string pictureFolder(int pixelWidth, int pixelHeight);

    void viewDidLoad() override;

    bool isShowDismissButton() const { return isShowDismissButton_; }
    void setIsShowDismissButton(bool show) { isShowDismissButton_ = show; }
    // Not owned.
    void setDelegate(const std::shared_ptr<MVTIntroViewControllerDelegate>& delegate) { delegate_ = delegate; }

    // Fades the view to half opacity in 1 s, takes it off the screen and tells the delegate.
    void dismiss();
    // Marks the page in the indicator (made on first use).
    void showWhichPage(int page);

    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDecelerating(platform::ScrollView& scrollView) override;
    void scrollViewDidEndDragging(platform::ScrollView& scrollView, bool willDecelerate) override;

    const std::vector<std::string>& pictures() const { return pictures_; }
    std::shared_ptr<platform::ScrollView> scrollView() const { return scrollView_; }
    std::shared_ptr<platform::View> pageView() const { return pageView_; }
    std::shared_ptr<platform::Button> dismissButton() const { return dismissButton_; }
    bool beOut() const { return beOut_; }
    int shownPage() const { return shownPage_; }

private:
    std::vector<std::string> pictures_;
    std::shared_ptr<platform::ScrollView> scrollView_;
    std::shared_ptr<platform::View> pageView_;
    std::shared_ptr<platform::Button> dismissButton_;
    bool beOut_ = false;
    bool isShowDismissButton_ = false;
    bool dismissing_ = false;
    int shownPage_ = -1;
    std::weak_ptr<MVTIntroViewControllerDelegate> delegate_;
};
