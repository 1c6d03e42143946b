// The school's advert on the home feed: the request, the banner row for the roles it
// names, the overlay above the whole window and the page either of them opens.

#include "feed/MVTHomeViewController.h"

#include "shell/MVTAppDelegate.h"
#include "shell/MVTExplainViewController.h"
#include "shell/myNavigationController.h"
#include "shell/myTableView.h"

#include "core/MVTAccount.h"
#include "core/MVTPublicMethod.h"
#include "core/ServiceAddress.h"

#include "platform/BackgroundQueue.h"
#include "platform/HttpJsonRequestOperation.h"
#include "platform/Log.h"
#include "platform/RunLoop.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

using namespace platform;

void MVTHomeViewController::getAdvertisementData() {
    auto& account = MVTAccount::sharedInstance();
    auto request = MVTPublicMethod::requestWithMethod(
        "GET", ServiceAddress::servicePrefix() + account.schoolId().value_or("") + "/advertisement/new",
        Json{{"role", account.role().value_or("")}});
    if (!request) return;
    request->setTimeoutInterval(kAdvertTimeout);
    sendJson(
        std::move(*request), [](MVTHomeViewController& self, const Json& reply) { self.advertReplied(reply); },
        [](MVTHomeViewController&) { log("err = advert request failed"); });
}

void MVTHomeViewController::advertReplied(const Json& reply) {
    if (!reply.is_array() || reply.empty()) return;
    const Json* banner = nullptr;
    const Json* overlay = nullptr;
    for (const auto& entry : reply) {
        if (!entry.is_object()) continue;
        const std::string size = textOf(entry, "picSize");
        if (size == "1") banner = &entry;
        else if (size == "0" || size == "(null)") overlay = &entry;
    }
    if (overlay) {
        auto screen = std::make_shared<MVTActivitiesViewController>();
        screen->setDelegate(weakAs<MVTActivitiesViewControllerDelegate>());
        screen->setActivitiesURL(textOf(*overlay, "url"));
        screen->setImageResourceId(textOf(*overlay, "resourceModuleId"));
        screen->setTitleString(textOf(*overlay, "title"));
        activitiesViewController_ = screen;
        toGetAdImage(screen->imageResourceId());
    }
    if (banner && bannerAdmits(*banner, MVTAccount::sharedInstance().role().value_or(""))) toGetAdImageWith(*banner);
}

bool MVTHomeViewController::bannerAdmits(const Json& banner, const std::string& role) {
    if (!banner.is_object() || !banner.contains("role")) return false;
    const bool teacher = role == "teacher" || role == "admin";
    const bool parent = role == "parent";
    const bool student = role == "student";
    switch (integerValue(textOf(banner, "role"))) {
    case 0: return true;
    case 1: return teacher;
    case 2: return parent;
    case 3: return teacher || parent;
    case 4: return student;
    case 5: return teacher || student;
    case 6: return parent || student;
    default: return false;
    }
}

void MVTHomeViewController::toGetAdImage(const std::string& resourceId) {
    if (MVTActivitiesViewController::pictureFile(resourceId).empty()) return;
    auto weak = weakAs<MVTHomeViewController>();
    std::weak_ptr<MVTActivitiesViewController> overlay = activitiesViewController_;
    dispatchBackground([weak, overlay, resourceId] {
        const bool stored = MVTActivitiesViewController::storedPicture(resourceId) != nullptr;
        if (!stored && !MVTActivitiesViewController::downloadPicture(resourceId)) return;
        dispatchMain([weak, overlay] {
            auto self = weak.lock();
            auto screen = overlay.lock();
            if (self && screen) self->showOverlay(screen);
        });
    });
}

void MVTHomeViewController::showOverlay(const std::shared_ptr<MVTActivitiesViewController>& overlay) {
    // Only the overlay of this home, while it is still wanted.
    if (overlay != activitiesViewController_) return;
    auto app = MVTAppDelegate::sharedAppDelegate();
    auto window = app && app->window() ? app->window() : Window::keyWindowRef();
    if (!window) return;
    window->addOverlayView(overlay->view());
}

