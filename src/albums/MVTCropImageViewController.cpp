#include "albums/MVTCropImageViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/RunLoop.h"
#include "platform/StatisticsKit.h"
#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/PanGestureRecognizer.h"
#include "platform/ui/ScrollView.h"

#include <algorithm>

using namespace platform;

namespace {
constexpr const char* kFreeCropPageName = "选取";
}

void MVTCropImageViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized(kFreeCropPageName));
    StatisticsKit::shared().beginLogPageView(kFreeCropPageName);
    loadCropImageView();
}

void MVTCropImageViewController::loadCropImageView() {
    auto weak = weakAs<MVTCropImageViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    auto send = MVTPublicMethod::navigationrightBarButton(localized("上传"));
    send->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->sendAction();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(send));

    const Rect b = view()->bounds();
    cropScrollView_ = std::make_shared<ScrollView>(Rect(0, 0, b.width(), b.height() - 44 - SDH));
    cropScrollView_->setBackgroundColor(Color::clear());
    cropScrollView_->setDelegate(weakAs<ScrollViewDelegate>().lock());
    cropScrollView_->setMinimumZoomScale(1);
    cropScrollView_->setMaximumZoomScale(5);
    cropScrollView_->setContentSize(cropScrollView_->frame().size);
    cropScrollView_->setShowsHorizontalScrollIndicator(false);
    cropScrollView_->setShowsVerticalScrollIndicator(false);
    cropScrollView_->setScrollEnabled(true);
    imgView_ = std::make_shared<ImageView>(cropScrollView_->bounds());
    imgView_->setBackgroundColor(Color::clear());
    cropScrollView_->addSubview(imgView_);
    view()->addSubview(cropScrollView_);
    loadCropView();
}

void MVTCropImageViewController::loadCropView() {
    cropView_ = std::make_shared<View>(Rect(0, 0, kCropViewSide, kCropViewSide));
    cropView_->setTag(kCropViewTag);
    cropView_->setBackgroundColor(Color::rgb255(44, 142, 194).withAlpha(0.3));
    auto weak = weakAs<MVTCropImageViewController>();
    auto pan = std::make_shared<PanGestureRecognizer>([weak](GestureRecognizer& recognizer) {
        if (auto self = weak.lock()) self->panGestureRecognizer(recognizer);
    });
    pan->setShouldBegin([weak](GestureRecognizer& recognizer) {
        auto self = weak.lock();
        return !self || self->gestureRecognizerShouldReceiveTouch(recognizer);
    });
    pan->setShouldRecognizeSimultaneously([weak](GestureRecognizer& recognizer, GestureRecognizer& other) {
        auto self = weak.lock();
        return !self || self->gestureRecognizerShouldRecognizeSimultaneously(recognizer, other);
    });
    cropView_->addGestureRecognizer(pan);
    // Four hairline edges along the box's sides.
    const Rect edges[] = {{0, 0, kCropViewSide, 1},
                          {0, kCropViewSide - 1, kCropViewSide, 1},
                          {0, 0, 1, kCropViewSide},
                          {kCropViewSide - 1, 0, 1, kCropViewSide}};
    for (const Rect& edge : edges) {
        auto line = std::make_shared<View>(edge);
        line->setBackgroundColor(Color::clear());
        cropView_->addSubview(line);
    }
    view()->addSubview(cropView_);
}

void MVTCropImageViewController::setOriginImg(ImageRef image) {
    if (!isViewLoaded()) view();
    if (!imgView_ || !image) return;
    imgView_->setImage(image);
    const Size picture = image->size();
    if (picture.width <= 0 || picture.height <= 0) return;
    const Rect frame = cropScrollView_->frame();
    Size fitted;
    if (frame.width() / picture.width < frame.height() / picture.height)
        fitted = {frame.width(), picture.height * frame.width() / picture.width};
    else
        fitted = {picture.width * frame.height() / picture.height, frame.height()};
    const Point centre{frame.x() + frame.width() / 2, frame.y() + frame.height() / 2};
    cropScrollView_->setFrame({centre.x - fitted.width / 2, centre.y - fitted.height / 2, fitted.width, fitted.height});
    imgView_->setFrame({0, 0, fitted.width, fitted.height});
    cropScrollView_->setContentSize(fitted);
    cropScrollView_->setAlwaysBounceVertical(false);
    cropView_->setFrame({cropScrollView_->frame().origin, cropView_->frame().size});
}

ImageRef MVTCropImageViewController::rotationImage(const ImageRef& image) { return Image::uprightImage(image); }

