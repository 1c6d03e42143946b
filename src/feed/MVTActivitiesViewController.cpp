#include "feed/MVTActivitiesViewController.h"

#include "shell/MVTAppDelegate.h"

#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"
#include "core/ServiceId.h"

#include "platform/BackgroundQueue.h"
#include "platform/Files.h"
#include "platform/HttpEngine.h"
#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TapGestureRecognizer.h"

using namespace platform;

MVTActivitiesViewController::MVTActivitiesViewController() = default;

MVTActivitiesViewController::~MVTActivitiesViewController() = default;

// ---- Pictures

std::string MVTActivitiesViewController::pictureFile(const std::string& resourceId) {
    if (!isPlainServiceId(resourceId)) return {};
    return MVTPublicMethod::getPathByFileName("adImage_" + resourceId, "png");
}

ImageRef MVTActivitiesViewController::storedPicture(const std::string& resourceId) {
    const std::string file = pictureFile(resourceId);
    if (file.empty() || !fileExists(file)) return nullptr;
    auto bytes = readFile(file, kLargestPicture);
    if (!bytes || !Image::isPicture(*bytes)) return nullptr;
    auto picture = Image::imageWithData(*bytes);
    if (!picture || picture->size().width <= 0 || picture->size().height <= 0) return nullptr;
    return picture;
}

ImageRef MVTActivitiesViewController::downloadPicture(const std::string& resourceId) {
    const std::string file = pictureFile(resourceId);
    if (file.empty()) return nullptr;
    auto app = MVTAppDelegate::sharedAppDelegate();
    UrlRequest request(ServiceAddress::baseUrl() + "resource/" + resourceId +
                       "/download?token=" + (app ? app->getTokenWith(resourceId) : std::string()));
    request.setTimeoutInterval(kPictureTimeout);
    HttpResponse response = HttpEngine::shared().fetch(std::move(request), kLargestPicture);
    if (!response.ok() || !Image::isPicture(response.body)) return nullptr;
    auto picture = Image::imageWithData(response.body);
    if (!picture || picture->size().width <= 0 || picture->size().height <= 0) return nullptr;
    // A readable stored picture stays; a broken one is replaced.
    if (!storedPicture(resourceId)) writeFileAtomically(file, response.body);
    return picture;
}

// ---- The overlay

void MVTActivitiesViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    const Rect bounds = Screen::mainScreen().bounds();
    const double W = bounds.width(), H = bounds.height();
    view()->setFrame(bounds);
    view()->setBackgroundColor(Color::clear());
    view()->setUserInteractionEnabled(true);

    imageView_ = std::make_shared<ImageView>(Rect(20, 40, W - 40, H - 60));
    imageView_->setUserInteractionEnabled(true);
    imageView_->setImage(Image::imageNamed("default"));
    view()->addSubview(imageView_);
    toGetAdImage();
    if (!MVTPublicMethod::stringIsClassNull(activitiesURL_)) {
        auto weak = weakAs<MVTActivitiesViewController>();
        imageView_->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weak](GestureRecognizer&) {
            if (auto self = weak.lock()) self->didSelected();
        }));
    }

    closeButton_ = Button::buttonWithType(ButtonType::Custom);
    closeButton_->setFrame({W - 40, 20, 40, 40});
    closeButton_->setImage(Image::imageNamed("adClose"));
    auto weak = weakAs<MVTActivitiesViewController>();
    closeButton_->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->dismissFormSuperView();
    });
    view()->addSubview(closeButton_);
}

void MVTActivitiesViewController::toGetAdImage() {
    auto weak = weakAs<MVTActivitiesViewController>();
    if (auto stored = storedPicture(imageResourceId_)) {
        dispatchMain([weak, stored] {
            if (auto self = weak.lock()) self->layoutPicture(stored);
        });
        return;
    }
    // Normally the home stored the picture just before; fetching it again stays off the
    // main thread so that a slow service never freezes the screen.
    const std::string id = imageResourceId_;
    if (pictureFile(id).empty()) return;
    dispatchBackground([weak, id] {
        auto picture = downloadPicture(id);
        if (!picture) return;
        dispatchMain([weak, picture] {
            if (auto self = weak.lock()) self->layoutPicture(picture);
        });
    });
}

void MVTActivitiesViewController::layoutPicture(const ImageRef& picture) {
    if (!imageView_ || !picture) return;
    const Rect bounds = Screen::mainScreen().bounds();
    const double W = bounds.width(), H = bounds.height();
    const Size size = picture->size();
    if (size.width <= 0) return;
    const double h = size.height * (W - 40) / size.width;
    imageView_->setImage(picture);
    imageView_->setFrame({20, (H - h) / 2, W - 40, h});
    if (closeButton_) closeButton_->setFrame({W - 40, (H - h) / 2 - 20, 40, 40});
}

void MVTActivitiesViewController::didSelected() {
    if (auto target = delegate()) target->activitiesViewControllerWillDismissWith(activitiesURL_, titleString_);
}

void MVTActivitiesViewController::dismissFormSuperView() {
    if (auto target = delegate()) target->activitiesViewControllerWillDismiss();
}