void MVTHomeViewController::toGetAdImageWith(const Json& banner) {
    const std::string resourceId = textOf(banner, "resourceModuleId");
    if (MVTActivitiesViewController::pictureFile(resourceId).empty()) return;
    auto weak = weakAs<MVTHomeViewController>();
    dispatchBackground([weak, banner, resourceId] {
        auto picture = MVTActivitiesViewController::storedPicture(resourceId);
        if (!picture) picture = MVTActivitiesViewController::downloadPicture(resourceId);
        if (!picture) return;
        dispatchMain([weak, banner, picture] {
            if (auto self = weak.lock()) self->showBanner(banner, picture);
        });
    });
}

void MVTHomeViewController::showBanner(const Json& banner, const ImageRef& picture) {
    const Size size = picture->size();
    if (size.width <= 0 || size.height <= 0) return;
    adH_ = size.height / size.width * Screen::mainScreen().bounds().width();
    const bool shown = !adArray_.empty();
    adArray_ = Json::array({banner});
    if (shown) {
        if (myTable_) myTable_->reloadData();
        return;
    }
    showAd();
}

void MVTHomeViewController::showAd() {
    if (!myTable_) return;
    myTable_->beginUpdates();
    myTable_->insertRowsAtIndexPaths({{0, 0}}, TableViewRowAnimation::Bottom);
    myTable_->endUpdates();
}

void MVTHomeViewController::fillAdvertCell(View& content) {
    const double W = Screen::mainScreen().bounds().width();
    auto weak = weakAs<MVTHomeViewController>();
    if (!adArray_.empty()) {
        const Json& advert = adArray_.front();
        auto picture = std::make_shared<ImageView>(Rect(0, 0, W, adH_));
        picture->setBackgroundColor(Color::white(0.961));
        picture->setUserInteractionEnabled(false);
        if (auto stored = MVTActivitiesViewController::storedPicture(textOf(advert, "resourceModuleId")))
            picture->setImage(stored);
        content.addSubview(picture);
        auto open = Button::buttonWithType(ButtonType::Custom);
        open->setFrame({0, 0, W, adH_});
        open->setBackgroundColor(Color::clear());
        open->setAccessibilityValue(textOf(advert, "url"));
        open->setAccessibilityHint(textOf(advert, "title"));
        open->addTarget(ControlEventTouchUpInside, [weak](Control& control) {
            if (auto self = weak.lock()) self->toshowAdView(static_cast<Button&>(control));
        });
        content.addSubview(open);
    }
    auto close = Button::buttonWithType(ButtonType::Custom);
    close->setFrame({W - 44, (adH_ - 44) / 2, 44, 44});
    close->setBackgroundColor(Color::clear());
    close->setImage(Image::imageNamed("adClose"));
    close->setImageEdgeInsets({12, 14, 12, 10});
    close->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->toCloseAdView();
    });
    content.addSubview(close);
}

void MVTHomeViewController::toshowAdView(Button& button) {
    showAdControlWith(button.accessibilityValue(), button.accessibilityHint());
}

void MVTHomeViewController::showAdControlWith(const std::string& url, const std::string& title) {
    if (MVTPublicMethod::stringIsClassNull(url)) return;
    auto page = std::make_shared<MVTExplainViewController>();
    page->setATag(1);
    page->setIsFromHomeView(true);
    presentViewController(myNavigationController::withRoot(page), true);
    page->loadWithUrl(url);
    page->setNewTitle(title);
}

void MVTHomeViewController::toCloseAdView() {
    if (adArray_.empty()) return;
    adArray_ = Json::array();
    if (!myTable_) return;
    myTable_->beginUpdates();
    myTable_->deleteRowsAtIndexPaths({{0, 0}}, TableViewRowAnimation::Top);
    myTable_->endUpdates();
}

void MVTHomeViewController::removeOverlay() {
    if (!activitiesViewController_) return;
    if (activitiesViewController_->isViewLoaded()) activitiesViewController_->view()->removeFromSuperview();
    activitiesViewController_.reset();
}

void MVTHomeViewController::activitiesViewControllerWillDismiss() { removeOverlay(); }

void MVTHomeViewController::activitiesViewControllerWillDismissWith(const std::string& url, const std::string& title) {
    removeOverlay();
    showAdControlWith(url, title);
}
