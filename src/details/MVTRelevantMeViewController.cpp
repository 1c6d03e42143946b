#include "details/MVTRelevantMeViewController.h"

#include "shell/InternationalControl.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"

using namespace platform;

void MVTRelevantMeViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("与我相关"));
    auto weak = weakAs<MVTRelevantMeViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTRelevantMeViewController::goback() {
    dismissViewController(true);
}
