#pragma once

#include "shell/ViewViewController.h"

#include "platform/ui/Image.h"

#include <memory>

class ImageCropperView;

// Told what the square crop screen cut out: the picture, or nullptr when the picture had
// been moved wholly out of the square (then there is nothing to upload).
class MVTCropImageNewViewControllerDelegate {
public:
    virtual ~MVTCropImageNewViewControllerDelegate() = default;
    virtual void cropImageViewControllerDidFinished(platform::ImageRef image) = 0;
};

// The square crop screen: the opener sets the delegate and the picture, wraps it in a new
// myNavigationController and presents it. "上传" cuts what the square shows and hands it to
// the delegate; back leaves without telling the delegate anything.
class MVTCropImageNewViewController : public ViewViewController {
public:
    std::string className() const override { return "MVTCropImageNewViewController"; }

    void setOriginImg(platform::ImageRef image) { originImg_ = std::move(image); }
    platform::ImageRef originImg() const { return originImg_; }
    void setDelegate(std::weak_ptr<MVTCropImageNewViewControllerDelegate> delegate) { delegate_ = std::move(delegate); }

    void viewDidLoad() override;
    void goback();
    void sendAction();

    std::shared_ptr<ImageCropperView> cropImageView() const { return cropImageView_; }

private:
    platform::ImageRef originImg_;
    std::weak_ptr<MVTCropImageNewViewControllerDelegate> delegate_;
    std::shared_ptr<ImageCropperView> cropImageView_;
};
