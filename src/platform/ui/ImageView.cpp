#include "platform/ui/ImageView.h"

#include "platform/RunLoop.h"
#include "platform/ui/GraphicsContext.h"

namespace platform {

ImageView::ImageView() {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

ImageView::ImageView(const Rect& frame) : View(frame) {
    setUserInteractionEnabled(false);
    setOpaque(false);
}

ImageView::ImageView(ImageRef image) : ImageView() {
    if (image) setFrame({0, 0, image->size().width, image->size().height});
    image_ = std::move(image);
}

ImageView::~ImageView() {
    if (timer_) timer_->invalidate();
}

void ImageView::setImage(ImageRef image) {
    image_ = std::move(image);
    markChanged();
}

void ImageView::setHighlightedImage(ImageRef image) {
    highlightedImage_ = std::move(image);
    markChanged();
}

void ImageView::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    markChanged();
}

void ImageView::setAnimationImages(std::vector<ImageRef> images) {
    if (images.empty()) stopAnimating();
    animationImages_ = std::move(images);
    frame_ = 0;
    markChanged();
}

void ImageView::startAnimating() {
    if (animationImages_.empty() || timer_) return;
    double perFrame = animationDuration_ > 0 ? animationDuration_ / double(animationImages_.size()) : 1.0 / 30;
    frame_ = 0;
    steps_ = 0;
    std::weak_ptr<View> weak = weak_from_this();
    timer_ = RunLoop::main().scheduleTimer(perFrame, true, [weak](Timer& t) {
        auto self = weak.lock();
        if (!self) {
            t.invalidate();
            return;
        }
        static_cast<ImageView*>(self.get())->step();
    });
    markChanged();
}

void ImageView::step() {
    ++steps_;
    long frames = long(animationImages_.size());
    if (repeatCount_ > 0 && steps_ >= frames * repeatCount_) {
        stopAnimating();
        return;
    }
    frame_ = int(steps_ % frames);
    markChanged();
}

void ImageView::stopAnimating() {
    if (!timer_) return;
    timer_->invalidate();
    timer_.reset();
    frame_ = 0;
    markChanged();
}

ImageRef ImageView::displayedImage() const {
    if (timer_ && !animationImages_.empty()) return animationImages_[size_t(frame_) % animationImages_.size()];
    if (highlighted_ && highlightedImage_) return highlightedImage_;
    return image_;
}

Size ImageView::sizeThatFits(const Size&) const { return image_ ? image_->size() : Size{}; }

void ImageView::draw(GraphicsContext& context, const Rect& rect) {
    if (auto image = displayedImage()) context.drawImage(*image, bounds(), contentMode());
    View::draw(context, rect);
}

}  // namespace platform
