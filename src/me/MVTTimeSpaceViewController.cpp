#include "me/MVTTimeSpaceViewController.h"

#include "core/MVTPublicMethod.h"

#include "platform/ui/BarButtonItem.h"
#include "platform/ui/Button.h"
#include "platform/ui/NavigationController.h"

using namespace platform;

void MVTTimeSpaceViewController::viewDidLoad() {
    ViewViewController::viewDidLoad();
    setTitle(textOf(userDict_, "name"));
    auto weak = weakAs<MVTTimeSpaceViewController>();
    auto back = MVTPublicMethod::navigationleftBarButton();
    back->addTarget(ControlEventTouchUpInside, [weak](Control&) {
        if (auto self = weak.lock()) self->goback();
    });
    navigationItem().setLeftBarButtonItem(BarButtonItem::withCustomView(back));
}

void MVTTimeSpaceViewController::goback() {
    if (view()->accessibilityValue() == "push") {
        if (auto* navigation = navigationController()) navigation->popViewController(true);
        return;
    }
    dismissViewController(true);
}
