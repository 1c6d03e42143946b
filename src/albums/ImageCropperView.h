#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <memory>

namespace platform {
class GestureRecognizer;
class ImageView;
}

// A square window onto a picture the fingers drag, pinch and turn without bounds; every
// gesture only changes the image view's transform. finishCropping cuts what the window
// shows out of the source picture, turned as the picture was turned.
class ImageCropperView : public platform::View {
public:
    explicit ImageCropperView(const platform::Rect& frame);
    ~ImageCropperView() override;
    std::string className() const override { return "ImageCropperView"; }

    // Fits a picture to the window's width and centres it; nothing changes without one.
    void setImage(platform::ImageRef image);
    platform::ImageRef image() const { return image_; }
    std::shared_ptr<platform::ImageView> imageView() const { return imageView_; }
    platform::ImageRef croppedImage() const { return croppedImage_; }
    platform::Size originalImageViewSize() const { return originalImageViewSize_; }

    // The gesture handlers.
    void moveImage(platform::GestureRecognizer& recognizer);
    void scaleImage(platform::GestureRecognizer& recognizer);
    void rotateImage(platform::GestureRecognizer& recognizer);

    // Cuts from the current transform into croppedImage (none when the picture left the
    // window wholly).
    void finishCropping();
    platform::ImageRef cropImage() const { return croppedImage_; }

    // The cut's rectangle in the turned source picture's pixels, before it is limited to
    // that picture, and the width/height of the window in source points before scaling by
    // r (the odd-whole-number rule applied).
    struct Cut {
        double scale = 1;       // s, read back from the transform
        double angle = 0;       // θ in radians
        double widthPrime = 0;  // W′
        double heightPrime = 0; // H′
        platform::Rect rect;    // trunc(r·x), trunc(r·y), trunc(r·W′), trunc(r·H′)
    };
    Cut currentCut() const;

    // The gesture memory every cropper of the process shares (one cropper is handled at a
    // time): the last pan translation, pinch scale and rotation angle.
    static void resetGestureMemory();

private:
    void setup();
    std::shared_ptr<platform::ImageView> imageView_;
    platform::ImageRef image_;
    platform::ImageRef croppedImage_;
    platform::Size originalImageViewSize_;
};
