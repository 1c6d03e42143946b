#pragma once

#include "albums/MVTCropImageNewViewController.h"
#include "shell/ViewViewController.h"

#include "platform/Timer.h"
#include "platform/ui/Image.h"

#include <memory>

namespace platform {
class GestureRecognizer;
class ImageView;
class ScrollView;
class View;
}

// The free crop screen "选取": a 150 x 150 box dragged over a zoomable picture; "上传" hands
// what lies under the box to the delegate (the square crop screen's delegate interface)
// and leaves. No screen opens it.
class MVTCropImageViewController : public ViewViewController {
public:
    static constexpr int kCropViewTag = 100;
    static constexpr double kCropViewSide = 150;

    std::string className() const override { return "MVTCropImageViewController"; }

    // Title and page event, then the crop interface, so a presented screen is usable.
    void viewDidLoad() override;
    // The bar buttons, the scroll view with its image view, and the box.
    void loadCropImageView();
    // Shows the picture fitted into the scroll view, which shrinks to it, and puts the box
    // at its top-left corner. The image view is the only holder of the picture.
    void setOriginImg(platform::ImageRef image);
    void setDelegate(std::weak_ptr<MVTCropImageNewViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }

    // The part of the upright picture under the box (nullptr when there is none).
    platform::ImageRef cropImage();
    // Hands the cut to the delegate when there is one, then dismisses.
    void saveAndSendImg();
    void sendAction() { saveAndSendImg(); }
    void goback();
    // The picture redrawn upright (an upright picture itself).
    static platform::ImageRef rotationImage(const platform::ImageRef& image);

    // ---- The box's drag and the scroll view's zoom.
    void panGestureRecognizer(platform::GestureRecognizer& recognizer);
    void cropViewMoved(platform::GestureRecognizer& recognizer);
    // Moves the box's origin to `point`, kept inside the scroll view's frame.
    void moveCropViewwithPoint(platform::Point point);
    void allowScrollingAndZooming();
    std::shared_ptr<platform::View> viewForZoomingInScrollView(platform::ScrollView& scrollView) override;
    void scrollViewDidEndZooming(platform::ScrollView& scrollView, platform::View* view, double scale) override;
    // A pan about to take a touch stops the scrolling for 0.2 s (a later touch restarts
    // the wait); every touch is allowed.
    bool gestureRecognizerShouldReceiveTouch(platform::GestureRecognizer& recognizer);
    bool gestureRecognizerShouldRecognizeSimultaneously(platform::GestureRecognizer& recognizer,
                                                        platform::GestureRecognizer& other);

    std::shared_ptr<platform::ScrollView> cropScrollView() const { return cropScrollView_; }
    std::shared_ptr<platform::ImageView> imgView() const { return imgView_; }
    std::shared_ptr<platform::View> cropView() const { return cropView_; }

private:
    void loadCropView();
    std::shared_ptr<platform::ScrollView> cropScrollView_;
    std::shared_ptr<platform::ImageView> imgView_;
    std::shared_ptr<platform::View> cropView_;
    platform::Point panGestureStartPoint_;
    platform::TimerRef reenableTimer_;
    std::weak_ptr<MVTCropImageNewViewControllerDelegate> delegate_;
};
