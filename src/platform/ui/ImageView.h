#pragma once

#include "platform/Timer.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"

#include <vector>

namespace platform {

// Shows a picture placed by the content mode; or, while animating, its animation frames
// in turn on the run loop clock.
class ImageView : public View {
public:
    ImageView();
    explicit ImageView(const Rect& frame);
    // Sized to the picture.
    explicit ImageView(ImageRef image);
    ~ImageView() override;

    std::string className() const override { return "ImageView"; }

    ImageRef image() const { return image_; }
    void setImage(ImageRef image);
    ImageRef highlightedImage() const { return highlightedImage_; }
    void setHighlightedImage(ImageRef image);
    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    const std::vector<ImageRef>& animationImages() const { return animationImages_; }
    void setAnimationImages(std::vector<ImageRef> images);
    // Seconds for one pass through the frames (0: a thirtieth of a second per frame).
    double animationDuration() const { return animationDuration_; }
    void setAnimationDuration(double seconds) { animationDuration_ = seconds; }
    // Passes before it stops by itself (0: until stopped).
    int animationRepeatCount() const { return repeatCount_; }
    void setAnimationRepeatCount(int count) { repeatCount_ = count; }
    void startAnimating();
    void stopAnimating();
    bool isAnimating() const { return timer_ != nullptr; }
    // The frame shown while animating (-1 when not animating).
    int currentFrame() const { return timer_ ? frame_ : -1; }
    // What is on screen now: the animation frame, the highlighted picture or the picture.
    ImageRef displayedImage() const;

    Size sizeThatFits(const Size& size) const override;
    void draw(GraphicsContext& context, const Rect& rect) override;

private:
    void step();
    ImageRef image_;
    ImageRef highlightedImage_;
    bool highlighted_ = false;
    std::vector<ImageRef> animationImages_;
    double animationDuration_ = 0;
    int repeatCount_ = 0;
    TimerRef timer_;
    int frame_ = 0;
    long steps_ = 0;
};

using ImageViewRef = std::shared_ptr<ImageView>;

}  // namespace platform
