#include "albums/MVTCropImageView.h"

#include "albums/MVTImageAdditions.h"

#include "platform/ui/GraphicsContext.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"

#include <algorithm>

using namespace platform;

void MVTCropImageMaskView::setCropSize(Size size) {
    const Rect b = bounds();
    cropRect_ = Rect((b.width() - size.width) / 2, (b.height() - size.height) / 2, size.width, size.height);
    if (Screen::systemVersion() >= 7.0) cropRect_.origin.y += 40;
    setNeedsDisplay();
}

void MVTCropImageMaskView::draw(GraphicsContext& context, const Rect& rect) {
    View::draw(context, rect);
    // The veil everywhere but the window, which stays clear so the picture shows through.
    const Rect b = bounds(), w = cropRect_;
    const Color veil = Color::rgba(1, 1, 1, 0.6);
    context.fillRect({b.x(), b.y(), b.width(), w.y() - b.y()}, veil);
    context.fillRect({b.x(), w.y() + w.height(), b.width(), b.y() + b.height() - w.y() - w.height()}, veil);
    context.fillRect({b.x(), w.y(), w.x() - b.x(), w.height()}, veil);
    context.fillRect({w.x() + w.width(), w.y(), b.x() + b.width() - w.x() - w.width(), w.height()}, veil);
    context.setStrokeColor(Color::rgba(1, 0, 0, 1));
    context.setLineWidth(2);
    context.strokeRect(w);
}

std::shared_ptr<ScrollView> MVTCropImageView::scrollView() {
    if (!scrollView_) {
        scrollView_ = std::make_shared<ScrollView>(bounds());
        scrollView_->setDelegate(std::static_pointer_cast<MVTCropImageView>(shared_from_this()));
        scrollView_->setBounces(false);
        scrollView_->setBouncesZoom(false);
        scrollView_->setShowsHorizontalScrollIndicator(false);
        scrollView_->setShowsVerticalScrollIndicator(false);
        insertSubview(scrollView_, 0);
    }
    return scrollView_;
}

std::shared_ptr<ImageView> MVTCropImageView::imageView() {
    if (!imageView_) {
        imageView_ = std::make_shared<ImageView>();
        scrollView()->addSubview(imageView_);
    }
    return imageView_;
}

std::shared_ptr<MVTCropImageMaskView> MVTCropImageView::maskView() {
    if (!maskView_) {
        maskView_ = std::make_shared<MVTCropImageMaskView>();
        maskView_->setFrame(bounds());
        maskView_->setBackgroundColor(Color::clear());
        maskView_->setUserInteractionEnabled(false);
        addSubview(maskView_);
    }
    return maskView_;
}

std::shared_ptr<View> MVTCropImageView::viewForZoomingInScrollView(ScrollView&) { return imageView(); }

void MVTCropImageView::setFrame(const Rect& frame) {
    View::setFrame(frame);
    scrollView()->setFrame(bounds());
    maskView()->setFrame(bounds());
    if (cropSize_.width <= 0 && cropSize_.height <= 0) setCropSize({100, 100});
}

void MVTCropImageView::setCropSize(Size size) {
    cropSize_ = size;
    updateZoomScale();
    const Rect b = bounds();
    imageInset_.top = (b.height() - size.height) / 2;
    imageInset_.left = (b.width() - size.width) / 2;
    imageInset_.bottom = b.height() - size.height - imageInset_.top;
    imageInset_.right = b.width() - size.width - imageInset_.left;
    maskView()->setCropSize(size);
    scrollView()->setContentInset(imageInset_);
    scrollView()->setContentOffset({0, 0});
}

void MVTCropImageView::setImage(ImageRef image) {
    image_ = std::move(image);
    imageView()->setContentMode(ContentMode::Center);
    imageView()->setImage(image_);
    updateZoomScale();
    const Rect b = scrollView()->bounds();
    scrollView()->setContentOffset({b.width() / 2, b.height() / 2 - 60});
}

void MVTCropImageView::updateZoomScale() {
    if (!image_) return;
    const Size picture = image_->size();
    if (picture.width <= 0 || picture.height <= 0) return;
    auto scroll = scrollView();
    auto pictureView = imageView();
    // The frame is the picture's own size: the zoom scales it from there.
    pictureView->setTransform(AffineTransform::identity());
    pictureView->setFrame({0, 0, picture.width, picture.height});
    const double fill = std::max(cropSize_.width / picture.width, cropSize_.height / picture.height);
    const double screenScale = Screen::mainScreen().scale();
    const double onePixel = screenScale > 0 ? 1 / screenScale : 1;
    scroll->setMinimumZoomScale(std::min(fill, onePixel));
    scroll->setMaximumZoomScale(onePixel + 5);
    scroll->setZoomScale(0.1, true);
    scroll->setContentOffset({picture.width / 2, picture.height});
}

ImageRef MVTCropImageView::cropImage() {
    if (!image_) return nullptr;
    auto scroll = scrollView();
    const double z = scroll->zoomScale() > 0 ? scroll->zoomScale() : 1;
    const Point offset = scroll->contentOffset();
    const double x = (offset.x + imageInset_.left) / z, y = (offset.y + imageInset_.top) / z;
    const double w = std::max(cropSize_.width / z, cropSize_.width);
    const double h = std::max(cropSize_.height / z, cropSize_.height);
    // The rectangle is in the picture's points; its bitmap counts pixels.
    const double s = image_->scale();
    auto cut = MVTImageAdditions::cropImageWithX(image_, x * s, y * s, w * s, h * s);
    return MVTImageAdditions::resizeToWidth(cut, cropSize_.width, cropSize_.height);
}