ImageRef MVTCropImageViewController::cropImage() {
    if (!imgView_ || !cropScrollView_ || !cropView_) return nullptr;
    const ImageRef upright = rotationImage(imgView_->image());
    if (!upright) return nullptr;
    const Rect scroll = cropScrollView_->frame(), box = cropView_->frame();
    if (scroll.width() <= 0) return nullptr;
    // Pixels of the picture per point of the unzoomed scroll view.
    const double r = upright->pixelWidth() / scroll.width();
    const Size content = cropScrollView_->contentSize();
    Rect cut;
    if (scroll.width() == content.width) {
        cut = {(box.x() - scroll.x()) * r, (box.y() - scroll.y()) * r, box.width() * r, box.height() * r};
    } else {
        const double z = content.width / scroll.width();
        const Point o = cropScrollView_->contentOffset();
        cut = {r * (box.x() - scroll.x() + o.x) / z, r * (box.y() - scroll.y() + o.y) / z, r * box.width() / z,
               r * box.height() / z};
    }
    return upright->croppedToRect(cut);
}

void MVTCropImageViewController::saveAndSendImg() {
    if (auto delegate = delegate_.lock())
        if (auto cut = cropImage()) delegate->cropImageViewControllerDidFinished(cut);
    goback();
}

void MVTCropImageViewController::goback() { dismissViewController(true); }

void MVTCropImageViewController::panGestureRecognizer(GestureRecognizer& recognizer) {
    if (recognizer.view() && recognizer.view()->tag() == kCropViewTag) cropViewMoved(recognizer);
}

void MVTCropImageViewController::cropViewMoved(GestureRecognizer& recognizer) {
    if (!cropScrollView_ || !cropView_) return;
    // The picture is being scrolled: the box stays where it is.
    const GestureState scrolling = cropScrollView_->panGestureRecognizer()->state();
    if (scrolling == GestureState::Began || scrolling == GestureState::Changed) return;
    cropScrollView_->setScrollEnabled(false);
    const GestureState state = recognizer.state();
    if (state == GestureState::Began) panGestureStartPoint_ = cropView_->frame().origin;
    if (auto pan = dynamic_cast<PanGestureRecognizer*>(&recognizer)) {
        const Point moved = pan->translationInView(view().get());
        moveCropViewwithPoint({panGestureStartPoint_.x + moved.x, panGestureStartPoint_.y + moved.y});
    }
    if (state == GestureState::Ended || state == GestureState::Cancelled || state == GestureState::Failed)
        allowScrollingAndZooming();
}

void MVTCropImageViewController::moveCropViewwithPoint(Point point) {
    const Rect scroll = cropScrollView_->frame();
    const Size box = cropView_->frame().size;
    point.x = std::clamp(point.x, scroll.x(), std::max(scroll.x(), scroll.x() + scroll.width() - box.width));
    point.y = std::clamp(point.y, scroll.y(), std::max(scroll.y(), scroll.y() + scroll.height() - box.height));
    cropView_->setFrame({point, box});
}

void MVTCropImageViewController::allowScrollingAndZooming() {
    if (cropScrollView_) cropScrollView_->setScrollEnabled(true);
}

std::shared_ptr<View> MVTCropImageViewController::viewForZoomingInScrollView(ScrollView& scrollView) {
    return scrollView.isScrollEnabled() ? std::static_pointer_cast<View>(imgView_) : nullptr;
}

void MVTCropImageViewController::scrollViewDidEndZooming(ScrollView& scrollView, View*, double scale) {
    // A nudge and back, so the zoomed content settles at the final scale.
    scrollView.setZoomScale(scale + 0.01, false);
    scrollView.setZoomScale(scale, false);
}

bool MVTCropImageViewController::gestureRecognizerShouldReceiveTouch(GestureRecognizer& recognizer) {
    if (dynamic_cast<PanGestureRecognizer*>(&recognizer) && cropScrollView_) {
        cropScrollView_->setScrollEnabled(false);
        if (reenableTimer_) reenableTimer_->invalidate();
        auto weak = weakAs<MVTCropImageViewController>();
        reenableTimer_ = RunLoop::main().performAfter(0.2, [weak] {
            if (auto self = weak.lock()) self->allowScrollingAndZooming();
        });
    }
    return true;
}

bool MVTCropImageViewController::gestureRecognizerShouldRecognizeSimultaneously(GestureRecognizer&, GestureRecognizer&) {
    return true;
}
