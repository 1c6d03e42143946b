#include "albums/ImageCropperView.h"

#include "platform/ui/Color.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/PinchGestureRecognizer.h"
#include "platform/ui/RotationGestureRecognizer.h"

#include <cmath>

using namespace platform;

namespace {

// One memory for every cropper: a gesture's last reading, so each callback applies only
// what changed since the one before.
struct CropperGestureMemory {
    Point translation{0, 0};
    double scale = 1.0;
    double rotation = 0;
};
CropperGestureMemory& cropperMemory() {
    static CropperGestureMemory memory;
    return memory;
}

// W′ and H′: a length whose whole-number part is odd goes up to the next whole number.
double evenedCropLength(double length) {
    const long whole = long(std::trunc(length));
    return whole % 2 != 0 ? std::ceil(length) : length;
}

}  // namespace

ImageCropperView::ImageCropperView(const Rect& frame) : View(frame) { setup(); }

void ImageCropperView::resetGestureMemory() { cropperMemory() = CropperGestureMemory{}; }

void ImageCropperView::setup() {
    setClipsToBounds(true);
    setBackgroundColor(Color::whiteColor());
    imageView_ = std::make_shared<ImageView>(Rect(0, 0, bounds().width(), bounds().height()));
    imageView_->setUserInteractionEnabled(true);
    addSubview(imageView_);
    // The recognizers belong to the image view; the destructor cuts their way back here in
    // case someone else keeps the image view alive.
    imageView_->addGestureRecognizer(
        std::make_shared<RotationGestureRecognizer>([this](GestureRecognizer& g) { rotateImage(g); }));
    imageView_->addGestureRecognizer(
        std::make_shared<PinchGestureRecognizer>([this](GestureRecognizer& g) { scaleImage(g); }));
    auto pan = std::make_shared<PanGestureRecognizer>([this](GestureRecognizer& g) { moveImage(g); });
    pan->setMinimumNumberOfTouches(1);
    pan->setMaximumNumberOfTouches(1);
    imageView_->addGestureRecognizer(pan);
}

ImageCropperView::~ImageCropperView() {
    for (const auto& recognizer : imageView_->gestureRecognizers()) recognizer->setAction({});
}

void ImageCropperView::setImage(ImageRef image) {
    if (!image) return;
    image_ = std::move(image);
    const Size size = image_->size();
    const double f = bounds().width() / size.width;
    imageView_->setTransform(AffineTransform::identity());
    imageView_->setFrame({0, 0, size.width * f, size.height * f});
    originalImageViewSize_ = {size.width * f, size.height * f};
    imageView_->setImage(image_);
    imageView_->setCenter({bounds().width() / 2, bounds().height() / 2});
}

void ImageCropperView::moveImage(GestureRecognizer& recognizer) {
    auto* pan = dynamic_cast<PanGestureRecognizer*>(&recognizer);
    if (!pan) return;
    auto& memory = cropperMemory();
    const Point t = pan->translationInView(this);
    if (pan->state() == GestureState::Began) memory.translation = {0, 0};
    // Applied after the current transform: the move follows the finger on screen whatever
    // the picture's turn or zoom.
    imageView_->setTransform(imageView_->transform().concat(
        AffineTransform::translation(t.x - memory.translation.x, t.y - memory.translation.y)));
    memory.translation = t;
}

void ImageCropperView::scaleImage(GestureRecognizer& recognizer) {
    auto* pinch = dynamic_cast<PinchGestureRecognizer*>(&recognizer);
    if (!pinch) return;
    auto& memory = cropperMemory();
    if (pinch->state() == GestureState::Began) {
        memory.scale = 1.0;
        return;
    }
    const double k = pinch->scale() / memory.scale;
    imageView_->setTransform(AffineTransform::scale(k, k).concat(imageView_->transform()));
    memory.scale = pinch->scale();
}

void ImageCropperView::rotateImage(GestureRecognizer& recognizer) {
    auto* rotation = dynamic_cast<RotationGestureRecognizer*>(&recognizer);
    if (!rotation) return;
    auto& memory = cropperMemory();
    if (rotation->state() == GestureState::Ended) {
        memory.rotation = 0;
        return;
    }
    imageView_->setTransform(
        AffineTransform::rotation(rotation->rotation() - memory.rotation).concat(imageView_->transform()));
    memory.rotation = rotation->rotation();
}

ImageCropperView::Cut ImageCropperView::currentCut() const {
    Cut cut;
    const AffineTransform t = imageView_->transform();
    // What a layer reports as its x scale and z rotation.
    cut.scale = std::sqrt(t.a * t.a + t.b * t.b);
    cut.angle = std::atan2(t.b, t.a);
    if (!image_ || cut.scale <= 0 || originalImageViewSize_.width <= 0) return cut;
    const double r = image_->size().width / originalImageViewSize_.width;
    cut.widthPrime = evenedCropLength(bounds().width() / cut.scale);
    cut.heightPrime = evenedCropLength(bounds().height() / cut.scale);
    const Rect frame = imageView_->frame();
    const double x = -frame.x() / cut.scale, y = -frame.y() / cut.scale;
    cut.rect = Rect(std::trunc(r * x), std::trunc(r * y), std::trunc(r * cut.widthPrime), std::trunc(r * cut.heightPrime));
    return cut;
}

void ImageCropperView::finishCropping() {
    croppedImage_ = nullptr;
    if (!image_) return;
    const Cut cut = currentCut();
    if (cut.scale <= 0) return;
    croppedImage_ = image_->rotatedByRadiansCroppedToRect(cut.angle, cut.rect);
}
