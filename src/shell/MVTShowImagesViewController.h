#pragma once

#include "platform/Values.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

namespace platform {
class Button;
class ImageView;
class Label;
}  // namespace platform

// The pictures of a web page, full screen: one zoomable page per picture address, paged
// sideways, with a top bar holding the back button and a "n / m" counter. The opener sets
// the tapped address and the page's addresses, then pushes it. Every picture is fetched on
// the background queue when the pages are built; the views change on the main thread only.
class MVTShowImagesViewController : public platform::ViewController, public virtual platform::ScrollViewDelegate {
public:
    // Tags the pages are found by.
    static constexpr int kPagerTag = 11;
    static constexpr int kPageTagBase = 100;  // page i carries 100 + i
    static constexpr int kPictureTag = 1000;  // the picture view of every page
    static constexpr int kSpinnerTag = 1234;  // the spinner of the single-picture case

    MVTShowImagesViewController();
    ~MVTShowImagesViewController() override;
    std::string className() const override { return "MVTShowImagesViewController"; }

    void viewDidLoad() override;

    // Set by the opener before the view loads.
    const std::string& nowImageUrl() const { return nowImageUrl_; }
    void setNowImageUrl(const std::string& url) { nowImageUrl_ = url; }
    const platform::Json& allImagesArr() const { return allImagesArr_; }
    void setAllImagesArr(const platform::Json& addresses) { allImagesArr_ = addresses; }

    // Back to the root screen of the navigation stack, animated.
    void goback();
    // Builds the pages (once, when the view loads).
    void toloadImageWith(const std::string& nowImageUrl, const platform::Json& allImagesArr);
    // Fetches the picture whose address the picture view carries (accessibility value);
    // runs on a background thread and hands the picture to the main thread.
    void toGetLiteImage(const std::shared_ptr<platform::ImageView>& pictureView);
    // Hides or shows the top bar.
    void showHiddenBar();

    // Scroll view answers: paging follows the pager; zoom gives the picture of the page
    // in front.
    void scrollViewDidScroll(platform::ScrollView& scrollView) override;
    std::shared_ptr<platform::View> viewForZoomingInScrollView(platform::ScrollView& scrollView) override;

    int index() const { return index_; }
    bool isHidden() const { return isHidden_; }
    std::shared_ptr<platform::View> connectView() const { return connectView_; }
    std::shared_ptr<platform::ImageView> barImageView() const { return barImageView_; }
    std::shared_ptr<platform::Button> leftBtn() const { return leftBtn_; }
    std::shared_ptr<platform::Label> titleLa() const { return titleLa_; }

private:
    std::string nowImageUrl_;
    platform::Json allImagesArr_ = platform::Json::array();
    int index_ = 0;
    bool isHidden_ = false;
    std::string total_;  // the count of pages, kept as text for the counter
    std::shared_ptr<platform::View> connectView_;
    std::shared_ptr<platform::ImageView> barImageView_;
    std::shared_ptr<platform::Button> leftBtn_;
    std::shared_ptr<platform::Label> titleLa_;
};
