#include "details/MVTDetailsViewController.h"

#include "feed/MVTPersonCell.h"

#include "shell/InternationalControl.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"
#include "platform/ui/ScrollView.h"

using namespace platform;

MVTDetailsViewController::MVTDetailsViewController() = default;

MVTDetailsViewController::~MVTDetailsViewController() = default;

void MVTDetailsViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("详情"));
    auto weak = weakAs<MVTDetailsViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));

    scrollView_ = std::make_shared<ScrollView>(view()->bounds());
    scrollView_->setAutoresizingMask(AutoresizingFlexibleWidth | AutoresizingFlexibleHeight);
    view()->addSubview(scrollView_);
    if (myDict_) {
        // The list's own drawing of the item, for its details to grow around. Its avatar
        // opens nothing here (the cell's tag is not a list's).
        auto post = MVTPersonCell::initWithtData(*myDict_, 0, 0);
        scrollView_->addSubview(post);
        scrollView_->setContentSize({view()->bounds().width(), post->frame().height()});
    }
    stopToken_ = NotificationCenter::defaultCenter().addObserver(kToStopDetailsAudio, [weak](const Notification&) {
        if (auto self = weak.lock()) self->toStopDetailsAudio();
    });
}

void MVTDetailsViewController::goback() {
    if (view()->tag() == kModalTag) {
        dismissViewController(true);
        return;
    }
    if (auto* navigation = navigationController()) navigation->popViewController(true);
}

void MVTDetailsViewController::toStopDetailsAudio() { ++audioStops_; }
