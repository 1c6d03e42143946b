#include "contacts/MVTGongGaoViewController.h"

#include "core/MVTPublicMethod.h"
#include "shell/InternationalControl.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

void MVTGongGaoViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(localized("群公告"));
    auto weak = weakAs<MVTGongGaoViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTGongGaoViewController::goback() {
    if (navigationController()) navigationController()->popViewController(true);
}
