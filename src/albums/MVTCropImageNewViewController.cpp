#include "albums/MVTCropImageNewViewController.h"

#include "albums/ImageCropperView.h"
#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationItem.h"
#include "platform/ui/Screen.h"

using namespace platform;

void MVTCropImageNewViewController::viewDidLoad() {
    // Not the base screen's load step: this view starts at the top of the screen, under
    // the bar, so the square is centred on the screen below its top 60 points.
    ViewController::viewDidLoad();
    view()->setBackgroundColor(Color::whiteColor());
    const Rect screen = Screen::mainScreen().bounds();
    const double w = screen.width(), h = screen.height();
    cropImageView_ = std::make_shared<ImageCropperView>(Rect(0, (h - 60 - w) / 2 + 60, w, w));
    cropImageView_->setBorderWidth(1.0);
    cropImageView_->setBorderColor(Color::rgba(0.38, 0.78, 0.976));
    cropImageView_->setImage(originImg_);
    view()->addSubview(cropImageView_);

    std::weak_ptr<ViewController> weak = weak_from_this();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = std::static_pointer_cast<MVTCropImageNewViewController>(weak.lock())) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
    auto send = MVTPublicMethod::navigationrightBarButton(localized("上传"));
    send->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = std::static_pointer_cast<MVTCropImageNewViewController>(weak.lock())) self->sendAction();
    });
    navigationItem().setRightBarButtonItem(BarButtonItem::withCustomView(send));
}

void MVTCropImageNewViewController::goback() { dismissViewController(true); }

void MVTCropImageNewViewController::sendAction() {
    ImageRef cropped;
    if (cropImageView_) {
        cropImageView_->finishCropping();
        cropped = cropImageView_->cropImage();
    }
    if (auto delegate = delegate_.lock()) delegate->cropImageViewControllerDidFinished(cropped);
    cropImageView_.reset();
    goback();
}
