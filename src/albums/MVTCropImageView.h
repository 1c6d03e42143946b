#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/ScrollView.h"

#include <memory>

namespace platform {
class ImageView;
}

// A whitened veil over the crop view with a clear, red-edged window of the crop size.
class MVTCropImageMaskView : public platform::View {
public:
    std::string className() const override { return "MVTCropImageMaskView"; }
    // The window centred in the bounds; 40 points lower from system version 7.0 on.
    void setCropSize(platform::Size size);
    platform::Size cropSize() const { return cropRect_.size; }
    platform::Rect cropRect() const { return cropRect_; }
    void draw(platform::GraphicsContext& context, const platform::Rect& rect) override;

private:
    platform::Rect cropRect_;
};

// A picture in a zoomable scroll view behind a mask whose window has a fixed crop size;
// cropImage cuts out what the window shows, sized to the crop size. The subviews are made
// on first use.
class MVTCropImageView : public platform::View, public platform::ScrollViewDelegate {
public:
    std::string className() const override { return "MVTCropImageView"; }

    void setFrame(const platform::Rect& frame) override;
    void setImage(platform::ImageRef image);
    platform::ImageRef image() const { return image_; }
    void setCropSize(platform::Size size);
    platform::Size cropSize() const { return cropSize_; }
    platform::EdgeInsets imageInset() const { return imageInset_; }
    // What the window shows, resized to the crop size (nullptr without a picture or when
    // the window is off the picture).
    platform::ImageRef cropImage();
    void updateZoomScale();

    std::shared_ptr<platform::ScrollView> scrollView();
    std::shared_ptr<platform::ImageView> imageView();
    std::shared_ptr<MVTCropImageMaskView> maskView();

    std::shared_ptr<platform::View> viewForZoomingInScrollView(platform::ScrollView& scrollView) override;

private:
    std::shared_ptr<platform::ScrollView> scrollView_;
    std::shared_ptr<platform::ImageView> imageView_;
    std::shared_ptr<MVTCropImageMaskView> maskView_;
    platform::ImageRef image_;
    platform::Size cropSize_;
    platform::EdgeInsets imageInset_;
};
